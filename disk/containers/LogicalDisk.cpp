#include "LogicalDisk.h"

#include <algorithm>

namespace {

std::int32_t BytesOfCode(int sizeCode) {
    return sizeCode >= 7 ? 0 : 128 << sizeCode;
}

std::string Place(int cylinder, int head) {
    return "cylinder " + std::to_string(cylinder) + ", head " + std::to_string(head);
}

} // namespace

LogicalDisk::LogicalDisk(const PhysicalDisk& disk) : m_disk(disk) {
    const int heads = disk.Heads();
    std::int32_t highest = -1;
    for (const PhysicalTrack& track : disk.Tracks())
        highest = std::max(highest, heads * track.cylinder + track.head);
    m_tracks.assign(static_cast<std::size_t>(highest + 1), nullptr);
    for (const PhysicalTrack& track : disk.Tracks())
        m_tracks[static_cast<std::size_t>(heads * track.cylinder + track.head)] = &track;

    std::vector<TrackFormat> formats(m_tracks.size());
    for (std::size_t t = 0; t < m_tracks.size(); ++t)
        if (m_tracks[t])
            formats[t] = {true, static_cast<std::int32_t>(m_tracks[t]->sectors.size()),
                          m_tracks[t]->sizeCode, m_tracks[t]->mode};
    const AreaSplit split = SplitAreas(formats);
    m_changes = split.changes;
    m_layout.Heads = highest < 0 ? 0 : heads;
    m_layout.Area1Tracks = split.area1Tracks;
    m_layout.Area2Tracks = split.area2Tracks;
    for (std::size_t a = 0; a < 3; ++a) {
        const std::size_t t = static_cast<std::size_t>(split.formatTrack[a]);
        // A track the disk lacks has no sectors (and, as in an ImageDisk index, size code 0).
        m_layout.SectorsPerTrack[a] = t < formats.size() ? formats[t].sectors : 0;
        m_layout.SectorSize[a] = t < formats.size() ? BytesOfCode(formats[t].sizeCode) : 0;
    }
    for (std::int32_t lsn = 0;; ++lsn) {
        const LsnLocation where = MapLSN(m_layout, lsn);
        if (!where.found || where.track >= Tracks()) break;
        m_sectorCount = lsn + 1;
    }
}

const PhysicalTrack* LogicalDisk::TrackAt(const LsnLocation& where) {
    const PhysicalTrack* track =
        where.track < Tracks() ? m_tracks[static_cast<std::size_t>(where.track)] : nullptr;
    if (!track) m_problem = "The image holds no track at " + Place(where.cylinder, where.head);
    return track;
}

const PhysicalSector* LogicalDisk::Physical(const PhysicalTrack& track, std::int32_t index,
                                            std::string& problem) const {
    const std::vector<PhysicalSector>& sectors = track.sectors;
    const PhysicalSector* found = nullptr;
    if (index < static_cast<std::int32_t>(sectors.size())) {
        std::uint8_t lowest = 255;
        for (const PhysicalSector& s : sectors)
            lowest = std::min(lowest, s.idSector);
        for (const PhysicalSector& s : sectors)
            if (s.idSector - lowest == index) {
                found = &s;
                break;
            }
    }
    const std::string where =
        "Sector " + std::to_string(index) + " at " + Place(track.cylinder, track.head);
    if (!found)
        problem = where + " is not in the image";
    else if (found->size != static_cast<std::uint32_t>(BytesOfCode(track.sizeCode)))
        problem = where + " holds " + std::to_string(found->size) + " bytes, not " +
                  std::to_string(BytesOfCode(track.sizeCode));
    else
        return found;
    return nullptr;
}

bool LogicalDisk::ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) {
    if (buffer.size() < LogicalSectorSize) return false;
    const LsnLocation where = MapLSN(m_layout, lsn);
    if (!where.found) {
        m_problem = where.problem;
        return false;
    }
    const PhysicalTrack* track = TrackAt(where);
    if (!track) return false;
    const std::int32_t size = BytesOfCode(track->sizeCode);
    if (size != 128 && size != 256) {
        m_problem = "The sectors at " + Place(where.cylinder, where.head) + " hold " +
                    std::to_string(size) +
                    " bytes; logical sectors are read from 128- or 256-byte sectors";
        return false;
    }
    const std::int32_t pieces = LogicalSectorSize / size;
    for (std::int32_t i = 0; i < pieces; ++i) {
        const PhysicalSector* sector = Physical(*track, where.index + i, m_problem);
        if (!sector) return false;
        m_disk.ReadSector(
            *sector, 0,
            buffer.subspan(static_cast<std::size_t>(i * size), static_cast<std::size_t>(size)));
    }
    return true;
}

std::vector<DamagedRange> LogicalDisk::Damage() const {
    std::vector<DamagedRange> damage;
    std::string ignored;
    for (std::int32_t lsn = 0; lsn < m_sectorCount; ++lsn) {
        const LsnLocation where = MapLSN(m_layout, lsn);
        const PhysicalTrack* track = m_tracks[static_cast<std::size_t>(where.track)];
        if (!track) continue;
        const std::int32_t size = BytesOfCode(track->sizeCode);
        if (size != 128 && size != 256) continue;
        for (std::int32_t i = 0; i < LogicalSectorSize / size; ++i) {
            const PhysicalSector* sector = Physical(*track, where.index + i, ignored);
            if (sector && sector->Damaged())
                damage.push_back({track->cylinder, track->head, sector->idSector, sector->status,
                                  std::int64_t{lsn} * LogicalSectorSize + i * size, size});
        }
    }
    return damage;
}
