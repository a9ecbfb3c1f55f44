#include "DisplaySink.h"
#include "Golden.h"
#include "ImdBuilder.h"
#include "MemoryOpener.h"
#include "VersaDOSSamples.h"
#include "WindowDriver.h"
#include "window/formKestrel.h"

#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

// Where a test writes the sample as ImageDisk with damaged sectors, for the damage scans that
// read the file again.
std::string DamagedImage() {
    return (std::filesystem::temp_directory_path() /
            ("suite-test-" + std::to_string(::getpid()) + "-kestrel-damaged") / "d.imd")
        .string();
}

// Images by path, served from memory as the drive would serve the file.
std::map<std::string, ByteString> Images() {
    VersaDOSBuilder big = SampleVolume();
    BuiltFile file;
    file.name = "BIG";
    file.extension = "DB";
    file.fileType = 0;
    file.contiguous.assign(1200 * 256, 0x41);
    big.catalogs[0].files.push_back(file);
    return {{"/img/sample.imd", SampleVolume().Build()},
            {"/img/big.imd", big.Build()},
            {"/img/zero.imd", ByteString(256 * 8, 0)},
            {DamagedImage(), SampleVolume().Build()}};
}

// The opener of the last window made, to see what the window asked of it.
std::shared_ptr<MemoryOpener> lastOpener;

struct Kestrel : WindowUnderTest<formKestrel> {
    Kestrel()
        : WindowUnderTest(
              lastOpener = FromMemory([images = Images()](const std::string& path, Prompts& prompts)
                                          -> std::unique_ptr<SectorSource> {
                  auto it = images.find(path);
                  if (it == images.end()) {
                      prompts.MessageBox("Open IMD Error ", "Not an IMD file");
                      return nullptr;
                  }
                  return std::make_unique<MemorySectors>(it->second, 256);
              }),
              [](SectorSource&, DisplaySink& sink) { sink.Append("summary\r\n"); }) {}
};

} // namespace

class KestrelWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensClosesAndShowsTheFirstFile();
    void displayOptionsAndRecordMenus();
    void listingFormsAdvanceWithDirNotTest();
    void blockAsksAgainOutOfRange();
    void stopAndCatalogClickEndADump();
    void notVersaDOSShowsTheVolumeReport();
    void savesAllRecordsAndBlocks();
};

void KestrelWindowTest::opensClosesAndShowsTheFirstFile() {
    Kestrel t;
    QCOMPARE(t.window.windowTitle(), QString("VersaDOS File System"));
    QVERIFY(t.Find<QRadioButton>("optDisplay_0")->isChecked());
    QCOMPARE(t.Enabled({"chkEOL", "chkDecompressSpaces", "cmdDisplayBlock", "cmdDisplayVID",
                        "cmdABORT", "mnuSaveRecords", "mnuSaveDataBlocks", "mnuImageInfo"}),
             (QList<bool>{true, true, false, false, false, false, false, false}));

    t.OpenByMenu("/img/sample.imd");
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Open VersaDOS IMD File"));
    QCOMPARE(t.window.windowTitle(), QString("VersaDOS File System /img/sample.imd"));
    QCOMPARE(t.Items("listSDB"),
             QStringList({":0007.UTIL.", ":0000.PROJECT.", ":0009.UTIL.", ":0007.."}));
    QCOMPARE(t.Find<QListWidget>("listSDB")->currentRow(), 0);
    QCOMPARE(t.Items("listPDB").size(), 4);

    // The container choice of the Options menu reopens the image on show and goes with every
    // later open; Automatic leaves the type to the file's content.
    QCOMPARE(lastOpener->containers, std::vector<std::string>{""});
    t.Click("mnuContainer_tele");
    t.OpenByMenu("/img/big.imd");
    t.Click("mnuContainer_auto");
    QCOMPARE(lastOpener->containers, (std::vector<std::string>{"", "tele", "tele", ""}));
    t.OpenByMenu("/img/sample.imd");
    QCOMPARE(t.Items("listPDB")[0], QString("README  .SA"));
    QCOMPARE(t.Find<QListWidget>("listPDB")->currentRow(), 0);
    QVERIFY(t.Pane().startsWith("KEST:0007.UTIL.README.SA\n"));
    QCOMPARE(t.Enabled({"cmdDisplayBlock", "mnuSaveRecords", "mnuImageInfo"}),
             (QList<bool>{true, true, true}));

    // Another catalog fills the files and shows its first one.
    t.ClickRow("listSDB", ":0000.PROJECT.");
    QCOMPARE(t.Items("listPDB").size(), 7);
    QVERIFY(t.Pane().startsWith("KEST:0000.PROJECT.PART1.SA\n"));
    t.Click("mnuImageInfo");
    QCOMPARE(t.Pane(), QString("summary\n"));

    // Closing empties everything.
    t.Click("mnuClose");
    QCOMPARE(t.window.windowTitle(), QString("VersaDOS File System"));
    QVERIFY(t.Items("listSDB").isEmpty() && t.Items("listPDB").isEmpty());
    QVERIFY(t.Pane().isEmpty());
    QCOMPARE(t.Enabled({"cmdDisplayBlock", "mnuClose"}), (QList<bool>{false, false}));
}

