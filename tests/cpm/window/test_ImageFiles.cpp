// New images, Fill Image, the settings the window keeps, and the sample image.
#include "WindowTests.h"

#include "QuarrySession.h"
#include "QuarryWindowTest.h"

#include <filesystem>

namespace {

std::size_t FilesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

} // namespace

void QuarryWindowTests::createsASmallImageAndOpensIt() {
    const std::string folder = TempDir("quarry-window-create");
    const std::string path = folder + "/new.img";
    Quarry t;
    t.prompts.fileAnswers.push_back({path, false});
    QString size, fill, count, echo;
    bool red1000 = false, black1K = false, hidden = false;
    OnModalDialog([&](QDialog* dialog) {
        auto* diskSize = ChildOf<QLineEdit>(dialog, "txtDiskSize");
        auto* fillByte = ChildOf<QLineEdit>(dialog, "txtFillByte");
        size = diskSize->text();
        fill = fillByte->text();
        diskSize->setText("1000");
        red1000 = diskSize->palette().color(QPalette::Text) == QColor(255, 0, 0);
        ChildOf<QPushButton>(dialog, "cmdOK")->click(); // refused: "Error in Input"
        diskSize->setText("1K");
        black1K = diskSize->palette().color(QPalette::Text) == QColor(0, 0, 0);
        echo = ChildOf<QLabel>(dialog, "lblDiskSize")->text();
        fillByte->setText("0x00");
        ChildOf<QPushButton>(dialog, "cmdOK")->click();
        count = ChildOf<QLabel>(dialog, "lblCount")->text();
        hidden = !dialog->isVisible();
    });
    t.Click("cmdCreateDiskImage");
    QCOMPARE(size, QString("256256"));
    QCOMPARE(fill, QString("0xE5"));
    QVERIFY(red1000 && black1K);
    QCOMPARE(t.prompts.messages.front().title, std::string("Error in Input"));
    QCOMPARE(echo, QString("1024"));
    QCOMPARE(count, QString("8/1024"));
    QVERIFY(hidden);
    QVERIFY(ReadFileBytes(path) == ByteVector(1024, 0));

    // With no image open the new one is opened; 1024 bytes is no known format.
    QCOMPARE(t.LastMessage().title, std::string("Disk Type Not Known"));
    QCOMPARE(t.Find<QLineEdit>("txtImageName")->text(), QString::fromStdString(path));
    QCOMPARE(t.Text("lblImageSize"), QString("1024"));

    // With an image open a new file is made but not opened; its size is the format's.
    const std::string second = folder + "/second.img";
    t.prompts.fileAnswers.push_back({second, false});
    OnModalDialog([](QDialog* dialog) { ChildOf<QPushButton>(dialog, "cmdOK")->click(); });
    t.Click("cmdCreateDiskImage");
    QCOMPARE(std::filesystem::file_size(second), std::uintmax_t(256256));
    QCOMPARE(t.Find<QLineEdit>("txtImageName")->text(), QString::fromStdString(path));

    // Cancel on the file dialog: no file, the dialog closes.
    OnModalDialog([](QDialog* dialog) { ChildOf<QPushButton>(dialog, "cmdOK")->click(); });
    t.Click("cmdCreateDiskImage");
    QCOMPARE(FilesIn(folder), std::size_t(2));
}

void QuarryWindowTests::cancelStopsALargeCreation() {
    const std::string folder = TempDir("quarry-window-cancel");
    const std::string path = folder + "/large.img";
    Quarry t;
    bool createDisabled = false, stillOpen = false;
    QString count = "unset";
    int progress = -1;
    OnModalDialog([&](QDialog* dialog) {
        ChildOf<QLineEdit>(dialog, "txtDiskSize")->setText("512M");
        t.prompts.fileAnswers.push_back({path, false});
        QTimer::singleShot(0, dialog, [&, dialog] {
            createDisabled = !ChildOf<QPushButton>(dialog, "cmdOK")->isEnabled();
            ChildOf<QPushButton>(dialog, "cmdCancel")->click();
        });
        ChildOf<QPushButton>(dialog, "cmdOK")->click();
        stillOpen = dialog->isVisible();
        count = ChildOf<QLabel>(dialog, "lblCount")->text();
        progress = ChildOf<QProgressBar>(dialog, "ProgressBar1")->value();
        ChildOf<QPushButton>(dialog, "cmdCancel")->click();
    });
    t.Click("cmdCreateDiskImage");
    QVERIFY(createDisabled);
    QVERIFY(stillOpen);
    QCOMPARE(count, QString());
    QCOMPARE(progress, 0);
    QCOMPARE(FilesIn(folder), std::size_t(0));
    QVERIFY(!t.window.Session().image().ImageOpen());
    QVERIFY(t.prompts.messages.empty());
}

