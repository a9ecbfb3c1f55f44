// Which System V/68 files the damaged sectors of a disk hit. Every position is a byte of the
// disk's logical view (256-byte sectors), the view Tamarin reads; block b lies at
// b x SectorsPerBlock sectors. A file is its data blocks at their offsets in the file; each
// indirect block maps the range of the file its entries reach, and the inode itself maps the
// whole file. The volume ID, the super block and the inode list are the volume's own structures.
#pragma once

#include "FileDamage.h"

#include <cstdint>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class Prompts;
class modTamarin68;

// Every file and directory reachable from the root of an explored volume, and the structures.
std::vector<MappedItem> MapSystemVVolume(modTamarin68& volume, EventHook& hook);

// The damage of the image at path, opened read-only through the container layer, and the map
// of its files when there is any.
DamageScan ScanTamarinDamage(const std::string& path, EventHook& hook);

// What a save of inode ino, named name, of the image at path says when damaged sectors hit its
// bytes ("/etc/passwd: saved with damaged bytes 0-511 of 900"); empty for a whole file.
std::string SavedTamarinDamage(const std::string& path, std::int32_t ino, const std::string& name,
                               EventHook& hook);

// The "Image damage" report of the image at path. False, after a message through prompts, when
// the image cannot be read.
bool ShowTamarinDamage(const std::string& path, DisplaySink& sink, Prompts& prompts,
                       EventHook& hook);
