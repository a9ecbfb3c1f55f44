// Shared by the fuzz targets: a scratch folder of this process that holds the image under test
// and whatever the commands save, and the checks every target makes after its commands ran.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// This process's scratch folder (in /dev/shm when there is one), made at first use and removed
// when the process ends.
const std::string& ScratchDir();
// Writes bytes to name inside the scratch folder, replacing the file; its path.
std::string WriteScratchFile(const std::string& name, std::span<const std::uint8_t> bytes);
// An empty folder name inside the scratch folder (emptied when it exists); its path.
std::string FreshScratchFolder(const std::string& name);

// What an image file is before a command runs: size, bytes and modification time.
struct FileState {
    std::vector<std::uint8_t> bytes;
    std::int64_t size = -1;
    std::int64_t mtimeNanoseconds = 0;
    bool operator==(const FileState&) const = default;
};
FileState StateOf(const std::string& path);

// The checks end the process with a message (libFuzzer then keeps the input as a crash) when a
// safety property is broken:
// the image file is not what it was before the commands,
void RequireUnchanged(const std::string& path, const FileState& before, const char* what);
// or something in the scratch folder lies outside the folders the commands may write to (and
// is not one of the allowed files).
void RequireNothingOutside(const std::vector<std::string>& allowedFolders,
                           const std::vector<std::string>& allowedFiles);
