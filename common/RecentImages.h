// The images opened last, newest first, kept in the settings store (section "Recent", keys
// "Image1" .. "Image8") so that the File menu can offer them again after a restart.
#pragma once

#include <string>
#include <vector>

class SettingsStore;

class RecentImages {
  public:
    static constexpr int kMaxImages = 8;

    explicit RecentImages(SettingsStore& settings) : m_settings(settings) {}

    std::vector<std::string> List() const;
    // Puts path first; an image already listed moves up, the oldest beyond eight drops out.
    void Add(const std::string& path);
    void Remove(const std::string& path);

  private:
    void Store(const std::vector<std::string>& paths);
    SettingsStore& m_settings;
};
