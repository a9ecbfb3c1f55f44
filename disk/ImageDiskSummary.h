// The ImageDisk summary of an open image: its comment, geometry, the areas the drive reads,
// every format change, and what makes the image itself read-only (unavailable and compressed
// sectors, missing tracks, records cut off by the end of the file).
#pragma once

#include "DisplaySink.h"
#include "DriveSlot.h"
#include "SectorSource.h"

// Writes nothing when the slot holds no ImageDisk reader.
void ImageDiskSummary(DisplaySink& sink, const DriveSlot& slot);
// The summary of the image in slot 1 when disk is an ImageDisk drive; nothing for other disks.
void ImageDiskSummary(DisplaySink& sink, const SectorSource& disk);
