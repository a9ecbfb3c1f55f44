// The "Data Tracks" side of Quarry's window: opening each format, the format and user lists,
// adding files by dropping them, and the file commands, checked against the image and cpmtools.
#include "WindowTests.h"

#include "DiskFormat.h"
#include "Golden.h"
#include "QuarrySession.h"
#include "QuarryWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <filesystem>

namespace {

const char* const Formats[] = {"IBM-3740", "PC-1440",  "PC-4104",  "PC-8190",  "J48-SSSD",
                               "J48-SSDD", "J50-SSSD", "J50-SSDD", "J50-DSSD", "J50-DSDD"};

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Text as the display pane shows it: CR LF as one line break.
QString AsPane(const ByteVector& bytes) {
    QString text = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qsizetype>(bytes.size()));
    return text.replace("\r\n", "\n");
}

// The bytes of a file as the image stores them: whole records, the last padded with 0x1A.
ByteVector Padded(ByteVector bytes) {
    bytes.resize((bytes.size() + 127) / 128 * 128, 0x1A);
    return bytes;
}

} // namespace

void DataTracksTest::startsWithItsDefaults() {
    WindowUnderTest t;
    QCOMPARE(t.window->windowTitle(), QString("CPM FS Quarry"));
    auto* tabs = t.Child<QTabWidget>("tsMain");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QString("Data Tracks"));
    QCOMPARE(tabs->tabText(1), QString("System Tracks"));
    QCOMPARE(tabs->currentIndex(), 0);

    auto* formats = t.Child<QComboBox>("cmbSelectDiskFormat");
    QStringList names;
    for (const char* f : Formats)
        names << f;
    QCOMPARE(Items(formats), names);
    QCOMPARE(formats->currentIndex(), 0);
    auto* users = t.Child<QComboBox>("cmboUserNumber");
    QCOMPARE(users->count(), 16);
    QCOMPARE(users->itemText(0), QString("User 0"));
    QCOMPARE(users->itemText(15), QString("User 15"));
    QCOMPARE(users->currentIndex(), 0);
    QCOMPARE(users->toolTip(), QString("Select User Number for Dropped Files"));
    QCOMPARE(t.Child<QComboBox>("cmboFileList")->toolTip(), QString("Select File for Function"));
    QCOMPARE(t.Child<QComboBox>("cmboFileList")->count(), 0);
    QCOMPARE(t.Child<QLabel>("picDropZone")->text(), QString("Drop Files Here"));

    const std::pair<const char*, const char*> buttons[] = {{"cmdUpLoad", "Upload"},
                                                           {"cmdType", "Type"},
                                                           {"cmdDump", "Dump"},
                                                           {"cmdRename", "Rename"},
                                                           {"cmdErase", "Erase"},
                                                           {"cmdWipe", "Wipe"},
                                                           {"cmdAbort", "Abort"},
                                                           {"cmdCreateDiskImage", "Create Image"},
                                                           {"cmdFillImage", "Fill Image"},
                                                           {"cmdDirectory", "Directory"},
                                                           {"cmdFullDirectory", "Full Directory"}};
    for (const auto& [name, caption] : buttons)
        QCOMPARE(t.Child<QPushButton>(name)->text(), QString(caption));
    QCOMPARE(t.Child<QPushButton>("cmdFillImage")->toolTip(),
             QString("Click to fill target file with fill bute"));
    QVERIFY(!t.Child<QPushButton>("cmdType")->isEnabled());
    QVERIFY(!t.Child<QPushButton>("cmdErase")->isEnabled());

    QCOMPARE(t.Child<QLineEdit>("txtFillByte")->text(), QString("0xE5"));
    QCOMPARE(t.Child<QLabel>("lblFillByte")->text(), QString("229"));
    QCOMPARE(t.Child<QLabel>("lblFillByteHex")->text(), QString("0xE5"));
    QVERIFY(!t.Child<QProgressBar>("pbFillImage")->isVisible());
    QCOMPARE(t.Child<QLabel>("lblImageSize")->text(), QString("0"));
    QCOMPARE(t.Child<QLabel>("lblImageSizeHex")->text(), QString("0x0"));

    const std::pair<const char*, const char*> menus[] = {{"mnuOpenImage", "Open Image ..."},
                                                         {"mnuCloseImage", "Close Image"},
                                                         {"mnuWipeDirEnt", "Wipe Directory Entry"},
                                                         {"mnuWipeFree", "Wipe Free Space"},
                                                         {"mnuFont", "Font ..."},
                                                         {"mnuFixedFontsOnly", "Fixed Fonts Only"}};
    for (const auto& [name, caption] : menus)
        QCOMPARE(t.Child<QAction>(name)->text(), QString(caption));
    QVERIFY(t.Child<QAction>("mnuFixedFontsOnly")->isChecked());
    // The "Image Part" menu joins the menu bar with the "System Tracks" tab only.
    QAction* imagePart = t.Child<QMenu>("mnuImagePart")->menuAction();
    QVERIFY(!imagePart->isVisible());
    tabs->setCurrentIndex(1);
    QVERIFY(imagePart->isVisible());
    tabs->setCurrentIndex(0);
    QVERIFY(!imagePart->isVisible());
}

