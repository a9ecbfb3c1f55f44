// Test helpers: ImageDisk images written to temporary files and opened for the reader or the
// drive.
#pragma once

#include "ImageDiskDrive.h"
#include "ImdBuilder.h"
#include "ScriptedPrompts.h"
#include "classIMDfile.h"

#include <string>

std::string WriteTempImage(const ByteString& bytes, const std::string& name);

// An image open as file number 1 with a reader on it (signature tested, not yet processed).
struct OpenedImd {
    HostFiles files;
    classIMDfile reader{files};
    std::string path;
    explicit OpenedImd(const ByteString& bytes, const std::string& name = "image.imd");
    // Tests the signature and indexes the image; false when the signature test fails.
    bool Process();
};

// An image the builder made, processed; the test fails when its signature is refused.
struct ProcessedImd : OpenedImd {
    explicit ProcessedImd(const ImdBuilder& imd, const std::string& name = "image.imd");
};

// A drive with recorded prompts and the image open in slot 1.
struct Drive {
    ScriptedPrompts prompts;
    ImageDiskDrive drive{prompts, "VersaDOS File System"};
    std::string path;
    ImageDiskDrive::OpenResult result;
    explicit Drive(const ByteString& bytes, const std::string& name = "disk.imd");
    const DriveSlot& slot() const { return drive.Slot(1); }
    const classIMDfile& reader() const { return *drive.Slot(1).Reader; }
    const ShownMessage& Last() const { return prompts.messages.back(); }
    // The logical sector, or nothing when the read fails.
    ByteString Read(std::int32_t lsn);
};

// count 256-byte double-density sectors numbered from 1.
ImdTrack Track256(int cylinder, int head, int count = 4);
ImdBuilder TracksOf(const std::vector<ImdTrack>& tracks, const std::string& comment = "Test image");
// The usual 8-inch layout: track 0 26 x 128 single density, then 26 x 256 double density.
ImdBuilder EightInch(int cylinders);
// What a Uniform track holds in sector number sector (size bytes).
ByteString SectorBytes(int cylinder, int head, int sector, int size);

// The file position the reader gives for physical sector (from 0) of track.
std::int32_t OffsetAt(classIMDfile& reader, std::int32_t track, std::int32_t sector);

// The 1-based position of the type byte of the record in slot of track (in file order) of an
// image the builder made, computed from the builder's own tracks.
std::int32_t RecordPosition(const ImdBuilder& imd, std::size_t trackInFile, std::size_t slot);
