// The raw drive: a flat image file (a floppy dump or a whole hard disk) read as 512-byte logical
// sectors. Sector n lies at byte n × 512 + PartitionOffset of the file, so a volume inside a
// partitioned disk is reached by setting the partition's byte offset before the open. The file is
// only ever opened read-only, through OpenImageFile: a regular file or a block device (a real
// disk, whose length is its capacity).
#pragma once

#include "HostError.h"
#include "SectorSource.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

// The drive slot of a raw image, as the window shows and the file system reads it.
struct RawDriveSlot {
    std::string FileName;  // the path as chosen; shown in the caption
    std::string FileTitle; // the file's name without its folder
    int FileNumber = 1;
    bool IsOpen = false;
    bool ReadOnly = true;
    std::int32_t SectorsPerTrack = 0;
    std::int32_t Tracks = 0;
    int Heads = 0;
    int PhysicalSectorSize = 512;
    int LogicalSectorSize = 512;
    // Reads that failed since the image was opened: a report made meanwhile has gaps.
    std::int64_t FailedReads = 0;
};

class RawDrive : public SectorSource {
  public:
    static constexpr int kSectorSize = 512;

    RawDrive() = default;
    ~RawDrive() override;
    RawDrive(const RawDrive&) = delete;
    RawDrive& operator=(const RawDrive&) = delete;

    // Opens path read-only as the drive's image and sets the geometry from its length. Any
    // open image is closed first. On failure the drive stays closed and the host error is given.
    HostError OpenDrive(const std::string& path);
    // Closes the image and clears the names; the partition offset is kept.
    void CloseDrive();

    // Tracks, heads and sectors per track guessed from the image length alone.
    void SetRawGeometry();

    int SectorSize() const override { return kSectorSize; }
    // Sector lsn at lsn × 512 + PartitionOffset. A sector cut short by the end of the file is
    // filled up with zeros and counts as read; a sector that starts at or beyond the end of the
    // file, a negative position or a host read error gives false.
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override;
    // count sectors in one read, with the same rules for every sector in the run.
    bool ReadSectors(std::int32_t lsn, std::int32_t count, std::span<std::uint8_t> buffer) override;
    // Sector 0 into SectorBuffer and then BootSector. When it cannot be read both hold zeros.
    bool ReadBootSector();

    void SetPartitionOffset(std::int64_t offset) { m_partitionOffset = offset; }
    std::int64_t PartitionOffset() const { return m_partitionOffset; }
    std::int64_t ImageLength() const { return m_length; }

    RawDriveSlot& Slot() { return m_slot; }
    const RawDriveSlot& Slot() const { return m_slot; }
    const std::array<std::uint8_t, kSectorSize>& SectorBuffer() const { return m_sector; }
    const std::array<std::uint8_t, kSectorSize>& BootSector() const { return m_boot; }

  private:
    bool ReadRun(std::int32_t lsn, std::int32_t count, std::span<std::uint8_t> buffer);
    // Reads length bytes at file position; the number of bytes that the file holds there, or -1
    // after a host error.
    std::int64_t ReadAt(std::int64_t position, std::uint8_t* data, std::int64_t length) const;

    RawDriveSlot m_slot;
    int m_fd = -1;
    std::int64_t m_length = 0;
    std::int64_t m_partitionOffset = 0;
    std::array<std::uint8_t, kSectorSize> m_sector{};
    std::array<std::uint8_t, kSectorSize> m_boot{};
};

// The geometry the raw drive assumes for an image of length bytes.
struct RawGeometry {
    std::int32_t Tracks;
    int Heads;
    std::int32_t SectorsPerTrack;
};
RawGeometry RawGeometryFor(std::int64_t length);
