#include "CpmProbe.h"

#include "DirEntry.h"
#include "DiskFormat.h"

namespace {

enum class Entry { Empty, Good, Foreign, Bad };

// Real disks carry entries of other systems beside CP/M's (a 0x81 label of another DOS, status
// 0xC0 entries of MOS-80): those are foreign, not a reason to doubt the directory. A file entry
// with unprintable name bytes or a block beyond the disk is no CP/M entry at all.
Entry Classify(const DirEntry& entry, const DiskFormat& format) {
    const int status = entry.Status();
    if (status == EmptyStatus) return Entry::Empty;
    if (status > TimeStampStatus) return Entry::Foreign;
    if (status == TimeStampStatus) return Entry::Good;
    for (int i = 1; i <= 11; ++i) {
        const int c = entry.bytes[static_cast<std::size_t>(i)] & 0x7F;
        if (c < 0x20 || c == 0x7F) return Entry::Bad;
    }
    if (status == LabelStatus) return Entry::Good;
    for (int i = 0; i < format.PointersPerEntry; ++i) {
        const std::size_t at = 16 + static_cast<std::size_t>(format.EightBitBlocks ? i : 2 * i);
        const int block =
            format.EightBitBlocks ? entry.bytes[at] : entry.bytes[at] | entry.bytes[at + 1] << 8;
        if (block > format.DSM) return Entry::Bad;
    }
    return Entry::Good;
}

// The directory as format reads it, if it reads as CP/M's.
std::optional<ProbeFinding> ProbeAs(DiskSample& disk, const DiskFormat& format) {
    int unreadable = 0;
    int good = 0;
    int foreign = 0;
    for (int i = 0; i < format.DirectoryEntries(); ++i) {
        DirEntry entry;
        if (!disk.readFlat(format.FilePosition(std::int64_t{i} * EntrySize), entry.bytes)) {
            ++unreadable;
            continue;
        }
        switch (Classify(entry, format)) {
        case Entry::Bad:
            return std::nullopt;
        case Entry::Good:
            ++good;
            break;
        case Entry::Foreign:
            ++foreign;
            break;
        case Entry::Empty:
            break;
        }
    }
    // A directory of foreign entries only is another system's.
    if (unreadable == format.DirectoryEntries() || (foreign > 0 && good == 0)) return std::nullopt;
    ProbeFinding found{"CP/M", format.Name(), "Quarry", "", 0};
    if (unreadable > 0)
        found.damage = std::to_string(unreadable) + " directory entries not readable";
    return found;
}

} // namespace

// Every format of the image's size is tried in the catalog's order (Quarry's own ten first);
// the first whose directory reads as CP/M's names the image.
std::optional<ProbeFinding> ProbeCpm(DiskSample& disk) {
    for (int index : FormatCatalog::Current().WithImageSize(disk.flatSize)) {
        DiskFormat format;
        format.SetFormat(index);
        if (std::optional<ProbeFinding> found = ProbeAs(disk, format)) return found;
    }
    return std::nullopt;
}
