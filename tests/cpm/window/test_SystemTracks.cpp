// The "System Tracks" tab: insertion rows, their colours, the "Image Part" menu and Insert All.
#include "WindowTests.h"

#include "Golden.h"
#include "QuarrySession.h"
#include "QuarryWindowTest.h"
#include "SystemTracksPanel.h"

#include <filesystem>

namespace {

QColor Fore(QWidget* box) {
    return box->palette().color(QPalette::Text);
}
QColor Back(QWidget* box) {
    return box->palette().color(QPalette::Base);
}

const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor Cyan(0, 255, 255);

QLineEdit* Box(const Quarry& t, const char* name, int row) {
    const QByteArray full = QByteArray(name) + "_" + QByteArray::number(row);
    return t.Find<QLineEdit>(full.constData());
}

// Chooses a host file for a row as a double click on its name box does.
void ChooseFile(Quarry& t, int row, const std::string& path) {
    t.prompts.fileAnswers.push_back({path, false});
    QTest::mouseDClick(Box(t, "txtFileName", row), Qt::LeftButton);
}

// Middle button on a row's name box: the "Image Part" menu pops up.
QMenu* PopUpImagePart(Quarry& t, int row) {
    QTest::mousePress(Box(t, "txtFileName", row), Qt::MiddleButton);
    return t.Find<QMenu>("mnuImagePart");
}

void ChooseFormat(Quarry& t, const char* name) {
    auto* formats = t.Find<QComboBox>("cmbSelectDiskFormat");
    const int index = formats->findText(name);
    formats->setCurrentIndex(index);
    emit formats->activated(index);
}

} // namespace

void QuarryWindowTests::rowsAddSelectAndRemove() {
    const std::string folder = TempDir("quarry-window-rows");
    Quarry t;
    t.Find<QTabWidget>("tsMain")->setCurrentIndex(1);
    QCOMPARE(Box(t, "txtFileLocation", 0)->text(), QString("0x0"));
    QCOMPARE(t.Text("lblFileSize_0"), QString("0x0"));
    QCOMPARE(Back(Box(t, "txtFileName", 0)), Cyan);

    // A new row below the last, blank; pressing its name box selects it.
    t.Click("cmdAddFile");
    QCOMPARE(Box(t, "txtSectorNo", 1)->text(), QString("1"));
    QCOMPARE(Back(Box(t, "txtFileName", 1)), White);
    QTest::mousePress(Box(t, "txtFileName", 1), Qt::LeftButton);
    QCOMPARE(Back(Box(t, "txtFileName", 1)), Cyan);
    QCOMPARE(Back(Box(t, "txtFileName", 0)), White);

    // The file comes from the open dialog; Refresh reads its size again.
    const std::string bin = folder + "/piece.bin";
    WriteFileBytes(bin, ByteVector(300, 0x11));
    ChooseFile(t, 1, bin);
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Open Binary File"));
    QCOMPARE(Box(t, "txtFileName", 1)->text(), QString::fromStdString(bin));
    QCOMPARE(t.Text("lblFileSize_1"), QString("0x12C"));
    WriteFileBytes(bin, ByteVector(500, 0x11));
    t.Click("cmdRefresh");
    QCOMPARE(t.Text("lblFileSize_1"), QString("0x1F4"));

    // Remove File asks; OK empties the row, which stays.
    t.prompts.messageAnswers.push_back(Answer::Cancel);
    t.Click("cmdRemoveFile");
    QCOMPARE(Said(t.LastMessage()), "Removing binary File from List: OK to remove  " + bin);
    QCOMPARE(Box(t, "txtFileName", 1)->text(), QString::fromStdString(bin));
    t.Click("cmdRemoveFile");
    QCOMPARE(Box(t, "txtFileName", 1)->text(), QString());
    QCOMPARE(t.Text("lblFileSize_1"), QString("0x0"));
    QVERIFY(!t.window.SystemTracksTab().Tracks().Rows()[1].inUse);

    // There are at most 256 rows.
    auto* add = t.Find<QPushButton>("cmdAddFile");
    for (int i = 2; i < 256; ++i)
        add->click();
    QVERIFY(t.window.findChild<QLineEdit*>("txtFileName_255"));
    QVERIFY(!add->isEnabled());
    add->click();
    QVERIFY(!t.window.findChild<QLineEdit*>("txtFileName_256"));
    QCOMPARE(t.window.SystemTracksTab().Tracks().Rows().size(), std::size_t(256));
}

