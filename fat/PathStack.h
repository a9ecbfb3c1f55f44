// The path from the root to the directory on show: one level per directory entered, each with
// its 8.3 name, its long name and the name a host folder gets. Depth 0 is the root.
#pragma once

#include <string>
#include <vector>

class DirectoryTable;

struct PathLevel {
    std::string ShortName;
    std::string LongName;
    std::string DisplayName; // the long name, else the 8.3 name as the host shows it
};

class PathStack {
  public:
    void Reset() { m_levels.clear(); }
    int Depth() const { return static_cast<int>(m_levels.size()); }
    // Level 1 .. Depth.
    const PathLevel& Level(int depth) const {
        return m_levels.at(static_cast<std::size_t>(depth - 1));
    }
    const std::vector<PathLevel>& Levels() const { return m_levels; }

    // Before row i of the table is entered: "." stays, ".." goes up one level (never above the
    // root), any other name goes down.
    void ChangeDirectory(const DirectoryTable& table, int i);
    // The directory label: the 8.3 name of the deepest level, empty at the root.
    std::string DirectoryLabel() const;
    // "/" at the root, else "/" + the display names joined by "/".
    std::string PathText() const;

  private:
    std::vector<PathLevel> m_levels;
};
