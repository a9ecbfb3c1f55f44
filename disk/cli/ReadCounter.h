// A sector source that counts the reads that fail. The cores show what they can read of a
// damaged disk and go on past the rest; a command uses the count to say so in its exit status,
// so that a dump or a listing with gaps is never taken for a complete one.
#pragma once

#include "SectorSource.h"

#include <cstdint>
#include <memory>
#include <string>

class ReadCounter : public SectorSource {
  public:
    explicit ReadCounter(std::unique_ptr<SectorSource> disk) : m_disk(std::move(disk)) {}
    int SectorSize() const override { return m_disk->SectorSize(); }
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override {
        return Counted(m_disk->ReadSector(lsn, buffer));
    }
    bool ReadSectors(std::int32_t lsn, std::int32_t count,
                     std::span<std::uint8_t> buffer) override {
        return Counted(m_disk->ReadSectors(lsn, count, buffer));
    }
    // The reads that failed so far.
    std::int64_t Failed() const { return m_failed; }

  private:
    bool Counted(bool read) {
        if (!read) ++m_failed;
        return read;
    }

    std::unique_ptr<SectorSource> m_disk;
    std::int64_t m_failed = 0;
};

// The message of a command whose output has gaps: failed reads are reported as they happen.
inline std::string IncompleteText(const std::string& image, std::int64_t failed) {
    return image + ": " + std::to_string(failed) + (failed == 1 ? " read" : " reads") +
           " of the disk failed; the output is incomplete";
}
