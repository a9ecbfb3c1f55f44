// Reading an ImageDisk file into the index: the header scan, the sizing pass, the indexing pass,
// the normalisation of the sector numbering maps, the format changes and the missing tracks.
#include "classIMDfile.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <stdexcept>

namespace {

// The header text ends after a byte that is 0x1A, below 7 or above 127.
bool EndsHeader(int b) {
    return b == 0x1A || b < 7 || b > 127;
}

// Data bytes of a sector of size code 0..7 (7 has no data).
std::int64_t SectorBytes(int sizeCode) {
    return sizeCode >= 7 ? 0 : 128LL << sizeCode;
}

bool HoldsData(int type) {
    return type >= 1 && type <= 8 && type % 2 == 1;
}
bool HoldsFill(int type) {
    return type >= 2 && type <= 8 && type % 2 == 0;
}

struct TrackHeader {
    int mode = 0;
    int cylinder = 0;
    int headByte = 0;
    int count = 0;
    int sizeCode = 0;
    std::array<std::uint8_t, 255> numbering{};
    std::array<std::uint8_t, 255> cylinders{};
    std::array<std::uint8_t, 255> heads{};
    bool HasCylinderMap() const { return (headByte & 0x80) != 0; }
    bool HasHeadMap() const { return (headByte & 0x40) != 0; }
    int Head() const { return headByte & 1; }
};

struct SectorRecord {
    std::int32_t position = 0; // of the type byte
    int type = 0;
    int fill = 0;
};

} // namespace

// Walks the records of the file from its start, through the file's buffered window. It stops at
// the end of the file, at a record cut off by the end of the file (Truncated), at a host read
// error (Error), and at positions that a 32-bit position can no longer express.
class classIMDfile::Walker {
  public:
    explicit Walker(ImageFile& file)
        : m_file(file),
          m_end(std::min<std::int64_t>(file.Length(), std::numeric_limits<std::int32_t>::max())) {
        m_truncated = file.Length() > m_end;
    }

    // Skips the header text; keeps it in comments (without the 0x1A byte) when given.
    void ScanHeader(std::string* comments) {
        while (true) {
            const int b = Byte();
            if (b < 0) return;
            if (comments && b != 0x1A && comments->size() < MaxCommentLength)
                comments->push_back(static_cast<char>(b));
            if (EndsHeader(b)) return;
        }
    }

    // The next track header with its maps; false at the end of the records.
    bool NextTrack(TrackHeader& track) {
        if (m_stopped) return false;
        track.mode = Byte();
        if (track.mode < 0) return Stop(false);
        if (!Available(4)) return Stop(true);
        track.cylinder = Byte();
        track.headByte = Byte();
        track.count = Byte();
        const int size = Byte();
        if (track.cylinder < 0 || track.headByte < 0 || track.count < 0 || size < 0)
            return Stop(false);
        track.sizeCode = size & 7;
        const std::size_t n = static_cast<std::size_t>(track.count);
        return ReadMap(std::span(track.numbering.data(), n)) &&
               (!track.HasCylinderMap() || ReadMap(std::span(track.cylinders.data(), n))) &&
               (!track.HasHeadMap() || ReadMap(std::span(track.heads.data(), n)));
    }

    // The next sector record of a track of the given size code; false when it is cut off.
    bool NextSector(int sizeCode, SectorRecord& sector) {
        if (m_stopped) return false;
        sector.position = static_cast<std::int32_t>(m_position);
        sector.type = Byte();
        if (sector.type < 0) return Stop(true);
        sector.fill = 0;
        if (HoldsData(sector.type)) {
            const std::int64_t bytes = SectorBytes(sizeCode);
            if (!Available(bytes)) return Stop(true);
            m_position += bytes;
        } else if (HoldsFill(sector.type)) {
            sector.fill = Byte();
            if (sector.fill < 0) return Stop(true);
        }
        return true;
    }

    bool Truncated() const { return m_truncated; }
    const HostError& Error() const { return m_error; }

