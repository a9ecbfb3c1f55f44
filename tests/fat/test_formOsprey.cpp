// Osprey's window, driven offscreen with scripted dialogs: open and refusals, navigation, the
// display options, the save menus, the Offset and Partitions entries, drops and Abort.
#include "FatTestSupport.h"
#include "Golden.h"
#include "ImdBuilder.h"
#include "WindowDriver.h"
#include "window/LongNameDelegate.h"
#include "window/formOsprey.h"

#include <filesystem>

namespace fs = std::filesystem;

using Osprey = WindowUnderTest<formOsprey>;

class OspreyWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensAndShowsTheRoot();
    void refusesFat32AndUnsignedVolumes();
    void navigatesDownTwoLevelsAndBackUp();
    void displayOptionsShowTheSelectedRow();
    void saveFileSaveAsTextAndSaveAll();
    void deletedRowsRecoveredAndTheTreeSaved();
    void offsetAndPartitionsOnlyWhileNoImageIsOpen();
    void abortStopsALongDump();
};

void OspreyWindowTest::opensAndShowsTheRoot() {
    Osprey t;
    QCOMPARE(t.window.windowTitle(), QString("FAT File System"));
    QCOMPARE(t.Enabled({"cmdBootSector", "mnuSaveAll"}), (QList<bool>{false, false}));
    const std::string image = OspreyImages() + "/fat12.img";
    t.OpenByMenu(image);
    QCOMPARE(t.prompts.fileRequests[0].title, std::string("Open FAT Raw File File"));
    QCOMPARE(t.window.windowTitle(), QString::fromStdString("FAT File System " + image));
    auto* list = t.Find<QListWidget>("listDirectory");
    QCOMPARE(list->count(), 12);
    QCOMPARE(list->item(2)->text(), QString(" HELLO   .TXT "));
    // Lines keep their 8.3 text; the long name is drawn after it.
    QCOMPARE(list->item(3)->data(LongNameDelegate::kLongNameRole).toString(),
             QString("One piece.txt"));
    QVERIFY(list->item(2)->data(LongNameDelegate::kLongNameRole).toString().isEmpty());
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(t.Pane().startsWith("[.           ] "));
    QCOMPARE(t.Text("lblVolumeID"), QString("{OSPREY TEST} "));
    QCOMPARE(t.Text("lblSystemID"), QString("FAT12"));
    QVERIFY(!t.Find<QLabel>("lblSystemID")->styleSheet().contains("0000FF"));
    QCOMPARE(t.Text("lblDirectory"), QString(""));
    QCOMPARE(t.Enabled({"cmdBootSector", "cmdFat0", "cmdDirectory", "cmdRoot", "cmdAbort",
                        "mnuSaveAll", "mnuSaveFile"}),
             (QList<bool>{true, true, true, true, false, true, false})); // "." is selected
    t.ClickRow("listDirectory", " BIG     .BIN ");
    QCOMPARE(t.Enabled({"mnuSaveFile"}), QList<bool>{true});

    const std::pair<const char*, const char*> reports[] = {
        {"cmdBootSector", " Boot Sector Info\n\n  OEM ID              = mkfs.fat"},
        {"cmdFat0", "0000 (0000) 0FF0 0FFF"},
        {"cmdDirectory", "\n THISLO~1.TEX  This long name needs three pieces.text\n"},
        {"cmdRoot", " Raw Root Directory\n\n00000000  4F 53 50 52 45 59"}};
    for (const auto& [button, shown] : reports) {
        t.Click(button);
        QVERIFY2(t.Pane().contains(shown), button);
    }

    t.Click("mnuClose");
    QCOMPARE(t.window.windowTitle(), QString("FAT File System"));
    QCOMPARE(list->count(), 0);
    QCOMPARE(t.Text("lblVolumeID"), QString(""));
    QCOMPARE(t.Enabled({"cmdRoot"}), QList<bool>{false});
    QVERIFY(t.prompts.messages.empty());
}

