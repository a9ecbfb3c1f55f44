#include "FormatDetection.h"

#include "CpmImage.h"
#include "Prompts.h"

#include <algorithm>

namespace {

bool Printable(int c) {
    c &= 0x7F;
    return c >= 0x20 && c < 0x7F;
}

// Whether a file entry's counts and blocks are in range, and it names no more blocks than its
// records fill (a file with holes names fewer); its blocks join claimed and are counted in named.
bool FileEntryFits(const DirEntry& e, const DiskFormat& f, std::vector<bool>& claimed, int& named) {
    if (!PrintableName(e) || e.EX() > 31 || e.S2() > 63 || e.RC() > 128) return false;
    bool fits = true;
    named = 0;
    for (int i = 0; i < f.PointersPerEntry; ++i) {
        const int b = BlockPointer(e, i, f.EightBitBlocks);
        if (b == 0) continue;
        ++named;
        if (b > f.DSM || f.IsDirectoryBlock(b) || claimed[static_cast<std::size_t>(b)])
            fits = false;
        else
            claimed[static_cast<std::size_t>(b)] = true;
    }
    const int records = (e.ExtentNumber() & f.EXM) * 128 + e.RC();
    return fits && named <= (records + f.RecordsPerBlock() - 1) / f.RecordsPerBlock();
}

} // namespace

bool PrintableName(const DirEntry& e) {
    if ((e.bytes[1] & 0x7F) == ' ') return false;
    for (int i = 1; i <= 11; ++i)
        if (!Printable(e.bytes[static_cast<std::size_t>(i)])) return false;
    return true;
}

DirectoryScore ScoreDirectory(const std::vector<DirEntry>& entries, const DiskFormat& f) {
    DirectoryScore score;
    std::vector<bool> claimed(static_cast<std::size_t>(f.Blocks()), false);
    for (const DirEntry& e : entries) {
        const int status = e.Status();
        if (status == EmptyStatus || status == LabelStatus || status == TimeStampStatus) continue;
        if (status < 16) {
            int named = 0;
            if (FileEntryFits(e, f, claimed, named)) {
                ++score.files;
                score.blocks += named;
            } else {
                ++score.violations;
            }
        } else if (status >= 32 || !PrintableName(e)) {
            ++score.violations;
        }
    }
    return score;
}

std::vector<DirEntry> ReadDirectoryAs(CpmImage& image, const DiskFormat& f) {
    std::vector<DirEntry> entries(static_cast<std::size_t>(f.DirectoryEntries()));
    std::array<std::uint8_t, RecordSize> record{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i % (RecordSize / EntrySize) == 0)
            image.ReadAt(f.FilePosition(static_cast<std::int64_t>(i) * EntrySize), record,
                         "Error Getting Directory From Image");
        std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(i % 4 * EntrySize), EntrySize,
                    entries[i].bytes.begin());
    }
    return entries;
}

FormatChoice ChooseFormat(CpmImage& image, std::int64_t size, bool forWriting) {
    const FormatCatalog& catalog = FormatCatalog::Current();
    FormatChoice choice;
    for (int index : catalog.WithImageSize(size)) {
        const bool same =
            std::any_of(choice.candidates.begin(), choice.candidates.end(),
                        [&](int known) { return catalog.At(known).SameLayout(catalog.At(index)); });
        if (!same) choice.candidates.push_back(index);
    }
    if (choice.candidates.size() <= 1) {
        choice.decided = !choice.candidates.empty();
        return choice;
    }
    std::vector<std::pair<int, DirectoryScore>> scored;
    for (int index : choice.candidates) {
        DiskFormat f;
        f.SetFormat(index);
        scored.emplace_back(index, ScoreDirectory(ReadDirectoryAs(image, f), f));
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
        if (a.second.violations != b.second.violations)
            return a.second.violations < b.second.violations;
        return a.second.files > b.second.files;
    });
    choice.candidates.clear();
    for (const auto& [index, score] : scored)
        choice.candidates.push_back(index);
    // Formats that read alike but name no block have nothing to misread: a blank or uniformly
    // filled directory, or only empty files. A writer would place its files by the format,
    // though: for it only one of Quarry's own formats, listed first, decides (an image of its
    // size is that format, as it always was); between other layouts the user chooses.
    const DirectoryScore& best = scored[0].second;
    const DirectoryScore& next = scored[1].second;
    const bool nothingToMisread =
        best.blocks == 0 && (!forWriting || catalog.At(choice.candidates.front()).builtIn);
    choice.decided =
        best.violations != next.violations || best.files != next.files || nothingToMisread;
    return choice;
}

bool SettleFormat(CpmImage& image, Prompts& prompts, const FormatQuestion& question) {
    std::vector<std::string> names;
    for (int index : image.Candidates())
        names.push_back(FormatCatalog::Current().At(index).name);
    if (names.empty()) return true;
    if (question) {
        const std::optional<std::string> chosen = question(names);
        if (!chosen) return false;
        image.SetDiskFormat(*chosen);
        return true;
    }
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + name;
    prompts.MessageBox("Disk Format Not Certain", "The image fits " + list +
                                                      " and its directory does not tell them "
                                                      "apart.\r\nIt is read as " +
                                                      names.front() + ".");
    return true;
}
