// Requests and answers of classIMDfile: which track and sector the caller wants, and where in the
// file that sector lies and how it is stored.
#include "classIMDfile.h"

#include <limits>

namespace {

// Size codes 0..6 are 128..8192 bytes; 7 is a sector without data.
constexpr int NoDataSizeCode = 7;

struct ModeInfo {
    std::uint8_t density;
    std::uint8_t transferRate;
};

// Modes 0..2 record single density at 500, 300 and 250 kbit/s, modes 3..5 double density at the
// same rates; the rates are coded 8, 7 and 6.
ModeInfo InfoOfMode(int mode) {
    static constexpr ModeInfo table[] = {{1, 8}, {1, 7}, {1, 6}, {2, 8}, {2, 7}, {2, 6}};
    if (mode < 0 || mode > 5) return {0, 0};
    return table[mode];
}

} // namespace

std::int32_t classIMDfile::rqLogSectorSize() const {
    if (m_rqLogSectorSize == FollowPhysicalSize) return PhySectorSizeCode();
    return m_rqLogSectorSize;
}

void classIMDfile::rqLogSectorSize(std::int32_t value) {
    if ((value >= 0 && value <= 6) || value == FollowPhysicalSize) {
        m_rqLogSectorSize = value;
        return;
    }
    for (std::int32_t code = 0; code <= 6; ++code)
        if (value == (128 << code)) m_rqLogSectorSize = code;
}

void classIMDfile::rqPhySector(std::int32_t value) {
    if (!ValidTrack()) return;
    const TrackRecord& track = m_trackTable[static_cast<std::size_t>(m_rqTrack)];
    if (value < 0 || value >= track.SectorCount) return;
    const std::int32_t c = track.SizeCode;
    const std::int32_t L = m_rqLogSectorSize;
    m_rqPhySector = value;
    if (L == FollowPhysicalSize)
        m_rqLogSector = value;
    else if (L <= c)
        m_rqLogSector = value << (c - L);
    else
        m_rqLogSector = value >> (L - c);
}

void classIMDfile::rqLogSector(std::int32_t value) {
    if (!ValidTrack() || value < 0) return;
    const TrackRecord& track = m_trackTable[static_cast<std::size_t>(m_rqTrack)];
    const std::int32_t c = track.SizeCode;
    if (c == NoDataSizeCode) return; // a sector without data holds no logical sectors
    const std::int32_t L = m_rqLogSectorSize;
    std::int64_t physical = value;
    if (L != FollowPhysicalSize) physical = L <= c ? physical >> (c - L) : physical << (L - c);
    if (physical >= track.SectorCount) return;
    m_rqLogSector = value;
    m_rqPhySector = static_cast<std::int32_t>(physical);
}

void classIMDfile::rqTrack(std::int32_t value) {
    if (value < 0 || value >= m_tracks) return;
    m_rqTrack = value;
    m_rqCylinder = value / m_heads;
    m_rqHead = value % m_heads;
}

void classIMDfile::rqCylinder(std::int32_t value) {
    if (value < 0 || value >= Cylinders()) return;
    m_rqCylinder = value;
    m_rqTrack = m_heads * value + m_rqHead;
}

// A head the disk does not have would silently name a track of the next cylinder.
void classIMDfile::rqHead(std::int32_t value) {
    if (value < 0 || value >= m_heads) return;
    m_rqHead = value;
    m_rqTrack = m_heads * m_rqCylinder + value;
}

std::int32_t classIMDfile::LocateSlot() const {
    if (!ValidTrack()) return -1;
    const std::int32_t count = m_trackTable[static_cast<std::size_t>(m_rqTrack)].SectorCount;
    std::int32_t slot = -1;
    if (m_useSectorMap) {
        if (m_rqPhySector < 0 || m_rqPhySector > 255) return -1;
        for (std::int32_t s = 0; s < count && slot < 0; ++s)
            if (m_sectorMap[Cell(m_rqTrack, s)] == m_rqPhySector) slot = s;
    } else if (m_rqPhySector >= 0 && m_rqPhySector < count) {
        slot = m_rqPhySector;
    }
    // A record that the file cut off is not there.
    if (slot < 0 || m_sectorPosition[Cell(m_rqTrack, slot)] == 0) return -1;
    return slot;
}

