// What a file-system probe is given and what it answers. Each file system's core offers one
// probe that looks at a few sectors of a disk and says whether its file system is there; the
// identification routine (Identify.h) is handed the probes by the program, so that it links no
// file-system core itself.
#pragma once

#include "SectorSource.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

// The disk as the file systems read it: 256-byte logical sectors (VersaDOS, System V/68) and
// the flat bytes (FAT in 512-byte sectors, CP/M layouts at byte positions).
struct DiskSample {
    SectorSource& logical;
    std::int64_t flatSize = 0;
    // Fills target from position of the flat view; false when any of it cannot be read.
    std::function<bool(std::int64_t position, std::span<std::uint8_t> target)> readFlat;
};

struct ProbeFinding {
    std::string fileSystem;  // "VersaDOS", "System V/68", "CP/M", "FAT12", "FAT16"
    std::string detail;      // the format, the partition, the volume name; may be empty
    std::string program;     // the program of the suite that opens it; empty when none does
    std::string damage;      // a structure the probe needed could not be read
    std::int64_t offset = 0; // byte offset of the volume in the flat view (a partition)
};

using FileSystemProbe = std::function<std::optional<ProbeFinding>(DiskSample& disk)>;
