#include "SettingsStore.h"
#include "TamarinFixture.h"
#include "window/formTamarin.h"

#include <QAction>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// The window with scripted dialogs, opening every path as a volume built in memory.
struct Window {
    explicit Window(ByteString image = SampleSystemV68(&inodes).Build())
        : form(
              [this](const std::string& path, Prompts&) -> std::unique_ptr<SectorSource> {
                  opened.push_back(path);
                  if (refuse) return nullptr;
                  return std::make_unique<MemorySectors>(volume, 256);
              },
              [this](SectorSource&, DisplaySink& sink) { sink.Append("summary\r\n"); }, &prompts,
              &settings) {
        volume = std::move(image);
    }
    template <typename T> T* Find(const char* name) { return form.findChild<T*>(name); }
    // Whether each named button, option, list or menu item is enabled.
    QList<bool> Enabled(std::initializer_list<const char*> names) {
        QList<bool> states;
        for (const char* name : names) {
            QObject* control = form.findChild<QObject*>(name);
            if (!control) qFatal("no control %s", name);
            states << (qobject_cast<QAction*>(control)
                           ? qobject_cast<QAction*>(control)->isEnabled()
                           : qobject_cast<QWidget*>(control)->isEnabled());
        }
        return states;
    }
    QStringList Lines() {
        QStringList lines;
        auto* list = Find<QListWidget>("listDIR");
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    int Row(const QString& text) {
        auto* list = Find<QListWidget>("listDIR");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == text) return i;
        return -1;
    }
    // Selects a line and clicks it, or double-clicks it. The selection is made without the
    // keyboard's signal, which would show the line once more when the list has the focus.
    void Select(const QString& text) {
        const QSignalBlocker blocker(Find<QListWidget>("listDIR"));
        Find<QListWidget>("listDIR")->setCurrentRow(Row(text));
    }
    void Click(const QString& text) {
        Select(text);
        form.listDIR_Click();
    }
    void DoubleClick(const QString& text) {
        Select(text);
        form.listDIR_DblClick();
    }
    QString Display() { return Find<QPlainTextEdit>("rtfDisplay")->toPlainText(); }
    void Open(const char* path = "/images/sample.imd") {
        prompts.fileAnswers.push_back({path, false});
        form.mnuOpen_Click();
    }

    static inline SampleInodes inodes;
    ByteString volume;
    bool refuse = false;
    std::vector<std::string> opened;
    ScriptedPrompts prompts;
    MemorySettings settings;
    formTamarin form;
};

// The text the core gives for the same thing, with the pane's line breaks.
QString Pane(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n").replace('\r', '\n');
}

ByteString ReadHostFile(const QString& path) {
    return ::ReadHostFile(path.toStdString());
}

} // namespace

class TamarinWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startState();
    void openExplorableVolume();
    void openVolumeThatIsNotExplored();
    void refusedImageAndClose();
    void displayOptions();
    void navigationIntoAndOutOfDirectories();
    void entriesOfNoInode();
    void buttons();
    void stopDuringALongDumpAndNoClosingWhileBusy();
    void saveFileAndDisplay();
    void dropAndImageInfo();
};

void TamarinWindowTest::startState() {
    Window w;
    QCOMPARE(w.form.windowTitle(), QString("System V/68 File System"));
    QCOMPARE(w.Enabled({"cmdDisplaySuperBlock", "cmdDisplayBlock", "cmdDisplayInodeTable",
                        "cmdABORT", "optDisplay_0", "optDisplay_3", "listDIR", "mnuSaveFile",
                        "mnuSaveTxt", "mnuOpen"}),
             (QList<bool>{false, false, false, false, false, false, false, false, true, true}));
    QVERIFY(w.Find<QRadioButton>("optDisplay_0")->isChecked());
}

