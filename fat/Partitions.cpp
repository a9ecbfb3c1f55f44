#include "Partitions.h"

#include "DisplaySink.h"
#include "FatBoot.h"
#include "RawDrive.h"
#include "modUtility.h"

#include <algorithm>
#include <array>

std::optional<std::vector<PartitionEntry>>
ReadPartitionTable(std::span<const std::uint8_t> sector0) {
    if (sector0.size() < 512 || LeWord(sector0, 510) != 0xAA55) return std::nullopt;
    std::vector<PartitionEntry> entries;
    for (int n = 0; n < 4; ++n) {
        const std::size_t at = 446 + static_cast<std::size_t>(n) * 16;
        PartitionEntry entry;
        entry.Number = n + 1;
        entry.Status = LeByte(sector0, at);
        entry.Type = LeByte(sector0, at + 4);
        entry.StartSector = static_cast<std::uint32_t>(LeLong(sector0, at + 8));
        entry.Sectors = static_cast<std::uint32_t>(LeLong(sector0, at + 12));
        if (entry.Status != 0x00 && entry.Status != 0x80) return std::nullopt;
        if (entry.Type != 0) entries.push_back(entry);
    }
    return entries;
}

std::optional<std::vector<PartitionEntry>>
ReadPartitionTableOf(const std::string& path, std::int64_t offset, std::string& problem) {
    RawDrive drive;
    drive.SetPartitionOffset(offset);
    if (const HostError error = drive.OpenDrive(path)) {
        problem = ErrorReport(error, "Osprey");
        return std::nullopt;
    }
    std::array<std::uint8_t, 512> sector{};
    if (!drive.ReadSector(0, sector)) {
        problem = "The image is too short to hold a partition table";
        return std::nullopt;
    }
    auto entries = ReadPartitionTable(sector);
    if (!entries || entries->empty()) {
        problem = "No partition table in this image";
        return std::nullopt;
    }
    return entries;
}

std::string PartitionTypeName(int type) {
    switch (type) {
    case 0x01:
        return "FAT12";
    case 0x04:
        return "FAT16 (below 32 MB)";
    case 0x05:
        return "Extended";
    case 0x06:
        return "FAT16";
    case 0x07:
        return "NTFS / exFAT / HPFS";
    case 0x0B:
        return "FAT32";
    case 0x0C:
        return "FAT32 (LBA)";
    case 0x0E:
        return "FAT16 (LBA)";
    case 0x0F:
        return "Extended (LBA)";
    case 0x11:
        return "Hidden FAT12";
    case 0x14:
        return "Hidden FAT16 (below 32 MB)";
    case 0x16:
        return "Hidden FAT16";
    case 0x1E:
        return "Hidden FAT16 (LBA)";
    case 0x82:
        return "Linux swap";
    case 0x83:
        return "Linux";
    case 0xA5:
        return "FreeBSD";
    case 0xEE:
        return "GPT protective";
    case 0xEF:
        return "EFI system";
    default:
        return "Other";
    }
}

bool IsFatPartitionType(int type) {
    switch (type) {
    case 0x01:
    case 0x04:
    case 0x06:
    case 0x0E:
    case 0x11:
    case 0x14:
    case 0x16:
    case 0x1E:
        return true;
    default:
        return false;
    }
}

namespace {

// Right-aligned in width columns, with at least one blank in front.
std::string Column(std::int64_t value, int width) {
    const std::string digits = std::to_string(value);
    const int blanks = std::max(width - static_cast<int>(digits.size()), 1);
    return std::string(static_cast<std::size_t>(blanks), ' ') + digits;
}

} // namespace

std::string PartitionText(const std::vector<PartitionEntry>& entries) {
    std::string text = " Partition Table" + std::string(CRLF) + CRLF;
    text += " No  Type  Start Sector       Sectors   Byte Offset  Kind" + std::string(CRLF);
    for (const PartitionEntry& e : entries) {
        text += Column(e.Number, 3) + "    " + Hex2(e.Type) + Column(e.StartSector, 14) +
                Column(e.Sectors, 14) + Column(e.ByteOffset(), 14) + "  " +
                PartitionTypeName(e.Type) + (e.Status == 0x80 ? ", active" : "") + CRLF;
    }
    return text;
}
