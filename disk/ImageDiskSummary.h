// The ImageDisk summary of an open image: its comment, geometry, the areas the drive reads,
// every format change, and why the image is read-only.
#pragma once

#include "DisplaySink.h"
#include "DriveSlot.h"

// Writes nothing when the slot holds no ImageDisk reader.
void ImageDiskSummary(DisplaySink& sink, const DriveSlot& slot);
