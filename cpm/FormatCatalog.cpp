#include "FormatCatalog.h"

#include "LibdskDisk.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>

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

// What a diskdef cannot say of Quarry's own formats: the short key, where each piece of the
// system lies, and the reserved tracks of the parameter block. The J formats reserve two tracks
// of single density, which their definitions give as a byte offset (it is no whole number of
// their data tracks); the others reserve their boot tracks.
struct OwnFormat {
    const char* name;
    const char* key;
    int OFF;
    std::array<SystemPiece, PieceCount> pieces;
};
constexpr std::array<OwnFormat, 10> OwnFormats{{
    {"IBM-3740", "IBM3740", 2, IbmPieces},
    {"PC-1440", "PC1440", 2, Pc1440Pieces},
    {"PC-4104", "PC4104", 2, PcPieces},
    {"PC-8190", "PC8190", 2, PcPieces},
    {"J48-SSSD", "JADESSSD48", 2, JadePieces},
    {"J48-SSDD", "JADESSDD48", 2, JadePieces},
    {"J50-SSSD", "JADESSSD50", 2, JadePieces},
    {"J50-SSDD", "JADESSDD50", 2, JadePieces},
    {"J50-DSSD", "JADEDSSD50", 2, JadePieces},
    {"J50-DSDD", "JADEDSDD50", 2, JadePieces},
}};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// cpmtools' skew table: each logical sector skew sectors after the one before, moved on to the
// next free sector when that one is taken.
std::vector<int> SkewTable(int sectors, int skew) {
    std::vector<int> table(static_cast<std::size_t>(sectors));
    std::vector<bool> taken(static_cast<std::size_t>(sectors), false);
    // Without a step the sectors follow one another; the search below would take as long as
    // the square of the track.
    const int step = skew % sectors;
    int j = 0;
    for (int i = 0; i < sectors; ++i) {
        if (step <= 1) {
            j = i;
        } else {
            while (taken[static_cast<std::size_t>(j)])
                j = (j + 1) % sectors;
        }
        table[static_cast<std::size_t>(i)] = j;
        taken[static_cast<std::size_t>(j)] = true;
        j = (j + step) % sectors;
    }
    return table;
}

// Why a skew table of a definition cannot place the sectors of a track, or "".
std::string BadSkewTable(const std::vector<int>& table, int sectors) {
    if (static_cast<int>(table.size()) != sectors)
        return "skewtab names " + std::to_string(table.size()) + " sectors, a track has " +
               std::to_string(sectors);
    std::vector<bool> seen(static_cast<std::size_t>(sectors), false);
    for (int s : table) {
        if (s < 0 || s >= sectors)
            return "skewtab names sector " + std::to_string(s) + ", outside the track";
        if (seen[static_cast<std::size_t>(s)])
            return "skewtab names sector " + std::to_string(s) + " twice";
        seen[static_cast<std::size_t>(s)] = true;
    }
    return {};
}

std::unique_ptr<FormatCatalog>& CurrentCatalog() {
    static std::unique_ptr<FormatCatalog> catalog;
    return catalog;
}

std::int64_t TrackInImage(const std::vector<int>& order, std::int64_t track) {
    return track < std::ssize(order) ? order[static_cast<std::size_t>(track)] : track;
}

} // namespace

std::int64_t CpmFormat::FilePosition(std::int64_t offset) const {
    if (offset < 0 || skew.empty()) return -1;
    const std::int64_t sector = offset / sectorSize + bootSectors;
    const std::int64_t track = TrackInImage(trackOrder, sector / sectorsPerTrack);
    const int physical = skew[static_cast<std::size_t>(sector % sectorsPerTrack)];
    return volumeOffset + (track * sectorsPerTrack + physical) * sectorSize + offset % sectorSize;
}

std::vector<FileRange> CpmFormat::SystemRanges(std::int64_t location, std::int64_t length) const {
    if (trackOrder.empty()) return {{location, length}};
    const std::int64_t trackBytes = std::int64_t{sectorsPerTrack} * sectorSize;
    std::vector<FileRange> ranges;
    for (std::int64_t at = location, end = location + length; at < end;) {
        if (at < volumeOffset) {
            // Before the volume (an offset): as it stands.
            ranges.push_back({at, std::min(end, volumeOffset) - at});
            at = std::min(end, volumeOffset);
            continue;
        }
        const std::int64_t track = (at - volumeOffset) / trackBytes;
        const std::int64_t within = (at - volumeOffset) % trackBytes;
        const std::int64_t piece = std::min(trackBytes - within, end - at);
        ranges.push_back(
            {volumeOffset + TrackInImage(trackOrder, track) * trackBytes + within, piece});
        at += piece;
    }
    return ranges;
}

