// Which FAT files the damaged sectors of a disk hit. Every position is a byte of the disk's
// flat view; the volume starts at the partition offset and its sectors follow one another
// from there. A file is its cluster chain, cluster k holding bytes k x cluster size.. of it; a
// directory is its chain too (the root its fixed area). The reserved sectors with the boot
// sector, the FATs and the root directory are the volume's own structures.
#pragma once

#include "FileDamage.h"

#include <cstdint>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class FatVolume;
class Prompts;

// Every file and directory reachable from the root of an opened volume (FAT and root
// directory loaded), and the structures; positions are offset + bytes of the volume.
std::vector<MappedItem> MapFatVolume(FatVolume& volume, std::int64_t offset, EventHook& hook);

struct DirEntry;
// What a save says of the file of row, named name, when the volume's damaged bytes (see
// FatVolume::SetDamagedBytes) hit it: "NAME: saved with damaged bytes 512-1023 of 4096"; empty
// for a whole file.
std::string SavedFatDamage(FatVolume& volume, const DirEntry& row, const std::string& name);

// The damage of the image at path, opened read-only through the container layer, and the map
// of the files of the volume at byte offset when there is any damage.
DamageScan ScanOspreyDamage(const std::string& path, std::int64_t offset, EventHook& hook);

// The "Image damage" report of the image at path. False, after a message through prompts, when
// the image cannot be read.
bool ShowOspreyDamage(const std::string& path, std::int64_t offset, DisplaySink& sink,
                      Prompts& prompts, EventHook& hook);
