// The 256-byte logical sectors of VersaDOS and System V/68 over a disk of tracks from any
// container, laid out exactly as the ImageDisk drive lays them out (see LsnMapping.h): up to
// three areas of track formats, one logical sector per 256-byte physical sector or per pair of
// 128-byte ones, the physical sectors of a track counted from its lowest sector number. A
// sector that could not be read gives zeros, as the drive gives an unavailable ImageDisk
// sector, and is named in the damage list.
#pragma once

#include "DiskBytes.h"
#include "LsnMapping.h"
#include "PhysicalDisk.h"

#include <string>
#include <vector>

class LogicalDisk : public SectorSource {
  public:
    static constexpr int LogicalSectorSize = 256;

    explicit LogicalDisk(const PhysicalDisk& disk);

    int SectorSize() const override { return LogicalSectorSize; }
    // false when the sector lies nowhere on the disk; LastProblem() then says why, in the
    // words of the ImageDisk drive.
    bool ReadSector(std::int32_t lsn, std::span<std::uint8_t> buffer) override;
    const std::string& LastProblem() const { return m_problem; }

    const AreaLayout& Layout() const { return m_layout; }
    // Track indexes (Heads x cylinder + head) up to the last track the disk holds.
    std::int32_t Tracks() const { return static_cast<std::int32_t>(m_tracks.size()); }
    // The disk changes its track format more than twice; only three areas are read.
    bool MoreThanThreeAreas() const { return m_changes > 2; }
    // Logical sectors from 0 up to the end of the last track.
    std::int32_t SectorCount() const { return m_sectorCount; }
    // Damaged physical sectors that logical sectors read, at byte lsn x 256 (+ 128 for the
    // second of a pair).
    std::vector<DamagedRange> Damage() const;

  private:
    // The physical sector index (from the track's lowest sector number) of track, or nullptr
    // with problem set.
    const PhysicalSector* Physical(const PhysicalTrack& track, std::int32_t index,
                                   std::string& problem) const;
    const PhysicalTrack* TrackAt(const LsnLocation& where);

    const PhysicalDisk& m_disk;
    std::vector<const PhysicalTrack*> m_tracks; // by track index; nullptr where missing
    AreaLayout m_layout;
    std::int32_t m_changes = 0;
    std::int32_t m_sectorCount = 0;
    std::string m_problem;
};
