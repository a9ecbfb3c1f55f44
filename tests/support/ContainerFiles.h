// One disk in several containers, for the tests that read the same volume from each: the raw
// sector dump itself, and what libdsk's dsktrans makes of it (ImageDisk, Teledisk and CopyQM)
// with the dump's geometry. Without dsktrans only the dump is made.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

struct ContainerFile {
    std::string type; // the --container name
    std::string path;
};

// sectors of sectorSize bytes, sectorsPerTrack a track, heads sides (tracks alternate sides as a
// PC floppy's do); the dump is padded with zeros to whole cylinders.
inline std::vector<ContainerFile> WriteContainers(std::vector<std::uint8_t> dump,
                                                  const std::string& dir, int sectorSize,
                                                  int sectorsPerTrack, int heads) {
    const std::size_t cylinder = static_cast<std::size_t>(sectorSize * sectorsPerTrack * heads);
    const std::size_t cylinders = (dump.size() + cylinder - 1) / cylinder;
    dump.resize(cylinders * cylinder, 0);
    std::vector<ContainerFile> files{{"raw", dir + "/disk.raw"}};
    std::ofstream(files[0].path, std::ios::binary)
        .write(reinterpret_cast<const char*>(dump.data()),
               static_cast<std::streamsize>(dump.size()));
    if (std::system("command -v dsktrans >/dev/null 2>&1") != 0) return files;
    std::ofstream(dir + "/.libdskrc")
        << "[test-disk]\nSidedness=Alt\nCylinders=" << cylinders << "\nHeads=" << heads
        << "\nSectors=" << sectorsPerTrack << "\nSecBase=1\nSecSize=" << sectorSize
        << "\nDataRate=DD\nFM=N\n";
    for (const char* type : {"imd", "tele", "copyqm"}) {
        const std::string out = dir + "/disk." + type;
        const std::string command = "HOME='" + dir + "' dsktrans -itype raw -otype " + type +
                                    " -format test-disk '" + files[0].path + "' '" + out +
                                    "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) files.push_back({type, out});
    }
    return files;
}
