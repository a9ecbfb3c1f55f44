#include "DiskFormat.h"

#include <cctype>

namespace {

constexpr SystemPiece None{0, 0};
// Boot, BIOS, CCP, BDOS, Magic, DCM.
constexpr std::array<SystemPiece, PieceCount> IbmPieces{
    {{0, 1}, {45, 7}, {1, 16}, {17, 28}, None, None}};
constexpr std::array<SystemPiece, PieceCount> Pc1440Pieces{
    {{5, 1}, {16, 12}, {28, 16}, {44, 28}, {4, 1}, {8, 8}}};
constexpr std::array<SystemPiece, PieceCount> PcPieces{
    {{5, 1}, {16, 12}, {28, 16}, {44, 28}, {4, 1}, None}};
constexpr std::array<SystemPiece, PieceCount> JadePieces{
    {{2, 1}, {3, 8}, {27, 16}, {43, 28}, {0, 1}, {12, 8}}};

// The J formats start their data area at a fixed offset (74 or 76 records) whatever the density
// of the data tracks; the others after OFF tracks of SPT records.
constexpr std::array<DiskFormatRow, FormatCount> Rows{{
    {"IBM-3740", "IBM3740", 256256, 26, 3, 7, 0, 242, 63, 0xC0, 0x00, 16, 2, 6656, true, IbmPieces},
    {"PC-1440", "PC1440", 1474560, 72, 4, 15, 0, 710, 255, 0xF0, 0x00, 64, 2, 18432, false,
     Pc1440Pieces},
    {"PC-4104", "PC4104", 4202496, 72, 4, 15, 0, 2042, 1023, 0xFF, 0xFF, 256, 2, 18432, false,
     PcPieces},
    {"PC-8190", "PC8190", 8386560, 72, 5, 31, 1, 2042, 2047, 0xFF, 0xFF, 512, 2, 18432, false,
     PcPieces},
    {"J48-SSSD", "JADESSSD48", 259072, 26, 3, 7, 0, 242, 63, 0xC0, 0x00, 16, 2, 9472, true,
     JadePieces},
    {"J48-SSDD", "JADESSDD48", 470272, 48, 4, 15, 1, 224, 63, 0x80, 0x00, 16, 2, 9472, false,
     JadePieces},
    {"J50-SSSD", "JADESSSD50", 259328, 26, 3, 7, 0, 242, 63, 0xC0, 0x00, 16, 2, 9728, true,
     JadePieces},
    {"J50-SSDD", "JADESSDD50", 489728, 50, 4, 15, 1, 233, 63, 0x80, 0x00, 16, 2, 9728, false,
     JadePieces},
    {"J50-DSSD", "JADEDSSD50", 515584, 26, 4, 15, 1, 246, 63, 0x80, 0x00, 16, 2, 9728, true,
     JadePieces},
    {"J50-DSDD", "JADEDSDD50", 982528, 50, 5, 31, 3, 236, 127, 0x80, 0x00, 32, 2, 9728, false,
     JadePieces},
}};

// Physical sector of each logical sector of a 26-record track (index 0 unused).
constexpr std::array<int, 27> Skew6{0, 1, 7,  13, 19, 25, 5,  11, 17, 23, 3,  9,  15, 21,
                                    2, 8, 14, 20, 26, 6,  12, 18, 24, 4,  10, 16, 22};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

constexpr std::array<const char*, PieceCount> PieceNames{"Boot", "Bios",  "CCP",
                                                         "Bdos", "Magic", "Dcm"};

} // namespace

const std::array<DiskFormatRow, FormatCount>& FormatTable() {
    return Rows;
}

std::optional<int> FindFormat(std::string_view name) {
    const std::string upper = Upper(name);
    for (int i = 0; i < FormatCount; ++i)
        if (upper == Rows[i].key || upper == Rows[i].name) return i;
    return std::nullopt;
}

std::optional<int> FindFormatBySize(std::int64_t size) {
    for (int i = 0; i < FormatCount; ++i)
        if (Rows[i].ImageSize == size) return i;
    return std::nullopt;
}

DiskFormat::DiskFormat() {
    SetDiskFormat(Rows[0].key);
}

void DiskFormat::SetDiskFormat(std::string_view name) {
    if (const std::optional<int> row = FindFormat(name)) {
        const DiskFormatRow& r = Rows[*row];
        m_index = *row;
        SPT = r.SPT;
        BSH = r.BSH;
        BLM = r.BLM;
        EXM = r.EXM;
        DSM = r.DSM;
        DRM = r.DRM;
        AL0 = r.AL0;
        AL1 = r.AL1;
        CKS = r.CKS;
        OFF = r.OFF;
        PSH = 0;
        PHM = 0;
        ImageSize = r.ImageSize;
        DataAreaOffset = r.DataAreaOffset;
        pieces = r.pieces;
        for (int i = 0; i < static_cast<int>(SectorSkewTable.size()); ++i)
            SectorSkewTable[i] = r.skew6 && i < static_cast<int>(Skew6.size()) ? Skew6[i] : i;
    }
    if (BSH >= 3 && BSH <= 7) BlockSize = RecordSize << BSH;
    BlocksPerExtent = 16384 / BlockSize;
    EightBitBlocks = DSM < 256;
    PointersPerEntry = EightBitBlocks ? 16 : 8;
    ExtentsPerEntry = PointersPerEntry / BlocksPerExtent;
}

std::int64_t DiskFormat::ImageOffset(std::int64_t offset) const {
    const std::int64_t record = offset / RecordSize;
    const std::int64_t byte = offset % RecordSize;
    const std::int64_t track = record / SPT;
    const int sector = static_cast<int>(record % SPT) + 1;
    const int physical = SectorSkewTable[sector];
    return track * SPT * RecordSize + (physical - 1) * RecordSize + byte;
}

bool DiskFormat::IsDirectoryBlock(int b) const {
    if (b >= 0 && b < 8) return (AL0 >> (7 - b)) & 1;
    if (b >= 8 && b < 16) return (AL1 >> (15 - b)) & 1;
    return false;
}

std::string PieceName(PieceKind kind) {
    return PieceNames[static_cast<int>(kind)];
}

std::optional<PieceKind> FindPiece(std::string_view name) {
    const std::string upper = Upper(name);
    for (int i = 0; i < PieceCount; ++i)
        if (upper == Upper(PieceNames[i])) return static_cast<PieceKind>(i);
    return std::nullopt;
}