void TamarinWindowTest::openExplorableVolume() {
    Window w;
    w.Open();
    QCOMPARE(w.prompts.fileRequests.size(), size_t(1));
    QCOMPARE(w.prompts.fileRequests[0].title, std::string("Open System V/68 IMD File"));
    QCOMPARE(w.form.windowTitle(), QString("System V/68 File System /images/sample.imd"));
    QVERIFY(w.form.DriveOpen() && w.form.Explorable());
    QCOMPARE(w.Lines(), (QStringList{"(.)", "(..)", "(etc)", "(bin)", "empty", "small", "big",
                                     "holes", "sparse", "abcdefghijklmn", "(dev)", "(usr)"}));
    QCOMPARE(w.Enabled({"cmdDisplaySuperBlock", "cmdDisplayBlock", "cmdDisplayInodeTable",
                        "cmdABORT", "listDIR", "mnuSaveFile"}),
             (QList<bool>{true, true, true, false, true, true}));
    QVERIFY(w.Find<QRadioButton>("optDisplay_0")->isChecked());
    // The root directory's inode info is shown.
    StringSink expected;
    w.form.Session().Volume().Inodes().DisplayInodeFull(expected, 2);
    QCOMPARE(w.Display(), Pane(expected.Text()));
    QVERIFY(w.prompts.messages.empty());
}

void TamarinWindowTest::openVolumeThatIsNotExplored() {
    SystemV68Builder b = SampleSystemV68();
    b.fsType = 1;
    Window w(b.Build());
    w.Open();
    QVERIFY(w.form.DriveOpen());
    QVERIFY(!w.form.Explorable());
    QVERIFY(w.Lines().isEmpty());
    QCOMPARE(w.Enabled({"cmdDisplaySuperBlock", "cmdDisplayBlock", "cmdDisplayInodeTable",
                        "optDisplay_2", "mnuSaveFile", "mnuSaveTxt"}),
             (QList<bool>{false, false, false, false, false, true}));
    QVERIFY(w.Display().startsWith("\nVolume ID\nSV68:0000\n"));
    QCOMPARE(w.Display().count("Volume ID\n"), 1);
    // The handlers do nothing without an explored volume.
    w.form.cmdDisplayBlock_Click();
    w.form.cmdDisplayInodeTable_Click();
    QVERIFY(w.prompts.inputs.empty());
    QVERIFY(w.Display().startsWith("\nVolume ID\n"));
}

void TamarinWindowTest::refusedImageAndClose() {
    Window w;
    w.Open("/images/first.imd");
    QVERIFY(w.form.Explorable());
    w.refuse = true;
    w.Open("/images/broken.imd");
    QCOMPARE(w.opened.back(), std::string("/images/broken.imd"));
    // The open disk was closed first.
    QVERIFY(!w.form.DriveOpen());
    QVERIFY(w.Lines().isEmpty());

    w.refuse = false;
    w.Open();
    QVERIFY(w.form.Explorable());
    w.prompts.fileAnswers.push_back({});
    w.form.mnuOpen_Click();
    // A cancelled dialog changes nothing.
    QVERIFY(w.form.Explorable());
    w.form.mnuClose_Click();
    QVERIFY(!w.form.DriveOpen());
    QCOMPARE(w.form.windowTitle(), QString("System V/68 File System"));
    QVERIFY(w.Lines().isEmpty());
    QVERIFY(w.Display().isEmpty());
    QCOMPARE(w.Enabled({"cmdDisplaySuperBlock", "mnuSaveFile", "mnuClose"}),
             (QList<bool>{false, false, false}));
}

void TamarinWindowTest::displayOptions() {
    Window w;
    w.Open();
    w.Click("(etc)");
    w.DoubleClick("(etc)");
    w.Click("passwd");
    StringSink info;
    w.form.Session().Volume().Inodes().DisplayInodeFull(info, w.inodes.passwd);
    QCOMPARE(w.Display(), Pane(info.Text()));

    w.Find<QRadioButton>("optDisplay_1")->click();
    QCOMPARE(w.form.DisplayMode(), 1);
    QVERIFY(w.Display().contains("root:x:0:0:Super-User:/:/bin/sh\ndaemon:x:1:1::/:\n"));
    QVERIFY(w.Display().contains("<C8>\tend of file"));

    w.Find<QRadioButton>("optDisplay_2")->click();
    QVERIFY(w.Display().contains("\n00000000/0000:0000  72 6F 6F 74 "));
    QVERIFY(w.Find<QAction>("mnuSaveFile")->isEnabled());

    w.Find<QRadioButton>("optDisplay_3")->click();
    QVERIFY(w.Display().isEmpty());
    QVERIFY(!w.Find<QAction>("mnuSaveFile")->isEnabled());
    w.Click("motd");
    QVERIFY2(w.Display().isEmpty(), "option 3 leaves the pane empty");

    w.Find<QRadioButton>("optDisplay_1")->click();
    QVERIFY(w.Find<QAction>("mnuSaveFile")->isEnabled());
    QVERIFY2(w.Display().contains("Release 3\n\nWelcome.\n"), "a lone CR breaks the line too");
    w.Click("(..)");
    QVERIFY2(w.Display().startsWith("         iNode    Filename\n"), "Display of a directory");
}

