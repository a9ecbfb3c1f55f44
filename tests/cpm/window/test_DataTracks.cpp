// The "Data Tracks" side of Quarry's window: opening each format, the format and user lists,
// adding files by dropping them, and the file commands, checked against the image and cpmtools.
#include "WindowTests.h"

#include "DiskFormat.h"
#include "FormatCatalog.h"
#include "Golden.h"
#include "QuarrySession.h"
#include "QuarryWindowTest.h"

#include <filesystem>

namespace {

// Text as the display pane shows it: CR LF as one line break.
QString AsPane(const ByteVector& bytes) {
    QString text = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qsizetype>(bytes.size()));
    return text.replace("\r\n", "\n");
}

} // namespace

void QuarryWindowTests::startsWithItsDefaults() {
    Quarry t;
    QCOMPARE(t.window.windowTitle(), QString("CPM FS Quarry"));
    auto* tabs = t.Find<QTabWidget>("tsMain");
    QCOMPARE(tabs->currentIndex(), 0);
    // Opening each format selects its name in the list (below); the list offers every format of
    // the disk definitions, Quarry's own ten first.
    auto* formats = t.Find<QComboBox>("cmbSelectDiskFormat");
    QCOMPARE(formats->count(), FormatCatalog::Current().Count());
    QCOMPARE(formats->itemText(FormatCount - 1), QString("J50-DSDD"));
    QCOMPARE(t.Find<QComboBox>("cmboUserNumber")->count(), 16);
    QVERIFY(t.Files().isEmpty());
    // No image: the file commands are off.
    QVERIFY(!t.Find<QPushButton>("cmdType")->isEnabled());
    QVERIFY(!t.Find<QPushButton>("cmdErase")->isEnabled());
    QCOMPARE(t.Find<QLineEdit>("txtFillByte")->text(), QString("0xE5"));
    QCOMPARE(t.Text("lblFillByte"), QString("229"));
    QVERIFY(!t.Find<QProgressBar>("pbFillImage")->isVisible());
    QVERIFY(t.Find<QAction>("mnuFixedFontsOnly")->isChecked());
    // The "Image Part" menu joins the menu bar with the "System Tracks" tab only.
    QAction* imagePart = t.Find<QMenu>("mnuImagePart")->menuAction();
    QVERIFY(!imagePart->isVisible());
    tabs->setCurrentIndex(1);
    QVERIFY(imagePart->isVisible());
    tabs->setCurrentIndex(0);
    QVERIFY(!imagePart->isVisible());
}