void DataTracksTest::opensEachFormatBySize() {
    const std::string folder = TempDir("quarry-window-formats");
    WindowUnderTest t;
    auto* formats = t.Child<QComboBox>("cmbSelectDiskFormat");
    for (const char* name : Formats) {
        const std::string path = MakeImage(folder, name);
        DiskFormat f;
        f.SetDiskFormat(name);
        t.Open(path);
        QCOMPARE(formats->currentText(), QString(name));
        QCOMPARE(t.window->Session().Format().Name(), std::string(name));
        QCOMPARE(t.Child<QLineEdit>("txtImageName")->text(), QString::fromStdString(path));
        QCOMPARE(t.Child<QLabel>("lblImageSize")->text(), QString::number(f.ImageSize));
        QCOMPARE(t.Child<QLabel>("lblImageSizeHex")->text(),
                 "0x" + QString::number(f.ImageSize, 16).toUpper());
        QCOMPARE(t.Child<QLabel>("lblReadOnly")->text(), QString("Read/Write"));
        QVERIFY(t.Pane().contains(" Directory Entries on Disk - " + QString::number(f.DRM + 1)));
        QVERIFY(t.Pane().contains(" Block Size - " + QString::number(f.BlockSize)));
        QVERIFY(t.Child<QPushButton>("cmdErase")->isEnabled());
    }
    QVERIFY(t.prompts.messages.empty());

    // An image of no known size keeps the format in force and says so.
    const std::string odd = folder + "/odd.img";
    WriteBytes(odd, ByteVector(256257, 0xE5));
    t.Open(odd);
    QCOMPARE(t.LastMessage().title, std::string("Disk Type Not Known"));
    QCOMPARE(t.LastMessage().text, std::string("Type of disk could NOT be determined.\r\n"
                                               "Serious damage can occur if you continue"));
    QCOMPARE(formats->currentText(), QString("J50-DSDD"));
    QCOMPARE(t.Child<QLabel>("lblImageSize")->text(), QString("256257"));

    // The format chosen by hand applies to the open image as it is.
    formats->setCurrentIndex(0);
    emit formats->activated(0);
    QCOMPARE(t.window->Session().Format().Name(), std::string("IBM-3740"));

    // Read-only: the writing commands are off and a drop is refused.
    const std::string ibm = folder + "/IBM-3740.img";
    t.Open(ibm, true);
    QCOMPARE(t.Child<QLabel>("lblReadOnly")->text(), QString("READ ONLY"));
    QVERIFY(!t.Child<QPushButton>("cmdRename")->isEnabled());
    QVERIFY(t.Child<QPushButton>("cmdType")->isEnabled());
    const std::string host = folder + "/a.txt";
    WriteBytes(host, TextBytes(100, 1));
    DropFiles(t.Child<QWidget>("picDropZone"), {QString::fromStdString(host)});
    QCOMPARE(t.LastMessage().title, std::string("No Image File Open"));
    QCOMPARE(t.LastMessage().text, std::string("Need Writable Image File Open to Drop Files"));

    // A double click on the name box opens the image named there (the read-only choice stays).
    auto* nameBox = t.Child<QLineEdit>("txtImageName");
    const std::string pc = folder + "/PC-1440.img";
    nameBox->setText(QString::fromStdString(pc));
    QTest::mouseDClick(nameBox, Qt::LeftButton);
    QCOMPARE(formats->currentText(), QString("PC-1440"));
    QCOMPARE(t.Child<QLabel>("lblReadOnly")->text(), QString("READ ONLY"));

    // Close Image.
    t.Child<QAction>("mnuCloseImage")->trigger();
    QVERIFY(!t.window->Session().image().ImageOpen());
    QCOMPARE(nameBox->text(), QString());
    QCOMPARE(t.Child<QLabel>("lblImageSize")->text(), QString("0"));
    QCOMPARE(t.Child<QLabel>("lblImageSizeHex")->text(), QString("0x0"));
    QVERIFY(!t.Child<QPushButton>("cmdType")->isEnabled());

    // The open dialog with its read-only choice, and an image dropped on the window.
    t.prompts.fileAnswers.push_back({ibm, false});
    t.Child<QAction>("mnuOpenImage")->trigger();
    QVERIFY(t.prompts.fileRequests.back().offerReadOnly);
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Open Disk Image File"));
    QCOMPARE(formats->currentText(), QString("IBM-3740"));
    QCOMPARE(t.Child<QLabel>("lblReadOnly")->text(), QString("Read/Write"));
    DropFiles(t.window, {QString::fromStdString(folder + "/J50-SSDD.img")});
    QCOMPARE(formats->currentText(), QString("J50-SSDD"));
    // The pane passes drops on to the window.
    auto* pane = t.Child<QPlainTextEdit>("rtfDisplay");
    QVERIFY(!pane->acceptDrops() && !pane->viewport()->acceptDrops());
    QVERIFY(t.window->acceptDrops());
}

