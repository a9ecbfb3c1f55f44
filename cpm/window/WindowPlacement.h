// Window positions kept in the settings store: "Top" and "Left" of a section, read when a window
// loads and written when it closes in the normal state (not minimised or maximised). A position
// that lies on no screen any more (a monitor was removed) is not applied.
#pragma once

#include <string>

class QWidget;
class SettingsStore;

// withSize: "Width" and "Height" are kept as well.
void RestorePlacement(QWidget* window, const SettingsStore& settings, const std::string& section,
                      bool withSize = false);
void SavePlacement(const QWidget* window, SettingsStore& settings, const std::string& section,
                   bool withSize = false);
