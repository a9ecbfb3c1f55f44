// The SHORT and FULL directory listings of the display pane and their summary.
#include "CpmDirectory.h"

#include "DisplaySink.h"
#include "modUtility.h"

#include <algorithm>

namespace {

// Sort key of an entry: status as three digits, ":", name, ".", type.
std::string SortKey(const DirEntry& e) {
    std::string status = std::to_string(e.Status());
    status.insert(0, 3 - status.size(), '0');
    return status + ":" + e.NameChars() + "." + e.TypeChars();
}

} // namespace

void CpmDirectory::AppendFull() {
    const DiskFormat& f = m_image.Format();
    std::vector<DirEntry> entries = m_scan.raw;
    if (m_sorted) {
        // Equal keys keep their directory order: the entries of one file stay in disk order.
        std::vector<std::pair<std::string, std::size_t>> keys;
        for (std::size_t i = 0; i < entries.size(); ++i)
            keys.emplace_back(SortKey(entries[i]), i);
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<DirEntry> sorted;
        for (const auto& k : keys)
            sorted.push_back(entries[k.second]);
        entries = std::move(sorted);
    }
    std::string text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
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
    }
    m_out.Append(text);
}

void CpmDirectory::AppendShort() {
    if (m_sorted) std::stable_sort(m_scan.listedNames.begin(), m_scan.listedNames.end());
    std::string text;
    int column = 0;
    for (const std::string& name : m_scan.listedNames) {
        text += name + "  ";
        if (++column % 4 == 0) text += CRLF;
    }
    m_out.Append(text);
}

void CpmDirectory::AppendSummary() {
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
    m_out.Append(text);
}