void QuarryWindowTests::opensEachFormatBySize() {
    const std::string folder = TempDir("quarry-window-formats");
    Quarry t;
    auto* formats = t.Find<QComboBox>("cmbSelectDiskFormat");
    for (const DiskFormatRow& row : FormatTable()) {
        const std::string path = MakeImage(folder, row.name);
        DiskFormat f;
        f.SetDiskFormat(row.name);
        t.Open(path);
        QCOMPARE(formats->currentText(), QString(row.name));
        QCOMPARE(t.window.Session().Format().Name(), std::string(row.name));
        QCOMPARE(t.Find<QLineEdit>("txtImageName")->text(), QString::fromStdString(path));
        QCOMPARE(t.Text("lblImageSize"), QString::number(f.ImageSize));
        QCOMPARE(t.Text("lblImageSizeHex"), "0x" + QString::number(f.ImageSize, 16).toUpper());
        QCOMPARE(t.Text("lblReadOnly"), QString("Read/Write"));
        QVERIFY(t.Pane().contains(" Directory Entries on Disk - " + QString::number(f.DRM + 1)));
        QVERIFY(t.Find<QPushButton>("cmdErase")->isEnabled());
    }
    QVERIFY(t.prompts.messages.empty());

    // An image of no known size keeps the format in force and says so.
    const std::string odd = folder + "/odd.img";
    WriteFileBytes(odd, ByteVector(256257, 0xE5));
    t.Open(odd);
    QCOMPARE(t.LastMessage().title, std::string("Disk Type Not Known"));
    QCOMPARE(formats->currentText(), QString("J50-DSDD"));
    QCOMPARE(t.Text("lblImageSize"), QString("256257"));
    // The format chosen by hand applies to the open image as it is.
    formats->setCurrentIndex(0);
    emit formats->activated(0);
    QCOMPARE(t.window.Session().Format().Name(), std::string("IBM-3740"));

    // Read-only: the writing commands are off and a drop is refused.
    const std::string ibm = folder + "/IBM-3740.img";
    t.Open(ibm, true);
    QCOMPARE(t.Text("lblReadOnly"), QString("READ ONLY"));
    QVERIFY(!t.Find<QPushButton>("cmdRename")->isEnabled());
    QVERIFY(t.Find<QPushButton>("cmdType")->isEnabled());
    WriteFileBytes(folder + "/a.txt", TextBytes(100, 1));
    t.AddByDrop({folder + "/a.txt"});
    QCOMPARE(t.LastMessage().title, std::string("No Image File Open"));

    // A double click on the name box opens the image named there (the read-only choice stays).
    auto* nameBox = t.Find<QLineEdit>("txtImageName");
    nameBox->setText(QString::fromStdString(folder + "/PC-1440.img"));
    QTest::mouseDClick(nameBox, Qt::LeftButton);
    QCOMPARE(formats->currentText(), QString("PC-1440"));
    QCOMPARE(t.Text("lblReadOnly"), QString("READ ONLY"));

    t.Click("mnuCloseImage");
    QVERIFY(!t.window.Session().image().ImageOpen());
    QCOMPARE(nameBox->text(), QString());
    QCOMPARE(t.Text("lblImageSizeHex"), QString("0x0"));
    QVERIFY(!t.Find<QPushButton>("cmdType")->isEnabled());

    // The open dialog with its read-only choice.
    t.prompts.fileAnswers.push_back({ibm, false});
    t.Click("mnuOpenImage");
    QVERIFY(t.prompts.fileRequests.back().offerReadOnly);
    QCOMPARE(formats->currentText(), QString("IBM-3740"));
    QCOMPARE(t.Text("lblReadOnly"), QString("Read/Write"));

    // An IBM-3740 disk as ImageDisk with its first sector unavailable cannot be written back:
    // opened to be changed, it is READ ONLY, and the pane says why under the listing.
    ByteVector imd;
    for (const char c : std::string("IMD 1.18: 01/02/2003 04:05:06\r\nx\x1A"))
        imd.push_back(static_cast<std::uint8_t>(c));
    for (int c = 0; c < 77; ++c) {
        imd.insert(imd.end(), {0, static_cast<std::uint8_t>(c), 0, 26, 0});
        for (int s = 1; s <= 26; ++s)
            imd.push_back(static_cast<std::uint8_t>(s));
        for (int s = 1; s <= 26; ++s)
            if (c == 0 && s == 1)
                imd.push_back(0); // unavailable
            else
                imd.insert(imd.end(), {2, 0xE5});
    }
    WriteFileBytes(folder + "/gap.imd", imd);
    t.Open(folder + "/gap.imd");
    QCOMPARE(t.Text("lblReadOnly"), QString("READ ONLY"));
    QVERIFY(!t.Find<QPushButton>("cmdErase")->isEnabled());
    QVERIFY(t.Pane().contains("Block Size - 1024\n" + QString::fromStdString(folder) +
                              "/gap.imd is in a container (ImageDisk) that cannot be written "
                              "back: sector 1 at cylinder 0, head 0 is unavailable"));
}

