// Osprey's window, driven offscreen with scripted dialogs: open and refusals, navigation, the
// display options, the save menus, the Offset and Partitions entries, drops and Abort.
#include "FatTestSupport.h"
#include "Golden.h"
#include "SettingsStore.h"
#include "window/LongNameDelegate.h"
#include "window/formOsprey.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <filesystem>

namespace fs = std::filesystem;

class OspreyWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensAndShowsTheRoot();
    void refusesFat32AndUnsignedVolumes();
    void navigatesDownTwoLevelsAndBackUp();
    void displayOptionsShowTheSelectedRow();
    void saveFileSaveAsTextAndSaveAll();
    void offsetAndPartitionsOnlyWhileNoImageIsOpen();
    void dropOpensTheImage();
    void abortStopsALongDump();

  private:
    struct Rig {
        ScriptedPrompts prompts;
        MemorySettings settings;
        formOsprey window{prompts, settings};
        template <typename T> T* Find(const char* name) { return window.findChild<T*>(name); }
        QString Display() { return Find<QPlainTextEdit>("rtfDisplay")->toPlainText(); }
        QListWidget* List() { return Find<QListWidget>("listDirectory"); }
        void Open(const std::string& path) {
            prompts.fileAnswers.push_back({path, false});
            Find<QAction>("mnuOpen")->trigger();
        }
        void Select(const QString& text) {
            const auto items = List()->findItems(text, Qt::MatchExactly);
            QVERIFY2(!items.isEmpty(), qPrintable(text));
            List()->setCurrentItem(items.first());
        }
        void DoubleClick(const QString& text) {
            Select(text);
            window.listDirectory_DblClick();
        }
        bool Enabled(const char* action) {
            Find<QMenu>("mnuFile")->aboutToShow();
            Find<QMenu>("mnuOptions")->aboutToShow();
            return Find<QAction>(action)->isEnabled();
        }
    };
};

void OspreyWindowTest::opensAndShowsTheRoot() {
    Rig rig;
    QCOMPARE(rig.window.windowTitle(), QString("FAT File System"));
    QVERIFY(!rig.Find<QPushButton>("cmdBootSector")->isEnabled());
    QVERIFY(!rig.Enabled("mnuSaveAll"));
    const std::string image = OspreyImages() + "/fat12.img";
    rig.Open(image);
    QCOMPARE(rig.prompts.fileRequests.size(), size_t(1));
    QCOMPARE(rig.prompts.fileRequests[0].title, std::string("Open FAT Raw File File"));
    QCOMPARE(rig.window.windowTitle(), QString::fromStdString("FAT File System " + image));
    QCOMPARE(rig.List()->count(), 12);
    QCOMPARE(rig.List()->item(2)->text(), QString(" HELLO   .TXT "));
    // Lines keep their 8.3 text; the long name is drawn after it.
    QCOMPARE(rig.List()->item(3)->data(LongNameDelegate::kLongNameRole).toString(),
             QString("One piece.txt"));
    QVERIFY(rig.List()->item(2)->data(LongNameDelegate::kLongNameRole).toString().isEmpty());
    QCOMPARE(rig.List()->currentRow(), 0);
    QVERIFY(rig.Display().startsWith("[.           ] "));
    QCOMPARE(rig.Find<QLabel>("lblVolumeID")->text(), QString("{OSPREY TEST} "));
    QCOMPARE(rig.Find<QLabel>("lblSystemID")->text(), QString("FAT12"));
    QVERIFY(!rig.Find<QLabel>("lblSystemID")->styleSheet().contains("0000FF"));
    QCOMPARE(rig.Find<QLabel>("lblDirectory")->text(), QString(""));
    for (const char* b : {"cmdBootSector", "cmdFat0", "cmdDirectory", "cmdRoot"})
        QVERIFY(rig.Find<QPushButton>(b)->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("cmdAbort")->isEnabled());
    QVERIFY(rig.Enabled("mnuSaveAll"));
    QVERIFY(!rig.Enabled("mnuSaveFile")); // the "." row is selected
    rig.Select(" BIG     .BIN ");
    QVERIFY(rig.Enabled("mnuSaveFile"));

    rig.Find<QPushButton>("cmdBootSector")->click();
    QVERIFY(rig.Display().startsWith(" Boot Sector Info\n\n  OEM ID              = mkfs.fat"));
    rig.Find<QPushButton>("cmdFat0")->click();
    QVERIFY(rig.Display().startsWith("0000 (0000) 0FF0 0FFF"));
    rig.Find<QPushButton>("cmdDirectory")->click();
    QVERIFY(rig.Display().contains(" THISLO~1.TEX  This long name needs three pieces.text\n"));
    rig.Find<QPushButton>("cmdRoot")->click();
    QVERIFY(rig.Display().startsWith(" Raw Root Directory\n\n00000000  4F 53 50 52 45 59"));

    rig.Find<QAction>("mnuClose")->trigger();
    QCOMPARE(rig.window.windowTitle(), QString("FAT File System"));
    QCOMPARE(rig.List()->count(), 0);
    QCOMPARE(rig.Find<QLabel>("lblVolumeID")->text(), QString(""));
    QVERIFY(!rig.Find<QPushButton>("cmdRoot")->isEnabled());
    QVERIFY(rig.prompts.messages.empty());
}

