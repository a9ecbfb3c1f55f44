// Which VersaDOS files the damaged sectors of a disk hit. Every position is a byte of the disk's
// logical view (256-byte sectors, sector n at n x 256), the view Kestrel reads. A contiguous
// file is one run of sectors; any other file is its data blocks in the order of its FAB chain,
// and each FAB maps the blocks of the segments it lists. The volume ID, the configuration area,
// the allocation table and the SDB and PDB chains are the volume's own structures.
#pragma once

#include "FileDamage.h"
#include "VersaDOSSave.h"

#include <cstdint>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class Prompts;
class SectorSource;

struct DirEntry;
// The name of a file in the map: "0007.UTIL.AB.SA".
std::string DamageMapName(std::int32_t user, const std::string& catalog, const DirEntry& entry);

// Every file and structure of the VersaDOS volume on disk; messages of damaged chains go to
// prompts. Empty when the disk holds no VersaDOS volume.
std::vector<MappedItem> MapVersaDOSVolume(SectorSource& disk, Prompts& prompts, EventHook& hook);

// The damage of the image at path, opened read-only through the container layer, and the map
// of its files when there is any.
DamageScan ScanKestrelDamage(const std::string& path, EventHook& hook);

// What a Save All says of each file the scan's damage hits.
DamageLookup DamageLookupOf(DamageScan scan);

class KestrelSession;
// What a save of file index of the selected catalog says when damaged sectors of the image at
// path hit it ("0007.UTIL.AB.SA: saved with damaged bytes 0-255 of 512"); empty for a whole
// file.
std::string SavedKestrelDamage(KestrelSession& session, int index, const std::string& path,
                               EventHook& hook);

// The "Image damage" report of the image at path. False, after a message through prompts, when
// the image cannot be read.
bool ShowKestrelDamage(const std::string& path, DisplaySink& sink, Prompts& prompts,
                       EventHook& hook);
