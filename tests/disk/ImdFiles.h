// Test helpers: ImageDisk images written to temporary files and opened for the reader or the
// drive.
#pragma once

#include "ImdBuilder.h"
#include "ScriptedPrompts.h"
#include "classIMDfile.h"

#include <string>

// Writes bytes to a fresh temporary file named name and returns its path.
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

// The 1-based position of the type byte of the record in slot of track (in file order) of an
// image the builder made, computed from the builder's own tracks.
std::int32_t RecordPosition(ImdBuilder& imd, std::size_t trackInFile, std::size_t slot);
