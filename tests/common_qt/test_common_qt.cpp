// The Qt side of common/: the shared dialogs, the display pane, the menus, and the window shell
// every program builds on, through the least window a program can make of it.
#include "DisplaySink.h"
#include "Golden.h"
#include "RecentImages.h"
#include "WindowDriver.h"
#include "modInitFileOptions.h"
#include "qt/AppMenus.h"
#include "qt/QtDisplaySink.h"
#include "qt/QtPrompts.h"
#include "qt/QtSettingsStore.h"
#include "qt/dialogGetDirectory.h"
#include "qt/dialogSaveFile.h"

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
        AddEntry(OptionsMenu(), {"mnuChoice", "Choice"}, [] {});
        AddHelp("summary", "help");
        AddMenu("mnuLater", "Later");
        auto* walk = MakeButton("cmdWalk", "Walk");
        connect(walk, &QPushButton::clicked, this, [this] { Walk(); });
        PlaceSideBySide(new QVBoxLayout, ButtonRow({walk}), 100);
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

class CommonQtTest : public QObject {
    Q_OBJECT
  private slots:
    void saveOptionsFollowTheExtension();
    void directoryPickerOkCancelAndPosition();
    void displayPaneShowsCrLfAsLineBreaks();
    void nameFiltersForQt();
    void recentImagesAcrossRestarts();
    void helpMenuOpensThePage();
    void menusHoldTheSharedEntriesAndEachSection();
    void dropOpensTheFirstRegularFileAndRemembersOpenedImages();
    void busyRefusesActionsAndClosingStopsTheWalk();
    void saveDisplayWritesThePaneOrSaysWhy();
};

void CommonQtTest::saveOptionsFollowTheExtension() {
    dialogSaveFile dialog;
    auto* expand = dialog.findChild<QCheckBox*>("chkExpandSpaces");
    auto* little = dialog.findChild<QCheckBox*>("chkLittleEndian");
    auto* addLength = dialog.findChild<QRadioButton*>("optDelimiter_0");
    auto* addCrlf = dialog.findChild<QRadioButton*>("optDelimiter_2");
    QVERIFY(expand && little && addLength && addCrlf);
    QCOMPARE(dialog.windowTitle(), QString("Save File Options"));

    dialog.Prepare("PROG", "sa");
    QCOMPARE(dialog.findChild<QLabel*>("lblFileName")->text(), QString("PROG.sa"));
    QVERIFY(addCrlf->isChecked());
    QVERIFY(expand->isChecked() && expand->isEnabled());
    QVERIFY(!little->isEnabled());

    dialog.Prepare("ODD", "Q7");
    QCOMPARE(dialog.Delimiter(), int(DataOnly));
    QVERIFY(!expand->isChecked());

    addLength->click();
    QVERIFY(!expand->isChecked() && !expand->isEnabled());
    QVERIFY(little->isEnabled());
    little->click();
    QVERIFY(dialog.Options().littleEndian && dialog.Options().lengthPrefix);

    // OK and Cancel set the return value while the dialog runs.
    QTimer::singleShot(0, [&] { dialog.findChild<QPushButton*>("cmdOK")->click(); });
    dialog.ShowSaveFile("A", "SA");
    QVERIFY(dialog.ReturnValue);
    QVERIFY(little->isChecked()); // the choice is kept from one file to the next
    QTimer::singleShot(0, [&] { dialog.findChild<QPushButton*>("cmdCancel")->click(); });
    dialog.ShowSaveFile("A", "SA");
    QVERIFY(!dialog.ReturnValue);
}

