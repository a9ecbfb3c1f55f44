#include "FatDamage.h"

#include "DirectoryTable.h"
#include "DiskContainer.h"
#include "EventHook.h"
#include "FatVolume.h"

#include <array>
#include <set>

namespace {

// The volume's 512-byte sectors in the flat view from the partition offset on.
class VolumeSectors : public SectorSource {
  public:
    VolumeSectors(DiskBytes& bytes, std::int64_t offset) : m_bytes(bytes), m_offset(offset) {}
    int SectorSize() const override { return 512; }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        return ReadSectors(lsn, 1, buffer);
    }
    bool ReadSectors(std::int32_t lsn, std::int32_t count,
                     std::span<std::uint8_t> buffer) override {
        const std::size_t bytes = static_cast<std::size_t>(count) * 512;
        if (lsn < 0 || count < 0 || buffer.size() < bytes) return false;
        return m_bytes.Read(m_offset + std::int64_t{lsn} * 512, buffer.first(bytes));
    }

  private:
    DiskBytes& m_bytes;
    std::int64_t m_offset;
};

class Mapper {
  public:
    Mapper(FatVolume& volume, std::int64_t offset, EventHook& hook)
        : m_volume(volume), m_offset(offset), m_hook(hook),
          m_sectorBytes(volume.Layout().SectorBytes), m_cluster(volume.ClusterBytes()) {}

    std::vector<MappedItem> Map() {
        const VolumeLayout& layout = m_volume.Layout();
        Area("boot sector and reserved sectors", 0, layout.Fat0Start);
        if (m_volume.Boot().NumberOfFats >= 2) {
            Area("FAT", layout.Fat0Start, layout.Fat1Start);
            Area("FAT copy", layout.Fat1Start, layout.RootStart);
        } else {
            Area("FAT", layout.Fat0Start, layout.RootStart);
        }
        Area("root directory", layout.RootStart, layout.DataStart);
        WalkDirectory(0, "/");
        return std::move(m_items);
    }

  private:
    void Area(const std::string& name, std::int64_t first, std::int64_t end) {
        AddStructure(m_items, name, m_offset + first * m_sectorBytes,
                     (end - first) * m_sectorBytes);
    }

    // The chain of a file or a directory; size -1: the whole chain (a directory).
  public:
    MappedItem MapChain(const std::string& name, std::int64_t first, std::int64_t size) {
        MappedItem item;
        item.name = name;
        const std::vector<std::int32_t> chain = m_volume.ClusterChain(first);
        item.size = size < 0 ? static_cast<std::int64_t>(chain.size()) * m_cluster : size;
        for (std::size_t k = 0; k < chain.size(); ++k) {
            const std::int64_t at = static_cast<std::int64_t>(k) * m_cluster;
            if (at >= item.size) break;
            item.AddData(at, m_offset + m_volume.ClusterToLSN(chain[k]) * m_sectorBytes,
                         std::min(m_cluster, item.size - at));
        }
        // The FAT entry of each cluster says where the rest of the file lies: a damaged entry
        // loses all of it. The bytes are those of the table the entry was read from.
        const std::int64_t entryBits = m_volume.FatType() == 12 ? 12 : 16;
        for (std::size_t k = 0; k < chain.size(); ++k) {
            const std::int64_t rest = static_cast<std::int64_t>(k + 1) * m_cluster;
            if (rest >= item.size) break;
            const std::int64_t first = chain[k] * entryBits / 8;
            for (const std::int64_t byte : {first, first + 1}) {
                const std::int64_t sector = m_volume.FatByteSector(byte);
                item.runs.push_back({m_offset + sector * m_sectorBytes + byte % m_sectorBytes, 1,
                                     rest, item.size - rest, true});
            }
        }
        return item;
    }

