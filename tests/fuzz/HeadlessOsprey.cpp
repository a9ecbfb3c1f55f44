#include "HeadlessPaths.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "FatExplorer.h"
#include "Partitions.h"
#include "ScriptedPrompts.h"

#include <set>
#include <vector>

namespace {

// Directories visited per volume and rows shown per directory: a volume of crossed chains can
// list the same directory under many names, and a user would not open every one either.
constexpr std::size_t MaxDirectories = 24;
constexpr int MaxRowsShown = 64;

struct Walk {
    FatExplorer& explorer;
    const std::string& image;
    const std::string& saves;
    const std::string& target;
    std::set<std::int64_t> visited;
};

// Opens the image again and enters the rows of path one after the other.
bool Reach(Walk& walk, const std::vector<int>& path) {
    if (walk.explorer.OpenImage(walk.image) != FatExplorer::OpenResult::Opened) return false;
    for (int row : path)
        if (!walk.explorer.EnterDirectory(row)) return false;
    return true;
}

void VisitDirectory(Walk& walk, const std::vector<int>& path) {
    FatExplorer& explorer = walk.explorer;
    explorer.ShowDirectoryListing();
    const std::vector<ListLine> lines = explorer.List().Lines;
    std::vector<int> children;
    int shown = 0;
    for (const ListLine& line : lines) {
        if (shown++ >= MaxRowsShown) break;
        for (DisplayOption option :
             {DisplayOption::Entry, DisplayOption::Text, DisplayOption::Dump})
            explorer.ShowRow(line.Row, option);
        const DirEntry& row = explorer.Table().Row(line.Row);
        if (row.IsFile()) explorer.SaveRow(line.Row, walk.saves + "/file.bin");
        if (row.IsDirectory() && walk.visited.insert(row.FirstCluster).second)
            children.push_back(line.Row);
    }
    explorer.SaveAllFiles(walk.target);
    for (int child : children) {
        if (walk.visited.size() > MaxDirectories) return;
        std::vector<int> deeper = path;
        deeper.push_back(child);
        if (Reach(walk, deeper)) VisitDirectory(walk, deeper);
    }
}

void ExploreVolume(const std::string& image, std::int64_t offset, const std::string& saves,
                   const std::string& target) {
    ScriptedPrompts prompts;
    StringSink sink;
    EventHook hook;
    FatExplorer explorer(prompts, sink, hook);
    explorer.SetPartitionOffset(offset);
    if (explorer.OpenImage(image) != FatExplorer::OpenResult::Opened) return;
    explorer.ShowBootSector();
    explorer.ShowFat0();
    explorer.ShowRawRootDirectory();
    Walk walk{explorer, image, saves, target, {0}};
    VisitDirectory(walk, {});
}

} // namespace

void OspreyPath(const std::string& image, const std::string& saves, const std::string& target) {
    std::vector<std::int64_t> offsets{0};
    std::string problem;
    if (const auto entries = ReadPartitionTableOf(image, 0, problem)) {
        PartitionText(*entries);
        for (const PartitionEntry& entry : *entries)
            if (entry.ByteOffset() > 0) offsets.push_back(entry.ByteOffset());
    }
    for (std::int64_t offset : offsets)
        ExploreVolume(image, offset, saves, target);
}
