// Menus every window shares: "Recent images" in the File menu, and the Help menu with the
// program's help page (F1) and About.
#pragma once

#include <QString>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class Prompts;
class SettingsStore;

// Inserts the "Recent images" sub-menu before `before`. Choosing an image that no longer exists
// says so and removes it from the list; any other choice calls open.
QMenu* AddRecentImagesMenu(QMenu* fileMenu, QAction* before, SettingsStore& settings,
                           Prompts& prompts, std::function<void(const QString&)> open);
// Remembers an image that was opened.
void RememberImage(SettingsStore& settings, const QString& path);

// Adds the Help menu: "Help" (F1) shows helpHtml, "About" the version and licence.
QMenu* AddHelpMenu(QMainWindow* window, const QString& program, const QString& summary,
                   const QString& helpHtml);