void DataTracksTest::dropAddsFilesAndRefusesWhatCannotGo() {
    const std::string folder = TempDir("quarry-window-drop");
    const std::string image = MakeImage(folder, "IBM-3740");
    WindowUnderTest t;
    t.Open(image);
    QWidget* zone = t.Child<QWidget>("picDropZone");

    const ByteVector readme = TextBytes(1000, 1);
    const ByteVector odd = TextBytes(20000, 2);
    WriteBytes(folder + "/readme.txt", readme);
    WriteBytes(folder + "/my_file.text", odd);
    std::filesystem::create_directory(folder + "/subfolder");
    const std::string big = folder + "/big.bin";
    WriteBytes(big, {});
    std::filesystem::resize_file(big, 33554432); // 32 MB, sparse

    t.prompts.inputAnswers.push_back(std::string("MYFILE.TXT"));
    DropFiles(zone, {QString::fromStdString(folder + "/readme.txt"),
                     QString::fromStdString(folder + "/subfolder"), QString::fromStdString(big),
                     QString::fromStdString(folder + "/my_file.text")});
    QVERIFY(t.Shown("Can NOT process directories"));
    QCOMPARE(t.prompts.messages[0].text, "Encountered directory - \r\n\r\n" + folder +
                                             "/subfolder\r\n\r\nPlease select files only");
    QCOMPARE(t.prompts.messages[1].title, std::string("File TOO Big"));
    QCOMPARE(t.prompts.messages[1].text,
             std::string("CPM does not support Files Greater than 32MB"));
    QCOMPARE(t.prompts.inputs.size(), std::size_t(1));
    QCOMPARE(t.prompts.inputs[0].title, std::string("Invalid CPM Name"));
    QCOMPARE(t.prompts.inputs[0].defaultText, std::string("00:MYFILE  .TEX"));
    QVERIFY(t.prompts.inputs[0].prompt.starts_with("Bad Name - my_file.text\r\n"));

    auto* files = t.Child<QComboBox>("cmboFileList");
    QCOMPARE(Items(files), QStringList({"00:README  .TXT", "00:MYFILE  .TXT"}));
    QCOMPARE(files->currentIndex(), 0);
    QVERIFY(t.Pane().startsWith("00:README  .TXT  00:MYFILE  .TXT  \n"));
    QVERIFY(t.Pane().contains("Files Listed - 2\n"));

    // The user list sets the user of the next drop; a name already there is asked for again.
    t.Child<QComboBox>("cmboUserNumber")->setCurrentIndex(3);
    DropFiles(zone, {QString::fromStdString(folder + "/readme.txt")});
    t.Child<QComboBox>("cmboUserNumber")->setCurrentIndex(0);
    t.prompts.inputAnswers.push_back(std::string("README2.TXT"));
    DropFiles(zone, {QString::fromStdString(folder + "/readme.txt")});
    QCOMPARE(t.prompts.inputs.back().title, std::string("CPM File Exists"));
    QCOMPARE(Items(files), QStringList({"00:README  .TXT", "00:MYFILE  .TXT", "03:README  .TXT",
                                        "00:README2 .TXT"}));

    // Text dropped is not a file list.
    const std::size_t shown = t.prompts.messages.size();
    DropFiles(zone, {}, "some text");
    QCOMPARE(t.prompts.messages.size(), shown);
    QCOMPARE(files->count(), 4);

    // What the window wrote, as cpmtools reads it.
    if (!Cpmtools::Installed()) QSKIP("cpmtools (cpmls, cpmcp, fsck.cpm) is not installed");
    Cpmtools cpm;
    QCOMPARE(cpm.List("IBM-3740", image), std::set<std::string>({"0:readme.txt", "0:myfile.txt",
                                                                 "3:readme.txt", "0:readme2.txt"}));
    QVERIFY(cpm.Get("IBM-3740", image, "0:myfile.txt") == Padded(odd));
    QVERIFY(cpm.Get("IBM-3740", image, "3:readme.txt") == Padded(readme));
    std::string report;
    QVERIFY2(cpm.Check("IBM-3740", image, &report), report.c_str());
}

