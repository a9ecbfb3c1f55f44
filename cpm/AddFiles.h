// Adding host files to the image, as files dropped on the window are added: size limits, a
// valid and unique CP/M name (asking the user when needed), blocks from the lowest free one
// upwards with the last padded by 0x1A, and as many directory entries as the file needs. A file
// is written only when all its blocks and entries are there to take: a refused file leaves the
// image unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QuarrySession;

// Sizes of a file of s bytes in the current format.
struct FileSpace {
    std::int64_t records = 0;
    std::int64_t blocks = 0;
    std::int64_t extents = 0;
    std::int64_t entries = 0;
};
FileSpace SpaceFor(std::int64_t size, int blockSize, int extentsPerEntry);

inline constexpr std::int64_t MaxCpmFileSize = 33554432; // 32 MB

// The drop handler. plainText: the dropped data is text, not a file list. cpmName, when given,
// names the single file instead of its host name (it may carry a user prefix). Returns the
// number of files added.
int DropFiles(QuarrySession& session, const std::vector<std::string>& paths, bool plainText = false,
              const std::optional<std::string>& cpmName = std::nullopt);

// A valid CP/M name for a host path, or "" when the user cancels.
std::string GetValidCpmName(QuarrySession& session, const std::string& path);
// The same for a name as typed: its user prefix is kept.
std::string ValidCpmNameFrom(QuarrySession& session, std::string name);
// A CP/M name that is not on the image yet, or "" when the user cancels.
std::string EnsureUniqueName(QuarrySession& session, const std::string& cpmName);
// Copies the host file into the image under cpmName; size is the size checked by the caller.
// Returns whether the file was added.
bool AddFile(QuarrySession& session, const std::string& path, const std::string& cpmName,
             std::int64_t size);