void OspreyWindowTest::refusesFat32AndUnsignedVolumes() {
    Osprey t;
    t.Open(OspreyImages() + "/clusters-65520.img");
    QCOMPARE(t.prompts.messages.size(), size_t(1));
    QCOMPARE(t.prompts.messages[0].title, std::string("Bad FAT type"));
    QVERIFY(t.Pane().startsWith(" Raw Boot Sector 0\n\n00000000  EB"));
    QVERIFY(t.Items("listDirectory").isEmpty());
    // The raw boot sector shown can be saved; nothing else is open.
    QCOMPARE(
        t.Enabled({"cmdBootSector", "optDisplay_1", "mnuSaveAll", "mnuSaveAsText", "mnuOffset"}),
        (QList<bool>{false, false, false, true, true}));

    t.Open(OspreyImages() + "/mbr-disk.img");
    QCOMPARE(t.prompts.messages.size(), size_t(2));
    QCOMPARE(t.prompts.messages[1].title, std::string("Bad Boot Sector"));
    QVERIFY(!t.window.Explorer().IsOpen());

    // A good image after refusals opens normally; one blue label on a mislabelled volume.
    t.Open(OspreyImages() + "/clusters-4080.img");
    QVERIFY(t.window.Explorer().IsOpen());
    QCOMPARE(t.Text("lblSystemID"), QString("Fat16"));
    QVERIFY(t.Find<QLabel>("lblSystemID")->styleSheet().contains("0000FF"));
}

void OspreyWindowTest::navigatesDownTwoLevelsAndBackUp() {
    Osprey t;
    t.Open(OspreyImages() + "/fat12.img");
    t.DoubleClickRow("listDirectory", "[LEVEL1  .   ]");
    QCOMPARE(t.Text("lblDirectory"), QString("LEVEL1"));
    QCOMPARE(t.Items("listDirectory").size(), 4);
    QCOMPARE(t.Find<QListWidget>("listDirectory")->currentRow(), 0);
    QVERIFY(t.Pane().startsWith("[.           ] "));
    t.DoubleClickRow("listDirectory", "[LEVEL2  .   ]");
    QCOMPARE(t.Text("lblDirectory"), QString("LEVEL2"));
    QCOMPARE(t.Items("listDirectory")[2], QString(" DEEPFI~1.TXT "));
    // A double click on a file does nothing.
    t.DoubleClickRow("listDirectory", " DEEPFI~1.TXT ");
    QCOMPARE(t.Text("lblDirectory"), QString("LEVEL2"));
    t.DoubleClickRow("listDirectory", "[..          ]");
    QCOMPARE(t.Text("lblDirectory"), QString("LEVEL1"));
    // Backspace goes up as well.
    QTest::keyClick(t.Find<QListWidget>("listDirectory"), Qt::Key_Backspace);
    QCOMPARE(t.Text("lblDirectory"), QString(""));
    QCOMPARE(t.Items("listDirectory").size(), 12);
    QCOMPARE(t.window.Explorer().Path().Depth(), 0);
}

void OspreyWindowTest::displayOptionsShowTheSelectedRow() {
    Osprey t;
    t.Open(OspreyImages() + "/fat12.img");
    t.ClickRow("listDirectory", " HELLO   .TXT ");
    QVERIFY(t.Pane().startsWith(" HELLO   .TXT  \n    A C- 09/09/2001"));
    t.Click("optDisplay_1");
    QCOMPARE(t.Pane(), QString("Hello, FAT12!\n"));
    t.Click("optDisplay_2");
    QVERIFY(t.Pane().startsWith("0003-00000000 (0003-0000000) 48 65 6C 6C 6F"));
    // With the dump option, the root's "." row shows the raw root directory.
    t.ClickRow("listDirectory", "[.           ]");
    QVERIFY(t.Pane().startsWith(" Raw Root Directory"));
    t.Click("optDisplay_0");
    QVERIFY(t.Pane().startsWith("[.           ] "));
}