  private:
    int Byte() {
        if (m_position > m_end) return -1;
        const int b = m_file.ByteAt(m_position);
        if (b < 0) {
            if (m_file.LastError().number != RunTimeError::InputPastEndOfFile)
                m_error = m_file.LastError();
            return -1;
        }
        ++m_position;
        return b;
    }
    bool Available(std::int64_t count) const { return m_position - 1 + count <= m_end; }
    bool ReadMap(std::span<std::uint8_t> map) {
        if (!Available(static_cast<std::int64_t>(map.size()))) return Stop(true);
        if (HostError error = m_file.Read(m_position, map)) {
            m_error = error;
            return Stop(false);
        }
        m_position += static_cast<std::int64_t>(map.size());
        return true;
    }
    bool Stop(bool truncated) {
        m_stopped = true;
        if (truncated && !m_error) m_truncated = true;
        return false;
    }

    ImageFile& m_file;
    std::int64_t m_end;
    std::int64_t m_position = 1;
    bool m_stopped = false;
    bool m_truncated = false;
    HostError m_error;
};

// What the sizing pass learns: the largest sector count of every cylinder and head that has a
// track record (-1: none), and whether any record is on head 1.
struct classIMDfile::Sizing {
    std::array<std::int16_t, 512> countAt;
    bool anyHead1 = false;
    Sizing() { countAt.fill(-1); }
};

ImageFile* classIMDfile::File() const {
    return m_fileNumber == 0 ? nullptr : m_files.File(m_fileNumber);
}

bool classIMDfile::IsIMDfile() {
    m_isIMD = false;
    ImageFile* file = File();
    if (!file) return false;
    std::array<std::uint8_t, 4> start{};
    if (file->Read(1, start)) return false;
    const char signature[] = "IMD ";
    for (std::size_t i = 0; i < start.size(); ++i)
        if (std::toupper(start[i]) != signature[i]) return false;
    m_isIMD = true;
    return true;
}

void classIMDfile::ProcessIMDfile() {
    ImageFile* file = File();
    if (!file) return;
    Clear();
    AllocateTables(SizingPass(*file));
    // What was indexed before a cut-off record or a read error is kept and completed.
    IndexingPass(*file);
    NormaliseSectorMaps();
    FindChanges();
    CheckMissingTracks();
}

void classIMDfile::Clear() {
    m_comments.clear();
    m_tracks = m_maxSectors = 0;
    m_heads = 1;
    m_ro = false;
    m_trackTable.clear();
    m_sectorMap.clear();
    m_sectorType.clear();
    m_sectorFill.clear();
    m_sectorPosition.clear();
    m_cylinderMap.clear();
    m_headMap.clear();
    m_skippedTracks = 0;
    m_truncated = false;
    m_readError = {};
    m_rqTrack = m_rqPhySector = m_rqLogSector = m_rqCylinder = m_rqHead = 0;
}

classIMDfile::Sizing classIMDfile::SizingPass(ImageFile& file) {
    Sizing sizing;
    Walker walker(file);
    walker.ScanHeader(nullptr);
    TrackHeader track;
    SectorRecord sector;
    while (walker.NextTrack(track)) {
        std::int16_t& count =
            sizing.countAt[static_cast<std::size_t>(track.cylinder * 2 + track.Head())];
        count = std::max<std::int16_t>(count, static_cast<std::int16_t>(track.count));
        if (track.Head() == 1) sizing.anyHead1 = true;
        for (int slot = 0; slot < track.count && walker.NextSector(track.sizeCode, sector); ++slot)
            if (sector.type == 0 || HoldsFill(sector.type)) m_ro = true;
    }
    return sizing;
}

