#include "ImdBuilder.h"
#include "MemoryOpener.h"
#include "TamarinFixture.h"
#include "WindowDriver.h"
#include "window/formTamarin.h"

namespace {

SampleInodes inodes;

// Tamarin's window opening every path as a volume built in memory.
struct Tamarin : WindowUnderTest<formTamarin> {
    explicit Tamarin(ByteString image = SampleSystemV68(&inodes).Build())
        : WindowUnderTest(FromMemory([this](const std::string& path,
                                            Prompts&) -> std::unique_ptr<SectorSource> {
                              opened.push_back(path);
                              if (refuse) return nullptr;
                              return std::make_unique<MemorySectors>(volume, 256);
                          }),
                          [](SectorSource&, DisplaySink& sink) { sink.Append("summary\r\n"); }),
          volume(std::move(image)) {}
    bool Explorable() { return window.Session().IsExplorable(); }
    // The text the core gives for the same thing, with the pane's line breaks.
    static QString AsPane(const std::string& text) {
        return QString::fromStdString(text).replace("\r\n", "\n").replace('\r', '\n');
    }

    ByteString volume;
    bool refuse = false;
    std::vector<std::string> opened;
};

} // namespace

class TamarinWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensAnExplorableVolume();
    void volumeThatIsNotExploredRefusedAndClosed();
    void displayOptions();
    void navigationIntoAndOutOfDirectories();
    void entriesOfNoInode();
    void buttonsAndImageInfo();
    void stopEndsALongDump();
    void saveFileAndDisplay();
};

void TamarinWindowTest::opensAnExplorableVolume() {
    Tamarin t;
    QCOMPARE(t.window.windowTitle(), QString("System V/68 File System"));
    QCOMPARE(t.Enabled({"cmdDisplaySuperBlock", "cmdDisplayBlock", "cmdDisplayInodeTable",
                        "cmdABORT", "optDisplay_0", "optDisplay_3", "listDIR", "mnuSaveFile",
                        "mnuSaveTxt", "mnuOpen"}),
             (QList<bool>{false, false, false, false, false, false, false, false, true, true}));

    t.OpenByMenu("/images/sample.imd");
    QCOMPARE(t.prompts.fileRequests[0].title, std::string("Open System V/68 IMD File"));
    QCOMPARE(t.window.windowTitle(), QString("System V/68 File System /images/sample.imd"));
    QVERIFY(t.Explorable());
    QCOMPARE(t.Items("listDIR"),
             (QStringList{"(.)", "(..)", "(etc)", "(bin)", "empty", "small", "big", "holes",
                          "sparse", "abcdefghijklmn", "(dev)", "(usr)"}));
    QCOMPARE(t.Enabled({"cmdDisplaySuperBlock", "cmdDisplayBlock", "cmdDisplayInodeTable",
                        "cmdABORT", "listDIR", "mnuSaveFile"}),
             (QList<bool>{true, true, true, false, true, true}));
    QVERIFY(t.Find<QRadioButton>("optDisplay_0")->isChecked());
    // The root directory's inode info is shown.
    StringSink expected;
    t.window.Session().Volume().Inodes().DisplayInodeFull(expected, 2);
    QCOMPARE(t.Pane(), Tamarin::AsPane(expected.Text()));
    QVERIFY(t.prompts.messages.empty());
}

void TamarinWindowTest::volumeThatIsNotExploredRefusedAndClosed() {
    SystemV68Builder b = SampleSystemV68();
    b.fsType = 1;
    Tamarin t(b.Build());
    t.Open("/images/type1.imd");
    QVERIFY(t.window.Session().IsOpen() && !t.Explorable());
    QVERIFY(t.Items("listDIR").isEmpty());
    QCOMPARE(t.Enabled({"cmdDisplaySuperBlock", "cmdDisplayBlock", "cmdDisplayInodeTable",
                        "optDisplay_2", "mnuSaveFile", "mnuSaveTxt", "mnuClose"}),
             (QList<bool>{false, false, false, false, false, true, true}));
    QVERIFY(t.Pane().startsWith("\nVolume ID\nSV68:0000\n"));
    QCOMPARE(t.Pane().count("Volume ID\n"), 1);

    // A refused image closes the open one first and leaves none.
    t.refuse = true;
    t.OpenByMenu("/images/broken.imd");
    QCOMPARE(t.opened.back(), std::string("/images/broken.imd"));
    QVERIFY(!t.window.Session().IsOpen());
    QCOMPARE(t.window.windowTitle(), QString("System V/68 File System"));

    // Close empties the window.
    t.refuse = false;
    t.volume = SampleSystemV68().Build();
    t.Open("/images/sample.imd");
    t.Click("mnuClose");
    QVERIFY(!t.window.Session().IsOpen() && t.Items("listDIR").isEmpty());
    QCOMPARE(t.Enabled({"cmdDisplaySuperBlock", "mnuSaveFile", "mnuClose"}),
             (QList<bool>{false, false, false}));
}