void OspreyWindowTest::refusesFat32AndUnsignedVolumes() {
    Rig rig;
    rig.Open(OspreyImages() + "/clusters-65520.img");
    QCOMPARE(rig.prompts.messages.size(), size_t(1));
    QCOMPARE(rig.prompts.messages[0].title, std::string("Bad FAT type"));
    QVERIFY(rig.Display().startsWith(" Raw Boot Sector 0\n\n00000000  EB"));
    QCOMPARE(rig.List()->count(), 0);
    QVERIFY(!rig.Find<QPushButton>("cmdBootSector")->isEnabled());
    QVERIFY(!rig.Find<QRadioButton>("optDisplay_1")->isEnabled());
    QVERIFY(!rig.Enabled("mnuSaveAll"));
    QVERIFY(!rig.Enabled("mnuSaveAsText"));
    QVERIFY(rig.Enabled("mnuOffset")); // nothing is open now

    rig.Open(OspreyImages() + "/mbr-disk.img");
    QCOMPARE(rig.prompts.messages.size(), size_t(2));
    QCOMPARE(rig.prompts.messages[1].title, std::string("Bad Boot Sector"));
    QVERIFY(!rig.window.Explorer().IsOpen());

    // A good image after refusals opens normally; one blue label on a mislabelled volume.
    rig.Open(OspreyImages() + "/clusters-4080.img");
    QVERIFY(rig.window.Explorer().IsOpen());
    QCOMPARE(rig.Find<QLabel>("lblSystemID")->text(), QString("Fat16"));
    QVERIFY(rig.Find<QLabel>("lblSystemID")->styleSheet().contains("0000FF"));
}

void OspreyWindowTest::navigatesDownTwoLevelsAndBackUp() {
    Rig rig;
    rig.Open(OspreyImages() + "/fat12.img");
    rig.DoubleClick("[LEVEL1  .   ]");
    QCOMPARE(rig.Find<QLabel>("lblDirectory")->text(), QString("LEVEL1"));
    QCOMPARE(rig.List()->count(), 4);
    QCOMPARE(rig.List()->currentRow(), 0);
    QVERIFY(rig.Display().startsWith("[.           ] "));
    rig.DoubleClick("[LEVEL2  .   ]");
    QCOMPARE(rig.Find<QLabel>("lblDirectory")->text(), QString("LEVEL2"));
    QCOMPARE(rig.List()->item(2)->text(), QString(" DEEPFI~1.TXT "));
    // A double click on a file does nothing.
    rig.DoubleClick(" DEEPFI~1.TXT ");
    QCOMPARE(rig.Find<QLabel>("lblDirectory")->text(), QString("LEVEL2"));
    rig.DoubleClick("[..          ]");
    QCOMPARE(rig.Find<QLabel>("lblDirectory")->text(), QString("LEVEL1"));
    // Backspace goes up as well.
    rig.List()->setFocus();
    QTest::keyClick(rig.List(), Qt::Key_Backspace);
    QCOMPARE(rig.Find<QLabel>("lblDirectory")->text(), QString(""));
    QCOMPARE(rig.List()->count(), 12);
    QCOMPARE(rig.window.Explorer().Path().Depth(), 0);
}

