// Which VersaDOS files the damaged sectors of a disk hit. Every position is a byte of the disk's
// logical view (256-byte sectors, sector n at n x 256), the view Kestrel reads. A contiguous
// file is one run of sectors; any other file is its data blocks in the order of its FAB chain,
// and each FAB maps the blocks of the segments it lists. The volume ID, the configuration area,
// the allocation table and the SDB and PDB chains are the volume's own structures.
#pragma once

#include "FileDamage.h"

#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class Prompts;
class SectorSource;

// Every file and structure of the VersaDOS volume on disk; messages of damaged chains go to
// prompts. Empty when the disk holds no VersaDOS volume.
std::vector<MappedItem> MapVersaDOSVolume(SectorSource& disk, Prompts& prompts, EventHook& hook);

// The "Image damage" report of the image at path, opened read-only through the container layer.
// False, after a message through prompts, when the image cannot be read.
bool ShowKestrelDamage(const std::string& path, DisplaySink& sink, Prompts& prompts,
                       EventHook& hook);
