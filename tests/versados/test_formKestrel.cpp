#include "Golden.h"
#include "ScriptedPrompts.h"
#include "SettingsStore.h"
#include "VersaDOSSamples.h"
#include "modInitFileOptions.h"
#include "window/formKestrel.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <map>

namespace {

// Images by path, served from memory as the drive would serve the file.
struct MemoryImages {
    std::map<std::string, ByteString> images;
    int opened = 0;
    ImageOpener Opener() {
        return [this](const std::string& path, Prompts& prompts) -> std::unique_ptr<SectorSource> {
            auto it = images.find(path);
            if (it == images.end()) {
                prompts.MessageBox("Open IMD Error ", "Not an IMD file");
                return nullptr;
            }
            ++opened;
            return std::make_unique<MemorySectors>(it->second, 256);
        };
    }
};

ByteString BigVolume() {
    VersaDOSBuilder b = SampleVolume();
    BuiltFile big;
    big.name = "BIG";
    big.extension = "DB";
    big.fileType = 0;
    big.contiguous.assign(1200 * 256, 0x41);
    b.catalogs[0].files.push_back(big);
    return b.Build();
}

} // namespace

class KestrelWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void startsEmptyWithDefaults();
    void openFillsListsAndShowsTheFirstFile();
    void displayOptionsAndRecordMenus();
    void listingFormsAdvanceWithDirNotTest();
    void blockAsksAgainOutOfRange();
    void stopAndCatalogClickEndADump();
    void notVersaDOSShowsTheVolumeReport();
    void saveAllIntoAFolder();
    void saveRecordsAsksForOptionsFirst();

  private:
    template <typename T> T* Child(const char* name) {
        T* child = m_window->findChild<T*>(name);
        if (!child) qFatal("no child %s", name);
        return child;
    }
    QString Pane() { return Child<QPlainTextEdit>("rtfDisplay")->toPlainText(); }
    void Open(const std::string& path) { m_window->OpenImage(QString::fromStdString(path)); }

    MemoryImages m_images;
    ScriptedPrompts* m_prompts = nullptr;
    MemorySettings* m_settings = nullptr;
    formKestrel* m_window = nullptr;
};

void KestrelWindowTest::init() {
    m_images.images["/img/sample.imd"] = SampleVolume().Build();
    m_images.images["/img/big.imd"] = BigVolume();
    m_images.images["/img/zero.imd"] = ByteString(256 * 8, 0);
    m_prompts = new ScriptedPrompts;
    m_settings = new MemorySettings;
    m_window = new formKestrel(m_images.Opener(), {}, m_prompts, m_settings);
    m_window->show();
}

void KestrelWindowTest::cleanup() {
    delete m_window;
    delete m_prompts;
    delete m_settings;
}

void KestrelWindowTest::startsEmptyWithDefaults() {
    QCOMPARE(m_window->windowTitle(), QString("VersaDOS File System"));
    QVERIFY(Child<QRadioButton>("optDisplay_0")->isChecked());
    QVERIFY(Child<QCheckBox>("chkEOL")->isChecked());
    QVERIFY(Child<QCheckBox>("chkDecompressSpaces")->isChecked());
    for (const char* button : {"cmdDisplayBlock", "cmdDisplayVID", "cmdABORT"})
        QVERIFY2(!Child<QPushButton>(button)->isEnabled(), button);
    for (const char* menu : {"mnuSaveRecords", "mnuSaveDataBlocks"})
        QVERIFY2(!Child<QAction>(menu)->isEnabled(), menu);
}

