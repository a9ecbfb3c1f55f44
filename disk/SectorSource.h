// Logical sectors as the file systems read them. The ImageDisk drive (256-byte sectors) and the
// raw drive (512-byte sectors) implement it over image files; MemorySectors serves tests and
// builders from memory, so that every file system can be tested without an image file.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// The sector count sectors after lsn, or -1 when that lies beyond the largest sector number.
// Sector numbers and counts come from images and may be anything.
inline std::int32_t SectorAfter(std::int32_t lsn, std::int64_t count) {
    const std::int64_t at = std::int64_t{lsn} + count;
    return at < 0 || at > INT32_MAX ? -1 : static_cast<std::int32_t>(at);
}

class SectorSource {
  public:
    virtual ~SectorSource() = default;
    // Bytes per logical sector: 256 (ImageDisk drive) or 512 (raw drive).
    virtual int SectorSize() const = 0;
    // Fills buffer (SectorSize() bytes) with logical sector lsn; false when it cannot be read
    // (the drive has then reported why).
    virtual bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) = 0;
    // count consecutive sectors into buffer (count × SectorSize() bytes). Drives override it to
    // read in one piece.
    virtual bool ReadSectors(std::int32_t lsn, std::int32_t count, std::span<std::uint8_t> buffer) {
        const std::size_t size = static_cast<std::size_t>(SectorSize());
        for (std::int32_t i = 0; i < count; ++i) {
            // A run from an image may reach past the largest sector number: no disk has it.
            const std::int32_t at = SectorAfter(lsn, i);
            if (at < 0 || !ReadSector(at, buffer.subspan(static_cast<std::size_t>(i) * size, size)))
                return false;
        }
        return true;
    }
};

// Sectors held in memory; sectors beyond the end read as failures.
class MemorySectors : public SectorSource {
  public:
    MemorySectors(std::vector<std::uint8_t> bytes, int sectorSize)
        : m_bytes(std::move(bytes)), m_sectorSize(sectorSize) {}
    int SectorSize() const override { return m_sectorSize; }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        const std::size_t size = static_cast<std::size_t>(m_sectorSize);
        if (lsn < 0 || buffer.size() < size ||
            (static_cast<std::size_t>(lsn) + 1) * size > m_bytes.size())
            return false;
        std::memcpy(buffer.data(), m_bytes.data() + static_cast<std::size_t>(lsn) * size, size);
        return true;
    }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }

  private:
    std::vector<std::uint8_t> m_bytes;
    int m_sectorSize;
};
