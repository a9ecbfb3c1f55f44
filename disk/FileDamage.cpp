#include "FileDamage.h"

#include "DiskContainer.h"
#include "DisplaySink.h"

#include <algorithm>

void MappedItem::AddData(std::int64_t fileOffset, std::int64_t viewStart, std::int64_t length) {
    if (length <= 0) return;
    // A file laid out in consecutive bytes of the view is one run, however many blocks it has.
    if (!runs.empty()) {
        MappedRun& last = runs.back();
        if (!last.maps && last.fileOffset + last.fileLength == fileOffset &&
            last.viewStart + last.viewLength == viewStart) {
            last.viewLength += length;
            last.fileLength += length;
            return;
        }
    }
    runs.push_back({viewStart, length, fileOffset, length, false});
}

MappedItem& StructureItem(std::vector<MappedItem>& items, const std::string& name) {
    for (MappedItem& item : items)
        if (item.structure && item.name == name) return item;
    MappedItem item;
    item.name = name;
    item.structure = true;
    items.push_back(std::move(item));
    return items.back();
}

void AddStructure(std::vector<MappedItem>& items, const std::string& name, std::int64_t viewStart,
                  std::int64_t length) {
    if (length <= 0) return;
    MappedItem& item = StructureItem(items, name);
    item.AddData(item.size, viewStart, length);
    item.size += length;
}

std::vector<ByteRange> MergeRanges(std::vector<ByteRange> ranges) {
    std::erase_if(ranges, [](const ByteRange& r) { return r.length <= 0; });
    std::sort(ranges.begin(), ranges.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.start < b.start; });
    std::vector<ByteRange> merged;
    for (const ByteRange& r : ranges) {
        if (!merged.empty() && r.start <= merged.back().start + merged.back().length) {
            ByteRange& last = merged.back();
            last.length = std::max(last.start + last.length, r.start + r.length) - last.start;
        } else {
            merged.push_back(r);
        }
    }
    return merged;
}

std::vector<ByteRange> LostBytes(const MappedItem& item, const std::vector<DamagedRange>& damage) {
    std::vector<ByteRange> lost;
    for (const MappedRun& run : item.runs) {
        for (const DamagedRange& d : damage) {
            const std::int64_t from = std::max(run.viewStart, d.start);
            const std::int64_t to = std::min(run.viewStart + run.viewLength, d.start + d.length);
            if (from >= to) continue;
            if (run.maps) {
                lost.push_back({run.fileOffset, run.fileLength});
            } else {
                const std::int64_t end = std::min(to - run.viewStart, run.fileLength);
                const std::int64_t begin = from - run.viewStart;
                if (begin < end) lost.push_back({run.fileOffset + begin, end - begin});
            }
        }
    }
    // Nothing past the end of the item is lost, whatever a damaged map claims.
    for (ByteRange& r : lost) {
        const std::int64_t end = std::min(r.start + r.length, item.size);
        r.start = std::max<std::int64_t>(r.start, 0);
        r.length = end - r.start;
    }
    return MergeRanges(std::move(lost));
}

std::string RangesText(const std::vector<ByteRange>& ranges) {
    std::string text;
    for (const ByteRange& r : ranges) {
        if (!text.empty()) text += ", ";
        text += std::to_string(r.start) + "-" + std::to_string(r.start + r.length - 1);
    }
    return text;
}

std::vector<ItemDamage> DamagedItems(const std::vector<MappedItem>& items,
                                     const std::vector<DamagedRange>& damage) {
    std::vector<ItemDamage> hit;
    for (const MappedItem& item : items) {
        std::int64_t unknownFrom = -1;
        for (const MappedRun& run : item.runs) {
            if (!run.maps || run.fileLength != 0) continue;
            for (const DamagedRange& d : damage)
                if (std::max(run.viewStart, d.start) <
                        std::min(run.viewStart + run.viewLength, d.start + d.length) &&
                    (unknownFrom < 0 || run.fileOffset < unknownFrom))
                    unknownFrom = run.fileOffset;
        }
        std::vector<ByteRange> lost = LostBytes(item, damage);
        if (!lost.empty() || unknownFrom >= 0)
            hit.push_back({item.name, item.size, item.structure, std::move(lost), unknownFrom});
    }
    return hit;
}