void KestrelWindowTest::openFillsListsAndShowsTheFirstFile() {
    Open("/img/sample.imd");
    QCOMPARE(m_window->windowTitle(), QString("VersaDOS File System /img/sample.imd"));
    auto* catalogs = Child<QListWidget>("listSDB");
    auto* files = Child<QListWidget>("listPDB");
    QCOMPARE(catalogs->count(), 4);
    QCOMPARE(catalogs->item(0)->text(), QString(":0007.UTIL."));
    QCOMPARE(catalogs->currentRow(), 0);
    QCOMPARE(files->count(), 4);
    QCOMPARE(files->item(0)->text(), QString("README  .SA"));
    QCOMPARE(files->currentRow(), 0);
    QVERIFY(Pane().startsWith("KEST:0007.UTIL.README.SA\n"));
    QVERIFY(Child<QPushButton>("cmdDisplayBlock")->isEnabled());
    QVERIFY(Child<QAction>("mnuSaveRecords")->isEnabled());

    // Another catalog fills the files and shows its first one.
    catalogs->setCurrentRow(1);
    m_window->listSDB_Click();
    QCOMPARE(files->count(), 7);
    QVERIFY(Pane().startsWith("KEST:0000.PROJECT.PART1.SA\n"));

    // Closing empties everything.
    Child<QAction>("mnuClose")->trigger();
    QCOMPARE(m_window->windowTitle(), QString("VersaDOS File System"));
    QCOMPARE(catalogs->count(), 0);
    QCOMPARE(files->count(), 0);
    QVERIFY(Pane().isEmpty());
    QVERIFY(!Child<QPushButton>("cmdDisplayBlock")->isEnabled());
}

void KestrelWindowTest::displayOptionsAndRecordMenus() {
    Open("/img/sample.imd");
    Child<QRadioButton>("optDisplay_1")->click();
    QCOMPARE(Pane(), QString("* Kestrel sample volume\n         ORG     $1000\n"
                             "START    MOVE.L  #0,D0      clear\n         RTS\n"));
    Child<QCheckBox>("chkDecompressSpaces")->click();
    QVERIFY(Pane().startsWith("* Kestrel sample volume\n<89>ORG<85>$1000"));
    Child<QCheckBox>("chkEOL")->click();
    QVERIFY(Pane().startsWith("* Kestrel sample volume<89>ORG"));

    Child<QRadioButton>("optDisplay_2")->click();
    QVERIFY(Pane().startsWith("0000000A:0000  00 17 2A 20"));

    Child<QRadioButton>("optDisplay_3")->click();
    QVERIFY(Pane().startsWith("KEST:0007\nSAMPLE VOLUME"));
    QVERIFY(!Child<QAction>("mnuSaveRecords")->isEnabled());
    QVERIFY(!Child<QAction>("mnuSaveDataBlocks")->isEnabled());
    // A file click with Volume Info selected shows the volume report.
    Child<QListWidget>("listPDB")->setCurrentRow(1);
    m_window->listPDB_Click();
    QVERIFY(Pane().startsWith("KEST:0007\nSAMPLE VOLUME"));

    Child<QRadioButton>("optDisplay_0")->click();
    QVERIFY(Child<QAction>("mnuSaveRecords")->isEnabled());
    QVERIFY(Pane().startsWith("KEST:0007.UTIL.BOOT.LO\n"));
}

void KestrelWindowTest::listingFormsAdvanceWithDirNotTest() {
    Open("/img/sample.imd");
    auto* dir = Child<QPushButton>("cmdDir");
    auto* test = Child<QPushButton>("cmdTest");
    dir->click();
    QVERIFY(Pane().contains("User Catalog  Filename Ex - WC RC FT RECL KL  Created  Accessed"));
    test->click();
    QVERIFY(Pane().contains("User.Catalog.Filename.Ex "));
    dir->click();
    QVERIFY(Pane().contains("User.Catalog.Filename.Ex "));
    dir->click();
    QVERIFY(Pane().contains("\nUser Catalog  Filename Ex \n"));
    dir->click();
    QVERIFY(Pane().contains(" U/C - 0000.PROJECT"));
    dir->click();
    QVERIFY(Pane().contains("- WC RC FT RECL KL"));
    QCOMPARE(m_window->ListingForm(), 1);
}

void KestrelWindowTest::blockAsksAgainOutOfRange() {
    Open("/img/sample.imd");
    m_prompts->inputAnswers = {std::string("-1"), std::string("2001"), std::string("2000")};
    Child<QPushButton>("cmdDisplayBlock")->click();
    QCOMPARE(m_prompts->inputs.size(), size_t(3));
    QVERIFY(Pane().startsWith("0000  00 00"));

    m_prompts->inputAnswers = {std::string("0")};
    Child<QPushButton>("cmdDisplayBlock")->click();
    QVERIFY(Pane().startsWith("0000  4B 45 53 54 00 07"));
    QCOMPARE(Pane().count('\n'), 16);

    // Cancel shows nothing new.
    m_prompts->inputAnswers.clear();
    Child<QPushButton>("cmdDisplayBlock")->click();
    QVERIFY(Pane().startsWith("0000  4B 45 53 54 00 07"));
}

