// Save All over a box of images: each image's files go below TARGET/<image name>/ (the image's
// file name made one safe host name; two images of one name kept apart as NAME~2), one
// summary line per image and a total. An image that cannot be opened or read is counted and
// named, and the others are still saved. Ctrl+C stops after the file being written, which is
// discarded (see ProgressLine.h).
#pragma once

#include "DisplaySink.h"
#include "EventHook.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct ImageSaveOutcome {
    bool opened = false;   // the image was read as a volume of the program's file system
    std::string problem;   // why not, or what went wrong beyond single files
    std::size_t saved = 0; // files written
    std::size_t failed = 0;
    std::size_t damaged = 0; // of those written, files with bytes of damaged sectors
};

// Saves one image into folder (already made); reports of its own go nowhere.
using ImageSaver =
    std::function<ImageSaveOutcome(const std::string& image, const std::string& folder)>;

// What an image's line says of an image its program refused (the refusal itself went to
// standard error): "refused", and which program opens it when one of the suite does.
std::string RefusalText(const std::string& image);

// true when every image was opened and every file saved.
bool SaveAllImages(const std::vector<std::string>& images, const std::string& target,
                   DisplaySink& out, EventHook& hook, const ImageSaver& save);
