#include "frmQuarry.h"

#include "qt/AppMenus.h"

#include "DropZone.h"
#include "HostError.h"
#include "OutputFile.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "SettingsStore.h"
#include "SystemTracksPanel.h"
#include "WindowPlacement.h"
#include "modFile.h"
#include "qt/QtBusyPointer.h"
#include "qt/QtDisplaySink.h"
#include "qt/QtEventHook.h"
#include "qt/QtPrompts.h"
#include "qt/QtSettingsStore.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* kTitle = "CPM FS Quarry";

// The first local file of a drop, or "".
QString DroppedFile(const QMimeData* data) {
    if (!data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) return url.toLocalFile();
    return {};
}

bool StoredFalse(const std::string& value) {
    const QString v = QString::fromStdString(value).trimmed().toLower();
    return v == "0" || v == "false" || v == "no";
}

} // namespace

frmQuarry::frmQuarry(Prompts* prompts, SettingsStore* settings, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_settings(settings),
      m_hook(std::make_unique<QtEventHook>()), m_pointer(std::make_unique<QtBusyPointer>()) {
    setObjectName("frmQuarry");
    if (!m_settings) {
        m_ownSettings = std::make_unique<QtSettingsStore>("Quarry");
        m_settings = m_ownSettings.get();
    }
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this, *m_settings);
        m_prompts = m_ownPrompts.get();
    }
    m_files = std::make_unique<modFile>(ProgramCopy::Quarry, *m_prompts, *m_settings);

    // The pane exists before the session that writes into it.
    rtfDisplay = new QPlainTextEdit;
    rtfDisplay->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(rtfDisplay);
    m_sink = std::make_unique<QtDisplaySink>(rtfDisplay);
    m_session = std::make_unique<QuarrySession>(*m_sink, *m_prompts, *m_hook, *m_pointer);
    m_session->SetFileListChanged([this] { RefillFileList(); });

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(BuildImageBar());
    tsMain = new QTabWidget(central);
    tsMain->setObjectName("tsMain");
    tsMain->addTab(BuildDataTracks(), "Data Tracks");
    m_systemTracks = new SystemTracksPanel(*m_session, *m_files, tsMain);
    tsMain->addTab(m_systemTracks, "System Tracks");
    layout->addWidget(tsMain, 1);
    setCentralWidget(central);
    connect(tsMain, &QTabWidget::currentChanged, this, &frmQuarry::tsMain_Click);
    connect(m_systemTracks, &SystemTracksPanel::ImageWritten, this, &frmQuarry::ShowImageState);

    BuildMenus();
    setAcceptDrops(true);
    setWindowTitle(kTitle);
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
    RestorePlacement(this, *m_settings, "Main", true);
    QFont font = rtfDisplay->font();
    const std::string name = m_settings->GetSetting("Options", "FontName");
    if (!name.empty()) font.setFamilies({QString::fromStdString(name)});
    bool ok = false;
    const int size =
        QString::fromStdString(m_settings->GetSetting("Options", "FontSize")).toInt(&ok);
    if (ok && size >= 4 && size <= 144) font.setPointSize(size);
    rtfDisplay->setFont(font);
    cmboFileList->setFont(font);
    m_fixedFontsOnly = !StoredFalse(m_settings->GetSetting("Options", "FixedFontsOnly", "True"));
    mnuFixedFontsOnly->setChecked(m_fixedFontsOnly);
}

void frmQuarry::ShowImageState() {
    const CpmImage& image = m_session->image();
    const bool open = image.ImageOpen();
    const std::int64_t size = open ? image.FileSize() : 0;
    lblImageSize->setText(QString::fromStdString(SizeDecimalText(size < 0 ? 0 : size)));
    lblImageSizeHex->setText(QString::fromStdString(SizeHexText(size < 0 ? 0 : size)));
    lblReadOnly->setText(!open ? "" : image.ReadOnly() ? "READ ONLY" : "Read/Write");
    EnableImageControls();
}

