// Where a 256-byte logical sector lies on an ImageDisk disk. The disk is read track after track
// (track = Heads x cylinder + head), area 1 first, then area 2, then the main area. A track of
// 256-byte sectors holds one logical sector per physical sector; a track of 128-byte sectors
// holds one per pair of physical sectors (2i and 2i + 1). On the usual VersaDOS and System V/68
// floppies, whose track 0 has 128-byte sectors and the rest 256-byte sectors, logical sectors
// 0..12 are the sector pairs of track 0 and logical sector 13 is the first sector of track 1.
//
// The areas come from the track formats: area 1 runs from track 0 up to the first track whose
// format (sector size, sector count, recording mode) differs from the present track before it,
// area 2 up to the second such change, the main area over the rest. The same rules serve the
// ImageDisk drive and the logical view of a disk from any other container.
#pragma once

#include "DriveSlot.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

struct LsnLocation {
    bool found = false;
    std::int32_t track = 0;
    std::int32_t cylinder = 0;
    std::int32_t head = 0;
    std::int32_t index = 0; // physical sector, 0-based after normalisation; the first of a pair
    std::string problem;    // why the sector lies nowhere, when not found
};

// What the mapping needs of a disk; arrays of three are indexed by area number (0 the main area).
struct AreaLayout {
    std::int32_t Heads = 0;
    std::int32_t Area1Tracks = 0;
    std::int32_t Area2Tracks = 0;
    std::array<std::int32_t, 3> SectorsPerTrack{};
    std::array<std::int32_t, 3> SectorSize{}; // physical sector size in bytes
};

LsnLocation MapLSN(const AreaLayout& layout, std::int32_t lsn);
LsnLocation MapLSN(const DriveSlot& slot, std::int32_t lsn);

// The format of one track index; a track the disk lacks is not present and has no format.
struct TrackFormat {
    bool present = false;
    std::int32_t sectors = 0;
    std::int32_t sizeCode = 0;
    std::int32_t mode = 0;
};

// How a disk of those track formats divides into areas: the number of format changes, the
// tracks of areas 1 and 2, and for each area the track whose format it takes (its first present
// track, or its first track when it holds none).
struct AreaSplit {
    std::int32_t changes = 0;
    std::int32_t area1Tracks = 0;
    std::int32_t area2Tracks = 0;
    std::array<std::int32_t, 3> formatTrack{};
};
AreaSplit SplitAreas(std::span<const TrackFormat> tracks);