void OspreyWindowTest::saveFileSaveAsTextAndSaveAll() {
    Osprey t;
    t.Open(OspreyImages() + "/fat12.img");
    const std::string dir = TempDir("window-save");
    t.ClickRow("listDirectory", " ATWOPI~1.TXT ");
    t.prompts.fileAnswers.push_back({dir + "/two.txt", false});
    t.Click("mnuSaveFile");
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Save DOS File"));
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("A two piece long name.txt"));
    QCOMPARE(ReadHostFile(dir + "/two.txt"),
             ReadHostFile(OspreyImages() + "/fat12-src/A two piece long name.txt"));

    t.prompts.fileAnswers.push_back({"", false});
    t.Click("mnuSaveAsText");
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Save Display as Text File"));
    t.DoubleClickRow("listDirectory", "[LEVEL1  .   ]");
    t.prompts.directoryAnswers.push_back({dir, false});
    t.Click("mnuSaveAll");
    QCOMPARE(t.prompts.directoryRequests.back().first, std::string("Directory Path Save All"));
    QCOMPARE(t.settings.GetSetting("Paths", "SAVEALL"), dir + "/");
    const std::string file = dir + "/fat12/Level1/inside one.txt";
    QVERIFY(fs::exists(file));
    QCOMPARE(t.Pane(), QString::fromStdString("Saved - " + file +
                                              "\n\n Total Files  - 1  Saved - 1  Failed - 0"));
    QVERIFY(!t.window.IsBusy());
    QCOMPARE(t.Enabled({"cmdRoot"}), QList<bool>{true});
    // Cancelling the picker saves nothing.
    t.Click("mnuSaveAll");
    QCOMPARE(t.prompts.directoryRequests.size(), size_t(2));

    // The same disk as ImageDisk, its data area read with errors: the line says so.
    ImdBuilder imd = ImdFromFlat(ReadHostFile(OspreyImages() + "/fat12.img"), 2, 18, ImdSize::S512,
                                 ImdMode::Mfm500);
    for (int sector = 33; sector < 2880; ++sector)
        DamageSector(imd, sector, 18, ImdRecord::DataError);
    imd.Write(dir + "/fat12.imd");
    t.Open(dir + "/fat12.imd");
    t.DoubleClickRow("listDirectory", "[LEVEL1  .   ]");
    t.prompts.directoryAnswers.push_back({dir, false});
    t.Click("mnuSaveAll");
    QVERIFY(t.Pane().contains("/Level1/inside one.txt: saved with damaged bytes 0-") &&
            t.Pane().endsWith("Failed - 0  With damaged bytes - 1"));
}

void OspreyWindowTest::deletedRowsRecoveredAndTheTreeSaved() {
    Osprey t;
    t.Open(OspreyImages() + "/deleted12.img");
    QCOMPARE(t.Items("listDirectory").size(), 3);
    t.Click("mnuShowDeleted");
    QCOMPARE(t.Items("listDirectory").size(), 8);
    t.ClickRow("listDirectory", " ?CONTI~1.BIN  (deleted)");
    // The character is asked again until it may begin a name; the long name's checksum gave it.
    const std::string dir = TempDir("window-deleted");
    t.prompts.inputAnswers = {std::string("*"), std::string("a")};
    t.prompts.fileAnswers.push_back({dir + "/c.bin", false});
    t.Click("mnuSaveFile");
    QCOMPARE(t.prompts.inputs[0].title, std::string("Recover Deleted File"));
    QCOMPARE(t.prompts.inputs[0].defaultText, std::string("A"));
    QCOMPARE(t.prompts.inputs.size(), size_t(2));
    QCOMPARE(t.prompts.fileRequests.back().suggestedName,
             std::string("A contiguous long name.bin"));
    QCOMPARE(ReadHostFile(dir + "/c.bin"),
             ReadHostFile(OspreyImages() + "/deleted12-src/A contiguous long name.bin"));
    QVERIFY(t.Pane().startsWith("Recovered A contiguous long name.bin: 20000 bytes"));
    t.DoubleClickRow("listDirectory", "[?OLDER  .   ] (deleted)");
    QCOMPARE(t.Items("listDirectory").size(), 4);
    t.Click("mnuShowDeleted");
    QCOMPARE(t.Items("listDirectory").size(), 2);
    t.DoubleClickRow("listDirectory", "[..          ]");
    t.prompts.directoryAnswers.push_back({dir, false});
    t.Click("mnuSaveAllTree");
    QCOMPARE(ReadHostFile(dir + "/deleted12/Live/NEWER.TXT"),
             ReadHostFile(OspreyImages() + "/deleted12-src/NEWER.TXT"));
    QVERIFY(t.Pane().endsWith("Total Files  - 2  Saved - 2  Failed - 0"));
}