bool CpmFormat::SameLayout(const CpmFormat& o) const {
    if (ImageSize != o.ImageSize || BSH != o.BSH || EXM != o.EXM || DSM != o.DSM || DRM != o.DRM ||
        AL0 != o.AL0 || AL1 != o.AL1)
        return false;
    const std::int64_t records = static_cast<std::int64_t>(DSM + 1) * (BLM + 1);
    for (std::int64_t r = 0; r < records; ++r)
        if (FilePosition(r * RecordSize) != o.FilePosition(r * RecordSize)) return false;
    return true;
}

std::optional<CpmFormat> DeriveFormat(const DiskDefinition& d, std::string& why) {
    auto refuse = [&why](std::string reason) -> std::optional<CpmFormat> {
        why = std::move(reason);
        return std::nullopt;
    };
    if (d.seclen < RecordSize || d.seclen > 16384 || d.seclen % RecordSize != 0)
        return refuse("seclen " + std::to_string(d.seclen) +
                      ": a sector must be a multiple of 128 bytes up to 16384");
    if (d.sectrk < 1 || d.sectrk > MaxSkewTable)
        return refuse("sectrk " + std::to_string(d.sectrk) + ": a track needs 1 to " +
                      std::to_string(MaxSkewTable) + " sectors");
    if (d.tracks < 1) return refuse("tracks 0: the disk has no track");
    const std::int64_t sectors = static_cast<std::int64_t>(d.tracks) * d.sectrk;
    const std::int64_t diskBytes = sectors * d.seclen;
    if (d.offset + diskBytes > MaxImageBytes) return refuse("the image would exceed 4 GB");
    if (d.blocksize < 1024 || d.blocksize > 16384 || (d.blocksize & (d.blocksize - 1)) != 0)
        return refuse("blocksize " + std::to_string(d.blocksize) +
                      " is not 1024, 2048, 4096, 8192 or 16384");
    if (d.blocksize < d.seclen)
        return refuse("blocksize " + std::to_string(d.blocksize) + " is smaller than a sector");
    const std::int64_t boot =
        d.bootsec >= 0 ? d.bootsec : static_cast<std::int64_t>(d.boottrk) * d.sectrk;
    if (boot >= sectors) return refuse("the boot tracks take the whole disk");
    const std::int64_t blocks = (sectors - boot) * d.seclen / d.blocksize;
    if (blocks > 65536)
        return refuse(std::to_string(blocks) + " blocks: block numbers beyond 16 bits");
    if (d.maxdir < 1) return refuse("maxdir 0: the disk has no directory");
    const std::int64_t directoryBytes = static_cast<std::int64_t>(d.maxdir) * 32;
    const std::int64_t dirBlocks =
        d.dirblks > 0 ? d.dirblks : (directoryBytes + d.blocksize - 1) / d.blocksize;
    if (dirBlocks * d.blocksize < directoryBytes)
        return refuse("dirblks " + std::to_string(d.dirblks) + " cannot hold maxdir " +
                      std::to_string(d.maxdir) + " entries");
    if (dirBlocks > 16)
        return refuse("the directory needs " + std::to_string(dirBlocks) +
                      " blocks; a disk parameter block can reserve 16");
    if (dirBlocks >= blocks) return refuse("the directory is larger than the disk");
    const int pointers = blocks > 256 ? 8 : 16;
    const int maxExtents = pointers * d.blocksize / 16384;
    if (maxExtents == 0)
        return refuse("blocks of " + std::to_string(d.blocksize) +
                      " bytes on a disk of more than 256 blocks: a directory entry would hold "
                      "less than one 16K extent");
    const int extents = d.logicalExtents > 0 ? d.logicalExtents : maxExtents;
    if (extents > maxExtents)
        return refuse("logicalextents " + std::to_string(extents) + ": a directory entry holds " +
                      std::to_string(maxExtents));

    CpmFormat f;
    if (!d.skewtab.empty()) {
        if (const std::string bad = BadSkewTable(d.skewtab, d.sectrk); !bad.empty())
            return refuse(bad);
        f.skew = d.skewtab;
    } else {
        if (d.skew < 0) return refuse("skew " + std::to_string(d.skew) + " is negative");
        f.skew = SkewTable(d.sectrk, d.skew);
    }
    f.name = d.name;
    f.source = d.file + " line " + std::to_string(d.firstLine);
    f.definition = d;
    f.sectorSize = d.seclen;
    f.sectorsPerTrack = d.sectrk;
    f.tracks = d.tracks;
    f.volumeOffset = d.offset;
    f.bootSectors = boot;
    f.os = d.os;
    // The sides in the order of the libdsk format the definition names, as cpmtools reads the
    // disk through it; a format of another number of tracks does not describe this disk.
    if (!d.libdskFormat.empty()) {
        // The order is a permutation of the tracks: in turn when it is sorted.
        std::vector<int> order = LibdskTrackOrder(d.libdskFormat);
        if (std::ssize(order) == d.tracks && !std::ranges::is_sorted(order))
            f.trackOrder = std::move(order);
    }
    f.SPT = d.sectrk * (d.seclen / RecordSize);
    f.BLM = d.blocksize / RecordSize - 1;
    for (int b = d.blocksize / RecordSize; b > 1; b >>= 1)
        ++f.BSH;
    f.EXM = extents - 1;
    f.DSM = static_cast<int>(blocks - 1);
    f.DRM = d.maxdir - 1;
    const int al = (0xFFFF << (16 - dirBlocks)) & 0xFFFF;
    f.AL0 = al >> 8;
    f.AL1 = al & 0xFF;
    f.CKS = (f.DRM + 1) / 4;
    f.OFF = static_cast<int>(boot / d.sectrk);
    f.ImageSize = d.offset + diskBytes;
    f.DataAreaOffset = d.offset + boot * d.seclen;
    return f;
}