void QuarryWindowTests::dropAddsFilesAndRefusesWhatCannotGo() {
    const std::string folder = TempDir("quarry-window-drop");
    const std::string image = MakeImage(folder, "IBM-3740");
    Quarry t;
    t.Open(image);
    const ByteVector readme = TextBytes(1000, 1);
    const ByteVector odd = TextBytes(20000, 2);
    WriteFileBytes(folder + "/readme.txt", readme);
    WriteFileBytes(folder + "/my_file.text", odd);
    std::filesystem::create_directory(folder + "/subfolder");
    WriteFileBytes(folder + "/big.bin", {});
    std::filesystem::resize_file(folder + "/big.bin", 33554432); // 32 MB, sparse

    t.prompts.inputAnswers.push_back(std::string("MYFILE.TXT"));
    t.AddByDrop({folder + "/readme.txt", folder + "/subfolder", folder + "/big.bin",
                 folder + "/my_file.text"});
    QCOMPARE(t.prompts.messages.size(), std::size_t(2));
    QCOMPARE(t.prompts.messages[0].title, std::string("Can NOT process directories"));
    QCOMPARE(t.prompts.messages[1].title, std::string("File TOO Big"));
    QCOMPARE(t.prompts.inputs.size(), std::size_t(1));
    QCOMPARE(t.prompts.inputs[0].title, std::string("Invalid CPM Name"));
    QCOMPARE(t.Files(), QStringList({"00:README  .TXT", "00:MYFILE  .TXT"}));
    QCOMPARE(t.Find<QComboBox>("cmboFileList")->currentIndex(), 0);
    QVERIFY(t.Pane().startsWith("00:README  .TXT  00:MYFILE  .TXT  \n"));

    // The user list sets the user of the next drop; a name already there is asked for again.
    t.Find<QComboBox>("cmboUserNumber")->setCurrentIndex(3);
    t.AddByDrop({folder + "/readme.txt"});
    t.Find<QComboBox>("cmboUserNumber")->setCurrentIndex(0);
    t.prompts.inputAnswers.push_back(std::string("README2.TXT"));
    t.AddByDrop({folder + "/readme.txt"});
    QCOMPARE(t.prompts.inputs.back().title, std::string("CPM File Exists"));
    QCOMPARE(t.Files(), QStringList({"00:README  .TXT", "00:MYFILE  .TXT", "03:README  .TXT",
                                     "00:README2 .TXT"}));

    // Text dropped is not a file list.
    const std::size_t shown = t.prompts.messages.size();
    t.Drop({}, "picDropZone", "some text");
    QCOMPARE(t.prompts.messages.size(), shown);
    QCOMPARE(t.Files().size(), 4);

    // What the window wrote, as cpmtools reads it.
    if (!Cpmtools::Installed()) QSKIP("cpmtools (cpmls, cpmcp, fsck.cpm) is not installed");
    Cpmtools cpm;
    QCOMPARE(cpm.List("IBM-3740", image), std::set<std::string>({"0:readme.txt", "0:myfile.txt",
                                                                 "3:readme.txt", "0:readme2.txt"}));
    QVERIFY(cpm.Get("IBM-3740", image, "0:myfile.txt") == odd);
    QVERIFY(cpm.Get("IBM-3740", image, "3:readme.txt") == readme);
    const std::string report = cpm.Check("IBM-3740", image);
    QVERIFY2(report.empty(), report.c_str());
}

