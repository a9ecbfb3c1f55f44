#include "FatVolume.h"

#include "DisplaySink.h"
#include "modUtility.h"

#include <algorithm>
#include <limits>

namespace {

// A FAT16 table needs at most 65520 two-byte entries; anything a boot sector declares beyond
// that is never consulted, so it is not read.
constexpr std::int64_t kMaxFatBytes = 131072;

std::string ZeroPadded(std::int64_t value, int digits) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

} // namespace

void FatVolume::SetBootSector(BootBytes sector) {
    m_boot = ParseBootSector(sector);
    m_layout = DeriveLayout(m_boot);
    m_fatType = 0;
    m_endMarker = 0;
    m_fat0.clear();
    m_fat1.clear();
    m_root.clear();
    m_fromCopies.clear();
}

void FatVolume::SetFatType(int fatType) {
    m_fatType = fatType;
    m_endMarker = fatType == 12 ? 4095 : 65535;
}

bool FatVolume::ReadVolumeSectors(std::int64_t sector, std::int64_t count,
                                  std::span<std::uint8_t> out) {
    const std::int64_t sourceSize = m_source.SectorSize();
    const std::int64_t bytes = count * m_layout.SectorBytes;
    if (sector < 0 || count < 0 || sourceSize <= 0 || m_layout.SectorBytes % sourceSize != 0 ||
        static_cast<std::int64_t>(out.size()) < bytes)
        return false;
    const std::int64_t lsn = sector * m_layout.SectorBytes / sourceSize;
    const std::int64_t lsnCount = bytes / sourceSize;
    if (lsn + lsnCount > std::numeric_limits<std::int32_t>::max()) return false;
    return m_source.ReadSectors(static_cast<std::int32_t>(lsn), static_cast<std::int32_t>(lsnCount),
                                out.first(static_cast<std::size_t>(bytes)));
}

void FatVolume::ReadArea(std::int64_t sector, std::vector<std::uint8_t>& out) {
    const std::int64_t size = m_layout.SectorBytes;
    const std::int64_t sectors = (static_cast<std::int64_t>(out.size()) + size - 1) / size;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(sectors * size), 0);
    if (!ReadVolumeSectors(sector, sectors, buffer)) {
        std::fill(buffer.begin(), buffer.end(), 0);
        std::span<std::uint8_t> all(buffer);
        for (std::int64_t i = 0; i < sectors; ++i) {
            auto piece =
                all.subspan(static_cast<std::size_t>(i * size), static_cast<std::size_t>(size));
            if (!ReadVolumeSectors(sector + i, 1, piece)) std::fill(piece.begin(), piece.end(), 0);
        }
    }
    std::copy_n(buffer.begin(), out.size(), out.begin());
}

void FatVolume::LoadFat(int n) {
    std::vector<std::uint8_t>& fat = n == 0 ? m_fat0 : m_fat1;
    const std::int64_t declared =
        static_cast<std::int64_t>(m_layout.SectorBytes) * m_boot.SectorsPerFat;
    fat.assign(static_cast<std::size_t>(std::min(declared, kMaxFatBytes)), 0);
    ReadArea(n == 0 ? m_layout.Fat0Start : m_layout.Fat1Start, fat);
}

bool FatVolume::SectorDamaged(std::int64_t sector) const {
    const std::int64_t size = m_layout.SectorBytes;
    return std::any_of(m_damaged.begin(), m_damaged.end(), [&](const auto& range) {
        return range.first < (sector + 1) * size && sector * size < range.second;
    });
}

void FatVolume::LoadFats() {
    m_fromCopies.clear();
    if (m_boot.NumberOfFats >= 1) LoadFat(0);
    if (m_boot.NumberOfFats >= 2) LoadFat(1);
    const std::int64_t size = m_layout.SectorBytes;
    if (m_damaged.empty() || size <= 0 || m_fat0.empty()) return;
    // The copy count is a byte of the image: only copies that lie before the root are looked at.
    const std::int64_t copies =
        m_boot.SectorsPerFat > 0
            ? std::min<std::int64_t>(m_boot.NumberOfFats,
                                     (m_layout.RootStart - m_layout.Fat0Start) /
                                         m_boot.SectorsPerFat)
            : 0;
    const std::int64_t sectors = (static_cast<std::int64_t>(m_fat0.size()) + size - 1) / size;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
    for (std::int64_t s = 0; s < sectors; ++s) {
        if (!SectorDamaged(m_layout.Fat0Start + s)) continue;
        for (int copy = 1; copy < copies; ++copy) {
            const std::int64_t at = m_layout.Fat0Start + copy * m_boot.SectorsPerFat + s;
            if (SectorDamaged(at) || !ReadVolumeSectors(at, 1, buffer)) continue;
            const std::size_t from = static_cast<std::size_t>(s * size);
            std::copy_n(buffer.begin(), std::min(buffer.size(), m_fat0.size() - from),
                        m_fat0.begin() + static_cast<std::ptrdiff_t>(from));
            m_fromCopies.push_back({s, copy});
            break;
        }
    }
}