void TamarinWindowTest::navigationIntoAndOutOfDirectories() {
    Window w;
    w.Open();
    w.DoubleClick("(usr)");
    QCOMPARE(w.Lines(), (QStringList{"(.)", "(..)", "(src)", "(links)"}));
    QVERIFY(
        w.Display().startsWith("\nInode " + QString::number(w.inodes.usr) + "  Type/Mode 41ED\n"));
    QCOMPARE(w.Find<QListWidget>("listDIR")->currentRow(), -1);
    w.DoubleClick("(src)");
    QCOMPARE(w.Lines(), (QStringList{"(.)", "(..)", "hello.c"}));
    w.DoubleClick("hello.c");
    // A file is not entered.
    QCOMPARE(w.Lines(), (QStringList{"(.)", "(..)", "hello.c"}));
    w.DoubleClick("(..)");
    QCOMPARE(w.Lines(), (QStringList{"(.)", "(..)", "(src)", "(links)"}));
    w.DoubleClick("(..)");
    QCOMPARE(w.Lines().size(), 12);
    w.DoubleClick("(.)");
    QCOMPARE(w.Lines().size(), 12);
    w.DoubleClick("(usr)");
    w.DoubleClick("(links)");
    // Both blocks of the directory.
    QCOMPARE(w.Lines().size(), 72);
}

