// ImageDisk (.imd) image files. The file starts with a header text (the "IMD " signature line
// and a comment) ended by the byte 0x1A. One record per track follows: mode, cylinder, head byte
// (bit 0 the head, bit 7 a cylinder map follows, bit 6 a head map follows), sector count, size
// code (128 << code bytes), the sector numbering map, the optional maps, and then one record per
// sector: a type byte and its payload (0 unavailable; 1, 3, 5, 7 the sector's data; 2, 4, 6, 8
// one fill byte for a sector whose bytes are all equal; 9 and above nothing).
//
// classIMDfile indexes where every track and sector record lies and answers requests for them.
// It never reads sector data itself: the caller reads the bytes at the positions it reports.
// Positions are 1-based (the first byte of the file is position 1), and a sector's data starts at
// PhySectorOffset() + 1, the byte after its type byte.
//
// Use: FileNumber(n); IsIMDfile(); ProcessIMDfile(); then per sector a request (rqTrack, or
// rqCylinder and rqHead, then rqPhySector or rqLogSector) followed by the answers. The Lets check
// their values and ignore what lies outside the tables; the answers for a sector that is not in
// the file are -1 (offsets) or 0.
#pragma once

#include "HostFiles.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TrackRecord {
    std::uint8_t Mode = 0;
    std::uint8_t Cylinder = 0;
    std::uint8_t Head = 0; // 0 or 1
    bool HasCylinderMap = false;
    bool HasHeadMap = false;
    std::uint8_t SectorCount = 0;
    std::uint8_t SizeCode = 0; // 0..6 = 128..8192 bytes, 7 = 0 bytes
    // Bytes of the track header and its maps: 5 + SectorCount, plus SectorCount per map.
    std::int32_t PreambleLength = 0;
    // The file holds a record for this track. A track without one has no format at all.
    bool Present = false;
};

class classIMDfile {
  public:
    // The track indexes (Heads x cylinder + head) the tables hold; later records are skipped.
    static constexpr std::int32_t MaxTrackIndexes = 256;
    // Header text kept in Comments; a longer header is still skipped to its end.
    static constexpr std::size_t MaxCommentLength = 32768;
    // rqLogSectorSize value meaning "the size of the track's physical sectors".
    static constexpr std::int32_t FollowPhysicalSize = 255;

    explicit classIMDfile(const HostFiles& files) : m_files(files) {}

    // Set-up.
    void FindChanges();
    bool IsIMDfile();
    void ProcessIMDfile();

    // Requests: Get, then Let.
    std::int32_t rqLogSectorSize() const;
    void rqLogSectorSize(std::int32_t value);
    std::int32_t rqPhySector() const { return m_rqPhySector; }
    void rqPhySector(std::int32_t value);
    std::int32_t rqLogSector() const { return m_rqLogSector; }
    void rqLogSector(std::int32_t value);
    std::int32_t rqTrack() const { return m_rqTrack; }
    void rqTrack(std::int32_t value);
    std::int32_t rqCylinder() const { return m_rqCylinder; }
    void rqCylinder(std::int32_t value);
    std::int32_t rqHead() const { return m_rqHead; }
    void rqHead(std::int32_t value);
    bool UseHeadMap() const { return m_useHeadMap; }
    void UseHeadMap(bool value) { m_useHeadMap = value; }
    bool UseCylinderMap() const { return m_useCylinderMap; }
    void UseCylinderMap(bool value) { m_useCylinderMap = value; }
    bool UseSectorMap() const { return m_useSectorMap; }
    void UseSectorMap(bool value) { m_useSectorMap = value; }
    bool ErrorOnMissingData() const { return m_errorOnMissingData; }
    void ErrorOnMissingData(bool value) { m_errorOnMissingData = value; }

    // Answers about the requested sector.
    std::int32_t PhySectorOffset() const;
    std::int32_t LogSectorOffset() const;
    std::uint8_t IMDSectorType() const;
    std::uint8_t IMDSectorFill() const;
    // Answers about the requested track.
    std::uint8_t SPT() const;
    std::int32_t PhySectorSize() const;
    std::uint8_t PhySectorSizeCode() const;
    std::uint8_t Density() const;      // 1 single, 2 double, 0 unknown mode
    std::uint8_t TransferRate() const; // 8, 7, 6 for 500, 300, 250 kbit/s; 0 unknown mode
    std::uint8_t DensityCode() const;  // the raw mode
    std::uint8_t TransferRateCode() const;
    std::uint8_t AMSector() const;
    std::uint8_t AMCylinder() const;
    std::uint8_t AMHead() const;

