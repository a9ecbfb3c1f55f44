#include "CpmDamage.h"

#include "CpmImage.h"

#include "CpmDirectory.h"
#include "DiskContainer.h"
#include "EventHook.h"

#include <cctype>
#include <map>

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string FileName(const DirEntry& entry) {
    const std::string type = Trimmed(entry.TypeChars());
    return std::to_string(entry.Status()) + ":" + Trimmed(entry.NameChars()) +
           (type.empty() ? "" : "." + type);
}

} // namespace

std::string DamageMapName(const std::string& name) {
    const std::size_t colon = name.find(':');
    if (colon == std::string::npos) return "0:" + name;
    std::size_t user = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return name;
        user = user * 10 + static_cast<std::size_t>(name[i] - '0');
        if (user > 31) return name;
    }
    return std::to_string(user) + name.substr(colon);
}

std::vector<MappedItem> MapCpmImage(DiskBytes& image, const DiskFormat& format, EventHook& hook) {
    std::vector<MappedItem> items;
    for (const FileRange& range : format.Parameters().SystemRanges(0, format.DataAreaOffset))
        AddStructure(items, "system area", range.position, range.length);

    // Entries of one file, in directory order, and the directory records that hold them.
    struct Entries {
        std::vector<DirEntry> entries;
        std::vector<std::int64_t> positions;
    };
    std::map<std::string, Entries> files;
    std::vector<std::string> order;
    for (int n = 0; n < format.DirectoryEntries(); ++n) {
        const std::int64_t position = format.FilePosition(std::int64_t{n} * EntrySize);
        AddStructure(items, "directory", position, EntrySize);
        DirEntry entry;
        if (!image.Read(position, entry.bytes) || !entry.IsFile()) continue;
        const std::string name = FileName(entry);
        auto [it, added] = files.try_emplace(name);
        if (added) order.push_back(name);
        it->second.entries.push_back(entry);
        it->second.positions.push_back(position);
    }

    const std::int64_t blockSize = format.BlockSize;
    for (const std::string& name : order) {
        hook.ProcessEvents();
        if (hook.Aborted()) break;
        const Entries& file = files[name];
        const FileLayout layout = LayoutOf(file.entries, format);
        MappedItem item;
        item.name = name;
        item.size = layout.Size(format.BlockSize);
        for (const std::int64_t position : file.positions)
            item.runs.push_back({position, EntrySize, 0, item.size, true});
        for (std::size_t k = 0; k < layout.blocks.size(); ++k) {
            const std::int64_t bytes = layout.BlockBytes(k, format.BlockSize);
            for (std::int64_t r = 0; r * RecordSize < bytes; ++r) {
                const std::int64_t offset =
                    std::int64_t{layout.blocks[k]} * blockSize + r * RecordSize;
                item.AddData(static_cast<std::int64_t>(k) * blockSize + r * RecordSize,
                             format.FilePosition(offset),
                             std::min<std::int64_t>(RecordSize, bytes - r * RecordSize));
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

DamageScan ScanQuarryDamage(const std::string& path, const std::string& formatName,
                            EventHook& hook) {
    DamageScan scan;
    const std::unique_ptr<DiskContainer> container = OpenForDamageScan(path, hook, scan);
    if (!container) return scan;
    DiskBytes& image = container->Flat();
    scan.damage = image.Damage();
    if (scan.damage.empty()) return scan;
    std::optional<int> row;
    if (!formatName.empty()) {
        row = FindFormat(formatName);
    } else {
        // The format Quarry itself would open the image as: by size, then by the directory
        // that reads as CP/M's.
        NotePrompts quiet;
        CpmImage opened(quiet);
        opened.SetName(path);
        opened.SetReadOnlyRequested(true);
        const CpmImage::Detection found = opened.DetectDiskFormat(false);
        if (found == CpmImage::Detection::Known || found == CpmImage::Detection::Ambiguous)
            row = opened.Format().Index();
        if (found == CpmImage::Detection::Ambiguous)
            scan.notes.push_back("The image fits several formats: its files are mapped as " +
                                 opened.Format().Name() + ", give --format to choose another.");
    }
    if (row) {
        DiskFormat format;
        format.SetFormat(*row);
        scan.items = MapCpmImage(image, format, hook);
    } else {
        scan.notes.push_back("The image's size (" + std::to_string(image.Size()) +
                             " bytes) is that of no CP/M format: give --format to map its files.");
    }
    return scan;
}

bool ShowQuarryDamage(const std::string& path, const std::string& formatName, DisplaySink& sink,
                      Prompts& prompts, EventHook& hook) {
    return ShowDamageScan(ScanQuarryDamage(path, formatName, hook), sink, prompts);
}