void DataTracksTest::fileCommandsOnTheSelectedFile() {
    const std::string folder = TempDir("quarry-window-commands");
    const std::string image = MakeImage(folder, "IBM-3740");
    WindowUnderTest t;
    t.Open(image);
    const ByteVector hello = {'H', 'e', 'l', 'l', 'o', ',', ' ', 'C', 'P', '/', 'M', '\r', '\n'};
    const ByteVector notes = TextBytes(3000, 7);
    WriteBytes(folder + "/hello.txt", hello);
    WriteBytes(folder + "/notes.txt", notes);
    DropFiles(t.Child<QWidget>("picDropZone"), {QString::fromStdString(folder + "/hello.txt"),
                                                QString::fromStdString(folder + "/notes.txt")});
    auto* files = t.Child<QComboBox>("cmboFileList");
    QCOMPARE(files->count(), 2);

    // Type and Dump of the first file.
    t.Child<QPushButton>("cmdType")->click();
    QCOMPARE(t.Pane(), QString("Hello, CP/M\n"));
    // The pane is copied and saved as text.
    t.Child<QAction>("mnuSelectAll")->trigger();
    t.Child<QAction>("mnuCopy")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("Hello, CP/M\n"));
    t.prompts.fileAnswers.push_back({folder + "/pane.txt", false});
    t.Child<QAction>("mnuSaveDisplay")->trigger();
    QCOMPARE(t.prompts.fileRequests.back().title, std::string("Save Display as Text File"));
    QVERIFY(ReadBytes(folder + "/pane.txt") == hello);
    t.Child<QPushButton>("cmdDump")->click();
    QVERIFY(t.Pane().startsWith(" \n0002:0000 48 65 6C 6C 6F 2C 20 43 50 2F 4D 0D 0A 1A 1A 1A "
                                " Hello,.CP/M.....\n"));
    QCOMPARE(t.Pane().count('\n'), 9);

    // Upload of the second file.
    files->setCurrentIndex(1);
    QCOMPARE(t.window->Session().SelectedFile(), std::string("00:NOTES   .TXT"));
    const std::string out = folder + "/notes.out";
    t.prompts.fileAnswers.push_back({out, false});
    t.Child<QPushButton>("cmdUpLoad")->click();
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("NOTES.TXT"));
    QVERIFY(ReadBytes(out) == Padded(notes));

    // Rename asks for the name; the new user moves the file.
    t.prompts.inputAnswers.push_back(std::string("5:MEMO.DOC"));
    t.Child<QPushButton>("cmdRename")->click();
    QCOMPARE(t.prompts.inputs.back().prompt, std::string("Input a Valid CPM Filename"));
    QCOMPARE(t.prompts.inputs.back().title, std::string("CPM Name"));
    QCOMPARE(t.prompts.inputs.back().defaultText, std::string("00:NOTES   .TXT"));
    QCOMPARE(Items(files), QStringList({"00:HELLO   .TXT", "05:MEMO    .DOC"}));

    // Erase asks first: Cancel keeps the file, OK erases it and leaves its bytes.
    files->setCurrentIndex(0);
    t.prompts.messageAnswers.push_back(Answer::Cancel);
    t.Child<QPushButton>("cmdErase")->click();
    QCOMPARE(t.LastMessage().title, std::string("Delete File"));
    QCOMPARE(t.LastMessage().text, std::string("OK to Erase file - 00:HELLO   .TXT"));
    QCOMPARE(t.LastMessage().buttons, Buttons::OkCancel);
    QCOMPARE(files->count(), 2);
    t.Child<QPushButton>("cmdErase")->click();
    QCOMPARE(Items(files), QStringList({"05:MEMO    .DOC"}));
    const std::vector<DirEntry> entries = t.window->Session().directory().ReadDirectory();
    QCOMPARE(int(entries[0].bytes[0]), 0xE5);
    QCOMPARE(entries[0].bytes[1], std::uint8_t('H'));

    // Wipe with fill byte 0x00: the blocks and the entry are overwritten.
    t.Child<QLineEdit>("txtFillByte")->setText("0x00");
    std::vector<std::uint8_t> block(1024);
    t.window->Session().image().ReadBlock(3, block);
    QVERIFY(std::count(block.begin(), block.end(), 0) == 0);
    t.Child<QPushButton>("cmdWipe")->click();
    QCOMPARE(t.LastMessage().text,
             std::string("OK to Erase file - 05:MEMO    .DOC and Wipe with 0x00"));
    QCOMPARE(files->count(), 0);
    t.window->Session().image().ReadBlock(3, block);
    QVERIFY(std::count(block.begin(), block.end(), 0) == 1024);
    const std::vector<DirEntry> after = t.window->Session().directory().ReadDirectory();
    QCOMPARE(int(after[1].bytes[0]), 0xE5);
    QCOMPARE(int(after[1].bytes[1]), 0);
    QVERIFY(t.Pane().contains("Files Listed - 0\n"));

    // With no file left the commands do nothing.
    const std::size_t asked = t.prompts.messages.size();
    t.Child<QPushButton>("cmdErase")->click();
    t.Child<QPushButton>("cmdType")->click();
    QCOMPARE(t.prompts.messages.size(), asked);
    // Every command put the normal pointer back.
    QVERIFY(!QGuiApplication::overrideCursor());
}