  private:
    void WalkDirectory(std::int64_t cluster, const std::string& path) {
        if (cluster != 0 && !m_directories.insert(cluster).second) return;
        m_hook.ProcessEvents();
        if (m_hook.Aborted()) return;
        DirectoryTable table;
        table.LoadDirectory(m_volume, cluster);
        std::vector<std::pair<std::int64_t, std::string>> below;
        for (int i = 0; i < table.RowsInUse(); ++i) {
            const DirEntry& row = table.Row(i);
            if (row.Deleted || !(row.IsFile() || row.IsDirectory())) continue;
            const std::string name = DefaultFileName(row);
            if (name == "." || name == "..") continue;
            if (row.IsDirectory()) {
                m_items.push_back(MapChain(path + name + "/", row.FirstCluster, -1));
                below.emplace_back(row.FirstCluster, path + name + "/");
            } else {
                m_items.push_back(MapChain(path + name, row.FirstCluster, row.Size));
            }
        }
        for (const auto& [first, name] : below)
            if (first >= 2) WalkDirectory(first, name);
    }

    FatVolume& m_volume;
    std::int64_t m_offset;
    EventHook& m_hook;
    std::int64_t m_sectorBytes;
    std::int64_t m_cluster;
    std::set<std::int64_t> m_directories;
    std::vector<MappedItem> m_items;
};

} // namespace

std::vector<MappedItem> MapFatVolume(FatVolume& volume, std::int64_t offset, EventHook& hook) {
    if (volume.FatType() != 12 && volume.FatType() != 16) return {};
    return Mapper(volume, offset, hook).Map();
}

std::string SavedFatDamage(FatVolume& volume, const DirEntry& row, const std::string& name) {
    if (volume.DamagedBytes().empty() || (volume.FatType() != 12 && volume.FatType() != 16))
        return "";
    // Positions in the volume: the map at offset 0 against the volume's damaged ranges.
    EventHook hook;
    DamageScan scan;
    for (const auto& [start, end] : volume.DamagedBytes()) {
        DamagedRange range;
        range.start = start;
        range.length = end - start;
        scan.damage.push_back(range);
    }
    scan.items.push_back(Mapper(volume, 0, hook).MapChain(name, row.FirstCluster, row.Size));
    return SavedDamageText(scan, name, false);
}

DamageScan ScanOspreyDamage(const std::string& path, std::int64_t offset, EventHook& hook) {
    DamageScan scan;
    const std::unique_ptr<DiskContainer> container = OpenForDamageScan(path, hook, scan);
    if (!container) return scan;
    DiskBytes& flat = container->Flat();
    scan.damage = flat.Damage();
    if (scan.damage.empty()) return scan;
    VolumeSectors sectors(flat, offset);
    FatVolume volume(sectors);
    std::array<std::uint8_t, 512> boot{};
    sectors.ReadSector(0, boot);
    volume.SetBootSector(boot);
    if (volume.Boot().SectorsPerCluster > 0 && volume.Boot().BytesPerSector > 0) {
        volume.SetFatType(FatTypeFor(volume.Layout().ClusterCount));
        std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
        for (const DamagedRange& d : scan.damage)
            if (d.start + d.length > offset)
                ranges.emplace_back(d.start - offset, d.start + d.length - offset);
        volume.SetDamagedBytes(std::move(ranges));
        volume.LoadFats();
        volume.LoadRootDirectory();
        scan.items = MapFatVolume(volume, offset, hook);
        std::string copies;
        for (const FatVolume::FatSectorSource& source : volume.FatSectorsFromCopies())
            copies += (copies.empty() ? "" : ", ") + std::string("sector ") +
                      std::to_string(source.sector) + " from FAT " + std::to_string(source.copy);
        if (!copies.empty()) scan.notes.push_back("FAT 0 sectors read from a copy: " + copies);
    }
    return scan;
}

bool ShowOspreyDamage(const std::string& path, std::int64_t offset, DisplaySink& sink,
                      Prompts& prompts, EventHook& hook) {
    return ShowDamageScan(ScanOspreyDamage(path, offset, hook), sink, prompts);
}