std::int32_t classIMDfile::PhySectorOffset() const {
    const std::int32_t slot = LocateSlot();
    return slot < 0 ? -1 : m_sectorPosition[Cell(m_rqTrack, slot)];
}

// Where a logical sector smaller than the physical sector starts: its share of the physical
// sector's data, counted in 32 bits.
std::int32_t classIMDfile::LogSectorOffset() const {
    const std::int32_t slot = LocateSlot();
    if (slot < 0) return -1;
    const std::int64_t base = m_sectorPosition[Cell(m_rqTrack, slot)];
    const std::int32_t c = m_trackTable[static_cast<std::size_t>(m_rqTrack)].SizeCode;
    const std::int32_t L = m_rqLogSectorSize;
    if (L == FollowPhysicalSize) return static_cast<std::int32_t>(base);
    if (L < 0 || L > 6) return 0;
    if (L >= c) return static_cast<std::int32_t>(base);
    const std::int64_t within = m_rqLogSector % (std::int64_t{1} << (c - L));
    const std::int64_t offset = base + within * (std::int64_t{1} << (7 + L));
    if (offset > std::numeric_limits<std::int32_t>::max()) return -1;
    return static_cast<std::int32_t>(offset);
}

std::uint8_t classIMDfile::IMDSectorType() const {
    const std::int32_t slot = LocateSlot();
    return slot < 0 ? 0 : m_sectorType[Cell(m_rqTrack, slot)];
}

std::uint8_t classIMDfile::IMDSectorFill() const {
    const std::int32_t slot = LocateSlot();
    return slot < 0 ? 0 : m_sectorFill[Cell(m_rqTrack, slot)];
}

std::uint8_t classIMDfile::SPT() const {
    return ValidTrack() ? m_trackTable[static_cast<std::size_t>(m_rqTrack)].SectorCount : 0;
}

std::uint8_t classIMDfile::PhySectorSizeCode() const {
    return ValidTrack() ? m_trackTable[static_cast<std::size_t>(m_rqTrack)].SizeCode : 0;
}

std::int32_t classIMDfile::PhySectorSize() const {
    const int code = PhySectorSizeCode();
    return code >= NoDataSizeCode ? 0 : 128 << code;
}

std::uint8_t classIMDfile::DensityCode() const {
    return ValidTrack() ? m_trackTable[static_cast<std::size_t>(m_rqTrack)].Mode : 0;
}

std::uint8_t classIMDfile::TransferRateCode() const {
    return DensityCode();
}

std::uint8_t classIMDfile::Density() const {
    return ValidTrack() ? InfoOfMode(DensityCode()).density : 0;
}

std::uint8_t classIMDfile::TransferRate() const {
    return ValidTrack() ? InfoOfMode(DensityCode()).transferRate : 0;
}

std::uint8_t classIMDfile::AMSector() const {
    return static_cast<std::uint8_t>(m_rqPhySector);
}

std::uint8_t classIMDfile::AMCylinder() const {
    const std::int32_t slot = LocateSlot();
    if (slot < 0) return 0;
    if (m_trackTable[static_cast<std::size_t>(m_rqTrack)].HasCylinderMap && m_useCylinderMap)
        return m_cylinderMap[Cell(m_rqTrack, slot)];
    return static_cast<std::uint8_t>(m_rqCylinder);
}

std::uint8_t classIMDfile::AMHead() const {
    const std::int32_t slot = LocateSlot();
    if (slot < 0) return 0;
    if (m_trackTable[static_cast<std::size_t>(m_rqTrack)].HasHeadMap && m_useHeadMap)
        return m_headMap[Cell(m_rqTrack, slot)];
    return static_cast<std::uint8_t>(m_rqHead);
}

std::string classIMDfile::DiskPreamble() const {
    return std::to_string(m_comments.size());
}

std::string classIMDfile::TrackPreamble() const {
    return std::to_string(
        ValidTrack() ? m_trackTable[static_cast<std::size_t>(m_rqTrack)].PreambleLength : 0);
}
