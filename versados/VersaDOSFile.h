// The data of a VersaDOS file. A contiguous file (type 0) is one run of sectors. Any other file
// has a chain of file access blocks (FABs); each FAB lists segment descriptors (data block
// sector, record count, sectors used, key), and each data block holds fixed-length records, or
// variable-length records (a length word, the data, a pad byte after odd lengths).
#pragma once

#include "VersaDOSCatalog.h"
#include "modInitFileOptions.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

struct FABRecord {
    std::int32_t sector = 0;
    std::int32_t link = 0;
    std::int32_t backLink = 0;
    int byte8 = 0;
    int byte9 = 0;
    std::string text; // bytes 6..13
};

struct FABSegment {
    std::int32_t fabSector = 0;
    std::int32_t dataStart = 0;
    std::int32_t records = 0; // #REC
    int sectors = 0;          // #SECT
    int keyLength = 0;
    std::string keyText; // decimal values of the key bytes, no separators
};

// What Save All uses for every file.
RecordOptions DefaultRecordOptions(const DirEntry& entry);

class VersaDOSFile {
  public:
    static constexpr std::size_t kMaxFABs = 1024;
    static constexpr std::size_t kMaxSegments = 2049;

    VersaDOSFile(SectorSource& disk, Prompts& prompts, EventHook& hook)
        : m_disk(disk), m_prompts(prompts), m_hook(hook) {}

    // The volume's size in sectors bounds contiguous files (0: unknown).
    void SetVolumeSectors(std::int32_t sectors) { m_volumeSectors = sectors; }

    bool ReadBlocks(std::int32_t sector, int count);
    bool ReadFAB(std::int32_t sector, int fabLength);
    bool ReadFABChain(std::int32_t firstSector, int fabLength);
    const std::vector<FABRecord>& FABRecords() const { return m_fabs; }
    const std::vector<FABSegment>& Segments() const { return m_segments; }
    const std::vector<std::uint8_t>& Block() const { return m_block; }

    // The last sector offset of a contiguous file, bounded by the volume.
    std::int32_t ContiguousLast(const DirEntry& entry) const;

    // Walks the file's data: onSector(index, bytes) for each sector of a contiguous file, or
    // onBlock(segment, bytes) for each data block in segment order. Stops at abort, at a
    // block that cannot be read, at a block that shares sectors with one walked before (with a
    // message), or when a callback returns false. False when stopped early.
    bool
    WalkData(const DirEntry& entry,
             const std::function<bool(std::int32_t, std::span<const std::uint8_t>)>& onSector,
             const std::function<bool(const FABSegment&, std::span<const std::uint8_t>)>& onBlock);

    // The records of one data block; a record that runs past the block ends the block.
    static void ForEachRecord(const DirEntry& entry, const FABSegment& segment,
                              std::span<const std::uint8_t> block,
                              const std::function<void(std::span<const std::uint8_t>)>& onRecord);

    // The three views of a file. catalogItem is the catalog's list text (":0007.UTIL.").
    void DirectoryView(DisplaySink& sink, const std::string& volumeName,
                       const std::string& catalogItem, const DirEntry& entry) const;
    void DumpView(DisplaySink& sink, const DirEntry& entry);
    void DisplayView(DisplaySink& sink, const DirEntry& entry, bool expandSpaces, bool addCRLF);

  private:
    SectorSource& m_disk;
    Prompts& m_prompts;
    EventHook& m_hook;
    std::int32_t m_volumeSectors = 0;
    std::vector<std::uint8_t> m_block;
    std::vector<std::uint8_t> m_fab;
    std::vector<FABRecord> m_fabs;
    std::vector<FABSegment> m_segments;
};
