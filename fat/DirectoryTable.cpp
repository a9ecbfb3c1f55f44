#include "DirectoryTable.h"

#include "DisplaySink.h"
#include "FatVolume.h"
#include "LongName.h"
#include "modUtility.h"

#include <array>

void DirectoryTable::ClearEntries() {
    m_rows.clear();
    m_fileCount = 0;
    m_problem.clear();
}

bool DirectoryTable::ParseEntry(std::span<const std::uint8_t> entry) {
    if (m_rows.size() >= kMaxRows) {
        if (m_problem.empty())
            m_problem = "The directory holds more than " + std::to_string(kMaxRows - 1) +
                        " entries; the rest is not read";
        return false;
    }
    m_rows.push_back(DecodeEntry(entry));
    return m_rows.back().InUse;
}

void DirectoryTable::LoadRoot(const FatVolume& volume) {
    m_rows.push_back(SyntheticRootRow());
    const std::span<const std::uint8_t> bytes(volume.RootBytes());
    for (std::size_t n = 0; n + 32 <= bytes.size(); n += 32)
        if (!ParseEntry(bytes.subspan(n, 32))) break;
}

void DirectoryTable::LoadSubdirectory(FatVolume& volume, std::int64_t cluster, bool deleted) {
    std::vector<std::uint8_t> data;
    std::vector<std::int32_t> chain = volume.ClusterChain(cluster);
    if (deleted && chain.size() > 1) chain.resize(1);
    for (std::int32_t c : chain) {
        if (!volume.ReadCluster(c, data)) {
            m_problem = "Cluster " + std::to_string(c) + " (sector " +
                        std::to_string(volume.ClusterToLSN(c)) +
                        ") of the directory cannot be read; the rest is not read";
            return;
        }
        const std::span<const std::uint8_t> bytes(data);
        for (std::size_t n = 0; n + 32 <= bytes.size(); n += 32) {
            const bool inUse = ParseEntry(bytes.subspan(n, 32));
            if (!m_problem.empty()) return; // the table is full
            if (!inUse) break;
        }
    }
}

int DirectoryTable::RowsInUse() const {
    int i = 0;
    while (i < Count() && m_rows[static_cast<std::size_t>(i)].InUse)
        ++i;
    return i;
}

namespace {

// The long name of deleted entry i from the deleted pieces right before it, and the first
// character the pieces' checksum gives the 8.3 name. The checksum takes every byte of the name
// through a bijection, so exactly one first byte gives the pieces' checksum; when that byte
// cannot begin a DOS name, the pieces belong to another entry.
void RebuildDeletedLongName(std::vector<DirEntry>& rows, std::size_t i) {
    DirEntry& entry = rows[i];
    std::array<std::uint8_t, 11> name = entry.RawName;
    std::u16string longName;
    int checksum = -1;
    char first = 0;
    // A long name has at most 20 pieces (255 code units).
    for (std::size_t k = 1; k <= 20 && k <= i; ++k) {
        const DirEntry& piece = rows[i - k];
        if (!piece.Deleted || !piece.IsLongNamePiece()) break;
        if (checksum < 0) {
            for (int c = 1; c < 256 && !first; ++c) {
                name[0] = static_cast<std::uint8_t>(c);
                if (ShortNameChecksum(name) == piece.PieceChecksum() &&
                    ValidFirstCharacter(static_cast<char>(c)))
                    first = static_cast<char>(c);
            }
            if (!first) return;
            checksum = piece.PieceChecksum();
        } else if (piece.PieceChecksum() != checksum) {
            break;
        }
        longName += piece.LongName16;
    }
    if (longName.empty()) return;
    entry.LongName16 = longName;
    entry.LongName = Utf16ToUtf8(longName);
    entry.ChecksumFirst = first;
}

} // namespace

void DirectoryTable::AssembleLongNames() {
    std::u16string pending;
    const int end = RowsInUse();
    for (int i = 0; i < end; ++i) {
        DirEntry& row = m_rows[static_cast<std::size_t>(i)];
        if (row.Deleted) {
            if (row.IsFile() || row.IsDirectory())
                RebuildDeletedLongName(m_rows, static_cast<std::size_t>(i));
            continue;
        }
        if (row.IsLongNamePiece()) {
            if (row.Sequence & 0x40) pending.clear();
            pending.insert(0, row.LongName16);
        } else if (row.IsFile() || row.IsDirectory()) {
            row.LongName16 = pending;
            row.LongName = Utf16ToUtf8(pending);
            pending.clear();
        }
    }
}

int DirectoryTable::CountFiles() const {
    int count = 0;
    const int end = RowsInUse();
    for (int i = 0; i < end; ++i) {
        const DirEntry& row = m_rows[static_cast<std::size_t>(i)];
        if (row.IsFile() && !row.Deleted) ++count;
    }
    return count;
}

void DirectoryTable::LoadDirectory(FatVolume& volume, std::int64_t cluster, bool deleted) {
    ClearEntries();
    if (cluster == 0)
        LoadRoot(volume);
    else
        LoadSubdirectory(volume, cluster, deleted);
    m_fileCount = CountFiles();
    AssembleLongNames();
}

DirectoryList DirectoryTable::ListDirectory() const {
    DirectoryList list;
    const int end = RowsInUse();
    for (int i = 0; i < end; ++i) {
        const DirEntry& row = m_rows[static_cast<std::size_t>(i)];
        if ((row.IsDirectory() || row.IsFile()) && (!row.Deleted || m_showDeleted))
            list.Lines.push_back({FormatEntry(row, false), i});
        else if (row.IsVolumeLabel() && !row.Deleted)
            list.VolumeLabel = FormatEntry(row, false);
    }
    return list;
}

std::string DirectoryTable::DirectoryListing() const {
    std::string text;
    const int end = RowsInUse();
    for (int i = 0; i < end; ++i) {
        const DirEntry& row = m_rows[static_cast<std::size_t>(i)];
        const bool shown = !row.Deleted || (m_showDeleted && !row.IsVolumeLabel());
        if ((row.IsDirectory() || row.IsFile() || row.IsVolumeLabel()) && shown)
            text += FormatEntry(row, true) + CRLF;
    }
    return text;
}
