// The flat view of a disk of tracks: the bytes a sector-by-sector copy of the disk would give,
// as a raw image (.img, CP/M image) holds them. Tracks come in cylinder-then-head order, the
// sectors of each track in the order of their sector numbers, whatever order they were
// recorded in and whatever number the first one has (the Kaypro 4's side 1 holds 10..19).
// Sectors that could not be read keep their place, filled with their fill byte (zeros), and are
// named in the damage list.
#pragma once

#include "DiskBytes.h"
#include "PhysicalDisk.h"

#include <vector>

class FlatDisk : public DiskBytes {
  public:
    explicit FlatDisk(PhysicalDisk& disk);

    std::int64_t Size() const override { return m_size; }
    bool Read(std::int64_t position, std::span<std::uint8_t> target) override;
    bool Write(std::int64_t position, std::span<const std::uint8_t> bytes) override;
    std::vector<DamagedRange> Damage() const override;

  private:
    struct Piece {
        std::int64_t start; // in the view
        std::uint32_t size;
        std::size_t track; // index into the disk's tracks
        std::size_t sector;
    };
    // The piece holding position (which lies inside the view).
    std::size_t PieceAt(std::int64_t position) const;
    template <typename Visit> bool Walk(std::int64_t position, std::size_t length, Visit visit);

    PhysicalDisk& m_disk;
    std::vector<Piece> m_pieces;
    std::int64_t m_size = 0;
};
