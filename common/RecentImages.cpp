#include "RecentImages.h"

#include "SettingsStore.h"

#include <algorithm>

std::vector<std::string> RecentImages::List() const {
    std::vector<std::string> paths;
    for (int i = 1; i <= kMaxImages; ++i) {
        const std::string path = m_settings.GetSetting("Recent", "Image" + std::to_string(i));
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    }
    return paths;
}

void RecentImages::Add(const std::string& path) {
    if (path.empty()) return;
    std::vector<std::string> paths = List();
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    paths.insert(paths.begin(), path);
    Store(paths);
}

void RecentImages::Remove(const std::string& path) {
    std::vector<std::string> paths = List();
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    Store(paths);
}

void RecentImages::Store(const std::vector<std::string>& paths) {
    for (int i = 1; i <= kMaxImages; ++i) {
        const std::size_t at = static_cast<std::size_t>(i - 1);
        m_settings.SaveSetting("Recent", "Image" + std::to_string(i),
                               at < paths.size() ? paths[at] : "");
    }
}