void OspreyWindowTest::offsetAndPartitionsOnlyWhileNoImageIsOpen() {
    Osprey t;
    QCOMPARE(t.Enabled({"mnuOffset", "mnuPartitions"}), (QList<bool>{true, true}));
    // A refused answer is asked again; the accepted one is the new offset.
    t.prompts.inputAnswers = {std::string("31.5k"), std::string("&H7E00")};
    t.Click("mnuOffset");
    QCOMPARE(t.prompts.inputs.size(), size_t(2));
    QCOMPARE(t.prompts.inputs[0].prompt, std::string("Input Offset (0 to 2GB)"));
    QCOMPARE(t.prompts.inputs[0].title, std::string("Partition Offset"));
    QCOMPARE(t.prompts.inputs[0].defaultText, std::string("0"));
    QCOMPARE(t.window.Explorer().PartitionOffset(), 32256);
    QCOMPARE(t.Text("lblOffset"), QString("Partition offset 32256"));
    // Cancel leaves it.
    t.Click("mnuOffset");
    QCOMPARE(t.prompts.inputs.back().defaultText, std::string("32256"));
    QCOMPARE(t.window.Explorer().PartitionOffset(), 32256);

    t.Open(OspreyImages() + "/mbr-disk.img");
    QVERIFY(t.window.Explorer().IsOpen());
    QCOMPARE(t.Text("lblVolumeID"), QString("{PARTITION  } "));
    QCOMPARE(t.Enabled({"mnuOffset", "mnuPartitions"}), (QList<bool>{false, false}));
    t.Click("mnuClose");
    QCOMPARE(t.Enabled({"mnuOffset"}), QList<bool>{true});

    // Partitions: the list, a partition chosen, the image opened at its start.
    t.window.Explorer().SetPartitionOffset(0);
    t.prompts.fileAnswers.push_back({OspreyImages() + "/mbr-disk.img", false});
    t.prompts.inputAnswers = {std::string("7"), std::string("1")};
    t.Click("mnuPartitions");
    QCOMPARE(t.prompts.inputs.back().title, std::string("Partitions"));
    QCOMPARE(t.prompts.inputs.back().defaultText, std::string("1"));
    QCOMPARE(t.window.Explorer().PartitionOffset(), 32256);
    QVERIFY(t.window.Explorer().IsOpen());
    QCOMPARE(t.Items("listDirectory")[1], QString(" README  .TXT "));
    t.Click("mnuClose");
    // An image without a partition table says so.
    t.prompts.fileAnswers.push_back({OspreyImages() + "/fat12.img", false});
    t.Click("mnuPartitions");
    QCOMPARE(t.LastMessage().title, std::string("Partitions"));
    QCOMPARE(t.LastMessage().text, std::string("No partition table in this image"));
}

void OspreyWindowTest::abortStopsALongDump() {
    Osprey t;
    t.Open(OspreyImages() + "/fat16.img");
    t.Click("optDisplay_2");
    QList<bool> during;
    t.WhileBusy([&] {
        during = t.Enabled({"cmdBootSector", "listDirectory", "mnuOpen", "cmdAbort"});
        t.Click("cmdAbort");
    });
    t.ClickRow("listDirectory", " LARGEF~1.BIN ");
    QCOMPARE(during, (QList<bool>{false, false, false, true}));
    QVERIFY(!t.window.IsBusy());
    QCOMPARE(t.Enabled({"cmdBootSector", "cmdAbort"}), (QList<bool>{true, false}));
    const int lines = t.Find<QPlainTextEdit>("rtfDisplay")->blockCount();
    QVERIFY2(lines > 1 && lines < 1500000 / 16, qPrintable(QString::number(lines)));
}

QTEST_MAIN(OspreyWindowTest)
#include "test_formOsprey.moc"
