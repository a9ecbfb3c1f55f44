// Helpers for the tests of Quarry's window: a window with scripted prompts and settings kept in
// memory, image files of each format, simulated drops and cpmtools as the oracle of what the
// window wrote.
#pragma once

#include "ScriptedPrompts.h"
#include "SettingsStore.h"
#include "window/frmQuarry.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

using ByteVector = std::vector<std::uint8_t>;

ByteVector ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const ByteVector& bytes);
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
    void Open(const std::string& path, bool readOnly = false) {
        window->OpenImage(QString::fromStdString(path), readOnly);
    }
    // The last message box shown, or an empty one.
    ShownMessage LastMessage() const;
    bool Shown(const std::string& title) const;

    ScriptedPrompts prompts;
    std::unique_ptr<MemorySettings> ownSettings;
    MemorySettings* settings;
    frmQuarry* window;
};

// cpmtools set up with the diskdefs of the ten formats; Installed() is false when it is missing.
class Cpmtools {
  public:
    static bool Installed();
    Cpmtools();
    // "user:name.typ" for every file cpmls lists, lower case as cpmtools prints them.
    std::set<std::string> List(const std::string& format, const std::string& image) const;
    ByteVector Get(const std::string& format, const std::string& image,
                   const std::string& file) const;
    // fsck.cpm -n: true when it finds nothing to mend.
    bool Check(const std::string& format, const std::string& image, std::string* report) const;

  private:
    int Run(const std::string& command, std::string* output) const;
    std::string m_home;
};
