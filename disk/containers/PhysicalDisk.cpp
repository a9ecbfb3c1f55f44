#include "PhysicalDisk.h"

#include <algorithm>
#include <cstring>

const char* StatusText(SectorStatus status) {
    switch (status) {
    case SectorStatus::Good:
        return "good";
    case SectorStatus::Unavailable:
        return "unavailable";
    case SectorStatus::DataError:
        return "data error";
    }
    return "unknown";
}

std::uint8_t ModeOf(std::uint32_t dataRate, bool fm) {
    int code = 0;
    switch (dataRate) {
    case 500:
        code = 0;
        break;
    case 300:
        code = 1;
        break;
    case 250:
        code = 2;
        break;
    default:
        return 255;
    }
    return static_cast<std::uint8_t>(fm ? code : code + 3);
}

bool PhysicalDisk::AddTrack(PhysicalTrack track) {
    if (FindTrack(track.cylinder, track.head)) return false;
    track.sectors.clear();
    m_tracks.push_back(std::move(track));
    return true;
}

bool PhysicalDisk::Admit(const PhysicalSector& sector) {
    if (m_tracks.empty() || sector.size > MaxSectorSize || m_totalBytes + sector.size > MaxBytes)
        return false;
    m_totalBytes += sector.size;
    return true;
}

bool PhysicalDisk::AddSector(PhysicalSector sector, std::span<const std::uint8_t> data) {
    if (!Admit(sector)) return false;
    const std::size_t size = sector.size;
    const std::size_t have = std::min(size, data.size());
    const bool uniform =
        have == size &&
        (size == 0 || std::all_of(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size),
                                  [&](std::uint8_t b) { return b == data[0]; }));
    sector.uniform = uniform;
    sector.fill = uniform && size > 0 ? data[0] : 0;
    if (!uniform) {
        sector.dataOffset = m_pool.size();
        m_pool.insert(m_pool.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(have));
        m_pool.resize(m_pool.size() + (size - have), 0);
    }
    m_tracks.back().sectors.push_back(sector);
    return true;
}

bool PhysicalDisk::AddUniformSector(PhysicalSector sector, std::uint8_t fill) {
    if (!Admit(sector)) return false;
    sector.uniform = true;
    sector.fill = fill;
    m_tracks.back().sectors.push_back(sector);
    return true;
}

const PhysicalTrack* PhysicalDisk::FindTrack(int cylinder, int head) const {
    for (const PhysicalTrack& track : m_tracks)
        if (track.cylinder == cylinder && track.head == head) return &track;
    return nullptr;
}

int PhysicalDisk::Heads() const {
    return std::any_of(m_tracks.begin(), m_tracks.end(),
                       [](const PhysicalTrack& t) { return t.head == 1; })
               ? 2
               : 1;
}

void PhysicalDisk::ReadSector(const PhysicalSector& sector, std::uint32_t offset,
                              std::span<std::uint8_t> target) const {
    if (sector.uniform)
        std::fill(target.begin(), target.end(), sector.fill);
    else
        std::memcpy(target.data(), m_pool.data() + sector.dataOffset + offset, target.size());
}

void PhysicalDisk::WriteSector(std::size_t track, std::size_t index, std::uint32_t offset,
                               std::span<const std::uint8_t> bytes) {
    PhysicalSector& sector = Sector(track, index);
    if (bytes.empty() || offset + bytes.size() > sector.size) return;
    if (sector.uniform) {
        if (std::all_of(bytes.begin(), bytes.end(),
                        [&](std::uint8_t b) { return b == sector.fill; }))
            return;
        sector.dataOffset = m_pool.size();
        m_pool.resize(m_pool.size() + sector.size, sector.fill);
        sector.uniform = false;
    }
    std::uint8_t* at = m_pool.data() + sector.dataOffset + offset;
    if (std::memcmp(at, bytes.data(), bytes.size()) == 0) return;
    std::memcpy(at, bytes.data(), bytes.size());
    sector.changed = true;
}
