#include "CpmDirectory.h"

#include "CpmNames.h"
#include "DisplaySink.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr const char* TitleReadDirectory = "Error Getting Directory From Image";
constexpr const char* TitleWriteDirectory = "Error Writing Directory to Image";
// Adds name to a list of distinct names (seen holds the list's names); true when it was new.
bool AddName(std::vector<std::string>& list, std::unordered_set<std::string>& seen,
             const std::string& name) {
    if (!seen.insert(name).second) return false;
    list.push_back(name);
    return true;
}

} // namespace

CpmDirectory::CpmDirectory(CpmImage& image) : m_image(image) {
    m_current = DirEntry::Filled(EmptyStatus);
}

bool CpmDirectory::ReadDirEntry(int n) {
    return m_image.ReadEntryBytes(n, m_current.bytes, TitleReadDirectory);
}

bool CpmDirectory::WriteDirEntry(int n) {
    if (n < 0 || n > m_image.Format().DRM) return false;
    return m_image.WriteEntryBytes(n, m_current.bytes, TitleWriteDirectory);
}

std::vector<DirEntry> CpmDirectory::ReadDirectory() {
    const DiskFormat& f = m_image.Format();
    const int count = f.DirectoryEntries();
    std::vector<DirEntry> entries(static_cast<std::size_t>(count), DirEntry::Filled(EmptyStatus));
    if (!m_image.ImageOpen()) return entries;
    // Records that follow one another in the file (all of them unless the format skews its
    // sectors) are read in one piece.
    const int records = (count * EntrySize + RecordSize - 1) / RecordSize;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(records) * RecordSize);
    for (int r = 0; r < records;) {
        const std::int64_t position = f.FilePosition(static_cast<std::int64_t>(r) * RecordSize);
        int run = 1;
        while (r + run < records &&
               f.FilePosition(static_cast<std::int64_t>(r + run) * RecordSize) ==
                   position + static_cast<std::int64_t>(run) * RecordSize)
            ++run;
        m_image.ReadAt(position,
                       std::span(bytes).subspan(static_cast<std::size_t>(r) * RecordSize,
                                                static_cast<std::size_t>(run) * RecordSize),
                       TitleReadDirectory);
        r += run;
    }
    for (int i = 0; i < count; ++i)
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(i) * EntrySize, EntrySize,
                    entries[static_cast<std::size_t>(i)].bytes.begin());
    return entries;
}

void CpmDirectory::BuildAllocationMap() {
    const DiskFormat& f = m_image.Format();
    m_map.assign(static_cast<std::size_t>(f.Blocks()), 0);
    for (int b = 0; b < 16 && b < f.Blocks(); ++b)
        if (f.IsDirectoryBlock(b)) m_map[static_cast<std::size_t>(b)] = 1;
    if (!m_image.ImageOpen()) return;
    for (const DirEntry& e : ReadDirectory()) {
        if (!e.IsFile()) continue;
        for (int i = 0; i < f.PointersPerEntry; ++i) {
            const int b = BlockPointer(e, i, f.EightBitBlocks);
            if (ValidBlock(b)) m_map[static_cast<std::size_t>(b)] = 1;
        }
    }
}

bool CpmDirectory::ValidBlock(int b) const {
    return b >= 1 && b <= m_image.Format().DSM && b < std::ssize(m_map);
}

int CpmDirectory::AllocateBlock() {
    for (std::size_t b = 0; b < m_map.size(); ++b) {
        if (m_map[b] == 0) {
            m_map[b] = 1;
            return static_cast<int>(b);
        }
    }
    return 0;
}

int CpmDirectory::CountFreeBlocks() const {
    return static_cast<int>(std::count(m_map.begin(), m_map.end(), 0));
}

int CpmDirectory::CountUsedBlocks() const {
    return static_cast<int>(m_map.size()) - CountFreeBlocks();
}

int CpmDirectory::FindFreeEntry() {
    const std::vector<int> free = FindFreeEntries(1);
    return free.empty() ? -1 : free.front();
}

std::vector<int> CpmDirectory::FindFreeEntries(int count) {
    std::vector<int> free;
    if (!m_image.ImageOpen()) return free;
    const std::vector<DirEntry> entries = ReadDirectory();
    for (int i = 0; i < static_cast<int>(entries.size()) && static_cast<int>(free.size()) < count;
         ++i)
        if (entries[static_cast<std::size_t>(i)].Status() == EmptyStatus) free.push_back(i);
    return free;
}

