// Drives a program's window offscreen as its user would, for the window tests of all four
// programs: scripted dialogs and settings in memory; controls found, clicked and read by their
// objectName; images and files dropped; a step run from within a walk; a wait until none runs.
#pragma once

#include "ScriptedPrompts.h"
#include "SettingsStore.h"
#include "qt/ExplorerWindow.h"

#include <QtTest>
#include <QtWidgets> // every widget a window test reads

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

// The child named name of class T of parent; the test program ends when there is none.
template <typename T = QObject> T* ChildOf(const QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(name);
    if (!child) qFatal("no control %s", name);
    return child;
}
// Runs work on the modal dialog that the next action opens.
void OnModalDialog(std::function<void(QDialog*)> work);

class WindowDriver {
  private:
    MemorySettings m_ownSettings;

  public:
    ScriptedPrompts prompts;
    MemorySettings& settings;

    // The control or menu entry named name, of class T.
    template <typename T = QObject> T* Find(const char* name) const {
        return ChildOf<T>(m_window, name);
    }
    // Clicks a button, check box or option, or chooses a menu entry.
    void Click(const char* name) const;
    // Whether each control or menu entry is enabled, the menus refreshed as when they open.
    QList<bool> Enabled(std::initializer_list<const char*> names) const;
    // The display pane, one "\n" per line.
    QString Pane() const;
    // The text of a label or an edit box; the lines of a list or a combo box.
    QString Text(const char* name) const;
    QStringList Items(const char* name) const;
    // The row of a list with this text clicked, or double-clicked, after it was selected. The
    // list does not have the focus, so that the selection alone does nothing a click does not.
    void ClickRow(const char* list, const QString& text) const;
    void DoubleClickRow(const char* list, const QString& text) const;
    // Opens an image as the Open entry does once its dialog has answered.
    void Open(const std::string& path, bool readOnly = false) const;
    // The Open entry named entry chosen, and path answered in its dialog.
    void OpenByMenu(const std::string& path, const char* entry = "mnuOpen");
    // Drags local files (and, when given, a text) onto the control named target, or onto the
    // window; true when the control took the drag.
    bool Drop(const QStringList& paths, const char* target = nullptr,
              const QString& text = {}) const;
    // Runs step once, from within the walk that the next action starts, while the window is
    // busy with it.
    void WhileBusy(std::function<void()> step) const;
    // Waits until the window has been idle for a moment (an action a timer started has run);
    // false when it is still busy after five seconds.
    bool WaitUntilIdle() const;
    ShownMessage LastMessage() const;

  protected:
    explicit WindowDriver(MemorySettings* kept) : settings(kept ? *kept : m_ownSettings) {}
    void Attach(ExplorerWindow& window);

  private:
    ExplorerWindow* m_window = nullptr;
    int m_busyChanges = 0;
};

// The window of class W, shown; args go to its constructor before the prompts and settings.
template <typename W> class WindowUnderTest : public WindowDriver {
  public:
    template <typename... A>
    explicit WindowUnderTest(A&&... args)
        : WindowDriver(nullptr), window(std::forward<A>(args)..., &prompts, &settings) {
        Attach(window);
    }
    // With settings that outlive the window: a restart is a second window on them.
    template <typename... A>
    explicit WindowUnderTest(MemorySettings& kept, A&&... args)
        : WindowDriver(&kept), window(std::forward<A>(args)..., &prompts, &settings) {
        Attach(window);
    }

    W window;
};
