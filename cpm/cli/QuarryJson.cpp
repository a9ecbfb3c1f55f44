#include "QuarryJson.h"

#include "ErasedFiles.h"

#include <algorithm>

namespace {

Json FormatJson(const DiskFormat& f) {
    return {{"name", f.Name()},
            {"key", f.Key()},
            {"blockSize", f.BlockSize},
            {"blocks", f.Blocks()},
            {"directoryEntries", f.DirectoryEntries()}};
}

// The name and type bytes as stored (bit 7 of each is an attribute, kept here).
Json StoredName(const DirEntry& e) {
    const auto* bytes = reinterpret_cast<const char*>(e.bytes.data());
    return {{"name", StoredText(std::string_view(bytes + 1, 8))},
            {"type", StoredText(std::string_view(bytes + 9, 3))}};
}

// "PIP.COM": the name and type without their padding blanks, as a saved file is named.
std::string ShownName(const DirEntry& e) {
    const auto trim = [](std::string s) {
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    };
    const std::string type = trim(e.TypeChars());
    return trim(e.NameChars()) + (type.empty() ? "" : "." + type);
}

// Size in bytes (exact where the last record's byte count is kept), 128-byte records and blocks.
void AddLayout(Json& file, const FileLayout& layout, const DiskFormat& f) {
    const std::int64_t size = layout.Size(f.BlockSize);
    file["size"] = size;
    file["records"] = (size + RecordSize - 1) / RecordSize;
    file["blocks"] = layout.blocks;
}

} // namespace

Json QuarryDirJson(const CpmDirectory& directory, const DiskFormat& f, const std::string& image,
                   bool sorted) {
    const DirectoryScan& scan = directory.Scan();
    std::vector<std::string> names = scan.allNames;
    if (sorted) std::stable_sort(names.begin(), names.end());
    Json files = Json::array();
    for (const std::string& name : names) {
        std::vector<DirEntry> entries;
        std::vector<int> numbers;
        for (std::size_t i = 0; i < scan.raw.size(); ++i)
            if (scan.raw[i].IsFile() && scan.raw[i].TextName() == name) {
                entries.push_back(scan.raw[i]);
                numbers.push_back(static_cast<int>(i));
            }
        if (entries.empty()) continue;
        const DirEntry& first = entries.front();
        // Bit 7 of the first, second and third type byte: read only, system, archived.
        const auto attribute = [&first](int k) { return (first.bytes[9 + k] & 0x80) != 0; };
        Json file = {{"user", first.Status()},
                     {"listed", name},
                     {"name", ShownName(first)},
                     {"stored", StoredName(first)}};
        AddLayout(file, LayoutOf(entries, f), f);
        file["extents"] = entries.size();
        file["entries"] = numbers;
        file["readOnly"] = attribute(0);
        file["system"] = attribute(1);
        file["archived"] = attribute(2);
        files.push_back(std::move(file));
    }
    Json doc;
    doc["image"] = StoredText(image);
    doc["format"] = FormatJson(f);
    doc["files"] = std::move(files);
    doc["summary"] = {{"totalFiles", scan.TotalFiles()},
                      {"entriesUsed", scan.entriesUsed},
                      {"entriesAvailable", directory.FreeEntryCount()},
                      {"labelEntries", scan.labelEntries},
                      {"passwordEntries", scan.passwordEntries},
                      {"timeStampEntries", scan.timeStampEntries},
                      {"blocksUsed", directory.CountUsedBlocks()},
                      {"blocksAvailable", directory.CountFreeBlocks()}};
    return doc;
}

Json QuarryErasedJson(const std::vector<DirEntry>& directory, const DiskFormat& f,
                      const std::string& image) {
    Json files = Json::array();
    for (const ErasedFile& file : GatherErasedFiles(directory, f)) {
        const DirEntry& first = file.extents.front();
        Json e = {{"listed", file.name}, {"name", ShownName(first)}, {"stored", StoredName(first)}};
        AddLayout(e, file.Layout(f), f);
        e["extents"] = file.entries.size();
        e["entries"] = file.entries;
        // The same order of reasons as the listing: a file not whole is never undeleted.
        Json held = Json::array();
        for (const auto& [block, owner] : HeldBlocks(file, directory, f))
            held.push_back({{"block", block}, {"file", owner}});
        e["state"] = !file.Whole()  ? "not whole"
                     : held.empty() ? "can be undeleted"
                                    : "blocks held";
        e["problem"] = file.Whole() ? Json() : Json(file.problem);
        e["heldBy"] = std::move(held);
        files.push_back(std::move(e));
    }
    Json doc;
    doc["image"] = StoredText(image);
    doc["format"] = FormatJson(f);
    doc["erased"] = std::move(files);
    return doc;
}