int CpmDirectory::FreeEntryCount() const {
    return m_image.Format().DirectoryEntries() - m_scan.entriesUsed;
}

void CpmDirectory::ResetScan() {
    m_scan = DirectoryScan{};
}

void CpmDirectory::ShowDirectory(DisplaySink& out, const std::string& user, const std::string& name,
                                 const std::string& type, ListMode mode, bool literal) {
    Scan(&out, user, name, type, mode, literal);
}

void CpmDirectory::ScanDirectory(const std::string& user, const std::string& name,
                                 const std::string& type, ListMode mode, bool literal) {
    Scan(nullptr, user, name, type, mode, literal);
}

void CpmDirectory::Scan(DisplaySink* out, const std::string& user, const std::string& name,
                        const std::string& type, ListMode mode, bool literal) {
    ResetScan();
    if (!m_image.ImageOpen()) return;
    const bool listing = out && (mode == ListMode::SHORT || mode == ListMode::FULL);
    if (listing) out->Clear();
    const std::string pattern = user + ":" + name + "." + type;

    m_scan.raw = ReadDirectory();
    std::unordered_set<std::string> allSeen, listedSeen;
    for (int i = 0; i < static_cast<int>(m_scan.raw.size()); ++i) {
        const DirEntry& e = m_scan.raw[static_cast<std::size_t>(i)];
        ++m_scan.entriesRead;
        const int status = e.Status();
        // Only file and password entries are named; most entries of a large directory are free.
        const std::string text = status < 32 ? e.TextName() : std::string();
        if (status < 16) {
            if (MatchName(pattern, text, literal)) {
                m_scan.matched.push_back(e);
                m_scan.matchedFileNumbers.push_back(i);
                m_scan.matchedNumbers.push_back(i);
                AddName(m_scan.listedNames, listedSeen, text);
            }
            AddName(m_scan.allNames, allSeen, text);
            ++m_scan.entriesUsed;
        } else if (status < 32) {
            if (MatchName(pattern, text, literal)) m_scan.matchedNumbers.push_back(i);
            ++m_scan.entriesUsed;
            ++m_scan.passwordEntries;
        } else if (status == LabelStatus) {
            ++m_scan.entriesUsed;
            ++m_scan.labelEntries;
        } else if (status == TimeStampStatus) {
            ++m_scan.entriesUsed;
            ++m_scan.timeStampEntries;
        }
    }

    if (mode == ListMode::NAMES) RefillFileList();
    if (!listing) return;
    if (mode == ListMode::FULL)
        AppendFull(*out);
    else
        AppendShort(*out);
    RefillFileList();
    AppendSummary(*out);
}

void CpmDirectory::RefillFileList() {
    m_fileList = m_scan.listedNames;
    if (m_fileListChanged) m_fileListChanged();
}

bool CpmDirectory::FileExists(const std::string& cpmName) {
    ScanDirectory(UserPart(cpmName), NamePart(cpmName), TypePart(cpmName), ListMode::BLOCKLIST,
                  true);
    return m_scan.FilesListed() > 0;
}

FileLayout LayoutOf(std::vector<DirEntry> entries, const DiskFormat& f) {
    std::stable_sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        return a.ExtentNumber() < b.ExtentNumber();
    });
    FileLayout layout;
    for (const DirEntry& e : entries) {
        for (int i = 0; i < f.PointersPerEntry; ++i) {
            const int b = BlockPointer(e, i, f.EightBitBlocks);
            // No file is larger than the disk, whatever a damaged directory repeats.
            if (b >= 1 && b <= f.DSM && std::ssize(layout.blocks) < f.Blocks())
                layout.blocks.push_back(b);
        }
    }
    if (entries.empty()) return layout;
    const DirEntry& last = entries.back();
    // RC 0 gives no records; the sign of (RC - 1) is kept as the remainder's.
    const int records = ((last.RC() - 1) % f.RecordsPerBlock()) + 1;
    layout.lastBlockBytes = static_cast<std::int64_t>(records) * RecordSize;
    if (records > 0 && last.S1() >= 1 && last.S1() < RecordSize)
        layout.lastBlockBytes -= RecordSize - last.S1();
    return layout;
}
