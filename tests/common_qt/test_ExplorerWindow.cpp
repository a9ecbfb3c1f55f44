// The window shell every program shares, through the least window a program can make of it: its
// File menu and where entries go, drops, the busy state and the close guard, Save Display and the
// question for a number.
#include "DisplaySink.h"
#include "Golden.h"
#include "RecentImages.h"
#include "WindowDriver.h"
#include "qt/AskNumber.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include <filesystem>
#include <fstream>

namespace {

// Any file is an image, except one whose name ends in ".bad"; "Walk" runs until STOP.
class BareWindow : public ExplorerWindow {
  public:
    BareWindow(Prompts* prompts, SettingsStore* settings)
        : ExplorerWindow({.name = "Bare",
                          .copy = ProgramCopy::Osprey,
                          .windowName = "formBare",
                          .title = "Bare",
                          .imageType = "IMG",
                          .imageDescription = "Bare",
                          .imageInfo = true},
                         prompts, settings) {
        AddFileEntry(FileSection::Report, {"mnuReport", "Report"}, [] {});
        AddFileEntry(FileSection::Open, {"mnuOpenMore", "Open More"}, [] {});
        AddFileEntry(FileSection::Save, {"mnuSaveMore", "Save More"}, [] {});
        AddMenu("mnuTools", "Tools");
        AddEntry(OptionsMenu(), {"mnuChoice", "Choice"}, [] {});
        AddHelp("summary", "help");
        AddMenu("mnuLater", "Later");
        auto* walk = MakeButton("cmdWalk", "Walk");
        connect(walk, &QPushButton::clicked, this, [this] { Walk(); });
        auto* central = new QWidget(this);
        auto* layout = new QVBoxLayout(central);
        layout->addLayout(ButtonRow({walk}));
        layout->addWidget(Pane());
        setCentralWidget(central);
        RefreshControls();
    }
    bool abortedWalk = false;

  private:
    bool OpenImageFile(const QString& path, bool) override {
        m_open = !path.endsWith(".bad");
        Sink().Append(m_open ? "opened\r\n" : "refused\r\n");
        return m_open;
    }
    void CloseImageFile() override { m_open = false; }
    bool ImageOpen() const override { return m_open; }
    void ShowImageInfo(DisplaySink& sink) override { sink.Append("info\r\n"); }
    std::string SuggestedName() const override { return "pane.txt"; }
    void Walk() {
        Busy busy(*this);
        QElapsedTimer clock;
        clock.start();
        while (!Hook().Aborted() && clock.elapsed() < 5000)
            Hook().ProcessEvents();
        abortedWalk = Hook().Aborted();
    }
    bool m_open = false;
};

using Bare = WindowUnderTest<BareWindow>;

QStringList Names(const QList<QAction*>& actions) {
    QStringList names;
    for (QAction* action : actions)
        names << (action->isSeparator() ? "-"
                  : action->menu()      ? action->menu()->objectName()
                                        : action->objectName());
    return names;
}

} // namespace

class ExplorerWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void menusHoldTheSharedEntriesAndEachSection();
    void dropOpensTheFirstRegularFileAndRemembersOpenedImages();
    void busyRefusesActionsAndClosingStopsTheWalk();
    void saveDisplayWritesThePaneOrSaysWhy();
    void askNumberReadsAnswersAsTyped();
};

void ExplorerWindowTest::menusHoldTheSharedEntriesAndEachSection() {
    Bare t;
    QCOMPARE(
        Names(t.Find<QMenu>("mnuFile")->actions()),
        QStringList({"mnuOpen", "mnuClose", "mnuOpenMore", "mnuRecentImages", "-", "mnuSaveTxt",
                     "mnuSaveMore", "-", "mnuImageInfo", "mnuReport", "-", "mnuExit"}));
    // Help stays last, whatever a window adds after it; Options is made once.
    QCOMPARE(Names(t.window.menuBar()->actions()),
             QStringList({"mnuFile", "mnuTools", "mnuOptions", "mnuLater", "mnuHelp"}));
    QCOMPARE(t.Find<QMenu>("mnuOptions")->actions().size(), 1);
    QCOMPARE(t.Text("lblVersion"), QString("V ") + SUITE_VERSION);
    QCOMPARE(t.Enabled({"mnuOpen", "mnuClose", "mnuSaveTxt", "mnuImageInfo", "cmdABORT"}),
             (QList<bool>{true, false, true, false, false}));
}

