#include "SaveAll.h"

#include "DirectoryTable.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "FatVolume.h"
#include "FileContents.h"
#include "PathStack.h"

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

std::string ImageFolderName(const std::string& fileTitle) {
    const std::size_t dot = fileTitle.rfind('.');
    if (dot == 0) return "";
    const std::string folder = dot == std::string::npos ? fileTitle : fileTitle.substr(0, dot);
    return folder.empty() ? "" : SafeComponent(folder);
}

namespace {

std::string WithoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// Enters each folder of the relative path under target, making the missing ones. A folder
// that exists as something else is left for the save to fail on.
bool MakeFolders(const std::string& target, const std::vector<std::string>& folders,
                 std::string& problem) {
    fs::path at(target);
    for (const std::string& folder : folders) {
        at /= folder;
        std::error_code ec;
        if (fs::exists(fs::symlink_status(at, ec))) continue;
        if (!fs::create_directory(at, ec) && ec) {
            problem = "Cannot create the folder " + at.string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

} // namespace

SaveAllResult SaveAll(FatVolume& volume, const DirectoryTable& table, const PathStack& path,
                      const std::string& imageFileTitle, const std::string& target,
                      DisplaySink& sink, EventHook& hook) {
    SaveAllResult result;
    sink.Clear();
    // One line per file: the pane takes them in pieces.
    PieceSink pieces(sink);
    const std::string top = WithoutTrailingSlash(target);

    std::vector<std::string> folders;
    const std::string imageFolder = ImageFolderName(imageFileTitle);
    if (!imageFolder.empty()) folders.push_back(imageFolder);
    for (const PathLevel& level : path.Levels())
        folders.push_back(SafeComponent(level.DisplayName));
    std::string relative;
    for (const std::string& folder : folders)
        relative += (relative.empty() ? "" : "/") + folder;
    const std::string base =
        top + (top == "/" ? "" : "/") + (relative.empty() ? "" : relative + "/");

    const int end = table.RowsInUse();
    for (int i = 0; i < end; ++i) {
        pieces.FlushIfDue();
        hook.ProcessEvents();
        const DirEntry& row = table.Row(i);
        if (!row.IsFile() || row.Deleted) continue;
        const std::string name = SafeComponent(DefaultFileName(row));
        std::error_code ec;
        if (!fs::is_directory(top, ec)) {
            result.Problem = "The folder " + top + " cannot be entered";
            break;
        }
        if (!MakeFolders(top, folders, result.Problem)) break;
        const std::string fullPath = base + name;
        if (SaveEntry(volume, row, fullPath, hook).Saved()) {
            pieces.Append("Saved - " + fullPath + CRLF);
            ++result.Saved;
        } else {
            pieces.Append("Failed - " + fullPath + CRLF);
            ++result.Failed;
        }
        if (hook.Aborted()) break;
    }
    pieces.Append(std::string(CRLF) + " Total Files  - " + std::to_string(table.FileCount()) +
                  "  Saved - " + std::to_string(result.Saved) + "  Failed - " +
                  std::to_string(result.Failed));
    return result;
}
