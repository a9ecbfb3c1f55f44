#include "VersaDOSFile.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "Prompts.h"
#include "SectorSource.h"
#include "modUtility.h"

#include <set>

RecordOptions DefaultRecordOptions(const DirEntry& e) {
    RecordOptions o;
    if (e.recordLength != 0) return o;
    if (e.fileType == 1 || (e.fileType == 3 && e.keyLength == 0)) {
        o.crlf = true;
        o.expandSpaces = true;
    } else if (e.fileType == 2 || e.fileType == 3) {
        o.lengthPrefix = true;
    }
    return o;
}

bool VersaDOSFile::ReadBlocks(std::int32_t sector, int count) {
    m_block.assign(static_cast<std::size_t>(std::max(count, 0)) * 256, 0);
    if (count <= 0) return true;
    return m_disk.ReadSectors(sector, count, m_block);
}

bool VersaDOSFile::ReadFAB(std::int32_t sector, int fabLength) {
    m_fab.assign(static_cast<std::size_t>(std::max(fabLength, 0)) * 256, 0);
    if (fabLength <= 0 || !m_disk.ReadSectors(sector, fabLength, m_fab)) return false;
    if (m_fabs.size() >= kMaxFABs) return false;

    const ByteSpan fab(m_fab);
    FABRecord row;
    row.sector = sector;
    row.link = GetLong(fab, 0);
    row.backLink = GetLong(fab, 4);
    row.byte8 = GetByte(fab, 8);
    row.byte9 = GetByte(fab, 9);
    row.text = std::string(m_fab.begin() + 6, m_fab.begin() + 14);
    m_fabs.push_back(row);

    // Descriptors follow one another; each must lie whole inside the FAB.
    const std::size_t size = m_fab.size();
    std::size_t d = 10 + static_cast<std::size_t>(row.byte9);
    while (d + 8 <= size && m_segments.size() < kMaxSegments) {
        const std::int32_t dataStart = GetLong(fab, static_cast<int>(d));
        if (dataStart == 0) break;
        FABSegment segment;
        segment.fabSector = sector;
        segment.dataStart = dataStart;
        segment.records = GetWord(fab, static_cast<int>(d + 4));
        segment.sectors = GetByte(fab, static_cast<int>(d + 6));
        segment.keyLength = GetByte(fab, static_cast<int>(d + 7));
        if (d + 8 + static_cast<std::size_t>(segment.keyLength) > size) break;
        for (int k = 0; k < segment.keyLength; ++k)
            segment.keyText += std::to_string(m_fab[d + 8 + static_cast<std::size_t>(k)]);
        m_segments.push_back(segment);
        d += 8 + static_cast<std::size_t>(segment.keyLength);
        if (d >= size - 4) break;
    }
    return true;
}

bool VersaDOSFile::ReadFABChain(std::int32_t firstSector, int fabLength) {
    m_fabs.clear();
    m_segments.clear();
    if (firstSector == 0) return false;
    std::set<std::int32_t> visited;
    std::int32_t sector = firstSector;
    bool result = false;
    while (sector != 0) {
        if (!visited.insert(sector).second) {
            m_prompts.MessageBox("Damaged File", "The FAB chain returns to sector 0x" +
                                                     Hex8(sector) + "; the file ends there.");
            break;
        }
        if (m_fabs.size() >= kMaxFABs) {
            m_prompts.MessageBox("Damaged File", "The FAB chain is longer than " +
                                                     std::to_string(kMaxFABs) +
                                                     " blocks; the file ends there.");
            break;
        }
        // A FAB that cannot be read ends the chain: its link is unknown.
        result = ReadFAB(sector, fabLength);
        if (!result) break;
        sector = m_fabs.back().link;
    }
    return result;
}

std::int32_t VersaDOSFile::ContiguousLast(const DirEntry& entry) const {
    const std::int64_t start = entry.fileStart;
    std::int64_t last = start + entry.fileEnd;
    if (m_volumeSectors > 0) {
        const std::int64_t volumeLast = static_cast<std::int64_t>(m_volumeSectors) - 1;
        if (entry.fileEnd < 0 || last > volumeLast) last = volumeLast;
    } else if (entry.fileEnd < 0) {
        last = start;
    }
    return static_cast<std::int32_t>(std::max<std::int64_t>(last - start, -1));
}

bool VersaDOSFile::WalkData(
    const DirEntry& entry,
    const std::function<bool(std::int32_t, std::span<const std::uint8_t>)>& onSector,
    const std::function<bool(const FABSegment&, std::span<const std::uint8_t>)>& onBlock) {
    if (entry.fileType == 0) {
        const std::int32_t last = ContiguousLast(entry);
        for (std::int32_t s = 0; s <= last; ++s) {
            m_hook.ProcessEvents();
            if (m_hook.Aborted()) return false;
            const std::int32_t sector = SectorAfter(entry.fileStart, s);
            if (sector < 0 || !ReadBlocks(sector, 1)) return false;
            if (!onSector(s, m_block)) return false;
        }
        return true;
    }
    // Every data block belongs to one segment of the file. A FAB that lists sectors twice is
    // damaged: the walk ends there, so that a small image cannot show a file larger than the disk.
    std::set<std::int64_t> walked;
    const std::int64_t length = std::max(entry.dbLength, 1);
    for (const FABSegment& segment : m_segments) {
        m_hook.ProcessEvents();
        if (m_hook.Aborted()) return false;
        const std::int64_t start = segment.dataStart;
        const auto near = walked.lower_bound(start - length + 1);
        if (near != walked.end() && *near < start + length) {
            m_prompts.MessageBox("Damaged File", "Data block 0x" + Hex8(segment.dataStart) +
                                                     " holds sectors of another data block of "
                                                     "the file; the file ends there.");
            return false;
        }
        walked.insert(start);
        if (!ReadBlocks(segment.dataStart, entry.dbLength)) return false;
        if (!onBlock(segment, m_block)) return false;
    }
    return true;
}

