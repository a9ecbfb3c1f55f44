#include "PathStack.h"

#include "DirectoryTable.h"
#include "FatBoot.h"

void PathStack::ChangeDirectory(const DirectoryTable& table, int i) {
    const DirEntry& row = table.Row(i);
    const std::string name = TrimBlanks(EntryName(row));
    if (name == ".") return;
    if (name == "..") {
        if (!m_levels.empty()) m_levels.pop_back();
        return;
    }
    PathLevel level;
    level.ShortName = name;
    level.LongName = row.LongName;
    level.DisplayName = row.LongName.empty() ? CasedShortName(row) : row.LongName;
    m_levels.push_back(level);
}

std::string PathStack::DirectoryLabel() const {
    return m_levels.empty() ? std::string() : m_levels.back().ShortName;
}

std::string PathStack::PathText() const {
    if (m_levels.empty()) return "/";
    std::string text;
    for (const PathLevel& level : m_levels)
        text += "/" + level.DisplayName;
    return text;
}
