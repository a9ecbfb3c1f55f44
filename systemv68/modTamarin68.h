// An open System V/68 disk. Sector 0 carries a VersaDOS volume ID (and names a VersaDOS
// configuration area) so that the machine's firmware can boot it; the System V file system
// starts at logical sector 0, its super block at byte 512 and its inode list at block 2. Block
// b starts at logical sector b * SectorsPerBlock. Only file systems of 1024-byte blocks are
// explored; any other disk is shown as its volume ID.
#pragma once

#include "SystemVBlockMap.h"
#include "SystemVInode.h"
#include "SystemVSuperBlock.h"
#include "VersaDOSVolume.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class DisplaySink;
class Prompts;
class SectorSource;

class modTamarin68 {
  public:
    static constexpr int LogicalSectorSize = 256;

    modTamarin68(SectorSource& disk, Prompts& prompts);

    // The open steps: the volume ID (and the configuration area when sector 0 carries the
    // VersaDOS magic), the super block, and the whole inode list when the disk is explorable.
    // Returns IsExplorable.
    bool OpenVolume();

    // Reads the super block from sectors sector and sector + 1 and sets the geometry. A half
    // that cannot be read stays zero.
    bool ReadSuperBlock(std::int32_t sector);
    void SetGeometry();
    std::int64_t BlockToSector(std::int64_t block) const {
        return block * m_geometry.SectorsPerBlock;
    }
    bool CheckFileSystem();

    // Reads sectorCount sectors of the inode list from firstSector and decodes them. Reading
    // stops at the first block that cannot be read, or at the end of the volume; the inodes
    // read before stay usable. False when the list could not be read whole.
    bool ReadInodeTable(std::int32_t firstSector, std::int32_t sectorCount);

    // One block into the data block buffer or the indirect block buffer; false when a sector
    // read fails.
    bool ReadBlock(std::int64_t firstSector, std::int32_t sectorCount);
    bool ReadIndirectBlock(std::int64_t firstSector, std::int32_t sectorCount);

    // The file's next block into the data block buffer: true when a block was delivered (a
    // hole as zeros). restart starts at the file's first block. False at the end of the file,
    // for an inode out of range or free, during another call, and when a block cannot be read
    // or lies beyond the volume (reported once; WalkFailed() then tells).
    bool ReadNextFileBlock(std::int32_t inode, bool restart);
    bool WalkFailed() const { return m_walkFailed; }
    // The block the last ReadNextFileBlock gave is a hole (block address 0), read as zeros.
    bool HoleRead() const { return m_holeRead; }
    // After a hole: moves the walk past the rest of the hole at once, a whole indirect range
    // when the hole is an indirect address of 0. Whoever skips holes (a directory holds no
    // entries in them) thus walks a file of gigabytes of holes in a few steps.
    void SkipHole();
    // The block address the last ReadNextFileBlock read (0 for a hole).
    std::int32_t BlockAddress() const { return m_blockAddress; }
    std::int64_t BlockIndex() const { return m_blockIndex; }
    std::int64_t BytesRead() const { return m_bytesRead; }
    std::int64_t FileSize() const { return m_fileSize; }
    bool Busy() const { return m_busy; }

    std::span<const std::uint8_t> DataBlock() const { return m_dataBlock; }
    const std::vector<std::int32_t>& IndirectEntries() const { return m_indirect; }

    // Bytes of a file the text and dump views show at most: the volume's size. Only a sparse
    // or damaged inode claims more; saving still writes all of it.
    std::int64_t DisplayLimit() const;

    // The super block text alone, and the Display SuperBlock report: the super block, the
    // volume ID and the configuration area texts.
    void DisplaySuperBlock(DisplaySink& sink) const;
    void ShowSuperBlockReport(DisplaySink& sink) const;
    // The volume ID text shown for a disk that is not explored.
    void ShowVolumeID(DisplaySink& sink) const;

    const SuperBlock& Super() const { return m_super; }
    const VolumeGeometry& Geometry() const { return m_geometry; }
    const InodeTable& Inodes() const { return m_inodes; }
    const VersaDOSVolume& Volume() const { return m_volume; }
    bool ConfigRead() const { return m_configRead; }

  private:
    // True for a block of the volume; a block beyond it is reported, named by what refers to
    // it.
    bool InVolume(std::int32_t block, const std::string& what);
    bool ReadSectorsInto(std::int64_t firstSector, std::int32_t sectorCount,
                         std::vector<std::uint8_t>& buffer);

    SectorSource& m_disk;
    Prompts& m_prompts;
    VersaDOSVolume m_volume;
    bool m_configRead = false;
    SuperBlock m_super;
    VolumeGeometry m_geometry;
    InodeTable m_inodes;
    BlockMap m_map{256};

    // Iterator state.
    bool m_busy = false;
    std::int32_t m_walkInode = 0;
    std::int64_t m_blockIndex = 0;
    std::int64_t m_fileSize = 0;
    std::int64_t m_bytesRead = 0;
    bool m_walkFailed = false;
    bool m_holeRead = false;
    std::int64_t m_holeBlocks = 0; // blocks of the hole from the last block read on
    std::int32_t m_blockAddress = 0;

    std::vector<std::uint8_t> m_dataBlock;
    std::vector<std::uint8_t> m_indirectBlock;
    std::vector<std::int32_t> m_indirect;
};