// Tables are sized with the final head count, so that every record the indexing pass stores
// lies inside them, whatever order the file gives its tracks in.
void classIMDfile::AllocateTables(const Sizing& sizing) {
    m_heads = sizing.anyHead1 ? 2 : 1;
    std::int32_t highest = -1;
    for (std::int32_t cylinder = 0; cylinder < 256; ++cylinder)
        for (std::int32_t head = 0; head < 2; ++head) {
            const std::int16_t count =
                sizing.countAt[static_cast<std::size_t>(cylinder * 2 + head)];
            const std::int32_t index = m_heads * cylinder + head;
            if (count < 0 || index >= MaxTrackIndexes) continue;
            highest = std::max(highest, index);
            m_maxSectors = std::max<std::int32_t>(m_maxSectors, count);
        }
    m_tracks = highest + 1;
    const std::size_t cells =
        static_cast<std::size_t>(m_tracks) * static_cast<std::size_t>(m_maxSectors);
    m_trackTable.assign(static_cast<std::size_t>(m_tracks), TrackRecord{});
    m_sectorMap.assign(cells, 0);
    m_sectorType.assign(cells, 0);
    m_sectorFill.assign(cells, 0);
    m_sectorPosition.assign(cells, 0);
    m_cylinderMap.assign(cells, 0);
    m_headMap.assign(cells, 0);
}

void classIMDfile::IndexingPass(ImageFile& file) {
    Walker walker(file);
    walker.ScanHeader(&m_comments);
    TrackHeader track;
    SectorRecord sector;
    while (walker.NextTrack(track)) {
        const std::int32_t index = m_heads * track.cylinder + track.Head();
        const bool store = index < m_tracks && track.count <= m_maxSectors;
        if (!store) {
            ++m_skippedTracks;
        } else {
            TrackRecord& record = m_trackTable[static_cast<std::size_t>(index)];
            record.Mode = static_cast<std::uint8_t>(track.mode);
            record.Cylinder = static_cast<std::uint8_t>(track.cylinder);
            record.Head = static_cast<std::uint8_t>(track.Head());
            record.HasCylinderMap = track.HasCylinderMap();
            record.HasHeadMap = track.HasHeadMap();
            record.SectorCount = static_cast<std::uint8_t>(track.count);
            record.SizeCode = static_cast<std::uint8_t>(track.sizeCode);
            record.PreambleLength = 5 + track.count * (1 + (record.HasCylinderMap ? 1 : 0) +
                                                       (record.HasHeadMap ? 1 : 0));
            record.Present = true;
            // A second record for the same track replaces the first one completely.
            for (std::int32_t slot = 0; slot < m_maxSectors; ++slot) {
                const std::size_t cell = Cell(index, slot);
                const bool inMap = slot < track.count;
                const std::size_t s = static_cast<std::size_t>(slot);
                m_sectorMap[cell] = inMap ? track.numbering[s] : 0;
                m_cylinderMap[cell] = inMap && record.HasCylinderMap ? track.cylinders[s] : 0;
                m_headMap[cell] = inMap && record.HasHeadMap ? track.heads[s] : 0;
                m_sectorType[cell] = m_sectorFill[cell] = 0;
                m_sectorPosition[cell] = 0;
            }
        }
        for (int slot = 0; slot < track.count && walker.NextSector(track.sizeCode, sector);
             ++slot) {
            if (sector.type == 0 || HoldsFill(sector.type)) m_ro = true;
            if (!store) continue;
            const std::size_t cell = Cell(index, slot);
            m_sectorPosition[cell] = sector.position;
            m_sectorType[cell] = static_cast<std::uint8_t>(sector.type);
            m_sectorFill[cell] = static_cast<std::uint8_t>(sector.fill);
        }
    }
    m_truncated = walker.Truncated();
    m_readError = walker.Error();
    // Sectors that the file does not hold, or that lie beyond the tables, cannot be written back.
    if (m_truncated || m_readError || m_skippedTracks > 0) m_ro = true;
}

// The lowest sector number of every track becomes 0.
void classIMDfile::NormaliseSectorMaps() {
    for (std::int32_t track = 0; track < m_tracks; ++track) {
        const std::int32_t count = m_trackTable[static_cast<std::size_t>(track)].SectorCount;
        std::uint8_t lowest = 255;
        for (std::int32_t slot = 0; slot < count; ++slot)
            lowest = std::min(lowest, m_sectorMap[Cell(track, slot)]);
        for (std::int32_t slot = 0; slot < count; ++slot)
            m_sectorMap[Cell(track, slot)] =
                static_cast<std::uint8_t>(m_sectorMap[Cell(track, slot)] - lowest);
    }
}

