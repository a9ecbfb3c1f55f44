#include "FlatDisk.h"

#include <algorithm>
#include <numeric>

FlatDisk::FlatDisk(PhysicalDisk& disk) : m_disk(disk) {
    const std::vector<PhysicalTrack>& tracks = disk.Tracks();
    std::vector<std::size_t> order(tracks.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(tracks[a].cylinder, tracks[a].head) <
               std::pair(tracks[b].cylinder, tracks[b].head);
    });
    for (const std::size_t t : order) {
        const std::vector<PhysicalSector>& sectors = tracks[t].sectors;
        std::vector<std::size_t> byNumber(sectors.size());
        std::iota(byNumber.begin(), byNumber.end(), 0);
        std::stable_sort(byNumber.begin(), byNumber.end(), [&](std::size_t a, std::size_t b) {
            return sectors[a].idSector < sectors[b].idSector;
        });
        for (const std::size_t s : byNumber) {
            if (sectors[s].size == 0) continue;
            m_pieces.push_back({m_size, sectors[s].size, t, s});
            m_size += sectors[s].size;
        }
    }
}

std::size_t FlatDisk::PieceAt(std::int64_t position) const {
    const auto after =
        std::upper_bound(m_pieces.begin(), m_pieces.end(), position,
                         [](std::int64_t p, const Piece& piece) { return p < piece.start; });
    return static_cast<std::size_t>(after - m_pieces.begin()) - 1;
}

// Calls visit(piece, offset in the sector, offset in the caller's span, count) for each part of
// the range that lies inside the view; false when some of it lies outside.
template <typename Visit>
bool FlatDisk::Walk(std::int64_t position, std::size_t length, Visit visit) {
    if (position < 0) return false;
    std::size_t done = 0;
    std::int64_t at = position;
    if (at < m_size && length > 0)
        for (std::size_t p = PieceAt(at); p < m_pieces.size() && done < length; ++p) {
            const Piece& piece = m_pieces[p];
            const std::uint32_t within = static_cast<std::uint32_t>(at - piece.start);
            const std::size_t count = std::min<std::size_t>(piece.size - within, length - done);
            visit(piece, within, done, count);
            done += count;
            at += static_cast<std::int64_t>(count);
        }
    return done == length;
}

bool FlatDisk::Read(std::int64_t position, std::span<std::uint8_t> target) {
    return Walk(position, target.size(),
                [&](const Piece& piece, std::uint32_t within, std::size_t done, std::size_t count) {
                    m_disk.ReadSector(m_disk.Tracks()[piece.track].sectors[piece.sector], within,
                                      target.subspan(done, count));
                });
}

bool FlatDisk::Write(std::int64_t position, std::span<const std::uint8_t> bytes) {
    if (position < 0 || position > m_size ||
        static_cast<std::uint64_t>(m_size - position) < bytes.size())
        return false;
    return Walk(position, bytes.size(),
                [&](const Piece& piece, std::uint32_t within, std::size_t done, std::size_t count) {
                    m_disk.WriteSector(piece.track, piece.sector, within,
                                       bytes.subspan(done, count));
                });
}

std::vector<DamagedRange> FlatDisk::Damage() const {
    std::vector<DamagedRange> damage;
    for (const Piece& piece : m_pieces) {
        const PhysicalTrack& track = m_disk.Tracks()[piece.track];
        const PhysicalSector& sector = track.sectors[piece.sector];
        if (sector.Damaged())
            damage.push_back({track.cylinder, track.head, sector.idSector, sector.status,
                              piece.start, piece.size});
    }
    return damage;
}
