#include "QtSettingsStore.h"

namespace {
QString KeyOf(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}
} // namespace

QtSettingsStore::QtSettingsStore(const std::string& title)
    : m_settings(std::make_unique<QSettings>(QString::fromStdString(title),
                                             QString::fromStdString(title))) {}

QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings)) {}

std::unique_ptr<QtSettingsStore> QtSettingsStore::InFile(const std::string& path) {
    return std::unique_ptr<QtSettingsStore>(new QtSettingsStore(
        std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat)));
}

std::string QtSettingsStore::GetSetting(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) const {
    return m_settings->value(KeyOf(section, key), QString::fromStdString(defaultValue))
        .toString()
        .toStdString();
}

void QtSettingsStore::SaveSetting(const std::string& section, const std::string& key,
                                  const std::string& value) {
    m_settings->setValue(KeyOf(section, key), QString::fromStdString(value));
    m_settings->sync();
}
