#include "modTamarin68.h"

#include "DisplaySink.h"
#include "Prompts.h"
#include "SectorSource.h"

#include <algorithm>
#include <limits>

namespace {

std::string Dec(std::int64_t n) {
    return std::to_string(n);
}

} // namespace

modTamarin68::modTamarin68(SectorSource& disk, Prompts& prompts)
    : m_disk(disk), m_prompts(prompts), m_volume(disk) {}

bool modTamarin68::OpenVolume() {
    // The volume ID, and the configuration area that it names when it is a VersaDOS one.
    m_volume.IsVersaDOSVolume();
    const std::string& magic = m_volume.VID().magic;
    m_configRead = magic == "MOTOROLA" || magic == "EXORMACS";
    m_inodes.Clear();
    if (!CheckFileSystem()) return false;
    ReadInodeTable(static_cast<std::int32_t>(BlockToSector(2)),
                   m_geometry.InodeBlocks * m_geometry.SectorsPerBlock);
    return true;
}

bool modTamarin68::ReadSectorsInto(std::int64_t firstSector, std::int32_t sectorCount,
                                   std::vector<std::uint8_t>& buffer) {
    const std::size_t size = static_cast<std::size_t>(m_disk.SectorSize());
    buffer.assign(static_cast<std::size_t>(std::max(sectorCount, 0)) * size, 0);
    if (firstSector < 0 || firstSector + sectorCount > std::numeric_limits<std::int32_t>::max())
        return false;
    return m_disk.ReadSectors(static_cast<std::int32_t>(firstSector), sectorCount, buffer);
}

bool modTamarin68::ReadSuperBlock(std::int32_t sector) {
    SuperBlockBytes raw{};
    std::array<std::uint8_t, LogicalSectorSize> half{};
    bool ok = true;
    if (m_disk.SectorSize() != LogicalSectorSize) return false;
    for (std::int32_t i = 0; i < 2; ++i) {
        half.fill(0);
        if (m_disk.ReadSector(sector + i, half))
            std::copy(half.begin(), half.end(), raw.begin() + i * LogicalSectorSize);
        else
            ok = false;
    }
    m_super = DecodeSuperBlock(raw);
    SetGeometry();
    return ok;
}

void modTamarin68::SetGeometry() {
    ::SetGeometry(m_super, m_geometry);
    m_map = BlockMap(m_geometry.BlockSize / 4);
}

bool modTamarin68::CheckFileSystem() {
    ReadSuperBlock(2);
    return m_geometry.IsExplorable;
}

bool modTamarin68::ReadInodeTable(std::int32_t firstSector, std::int32_t sectorCount) {
    m_inodes.Clear();
    const std::int32_t perBlock = m_geometry.SectorsPerBlock;
    const std::int32_t wanted = std::max(sectorCount, 0);
    // The list may not run past the file system's last block.
    const std::int64_t volumeSectors = BlockToSector(std::max(m_geometry.VolumeBlocks, 0));
    const std::int64_t available = std::clamp<std::int64_t>(volumeSectors - firstSector, 0, wanted);
    std::vector<std::uint8_t> chunk;
    std::int32_t done = 0;
    while (done < available) {
        const auto count =
            static_cast<std::int32_t>(std::min<std::int64_t>(perBlock, available - done));
        if (!ReadSectorsInto(std::int64_t{firstSector} + done, count, chunk)) break;
        m_inodes.AppendSectors(chunk);
        done += count;
    }
    if (done == wanted) return true;
    const std::int64_t total = std::int64_t{wanted} * (LogicalSectorSize / InodeSize);
    std::string text;
    if (done == available)
        text = "The inode list (" + Dec(total) + " iNodes) runs past the end of the volume (" +
               Dec(m_geometry.VolumeBlocks) + " blocks)";
    else
        text = "The inode list could not be read from logical sector " +
               Dec(std::int64_t{firstSector} + done) + " on";
    text += ": " + Dec(m_inodes.InodeCount()) + " of " + Dec(total) + " iNodes are available.";
    m_prompts.MessageBox("iNode list", text);
    return false;
}

bool modTamarin68::ReadBlock(std::int64_t firstSector, std::int32_t sectorCount) {
    return ReadSectorsInto(firstSector, sectorCount, m_dataBlock);
}

