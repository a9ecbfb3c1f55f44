// Save All: every file of the directory on show into a host folder tree under the chosen
// target: target/ImageFolder/Level1/.../name. Every folder and file name comes from the image,
// so each is made safe first and can never leave the target folder.
#pragma once

#include "HostNames.h"

#include <string>

class DirectoryTable;
class DisplaySink;
class EventHook;
class FatVolume;
class PathStack;


// The image's file name up to its last "." (all of it without a "."; empty when the "." comes
// first), made safe.
std::string ImageFolderName(const std::string& fileTitle);

struct SaveAllResult {
    int Saved = 0;
    int Failed = 0;
    std::string Problem; // why Save All stopped early; empty when it went through
};

// Writes the "Saved - " / "Failed - " lines and the summary line to sink.
SaveAllResult SaveAll(FatVolume& volume, const DirectoryTable& table, const PathStack& path,
                      const std::string& imageFileTitle, const std::string& target,
                      DisplaySink& sink, EventHook& hook);