void QuarryWindowTests::rowColoursForPiecesAndLocations() {
    const std::string folder = TempDir("quarry-window-colours");
    Quarry t;
    t.Open(MakeImage(folder, "IBM-3740"));
    t.Find<QTabWidget>("tsMain")->setCurrentIndex(1);
    const std::string bdos = folder + "/bdos.bin";
    WriteFileBytes(bdos, ByteVector(4000, 0x22));
    ChooseFile(t, 0, bdos);
    QCOMPARE(t.Text("lblFileSize_0"), QString("0xFA0"));

    // "Bdos" on IBM-3740: sector 18, 28 sectors at 0x880, too few for 4000 bytes (32 records).
    QMenu* menu = PopUpImagePart(t, 0);
    QVERIFY(menu->isVisible());
    t.Click("mnuBdos");
    menu->hide();
    QCOMPARE(Box(t, "txtSectorNo", 0)->text(), QString("18"));
    QCOMPARE(Box(t, "txtNumberOfSectors", 0)->text(), QString("28"));
    QCOMPARE(Box(t, "txtFileLocation", 0)->text(), QString("0x880"));
    QCOMPARE(Fore(Box(t, "txtNumberOfSectors", 0)), Red);
    QCOMPARE(Fore(Box(t, "txtSectorNo", 0)), Black);
    QCOMPARE(Fore(Box(t, "txtFileLocation", 0)), Black);
    t.Click("cmdInsertIntoImage");
    QCOMPARE(Said(t.LastMessage()), std::string("Error processing Image File: Must not overlap "
                                                "Data Area\r\nMust be as big as input file\r\n"));

    Box(t, "txtNumberOfSectors", 0)->setText("32");
    QCOMPARE(Fore(Box(t, "txtNumberOfSectors", 0)), Black);

    // Location 0x81 is not on a record boundary; it lies in record 2.
    Box(t, "txtFileLocation", 0)->setText("0x81");
    QCOMPARE(Fore(Box(t, "txtFileLocation", 0)), Red);
    QCOMPARE(Box(t, "txtSectorNo", 0)->text(), QString("2"));

    // A sector number sets the location; the records must end below the data area (record 52).
    Box(t, "txtSectorNo", 0)->setText("21");
    QCOMPARE(Box(t, "txtFileLocation", 0)->text(), QString("0xA00"));
    QCOMPARE(Fore(Box(t, "txtFileLocation", 0)), Black);
    QCOMPARE(Fore(Box(t, "txtNumberOfSectors", 0)), Black);
    Box(t, "txtSectorNo", 0)->setText("22");
    QCOMPARE(Fore(Box(t, "txtSectorNo", 0)), Red);
    QCOMPARE(Fore(Box(t, "txtNumberOfSectors", 0)), Red);

    // Numbers below 1 become 1, selected for typing over.
    Box(t, "txtSectorNo", 0)->setText("0");
    QCOMPARE(Box(t, "txtSectorNo", 0)->text(), QString("1"));
    QCOMPARE(Box(t, "txtSectorNo", 0)->selectedText(), QString("1"));
    QCOMPARE(Box(t, "txtFileLocation", 0)->text(), QString("0x0"));
    Box(t, "txtNumberOfSectors", 0)->setText("");
    QCOMPARE(Box(t, "txtNumberOfSectors", 0)->text(), QString("1"));

    // The fill byte box: red outside 0..255, red behind it when empty; the byte stays.
    auto* fill = t.Find<QLineEdit>("txtFillByte");
    fill->setText("0x1F");
    QCOMPARE(Fore(fill), Black);
    QCOMPARE(t.Text("lblFillByteHex"), QString("0x1F"));
    fill->setText("300");
    QCOMPARE(Fore(fill), Red);
    QCOMPARE(Back(fill), White);
    QCOMPARE(t.Text("lblFillByte"), QString("31"));
    QCOMPARE(int(t.window.Session().FillByte()), 0x1F);
    fill->setText("");
    QCOMPARE(Fore(fill), Red);
    QCOMPARE(Back(fill), Red);
}

