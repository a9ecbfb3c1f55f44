#include "SaveAll.h"

#include "DirectoryTable.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "FatDamage.h"
#include "FatVolume.h"
#include "FileContents.h"
#include "HostFolders.h"
#include "PathStack.h"

#include <set>
#include <vector>

std::string ImageFolderName(const std::string& fileTitle) {
    const std::size_t dot = fileTitle.rfind('.');
    if (dot == 0) return "";
    const std::string folder = dot == std::string::npos ? fileTitle : fileTitle.substr(0, dot);
    return folder.empty() ? "" : SafeComponent(folder);
}

namespace {

// One Save All: the folders below the target, the names handed out in each, the lines and the
// counts.
class SaveAllRun {
  public:
    SaveAllRun(FatVolume& volume, DisplaySink& sink, EventHook& hook, const std::string& target)
        : m_volume(volume), m_pieces(sink), m_hook(hook), m_top(target) {
        while (m_top.size() > 1 && m_top.back() == '/')
            m_top.pop_back();
    }

    // The folders of the image and of the path to the directory on show.
    static std::vector<std::string> StartFolders(const PathStack& path,
                                                 const std::string& imageFileTitle) {
        std::vector<std::string> folders;
        const std::string imageFolder = ImageFolderName(imageFileTitle);
        if (!imageFolder.empty()) folders.push_back(imageFolder);
        for (const PathLevel& level : path.Levels())
            folders.push_back(SafeComponent(level.DisplayName));
        return folders;
    }

    // A directory below the one saved: the folder name it gets, its path as the lines show it,
    // and its first cluster.
    struct Below {
        std::string folder;
        std::string shown;
        std::int64_t cluster = 0;
        std::string inVolume; // its path in the volume, ending in "/"
    };

    // The path of the directory on show in the volume, ending in "/".
    static std::string VolumeFolder(const PathStack& path) {
        const std::string text = path.PathText();
        return text == "/" ? text : text + "/";
    }

    // Saves the files of table into the folder; with subdirectories, gives the directories
    // below it.
    std::vector<Below> SaveDirectory(const DirectoryTable& table,
                                     const std::vector<std::string>& folders, bool subdirectories,
                                     const std::string& inVolume) {
        std::vector<Below> below;
        m_total += table.FileCount();
        const std::string folder = FolderText(folders);
        std::string problem;
        const bool made = MakeFolders(m_top, folders, problem);
        if (!made) Note(problem);
        if (!table.ReadProblem().empty()) Note(folder + ": " + table.ReadProblem());
        const int end = table.RowsInUse();
        for (int i = 0; i < end && !m_hook.Aborted(); ++i) {
            m_pieces.FlushIfDue();
            m_hook.ProcessEvents();
            const DirEntry& row = table.Row(i);
            if (row.Deleted) continue;
            const std::string dotName = TrimBlanks(row.Name);
            if (subdirectories && row.IsDirectory() && dotName != "." && dotName != "..") {
                const std::string name = m_names.Claim(folder, SafeComponent(DefaultFileName(row)));
                below.push_back({name, folder + "/" + name, row.FirstCluster,
                                 inVolume + DefaultFileName(row) + "/"});
                continue;
            }
            if (!row.IsFile()) continue;
            const std::string wanted = SafeComponent(DefaultFileName(row));
            const std::string name = m_names.Claim(folder, wanted);
            const std::string fullPath = folder + "/" + name;
            const std::string renamed =
                name == wanted ? "" : " (renamed: another file here is named " + wanted + ")";
            const SaveResult saved = made ? SaveEntry(m_volume, row, fullPath, m_hook)
                                          : SaveResult{LoopEnd::ReadError, {}, {}, {}};
            if (saved.Saved()) {
                const std::string damaged =
                    SavedFatDamage(m_volume, row, inVolume + DefaultFileName(row));
                m_pieces.Append("Saved - " + fullPath + renamed +
                                (damaged.empty() ? "" : " (" + damaged + ")") + CRLF);
                ++m_result.Saved;
                if (!damaged.empty()) ++m_result.Damaged;
            } else {
                const std::string why = saved.Problem.empty() ? "" : " (" + saved.Problem + ")";
                m_pieces.Append("Failed - " + fullPath + renamed + why + CRLF);
                ++m_result.Failed;
            }
        }
        return below;
    }

