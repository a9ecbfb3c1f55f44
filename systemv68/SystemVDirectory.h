// System V directories: the directory file is a run of 16-byte entries, an inode number (a
// big-endian word, 0 for an empty entry) and a 14-byte name that ends at the first zero byte or
// fills all 14 bytes. Every directory holds "." and "..", so the file list goes up and down
// through them.
#pragma once

#include "modUtility.h"

#include <cstdint>
#include <string>
#include <vector>

class DisplaySink;
class modTamarin68;

inline constexpr int DirEntrySize = 16;

struct DirectoryEntry {
    std::int32_t Ino = 0;
    std::string Name;
};

// Every entry of a directory block, empty ones (Ino 0) included.
std::vector<DirectoryEntry> DecodeDirectoryBlock(ByteSpan block);

// A line of the file list and the inode attached to it.
struct DirListItem {
    std::string text; // the name, in parentheses for a directory
    std::int32_t ino = 0;
};

// The file list of a directory, in the directory's order; false (and no lines) when inode is
// not a directory in use. A walk that ended on a block that could not be read keeps the lines
// of the blocks before it.
bool ListDirectory(modTamarin68& volume, std::int32_t inode, std::vector<DirListItem>& lines);

// The directory text: a header per block and a line per entry in use.
void DisplayDirectory(modTamarin68& volume, DisplaySink& sink, std::int32_t inode);

// The file list's text for an entry.
std::string ListText(const modTamarin68& volume, const DirectoryEntry& entry);

// The inode of the selected line: selected is the attached inode, or -1 when no line is
// selected; remembered keeps the last selection. Falls back to the root directory.
std::int32_t GetSelectedInode(std::int32_t selected, std::int32_t& remembered,
                              std::int32_t inodeCount);

// The inode that an absolute path ("/etc/passwd") or "#N" names. On failure the result is 0
// and error says why.
std::int32_t ResolvePath(modTamarin68& volume, const std::string& path, std::string& error);
