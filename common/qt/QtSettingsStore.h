// The settings store over QSettings: one store per program title, sections as groups.
#pragma once

#include "SettingsStore.h"

#include <QSettings>
#include <memory>

class QtSettingsStore : public SettingsStore {
  public:
    // The per-user store of the program titled title.
    explicit QtSettingsStore(const std::string& title);
    // A store kept in the given file (tests).
    static std::unique_ptr<QtSettingsStore> InFile(const std::string& path);

    std::string GetSetting(const std::string& section, const std::string& key,
                           const std::string& defaultValue = "") const override;
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override;

  private:
    explicit QtSettingsStore(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> m_settings;
};