void QuarryWindowTests::imagePartMenuFollowsTheFormat() {
    Quarry t;
    t.Find<QTabWidget>("tsMain")->setCurrentIndex(1);
    struct Expected {
        const char* format;
        bool magic, dcm;
    };
    const Expected cases[] = {{"IBM-3740", false, false}, {"PC-1440", true, true},
                              {"PC-4104", true, false},   {"PC-8190", true, false},
                              {"J48-SSSD", true, true},   {"J50-DSDD", true, true}};
    for (const Expected& c : cases) {
        ChooseFormat(t, c.format);
        QMenu* menu = PopUpImagePart(t, 0);
        QVERIFY(menu->isVisible());
        QCOMPARE(t.Find<QAction>("mnuMagic")->isEnabled(), c.magic);
        QCOMPARE(t.Find<QAction>("mnuDcm")->isEnabled(), c.dcm);
        for (const char* always : {"mnuBoot", "mnuCCP", "mnuBdos", "mnuBios"})
            QVERIFY(t.Find<QAction>(always)->isEnabled());
        menu->hide();
    }
    // On a J format Magic is record 0 and Boot record 2.
    t.Click("mnuMagic");
    QCOMPARE(Box(t, "txtSectorNo", 0)->text(), QString("1"));
    QCOMPARE(Box(t, "txtNumberOfSectors", 0)->text(), QString("1"));
    t.Click("mnuBoot");
    QCOMPARE(Box(t, "txtSectorNo", 0)->text(), QString("3"));
    QCOMPARE(Box(t, "txtFileLocation", 0)->text(), QString("0x100"));
}

void QuarryWindowTests::insertAllWritesTheSystemArea() {
    const std::string folder = TempDir("quarry-window-insert");
    const std::string image = MakeImage(folder, "IBM-3740");
    Quarry t;
    t.Find<QTabWidget>("tsMain")->setCurrentIndex(1);

    const ByteVector boot = TextBytes(128, 1), ccp = TextBytes(2000, 2);
    WriteFileBytes(folder + "/boot.bin", boot);
    WriteFileBytes(folder + "/ccp.bin", ccp);
    WriteFileBytes(folder + "/gone.bin", ByteVector(300, 0x33));
    ChooseFile(t, 0, folder + "/boot.bin");
    PopUpImagePart(t, 0)->hide();
    t.Click("mnuBoot");
    t.Click("cmdAddFile");
    ChooseFile(t, 1, folder + "/ccp.bin");
    t.Click("mnuCCP");
    t.Click("cmdAddFile");
    ChooseFile(t, 2, folder + "/gone.bin");
    Box(t, "txtSectorNo", 2)->setText("40");
    Box(t, "txtNumberOfSectors", 2)->setText("5");

    // Without a writable image nothing is written.
    t.Click("cmdInsertIntoImage");
    QCOMPARE(Said(t.LastMessage()),
             std::string("Error processing Image File: Writable Image File NOT Open"));
    t.Open(image, true);
    t.Click("cmdInsertIntoImage");
    QCOMPARE(t.LastMessage().text, std::string("Writable Image File NOT Open"));

    // A file gone since it was chosen is skipped, its box painted red; the others are copied.
    t.Open(image);
    std::filesystem::remove(folder + "/gone.bin");
    t.Click("cmdInsertIntoImage");
    const std::size_t n = t.prompts.messages.size();
    QCOMPARE(Said(t.prompts.messages[n - 2]),
             "Unable to Process File: File NOT processed - " + folder + "/gone.bin");
    QCOMPARE(Said(t.LastMessage()), "Processed Image File: Files Added - \r\n" + folder +
                                        "/boot.bin\r\n" + folder + "/ccp.bin\r\n");
    QCOMPARE(Back(Box(t, "txtFileName", 2)), Red);

    const ByteVector bytes = ReadFileBytes(image);
    QCOMPARE(bytes.size(), std::size_t(256256));
    QVERIFY(std::equal(boot.begin(), boot.end(), bytes.begin()));
    QVERIFY(std::equal(ccp.begin(), ccp.end(), bytes.begin() + 128));
    QCOMPARE(int(bytes[128 + 2000]), 0xE5);
    QVERIFY(
        std::all_of(bytes.begin() + 6656, bytes.end(), [](std::uint8_t b) { return b == 0xE5; }));
    QCOMPARE(t.Text("lblImageSize"), QString("256256"));

    if (!Cpmtools::Installed()) QSKIP("cpmtools (cpmls, cpmcp, fsck.cpm) is not installed");
    Cpmtools cpm;
    QCOMPARE(cpm.List("IBM-3740", image), std::set<std::string>());
    const std::string report = cpm.Check("IBM-3740", image);
    QVERIFY2(report.empty(), report.c_str());
}
