// The CP/M formats Quarry knows, made from disk definitions (see DiskDefinitions.h): first its own
// ten, from the definitions bundled with the program, then those of the system's cpmtools
// (/etc/cpmtools/diskdefs when present), or of the files named by the environment variable
// QUARRY_DISKDEFS (separated by ":") instead. A format is the disk parameter block CP/M would
// use for the disk plus where its sectors lie in a flat image file: the image holds the sectors
// of every track one after the other, after an optional offset; the first boot sectors (boottrk
// whole tracks, or bootsec sectors) hold the system and the data area follows, its logical
// sectors placed within each track through the skew table. All values are derived as cpmtools
// derives them, so that an image means the same to both.
#pragma once

#include "DiskDefinitions.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int RecordSize = 128;
// The largest directory a disk parameter block can describe: 16 blocks of 16K.
inline constexpr int MaxDirectoryEntries = 16 * 16384 / 32;
// The largest image a definition may describe.
inline constexpr std::int64_t MaxImageBytes = std::int64_t{1} << 32;

// The pieces of the system area of Quarry's own formats, in the order of their table.
enum class PieceKind { Boot, BIOS, CCP, BDOS, Magic, DCM };
inline constexpr int PieceCount = 6;

struct SystemPiece {
    int start = 0; // first record, 0-based, counted from the start of the image file
    int count = 0; // records; 0: the piece does not exist in this format
};

// A run of bytes of the image file.
struct FileRange {
    std::int64_t position = 0;
    std::int64_t length = 0;
};

struct CpmFormat {
    std::string name;
    std::string key;      // the short key of Quarry's own formats ("IBM3740"); "" for the others
    std::string source;   // "FILE line N"
    bool builtIn = false; // one of Quarry's own ten
    DiskDefinition definition;

    // The image file: sectors of sectorSize bytes, sectorsPerTrack to a track, from
    // volumeOffset on; the data area starts after bootSectors sectors.
    int sectorSize = RecordSize;
    int sectorsPerTrack = 1;
    int tracks = 1;
    std::int64_t volumeOffset = 0;
    std::int64_t bootSectors = 0;
    // The physical sector (from 0) that holds each logical sector of a track.
    std::vector<int> skew;
    CpmOs os = CpmOs::V22;

    // Disk parameter block.
    int SPT = 0; // 128-byte records a track
    int BSH = 0, BLM = 0, EXM = 0;
    int DSM = 0, DRM = 0;
    int AL0 = 0, AL1 = 0;
    int CKS = 0, OFF = 0;
    // The physical track (cylinder * heads + head) of each logical track, where the definition's
    // libdsk format takes the sides of the disk otherwise than in turn (out on one side and back
    // on the other, say), as cpmtools then reads it; empty: logical track t is track t of the
    // image.
    std::vector<int> trackOrder;
    // Layout.
    std::int64_t ImageSize = 0;
    std::int64_t DataAreaOffset = 0;
    std::array<SystemPiece, PieceCount> pieces{};

    // The file position of a byte offset in the data area.
    std::int64_t FilePosition(std::int64_t offset) const;
    // Where length bytes of the system area lie in the file, from location, the place they would
    // have with the tracks in order (what the system tracks' rows show): one run, or one a
    // track where the tracks lie in another order.
    std::vector<FileRange> SystemRanges(std::int64_t location, std::int64_t length) const;
    // Whether both have one parameter block and put every record of the data area at the same
    // place: the same disk, whatever sectors the definitions describe it in.
    bool SameLayout(const CpmFormat& other) const;
};

// The format a definition describes, derived as cpmtools derives it; nullopt, with the reason in
// why, for a definition that makes no sense (a zero size, a directory larger than the disk, block
// numbers beyond 16 bits, a skew table that is not a permutation of the track's sectors, ...).
std::optional<CpmFormat> DeriveFormat(const DiskDefinition& definition, std::string& why);

// The text of the definitions bundled with the program, and the name it goes by.
std::string_view BundledDiskdefsText();
inline constexpr const char* BundledDiskdefsName = "quarry/diskdefs";
inline constexpr const char* SystemDiskdefsPath = "/etc/cpmtools/diskdefs";

class FormatCatalog {
  public:
    // Quarry's own formats only.
    FormatCatalog();
    // Quarry's own formats, then those of the files.
    explicit FormatCatalog(const std::vector<std::string>& files);

    // The catalog of every program run, made of DefaultFiles() when first asked for.
    static const FormatCatalog& Current();
    // Replaces it (a test, or a window told to read the definitions again).
    static void SetCurrent(FormatCatalog catalog);
    // The files of QUARRY_DISKDEFS when it is set, else the system's file when it exists.
    static std::vector<std::string> DefaultFiles();

    // Adds the formats of text, the contents of file, after those already known. A definition
    // of a name known already (without regard to case) is left out.
    void AddText(std::string_view text, const std::string& file);
    void AddFile(const std::string& path);

    int Count() const { return static_cast<int>(m_formats.size()); }
    const CpmFormat& At(int index) const { return m_formats[static_cast<std::size_t>(index)]; }
    const std::vector<CpmFormat>& Formats() const { return m_formats; }
    // The format of that name or key, without regard to case.
    std::optional<int> Find(std::string_view name) const;
    // Every format whose image has exactly size bytes, in catalog order.
    std::vector<int> WithImageSize(std::int64_t size) const;
    // The definitions left out, and why.
    const std::vector<DefinitionProblem>& Problems() const { return m_problems; }
    // Why no format has that name: the problem of a definition of that name that was left out,
    // or "".
    std::string WhyNot(std::string_view name) const;

  private:
    void Add(const ParsedDefinitions& parsed, bool builtIn);

    std::vector<CpmFormat> m_formats;
    std::vector<DefinitionProblem> m_problems;
};