std::int64_t FatVolume::FatByteSector(std::int64_t position) const {
    const std::int64_t size = m_layout.SectorBytes;
    const std::int64_t s = size > 0 ? position / size : 0;
    for (const FatSectorSource& source : m_fromCopies)
        if (source.sector == s) return m_layout.Fat0Start + source.copy * m_boot.SectorsPerFat + s;
    return m_layout.Fat0Start + s;
}

void FatVolume::LoadRootDirectory() {
    m_root.assign(static_cast<std::size_t>(m_boot.RootEntries) * 32, 0);
    ReadArea(m_layout.RootStart, m_root);
}

std::int32_t FatVolume::FatEntry(std::int64_t cluster) const {
    if (cluster < 0) return 0;
    auto word = [&](std::int64_t at) -> std::int32_t {
        if (at + 1 >= static_cast<std::int64_t>(m_fat0.size())) return 0;
        return m_fat0[static_cast<std::size_t>(at)] |
               (m_fat0[static_cast<std::size_t>(at) + 1] << 8);
    };
    if (m_fatType == 12) {
        const std::int32_t w = word(cluster * 12 / 8);
        return (cluster % 2 == 0 ? w : w >> 4) & 0xFFF;
    }
    return word(cluster * 2);
}

std::int32_t FatVolume::NextCluster(std::int64_t cluster) const {
    if (m_fatType != 12 && m_fatType != 16) return 0;
    return cluster < m_layout.ClusterCount ? FatEntry(cluster) : m_endMarker;
}

std::int64_t FatVolume::ClusterToLSN(std::int64_t cluster) const {
    return (cluster - 2) * m_boot.SectorsPerCluster + m_layout.DataStart;
}

std::int64_t FatVolume::ClusterBytes() const {
    return static_cast<std::int64_t>(m_boot.SectorsPerCluster) * m_layout.SectorBytes;
}

bool FatVolume::IsDataCluster(std::int64_t cluster) const {
    const std::int64_t firstMark = m_fatType == 12 ? 0xFF8 : 0xFFF8;
    return cluster >= 2 && cluster < m_layout.ClusterCount && cluster < firstMark &&
           ClusterToLSN(cluster) + m_boot.SectorsPerCluster <= m_layout.TotalSectors;
}

std::vector<std::int32_t> FatVolume::ClusterChain(std::int64_t first) const {
    std::vector<std::int32_t> chain;
    if (m_fatType != 12 && m_fatType != 16) return chain;
    std::vector<bool> visited(
        static_cast<std::size_t>(std::max<std::int64_t>(m_layout.ClusterCount, 0)));
    for (std::int64_t c = first; IsDataCluster(c) && !visited[static_cast<std::size_t>(c)];
         c = NextCluster(c)) {
        visited[static_cast<std::size_t>(c)] = true;
        chain.push_back(static_cast<std::int32_t>(c));
    }
    return chain;
}

bool FatVolume::ReadCluster(std::int32_t cluster, std::vector<std::uint8_t>& out) {
    out.assign(static_cast<std::size_t>(ClusterBytes()), 0);
    return ReadClusters(cluster, 1, out);
}

bool FatVolume::ReadClusters(std::int32_t first, std::int32_t count, std::span<std::uint8_t> out) {
    return ReadVolumeSectors(ClusterToLSN(first),
                             static_cast<std::int64_t>(m_boot.SectorsPerCluster) * count, out);
}

std::string FatVolume::FatText() const {
    const int digits = m_fatType == 12 ? 4 : 5;
    std::string text;
    for (std::int64_t c = 0; c < m_layout.ClusterCount; ++c) {
        if (c % 16 == 0) text += Hex4(c) + " (" + ZeroPadded(c, digits) + ") ";
        text += Hex4(FatEntry(c)) + " ";
        if (c % 16 == 15) text += CRLF;
    }
    return text;
}

std::string FatVolume::RawRootDirectory() const {
    return RawAreaText(" Raw Root Directory", m_root);
}