void CommonQtTest::directoryPickerOkCancelAndPosition() {
    QTemporaryDir temp;
    const QString folder = temp.path() + "/pick";
    QDir().mkpath(folder);
    auto settings = QtSettingsStore::InFile((temp.path() + "/settings.ini").toStdString());
    settings->SaveSetting("SaveALL", "Top", "40");
    settings->SaveSetting("SaveALL", "Left", "60");

    QtPrompts prompts(nullptr, *settings);
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<dialogGetDirectory*>(QApplication::activeModalWidget());
        QVERIFY(picker);
        QCOMPARE(picker->windowTitle(), QString("Directory Path Save All"));
        QCOMPARE(picker->PathBox()->text(), folder);
        QCOMPARE(picker->pos(), QPoint(60, 40));
        picker->move(70, 50);
        picker->findChild<QPushButton*>("cmdOK")->click();
    });
    DirectoryPickResult chosen =
        prompts.PickDirectory("Directory Path Save All", folder.toStdString());
    QCOMPARE(QString::fromStdString(chosen.directory), folder);
    QVERIFY(!chosen.cancelled);
    QCOMPARE(settings->GetSetting("SaveALL", "Left"), std::string("70"));
    QCOMPARE(settings->GetSetting("SaveALL", "Top"), std::string("50"));

    QTimer::singleShot(0, [&] {
        QApplication::activeModalWidget()->findChild<QPushButton*>("cmdCancel")->click();
    });
    chosen = prompts.PickDirectory("Directory Path Save All", folder.toStdString());
    QVERIFY(chosen.cancelled);
    QVERIFY(chosen.directory.empty());

    // The close box keeps the start folder.
    QTimer::singleShot(0, [&] { QApplication::activeModalWidget()->close(); });
    chosen = prompts.PickDirectory("Directory Path Save All", folder.toStdString());
    QVERIFY(!chosen.cancelled);
    QCOMPARE(QString::fromStdString(chosen.directory), folder);
}

void CommonQtTest::displayPaneShowsCrLfAsLineBreaks() {
    QPlainTextEdit pane;
    QtDisplaySink::SetUpPane(&pane);
    QtDisplaySink sink(&pane);
    sink.Append("first line\r\nsecond");
    sink.Append(" piece\r\n");
    QCOMPARE(pane.document()->blockCount(), 3);
    QCOMPARE(pane.document()->findBlockByNumber(1).text(), QString("second piece"));
    QCOMPARE(sink.Text(), std::string("first line\r\nsecond piece\r\n"));
    // A CR LF split between two pieces is one line break.
    sink.Append("third\r");
    sink.Append("\nfourth\r");
    sink.Append("fifth");
    QCOMPARE(sink.Text(), std::string("first line\r\nsecond piece\r\nthird\r\nfourth\r\nfifth"));
    QVERIFY(pane.isReadOnly());
    QCOMPARE(pane.lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(QFontInfo(pane.font()).fixedPitch());
    sink.Clear();
    QCOMPARE(sink.Text(), std::string());
}

void CommonQtTest::nameFiltersForQt() {
    const QStringList filters =
        QtNameFilters("Text File (*.txt)|*.txt|VersaDoS Text File|*.AF;*.AG|All Files (*.*)|*.*");
    QCOMPARE(filters, QStringList({"Text File (*.txt)", "VersaDoS Text File (*.AF *.AG)",
                                   "All Files (*.*)"}));
    QCOMPARE(QtNameFilters("Disassembled Files (*.dasm;*.dlst)|*.dasm;*.dlst"),
             QStringList({"Disassembled Files (*.dasm *.dlst)"}));
}

void CommonQtTest::recentImagesAcrossRestarts() {
    QTemporaryDir temp;
    const std::string file = (temp.path() + "/recent.ini").toStdString();
    std::vector<QString> images;
    for (int i = 0; i < 10; ++i) {
        images.push_back(temp.path() + QString("/disk%1.imd").arg(i));
        QFile f(images.back());
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    {
        auto settings = QtSettingsStore::InFile(file);
        for (const QString& image : images)
            RememberImage(*settings, image);
        RememberImage(*settings, images[3]); // opened again: moves to the top
    }
    auto settings = QtSettingsStore::InFile(file);
    std::vector<std::string> list = RecentImages(*settings).List();
    QCOMPARE(list.size(), size_t(8));
    QCOMPARE(QString::fromStdString(list[0]), images[3]);
    QCOMPARE(QString::fromStdString(list[1]), images[9]);
    QCOMPARE(QString::fromStdString(list[7]), images[2]);

    // Choosing an image that has gone away says so and drops it; others open.
    QMainWindow window;
    QMenu* fileMenu = window.menuBar()->addMenu("File");
    QAction* exit = fileMenu->addAction("Exit");
    ScriptedPrompts prompts;
    QStringList opened;
    QMenu* recent = AddRecentImagesMenu(fileMenu, exit, *settings, prompts,
                                        [&](const QString& path) { opened << path; });
    QFile::remove(images[9]);
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 8);
    recent->actions()[1]->trigger();
    QCOMPARE(prompts.messages.size(), size_t(1));
    QCOMPARE(prompts.messages[0].title, std::string("Recent images"));
    QVERIFY(opened.isEmpty());
    QCOMPARE(RecentImages(*settings).List().size(), size_t(7));
    emit recent->aboutToShow();
    recent->actions()[0]->trigger();
    QCOMPARE(opened, QStringList({images[3]}));
}

void CommonQtTest::helpMenuOpensThePage() {
    QMainWindow window;
    AddHelpMenu(&window, "Kestrel", "summary", "<h3>Kestrel</h3><p>the controls</p>");
    auto* page = window.findChild<QAction*>("mnuHelpPage");
    QVERIFY(page);
    QCOMPARE(page->shortcut(), QKeySequence(QKeySequence::HelpContents));
    QString title, text;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        title = dialog->windowTitle();
        text = dialog->findChild<QTextBrowser*>()->toPlainText();
        dialog->close();
    });
    page->trigger();
    QCOMPARE(title, QString("Kestrel Help"));
    QVERIFY(text.contains("the controls"));
    QVERIFY(window.findChild<QAction*>("mnuAbout"));
}

