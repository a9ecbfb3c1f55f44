// Which file system an image holds and which program of the suite opens it. The image is
// opened read-only through the container layer; each probe the program hands in looks at a few
// sectors. A damaged image is still identified as far as its readable sectors allow, and the
// damage is named; nothing is ever written.
#pragma once

#include "DiskContainer.h"
#include "FileSystemProbe.h"

#include <optional>
#include <span>
#include <string>

struct Identification {
    std::string path;
    bool read = false;         // the file could be opened and read as a disk
    std::string problem;       // why not
    std::string container;     // the container's title: "ImageDisk", "raw", "Teledisk", ...
    std::string containerName; // its type name: "imd", "raw", "tele", ...
    std::int64_t size = 0;     // bytes of the flat view
    std::optional<ProbeFinding> found;
    std::int64_t damagedSectors = 0;
    std::string damage; // what is damaged, empty when nothing is
};

Identification IdentifyImage(const std::string& path, std::span<const FileSystemProbe> probes,
                             const ContainerOptions& options = {});

// "VersaDOS (volume SYS1)", "CP/M (IBM-3740)", "unknown"
std::string FileSystemText(const Identification& id);
// The line of the identify command: "disk.imd: ImageDisk, VersaDOS (volume SYS1), Kestrel".
std::string IdentifyLine(const Identification& id);
// The sentence a program that refuses the image shows: "This is a FAT12 volume: open it with
// Osprey"; empty when no program of the suite, or the program itself, opens it.
std::string OpenWithText(const ProbeFinding& found, const std::string& refusingProgram);