void OspreyWindowTest::displayOptionsShowTheSelectedRow() {
    Rig rig;
    rig.Open(OspreyImages() + "/fat12.img");
    rig.Select(" HELLO   .TXT ");
    QVERIFY(rig.Display().startsWith(" HELLO   .TXT  \n    A C- 09/09/2001"));
    rig.Find<QRadioButton>("optDisplay_1")->click();
    QCOMPARE(rig.Display(), QString("Hello, FAT12!\n"));
    rig.Find<QRadioButton>("optDisplay_2")->click();
    QVERIFY(rig.Display().startsWith("0003-00000000 (0003-0000000) 48 65 6C 6C 6F"));
    // With the dump option, the root's "." row shows the raw root directory.
    rig.Select("[.           ]");
    QVERIFY(rig.Display().startsWith(" Raw Root Directory"));
    rig.Find<QRadioButton>("optDisplay_0")->click();
    QVERIFY(rig.Display().startsWith("[.           ] "));
}

void OspreyWindowTest::saveFileSaveAsTextAndSaveAll() {
    Rig rig;
    rig.Open(OspreyImages() + "/fat12.img");
    const std::string dir = TempDir("window-save");
    rig.Select(" ATWOPI~1.TXT ");
    rig.prompts.fileAnswers.push_back({dir + "/two.txt", false});
    rig.Find<QAction>("mnuSaveFile")->trigger();
    QCOMPARE(rig.prompts.fileRequests.back().title, std::string("Save DOS File"));
    QCOMPARE(rig.prompts.fileRequests.back().suggestedName,
             std::string("A two piece long name.txt"));
    QCOMPARE(ReadHostFile(dir + "/two.txt"),
             ReadHostFile(OspreyImages() + "/fat12-src/A two piece long name.txt"));

    rig.prompts.fileAnswers.push_back({dir + "/display.txt", false});
    rig.Find<QAction>("mnuSaveAsText")->trigger();
    QCOMPARE(rig.prompts.fileRequests.back().title, std::string("Save Display as Text File"));
    const std::vector<std::uint8_t> saved = ReadHostFile(dir + "/display.txt");
    QCOMPARE(QString::fromStdString(std::string(saved.begin(), saved.end())).replace("\r\n", "\n"),
             rig.Display());

    rig.DoubleClick("[LEVEL1  .   ]");
    rig.prompts.directoryAnswers.push_back({dir, false});
    rig.Find<QAction>("mnuSaveAll")->trigger();
    QCOMPARE(rig.prompts.directoryRequests.back().first, std::string("Directory Path Save All"));
    QCOMPARE(rig.settings.GetSetting("Paths", "SAVEALL"), dir + "/");
    const std::string file = dir + "/fat12/Level1/inside one.txt";
    QVERIFY(fs::exists(file));
    QCOMPARE(rig.Display(), QString::fromStdString("Saved - " + file +
                                                   "\n\n Total Files  - 1  Saved - 1  Failed - 0"));
    QVERIFY(!rig.window.Busy());
    QVERIFY(rig.Find<QPushButton>("cmdRoot")->isEnabled());
    // Cancelling the picker saves nothing.
    rig.Find<QAction>("mnuSaveAll")->trigger();
    QCOMPARE(rig.prompts.directoryRequests.size(), size_t(2));
}