void TamarinWindowTest::entriesOfNoInode() {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    b.AddEntry(2, "ghost", 500);
    b.AddEntry(2, "stale", n.freed);
    Window w(b.Build());
    w.Open();
    QVERIFY(w.Lines().contains("ghost"));
    for (const char* name : {"ghost", "stale"}) {
        w.Find<QRadioButton>("optDisplay_0")->click();
        w.Click(name);
        QVERIFY(w.Display().isEmpty());
        w.Find<QRadioButton>("optDisplay_2")->click();
        QVERIFY(w.Display().isEmpty());
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("ghost");
    w.Click("ghost");
    w.prompts.fileAnswers.push_back({path.toStdString(), false});
    w.form.mnuSaveFile_Click();
    QCOMPARE(w.prompts.fileRequests.back().suggestedName, std::string("ghost"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(w.prompts.messages[0].text,
             std::string("iNode 500 is not in the inode table (1 to 128): nothing was saved."));
}

void TamarinWindowTest::buttons() {
    Window w;
    w.Open();
    w.form.cmdDisplaySuperBlock_Click();
    StringSink expected;
    w.form.Session().Volume().ShowSuperBlockReport(expected);
    QCOMPARE(w.Display(), Pane(expected.Text()));

    w.form.cmdDisplayInodeTable_Click();
    StringSink table;
    EventHook hook;
    w.form.Session().Volume().Inodes().DisplayInodeTable(table, hook);
    QCOMPARE(w.Display(), Pane(table.Text()));

    // 990 lies beyond the volume: asked again; abc1 reads as 0: block 0, the volume ID.
    w.prompts.inputAnswers = {"990", "abc1", "1"};
    w.form.cmdDisplayBlock_Click();
    QCOMPARE(w.prompts.inputs.size(), size_t(2));
    QVERIFY(w.Display().startsWith("0000  53 56 36 38 "));
    const QString before = w.Display();
    w.prompts.inputAnswers = {};
    w.form.cmdDisplayBlock_Click();
    // A cancelled box changes nothing.
    QCOMPARE(w.Display(), before);
}

void TamarinWindowTest::stopDuringALongDumpAndNoClosingWhileBusy() {
    Window w;
    w.form.show();
    w.Open();
    w.Find<QRadioButton>("optDisplay_2")->click();
    QTest::qWait(20); // the walk's first poll of events is not held back by the last one
    bool closedWhileBusy = true;
    bool stopEnabled = false;
    QTimer::singleShot(0, &w.form, [&] {
        QVERIFY(w.form.IsBusy());
        stopEnabled = w.Find<QPushButton>("cmdABORT")->isEnabled();
        w.form.close();
        closedWhileBusy = !w.form.isVisible();
        w.form.listDIR_DblClick(); // refused while busy
        w.Find<QPushButton>("cmdABORT")->click();
    });
    w.Click("big");
    QVERIFY(stopEnabled);
    QVERIFY2(!closedWhileBusy, "the window stays open while busy");
    QVERIFY(!w.form.IsBusy());
    QVERIFY(!w.Find<QPushButton>("cmdABORT")->isEnabled());
    const QString dump = w.Display();
    QVERIFY(dump.contains("/0000:0000  "));
    QVERIFY2(!dump.contains("0004AC00/012B:"), "stopped before the last of 300 blocks");
    QCOMPARE(w.Lines().size(), 12);
    w.form.close();
    QVERIFY(!w.form.isVisible());
}

void TamarinWindowTest::saveFileAndDisplay() {
    Window w;
    w.Open();
    QTemporaryDir dir;
    w.Click("big");
    const QString big = dir.filePath("big.bin");
    w.prompts.fileAnswers.push_back({big.toStdString(), false});
    w.form.mnuSaveFile_Click();
    QCOMPARE(w.prompts.fileRequests.back().suggestedName, std::string("big"));
    QVERIFY(ReadHostFile(big) == PatternBytes(307200, 3));
    QCOMPARE(w.settings.GetSetting("Paths", "ELSE"), dir.path().toStdString() + "/");

    w.Click("(etc)");
    const QString etc = dir.filePath("etc.dir");
    w.prompts.fileAnswers.push_back({etc.toStdString(), false});
    w.form.mnuSaveFile_Click();
    QCOMPARE(w.prompts.fileRequests.back().suggestedName, std::string("(etc)"));
    // A directory's raw entries.
    QCOMPARE(ReadHostFile(etc).size(), size_t(64));

    const QString text = dir.filePath("display.txt");
    w.prompts.fileAnswers.push_back({text.toStdString(), false});
    w.form.mnuSaveTxt_Click();
    QCOMPARE(w.prompts.fileRequests.back().suggestedName, std::string("(etc)"));
    const ByteString saved = ReadHostFile(text);
    QCOMPARE(
        QString::fromLatin1(reinterpret_cast<const char*>(saved.data()), qsizetype(saved.size())),
        w.Display().replace("\n", "\r\n"));
    QVERIFY(w.prompts.messages.empty());

    w.Find<QRadioButton>("optDisplay_3")->click();
    w.form.mnuSaveFile_Click();
    // The open dialog and the three saves; Save File does nothing with option 3.
    QCOMPARE(w.prompts.fileRequests.size(), size_t(4));
}

void TamarinWindowTest::dropAndImageInfo() {
    Window w;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/images/dropped.imd")});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: the application only delivers drops while a drag is running.
    static_cast<QObject&>(w.form).event(&drop);
    QCOMPARE(w.opened, std::vector<std::string>{"/images/dropped.imd"});
    QVERIFY(w.form.Explorable());
    QCOMPARE(w.form.windowTitle(), QString("System V/68 File System /images/dropped.imd"));
    w.form.OpenImage("relative/disk.imd");
    QCOMPARE(w.form.windowTitle(),
             "System V/68 File System " + QDir::current().filePath("relative/disk.imd"));
    QVERIFY(w.Find<QAction>("mnuImageInfo")->isEnabled());
    w.form.mnuImageInfo_Click();
    QCOMPARE(w.Display(), QString("summary\n"));
}

QTEST_MAIN(TamarinWindowTest)
#include "test_formTamarin.moc"
