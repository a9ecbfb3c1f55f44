// The ImageDisk summary of an open image: its comment, geometry, the areas the drive reads,
// every format change, and what makes the image itself read-only (unavailable and compressed
// sectors, missing tracks, records cut off by the end of the file).
#pragma once

#include "DisplaySink.h"
#include "DriveSlot.h"
#include "SectorSource.h"

#include <cstdint>
#include <string>

class classIMDfile;

// What the summary counts over the image's sector records.
struct ImageDiskCounts {
    std::int32_t unavailable = 0;
    std::int32_t compressed = 0;
    std::int32_t deleted = 0;
    std::int32_t dataErrors = 0;
    std::int32_t missingTracks = 0;
    std::int32_t emptyTracks = 0;
    std::string missingList; // the first eight missing tracks
};
ImageDiskCounts CountImageDiskRecords(const classIMDfile& reader);

// Writes nothing when the slot holds no ImageDisk reader.
void ImageDiskSummary(DisplaySink& sink, const DriveSlot& slot);
// The summary of the image in slot 1 when disk is an ImageDisk drive; nothing for other disks.
void ImageDiskSummary(DisplaySink& sink, const SectorSource& disk);
