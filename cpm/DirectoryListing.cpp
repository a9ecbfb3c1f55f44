// The SHORT and FULL directory listings of the display pane and their summary.
#include "CpmDirectory.h"

#include "DisplaySink.h"
#include "modUtility.h"

#include <algorithm>
#include <map>

namespace {

// Sort key of an entry: status as three digits, ":", name, ".", type.
std::string SortKey(const DirEntry& e) {
    std::string status = std::to_string(e.Status());
    status.insert(0, 3 - status.size(), '0');
    return status + ":" + e.NameChars() + "." + e.TypeChars();
}

// The size of every file, keyed by the number of the entry that holds its last extent (the
// highest extent number; the last in directory order when several hold it).
std::map<std::size_t, std::int64_t> FileSizes(const std::vector<DirEntry>& raw,
                                              const DiskFormat& f) {
    std::map<std::string, std::vector<std::size_t>> files;
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (raw[i].IsFile()) files[raw[i].TextName()].push_back(i);
    std::map<std::size_t, std::int64_t> sizes;
    for (const auto& [name, numbers] : files) {
        std::vector<DirEntry> entries;
        std::size_t last = numbers.front();
        for (std::size_t n : numbers) {
            entries.push_back(raw[n]);
            if (raw[n].ExtentNumber() >= raw[last].ExtentNumber()) last = n;
        }
        sizes[last] = LayoutOf(entries, f).Size(f.BlockSize);
    }
    return sizes;
}

} // namespace

void CpmDirectory::AppendFull(DisplaySink& out) {
    const DiskFormat& f = m_image.Format();
    const std::vector<DirEntry>& entries = m_scan.raw;
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (m_sorted) {
        // Equal keys keep their directory order: the entries of one file stay in disk order.
        std::vector<std::string> keys;
        for (const DirEntry& e : entries)
            keys.push_back(SortKey(e));
        std::stable_sort(order.begin(), order.end(),
                         [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    }
    const std::map<std::size_t, std::int64_t> sizes = FileSizes(entries, f);
    std::string text;
    for (std::size_t i : order) {
        const DirEntry& e = entries[i];
        if (e.Status() == TimeStampStatus)
            text += "Date/Time";
        else
            text += e.NameChars() + "." + e.TypeChars();
        if (!m_sorted) text += "  Entry Number = " + std::to_string(i);
        text += CRLF;
        for (int k = 0; k < 16; ++k)
            text += " " + Hex2(e.bytes[static_cast<std::size_t>(k)]);
        text += CRLF;
        if (e.Status() > 15 || f.EightBitBlocks) {
            for (int k = 16; k < 32; ++k)
                text += " " + Hex2(e.bytes[static_cast<std::size_t>(k)]);
        } else {
            for (int k = 0; k < 8; ++k)
                text += "  " + Hex4(BlockPointer(e, k, false));
        }
        text += CRLF;
        // The file's exact size follows the entry of its last extent.
        if (const auto size = sizes.find(i); size != sizes.end())
            text += " File Size - " + std::to_string(size->second) + CRLF;
    }
    out.Append(text);
}

void CpmDirectory::AppendShort(DisplaySink& out) {
    if (m_sorted) std::stable_sort(m_scan.listedNames.begin(), m_scan.listedNames.end());
    std::string text;
    int column = 0;
    for (const std::string& name : m_scan.listedNames) {
        text += name + "  ";
        if (++column % 4 == 0) text += CRLF;
    }
    out.Append(text);
}

void CpmDirectory::AppendSummary(DisplaySink& out) {
    const DiskFormat& f = m_image.Format();
    auto line = [](const char* label, long long value) {
        return std::string(label) + std::to_string(value) + CRLF;
    };
    std::string text = CRLF;
    text += line("Files Listed - ", m_scan.FilesListed());
    text += line(" Total Files - ", m_scan.TotalFiles());
    text += line(" Directory Entries Used - ", m_scan.entriesUsed);
    text += line(" Directory Entries Availible - ", FreeEntryCount());
    text += line(" Directory Entries on Disk - ", f.DRM + 1);
    text += line(" Label Entries Used - ", m_scan.labelEntries);
    text += line(" Password Entries Used - ", m_scan.passwordEntries);
    text += line(" Date/Time Entries Used - ", m_scan.timeStampEntries);
    text += line(" Blocks Used - ", CountUsedBlocks());
    text += line(" Blocks Availible - ", CountFreeBlocks());
    text += line(" Blocks on Disk - ", f.DSM + 1);
    text += line(" Block Size - ", f.BlockSize);
    out.Append(text);
}