// A track absent from the file has no format: each present track is compared with the present
// track before it, so that a missing track does not split the disk into extra areas.
void classIMDfile::FindChanges() {
    m_changeTable.fill(false);
    m_changeCount = 0;
    const TrackRecord* previous = nullptr;
    for (std::int32_t track = 0; track < m_tracks; ++track) {
        const TrackRecord& record = m_trackTable[static_cast<std::size_t>(track)];
        if (!record.Present) continue;
        if (previous &&
            (record.SizeCode != previous->SizeCode || record.SectorCount != previous->SectorCount ||
             record.Mode != previous->Mode))
            m_changeTable[static_cast<std::size_t>(track)] = true;
        previous = &record;
    }
    for (std::int32_t track = 0; track < m_tracks; ++track)
        if (m_changeTable[static_cast<std::size_t>(track)]) ++m_changeCount;
}

void classIMDfile::CheckMissingTracks() {
    for (std::int32_t track = 0; track < m_tracks; ++track) {
        const TrackRecord& record = m_trackTable[static_cast<std::size_t>(track)];
        if (!record.Present || record.SectorCount == 0 || m_sectorPosition[Cell(track, 0)] == 0)
            m_ro = true;
    }
}

std::int32_t classIMDfile::NumberOfChanges() {
    m_changeCursor = 0;
    return m_changeCount;
}

std::int32_t classIMDfile::Changes() {
    while (m_changeCursor < m_tracks) {
        const std::int32_t track = m_changeCursor++;
        if (m_changeTable[static_cast<std::size_t>(track)]) return track;
    }
    return 0;
}

std::int32_t classIMDfile::Cylinders() const {
    if (m_heads == 1) return m_tracks;
    if (m_heads == 2) return (m_tracks + 1) / 2;
    return 0;
}

std::size_t classIMDfile::Cell(std::int32_t track, std::int32_t slot) const {
    return static_cast<std::size_t>(track) * static_cast<std::size_t>(m_maxSectors) +
           static_cast<std::size_t>(slot);
}

std::size_t classIMDfile::CheckedCell(std::int32_t track, std::int32_t slot) const {
    if (track < 0 || track >= m_tracks || slot < 0 || slot >= m_maxSectors)
        throw std::out_of_range("track " + std::to_string(track) + " slot " + std::to_string(slot) +
                                " is outside the ImageDisk index");
    return Cell(track, slot);
}

const TrackRecord& classIMDfile::Track(std::int32_t track) const {
    if (track < 0 || track >= m_tracks)
        throw std::out_of_range("track " + std::to_string(track) +
                                " is outside the ImageDisk index");
    return m_trackTable[static_cast<std::size_t>(track)];
}

std::uint8_t classIMDfile::SectorMap(std::int32_t track, std::int32_t slot) const {
    return m_sectorMap[CheckedCell(track, slot)];
}
std::uint8_t classIMDfile::SectorType(std::int32_t track, std::int32_t slot) const {
    return m_sectorType[CheckedCell(track, slot)];
}
std::uint8_t classIMDfile::SectorFill(std::int32_t track, std::int32_t slot) const {
    return m_sectorFill[CheckedCell(track, slot)];
}
std::int32_t classIMDfile::SectorPosition(std::int32_t track, std::int32_t slot) const {
    return m_sectorPosition[CheckedCell(track, slot)];
}
std::uint8_t classIMDfile::CylinderMap(std::int32_t track, std::int32_t slot) const {
    return m_cylinderMap[CheckedCell(track, slot)];
}
std::uint8_t classIMDfile::HeadMap(std::int32_t track, std::int32_t slot) const {
    return m_headMap[CheckedCell(track, slot)];
}
bool classIMDfile::IsChange(std::int32_t track) const {
    return track >= 0 && track < m_tracks && m_changeTable[static_cast<std::size_t>(track)];
}