void QuarryWindowTests::fileCommandsOnTheSelectedFile() {
    const std::string folder = TempDir("quarry-window-commands");
    Quarry t;
    t.Open(MakeImage(folder, "IBM-3740"));
    const ByteVector hello = {'H', 'e', 'l', 'l', 'o', ',', ' ', 'C', 'P', '/', 'M', '\r', '\n'};
    const ByteVector notes = TextBytes(3000, 7);
    WriteFileBytes(folder + "/hello.txt", hello);
    WriteFileBytes(folder + "/notes.txt", notes);
    t.AddByDrop({folder + "/hello.txt", folder + "/notes.txt"});
    auto* files = t.Find<QComboBox>("cmboFileList");

    // Type and Dump of the first file; the pane is copied and saved as text.
    t.Click("cmdType");
    QCOMPARE(t.Pane(), QString("Hello, CP/M\n"));
    t.Click("mnuSelectAll");
    t.Click("mnuCopy");
    QCOMPARE(QApplication::clipboard()->text(), QString("Hello, CP/M\n"));
    t.prompts.fileAnswers.push_back({folder + "/pane.txt", false});
    t.Click("mnuSaveDisplay");
    QVERIFY(ReadFileBytes(folder + "/pane.txt") == hello);
    t.Click("cmdDump");
    QVERIFY(t.Pane().startsWith(" \n0002:0000 48 65 6C 6C 6F 2C 20 43 50 2F 4D 0D 0A 1A 1A 1A "
                                " Hello,.CP/M.....\n"));

    // Upload of the second file.
    files->setCurrentIndex(1);
    t.prompts.fileAnswers.push_back({folder + "/notes.out", false});
    t.Click("cmdUpLoad");
    QCOMPARE(t.prompts.fileRequests.back().suggestedName, std::string("NOTES.TXT"));
    QVERIFY(ReadFileBytes(folder + "/notes.out") == notes);

    // Rename asks for the name; the new user moves the file.
    t.prompts.inputAnswers.push_back(std::string("5:MEMO.DOC"));
    t.Click("cmdRename");
    QCOMPARE(t.prompts.inputs.back().defaultText, std::string("00:NOTES   .TXT"));
    QCOMPARE(t.Files(), QStringList({"00:HELLO   .TXT", "05:MEMO    .DOC"}));

    // Erase asks first: Cancel keeps the file, OK erases it.
    files->setCurrentIndex(0);
    t.prompts.messageAnswers.push_back(Answer::Cancel);
    t.Click("cmdErase");
    QCOMPARE(t.LastMessage().text, std::string("OK to Erase file - 00:HELLO   .TXT"));
    QCOMPARE(files->count(), 2);
    t.Click("cmdErase");
    QCOMPARE(t.Files(), QStringList({"05:MEMO    .DOC"}));

    // Wipe with the fill byte 0x00 overwrites the file's blocks.
    t.Find<QLineEdit>("txtFillByte")->setText("0x00");
    t.Click("cmdWipe");
    QCOMPARE(t.LastMessage().text,
             std::string("OK to Erase file - 05:MEMO    .DOC and Wipe with 0x00"));
    QCOMPARE(files->count(), 0);
    std::vector<std::uint8_t> block(1024);
    t.window.Session().image().ReadBlock(3, block);
    QVERIFY(std::count(block.begin(), block.end(), 0) == 1024);

    // With no file left the commands do nothing; every command put the normal pointer back.
    const std::size_t asked = t.prompts.messages.size();
    t.Click("cmdErase");
    t.Click("cmdType");
    QCOMPARE(t.prompts.messages.size(), asked);
    QVERIFY(!QGuiApplication::overrideCursor());

    // Show erased: the list holds erased files; Upload saves one as it is, Undelete asks the
    // user and brings it back, Upload All copies every file, a folder per user.
    QVERIFY(!t.Find<QPushButton>("cmdUndelete")->isEnabled());
    t.Click("chkShowErased");
    QVERIFY(t.Pane().startsWith("HELLO   .TXT  Entry    0  Bytes       13  Blocks     1  "
                                "can be undeleted\n"));
    QCOMPARE(files->currentText(), QString("HELLO   .TXT  #0"));
    QVERIFY(!t.Find<QPushButton>("cmdErase")->isEnabled());
    t.prompts.fileAnswers.push_back({folder + "/hello.out", false});
    t.Click("cmdUpLoad");
    QVERIFY(ReadFileBytes(folder + "/hello.out") == hello);
    t.prompts.inputAnswers.push_back(std::string("3"));
    t.Click("cmdUndelete");
    QCOMPARE(t.prompts.inputs.back().title, std::string("Undelete"));
    QCOMPARE(files->findText("HELLO   .TXT  #0"), -1);
    t.Click("chkShowErased");
    QCOMPARE(t.Files(), QStringList({"03:HELLO   .TXT"}));
    t.prompts.directoryAnswers.push_back({folder + "/all", false});
    std::filesystem::create_directory(folder + "/all");
    t.Click("cmdUpLoadAll");
    QVERIFY(ReadFileBytes(folder + "/all/3/HELLO.TXT") == hello);

    // Another program erases the file: Rename reads the image again and, the file chosen being
    // gone, asks nothing.
    ByteVector image = ReadFileBytes(t.window.Session().image().Name());
    image[6656] = 0xE5;
    WriteFileBytes(t.window.Session().image().Name(), image);
    const std::size_t inputs = t.prompts.inputs.size();
    t.Click("cmdRename");
    QCOMPARE(t.prompts.inputs.size(), inputs);
    QVERIFY(t.Files().isEmpty());
}

