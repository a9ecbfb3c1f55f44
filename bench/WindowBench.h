// Window benchmarks, one program per explorer (their cores share type names): the dump of a
// 1 MB file shown in the display pane (offscreen), timed from the click on "Dump" until the pane
// holds the whole dump, and the longest time the window went without processing its events
// during that walk. The numbers are printed, not asserted. The inputs come from scripts/bench
// (BENCH_INPUTS names their folder).
//
// The event gaps are seen from outside the programs' code: a zero-interval timer fires on every
// pass of event processing, so the longest time between two of its firings is the longest time
// the window was unresponsive.
#pragma once

#include "Prompts.h"
#include "SettingsStore.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace bench {

// Every message box is answered OK; nothing else is ever asked here.
class AnswerOk : public Prompts {
  public:
    Answer MessageBox(const std::string&, const std::string&, Buttons) override {
        return Answer::Ok;
    }
    std::optional<std::string> InputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    FileDialogResult FileDialog(const FileDialogRequest&) override { return {}; }
    DirectoryPickResult PickDirectory(const std::string&, const std::string&) override {
        return {"", true};
    }
};

inline std::string Input(const char* name) {
    const char* folder = std::getenv("BENCH_INPUTS");
    return std::string(folder ? folder : ".") + "/" + name;
}

// Selects and clicks the first row of list whose text contains name.
inline bool ClickRow(QListWidget* list, const QString& name) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().contains(name)) {
            list->setCurrentRow(i);
            emit list->itemClicked(list->item(i));
            return true;
        }
    return false;
}

// Runs show() (which fills pane) and reports its time and the longest gap between two passes
// of event processing, counted from the start of show() to its end.
inline void Measure(const char* program, QPlainTextEdit* pane, const std::function<void()>& show) {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    int passes = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        ++passes;
    });
    tick.start();
    clock.start();
    show();
    const qint64 shown = clock.nsecsElapsed();
    longest = std::max(longest, shown - last);
    tick.stop();
    const int lines = pane->document()->blockCount();
    std::printf("%-8s 1 MB dump in the pane: %7.3f s, %d lines, longest time without event "
                "processing %6.1f ms (%d passes)\n",
                program, shown / 1e9, lines, longest / 1e6, passes);
    std::fflush(stdout);
    QVERIFY(lines > 65536);
}

} // namespace bench