void KestrelWindowTest::displayOptionsAndRecordMenus() {
    Kestrel t;
    t.Open("/img/sample.imd");
    t.Click("optDisplay_1");
    QCOMPARE(t.Pane(), QString("* Kestrel sample volume\n         ORG     $1000\n"
                               "START    MOVE.L  #0,D0      clear\n         RTS\n"));
    t.Click("chkDecompressSpaces");
    QVERIFY(t.Pane().startsWith("* Kestrel sample volume\n<89>ORG<85>$1000"));
    t.Click("chkEOL");
    QVERIFY(t.Pane().startsWith("* Kestrel sample volume<89>ORG"));

    t.Click("optDisplay_2");
    QVERIFY(t.Pane().startsWith("0000000A:0000  00 17 2A 20"));

    t.Click("optDisplay_3");
    QVERIFY(t.Pane().startsWith("KEST:0007\nSAMPLE VOLUME"));
    QCOMPARE(t.Enabled({"mnuSaveRecords", "mnuSaveDataBlocks"}), (QList<bool>{false, false}));
    // A file click with Volume Info selected shows the volume report.
    t.ClickRow("listPDB", t.Items("listPDB")[1]);
    QVERIFY(t.Pane().startsWith("KEST:0007\nSAMPLE VOLUME"));

    t.Click("optDisplay_0");
    QCOMPARE(t.Enabled({"mnuSaveRecords", "mnuSaveDataBlocks"}), (QList<bool>{true, true}));
    QVERIFY(t.Pane().startsWith("KEST:0007.UTIL.BOOT.LO\n"));
    t.Click("cmdDisplayVID");
    QVERIFY(t.Pane().startsWith("KEST:0007\nSAMPLE VOLUME"));
}

void KestrelWindowTest::listingFormsAdvanceWithDirNotTest() {
    Kestrel t;
    t.Open("/img/sample.imd");
    const std::pair<const char*, const char*> presses[] = {
        {"cmdDir", "User Catalog  Filename Ex - WC RC FT RECL KL  Created  Accessed"},
        {"cmdTest", "User.Catalog.Filename.Ex "},
        {"cmdDir", "User.Catalog.Filename.Ex "},
        {"cmdDir", "\nUser Catalog  Filename Ex \n"},
        {"cmdDir", " U/C - 0000.PROJECT"},
        {"cmdDir", "- WC RC FT RECL KL"}};
    for (const auto& [button, shown] : presses) {
        t.Click(button);
        QVERIFY2(t.Pane().contains(shown), shown);
    }
    QCOMPARE(t.window.ListingForm(), 1);
}

void KestrelWindowTest::blockAsksAgainOutOfRange() {
    Kestrel t;
    t.Open("/img/sample.imd");
    t.prompts.inputAnswers = {std::string("99999999999999999999"), std::string("2001"),
                              std::string("2000")};
    t.Click("cmdDisplayBlock");
    QCOMPARE(t.prompts.inputs.size(), size_t(3));
    QCOMPARE(t.prompts.inputs[0].prompt, std::string("Display which Block?"));
    QVERIFY(t.Pane().startsWith("0000  00 00"));

    // A sign or text after the number is no number: asked again.
    t.prompts.inputs.clear();
    t.prompts.inputAnswers = {std::string("-&h1"), std::string(" +0 blocks"),
                              std::string("\t&h0 ")};
    t.Click("cmdDisplayBlock");
    QCOMPARE(t.prompts.inputs.size(), size_t(3));
    QVERIFY(t.Pane().startsWith("0000  4B 45 53 54 00 07"));
    QCOMPARE(t.Pane().count('\n'), 16);

    // Cancel shows nothing new.
    t.prompts.inputAnswers.clear();
    t.Click("cmdDisplayBlock");
    QVERIFY(t.Pane().startsWith("0000  4B 45 53 54 00 07"));
}

