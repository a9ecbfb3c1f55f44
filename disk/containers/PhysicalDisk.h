// A floppy disk as its controller sees it, whatever container it came from: tracks, each at a
// physical cylinder and head, holding sectors in the order they were recorded. Every sector
// keeps the ID field written in its address mark (cylinder, head, sector number, size code),
// which need not match where it lies: the Kaypro 4 records side 1 with head 0 and sector numbers
// 10..19. Each sector has a status: read well, never read (unavailable), read with a CRC error
// in its data, and separately whether it carries a deleted-data mark.
//
// Sector bytes live in one pool; a sector whose bytes are all equal (or that holds no data)
// keeps only its fill byte, so that a container describing huge sectors in a few bytes costs
// no memory until the sector is changed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class SectorStatus : std::uint8_t { Good, Unavailable, DataError };

// "good", "unavailable", "data error"
const char* StatusText(SectorStatus status);

struct PhysicalSector {
    std::uint8_t idCylinder = 0;
    std::uint8_t idHead = 0;
    std::uint8_t idSector = 0;
    std::uint8_t sizeCode = 0; // as recorded: 128 << code bytes; 7 (ImageDisk) holds no data
    std::uint32_t size = 0;    // data bytes
    SectorStatus status = SectorStatus::Good;
    bool deleted = false; // a deleted-data address mark
    bool uniform = true;  // every byte is fill (no bytes in the pool)
    std::uint8_t fill = 0;
    bool changed = false;       // written since the disk was read
    std::size_t dataOffset = 0; // in the pool, when not uniform

    bool Damaged() const { return status != SectorStatus::Good; }
};

struct PhysicalTrack {
    std::uint8_t cylinder = 0;
    std::uint8_t head = 0;
    std::uint32_t dataRate = 0; // kbit/s; 0 unknown
    bool fm = false;            // single density (FM) rather than double (MFM)
    std::uint8_t mode = 0;      // ImageDisk mode byte (0..5 for the known rates and densities)
    std::uint8_t sizeCode = 0;  // of the track's sectors (ImageDisk), or of its first sector
    std::vector<PhysicalSector> sectors; // in recorded order
};

// The ImageDisk mode of a rate and recording: 0..2 FM at 500, 300, 250 kbit/s, 3..5 MFM; 255
// when ImageDisk has no code for it.
std::uint8_t ModeOf(std::uint32_t dataRate, bool fm);

class PhysicalDisk {
  public:
    // The most sector bytes a disk may describe; floppies hold a few megabytes at most.
    static constexpr std::uint64_t MaxBytes = 16u << 20;
    static constexpr std::uint32_t MaxSectorSize = 16384;

    // Adds a track; false (and nothing added) when one at the same cylinder and head exists.
    bool AddTrack(PhysicalTrack track);
    // Adds a sector with data to the last track; false when the disk would exceed MaxBytes or
    // the sector MaxSectorSize. Data of equal bytes is kept as a fill byte.
    bool AddSector(PhysicalSector sector, std::span<const std::uint8_t> data);
    // Room for bytes of sector data, when the caller knows about how much is coming.
    void ReserveData(std::size_t bytes) { m_pool.reserve(bytes); }
    // Adds a sector whose every byte is fill (unavailable sectors read as fill).
    bool AddUniformSector(PhysicalSector sector, std::uint8_t fill);

    const std::vector<PhysicalTrack>& Tracks() const { return m_tracks; }
    // The track at cylinder and head, or nullptr.
    const PhysicalTrack* FindTrack(int cylinder, int head) const;
    // 2 when any track lies on head 1, else 1.
    int Heads() const;
    std::uint64_t TotalBytes() const { return m_totalBytes; }

    // Copies length bytes of a sector from offset on into target (the caller checks ranges).
    void ReadSector(const PhysicalSector& sector, std::uint32_t offset,
                    std::span<std::uint8_t> target) const;
    // Replaces bytes of a sector; marks it changed when they differ.
    void WriteSector(std::size_t track, std::size_t index, std::uint32_t offset,
                     std::span<const std::uint8_t> bytes);
    PhysicalSector& Sector(std::size_t track, std::size_t index) {
        return m_tracks.at(track).sectors.at(index);
    }

  private:
    bool Admit(const PhysicalSector& sector);

    std::vector<PhysicalTrack> m_tracks;
    std::vector<std::uint8_t> m_pool;
    std::uint64_t m_totalBytes = 0;
};
