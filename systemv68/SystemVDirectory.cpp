#include "SystemVDirectory.h"

#include "DisplaySink.h"
#include "SystemVSuperBlock.h"
#include "modTamarin68.h"

#include <functional>
#include <set>

namespace {

bool IsDirectoryInUse(const modTamarin68& volume, std::int32_t inode) {
    return volume.Inodes().InUse(inode) && IsDirectory(volume.Inodes().Get(inode));
}

// Calls onBlock with the entries of every block of the directory up to its size; stops early
// when onBlock returns false.
void WalkDirectory(modTamarin68& volume, std::int32_t inode,
                   const std::function<bool(const std::vector<DirectoryEntry>&)>& onBlock) {
    // A directory never holds a block twice, so the blocks it can give are at most the
    // volume's: a block met again is a damaged map that would give the same entries forever.
    std::set<std::int32_t> seen;
    for (bool restart = true; volume.ReadNextFileBlock(inode, restart); restart = false) {
        // A hole holds no entries, and the directory goes on after it. A damaged inode may
        // claim gigabytes of holes: each indirect address of 0 is passed in one step.
        if (volume.HoleRead()) {
            volume.SkipHole();
            continue;
        }
        if (!seen.insert(volume.BlockAddress()).second) return;
        if (!onBlock(DecodeDirectoryBlock(volume.DataBlock()))) return;
    }
}

} // namespace

std::vector<DirectoryEntry> DecodeDirectoryBlock(ByteSpan block) {
    std::vector<DirectoryEntry> entries;
    entries.reserve(block.size() / DirEntrySize);
    for (std::size_t at = 0; at + DirEntrySize <= block.size(); at += DirEntrySize)
        entries.push_back({GetWord(block, static_cast<int>(at)), ZeroEndedText(block, at + 2, 14)});
    return entries;
}

std::string ListText(const modTamarin68& volume, const DirectoryEntry& entry) {
    return IsDirectory(volume.Inodes().Get(entry.Ino)) ? "(" + entry.Name + ")" : entry.Name;
}

bool ListDirectory(modTamarin68& volume, std::int32_t inode, std::vector<DirListItem>& lines) {
    if (!IsDirectoryInUse(volume, inode)) return false;
    lines.clear();
    WalkDirectory(volume, inode, [&](const std::vector<DirectoryEntry>& entries) {
        for (const DirectoryEntry& e : entries)
            if (e.Ino != 0) lines.push_back({ListText(volume, e), e.Ino});
        return true;
    });
    return true;
}

void DisplayDirectory(modTamarin68& volume, DisplaySink& sink, std::int32_t inode) {
    if (!IsDirectoryInUse(volume, inode)) return;
    sink.Clear();
    WalkDirectory(volume, inode, [&](const std::vector<DirectoryEntry>& entries) {
        std::string t = "         iNode    Filename" + std::string(CRLF);
        for (const DirectoryEntry& e : entries)
            if (e.Ino != 0)
                t += "  " + PadDec(e.Ino, 6) + " (" + Hex4(e.Ino) + ") " + "  " +
                     ListText(volume, e) + CRLF;
        sink.Append(t);
        return true;
    });
}

std::int32_t GetSelectedInode(std::int32_t selected, std::int32_t& remembered,
                              std::int32_t inodeCount) {
    if (selected >= 0) {
        remembered = selected;
        return selected;
    }
    if (remembered < 1 || remembered > inodeCount) return RootInode;
    return remembered;
}

std::int32_t ResolvePath(modTamarin68& volume, const std::string& path, std::string& error) {
    error.clear();
    if (!path.empty() && path[0] == '#') {
        const std::string digits = path.substr(1);
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            error = path + ": an inode is given as #N with a decimal number N";
            return 0;
        }
        return std::stoi(digits);
    }
    if (path.empty() || path[0] != '/') {
        error = path + ": give an absolute path (/etc/passwd) or #N";
        return 0;
    }
    std::int32_t current = RootInode;
    std::string walked;
    std::size_t at = 1;
    while (at <= path.size()) {
        const std::size_t slash = path.find('/', at);
        const std::string name =
            path.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
        at = slash == std::string::npos ? path.size() + 1 : slash + 1;
        if (name.empty()) continue;
        if (!IsDirectoryInUse(volume, current)) {
            error = path + ": " + (walked.empty() ? "/" : walked) + " is not a directory";
            return 0;
        }
        std::int32_t found = 0;
        WalkDirectory(volume, current, [&](const std::vector<DirectoryEntry>& entries) {
            for (const DirectoryEntry& e : entries)
                if (e.Ino != 0 && e.Name == name) {
                    found = e.Ino;
                    return false;
                }
            return true;
        });
        walked += "/" + name;
        if (found == 0) {
            error = path + ": no such file or directory";
            return 0;
        }
        current = found;
    }
    return current;
}
