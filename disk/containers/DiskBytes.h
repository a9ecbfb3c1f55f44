// A disk seen as one run of bytes, and the parts of it that hold no trustworthy data.
//
// DiskBytes is what a view of a whole disk offers: its size, reads and writes at byte positions
// (a CP/M layout addresses its image this way), and the damage list: every physical sector that
// could not be read or read with a data error, with the byte range it covers in the view, so
// that the recovery features can tell which files it hits. BytesAsSectors reads such a view as
// fixed-size sectors one after another (512 for FAT, 256 for the logical sectors of a raw
// EXORmacs or VME hard disk dump).
#pragma once

#include "PhysicalDisk.h"
#include "SectorSource.h"

#include <cstdint>
#include <span>
#include <vector>

struct DamagedRange {
    int cylinder = 0; // where the sector lies
    int head = 0;
    int sector = 0; // its recorded sector number
    SectorStatus status = SectorStatus::Unavailable;
    std::int64_t start = 0; // byte range in the view
    std::int64_t length = 0;
    bool operator==(const DamagedRange&) const = default;
};

class DiskBytes {
  public:
    virtual ~DiskBytes() = default;
    virtual std::int64_t Size() const = 0;
    // Fills target from position on; false when any of it lies outside the disk (the part
    // inside is filled) or cannot be read.
    virtual bool Read(std::int64_t position, std::span<std::uint8_t> target) = 0;
    // Changes bytes from position on; false when any of them lies outside the disk (nothing is
    // then changed). The image file itself is changed only by writing the container back.
    virtual bool Write(std::int64_t position, std::span<const std::uint8_t> bytes) = 0;
    virtual std::vector<DamagedRange> Damage() const = 0;
};

// Fixed-size sectors over a view: sector n is bytes n x size.. of it. A last sector cut short by
// the end of the view is filled up with zeros and counts as read.
class BytesAsSectors : public SectorSource {
  public:
    BytesAsSectors(DiskBytes& bytes, int sectorSize) : m_bytes(bytes), m_size(sectorSize) {}
    int SectorSize() const override { return m_size; }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        return ReadSectors(lsn, 1, buffer);
    }
    bool ReadSectors(std::int32_t lsn, std::int32_t count, std::span<std::uint8_t> buffer) override;

  private:
    DiskBytes& m_bytes;
    int m_size;
};
