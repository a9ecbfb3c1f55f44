// The current CP/M format of an image (one of FormatCatalog's) and how it addresses the image. An
// image holds the sectors of every track one after the other with no header, after an optional
// offset: first the system area (boot record, CCP, BDOS, BIOS and, on some machines, two further
// pieces), then the data area, whose first blocks hold the directory. A byte of the data area is
// found by its logical sector: counted on from the boot sectors, it gives a track and a sector of
// that track, which the skew table turns into the physical sector that holds it.
#pragma once

#include "FormatCatalog.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Quarry's own ten formats as rows of a table, in the order of the format list.
struct DiskFormatRow {
    const char* name; // display name, "IBM-3740"
    const char* key;  // "IBM3740"
    std::int64_t ImageSize;
    int SPT, BSH, BLM, EXM, DSM, DRM, AL0, AL1, CKS, OFF;
    std::int64_t DataAreaOffset;
    std::array<SystemPiece, PieceCount> pieces;
};

inline constexpr int FormatCount = 10;
const std::array<DiskFormatRow, FormatCount>& FormatTable();

// The format of the current catalog whose key or name equals name, without regard to case.
std::optional<int> FindFormat(std::string_view name);

class DiskFormat {
  public:
    DiskFormat(); // "IBM-3740"

    // Makes the format named by key or name current. An unknown name keeps the previous
    // parameters.
    void SetDiskFormat(std::string_view name);
    // Makes format index of the current catalog current.
    void SetFormat(int index);

    // File position of a logical data-area byte offset.
    std::int64_t FilePosition(std::int64_t offset) const;
    // The same, counted from the start of the data area.
    std::int64_t ImageOffset(std::int64_t offset) const {
        return FilePosition(offset) - DataAreaOffset;
    }

    int Index() const { return m_index; }
    const CpmFormat& Parameters() const { return m_format; }
    std::string Name() const { return m_format.name; }
    std::string Key() const { return m_format.key; }
    const SystemPiece& Piece(PieceKind kind) const { return pieces[static_cast<int>(kind)]; }
    int RecordsPerBlock() const { return BlockSize / RecordSize; }
    int DirectoryEntries() const { return DRM + 1; }
    int Blocks() const { return DSM + 1; }
    // Whether block b is one of the directory blocks named by AL0/AL1.
    bool IsDirectoryBlock(int b) const;
    // The largest file whose extents the directory can number: 512 extents of 16K under CP/M
    // 2.2 and the systems that keep its BDOS, 2048 under CP/M 3.
    std::int64_t MaxFileSize() const;

    // Parameter block.
    int SPT = 0;
    std::uint8_t BSH = 0, BLM = 0, EXM = 0;
    std::uint16_t DSM = 0, DRM = 0;
    std::uint8_t AL0 = 0, AL1 = 0;
    std::uint16_t CKS = 0, OFF = 0;
    std::uint8_t PSH = 0, PHM = 0;
    // Layout.
    std::int64_t ImageSize = 0;
    std::int64_t DataAreaOffset = 0;
    std::array<SystemPiece, PieceCount> pieces{};
    // Derived.
    int BlockSize = 1024;
    int BlocksPerExtent = 16;
    bool EightBitBlocks = true;
    // The block pointers an entry uses: those of its logical extents (EXM + 1 of 16K), at most
    // the sixteen 8-bit or eight 16-bit pointers it has room for.
    int PointersPerEntry = 16;
    int ExtentsPerEntry = 1;

  private:
    void Apply(const CpmFormat& format, int index);

    CpmFormat m_format;
    int m_index = 0;
};

// The display text of a piece, as the "Image Part" menu names it.
std::string PieceName(PieceKind kind);
std::optional<PieceKind> FindPiece(std::string_view name);
