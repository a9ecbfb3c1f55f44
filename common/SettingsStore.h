// The per-user settings store: string values by section and key, under the program's title.
#pragma once

#include <map>
#include <string>
#include <utility>

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // A value that was never written reads as defaultValue.
    virtual std::string GetSetting(const std::string& section, const std::string& key,
                                   const std::string& defaultValue = "") const = 0;
    virtual void SaveSetting(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

// Settings held in memory: used by tests.
class MemorySettings : public SettingsStore {
  public:
    std::string GetSetting(const std::string& section, const std::string& key,
                           const std::string& defaultValue = "") const override {
        auto it = m_values.find({section, key});
        return it == m_values.end() ? defaultValue : it->second;
    }
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override {
        m_values[{section, key}] = value;
    }
    const std::map<std::pair<std::string, std::string>, std::string>& Values() const {
        return m_values;
    }

  private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};

// Command mode neither reads nor writes settings.
class NoSettings : public SettingsStore {
  public:
    std::string GetSetting(const std::string&, const std::string&,
                           const std::string& defaultValue = "") const override {
        return defaultValue;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&) override {}
};
