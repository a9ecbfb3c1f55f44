// Save All: every file of the directory on show into a host folder tree under the chosen
// target: target/ImageFolder/Level1/.../name; with its sub-directories, each as a folder of the
// same name below. Every folder and file name comes from the image, so each is made safe first
// and can never leave the target folder; names that come out the same in one folder are kept
// apart ("NAME~2.EXT"), so no file overwrites another.
#pragma once

#include "HostNames.h"

#include <cstdint>
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
    int Damaged = 0; // saved, but with bytes of sectors the container could not read
    // What went wrong beyond single files (a folder that cannot be made, a directory that cannot
    // be read); the first such problem, empty when there was none.
    std::string Problem;
};

// Saves the files of the directory on show (table, at path). Writes a "Saved - " or "Failed - "
// line per file and the summary line to sink; the line of a file saved with damaged bytes says
// so, and the summary counts them.
SaveAllResult SaveAll(FatVolume& volume, const DirectoryTable& table, const PathStack& path,
                      const std::string& imageFileTitle, const std::string& target,
                      DisplaySink& sink, EventHook& hook);

// The same for the directory on show (table, read from cluster; 0 for the root) and every
// directory below it, each as a folder. Each directory is saved once (a directory that leads
// back to one saved before is skipped and said so), at most kMaxTreeDepth levels down.
inline constexpr int kMaxTreeDepth = 64;
SaveAllResult SaveAllTree(FatVolume& volume, const DirectoryTable& table, std::int64_t cluster,
                          const PathStack& path, const std::string& imageFileTitle,
                          const std::string& target, DisplaySink& sink, EventHook& hook);
