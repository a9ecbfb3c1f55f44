#include "WindowPlacement.h"

#include "SettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <optional>

namespace {

std::optional<int> Number(const SettingsStore& settings, const std::string& section,
                          const std::string& key) {
    bool ok = false;
    const int value = QString::fromStdString(settings.GetSetting(section, key)).toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

bool OnSomeScreen(const QPoint& corner) {
    // Enough of the title bar must be visible to drag the window back.
    const QRect grip(corner, QSize(64, 24));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(grip)) return true;
    return false;
}

} // namespace

void RestorePlacement(QWidget* window, const SettingsStore& settings, const std::string& section,
                      bool withSize) {
    if (withSize) {
        const std::optional<int> width = Number(settings, section, "Width");
        const std::optional<int> height = Number(settings, section, "Height");
        if (width && height && *width >= 200 && *height >= 150 && *width <= 16384 &&
            *height <= 16384)
            window->resize(*width, *height);
    }
    const std::optional<int> top = Number(settings, section, "Top");
    const std::optional<int> left = Number(settings, section, "Left");
    if (top && left && OnSomeScreen(QPoint(*left, *top))) window->move(*left, *top);
}

void SavePlacement(const QWidget* window, SettingsStore& settings, const std::string& section,
                   bool withSize) {
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    settings.SaveSetting(section, "Top", std::to_string(window->pos().y()));
    settings.SaveSetting(section, "Left", std::to_string(window->pos().x()));
    if (withSize) {
        settings.SaveSetting(section, "Width", std::to_string(window->width()));
        settings.SaveSetting(section, "Height", std::to_string(window->height()));
    }
}
