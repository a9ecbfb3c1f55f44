// The master boot record of a hard-disk image: four primary partition entries of 16 bytes at
// byte 446 (status, CHS start, type, CHS end, first sector, sector count) and the signature
// 0x55AA at byte 510. A FAT volume's boot sector also ends in 0x55AA, so a table is only
// taken as one when every entry's status byte is 0x00 or 0x80.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct PartitionEntry {
    int Number = 0; // 1..4
    int Status = 0;
    int Type = 0;
    std::uint32_t StartSector = 0;
    std::uint32_t Sectors = 0;
    std::int64_t ByteOffset() const { return static_cast<std::int64_t>(StartSector) * 512; }
};

// The used entries of the table in sector 0, or nothing when the sector holds no partition
// table.
std::optional<std::vector<PartitionEntry>>
ReadPartitionTable(std::span<const std::uint8_t> sector0);
// Reads the sector at byte offset of the image file at path (0: the master boot record); the
// reason in problem when it holds no partition.
std::optional<std::vector<PartitionEntry>>
ReadPartitionTableOf(const std::string& path, std::int64_t offset, std::string& problem);

std::string PartitionTypeName(int type);
bool IsFatPartitionType(int type);
// The partition list as the display and the command line show it.
std::string PartitionText(const std::vector<PartitionEntry>& entries);
