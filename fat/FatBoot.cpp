#include "FatBoot.h"

#include "DisplaySink.h"
#include "FileTypes.h"
#include "modUtility.h"

#include <cstring>

int LeByte(BootBytes bytes, std::size_t i) {
    return i < bytes.size() ? bytes[i] : 0;
}

std::int32_t LeWord(BootBytes bytes, std::size_t i) {
    return LeByte(bytes, i) | (LeByte(bytes, i + 1) << 8);
}

std::int32_t LeLong(BootBytes bytes, std::size_t i) {
    const std::uint32_t value = static_cast<std::uint32_t>(LeWord(bytes, i)) |
                                (static_cast<std::uint32_t>(LeWord(bytes, i + 2)) << 16);
    return static_cast<std::int32_t>(value);
}

std::string TrimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

namespace {

std::string TextField(BootBytes bytes, std::size_t at, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += PrintableChar(LeByte(bytes, at + i));
    return text;
}

std::string HexBytes(const BootSector& boot, std::size_t at, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += Hex2(boot.Raw[at + i]) + " ";
    return text;
}

} // namespace

BootSector ParseBootSector(BootBytes sector) {
    BootSector boot;
    std::memcpy(boot.Raw, sector.data(), std::min<std::size_t>(sector.size(), 512));
    const BootBytes raw(boot.Raw, 512);
    boot.OemId = TextField(raw, 3, 8);
    boot.BytesPerSector = LeWord(raw, 11);
    boot.SectorsPerCluster = LeByte(raw, 13);
    boot.ReservedSectors = LeWord(raw, 14);
    boot.NumberOfFats = LeByte(raw, 16);
    boot.RootEntries = LeWord(raw, 17);
    boot.SmallSectors = LeWord(raw, 19);
    boot.MediaType = LeByte(raw, 21);
    boot.SectorsPerFat = LeWord(raw, 22);
    boot.SectorsPerTrack = LeWord(raw, 24);
    boot.NumberOfHeads = LeWord(raw, 26);
    boot.HiddenSectors = LeLong(raw, 28);
    boot.LargeSectors = LeLong(raw, 32);
    boot.PhysicalDiskNumber = LeByte(raw, 36);
    boot.CurrentHead = LeByte(raw, 37);
    boot.ExtendedSignature = LeByte(raw, 38);
    boot.VolumeSerialNumber = LeLong(raw, 39);
    boot.VolumeLabel = TextField(raw, 43, 11);
    boot.SystemId = TextField(raw, 54, 8);
    boot.BootSignature = LeWord(raw, 510);
    return boot;
}

VolumeLayout DeriveLayout(const BootSector& boot) {
    VolumeLayout layout;
    const int bps = boot.BytesPerSector;
    layout.SectorBytes = (bps == 512 || bps == 1024 || bps == 2048 || bps == 4096) ? bps : 512;
    // The large sector count is unsigned on disk; a value with bit 31 set is not a small volume.
    layout.TotalSectors =
        boot.SmallSectors != 0
            ? boot.SmallSectors
            : static_cast<std::int64_t>(static_cast<std::uint32_t>(boot.LargeSectors));
    layout.ClusterCount =
        boot.SectorsPerCluster != 0 ? layout.TotalSectors / boot.SectorsPerCluster : 0;
    layout.Fat0Start = boot.ReservedSectors;
    layout.Fat1Start = boot.ReservedSectors + boot.SectorsPerFat;
    layout.RootStart =
        boot.ReservedSectors + static_cast<std::int64_t>(boot.SectorsPerFat) * boot.NumberOfFats;
    // A root directory that does not fill its last sector still occupies the whole sector.
    const std::int64_t rootBytes = static_cast<std::int64_t>(boot.RootEntries) * 32;
    layout.DataStart = layout.RootStart + (rootBytes + layout.SectorBytes - 1) / layout.SectorBytes;
    return layout;
}

bool HasBootSignature(const BootSector& boot) {
    return boot.BootSignature == 0xAA55;
}

bool HasSerialNumber(const BootSector& boot) {
    return boot.ExtendedSignature == 0x29 || boot.ExtendedSignature == 0x28;
}

bool HasVolumeLabel(const BootSector& boot) {
    return boot.ExtendedSignature == 0x29;
}

int FatTypeFor(std::int64_t clusterCount) {
    if (clusterCount < 4080) return 12;
    if (clusterCount < 65520) return 16;
    return 32;
}

SystemIdLabel SetFatType(int fatType, const std::string& systemId) {
    const std::string expected = "FAT" + std::to_string(fatType);
    if (UpperCase(TrimBlanks(systemId)) == expected) return {TrimBlanks(systemId), false};
    return {"Fat" + std::to_string(fatType), true};
}

std::string BootSectorInfo(const BootSector& boot) {
    std::string text = " Boot Sector Info" + std::string(CRLF) + CRLF;
    text += "  OEM ID              = " + boot.OemId + "    ( " + HexBytes(boot, 3, 8) + ")" + CRLF;
    auto field = [&](const char* label, std::int64_t value, int width) {
        const std::string hex = width == 2 ? Hex2(value) : width == 4 ? Hex4(value) : Hex8(value);
        text += std::string(label) + hex + " (" + std::to_string(value) + ")" + CRLF;
    };
    field("  Bytes per Sector    = ", boot.BytesPerSector, 4);
    field("  Sectors per Cluster = ", boot.SectorsPerCluster, 2);
    field("  Reserved Sectors    = ", boot.ReservedSectors, 4);
    field("  Number of FATS      = ", boot.NumberOfFats, 2);
    field("  Root Entries        = ", boot.RootEntries, 4);
    field("  Small Sectors       = ", boot.SmallSectors, 4);
    field("  Media Type          = ", boot.MediaType, 2);
    field("  Sectors per FAT     = ", boot.SectorsPerFat, 4);
    field("  Sectors per Track   = ", boot.SectorsPerTrack, 4);
    field("  Number of Heads     = ", boot.NumberOfHeads, 4);
    field("  Hidden Sectors      = ", boot.HiddenSectors, 8);
    field("  Large Sectors       = ", boot.LargeSectors, 8);
    field("  Phsical Disk Number = ", boot.PhysicalDiskNumber, 2);
    field("  Scan / Surface (CH) = ", boot.CurrentHead, 2);
    field("  Signature           = ", boot.ExtendedSignature, 2);
    // Without the extended signature these bytes are boot code, not a serial number or names.
    if (HasSerialNumber(boot))
        field("  Vol Serial Number   = ", static_cast<std::uint32_t>(boot.VolumeSerialNumber), 8);
    if (HasVolumeLabel(boot)) {
        text += "  Volume Label        = " + boot.VolumeLabel + " ( " + HexBytes(boot, 43, 11) +
                ")" + CRLF;
        text += "  System ID           = " + boot.SystemId + "    ( " + HexBytes(boot, 54, 8) +
                ")" + CRLF;
    }
    text += "  Signature           = " + Hex4(boot.BootSignature) + CRLF;
    text += CRLF;
    return text;
}

std::string RawAreaText(const std::string& header, std::span<const std::uint8_t> bytes) {
    std::string text = header + CRLF + CRLF;
    text +=
        DumpLines(bytes, [](std::size_t i) { return Hex8(static_cast<std::int64_t>(i)) + "  "; });
    text += CRLF;
    return text;
}

std::string RawBootSector(const BootSector& boot) {
    return RawAreaText(" Raw Boot Sector 0", std::span<const std::uint8_t>(boot.Raw, 512));
}