namespace {

void AppendItems(const std::vector<ItemDamage>& hit, bool structures, const char* title,
                 std::string& text) {
    const auto count = std::count_if(hit.begin(), hit.end(), [structures](const ItemDamage& h) {
        return h.structure == structures;
    });
    text += std::string(title) + ": " + std::to_string(count) + CRLF;
    for (const ItemDamage& h : hit) {
        if (h.structure != structures) continue;
        text += "  " + h.name + ":";
        if (!h.lost.empty())
            text += " bytes " + RangesText(h.lost) + " of " + std::to_string(h.size) +
                    (h.unknownFrom >= 0 ? ";" : "");
        if (h.unknownFrom >= 0)
            text += " bytes from " + std::to_string(h.unknownFrom) +
                    " on are unknown (their map is damaged)";
        text += CRLF;
    }
}

} // namespace

void ShowDamageReport(const std::vector<DamagedRange>& damage, const std::vector<MappedItem>& items,
                      const std::vector<std::string>& notes, DisplaySink& sink) {
    if (damage.empty() && notes.empty()) {
        sink.Append(std::string("No damaged sectors.") + CRLF);
        return;
    }
    std::string text = "Damaged sectors: " + std::to_string(damage.size()) + CRLF;
    for (const DamagedRange& d : damage) {
        text += "  cylinder " + std::to_string(d.cylinder) + ", head " + std::to_string(d.head) +
                ", sector " + std::to_string(d.sector) + ": " + StatusText(d.status) +
                ", disk bytes " + RangesText({{d.start, d.length}}) + CRLF;
    }
    const std::vector<ItemDamage> hit = DamagedItems(items, damage);
    AppendItems(hit, true, "Structures hit", text);
    AppendItems(hit, false, "Files hit", text);
    for (const std::string& note : notes)
        text += note + CRLF;
    sink.Append(text);
}

std::vector<DamagedRange> LogicalViewDamage(DiskContainer& disk, std::vector<std::string>& notes) {
    std::vector<DamagedRange> logical = disk.LogicalDamage();
    std::vector<DamagedRange> unread;
    for (const DamagedRange& d : disk.Flat().Damage()) {
        const bool read = std::any_of(logical.begin(), logical.end(), [&d](const DamagedRange& l) {
            return l.cylinder == d.cylinder && l.head == d.head && l.sector == d.sector;
        });
        if (!read) unread.push_back(d);
    }
    if (!unread.empty()) {
        notes.push_back("Damaged sectors that no logical sector reads: " +
                        std::to_string(unread.size()));
        for (const DamagedRange& d : unread)
            notes.push_back("  cylinder " + std::to_string(d.cylinder) + ", head " +
                            std::to_string(d.head) + ", sector " + std::to_string(d.sector) + ": " +
                            StatusText(d.status));
    }
    return logical;
}

std::unique_ptr<DiskContainer> OpenForDamageScan(const std::string& path, EventHook& hook,
                                                 DamageScan& scan) {
    hook.SetAbort(false); // a walk of its own, whatever stopped the one before
    OpenedContainer opened = OpenContainer(path);
    if (!opened.container) scan.error = path + ": " + opened.error;
    return std::move(opened.container);
}

DamageScan ScanLogicalViewDamage(const std::string& path, EventHook& hook,
                                 const LogicalMapper& map) {
    DamageScan scan;
    const std::unique_ptr<DiskContainer> container = OpenForDamageScan(path, hook, scan);
    if (!container) return scan;
    NotePrompts notes;
    scan.damage = LogicalViewDamage(*container, notes.notes);
    if (!scan.damage.empty()) scan.items = map(container->Logical(), notes);
    scan.notes = std::move(notes.notes);
    return scan;
}

bool ShowDamageScan(const DamageScan& scan, DisplaySink& sink, Prompts& prompts) {
    if (!scan.error.empty()) {
        prompts.MessageBox("Image damage", scan.error);
        return false;
    }
    ShowDamageReport(scan.damage, scan.items, scan.notes, sink);
    return true;
}

namespace {

std::string Folded(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::string SavedDamageText(const DamageScan& scan, const std::string& name, bool ignoreCase) {
    for (const ItemDamage& hit : DamagedItems(scan.items, scan.damage)) {
        if (hit.structure || (ignoreCase ? Folded(hit.name) != Folded(name) : hit.name != name))
            continue;
        std::string text = hit.name + ": saved with damaged bytes";
        if (!hit.lost.empty())
            text += " " + RangesText(hit.lost) + " of " + std::to_string(hit.size);
        if (hit.unknownFrom >= 0)
            text += (hit.lost.empty() ? " from " : ", and from ") +
                    std::to_string(hit.unknownFrom) + " on unknown";
        return text;
    }
    return "";
}