void CommonQtTest::menusHoldTheSharedEntriesAndEachSection() {
    Bare t;
    QCOMPARE(
        Names(t.Find<QMenu>("mnuFile")->actions()),
        QStringList({"mnuOpen", "mnuClose", "mnuOpenMore", "mnuRecentImages", "-", "mnuSaveTxt",
                     "mnuSaveMore", "-", "mnuImageInfo", "mnuReport", "-", "mnuExit"}));
    // Help stays last, whatever a window adds after it; Options is made once.
    QCOMPARE(Names(t.window.menuBar()->actions()),
             QStringList({"mnuFile", "mnuOptions", "mnuLater", "mnuHelp"}));
    QCOMPARE(t.Find<QMenu>("mnuOptions")->actions().size(), 1);
    QCOMPARE(t.Text("lblVersion"), QString("V ") + SUITE_VERSION);
    // An image dropped on the pane opens, as one dropped anywhere else on the window.
    auto* pane = t.Find<QPlainTextEdit>("rtfDisplay");
    QVERIFY(!pane->acceptDrops() && !pane->viewport()->acceptDrops() && t.window.acceptDrops());
    QCOMPARE(t.Enabled({"mnuOpen", "mnuClose", "mnuSaveTxt", "mnuImageInfo", "cmdABORT"}),
             (QList<bool>{true, false, true, false, false}));
}

void CommonQtTest::dropOpensTheFirstRegularFileAndRemembersOpenedImages() {
    const std::string dir = TempDir("shell-drop");
    for (const char* name : {"/a.img", "/b.img", "/c.bad"})
        std::ofstream(dir + name) << "x";
    const QString folder = QString::fromStdString(dir);
    Bare t;
    QVERIFY(!t.Drop({folder}));
    QVERIFY(!t.Drop({folder + "/missing.img"}));
    QVERIFY(t.Pane().isEmpty());
    QVERIFY(t.Drop({folder, folder + "/a.img", folder + "/b.img"}));
    t.prompts.fileAnswers.push_back({}); // a cancelled Open dialog changes nothing
    t.Click("mnuOpen");
    QCOMPARE(t.Enabled({"mnuClose", "mnuImageInfo"}), (QList<bool>{true, true}));
    QCOMPARE(t.window.windowTitle(), "Bare " + folder + "/a.img");
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

void CommonQtTest::busyRefusesActionsAndClosingStopsTheWalk() {
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

void CommonQtTest::saveDisplayWritesThePaneOrSaysWhy() {
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

QTEST_MAIN(CommonQtTest)
#include "test_common_qt.moc"
