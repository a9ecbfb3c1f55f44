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

// Every file of the image in format, and the system area and directory.
std::vector<MappedItem> MapCpmImage(DiskBytes& image, const DiskFormat& format, EventHook& hook);

// The "Image damage" report of the image at path, opened read-only through the container layer,
// in the format named (empty: the one of the image's size). False, after a message through
// prompts, when the image cannot be read.
bool ShowQuarryDamage(const std::string& path, const std::string& formatName, DisplaySink& sink,
                      Prompts& prompts, EventHook& hook);