bool modTamarin68::ReadIndirectBlock(std::int64_t firstSector, std::int32_t sectorCount) {
    const bool ok = ReadSectorsInto(firstSector, sectorCount, m_indirectBlock);
    m_indirect.clear();
    for (std::size_t i = 0; ok && i + 4 <= m_indirectBlock.size(); i += 4)
        m_indirect.push_back(GetLong(m_indirectBlock, static_cast<int>(i)));
    return ok;
}

bool modTamarin68::InVolume(std::int32_t block, const std::string& what) {
    if (block >= 0 && block < m_geometry.VolumeBlocks) return true;
    m_prompts.MessageBox("Bad block address", "iNode " + Dec(m_walkInode) + ": " + what + " " +
                                                  Dec(static_cast<std::uint32_t>(block)) +
                                                  " lies beyond the end of the volume (" +
                                                  Dec(m_geometry.VolumeBlocks) + " blocks)");
    return false;
}

bool modTamarin68::ReadNextFileBlock(std::int32_t inode, bool restart) {
    if (m_busy || !m_inodes.InUse(inode)) return false;
    m_busy = true;
    const Inode& node = m_inodes.Get(inode);
    if (restart) {
        m_walkInode = inode;
        m_blockIndex = 0;
        m_bytesRead = 0;
        m_fileSize = std::max(node.Size, 0);
        m_walkFailed = false;
        m_map.Reset();
    }
    // The file's blocks are those that cover its size; a block that failed ends the walk.
    if (m_walkFailed || m_bytesRead >= m_fileSize || inode != m_walkInode) {
        m_busy = false;
        return false;
    }
    std::int32_t address = 0;
    const BlockMap::Lookup found = m_map.Find(
        node.BlockAddr, m_blockIndex, address,
        [this](std::int32_t block, std::vector<std::int32_t>& entries) {
            if (!InVolume(block, "indirect block") ||
                !ReadIndirectBlock(BlockToSector(block), m_geometry.SectorsPerBlock))
                return false;
            entries = m_indirect;
            return true;
        },
        &m_holeBlocks);
    bool result = false;
    m_blockAddress = address;
    m_holeRead = found == BlockMap::Lookup::Found && address == 0;
    if (found == BlockMap::Lookup::Beyond) {
        m_busy = false;
        return false;
    }
    if (found == BlockMap::Lookup::Found && address == 0) {
        m_dataBlock.assign(static_cast<std::size_t>(m_geometry.BlockSize), 0);
        result = true;
    } else if (found == BlockMap::Lookup::Found) {
        result = InVolume(address, "block") &&
                 ReadBlock(BlockToSector(address), m_geometry.SectorsPerBlock);
    }
    m_walkFailed = !result;
    m_bytesRead += m_geometry.BlockSize;
    ++m_blockIndex;
    m_busy = false;
    return result;
}

void modTamarin68::SkipHole() {
    if (!m_holeRead || m_holeBlocks <= 1) return;
    m_blockIndex += m_holeBlocks - 1;
    m_bytesRead += (m_holeBlocks - 1) * m_geometry.BlockSize;
    m_holeBlocks = 1;
}

std::int64_t modTamarin68::DisplayLimit() const {
    return std::int64_t{std::max(m_geometry.VolumeBlocks, 0)} * m_geometry.BlockSize;
}

void modTamarin68::DisplaySuperBlock(DisplaySink& sink) const {
    ::DisplaySuperBlock(sink, m_super);
}

void modTamarin68::ShowVolumeID(DisplaySink& sink) const {
    m_volume.ShowVolumeIDTamarin(sink);
}

void modTamarin68::ShowSuperBlockReport(DisplaySink& sink) const {
    DisplaySuperBlock(sink);
    ShowVolumeID(sink);
    if (m_configRead) {
        m_volume.ShowConfigTamarin(sink);
        return;
    }
    // Without the VersaDOS magic sector 0 names no configuration area.
    sink.Append(std::string(CRLF) + "Configuration Parameters" + CRLF +
                " not read: sector 0 carries neither MOTOROLA nor EXORMACS" + CRLF);
}
