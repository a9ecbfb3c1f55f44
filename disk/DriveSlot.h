// A drive slot of the ImageDisk drive: the image open in it, its reader and the track formats of
// up to three areas of the disk. Area 1 runs from track 0 up to the first format change, area 2
// from the first change up to the second, and area 0, the main area, over the rest of the disk;
// arrays of three are indexed by area number. Without a change areas 1 and 2 have no tracks and
// all three carry the format of track 0.
#pragma once

#include "classIMDfile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

struct DriveSlot {
    std::string FileName;       // the image's path, opened and shown in the caption
    std::string FileTitle;      // the name without its folder, as the open dialog returns it
    std::int32_t MultiArea = 0; // 1 when the disk changes its track format at least once
    bool ReadOnly = true;
    std::array<std::int32_t, 3> RateCode{}; // 8, 7, 6 = 500, 300, 250 kbit/s; 0 unknown
    std::array<std::int32_t, 3> Density{};  // 1 single, 2 double, 0 unknown
    std::array<std::int32_t, 3> SectorsPerTrack{};
    std::int32_t Cylinders = 0;
    std::int32_t Heads = 0;
    std::int32_t Area1Tracks = 0;
    std::int32_t Area2Tracks = 0;
    std::array<std::int32_t, 3> SectorSize{}; // physical sector size in bytes
    std::int32_t HeaderLength = 0;
    std::array<std::int32_t, 3> TrackPreamble{};
    bool IsImageDisk = false;
    std::unique_ptr<classIMDfile> Reader;
};
