#include "DisplaySink.h"
#include "RecentImages.h"
#include "ScriptedPrompts.h"
#include "modInitFileOptions.h"
#include "qt/AppMenus.h"
#include "qt/QtDisplaySink.h"
#include "qt/QtPrompts.h"
#include "qt/QtSettingsStore.h"
#include "qt/dialogGetDirectory.h"
#include "qt/dialogSaveFile.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void saveOptionsFollowTheExtension();
    void directoryPickerOkCancelAndPosition();
    void displayPaneShowsCrLfAsLineBreaks();
    void nameFiltersForQt();
    void recentImagesAcrossRestarts();
    void helpMenuOpensThePage();
};

void DialogsTest::saveOptionsFollowTheExtension() {
    dialogSaveFile dialog;
    auto* expand = dialog.findChild<QCheckBox*>("chkExpandSpaces");
    auto* little = dialog.findChild<QCheckBox*>("chkLittleEndian");
    auto* addLength = dialog.findChild<QRadioButton*>("optDelimiter_0");
    auto* addCrlf = dialog.findChild<QRadioButton*>("optDelimiter_2");
    QVERIFY(expand && little && addLength && addCrlf);
    QCOMPARE(dialog.windowTitle(), QString("Save File Options"));

    dialog.Prepare("PROG", "sa");
    QCOMPARE(dialog.findChild<QLabel*>("lblFileName")->text(), QString("PROG.sa"));
    QVERIFY(addCrlf->isChecked());
    QVERIFY(expand->isChecked() && expand->isEnabled());
    QVERIFY(!little->isEnabled());

    dialog.Prepare("ODD", "Q7");
    QCOMPARE(dialog.Delimiter(), int(DataOnly));
    QVERIFY(!expand->isChecked());

    addLength->click();
    QVERIFY(!expand->isChecked() && !expand->isEnabled());
    QVERIFY(little->isEnabled());
    little->click();
    QVERIFY(dialog.Options().littleEndian && dialog.Options().lengthPrefix);

    // OK and Cancel set the return value while the dialog runs.
    QTimer::singleShot(0, [&] { dialog.findChild<QPushButton*>("cmdOK")->click(); });
    dialog.ShowSaveFile("A", "SA");
    QVERIFY(dialog.ReturnValue);
    QVERIFY(little->isChecked()); // the choice is kept from one file to the next
    QTimer::singleShot(0, [&] { dialog.findChild<QPushButton*>("cmdCancel")->click(); });
    dialog.ShowSaveFile("A", "SA");
    QVERIFY(!dialog.ReturnValue);
}

void DialogsTest::directoryPickerOkCancelAndPosition() {
    QTemporaryDir temp;
    const QString folder = temp.path() + "/pick";
    QDir().mkpath(folder);
    auto settings = QtSettingsStore::InFile((temp.path() + "/settings.ini").toStdString());
    settings->SaveSetting("SaveALL", "Top", "40");
    settings->SaveSetting("SaveALL", "Left", "60");

    QtPrompts prompts(nullptr, *settings);
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<dialogGetDirectory*>(QApplication::activeModalWidget());
        QVERIFY(picker);
        QCOMPARE(picker->windowTitle(), QString("Directory Path Save All"));
        QCOMPARE(picker->PathBox()->text(), folder);
        QCOMPARE(picker->pos(), QPoint(60, 40));
        picker->move(70, 50);
        picker->findChild<QPushButton*>("cmdOK")->click();
    });
    DirectoryPickResult chosen =
        prompts.PickDirectory("Directory Path Save All", folder.toStdString());
    QCOMPARE(QString::fromStdString(chosen.directory), folder);
    QVERIFY(!chosen.cancelled);
    QCOMPARE(settings->GetSetting("SaveALL", "Left"), std::string("70"));
    QCOMPARE(settings->GetSetting("SaveALL", "Top"), std::string("50"));

    QTimer::singleShot(0, [&] {
        QApplication::activeModalWidget()->findChild<QPushButton*>("cmdCancel")->click();
    });
    chosen = prompts.PickDirectory("Directory Path Save All", folder.toStdString());
    QVERIFY(chosen.cancelled);
    QVERIFY(chosen.directory.empty());

    // The close box keeps the start folder.
    QTimer::singleShot(0, [&] { QApplication::activeModalWidget()->close(); });
    chosen = prompts.PickDirectory("Directory Path Save All", folder.toStdString());
    QVERIFY(!chosen.cancelled);
    QCOMPARE(QString::fromStdString(chosen.directory), folder);
}

