// The CP/M directory of the open image: entry n lies at byte n x 32 of the data area. This keeps
// the block allocation map (which blocks the directory and the file entries hold), finds free
// blocks and entries, and scans the directory against a name pattern for the listings (SHORT,
// FULL), the list of file names (NAMES) and the file commands (BLOCKLIST). Block numbers read from
// an entry are trusted only inside 1..DSM.
#pragma once

#include "CpmImage.h"
#include "DirEntry.h"

#include <functional>
#include <string>
#include <vector>

class DisplaySink;

enum class ListMode { SHORT, FULL, NAMES, BLOCKLIST };

// Where the bytes of one file lie: its valid blocks, the file's extents in order, and how many
// bytes of the last block are the file's. The records of the last block come from the RC of the
// last extent; when its S1 byte is 1..127, the last record holds only that many bytes (CP/M 3
// and cpmtools keep the exact size there; 0 or a larger value means the whole record).
struct FileLayout {
    std::vector<int> blocks;
    std::int64_t lastBlockBytes = 0;
    // The bytes of blocks[k] that belong to the file.
    std::int64_t BlockBytes(std::size_t k, int blockSize) const {
        return k + 1 == blocks.size() ? lastBlockBytes : blockSize;
    }
    std::int64_t Size(int blockSize) const {
        return blocks.empty()
                   ? 0
                   : static_cast<std::int64_t>(blocks.size() - 1) * blockSize + lastBlockBytes;
    }
};
// The layout of a file from its file entries (in any order).
FileLayout LayoutOf(std::vector<DirEntry> entries, const DiskFormat& format);

// What the last directory scan found.
struct DirectoryScan {
    std::vector<DirEntry> raw;            // every entry, entry i at index i
    std::vector<DirEntry> matched;        // matched file entries, in directory order
    std::vector<int> matchedFileNumbers;  // their entry numbers
    std::vector<int> matchedNumbers;      // matched file and password entries
    std::vector<std::string> allNames;    // distinct file names, in order of first appearance
    std::vector<std::string> listedNames; // distinct matched file names
    int entriesRead = 0;
    int entriesUsed = 0;
    int passwordEntries = 0;
    int timeStampEntries = 0;
    int labelEntries = 0;
    int TotalFiles() const { return static_cast<int>(allNames.size()); }
    int FilesListed() const { return static_cast<int>(listedNames.size()); }
};

class CpmDirectory {
  public:
    explicit CpmDirectory(CpmImage& image);

    // The entry being worked on: reading an entry fills it, writing stores it.
    DirEntry& CurrentEntry() { return m_current; }
    bool ReadDirEntry(int n);
    bool WriteDirEntry(int n);
    // Every entry 0..DRM as it is on disk.
    std::vector<DirEntry> ReadDirectory();

    void BuildAllocationMap();
    // The lowest free block, now marked used; 0 when none is free.
    int AllocateBlock();
    // Gives back a block taken with AllocateBlock.
    void FreeBlock(int block) {
        if (block > 0 && block < std::ssize(m_map)) m_map[static_cast<std::size_t>(block)] = 0;
    }
    int CountFreeBlocks() const;
    int CountUsedBlocks() const;
    bool BlockInUse(int block) const {
        return block >= 0 && block < std::ssize(m_map) &&
               m_map[static_cast<std::size_t>(block)] != 0;
    }
    // The lowest entry whose status byte is 0xE5, or -1.
    int FindFreeEntry();
    // The lowest count entries whose status byte is 0xE5 (fewer when there are not enough).
    std::vector<int> FindFreeEntries(int count);
    // Entries not used, as the last scan counted them (other status bytes count as free here).
    int FreeEntryCount() const;

    // Scans the directory for user:name.type and shows it in mode (SHORT or FULL) in out.
    // literal: the pattern is the name of one file, matched without wildcards.
    void ShowDirectory(DisplaySink& out, const std::string& user, const std::string& name,
                       const std::string& type, ListMode mode, bool literal = false);
    // The same scan for the file names (NAMES) or a file command (BLOCKLIST): nothing is shown.
    void ScanDirectory(const std::string& user, const std::string& name, const std::string& type,
                       ListMode mode, bool literal = false);
    // The SHORT listing of every file.
    void ShowAll(DisplaySink& out) { ShowDirectory(out, "??", "????????", "???", ListMode::SHORT); }
    // Whether a file of exactly this 15-character name is on the image.
    bool FileExists(const std::string& cpmName);
    const DirectoryScan& Scan() const { return m_scan; }

    // The layout of the file of the matched file entries.
    FileLayout Layout() const { return LayoutOf(m_scan.matched, m_image.Format()); }
    // Its valid data blocks, the file's extents in order.
    std::vector<int> BlockList() const { return Layout().blocks; }

    // Whether the SHORT and FULL listings are sorted by name.
    void SetSorted(bool sorted) { m_sorted = sorted; }
    bool Sorted() const { return m_sorted; }
    // The file names of the last SHORT, FULL or NAMES listing.
    const std::vector<std::string>& FileList() const { return m_fileList; }
    void SetFileListChanged(std::function<void()> handler) {
        m_fileListChanged = std::move(handler);
    }

  private:
    void Scan(DisplaySink* out, const std::string& user, const std::string& name,
              const std::string& type, ListMode mode, bool literal);
    void ResetScan();
    void RefillFileList();
    void AppendFull(DisplaySink& out);
    void AppendShort(DisplaySink& out);
    void AppendSummary(DisplaySink& out);
    bool ValidBlock(int b) const;

    CpmImage& m_image;
    DirEntry m_current;
    DirectoryScan m_scan;
    std::vector<std::uint8_t> m_map; // one per block of the format
    std::vector<std::string> m_fileList;
    std::function<void()> m_fileListChanged;
    bool m_sorted = false;
};