void VersaDOSFile::ForEachRecord(
    const DirEntry& entry, const FABSegment& segment, std::span<const std::uint8_t> block,
    const std::function<void(std::span<const std::uint8_t>)>& onRecord) {
    const std::size_t size = block.size();
    if (entry.recordLength != 0) {
        const std::size_t length = static_cast<std::size_t>(entry.recordLength);
        for (std::size_t r = 0; r < static_cast<std::size_t>(segment.records); ++r) {
            if ((r + 1) * length > size) return;
            onRecord(block.subspan(r * length, length));
        }
        return;
    }
    std::size_t p = 0;
    for (std::int32_t r = 0; r < segment.records; ++r) {
        if (p + 2 > size) return;
        const std::size_t length = static_cast<std::size_t>(block[p]) * 256 + block[p + 1];
        if (p + 2 + length > size) return;
        onRecord(block.subspan(p + 2, length));
        p += 2 + length + (length % 2);
    }
}

void VersaDOSFile::DirectoryView(DisplaySink& sink, const std::string& volumeName,
                                 const std::string& catalogItem, const DirEntry& e) const {
    std::string t =
        Trim(volumeName) + catalogItem + Trim(e.fileName) + "." + Trim(e.extension) + CRLF;
    t += "                  Sec LOG  Rec LOG           REC KEY FAB DB   Date     Date";
    t += CRLF;
    t += "  Start      End      EOF      EOF  WC RC FT LEN LEN LEN LEN  Changed  Access";
    t += CRLF;
    t += Hex8(e.fileStart) + " " + Hex8(e.fileEnd) + " " + Hex8(e.sectorEOF) + " " +
         Hex8(e.recordEOF) + " " + ZeroPad(e.writeCode, 2) + " " + ZeroPad(e.readCode, 2) + " " +
         FileTypeName(e.fileType) + " " + Hex4(e.recordLength) + " " + Hex2(e.keyLength) + "  " +
         Hex2(e.fabLength) + "  " + Hex2(e.dbLength) + "  " + VersaDOSDate(e.dateChanged) + " " +
         VersaDOSDate(e.dateAccessed) + CRLF + CRLF;
    if (e.fileType == 0) {
        t += "          FILE START     FILE END" + std::string(CRLF);
        t += std::string(11, ' ') + Hex8(e.fileStart) + std::string(6, ' ') + Hex8(e.fileEnd);
    } else if (e.fileType >= 1 && e.fileType <= 3) {
        std::int32_t printed = m_fabs.empty() ? 0 : m_fabs.front().sector;
        t += "FAB PSN    " + Hex8(printed) +
             "             DATA START     #REC    #SECT        DATA START     #REC    #SECT  ";
        for (std::size_t s = 0; s < m_segments.size(); ++s) {
            const FABSegment& row = m_segments[s];
            if (row.fabSector != printed) {
                printed = row.fabSector;
                t += CRLF + Hex8(printed);
            }
            if (s % 2 == 0) t += CRLF + std::string(14, ' ');
            t += Hex8(row.dataStart) + std::string(6, ' ') + Hex4(row.records) +
                 std::string(5, ' ') + Hex2(row.sectors);
            if (s % 2 == 0) t += std::string(11, ' ');
        }
    }
    sink.Clear();
    sink.Append(t);
}

void VersaDOSFile::DumpView(DisplaySink& sink, const DirEntry& entry) {
    sink.Clear();
    m_hook.SetAbort(false);
    PieceSink pieces(sink);
    std::string text;
    WalkData(
        entry,
        [&](std::int32_t s, std::span<const std::uint8_t> sector) {
            text.clear();
            AppendDumpLines(text, sector, [s](std::string& out, std::size_t i) {
                AppendHex(out, s, 8);
                out += ':';
                AppendHex(out, static_cast<std::int64_t>(i), 2);
                out += "  ";
            });
            pieces.Append(text);
            return true;
        },
        [&](const FABSegment& segment, std::span<const std::uint8_t> block) {
            text.clear();
            AppendDumpLines(text, block, [&segment](std::string& out, std::size_t i) {
                AppendHex(out, segment.dataStart, 8);
                out += ':';
                AppendHex(out, static_cast<std::int64_t>(i), 4);
                out += "  ";
            });
            pieces.Append(text);
            return true;
        });
}

void VersaDOSFile::DisplayView(DisplaySink& sink, const DirEntry& entry, bool expandSpaces,
                               bool addCRLF) {
    sink.Clear();
    m_hook.SetAbort(false);
    PieceSink pieces(sink);
    WalkData(
        entry,
        [&](std::int32_t, std::span<const std::uint8_t> sector) {
            std::string text;
            for (std::uint8_t b : sector)
                AppendCharName(text, b, expandSpaces);
            pieces.Append(text);
            return true;
        },
        [&](const FABSegment& segment, std::span<const std::uint8_t> block) {
            std::string text;
            ForEachRecord(entry, segment, block, [&](std::span<const std::uint8_t> record) {
                const bool variable = entry.recordLength == 0;
                for (std::size_t i = 0; i < record.size(); ++i) {
                    // Key bytes of indexed files are never expanded.
                    const bool expand =
                        variable && expandSpaces &&
                        (entry.fileType == 1 || i >= static_cast<std::size_t>(entry.keyLength));
                    AppendCharName(text, record[i], expand);
                }
                if (addCRLF) text += CRLF;
            });
            pieces.Append(text);
            return true;
        });
}
