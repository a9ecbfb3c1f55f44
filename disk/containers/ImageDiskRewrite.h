// Writing a changed disk back as the ImageDisk file it came from. The file is rewritten whole
// from its own bytes: the header and comment, every track header with its mode and maps, and
// every sector record in the order the file has them are copied as they are; only the records
// of changed sectors are made anew (a data record, or a compressed one when all its bytes are
// equal), keeping their deleted-data and data-error marks.
//
// This is done only where nothing can be lost: every sector of the file must be present (no
// unavailable or unknown records), and the records must account for the whole file once each
// (no cut-off record, no second record for a track, nothing the reader skipped).
#pragma once

#include "PhysicalDisk.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct ImageDiskRewrite {
    bool ok = false;
    std::vector<std::uint8_t> bytes; // the new file
    std::string problem;             // why the file cannot be rewritten
};

// original: the bytes of the file the disk was read from.
ImageDiskRewrite RewriteImageDisk(std::span<const std::uint8_t> original, const PhysicalDisk& disk);
