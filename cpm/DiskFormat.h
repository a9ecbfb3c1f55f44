// The ten flat CP/M image formats. An image holds 128-byte records one after the other with no
// header: first the system area (boot record, CCP, BDOS, BIOS and, on some machines, two further
// pieces), then the data area, whose first blocks hold the directory. Each format is a CP/M 2.2
// disk parameter block plus where the data area starts in the file and how the records of one
// data track are interleaved (sector skew).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int RecordSize = 128;
// The biggest block of any format, and the most blocks and directory entries one can have.
inline constexpr int MaxBlockSize = 4096;
inline constexpr int MaxBlocks = 2049;
inline constexpr int MaxDirEntries = 2049;

// The pieces of the system area, in the order of the format table.
enum class PieceKind { Boot, BIOS, CCP, BDOS, Magic, DCM };
inline constexpr int PieceCount = 6;

struct SystemPiece {
    int start = 0; // first record, 0-based, counted from the start of the image file
    int count = 0; // records; 0: the piece does not exist in this format
};

// One row of the format table.
struct DiskFormatRow {
    const char* name; // display name, "IBM-3740"
    const char* key;  // "IBM3740"
    std::int64_t ImageSize;
    std::uint16_t SPT;
    std::uint8_t BSH, BLM, EXM;
    std::uint16_t DSM, DRM;
    std::uint8_t AL0, AL1;
    std::uint16_t CKS, OFF;
    std::int64_t DataAreaOffset;
    bool skew6; // the 26-record tracks are interleaved by six
    std::array<SystemPiece, PieceCount> pieces;
};

inline constexpr int FormatCount = 10;
const std::array<DiskFormatRow, FormatCount>& FormatTable();

// The row whose key or display name equals name, compared without regard to case.
std::optional<int> FindFormat(std::string_view name);
// The row whose ImageSize is exactly size.
std::optional<int> FindFormatBySize(std::int64_t size);

// The current format: the parameter block, Quarry's layout values and what follows from them.
class DiskFormat {
  public:
    DiskFormat(); // "IBM-3740"

    // Makes the row named by key or display name current. An unknown name keeps the previous
    // parameters; the derived values are recomputed either way.
    void SetDiskFormat(std::string_view name);

    // Byte offset, within the data area, of the logical byte offset of the data area: the
    // record's track stays, its sector goes through the skew table.
    std::int64_t ImageOffset(std::int64_t offset) const;
    // File position of a logical data-area byte offset.
    std::int64_t FilePosition(std::int64_t offset) const {
        return DataAreaOffset + ImageOffset(offset);
    }

    int Index() const { return m_index; }
    std::string Name() const { return FormatTable()[m_index].name; }
    std::string Key() const { return FormatTable()[m_index].key; }
    const SystemPiece& Piece(PieceKind kind) const { return pieces[static_cast<int>(kind)]; }
    int RecordsPerBlock() const { return BlockSize / RecordSize; }
    int DirectoryEntries() const { return DRM + 1; }
    int Blocks() const { return DSM + 1; }
    // Whether block b is one of the directory blocks named by AL0/AL1.
    bool IsDirectoryBlock(int b) const;

    // Parameter block.
    std::uint16_t SPT = 0;
    std::uint8_t BSH = 0, BLM = 0, EXM = 0;
    std::uint16_t DSM = 0, DRM = 0;
    std::uint8_t AL0 = 0, AL1 = 0;
    std::uint16_t CKS = 0, OFF = 0;
    std::uint8_t PSH = 0, PHM = 0;
    // Layout.
    std::int64_t ImageSize = 0;
    std::int64_t DataAreaOffset = 0;
    std::array<SystemPiece, PieceCount> pieces{};
    std::array<int, 257> SectorSkewTable{};
    // Derived.
    int BlockSize = 1024;
    int BlocksPerExtent = 16;
    bool EightBitBlocks = true;
    int PointersPerEntry = 16;
    int ExtentsPerEntry = 1;

  private:
    int m_index = 0;
};

// The display text of a piece, as the "Image Part" menu names it.
std::string PieceName(PieceKind kind);
std::optional<PieceKind> FindPiece(std::string_view name);
