#include "FatProbe.h"

#include "FatBoot.h"
#include "Partitions.h"

#include <array>

namespace {

bool PowerOfTwo(std::int64_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// The FAT type of a boot sector with a usable parameter block: 12, 16 or 32; 0 for none.
int FatTypeOf(std::span<const std::uint8_t> sector) {
    const BootSector boot = ParseBootSector(sector);
    if (!HasBootSignature(boot)) return 0;
    // FAT32 keeps no root directory size and its FAT size in a 32-bit field at byte 36.
    if (boot.RootEntries == 0 && boot.SectorsPerFat == 0 && LeLong(sector, 36) > 0 &&
        PowerOfTwo(boot.SectorsPerCluster) && boot.BytesPerSector >= 512)
        return 32;
    if (boot.BytesPerSector < 512 || boot.BytesPerSector > 4096 ||
        !PowerOfTwo(boot.BytesPerSector) || !PowerOfTwo(boot.SectorsPerCluster) ||
        boot.NumberOfFats < 1 || boot.NumberOfFats > 2 || boot.ReservedSectors < 1 ||
        boot.RootEntries == 0 || boot.SectorsPerFat == 0)
        return 0;
    const VolumeLayout layout = DeriveLayout(boot);
    if (layout.TotalSectors <= 0) return 0;
    return FatTypeFor(layout.ClusterCount);
}

ProbeFinding Found(int type, std::string detail, std::int64_t offset) {
    ProbeFinding found{"FAT" + std::to_string(type), std::move(detail), "Osprey", "", offset};
    if (type == 32) {
        found.detail += std::string(found.detail.empty() ? "" : ", ") + "not supported";
        found.program.clear();
    }
    return found;
}

} // namespace

std::optional<ProbeFinding> ProbeFat(DiskSample& disk) {
    std::array<std::uint8_t, 512> sector{};
    if (!disk.readFlat(0, sector)) return std::nullopt;
    if (const int type = FatTypeOf(sector)) return Found(type, "", 0);

    const auto partitions = ReadPartitionTable(sector);
    if (!partitions) return std::nullopt;
    for (const PartitionEntry& entry : *partitions) {
        std::array<std::uint8_t, 512> boot{};
        if (!disk.readFlat(entry.ByteOffset(), boot)) continue;
        if (const int type = FatTypeOf(boot))
            return Found(type,
                         "partition " + std::to_string(entry.Number) + " at byte offset " +
                             std::to_string(entry.ByteOffset()),
                         entry.ByteOffset());
    }
    return std::nullopt;
}
