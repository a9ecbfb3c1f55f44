// The FAT boot sector (the BIOS parameter block of DOS 3.31 and its extended DOS 4.0 part) and
// the volume layout derived from it: reserved sectors, the FATs, the fixed-size root directory
// and then the data area in clusters. All fields are little-endian.
#pragma once

#include <cstdint>
#include <span>
#include <string>

using BootBytes = std::span<const std::uint8_t>;

// Little-endian field readers; bytes outside the buffer read as 0.
int LeByte(BootBytes bytes, std::size_t i);
std::int32_t LeWord(BootBytes bytes, std::size_t i); // unsigned 0..65535
std::int32_t LeLong(BootBytes bytes, std::size_t i); // signed two's complement

struct BootSector {
    std::string OemId; // 8 characters, unprintable bytes as "."
    std::int32_t BytesPerSector = 0;
    int SectorsPerCluster = 0;
    std::int32_t ReservedSectors = 0;
    int NumberOfFats = 0;
    std::int32_t RootEntries = 0;
    std::int32_t SmallSectors = 0;
    int MediaType = 0;
    std::int32_t SectorsPerFat = 0;
    std::int32_t SectorsPerTrack = 0;
    std::int32_t NumberOfHeads = 0;
    std::int32_t HiddenSectors = 0;
    std::int32_t LargeSectors = 0;
    int PhysicalDiskNumber = 0;
    int CurrentHead = 0;
    int ExtendedSignature = 0;
    std::int32_t VolumeSerialNumber = 0; // the 32 bits as stored; shown unsigned
    std::string VolumeLabel;             // 11 characters
    std::string SystemId;                // 8 characters
    std::int32_t BootSignature = 0;
    std::uint8_t Raw[512] = {};
};

// Where the volume's parts lie, in sectors of SectorBytes bytes from the start of the volume.
struct VolumeLayout {
    std::int64_t TotalSectors = 0;
    // Total sectors ÷ sectors per cluster: the count the FAT type is decided on. It is not the
    // number of data clusters (reserved, FAT and root sectors are not taken off), so it is a
    // little larger than what mkfs.fat and the FAT standard count.
    std::int64_t ClusterCount = 0;
    std::int64_t Fat0Start = 0;
    std::int64_t Fat1Start = 0;
    std::int64_t RootStart = 0;
    std::int64_t DataStart = 0;
    // Bytes per sector used for positions: the boot sector's value when it is 512, 1024, 2048
    // or 4096, else 512.
    int SectorBytes = 512;
};

BootSector ParseBootSector(BootBytes sector);
VolumeLayout DeriveLayout(const BootSector& boot);
bool HasBootSignature(const BootSector& boot);
// The extended boot signature 0x29 says that the serial number, the volume label and the
// file-system type follow; 0x28 (OS/2, early DOS 4) carries the serial number only. DOS 3.31 and
// older volumes have neither, and their boot code lies there.
bool HasSerialNumber(const BootSector& boot);
bool HasVolumeLabel(const BootSector& boot);

// 12 below 4080 clusters, 16 below 65520, else 32 (which is refused).
int FatTypeFor(std::int64_t clusterCount);

// What the system ID label shows for a FAT type: the system ID in black when it names that
// type, else "Fat12", "Fat16" or "Fat32" in blue.
struct SystemIdLabel {
    std::string Text;
    bool Blue = false;
};
SystemIdLabel SetFatType(int fatType, const std::string& systemId);

std::string BootSectorInfo(const BootSector& boot);
std::string RawBootSector(const BootSector& boot);
// The raw dump layout shared by the boot sector and the root directory: header, an empty line,
// lines of Hex8 offset + 16 bytes + their characters, and an empty line.
std::string RawAreaText(const std::string& header, std::span<const std::uint8_t> bytes);

std::string TrimBlanks(const std::string& text);