    // Saves the directory at cluster (its table already read for the first) and every one
    // below it, depth first.
    void SaveTree(const DirectoryTable& top, std::int64_t cluster,
                  const std::vector<std::string>& folders, const std::string& inVolume) {
        m_visited.insert(cluster);
        Descend(SaveDirectory(top, folders, true, inVolume), folders, 1);
    }

    SaveAllResult Finish() {
        m_pieces.Append(
            std::string(CRLF) + " Total Files  - " + std::to_string(m_total) + "  Saved - " +
            std::to_string(m_result.Saved) + "  Failed - " + std::to_string(m_result.Failed) +
            (m_result.Damaged > 0 ? "  With damaged bytes - " + std::to_string(m_result.Damaged)
                                  : ""));
        return m_result;
    }

  private:
    void Descend(const std::vector<Below>& below, const std::vector<std::string>& folders,
                 int depth) {
        for (const Below& directory : below) {
            if (m_hook.Aborted()) return;
            std::vector<std::string> inner = folders;
            inner.push_back(directory.folder);
            // ".." rows hold 0 for the root; any other row that leads to a directory met
            // before would save it again, and again, without end.
            if (!m_visited.insert(directory.cluster).second) {
                m_pieces.Append("Skipped - " + directory.shown +
                                ": the same directory as one saved before" + CRLF);
                continue;
            }
            // Cluster 0 is the root, as in a ".." row.
            if (directory.cluster != 0 && m_volume.ClusterChain(directory.cluster).empty()) {
                Note(directory.shown + ": starts at cluster " + std::to_string(directory.cluster) +
                     ", which is not a data cluster of this volume");
                continue;
            }
            // The table is let go before going down: only the names of what lies below are
            // kept at each level.
            std::vector<Below> next;
            {
                DirectoryTable table;
                table.LoadDirectory(m_volume, directory.cluster);
                if (depth >= kMaxTreeDepth) {
                    Note(
                        directory.shown + ": more than " + std::to_string(kMaxTreeDepth) +
                        " directories deep; files not saved: " + std::to_string(table.FileCount()));
                    m_total += table.FileCount();
                    m_result.Failed += table.FileCount();
                    continue;
                }
                next = SaveDirectory(table, inner, true, directory.inVolume);
            }
            Descend(next, inner, depth + 1);
        }
    }

    std::string FolderText(const std::vector<std::string>& folders) const {
        std::string text = m_top == "/" ? "" : m_top;
        for (const std::string& folder : folders)
            text += "/" + folder;
        return text;
    }

    // A problem beyond one file: a line of its own, once (a folder that cannot be made fails
    // every folder below it), and the first is kept for the message.
    void Note(const std::string& problem) {
        if (!m_noted.insert(problem).second) return;
        m_pieces.Append(problem + CRLF);
        if (m_result.Problem.empty()) m_result.Problem = problem;
    }

    FatVolume& m_volume;
    PieceSink m_pieces;
    EventHook& m_hook;
    std::string m_top;
    SaveNames m_names;
    std::set<std::int64_t> m_visited; // first clusters of the directories saved (0: the root)
    std::set<std::string> m_noted;
    SaveAllResult m_result;
    int m_total = 0;
};

} // namespace

SaveAllResult SaveAll(FatVolume& volume, const DirectoryTable& table, const PathStack& path,
                      const std::string& imageFileTitle, const std::string& target,
                      DisplaySink& sink, EventHook& hook) {
    sink.Clear();
    SaveAllRun run(volume, sink, hook, target);
    run.SaveDirectory(table, SaveAllRun::StartFolders(path, imageFileTitle), false,
                      SaveAllRun::VolumeFolder(path));
    return run.Finish();
}

SaveAllResult SaveAllTree(FatVolume& volume, const DirectoryTable& table, std::int64_t cluster,
                          const PathStack& path, const std::string& imageFileTitle,
                          const std::string& target, DisplaySink& sink, EventHook& hook) {
    sink.Clear();
    SaveAllRun run(volume, sink, hook, target);
    run.SaveTree(table, cluster, SaveAllRun::StartFolders(path, imageFileTitle),
                 SaveAllRun::VolumeFolder(path));
    return run.Finish();
}