void ExplorerWindowTest::dropOpensTheFirstRegularFileAndRemembersOpenedImages() {
    const std::string dir = TempDir("shell-drop");
    for (const char* name : {"/a.img", "/b.img", "/c.bad"})
        std::ofstream(dir + name) << "x";
    const QString folder = QString::fromStdString(dir);
    Bare t;
    QVERIFY(!t.Drop({folder}));
    QVERIFY(!t.Drop({folder + "/missing.img"}));
    QVERIFY(t.Pane().isEmpty());
    QVERIFY(t.Drop({folder, folder + "/a.img", folder + "/b.img"}));
    QCOMPARE(t.window.windowTitle(), "Bare " + folder + "/a.img");
    QCOMPARE(t.Enabled({"mnuClose", "mnuImageInfo"}), (QList<bool>{true, true}));
    t.Click("mnuImageInfo");
    QCOMPARE(t.Pane(), QString("info\n"));

    // A file that is not an image is not remembered and leaves no image open.
    t.Open(dir + "/c.bad");
    QCOMPARE(t.window.windowTitle(), QString("Bare"));
    QCOMPARE(t.Pane(), QString("refused\n"));
    QCOMPARE(RecentImages(t.settings).List(), std::vector<std::string>{dir + "/a.img"});
    // A relative name is shown in full.
    t.Open(QDir::current().relativeFilePath(folder + "/b.img").toStdString());
    QCOMPARE(t.window.windowTitle(), "Bare " + folder + "/b.img");
    t.Click("mnuClose");
    QCOMPARE(t.window.windowTitle(), QString("Bare"));
    QVERIFY(t.Pane().isEmpty());
    QCOMPARE(RecentImages(t.settings).List().front(), dir + "/b.img");
}

void ExplorerWindowTest::busyRefusesActionsAndClosingStopsTheWalk() {
    const std::string dir = TempDir("shell-busy");
    std::ofstream(dir + "/a.img") << "x";
    Bare t;
    QList<bool> during;
    bool dropTaken = true, closed = true;
    t.WhileBusy([&] {
        during = t.Enabled({"cmdABORT", "mnuOpen", "mnuSaveTxt", "cmdWalk"});
        dropTaken = t.Drop({QString::fromStdString(dir + "/a.img")});
        closed = t.window.close();
    });
    t.Click("cmdWalk");
    QCOMPARE(during, (QList<bool>{true, false, false, true}));
    QVERIFY(!dropTaken && t.Pane().isEmpty());
    QVERIFY(!closed && t.window.isVisible());
    QVERIFY2(t.window.abortedWalk, "closing asks the walk to stop");
    QCOMPARE(t.Enabled({"cmdABORT", "mnuOpen"}), (QList<bool>{false, true}));

    // STOP ends a walk, and the next one starts afresh.
    t.WhileBusy([&] { t.Click("cmdABORT"); });
    t.Click("cmdWalk");
    QVERIFY(t.window.abortedWalk);
    QVERIFY(t.WaitUntilIdle());
    QVERIFY(t.window.close());
}

void ExplorerWindowTest::saveDisplayWritesThePaneOrSaysWhy() {
    const std::string dir = TempDir("shell-save");
    std::ofstream(dir + "/a.img") << "x";
    Bare t;
    t.Open(dir + "/a.img");
    t.prompts.fileAnswers = {{dir + "/pane.txt", false}, {dir + "/no/such/folder.txt", false}};
    t.Click("mnuSaveTxt");
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("pane.txt"));
    std::ifstream saved(dir + "/pane.txt", std::ios::binary);
    QCOMPARE(std::string(std::istreambuf_iterator<char>(saved), {}), std::string("opened\r\n"));
    QVERIFY(t.prompts.messages.empty());
    t.Click("mnuSaveTxt");
    QCOMPARE(t.LastMessage().title, std::string("Error Saving Display"));
    QVERIFY(t.LastMessage().text.starts_with("Error # 76 was generated by Bare\r\n"));
}

void ExplorerWindowTest::askNumberReadsAnswersAsTyped() {
    struct Case {
        NumberReading reading;
        std::vector<std::string> answers;
        std::optional<std::int64_t> number;
        std::size_t asked;
    };
    const Case cases[] = {
        {NumberReading::Leading, {"12"}, 12, 1},
        {NumberReading::Leading, {"  7 blocks"}, 7, 1},
        {NumberReading::Leading, {"&h1F"}, 31, 1},
        {NumberReading::Leading, {"-&H1"}, -1, 1},
        {NumberReading::Leading, {"-9", "abc"}, 0, 2},
        {NumberReading::Leading, {"99999999999999999999", "40000", "5"}, 5, 3},
        {NumberReading::Offset, {"31.5k", "x", "1K"}, 1024, 3},
        {NumberReading::Offset, {"&H7E00"}, 32256, 1},
        {NumberReading::Offset, {"-1", ""}, std::nullopt, 2},
        {NumberReading::Leading, {}, std::nullopt, 1},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        for (const std::string& answer : c.answers)
            prompts.inputAnswers.push_back(answer);
        const auto number = AskNumber(prompts, {"Which?", "Title", "1", c.reading},
                                      [](std::int64_t n) { return n > -5 && n < 40000; });
        const QByteArray which = QByteArray::fromStdString(c.answers.empty() ? "" : c.answers[0]);
        QVERIFY2(number == c.number, which);
        QVERIFY2(prompts.inputs.size() == c.asked, which);
    }
}

QTEST_MAIN(ExplorerWindowTest)
#include "test_ExplorerWindow.moc"
