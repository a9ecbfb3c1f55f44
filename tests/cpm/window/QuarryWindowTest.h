// Helpers for the tests of Quarry's window: a window with scripted prompts and settings kept in
// memory, image files of each format and simulated drops.
#pragma once

#include "QuarryTestSupport.h"
#include "SettingsStore.h"
#include "window/frmQuarry.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Printable text lines, different for every seed.
ByteVector TextBytes(std::size_t size, unsigned seed);
// An image of the format's exact size, filled with fill.
std::string MakeImage(const std::string& folder, const std::string& format,
                      std::uint8_t fill = 0xE5);

// Drops local files (and, when given, a text) on a widget as a file manager would.
void DropFiles(QWidget* target, const QStringList& paths, const QString& text = {});

// The window under test with its scripted prompts and settings.
struct WindowUnderTest {
    explicit WindowUnderTest(MemorySettings* keep = nullptr);
    ~WindowUnderTest();

    template <typename T> T* Child(const char* name) const {
        T* child = window->findChild<T*>(name);
        if (!child) qFatal("no child %s", name);
        return child;
    }
    QString Pane() const;
    void Click(const char* button) const;
    void Trigger(const char* action) const;
    QString Label(const char* label) const;
    // Drops host files on the drop zone.
    void Drop(const std::vector<std::string>& paths) const;
    // The names in the file list.
    QStringList Files() const;
    void Open(const std::string& path, bool readOnly = false) {
        window->OpenImage(QString::fromStdString(path), readOnly);
    }
    // The last message box shown, or an empty one.
    ShownMessage LastMessage() const;

    ScriptedPrompts prompts;
    std::unique_ptr<MemorySettings> ownSettings;
    MemorySettings* settings;
    frmQuarry* window;
};