FormatCatalog::FormatCatalog() {
    Add(ParseDiskdefs(BundledDiskdefsText(), BundledDiskdefsName), true);
}

FormatCatalog::FormatCatalog(const std::vector<std::string>& files) : FormatCatalog() {
    for (const std::string& file : files)
        AddFile(file);
}

const FormatCatalog& FormatCatalog::Current() {
    std::unique_ptr<FormatCatalog>& catalog = CurrentCatalog();
    if (!catalog) catalog = std::make_unique<FormatCatalog>(DefaultFiles());
    return *catalog;
}

void FormatCatalog::SetCurrent(FormatCatalog catalog) {
    CurrentCatalog() = std::make_unique<FormatCatalog>(std::move(catalog));
}

std::vector<std::string> FormatCatalog::DefaultFiles() {
    if (const char* list = std::getenv("QUARRY_DISKDEFS")) {
        std::vector<std::string> files;
        std::string_view rest = list;
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string_view file = rest.substr(0, colon);
            if (!file.empty()) files.emplace_back(file);
            rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
        }
        return files;
    }
    std::error_code ec;
    if (std::filesystem::exists(SystemDiskdefsPath, ec)) return {SystemDiskdefsPath};
    return {};
}

void FormatCatalog::AddText(std::string_view text, const std::string& file) {
    Add(ParseDiskdefs(text, file), false);
}

void FormatCatalog::AddFile(const std::string& path) {
    Add(ReadDiskdefsFile(path), false);
}

void FormatCatalog::Add(const ParsedDefinitions& parsed, bool builtIn) {
    const std::size_t firstProblem = m_problems.size();
    m_problems.insert(m_problems.end(), parsed.problems.begin(), parsed.problems.end());
    for (const DiskDefinition& d : parsed.definitions) {
        auto refuse = [&](const std::string& reason) {
            m_problems.push_back({d.file, d.firstLine, d.name, reason});
        };
        if (const std::optional<int> known = Find(d.name)) {
            const CpmFormat& first = At(*known);
            refuse("the name is taken by " + first.name + " (" + first.source + ")");
            continue;
        }
        std::string why;
        std::optional<CpmFormat> format = DeriveFormat(d, why);
        if (!format) {
            refuse(why);
            continue;
        }
        if (builtIn) {
            format->builtIn = true;
            for (const OwnFormat& own : OwnFormats)
                if (Upper(own.name) == Upper(d.name)) {
                    format->key = own.key;
                    format->OFF = own.OFF;
                    format->pieces = own.pieces;
                }
        }
        m_formats.push_back(std::move(*format));
    }
    // The problems of the file in the order of its lines.
    std::stable_sort(
        m_problems.begin() + static_cast<std::ptrdiff_t>(firstProblem), m_problems.end(),
        [](const DefinitionProblem& a, const DefinitionProblem& b) { return a.line < b.line; });
}

std::optional<int> FormatCatalog::Find(std::string_view name) const {
    const std::string upper = Upper(name);
    for (int i = 0; i < Count(); ++i)
        if (Upper(At(i).name) == upper) return i;
    for (int i = 0; i < Count(); ++i)
        if (!At(i).key.empty() && At(i).key == upper) return i;
    return std::nullopt;
}

std::vector<int> FormatCatalog::WithImageSize(std::int64_t size) const {
    std::vector<int> found;
    for (int i = 0; i < Count(); ++i)
        if (At(i).ImageSize == size) found.push_back(i);
    return found;
}

std::string FormatCatalog::WhyNot(std::string_view name) const {
    const std::string upper = Upper(name);
    for (const DefinitionProblem& p : m_problems)
        if (!p.name.empty() && Upper(p.name) == upper) return p.Text();
    return {};
}