void TamarinWindowTest::displayOptions() {
    Tamarin t;
    t.Open("/images/sample.imd");
    t.DoubleClickRow("listDIR", "(etc)");
    t.ClickRow("listDIR", "passwd");
    StringSink info;
    t.window.Session().Volume().Inodes().DisplayInodeFull(info, inodes.passwd);
    QCOMPARE(t.Pane(), Tamarin::AsPane(info.Text()));

    t.Click("optDisplay_1");
    QCOMPARE(t.window.DisplayMode(), 1);
    QVERIFY(t.Pane().contains("root:x:0:0:Super-User:/:/bin/sh\ndaemon:x:1:1::/:\n"));
    QVERIFY(t.Pane().contains("<C8>\tend of file"));

    t.Click("optDisplay_2");
    QVERIFY(t.Pane().contains("\n00000000/0000:0000  72 6F 6F 74 "));
    QCOMPARE(t.Enabled({"mnuSaveFile"}), QList<bool>{true});

    t.Click("optDisplay_3");
    QVERIFY(t.Pane().isEmpty());
    QCOMPARE(t.Enabled({"mnuSaveFile"}), QList<bool>{false});
    t.ClickRow("listDIR", "motd");
    QVERIFY2(t.Pane().isEmpty(), "option 3 leaves the pane empty");

    t.Click("optDisplay_1");
    QCOMPARE(t.Enabled({"mnuSaveFile"}), QList<bool>{true});
    QVERIFY2(t.Pane().contains("Release 3\n\nWelcome.\n"), "a lone CR breaks the line too");
    t.ClickRow("listDIR", "(..)");
    QVERIFY2(t.Pane().startsWith("         iNode    Filename\n"), "Display of a directory");
}

void TamarinWindowTest::navigationIntoAndOutOfDirectories() {
    Tamarin t;
    t.Open("/images/sample.imd");
    t.DoubleClickRow("listDIR", "(usr)");
    QCOMPARE(t.Items("listDIR"), (QStringList{"(.)", "(..)", "(src)", "(links)"}));
    QVERIFY(t.Pane().startsWith("\nInode " + QString::number(inodes.usr) + "  Type/Mode 41ED\n"));
    QCOMPARE(t.Find<QListWidget>("listDIR")->currentRow(), -1);
    // Each double click and the rows then listed; a file is not entered, "(links)" spans two
    // directory blocks.
    const std::pair<const char*, qsizetype> steps[] = {{"(src)", 3},   {"hello.c", 3}, {"(..)", 4},
                                                       {"(..)", 12},   {"(.)", 12},    {"(usr)", 4},
                                                       {"(links)", 72}};
    for (const auto& [row, count] : steps) {
        t.DoubleClickRow("listDIR", row);
        QVERIFY2(t.Items("listDIR").size() == count, row);
        if (count == 3) QCOMPARE(t.Items("listDIR"), (QStringList{"(.)", "(..)", "hello.c"}));
    }
}

