// Which files a damaged sector hits. Each file system lays its files out on the disk in its own
// way; what it hands over here is the same for all of them: per file (and per structure of the
// file system itself: directory, FAT, super block ...) the runs of bytes of a view of the disk
// that hold it. Intersecting those runs with the damage list of the same view gives the bytes of
// each file that were lost, and one report shows them alike in the four programs.
#pragma once

#include "DiskBytes.h"
#include "DiskContainer.h"
#include "EventHook.h"
#include "Prompts.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class DisplaySink;

// Bytes [viewStart, viewStart + viewLength) of the view hold what the item keeps at
// [fileOffset, fileOffset + fileLength). For data the two lengths are equal and a damaged byte
// loses the byte at the same distance. A run that maps (an indirect block, a file access block)
// holds the addresses of the range: any damaged byte of it loses the whole range.
struct MappedRun {
    std::int64_t viewStart = 0;
    std::int64_t viewLength = 0;
    std::int64_t fileOffset = 0;
    std::int64_t fileLength = 0;
    bool maps = false;
};

struct MappedItem {
    std::string name;       // the full path of a file, or what a structure is ("FAT")
    std::int64_t size = 0;  // bytes of the file (of the structure)
    bool structure = false; // part of the file system itself, not a file
    std::vector<MappedRun> runs;

    // A run of data bytes: the next length bytes of the item lie at viewStart.
    void AddData(std::int64_t fileOffset, std::int64_t viewStart, std::int64_t length);
};

// A range of bytes [start, start + length).
struct ByteRange {
    std::int64_t start = 0;
    std::int64_t length = 0;
    bool operator==(const ByteRange&) const = default;
};

// Sorts ranges and joins those that overlap or touch; empty ranges are dropped.
std::vector<ByteRange> MergeRanges(std::vector<ByteRange> ranges);

// The bytes of item that the damaged ranges hit, merged, limited to the item's size.
std::vector<ByteRange> LostBytes(const MappedItem& item, const std::vector<DamagedRange>& damage);

// "0-511, 1024-2047" (inclusive byte numbers).
std::string RangesText(const std::vector<ByteRange>& ranges);

// An item that damage hits and the bytes of it that were lost.
struct ItemDamage {
    std::string name;
    std::int64_t size = 0;
    bool structure = false;
    std::vector<ByteRange> lost;
    // A damaged map that was read as naming nothing (a FAB read as zeros): the bytes it would
    // have named are unknown from here on; -1 when none.
    std::int64_t unknownFrom = -1;
};

// The items any damaged range hits, in the order given.
std::vector<ItemDamage> DamagedItems(const std::vector<MappedItem>& items,
                                     const std::vector<DamagedRange>& damage);

// The damage report: every damaged sector with its byte range in the view, then the structures
// and the files it hits with the bytes lost ("bytes 512-1023 of 4096"); "No damaged sectors."
// alone for a whole disk. notes (a chain that could not be followed) follow.
void ShowDamageReport(const std::vector<DamagedRange>& damage, const std::vector<MappedItem>& items,
                      const std::vector<std::string>& notes, DisplaySink& sink);

// The messages a walk of the file system would show in boxes, kept as notes of the report
// ("Damaged File: The FAB chain returns to sector 0x12; the file ends there.").
class NotePrompts : public Prompts {
  public:
    Answer MessageBox(const std::string& title, const std::string& text, Buttons) override {
        notes.push_back(title + ": " + text);
        return Answer::Ok;
    }
    std::optional<std::string> InputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    FileDialogResult FileDialog(const FileDialogRequest&) override { return {}; }
    DirectoryPickResult PickDirectory(const std::string&, const std::string&) override {
        return {"", true};
    }
    std::vector<std::string> notes;
};

// A structure item, or the runs added to the one of that name already there.
MappedItem& StructureItem(std::vector<MappedItem>& items, const std::string& name);
// Adds length bytes at viewStart to the structure of that name, after the bytes it has.
void AddStructure(std::vector<MappedItem>& items, const std::string& name, std::int64_t viewStart,
                  std::int64_t length);

class DiskContainer;
class SectorSource;
// The damage of the container's logical view (256-byte sectors). Damaged sectors that no logical
// sector reads (sectors of 512 bytes and more) are named in notes, so that a report never calls
// a damaged disk whole.
std::vector<DamagedRange> LogicalViewDamage(DiskContainer& disk, std::vector<std::string>& notes);

// What a program found on one image: the damage of the view it reads and the map of its files.
struct DamageScan {
    std::string error; // why the image could not be read; empty when it was
    std::vector<DamagedRange> damage;
    std::vector<MappedItem> items;
    std::vector<std::string> notes;
};

// The start of every program's scan: clears a stop left by an earlier walk and opens path
// read-only as the container its content shows; nullptr, with scan.error set, when it cannot.
std::unique_ptr<DiskContainer> OpenForDamageScan(const std::string& path, EventHook& hook,
                                                 DamageScan& scan);

// The scan of a volume read through the container's 256-byte logical sectors (Kestrel's and
// Tamarin's): the damage of that view and, only when there is some, what map finds on the
// sectors, the notes of its walk kept with the scan.
using LogicalMapper = std::function<std::vector<MappedItem>(SectorSource&, Prompts&)>;
DamageScan ScanLogicalViewDamage(const std::string& path, EventHook& hook,
                                 const LogicalMapper& map);

// The report of a scan, or its error through prompts ("Image damage: ..."); false then.
bool ShowDamageScan(const DamageScan& scan, DisplaySink& sink, Prompts& prompts);

// What a save says of the file name (compared without regard to case when asked) that damage
// hits: "NAME: saved with damaged bytes 512-1023 of 4096"; empty when nothing of it was lost.
std::string SavedDamageText(const DamageScan& scan, const std::string& name, bool ignoreCase);
