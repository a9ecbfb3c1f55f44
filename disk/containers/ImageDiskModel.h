// An ImageDisk file as a disk of tracks: the ImageDisk reader (classIMDfile) indexes the file
// exactly as the ImageDisk drive does, and every track it holds becomes a track of the model,
// with the sector numbers, cylinder and head IDs of its maps as the file records them. Sector
// records of type 0 (unavailable), of unknown types, and records the file cuts off become
// unavailable sectors; types 5 to 8 carry a data error, 3, 4, 7 and 8 a deleted-data mark.
#pragma once

#include "PhysicalDisk.h"
#include "classIMDfile.h"

#include <string>

struct ImageDiskModel {
    bool isImageDisk = false; // the file starts with "IMD "
    std::string problem;      // set when the file could not be read into the model
    std::string comment;      // the header text, as the drive shows it
    bool readOnly = false;    // the reader's own verdict (see classIMDfile::RO)
    PhysicalDisk disk;
};

ImageDiskModel ReadImageDiskModel(const std::string& path);