void TamarinWindowTest::entriesOfNoInode() {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    b.AddEntry(2, "ghost", 500);
    b.AddEntry(2, "stale", n.freed);
    Tamarin t(b.Build());
    t.Open("/images/sample.imd");
    for (const char* name : {"ghost", "stale"}) {
        t.Click("optDisplay_0");
        t.ClickRow("listDIR", name);
        QVERIFY(t.Pane().isEmpty());
        t.Click("optDisplay_2");
        QVERIFY(t.Pane().isEmpty());
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("ghost");
    t.ClickRow("listDIR", "ghost");
    t.prompts.fileAnswers.push_back({path.toStdString(), false});
    t.Click("mnuSaveFile");
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("ghost"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(t.prompts.messages.size(), size_t(1)); // the core's refusal, worded in test_Contents
}

void TamarinWindowTest::buttonsAndImageInfo() {
    Tamarin t;
    t.Open("/images/sample.imd");
    t.Click("cmdDisplaySuperBlock");
    StringSink expected;
    t.window.Session().Volume().ShowSuperBlockReport(expected);
    QCOMPARE(t.Pane(), Tamarin::AsPane(expected.Text()));

    t.Click("cmdDisplayInodeTable");
    StringSink table;
    EventHook hook;
    t.window.Session().Volume().Inodes().DisplayInodeTable(table, hook);
    QCOMPARE(t.Pane(), Tamarin::AsPane(table.Text()));

    // 990 lies beyond the volume and abc1 is no number: asked again; block 0, the volume ID.
    t.prompts.inputAnswers = {"990", "abc1", "0", "1"};
    t.Click("cmdDisplayBlock");
    QCOMPARE(t.prompts.inputs.size(), size_t(3));
    QCOMPARE(t.prompts.inputs[0].title, std::string("Select Block"));
    QVERIFY(t.Pane().startsWith("0000  53 56 36 38 "));
    const QString before = t.Pane();
    t.prompts.inputAnswers = {};
    t.Click("cmdDisplayBlock");
    // A cancelled box changes nothing.
    QCOMPARE(t.Pane(), before);

    t.Click("mnuImageInfo");
    QCOMPARE(t.Pane(), QString("summary\n"));
}

void TamarinWindowTest::stopEndsALongDump() {
    Tamarin t;
    t.Open("/images/sample.imd");
    t.Click("optDisplay_2");
    bool stopOn = false;
    t.WhileBusy([&] {
        stopOn = t.Find<QPushButton>("cmdABORT")->isEnabled();
        t.DoubleClickRow("listDIR", "(etc)"); // refused while busy
        t.Click("cmdABORT");
    });
    t.ClickRow("listDIR", "big");
    QVERIFY(stopOn);
    QCOMPARE(t.Enabled({"cmdABORT"}), QList<bool>{false});
    const QString dump = t.Pane();
    QVERIFY(dump.contains("/0000:0000  "));
    QVERIFY2(!dump.contains("0004AC00/012B:"), "stopped before the last of 300 blocks");
    QCOMPARE(t.Items("listDIR").size(), 12);
}

void TamarinWindowTest::saveFileAndDisplay() {
    Tamarin t;
    QTemporaryDir dir;
    // The volume also as an ImageDisk file read with errors from sector 100 on, for the damage
    // scan that reads the image again.
    std::vector<std::pair<int, ImdRecord>> damaged;
    for (int sector = 100; sector < static_cast<int>(t.volume.size() / 256); ++sector)
        damaged.emplace_back(sector, ImdRecord::DataError);
    const std::string image = dir.filePath("sample.imd").toStdString();
    WriteDamagedLogicalImage(t.volume, damaged, image);
    t.Open(image);
    t.ClickRow("listDIR", "big");
    const QString big = dir.filePath("big.bin");
    t.prompts.fileAnswers.push_back({big.toStdString(), false});
    t.Click("mnuSaveFile");
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("big"));
    QVERIFY(ReadHostFile(big.toStdString()) == PatternBytes(307200, 3));
    QVERIFY(t.LastMessage().text.starts_with("big: saved with damaged bytes "));
    QCOMPARE(t.settings.GetSetting("Paths", "ELSE"), dir.path().toStdString() + "/");

    t.ClickRow("listDIR", "(etc)");
    const QString etc = dir.filePath("etc.dir");
    t.prompts.fileAnswers.push_back({etc.toStdString(), false});
    t.Click("mnuSaveFile");
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("(etc)"));
    // A directory's raw entries.
    QCOMPARE(ReadHostFile(etc.toStdString()).size(), size_t(64));

    t.Click("mnuSaveTxt"); // cancelled; the display's name is proposed as the file's
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("(etc)"));

    t.Click("optDisplay_3");
    t.Click("mnuSaveFile");
    // The three saves; Save File does nothing with option 3.
    QCOMPARE(t.prompts.fileRequests.size(), size_t(3));
}

QTEST_MAIN(TamarinWindowTest)
#include "test_formTamarin.moc"