void frmQuarry::EnableImageControls() {
    const CpmImage& image = m_session->image();
    const bool open = image.ImageOpen();
    const bool writable = image.Writable();
    for (QPushButton* b : {cmdDirectory, cmdFullDirectory, cmdUpLoad, cmdType, cmdDump})
        b->setEnabled(open);
    for (QPushButton* b : {cmdRename, cmdErase, cmdWipe})
        b->setEnabled(writable);
    mnuCloseImage->setEnabled(open);
    mnuWipeDirEnt->setEnabled(writable);
    mnuWipeFree->setEnabled(writable);
}

void frmQuarry::SelectFormatInList() {
    const QSignalBlocker blocker(cmbSelectDiskFormat);
    cmbSelectDiskFormat->setCurrentIndex(m_session->Format().Index());
}

void frmQuarry::RefillFileList() {
    m_refillingFiles = true;
    cmboFileList->clear();
    for (const std::string& name : m_session->directory().FileList())
        cmboFileList->addItem(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    cmboFileList->setCurrentIndex(cmboFileList->count() > 0 ? 0 : -1);
    m_refillingFiles = false;
}

void frmQuarry::mnuOpenImage_Click() {
    if (m_session->Busy()) return;
    bool readOnly = false;
    const std::string path = m_files->GetFileName("", "OPEN", "IMG", 0, "Default", &readOnly);
    if (path.empty()) return;
    OpenImage(QString::fromStdString(path), readOnly);
}

void frmQuarry::OpenImage(const QString& path, bool readOnly) {
    if (m_session->Busy() || path.isEmpty()) return;
    m_readOnlyChoice = readOnly;
    txtImageName->setText(path);
    CpmImage& image = m_session->image();
    image.SetName(path.toStdString());
    image.SetReadOnlyRequested(readOnly);
    cmboFileList->clear();
    m_session->DetectDiskFormat();
    SelectFormatInList();
    ShowImageState();
    m_systemTracks->ValidateAll();
    if (QFileInfo(path).isFile()) RememberImage(*m_settings, path);
}

void frmQuarry::txtImageName_DblClick() {
    OpenImage(txtImageName->text().trimmed(), m_readOnlyChoice);
}

void frmQuarry::mnuCloseImage_Click() {
    if (m_session->Busy()) return;
    m_session->CloseImage();
    txtImageName->clear();
    cmboFileList->clear();
    ShowImageState();
}

void frmQuarry::mnuSaveDisplay_Click() {
    if (m_session->Busy()) return;
    const std::string path = m_files->GetFileName("", "Save", "TXT", 0, "Display as Text");
    if (path.empty()) return;
    OutputFile out;
    if (!out.Open(path) || !out.Write(m_sink->Text()) || !out.Close())
        m_prompts->MessageBox("Error Saving Display", ErrorReport(out.Error(), "Quarry"));
}

void frmQuarry::mnuFont_Click() {
    QFontDialog::FontDialogOptions options = QFontDialog::DontUseNativeDialog;
    if (m_fixedFontsOnly) options |= QFontDialog::MonospacedFonts;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, rtfDisplay->font(), this, "Font", options);
    if (!ok) return;
    rtfDisplay->setFont(font);
    cmboFileList->setFont(font);
    m_settings->SaveSetting("Options", "FontName", font.family().toStdString());
    m_settings->SaveSetting("Options", "FontSize", std::to_string(font.pointSize()));
}

void frmQuarry::mnuFixedFontsOnly_Click() {
    m_fixedFontsOnly = mnuFixedFontsOnly->isChecked();
}

void frmQuarry::tsMain_Click(int tab) {
    m_systemTracks->ImagePartMenu()->menuAction()->setVisible(tab == 1);
}

void frmQuarry::closeEvent(QCloseEvent* event) {
    if (m_session->Busy()) {
        // A command is running inside this window's event loop: stop it first.
        m_hook->SetAbort(true);
        event->ignore();
        return;
    }
    SavePlacement(this, *m_settings, "Main", true);
    m_session->CloseImage();
    event->accept();
}

void frmQuarry::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmQuarry::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    OpenImage(path);
}

bool frmQuarry::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtImageName && event->type() == QEvent::MouseButtonDblClick) {
        txtImageName_DblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
