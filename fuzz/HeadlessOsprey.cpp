#include "HeadlessPaths.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "FatExplorer.h"
#include "Partitions.h"
#include "ScriptedPrompts.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace {

// Directories visited per volume and rows shown per directory: a volume of crossed chains can
// list the same directory under many names, and a user would not open every one either.
constexpr std::size_t MaxDirectories = 24;
constexpr int MaxRowsShown = 64;
constexpr std::int64_t MaxRawRoot = 256 * 1024;

struct Walk {
    FatExplorer& explorer;
    DisplaySink& sink;
    const std::string& image;
    const std::string& saves;
    const std::string& target;
    bool smallRoot;
    std::set<std::int64_t> visited;
};

// Opens the image again and enters the rows of path one after the other.
bool Reach(Walk& walk, const std::vector<int>& path) {
    if (walk.explorer.Open(walk.image, OspreyImageOpener(), walk.sink) != OpenOutcome::Opened)
        return false;
    for (int row : path)
        if (!walk.explorer.EnterDirectory(row)) return false;
    return true;
}

// Back from a sub-directory to its parent (at cluster, reached by path) through the ".." row,
// as a user goes back; when that row does not lead there, by opening the image again.
bool Return(Walk& walk, const std::vector<int>& path, std::int64_t cluster) {
    FatExplorer& explorer = walk.explorer;
    const std::optional<int> up = explorer.FindRow("..");
    if (up && explorer.Table().Row(*up).FirstCluster == cluster && explorer.EnterDirectory(*up))
        return true;
    return Reach(walk, path);
}

// Shows and saves the directory on show (at cluster, reached by path), then each of its
// sub-directories not seen before; ends with the same directory on show.
bool VisitDirectory(Walk& walk, const std::vector<int>& path, std::int64_t cluster) {
    FatExplorer& explorer = walk.explorer;
    DisplaySink& sink = walk.sink;
    explorer.ShowDirectoryListing(sink);
    const std::vector<ListLine> lines = explorer.List().Lines;
    std::vector<std::pair<int, std::int64_t>> children;
    int shown = 0;
    for (const ListLine& line : lines) {
        if (shown++ >= MaxRowsShown) break;
        const DirEntry& row = explorer.Table().Row(line.Row);
        // The dump of a directory row at cluster 0 is the raw root text.
        const bool rawRoot = row.IsDirectory() && row.FirstCluster == 0;
        for (DisplayOption option :
             {DisplayOption::Entry, DisplayOption::Text, DisplayOption::Dump})
            if (option != DisplayOption::Dump || !rawRoot || walk.smallRoot)
                explorer.ShowRow(line.Row, option, sink);
        if (row.IsFile()) explorer.SaveRow(line.Row, walk.saves + "/file.bin");
        if (row.IsDirectory() && walk.visited.insert(row.FirstCluster).second)
            children.emplace_back(line.Row, row.FirstCluster);
    }
    explorer.SaveAllFiles(walk.target, sink);
    for (const auto& [row, childCluster] : children) {
        if (walk.visited.size() > MaxDirectories) break;
        if (!explorer.EnterDirectory(row)) continue;
        std::vector<int> deeper = path;
        deeper.push_back(row);
        if (!VisitDirectory(walk, deeper, childCluster) || !Return(walk, path, cluster))
            return false;
    }
    return true;
}

void ExploreVolume(const std::string& image, std::int64_t offset, const std::string& saves,
                   const std::string& target) {
    ScriptedPrompts prompts;
    StringSink sink;
    EventHook hook;
    FatExplorer explorer(prompts, hook);
    explorer.SetPartitionOffset(offset);
    if (explorer.Open(image, OspreyImageOpener(), sink) != OpenOutcome::Opened) return;
    explorer.ShowBootSector(sink);
    explorer.ShowFat0(sink);
    // A boot sector may ask for a root of 65535 entries (2 MB) on an image of a few sectors;
    // its raw text then shows megabytes of zeros, and takes longer than a fuzz case may.
    const bool smallRoot =
        static_cast<std::int64_t>(explorer.Volume().Boot().RootEntries) * 32 <= MaxRawRoot;
    if (smallRoot) explorer.ShowRawRootDirectory(sink);
    explorer.SaveAllTree(target, sink);
    Walk walk{explorer, sink, image, saves, target, smallRoot, {0}};
    VisitDirectory(walk, {}, 0);
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