void DataTracksTest::typeStopsOnAbortAndTheWindowWaits() {
    const std::string folder = TempDir("quarry-window-abort");
    const std::string image = MakeImage(folder, "PC-8190");
    WindowUnderTest t;
    t.Open(image);
    const ByteVector text = TextBytes(600000, 3);
    WriteBytes(folder + "/long.txt", text);
    DropFiles(t.Child<QWidget>("picDropZone"), {QString::fromStdString(folder + "/long.txt")});
    QCOMPARE(t.Child<QComboBox>("cmboFileList")->count(), 1);

    // Uninterrupted, Type shows the whole text, its line ends split between blocks included.
    t.Child<QPushButton>("cmdType")->click();
    QCOMPARE(t.Pane(), AsPane(text));

    // Abort pressed while it runs; closing the window meanwhile is refused.
    bool busy = false;
    bool closed = true;
    QTest::qWait(20);
    QTimer::singleShot(0, t.window, [&] {
        busy = t.window->Session().Busy();
        closed = t.window->close();
        t.Child<QPushButton>("cmdAbort")->click();
    });
    t.Child<QPushButton>("cmdType")->click();
    QVERIFY(busy);
    QVERIFY(!closed);
    QVERIFY(t.window->isVisible());
    QVERIFY(!t.window->Session().Busy());
    QVERIFY2(t.Pane().size() < qsizetype(text.size() / 2), "Type ran to its end");
    QVERIFY(!QGuiApplication::overrideCursor());
}

