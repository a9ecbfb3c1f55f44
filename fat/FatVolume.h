// A FAT12 or FAT16 volume read through a sector source: the decoded boot sector and layout, the
// two allocation tables as stored, the root directory as read at open, and cluster chains.
//
// The FAT holds one entry per cluster: 12 bits packed two to three bytes (FAT12) or 16 bits
// (FAT16). An entry gives the next cluster of a file's chain; values from 0xFF8 (0xFFF8) up end
// the chain, 0 marks a free cluster, and clusters 0 and 1 are not data clusters.
//
// A volume keeps NumberOfFats copies of the table one after another, written alike. When the
// container lost a sector of the first table (a disk read that failed), the same sector of a
// later copy holds the same entries; the table used for chains is the first one patched so.
#pragma once

#include "FatBoot.h"
#include "SectorSource.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

class FatVolume {
  public:
    explicit FatVolume(SectorSource& source) : m_source(source) {}

    // Decodes the boot sector and derives the layout; the FAT type is still undecided.
    void SetBootSector(BootBytes sector);
    // FAT type 12, 16 or 32; the end marker follows it.
    void SetFatType(int fatType);
    // Reads allocation table n (0 or 1) as stored. Sectors that cannot be read hold zeros.
    void LoadFat(int n);
    // The byte ranges [first, second) of the volume that the container could not read; set
    // before LoadFats.
    void SetDamagedBytes(std::vector<std::pair<std::int64_t, std::int64_t>> ranges) {
        m_damaged = std::move(ranges);
    }
    const std::vector<std::pair<std::int64_t, std::int64_t>>& DamagedBytes() const {
        return m_damaged;
    }
    bool SectorDamaged(std::int64_t sector) const;
    // Reads the tables the boot sector declares; each damaged sector of the first is taken from
    // the first copy whose same sector is whole.
    void LoadFats();
    // Sectors of the first table (counted from its start) read from another copy, and that copy.
    struct FatSectorSource {
        std::int64_t sector = 0;
        int copy = 0;
    };
    const std::vector<FatSectorSource>& FatSectorsFromCopies() const { return m_fromCopies; }
    // The volume sector the byte at position of the first table was read from.
    std::int64_t FatByteSector(std::int64_t position) const;
    // Reads the root directory (root entries × 32 bytes) once; unreadable sectors hold zeros.
    void LoadRootDirectory();

    const BootSector& Boot() const { return m_boot; }
    const VolumeLayout& Layout() const { return m_layout; }
    int FatType() const { return m_fatType; }
    std::int32_t EndMarker() const { return m_endMarker; }
    const std::vector<std::uint8_t>& Fat(int n) const { return n == 0 ? m_fat0 : m_fat1; }
    const std::vector<std::uint8_t>& RootBytes() const { return m_root; }

    // The stored entry of a cluster in the first table (0 for an entry beyond the table).
    std::int32_t FatEntry(std::int64_t cluster) const;
    // FatEntry for a cluster below ClusterCount, else the end marker; 0 for another FAT type.
    std::int32_t NextCluster(std::int64_t cluster) const;
    // The first sector of a data cluster.
    std::int64_t ClusterToLSN(std::int64_t cluster) const;
    std::int64_t ClusterBytes() const;

    // The clusters of the chain that starts at first. The walk ends at an end, reserved or bad
    // cluster mark, at a value below 2, at a cluster beyond the FAT or the volume, and at the
    // first cluster it has already visited, so it never loops and never reads outside the
    // data area.
    std::vector<std::int32_t> ClusterChain(std::int64_t first) const;

    // Reads count sectors of the volume (in SectorBytes units) starting at sector.
    bool ReadVolumeSectors(std::int64_t sector, std::int64_t count, std::span<std::uint8_t> out);
    // Reads one data cluster into out (resized to ClusterBytes()).
    bool ReadCluster(std::int32_t cluster, std::vector<std::uint8_t>& out);
    // Reads count consecutive data clusters from first on into out (count × ClusterBytes()).
    bool ReadClusters(std::int32_t first, std::int32_t count, std::span<std::uint8_t> out);
    // True when the volume's sectors lie in the source (some images end early); the byte
    // position where the volume ends.
    std::int64_t VolumeEndByte() const { return m_layout.TotalSectors * m_layout.SectorBytes; }

    // The "FAT 0" text: every entry of the first table, 16 to a line.
    std::string FatText() const;
    // The root directory as read at open, in the raw dump layout.
    std::string RawRootDirectory() const;

  private:
    // Reads what it can, sector by sector, leaving zeros where a sector cannot be read.
    void ReadArea(std::int64_t sector, std::vector<std::uint8_t>& out);
    bool IsDataCluster(std::int64_t cluster) const;

    SectorSource& m_source;
    BootSector m_boot;
    VolumeLayout m_layout;
    int m_fatType = 0;
    std::int32_t m_endMarker = 0;
    std::vector<std::uint8_t> m_fat0;
    std::vector<std::uint8_t> m_fat1;
    std::vector<std::uint8_t> m_root;
    std::vector<std::pair<std::int64_t, std::int64_t>> m_damaged;
    std::vector<FatSectorSource> m_fromCopies;
};
