// Which CP/M files the damaged sectors of an image hit. Every position is a byte of the image's
// flat view, the image file as Quarry reads it: the system area, then the data area, whose
// records go through the format's skew (DiskFormat::FilePosition, the reader's own
// computation). A file is its blocks in extent order; the directory records that hold its
// entries map the whole file, for without them the file cannot be found.
#pragma once

#include "FileDamage.h"

#include <string>
#include <vector>

class DiskBytes;
class DiskFormat;
class DisplaySink;
class EventHook;
class Prompts;

// The map's name of a file given as [U:]NAME.TYP: "0:NAME.TYP" (the case kept).
std::string DamageMapName(const std::string& name);

// Every file of the image in format, and the system area and directory.
std::vector<MappedItem> MapCpmImage(DiskBytes& image, const DiskFormat& format, EventHook& hook);

// The damage of the image at path, opened read-only through the container layer, and the map
// of its files in the format named (empty: the one of the image's size) when there is any.
DamageScan ScanQuarryDamage(const std::string& path, const std::string& formatName,
                            EventHook& hook);

// The "Image damage" report of the image at path. False, after a message through prompts, when
// the image cannot be read.
bool ShowQuarryDamage(const std::string& path, const std::string& formatName, DisplaySink& sink,
                      Prompts& prompts, EventHook& hook);
