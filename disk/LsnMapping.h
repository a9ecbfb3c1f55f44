// Where a 256-byte logical sector lies on an ImageDisk disk. The disk is read track after track
// (track = Heads x cylinder + head), area 1 first, then area 2, then the main area. A track of
// 256-byte sectors holds one logical sector per physical sector; a track of 128-byte sectors
// holds one per pair of physical sectors (2i and 2i + 1). On the usual VersaDOS and System V/68
// floppies, whose track 0 has 128-byte sectors and the rest 256-byte sectors, logical sectors
// 0..12 are the sector pairs of track 0 and logical sector 13 is the first sector of track 1.
#pragma once

#include "DriveSlot.h"

#include <cstdint>
#include <string>

struct LsnLocation {
    bool found = false;
    std::int32_t track = 0;
    std::int32_t cylinder = 0;
    std::int32_t head = 0;
    std::int32_t index = 0; // physical sector, 0-based after normalisation; the first of a pair
    std::string problem;    // why the sector lies nowhere, when not found
};

LsnLocation MapLSN(const DriveSlot& slot, std::int32_t lsn);