void DialogsTest::displayPaneShowsCrLfAsLineBreaks() {
    QPlainTextEdit pane;
    QtDisplaySink::SetUpPane(&pane);
    QtDisplaySink sink(&pane);
    sink.Append("first line\r\nsecond");
    sink.Append(" piece\r\n");
    QCOMPARE(pane.document()->blockCount(), 3);
    QCOMPARE(pane.document()->findBlockByNumber(1).text(), QString("second piece"));
    QCOMPARE(sink.Text(), std::string("first line\r\nsecond piece\r\n"));
    // A CR LF split between two pieces is one line break.
    sink.Append("third\r");
    sink.Append("\nfourth\r");
    sink.Append("fifth");
    QCOMPARE(sink.Text(), std::string("first line\r\nsecond piece\r\nthird\r\nfourth\r\nfifth"));
    QVERIFY(pane.isReadOnly());
    QCOMPARE(pane.lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(QFontInfo(pane.font()).fixedPitch());
    sink.Clear();
    QCOMPARE(sink.Text(), std::string());
}

void DialogsTest::nameFiltersForQt() {
    const QStringList filters =
        QtNameFilters("Text File (*.txt)|*.txt|VersaDoS Text File|*.AF;*.AG|All Files (*.*)|*.*");
    QCOMPARE(filters, QStringList({"Text File (*.txt)", "VersaDoS Text File (*.AF *.AG)",
                                   "All Files (*.*)"}));
    QCOMPARE(QtNameFilters("Disassembled Files (*.dasm;*.dlst)|*.dasm;*.dlst"),
             QStringList({"Disassembled Files (*.dasm *.dlst)"}));
}

void DialogsTest::recentImagesAcrossRestarts() {
    QTemporaryDir temp;
    const std::string file = (temp.path() + "/recent.ini").toStdString();
    std::vector<QString> images;
    for (int i = 0; i < 10; ++i) {
        images.push_back(temp.path() + QString("/disk%1.imd").arg(i));
        QFile f(images.back());
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    {
        auto settings = QtSettingsStore::InFile(file);
        for (const QString& image : images)
            RememberImage(*settings, image);
        RememberImage(*settings, images[3]); // opened again: moves to the top
    }
    auto settings = QtSettingsStore::InFile(file);
    std::vector<std::string> list = RecentImages(*settings).List();
    QCOMPARE(list.size(), size_t(8));
    QCOMPARE(QString::fromStdString(list[0]), images[3]);
    QCOMPARE(QString::fromStdString(list[1]), images[9]);
    QCOMPARE(QString::fromStdString(list[7]), images[2]);

    // Choosing an image that has gone away says so and drops it; others open.
    QMainWindow window;
    QMenu* fileMenu = window.menuBar()->addMenu("File");
    QAction* exit = fileMenu->addAction("Exit");
    ScriptedPrompts prompts;
    QStringList opened;
    QMenu* recent = AddRecentImagesMenu(fileMenu, exit, *settings, prompts,
                                        [&](const QString& path) { opened << path; });
    QFile::remove(images[9]);
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 8);
    recent->actions()[1]->trigger();
    QCOMPARE(prompts.messages.size(), size_t(1));
    QCOMPARE(prompts.messages[0].title, std::string("Recent images"));
    QVERIFY(opened.isEmpty());
    QCOMPARE(RecentImages(*settings).List().size(), size_t(7));
    emit recent->aboutToShow();
    recent->actions()[0]->trigger();
    QCOMPARE(opened, QStringList({images[3]}));
}

void DialogsTest::helpMenuOpensThePage() {
    QMainWindow window;
    AddHelpMenu(&window, "Kestrel", "summary", "<h3>Kestrel</h3><p>the controls</p>");
    auto* page = window.findChild<QAction*>("mnuHelpPage");
    QVERIFY(page);
    QCOMPARE(page->shortcut(), QKeySequence(QKeySequence::HelpContents));
    QString title, text;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        title = dialog->windowTitle();
        text = dialog->findChild<QTextBrowser*>()->toPlainText();
        dialog->close();
    });
    page->trigger();
    QCOMPARE(title, QString("Kestrel Help"));
    QVERIFY(text.contains("the controls"));
    QVERIFY(window.findChild<QAction*>("mnuAbout"));
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
