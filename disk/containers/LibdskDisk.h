// Disks that libdsk reads. libdsk is a C library written for good images, so it never reads one
// in this process: a child process opens the image, reads every track (the sector IDs as the
// driver reports them, so that non-standard numbers and sizes survive, then each sector by its
// ID) and sends the disk through a pipe (DiskStream.h). A crash, hang or flood of the child
// makes the image damaged, not the program.
//
// Writing back also happens in a child, on a copy of the image in a private temporary folder;
// the copy is then read again and must hold exactly the disk that was meant, comment included,
// before its bytes are handed back for the caller to write.
#pragma once

#include "ChildProcess.h"
#include "DiskStream.h"

#include <functional>
#include <string>

// The order in which libdsk's disk format of that name (one `dsktrans -formats` lists, or one of
// the libdskrc files) puts the logical tracks of a disk: for each, its physical track as
// cylinder * heads + head, the place it has in a flat image and in a container read cylinder by
// cylinder. Most formats take the sides in turn (the order is then 0, 1, 2, ...); some go out on
// one side and back, or out again, on the other. Empty for a name libdsk does not know. Only
// libdsk's table of formats is read here, no image.
std::vector<int> LibdskTrackOrder(const std::string& format);

struct LibdskOptions {
    ChildLimits limits;
    // Runs in the child instead of the libdsk reader, writing to the pipe: tests make the child
    // crash, hang or flood the pipe with it.
    std::function<int(int fd)> childForTests;
};

struct LibdskRead {
    bool ok = false;
    StreamedDisk disk;
    std::string problem; // why the image could not be read, as the end of "not a ... image: "
};

// Reads image, the bytes of an image file called fileName, through libdsk's driver type. libdsk
// reads a private copy: some drivers open their file for writing, and none may touch the
// user's image.
LibdskRead ReadWithLibdsk(const std::vector<std::uint8_t>& image, const std::string& fileName,
                          const std::string& type, const LibdskOptions& options);

struct LibdskWrite {
    bool ok = false;
    std::vector<std::uint8_t> image; // the new image file
    std::string problem;
};

// Writes the changed sectors of disk (as read from original, the bytes of the image file) back
// through libdsk's driver type; the new file's bytes, checked by reading them again.
LibdskWrite WriteWithLibdsk(const std::vector<std::uint8_t>& original, const std::string& fileName,
                            const std::string& type, const PhysicalDisk& disk,
                            const std::string& comment, const LibdskOptions& options);