void QuarryWindowTests::typeStopsOnAbortAndTheWindowWaits() {
    const std::string folder = TempDir("quarry-window-abort");
    Quarry t;
    t.Open(MakeImage(folder, "PC-8190"));
    const ByteVector text = TextBytes(600000, 3);
    WriteFileBytes(folder + "/long.txt", text);
    t.AddByDrop({folder + "/long.txt"});

    // Uninterrupted, Type shows the whole text, its line ends split between blocks included.
    t.Click("cmdType");
    QCOMPARE(t.Pane(), AsPane(text));

    // Abort pressed while it runs; closing the window meanwhile is refused.
    bool busy = false;
    bool closed = true;
    t.WhileBusy([&] {
        busy = t.window.Session().Busy();
        closed = t.window.close();
        t.Click("cmdAbort");
    });
    t.Click("cmdType");
    QVERIFY(busy);
    QVERIFY(!closed);
    QVERIFY(t.window.isVisible());
    QVERIFY(!t.window.Session().Busy());
    QVERIFY2(t.Pane().size() < qsizetype(text.size() / 2), "Type ran to its end");
    QVERIFY(!QGuiApplication::overrideCursor());
}

void QuarryWindowTests::directoryListingsAndTools() {
    const std::string folder = TempDir("quarry-window-tools");
    const std::string image = MakeImage(folder, "IBM-3740");
    Quarry t;
    t.Open(image);
    for (const std::string name : {"zeta.txt", "alpha.txt"}) {
        WriteFileBytes(folder + "/" + name, TextBytes(2000, 9));
        t.AddByDrop({folder + "/" + name});
    }
    t.Click("cmdDirectory");
    QVERIFY(t.Pane().startsWith("00:ZETA    .TXT  00:ALPHA   .TXT  \n"));
    t.Find<QCheckBox>("chkSorted")->click();
    t.Click("cmdDirectory");
    QVERIFY(t.Pane().startsWith("00:ALPHA   .TXT  00:ZETA    .TXT  \n"));
    t.Click("cmdFullDirectory");
    QVERIFY(t.Pane().startsWith("ALPHA   .TXT\n 00 41 4C 50 48 41"));
    t.Find<QCheckBox>("chkSorted")->click();
    t.Click("cmdFullDirectory");
    QVERIFY(t.Pane().startsWith("ZETA    .TXT  Entry Number = 0\n"));

    // Wipe Directory Entry: nothing for an empty answer, the entry for a number.
    t.Click("mnuWipeDirEnt");
    QCOMPARE(t.prompts.inputs.back().title, std::string("Wipe Directory Entry"));
    QCOMPARE(t.Files().size(), 2);
    t.prompts.inputAnswers.push_back(std::string("0"));
    t.Click("mnuWipeDirEnt");
    QCOMPARE(t.Files(), QStringList({"00:ALPHA   .TXT"}));

    // Wipe Free Space writes the fill byte over the blocks no file holds.
    t.Find<QLineEdit>("txtFillByte")->setText("0x55");
    t.Click("mnuWipeFree");
    std::vector<std::uint8_t> block(1024);
    t.window.Session().image().ReadBlock(2, block); // zeta's first block, freed
    QVERIFY(std::count(block.begin(), block.end(), 0x55) == 1024);
    t.window.Session().image().ReadBlock(4, block); // alpha's first block
    QVERIFY(std::count(block.begin(), block.end(), 0x55) == 0);

    if (!Cpmtools::Installed()) QSKIP("cpmtools (cpmls, cpmcp, fsck.cpm) is not installed");
    Cpmtools cpm;
    QCOMPARE(cpm.List("IBM-3740", image), std::set<std::string>({"0:alpha.txt"}));
    const std::string report = cpm.Check("IBM-3740", image);
    QVERIFY2(report.empty(), report.c_str());
}
