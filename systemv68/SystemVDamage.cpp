#include "SystemVDamage.h"

#include "DiskContainer.h"
#include "EventHook.h"
#include "SystemVDirectory.h"
#include "modTamarin68.h"

#include <set>

namespace {

class Mapper {
  public:
    Mapper(modTamarin68& volume, EventHook& hook)
        : m_volume(volume), m_hook(hook), m_block(volume.Geometry().BlockSize),
          m_perBlock(volume.Geometry().BlockSize / 4) {}

    std::vector<MappedItem> Map() {
        AddStructure(m_items, "volume ID", 0, 256);
        AddStructure(m_items, "super block", 512, 512);
        AddStructure(m_items, "inode list", 2 * m_block,
                     std::int64_t{m_volume.Geometry().InodeBlocks} * m_block);
        MapInode(RootInode, "/");
        WalkDirectory(RootInode, "/");
        return std::move(m_items);
    }

    // The map of one file alone.
    MappedItem MapOne(std::int32_t ino, const std::string& name) {
        MapInode(ino, name);
        return std::move(m_items.back());
    }

  private:
    bool InVolume(std::int64_t block) const {
        return block > 0 && block < m_volume.Geometry().VolumeBlocks;
    }

    // The inode itself maps the whole file: its 64 bytes in the inode list.
    void MapInode(std::int32_t ino, const std::string& name) {
        const Inode& inode = m_volume.Inodes().Get(ino);
        MappedItem item;
        item.name = name;
        item.size = static_cast<std::uint32_t>(inode.Size);
        item.runs.push_back(
            {2 * m_block + std::int64_t{ino - 1} * InodeSize, InodeSize, 0, item.size, true});
        const std::int64_t blocks = (item.size + m_block - 1) / m_block;
        for (std::int64_t i = 0; i < 10 && i < blocks; ++i)
            AddDataBlock(item, i, inode.BlockAddr[static_cast<std::size_t>(i)]);
        std::set<std::int32_t> visited;
        std::int64_t first = 10;
        std::int64_t span = m_perBlock;
        for (int depth = 1; depth <= 3 && first < blocks; ++depth) {
            MapIndirect(item, inode.BlockAddr[static_cast<std::size_t>(9 + depth)], depth, first,
                        blocks, visited);
            first += span;
            span *= m_perBlock;
        }
        m_items.push_back(std::move(item));
    }

    void AddDataBlock(MappedItem& item, std::int64_t index, std::int64_t address) {
        if (!InVolume(address)) return; // a hole, or an address the explorer refuses to read
        const std::int64_t offset = index * m_block;
        item.AddData(offset, address * m_block,
                     std::min<std::int64_t>(m_block, item.size - offset));
    }

    // An indirect block at depth 1 names data blocks, at depth 2 single indirect blocks, at
    // depth 3 double indirect blocks; first is the index of the first file block it reaches.
    void MapIndirect(MappedItem& item, std::int32_t address, int depth, std::int64_t first,
                     std::int64_t blocks, std::set<std::int32_t>& visited) {
        if (!InVolume(address) || !visited.insert(address).second) return;
        std::int64_t each = 1;
        for (int d = 1; d < depth; ++d)
            each *= m_perBlock;
        const std::int64_t reach = std::min(each * m_perBlock, blocks - first);
        item.runs.push_back(
            {std::int64_t{address} * m_block, m_block, first * m_block, reach * m_block, true});
        if (!m_volume.ReadIndirectBlock(m_volume.BlockToSector(address),
                                        m_volume.Geometry().SectorsPerBlock))
            return;
        const std::vector<std::int32_t> entries = m_volume.IndirectEntries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::int64_t index = first + static_cast<std::int64_t>(i) * each;
            if (index >= blocks) break;
            if (depth == 1)
                AddDataBlock(item, index, entries[i]);
            else
                MapIndirect(item, entries[i], depth - 1, index, blocks, visited);
        }
    }

    void WalkDirectory(std::int32_t ino, const std::string& path) {
        if (!m_directories.insert(ino).second) return;
        std::vector<DirectoryEntry> children;
        std::set<std::int32_t> seen;
        for (bool restart = true; m_volume.ReadNextFileBlock(ino, restart); restart = false) {
            m_hook.ProcessEvents();
            if (m_hook.Aborted()) return;
            if (m_volume.HoleRead()) {
                m_volume.SkipHole();
                continue;
            }
            if (!seen.insert(m_volume.BlockAddress()).second) break;
            for (const DirectoryEntry& e : DecodeDirectoryBlock(m_volume.DataBlock()))
                if (e.Ino != 0 && e.Name != "." && e.Name != "..") children.push_back(e);
        }
        for (const DirectoryEntry& child : children) {
            if (!m_volume.Inodes().InUse(child.Ino)) continue;
            const bool directory = IsDirectory(m_volume.Inodes().Get(child.Ino));
            const std::string name = path + child.Name + (directory ? "/" : "");
            MapInode(child.Ino, name);
            if (directory) WalkDirectory(child.Ino, name);
        }
    }

    modTamarin68& m_volume;
    EventHook& m_hook;
    std::int64_t m_block;
    std::int64_t m_perBlock;
    std::set<std::int32_t> m_directories;
    std::vector<MappedItem> m_items;
};

} // namespace

std::vector<MappedItem> MapSystemVVolume(modTamarin68& volume, EventHook& hook) {
    if (!volume.Geometry().IsExplorable) return {};
    return Mapper(volume, hook).Map();
}

DamageScan ScanTamarinDamage(const std::string& path, EventHook& hook) {
    return ScanLogicalViewDamage(path, hook, [&hook](SectorSource& sectors, Prompts& notes) {
        modTamarin68 volume(sectors, notes);
        return volume.OpenVolume() ? MapSystemVVolume(volume, hook) : std::vector<MappedItem>{};
    });
}

std::string SavedTamarinDamage(const std::string& path, std::int32_t ino, const std::string& name,
                               EventHook& hook) {
    DamageScan scan;
    const std::unique_ptr<DiskContainer> container = OpenForDamageScan(path, hook, scan);
    if (!container) return "";
    NotePrompts notes;
    scan.damage = LogicalViewDamage(*container, notes.notes);
    if (scan.damage.empty()) return "";
    modTamarin68 volume(container->Logical(), notes);
    if (!volume.OpenVolume() || !volume.Geometry().IsExplorable) return "";
    scan.items.push_back(Mapper(volume, hook).MapOne(ino, name));
    return SavedDamageText(scan, name, false);
}

bool ShowTamarinDamage(const std::string& path, DisplaySink& sink, Prompts& prompts,
                       EventHook& hook) {
    return ShowDamageScan(ScanTamarinDamage(path, hook), sink, prompts);
}