void KestrelWindowTest::stopAndCatalogClickEndADump() {
    Open("/img/big.imd");
    auto* files = Child<QListWidget>("listPDB");
    Child<QRadioButton>("optDisplay_2")->click();
    const int big = 4;
    QCOMPARE(files->item(big)->text(), QString("BIG     .DB"));

    // STOP pressed while the dump runs.
    bool refusedClose = false;
    QTimer::singleShot(30, this, [&] {
        QVERIFY(m_window->IsBusy());
        refusedClose = !m_window->close();
        Child<QPushButton>("cmdABORT")->click();
    });
    files->setCurrentRow(big);
    m_window->listPDB_Click();
    QVERIFY(refusedClose);
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->IsBusy());
    const int full = 1200 * 16;
    QVERIFY2(Pane().count('\n') < full, "the dump ran to its end");

    // A click on another catalog stops the dump and then takes that catalog.
    QTimer::singleShot(30, this, [&] {
        Child<QListWidget>("listSDB")->setCurrentRow(1);
        m_window->listSDB_Click();
    });
    m_window->listPDB_Click();
    QVERIFY(Pane().count('\n') < full);
    QTRY_COMPARE(files->count(), 7);
}

void KestrelWindowTest::notVersaDOSShowsTheVolumeReport() {
    Open("/img/zero.imd");
    QVERIFY(Pane().contains(":0000\n"));
    QVERIFY(Pane().contains(" BAD CHECKSUM - 0000 - should be FFFF"));
    QCOMPARE(Child<QListWidget>("listSDB")->count(), 0);
    QVERIFY(!Child<QPushButton>("cmdDisplayBlock")->isEnabled());
    QVERIFY(!Child<QAction>("mnuSaveRecords")->isEnabled());

    // An image the drive refuses leaves no volume open.
    m_window->OpenImage("/img/missing.imd");
    QCOMPARE(m_prompts->messages.back().text, std::string("Not an IMD file"));
    QVERIFY(!m_window->Session().IsOpen());
}

void KestrelWindowTest::saveAllIntoAFolder() {
    Open("/img/sample.imd");
    const std::string target = TempDir("kestrel-window-save-all");
    m_prompts->directoryAnswers.push_back({target, false});
    Child<QAction>("mnuSaveAllFiles")->trigger();
    QCOMPARE(m_prompts->directoryRequests.back().first, std::string("Directory Path Save All"));
    QVERIFY(Pane().endsWith(" Total Files  - 13  Saved - 13  Failed - 0\n"));
    QVERIFY(std::filesystem::exists(target + "/KEST/U0007/UTIL/README.SA"));
    QCOMPARE(m_settings->GetSetting("Paths", "SAVEALL"), target + "/");
}

void KestrelWindowTest::saveRecordsAsksForOptionsFirst() {
    Open("/img/sample.imd");
    const std::string out = TempDir("kestrel-window-records") + "/readme.vdr";
    m_prompts->fileAnswers.push_back({out, false});
    QString title;
    QTimer::singleShot(0, this, [&title] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        title = dialog->windowTitle();
        dialog->findChild<QPushButton*>("cmdOK")->click();
    });
    Child<QAction>("mnuSaveRecords")->trigger();
    QCOMPARE(title, QString("Save File Options"));
    QVERIFY(!m_prompts->fileRequests.empty());
    QCOMPARE(m_prompts->fileRequests.back().title, std::string("Save Raw Records File"));
    QCOMPARE(m_prompts->fileRequests.back().suggestedName, std::string("README.SA"));
    QVERIFY(std::filesystem::exists(out));
    QCOMPARE(std::filesystem::file_size(out), std::uintmax_t(25 + 24 + 35 + 14)); // records + CR LF
}

QTEST_MAIN(KestrelWindowTest)
#include "test_formKestrel.moc"