void KestrelWindowTest::stopAndCatalogClickEndADump() {
    Kestrel t;
    t.Open("/img/big.imd");
    t.Click("optDisplay_2");
    QCOMPARE(t.Items("listPDB")[4], QString("BIG     .DB"));

    // STOP pressed while the dump runs.
    bool stopOn = false;
    t.WhileBusy([&] {
        stopOn = t.Find<QPushButton>("cmdABORT")->isEnabled();
        t.Click("cmdABORT");
    });
    t.ClickRow("listPDB", "BIG     .DB");
    QVERIFY(stopOn && !t.window.IsBusy());
    const int full = 1200 * 16;
    QVERIFY2(t.Pane().count('\n') < full, "the dump ran to its end");

    // A click on another catalog stops the dump and then takes that catalog.
    t.WhileBusy([&] { t.ClickRow("listSDB", ":0000.PROJECT."); });
    t.ClickRow("listPDB", "BIG     .DB");
    QVERIFY(t.Pane().count('\n') < full);
    QVERIFY(t.WaitUntilIdle());
    QCOMPARE(t.Items("listPDB").size(), 7);
}

void KestrelWindowTest::notVersaDOSShowsTheVolumeReport() {
    Kestrel t;
    t.Open("/img/zero.imd");
    QVERIFY(t.Pane().contains(":0000\n"));
    QVERIFY(t.Pane().contains(" BAD CHECKSUM - 0000 - should be FFFF"));
    QVERIFY(t.Items("listSDB").isEmpty());
    QCOMPARE(t.Enabled({"cmdDisplayBlock", "mnuSaveRecords", "mnuClose"}),
             (QList<bool>{false, false, true}));

    // An image the drive refuses leaves no volume open.
    t.Open("/img/missing.imd");
    QCOMPARE(t.LastMessage().text, std::string("Not an IMD file"));
    QVERIFY(!t.window.Session().IsOpen());
    QCOMPARE(t.window.windowTitle(), QString("VersaDOS File System"));
}

void KestrelWindowTest::savesAllRecordsAndBlocks() {
    Kestrel t;
    t.Open("/img/sample.imd");
    const std::string target = TempDir("kestrel-window-save-all");
    t.prompts.directoryAnswers.push_back({target, false});
    t.Click("mnuSaveAllFiles");
    QCOMPARE(t.prompts.directoryRequests.back().first, std::string("Directory Path Save All"));
    QVERIFY(t.Pane().endsWith(" Total Files  - 13  Saved - 13  Failed - 0\n"));
    QVERIFY(std::filesystem::exists(target + "/KEST/U0007/UTIL/README.SA"));
    QCOMPARE(t.settings.GetSetting("Paths", "SAVEALL"), target + "/");

    // Save Records asks for the options first, then for the file.
    const std::string records = target + "/readme.vdr";
    t.prompts.fileAnswers.push_back({records, false});
    QString title;
    OnModalDialog([&title](QDialog* dialog) {
        title = dialog->windowTitle();
        ChildOf<QPushButton>(dialog, "cmdOK")->click();
    });
    t.Click("mnuSaveRecords");
    QCOMPARE(title, QString("Save File Options"));
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Save Raw Records File"));
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("README.SA"));
    QCOMPARE(std::filesystem::file_size(records), std::uintmax_t(25 + 24 + 35 + 14));

    const std::string blocks = target + "/readme.blk";
    t.prompts.fileAnswers.push_back({blocks, false});
    t.Click("mnuSaveDataBlocks");
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Save Raw Data Blocks File"));
    QCOMPARE(std::filesystem::file_size(blocks), std::uintmax_t(2 * 256));

    // The first sector of every file read with an error: each Save All line says so.
    TempDir("kestrel-damaged");
    VersaDOSBuilder sample = SampleVolume();
    const ByteString sectors = sample.Build();
    std::vector<std::pair<int, ImdRecord>> damaged;
    for (const BuiltCatalog& catalog : sample.catalogs)
        for (const BuiltFile& file : catalog.files)
            damaged.emplace_back(file.fileStart, ImdRecord::DataError);
    WriteDamagedLogicalImage(sectors, damaged, DamagedImage());
    t.Open(DamagedImage());
    t.prompts.directoryAnswers.push_back({target, false});
    t.Click("mnuSaveAllFiles");
    QVERIFY(
        t.Pane().contains("README.SA (0007.UTIL.README.SA: saved with damaged bytes 0-255 of "));
}

QTEST_MAIN(KestrelWindowTest)
#include "test_formKestrel.moc"
