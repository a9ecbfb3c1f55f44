#include "frmQuarry.h"

#include "DisplaySink.h"
#include "DropZone.h"
#include "ErasedFiles.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "SettingsStore.h"
#include "SystemTracksPanel.h"
#include "WindowPlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

ExplorerProgram QuarryProgram() {
    return {.name = "Quarry",
            .copy = ProgramCopy::Quarry,
            .windowName = "frmQuarry",
            .title = "CPM FS Quarry",
            .imageType = "IMG",
            .imageDescription = "Default",
            .offerReadOnly = true,
            .open = {"mnuOpenImage", "Open Image ...", QKeySequence::Open},
            .close = {"mnuCloseImage", "Close Image", QKeySequence::Close},
            .saveDisplay = {"mnuSaveDisplay", "Save Display ...", QKeySequence::Save},
            .stop = {"cmdAbort", "Abort", QKeySequence(Qt::Key_Escape)}};
}

bool StoredFalse(const std::string& value) {
    const QString v = QString::fromStdString(value).trimmed().toLower();
    return v == "0" || v == "false" || v == "no";
}

} // namespace

frmQuarry::frmQuarry(Prompts* prompts, SettingsStore* settings, QWidget* parent)
    : ExplorerWindow(QuarryProgram(), prompts, settings, parent),
      m_session(std::make_unique<QuarrySession>(Dialogs(), Hook(), Pointer())) {
    m_session->SetFileListChanged([this] { RefillFileList(); });

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(BuildImageBar());
    tsMain = new QTabWidget(central);
    tsMain->setObjectName("tsMain");
    tsMain->addTab(BuildDataTracks(), "Data Tracks");
    m_systemTracks = new SystemTracksPanel(*m_session, Files(), Sink(), tsMain);
    tsMain->addTab(m_systemTracks, "System Tracks");
    layout->addWidget(tsMain, 1);
    setCentralWidget(central);
    connect(tsMain, &QTabWidget::currentChanged, this, &frmQuarry::tsMain_Click);
    connect(m_systemTracks, &SystemTracksPanel::ImageWritten, this, &frmQuarry::ShowImageState);

    BuildMenus();
    resize(1040, 720);

    // Start: IBM-3740, user 0, fill byte 0xE5, no image, the "Image Part" menu hidden.
    cmbSelectDiskFormat->setCurrentIndex(0);
    cmboUserNumber->setCurrentIndex(0);
    txtFillByte->setText(QString::fromStdString(m_session->FillByteText()));
    pbFillImage->hide();
    tsMain_Click(0);
    ShowImageState();
    RestoreSettings();
}

frmQuarry::~frmQuarry() {
    m_session->SetFileListChanged({});
    // The tabs hold on to the session: they go first.
    delete takeCentralWidget();
}

void frmQuarry::RestoreSettings() {
    RestorePlacement(this, Settings(), "Main", true);
    QFont font = Pane()->font();
    const std::string name = Settings().GetSetting("Options", "FontName");
    if (!name.empty()) font.setFamilies({QString::fromStdString(name)});
    bool ok = false;
    const int size =
        QString::fromStdString(Settings().GetSetting("Options", "FontSize")).toInt(&ok);
    if (ok && size >= 4 && size <= 144) font.setPointSize(size);
    Pane()->setFont(font);
    cmboFileList->setFont(font);
    m_fixedFontsOnly = !StoredFalse(Settings().GetSetting("Options", "FixedFontsOnly", "True"));
    mnuFixedFontsOnly->setChecked(m_fixedFontsOnly);
}

bool frmQuarry::ImageOpen() const {
    return m_session->image().ImageOpen();
}

void frmQuarry::ShowImageState() {
    const CpmImage& image = m_session->image();
    const bool open = image.ImageOpen();
    const std::int64_t size = open ? image.FileSize() : 0;
    lblImageSize->setText(QString::fromStdString(SizeDecimalText(size < 0 ? 0 : size)));
    lblImageSizeHex->setText(QString::fromStdString(SizeHexText(size < 0 ? 0 : size)));
    lblReadOnly->setText(!open ? "" : image.ReadOnly() ? "READ ONLY" : "Read/Write");
    RefreshControls();
}

void frmQuarry::UpdateControls() {
    const bool open = m_session->image().ImageOpen();
    const bool writable = m_session->image().Writable();
    const bool erased = chkShowErased->isChecked();
    for (QPushButton* b : {cmdDirectory, cmdFullDirectory, cmdUpLoad, cmdUpLoadAll})
        b->setEnabled(open);
    // The file list holds erased files or live ones: the commands of the other kind rest.
    for (QPushButton* b : {cmdType, cmdDump})
        b->setEnabled(open && !erased);
    for (QPushButton* b : {cmdRename, cmdErase, cmdWipe})
        b->setEnabled(writable && !erased);
    cmdUndelete->setEnabled(writable && erased);
    mnuWipeDirEnt->setEnabled(writable);
    mnuWipeFree->setEnabled(writable);
}