    // The image.
    const std::string& Comments() const { return m_comments; }
    std::string DiskPreamble() const;
    std::string TrackPreamble() const;
    std::string SectorPreamble() const { return "1"; }
    std::string DiskPostamble() const { return "0"; }
    std::string TrackPostamble() const { return "0"; }
    std::string SectorPostamble() const { return "0"; }
    int FileNumber() const { return m_fileNumber; }
    bool RO() const { return m_ro; }
    void FileNumber(int value) { m_fileNumber = value; }
    std::int32_t Tracks() const { return m_tracks; }
    std::int32_t Cylinders() const;
    std::int32_t Heads() const { return m_heads; }
    // The number of format changes; rewinds the cursor of Changes.
    std::int32_t NumberOfChanges();
    // The next track where the format changes, or 0 when there is no further change.
    std::int32_t Changes();

    // Read-only views of the index, for reports. Indexes outside the tables throw
    // std::out_of_range.
    bool IsIMD() const { return m_isIMD; }
    std::int32_t MaxSectors() const { return m_maxSectors; }
    const TrackRecord& Track(std::int32_t track) const;
    std::uint8_t SectorMap(std::int32_t track, std::int32_t slot) const;
    std::uint8_t SectorType(std::int32_t track, std::int32_t slot) const;
    std::uint8_t SectorFill(std::int32_t track, std::int32_t slot) const;
    std::int32_t SectorPosition(std::int32_t track, std::int32_t slot) const;
    std::uint8_t CylinderMap(std::int32_t track, std::int32_t slot) const;
    std::uint8_t HeadMap(std::int32_t track, std::int32_t slot) const;
    bool IsChange(std::int32_t track) const;
    // Track records whose index lies beyond the tables and were skipped.
    std::int32_t SkippedTracks() const { return m_skippedTracks; }
    // The file ends inside a track or sector record.
    bool Truncated() const { return m_truncated; }
    // A host read error ended the indexing early (number 0: none).
    const HostError& ReadError() const { return m_readError; }

  private:
    class Walker;
    struct Sizing;

    ImageFile* File() const;
    void Clear();
    Sizing SizingPass(ImageFile& file);
    void AllocateTables(const Sizing& sizing);
    void IndexingPass(ImageFile& file);
    void NormaliseSectorMaps();
    void CheckMissingTracks();
    std::size_t Cell(std::int32_t track, std::int32_t slot) const;
    std::size_t CheckedCell(std::int32_t track, std::int32_t slot) const;
    bool ValidTrack() const { return m_rqTrack >= 0 && m_rqTrack < m_tracks; }
    // The slot of the requested sector, or -1 when it is not in the file.
    std::int32_t LocateSlot() const;

    const HostFiles& m_files;
    int m_fileNumber = 0;
    bool m_isIMD = false;
    std::string m_comments;
    std::int32_t m_tracks = 0;
    std::int32_t m_maxSectors = 0;
    std::int32_t m_changeCount = 0;
    std::array<bool, MaxTrackIndexes> m_changeTable{};
    std::int32_t m_changeCursor = 0;
    std::int32_t m_rqTrack = 0;
    std::int32_t m_rqPhySector = 0;
    std::int32_t m_rqLogSector = 0;
    std::int32_t m_rqLogSectorSize = FollowPhysicalSize;
    std::int32_t m_rqCylinder = 0;
    std::int32_t m_rqHead = 0;
    bool m_useSectorMap = true;
    bool m_useHeadMap = false;
    bool m_useCylinderMap = false;
    bool m_errorOnMissingData = false;
    std::int32_t m_heads = 1;
    bool m_ro = false;
    std::vector<TrackRecord> m_trackTable;
    // Per track and slot (the record's place within its track, in file order).
    std::vector<std::uint8_t> m_sectorMap;
    std::vector<std::uint8_t> m_sectorType;
    std::vector<std::uint8_t> m_sectorFill;
    std::vector<std::int32_t> m_sectorPosition; // of the type byte; 0 = not in the file
    std::vector<std::uint8_t> m_cylinderMap;
    std::vector<std::uint8_t> m_headMap;
    std::int32_t m_skippedTracks = 0;
    bool m_truncated = false;
    HostError m_readError;
};