void QuarryWindowTests::fillImageAsksFirst() {
    const std::string folder = TempDir("quarry-window-fill");
    const std::string image = MakeImage(folder, "IBM-3740");
    Quarry t;
    auto* fill = t.Find<QPushButton>("cmdFillImage");

    fill->click();
    QCOMPARE(Said(t.LastMessage()),
             std::string("Error Filling Image File: Writable Image File NOT Open"));

    t.Open(image);
    WriteFileBytes(folder + "/a.txt", TextBytes(5000, 4));
    t.AddByDrop({folder + "/a.txt"});
    const ByteVector before = ReadFileBytes(image);
    t.Find<QLineEdit>("txtFillByte")->setText("0x00");
    t.prompts.messageAnswers.push_back(Answer::Cancel);
    fill->click();
    QCOMPARE(Said(t.LastMessage()),
             std::string("Writing Image File: OK to relace everything in Image file with 0x00"));
    QVERIFY(ReadFileBytes(image) == before);

    auto* bar = t.Find<QProgressBar>("pbFillImage");
    int highest = -1;
    bool shownWhileFilling = false;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int v) {
        highest = std::max(highest, v);
        shownWhileFilling = shownWhileFilling || bar->isVisible();
    });
    fill->click();
    QVERIFY(ReadFileBytes(image) == ByteVector(256256, 0));
    QCOMPARE(highest, 100);
    QVERIFY(shownWhileFilling);
    QVERIFY(!bar->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    // Every entry now reads as a user 0 file of one blank name.
    QCOMPARE(t.Files().size(), 1);

    t.Open(image, true);
    fill->click();
    QCOMPARE(t.LastMessage().text, std::string("Writable Image File NOT Open"));
}

void QuarryWindowTests::settingsWrittenAndRestored() {
    MemorySettings settings;
    settings.SaveSetting("Main", "Top", "120");
    settings.SaveSetting("Main", "Left", "80");
    settings.SaveSetting("Main", "Width", "900");
    settings.SaveSetting("Main", "Height", "650");
    settings.SaveSetting("Options", "FontName", "DejaVu Sans Mono");
    settings.SaveSetting("Options", "FontSize", "13");
    settings.SaveSetting("Options", "FixedFontsOnly", "False");
    {
        Quarry t(settings);
        QCOMPARE(t.window.pos(), QPoint(80, 120));
        QCOMPARE(t.window.size(), QSize(900, 650));
        auto* pane = t.Find<QPlainTextEdit>("rtfDisplay");
        QCOMPARE(pane->font().family(), QString("DejaVu Sans Mono"));
        QCOMPARE(pane->font().pointSize(), 13);
        auto* fixedOnly = t.Find<QAction>("mnuFixedFontsOnly");
        QVERIFY(!fixedOnly->isChecked());

        // The font dialog offers every font, then fixed-pitch ones only once the entry is ticked.
        bool monospacedOnly = true;
        QFont preset;
        auto chooseFont = [&](int size) { // 0: cancelled
            OnModalDialog([&, size](QDialog* dialog) {
                auto* fonts = qobject_cast<QFontDialog*>(dialog);
                monospacedOnly = fonts->testOption(QFontDialog::MonospacedFonts);
                preset = fonts->currentFont();
                if (size == 0) return dialog->reject();
                fonts->setCurrentFont(QFont("DejaVu Sans Mono", size));
                dialog->accept();
            });
            t.Click("mnuFont");
        };
        chooseFont(0);
        QVERIFY(!monospacedOnly);
        QCOMPARE(settings.GetSetting("Options", "FontSize"), std::string("13"));
        fixedOnly->trigger();
        chooseFont(15);
        QVERIFY(monospacedOnly);
        QCOMPARE(preset.pointSize(), 13);
        QCOMPARE(pane->font().pointSize(), 15);
        QCOMPARE(settings.GetSetting("Options", "FontName"), pane->font().family().toStdString());
        QCOMPARE(settings.GetSetting("Options", "FontSize"), std::string("15"));

        t.window.move(60, 70);
        t.window.resize(1000, 700);
        QVERIFY(t.window.close());
    }
    QCOMPARE(settings.GetSetting("Main", "Top"), std::string("70"));
    QCOMPARE(settings.GetSetting("Main", "Left"), std::string("60"));
    QCOMPARE(settings.GetSetting("Main", "Width"), std::string("1000"));
    QCOMPARE(settings.GetSetting("Main", "Height"), std::string("700"));

    // The next window comes back where this one was, with its font; a position on no screen is
    // not taken.
    settings.SaveSetting("NewDisk", "Top", "-5000");
    settings.SaveSetting("NewDisk", "Left", "-5000");
    Quarry again(settings);
    QCOMPARE(again.window.pos(), QPoint(60, 70));
    QCOMPARE(again.Find<QPlainTextEdit>("rtfDisplay")->font().pointSize(), 15);
    QVERIFY(again.Find<QAction>("mnuFixedFontsOnly")->isChecked() == false);
    QPoint dialogAt;
    OnModalDialog([&](QDialog* dialog) {
        dialogAt = dialog->pos();
        dialog->move(90, 110);
        ChildOf<QPushButton>(dialog, "cmdCancel")->click();
    });
    again.Find<QPushButton>("cmdCreateDiskImage")->click();
    QVERIFY(dialogAt.x() > -5000);
    QCOMPARE(settings.GetSetting("NewDisk", "Top"), std::string("110"));
    QCOMPARE(settings.GetSetting("NewDisk", "Left"), std::string("90"));
}

void QuarryWindowTests::sampleImageOpensCleanly() {
    const std::string sample = QUARRY_SAMPLE_IMAGE;
    QVERIFY2(std::filesystem::exists(sample), "build the sample image first (target samples)");
    const std::string image = TempDir("quarry-window-sample") + "/quarry-sample.img";
    std::filesystem::copy_file(sample, image);
    Quarry t;
    t.Open(image);
    QVERIFY(t.prompts.messages.empty());
    QVERIFY(t.Files().size() >= 4);
    QVERIFY(t.Pane().contains("README  .TXT"));
    t.Click("cmdType");
    QVERIFY(!t.Pane().isEmpty());
}