void OspreyWindowTest::offsetAndPartitionsOnlyWhileNoImageIsOpen() {
    Rig rig;
    QVERIFY(rig.Enabled("mnuOffset"));
    QVERIFY(rig.Enabled("mnuPartitions"));
    // A refused answer is asked again; the accepted one is the new offset.
    rig.prompts.inputAnswers = {std::string("31.5k"), std::string("&H7E00")};
    rig.Find<QAction>("mnuOffset")->trigger();
    QCOMPARE(rig.prompts.inputs.size(), size_t(2));
    QCOMPARE(rig.prompts.inputs[0].prompt, std::string("Input Offset (0 to 2GB)"));
    QCOMPARE(rig.prompts.inputs[0].title, std::string("Partition Offset"));
    QCOMPARE(rig.prompts.inputs[0].defaultText, std::string("0"));
    QCOMPARE(rig.window.Explorer().PartitionOffset(), 32256);
    // Cancel leaves it.
    rig.Find<QAction>("mnuOffset")->trigger();
    QCOMPARE(rig.prompts.inputs.back().defaultText, std::string("32256"));
    QCOMPARE(rig.window.Explorer().PartitionOffset(), 32256);

    rig.Open(OspreyImages() + "/mbr-disk.img");
    QVERIFY(rig.window.Explorer().IsOpen());
    QCOMPARE(rig.Find<QLabel>("lblVolumeID")->text(), QString("{PARTITION  } "));
    QVERIFY(!rig.Enabled("mnuOffset"));
    QVERIFY(!rig.Enabled("mnuPartitions"));
    rig.Find<QAction>("mnuClose")->trigger();
    QVERIFY(rig.Enabled("mnuOffset"));

    // Partitions: the list, a partition chosen, the image opened at its start.
    rig.window.Explorer().SetPartitionOffset(0);
    rig.prompts.fileAnswers.push_back({OspreyImages() + "/mbr-disk.img", false});
    rig.prompts.inputAnswers = {std::string("7"), std::string("1")};
    rig.Find<QAction>("mnuPartitions")->trigger();
    QCOMPARE(rig.prompts.inputs.back().title, std::string("Partitions"));
    QCOMPARE(rig.prompts.inputs.back().defaultText, std::string("1"));
    QCOMPARE(rig.window.Explorer().PartitionOffset(), 32256);
    QVERIFY(rig.window.Explorer().IsOpen());
    QCOMPARE(rig.List()->item(1)->text(), QString(" README  .TXT "));
    rig.Find<QAction>("mnuClose")->trigger();
    // An image without a partition table says so.
    rig.prompts.fileAnswers.push_back({OspreyImages() + "/fat12.img", false});
    rig.Find<QAction>("mnuPartitions")->trigger();
    QCOMPARE(rig.prompts.messages.back().title, std::string("Partitions"));
    QCOMPARE(rig.prompts.messages.back().text, std::string("No partition table in this image"));
}

void OspreyWindowTest::dropOpensTheImage() {
    Rig rig;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(OspreyImages() + "/fat16.img"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&rig.window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&rig.window, &drop);
    QVERIFY(rig.window.Explorer().IsOpen());
    QCOMPARE(rig.Find<QLabel>("lblVolumeID")->text(), QString("{FAT16 TEST } "));
}

void OspreyWindowTest::abortStopsALongDump() {
    Rig rig;
    rig.Open(OspreyImages() + "/fat16.img");
    rig.Find<QRadioButton>("optDisplay_2")->click();
    bool busyDuring = false;
    bool buttonsOff = false;
    QTimer::singleShot(30, [&] {
        busyDuring = rig.window.Busy();
        buttonsOff = !rig.Find<QPushButton>("cmdBootSector")->isEnabled() &&
                     rig.Find<QPushButton>("cmdAbort")->isEnabled();
        rig.Find<QPushButton>("cmdAbort")->click();
    });
    rig.Select(" LARGEF~1.BIN ");
    QVERIFY(busyDuring);
    QVERIFY(buttonsOff);
    QVERIFY(!rig.window.Busy());
    QVERIFY(rig.Find<QPushButton>("cmdBootSector")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("cmdAbort")->isEnabled());
    const int lines = rig.Find<QPlainTextEdit>("rtfDisplay")->blockCount();
    QVERIFY2(lines > 1 && lines < 1500000 / 16, qPrintable(QString::number(lines)));
}

QTEST_MAIN(OspreyWindowTest)
#include "test_formOsprey.moc"