void frmQuarry::SelectFormatInList() {
    const QSignalBlocker blocker(cmbSelectDiskFormat);
    cmbSelectDiskFormat->setCurrentIndex(m_session->Format().Index());
}

void frmQuarry::FillFormatList() {
    const QSignalBlocker blocker(cmbSelectDiskFormat);
    cmbSelectDiskFormat->clear();
    for (const CpmFormat& format : FormatCatalog::Current().Formats()) {
        cmbSelectDiskFormat->addItem(QString::fromStdString(format.name));
        cmbSelectDiskFormat->setItemData(cmbSelectDiskFormat->count() - 1,
                                         QString::fromStdString(format.source), Qt::ToolTipRole);
    }
}

void frmQuarry::RefillFileList() {
    m_refillingFiles = true;
    cmboFileList->clear();
    if (chkShowErased->isChecked() && m_session->image().ImageOpen()) {
        // An erased file goes by its name and the first of its directory entries.
        for (const ErasedFile& file :
             GatherErasedFiles(m_session->directory().ReadDirectory(), m_session->Format()))
            cmboFileList->addItem(
                QString::fromLatin1(file.name.data(), static_cast<qsizetype>(file.name.size())) +
                    QString("  #%1").arg(file.First()),
                file.First());
    } else {
        for (const std::string& name : m_session->directory().FileList())
            cmboFileList->addItem(
                QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    cmboFileList->setCurrentIndex(cmboFileList->count() > 0 ? 0 : -1);
    m_refillingFiles = false;
}

bool frmQuarry::OpenImageFile(const QString& path, bool readOnly) {
    m_readOnlyChoice = readOnly;
    txtImageName->setText(path);
    const CpmImage& image = m_session->image();
    cmboFileList->clear();
    ImageOpener opener = QuarryOpener();
    opener.Choices().readOnly = readOnly;
    QuarrySession::FormatSettling settling;
    settling.question = [this](const std::vector<std::string>& names) { return AskFormat(names); };
    m_session->SetFormatSettling(std::move(settling));
    const bool opened = m_session->Open(path.toStdString(), opener, Sink()) == OpenOutcome::Opened;
    // Under the listing: why an image that was to be changed opened READ ONLY.
    if (const std::string why = image.ContainerReadOnlyText(); opened && !why.empty())
        Sink().Append(why + CRLF);
    SelectFormatInList();
    ShowImageState();
    m_systemTracks->ValidateAll();
    return opened;
}

std::optional<std::string> frmQuarry::AskFormat(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names)
        list += "\r\n  " + name;
    while (true) {
        const std::optional<std::string> answer = Dialogs().InputBox(
            "The image's size fits several formats and its directory does not tell them "
            "apart. Type the name of its format:" +
                list,
            "Disk Format Not Certain", names.front());
        if (!answer || answer->empty()) return std::nullopt;
        const QString typed = QString::fromStdString(*answer).trimmed();
        for (const std::string& name : names)
            if (typed.compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0) return name;
    }
}

bool frmQuarry::FreshBeforeWrite() {
    if (IsBusy()) return false;
    const QString chosen = cmboFileList->currentText();
    if (!m_session->RefreshIfChanged(Sink())) return true;
    ShowImageState();
    // The list was made afresh: the action goes on only on the file that was chosen.
    const int index = cmboFileList->findText(chosen);
    if (index < 0) return chosen.isEmpty();
    cmboFileList->setCurrentIndex(index);
    cmboFileList_Click(index);
    return true;
}

void frmQuarry::txtImageName_DblClick() {
    OpenImage(txtImageName->text().trimmed(), m_readOnlyChoice);
}

void frmQuarry::CloseImageFile() {
    m_session->Close();
    txtImageName->clear();
    cmboFileList->clear();
    ShowImageState();
}

void frmQuarry::mnuFont_Click() {
    QFontDialog::FontDialogOptions options = QFontDialog::DontUseNativeDialog;
    if (m_fixedFontsOnly) options |= QFontDialog::MonospacedFonts;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, Pane()->font(), this, "Font", options);
    if (!ok) return;
    Pane()->setFont(font);
    cmboFileList->setFont(font);
    Settings().SaveSetting("Options", "FontName", font.family().toStdString());
    Settings().SaveSetting("Options", "FontSize", std::to_string(font.pointSize()));
}

void frmQuarry::tsMain_Click(int tab) {
    m_systemTracks->ImagePartMenu()->menuAction()->setVisible(tab == 1);
}

void frmQuarry::Closing() {
    SavePlacement(this, Settings(), "Main", true);
}

bool frmQuarry::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtImageName && event->type() == QEvent::MouseButtonDblClick) {
        txtImageName_DblClick();
        return true;
    }
    return ExplorerWindow::eventFilter(watched, event);
}
