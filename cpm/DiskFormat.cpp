#include "DiskFormat.h"

#include <cctype>

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

constexpr std::array<const char*, PieceCount> PieceNames{"Boot", "Bios",  "CCP",
                                                         "Bdos", "Magic", "Dcm"};

// Quarry's own formats, made once from the bundled definitions alone (the table's names point
// into it).
const FormatCatalog& OwnCatalog() {
    static const FormatCatalog catalog;
    return catalog;
}

} // namespace

const std::array<DiskFormatRow, FormatCount>& FormatTable() {
    static const std::array<DiskFormatRow, FormatCount> rows = [] {
        std::array<DiskFormatRow, FormatCount> table{};
        const FormatCatalog& own = OwnCatalog();
        for (int i = 0; i < FormatCount && i < own.Count(); ++i) {
            const CpmFormat& f = own.At(i);
            table[static_cast<std::size_t>(i)] = {
                f.name.c_str(), f.key.c_str(), f.ImageSize, f.SPT, f.BSH, f.BLM, f.EXM,
                f.DSM,          f.DRM,         f.AL0,       f.AL1, f.CKS, f.OFF, f.DataAreaOffset,
                f.pieces};
        }
        return table;
    }();
    return rows;
}

std::optional<int> FindFormat(std::string_view name) {
    return FormatCatalog::Current().Find(name);
}

DiskFormat::DiskFormat() {
    const FormatCatalog& catalog = FormatCatalog::Current();
    if (catalog.Count() > 0)
        Apply(catalog.At(0), 0);
    else
        Apply(OwnCatalog().At(0), 0);
}

void DiskFormat::SetDiskFormat(std::string_view name) {
    if (const std::optional<int> index = FindFormat(name)) SetFormat(*index);
}

void DiskFormat::SetFormat(int index) {
    const FormatCatalog& catalog = FormatCatalog::Current();
    if (index >= 0 && index < catalog.Count()) Apply(catalog.At(index), index);
}

void DiskFormat::Apply(const CpmFormat& f, int index) {
    m_format = f;
    m_index = index;
    SPT = f.SPT;
    BSH = static_cast<std::uint8_t>(f.BSH);
    BLM = static_cast<std::uint8_t>(f.BLM);
    EXM = static_cast<std::uint8_t>(f.EXM);
    DSM = static_cast<std::uint16_t>(f.DSM);
    DRM = static_cast<std::uint16_t>(f.DRM);
    AL0 = static_cast<std::uint8_t>(f.AL0);
    AL1 = static_cast<std::uint8_t>(f.AL1);
    CKS = static_cast<std::uint16_t>(f.CKS);
    OFF = static_cast<std::uint16_t>(f.OFF);
    PSH = 0;
    PHM = 0;
    ImageSize = f.ImageSize;
    DataAreaOffset = f.DataAreaOffset;
    pieces = f.pieces;
    BlockSize = RecordSize << BSH;
    BlocksPerExtent = 16384 / BlockSize;
    EightBitBlocks = DSM < 256;
    const int room = EightBitBlocks ? 16 : 8;
    ExtentsPerEntry = EXM + 1;
    PointersPerEntry = std::min(room, ExtentsPerEntry * BlocksPerExtent);
}

std::int64_t DiskFormat::FilePosition(std::int64_t offset) const {
    return m_format.FilePosition(offset);
}

bool DiskFormat::IsDirectoryBlock(int b) const {
    if (b >= 0 && b < 8) return (AL0 >> (7 - b)) & 1;
    if (b >= 8 && b < 16) return (AL1 >> (15 - b)) & 1;
    return false;
}

std::int64_t DiskFormat::MaxFileSize() const {
    return (m_format.os == CpmOs::V3 ? 2048 : 512) * std::int64_t{16384};
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