void DataTracksTest::directoryListingsAndTools() {
    const std::string folder = TempDir("quarry-window-tools");
    const std::string image = MakeImage(folder, "IBM-3740");
    WindowUnderTest t;
    t.Open(image);
    for (const char* name : {"zeta.txt", "alpha.txt"}) {
        WriteBytes(folder + "/" + name, TextBytes(2000, 9));
        DropFiles(t.Child<QWidget>("picDropZone"), {QString::fromStdString(folder + "/" + name)});
    }
    t.Child<QPushButton>("cmdDirectory")->click();
    QVERIFY(t.Pane().startsWith("00:ZETA    .TXT  00:ALPHA   .TXT  \n"));
    t.Child<QCheckBox>("chkSorted")->click();
    t.Child<QPushButton>("cmdDirectory")->click();
    QVERIFY(t.Pane().startsWith("00:ALPHA   .TXT  00:ZETA    .TXT  \n"));
    t.Child<QPushButton>("cmdFullDirectory")->click();
    QVERIFY(t.Pane().startsWith("ALPHA   .TXT\n 00 41 4C 50 48 41"));
    t.Child<QCheckBox>("chkSorted")->click();
    t.Child<QPushButton>("cmdFullDirectory")->click();
    QVERIFY(t.Pane().startsWith("ZETA    .TXT  Entry Number = 0\n"));

    // Wipe Directory Entry: nothing for an empty answer, the entry for a number.
    t.Child<QAction>("mnuWipeDirEnt")->trigger();
    QCOMPARE(t.prompts.inputs.back().title, std::string("Wipe Directory Entry"));
    QCOMPARE(t.prompts.inputs.back().defaultText, std::string("-1"));
    QVERIFY(t.prompts.inputs.back().prompt.ends_with("Enter Directory Entry Number  (0-63) "));
    QCOMPARE(t.Child<QComboBox>("cmboFileList")->count(), 2);
    t.prompts.inputAnswers.push_back(std::string("64"));
    t.prompts.inputAnswers.push_back(std::string("0"));
    t.Child<QAction>("mnuWipeDirEnt")->trigger();
    QVERIFY(t.LastMessage().text.ends_with("must be between 0 and 63. You input \"64\""));
    QCOMPARE(Items(t.Child<QComboBox>("cmboFileList")), QStringList({"00:ALPHA   .TXT"}));

    // Wipe Free Space writes the fill byte over the blocks no file holds.
    t.Child<QLineEdit>("txtFillByte")->setText("0x55");
    t.Child<QAction>("mnuWipeFree")->trigger();
    std::vector<std::uint8_t> block(1024);
    t.window->Session().image().ReadBlock(2, block); // zeta's first block, freed
    QVERIFY(std::count(block.begin(), block.end(), 0x55) == 1024);
    t.window->Session().image().ReadBlock(4, block); // alpha's first block
    QVERIFY(std::count(block.begin(), block.end(), 0x55) == 0);
    t.window->Session().image().ReadBlock(0, block); // the directory
    QCOMPARE(int(block[32]), 0);

    if (!Cpmtools::Installed()) QSKIP("cpmtools (cpmls, cpmcp, fsck.cpm) is not installed");
    Cpmtools cpm;
    QCOMPARE(cpm.List("IBM-3740", image), std::set<std::string>({"0:alpha.txt"}));
    std::string report;
    QVERIFY2(cpm.Check("IBM-3740", image, &report), report.c_str());
}
