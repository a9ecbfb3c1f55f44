#include "formTamarin.h"

#include "BusyPointer.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "HostError.h"
#include "OutputFile.h"
#include "Prompts.h"
#include "SettingsStore.h"
#include "modFile.h"
#include "qt/AppMenus.h"
#include "qt/QtBusyPointer.h"
#include "qt/QtDisplaySink.h"
#include "qt/QtEventHook.h"
#include "qt/QtPrompts.h"
#include "qt/QtSettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const char* kTitle = "System V/68 File System";

} // namespace

formTamarin::formTamarin(ImageOpener opener, ImageSummary summary, Prompts* prompts,
                         SettingsStore* settings, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_settings(settings),
      m_hook(std::make_unique<QtEventHook>()), m_pointer(std::make_unique<QtBusyPointer>()),
      m_opener(std::move(opener)), m_summary(std::move(summary)) {
    setObjectName("formTamarin");
    if (!m_settings) {
        m_ownSettings = std::make_unique<QtSettingsStore>("Tamarin");
        m_settings = m_ownSettings.get();
    }
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this, *m_settings);
        m_prompts = m_ownPrompts.get();
    }
    m_files = std::make_unique<modFile>(ProgramCopy::Tamarin, *m_prompts, *m_settings);
    m_session = std::make_unique<TamarinSession>(*m_prompts, *m_hook);
    BuildControls();
    BuildMenus();
    m_sink = std::make_unique<QtDisplaySink>(rtfDisplay);
    setAcceptDrops(true);
    setWindowTitle(kTitle);
    resize(1000, 640);
    Form_Load();
}

formTamarin::~formTamarin() {
    m_session->Detach();
}

void formTamarin::Form_Load() {
    optDisplay[OptionInodeInfo]->setChecked(true);
    m_displayMode = OptionInodeInfo;
    EnableControls(false);
    SetBusy(false);
    UpdateMenus();
    lblVersion->setText(QString("V ") + SUITE_VERSION);
}

void formTamarin::BuildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);

    auto* left = new QVBoxLayout;
    auto* filesLabel = new QLabel("Files", central);
    listDIR = new QListWidget(central);
    listDIR->setObjectName("listDIR");
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    listDIR->setFont(fixed);
    left->addWidget(filesLabel);
    left->addWidget(listDIR, 1);

    auto* options = new QGroupBox("Display", central);
    options->setObjectName("fraDisplay");
    auto* optionsLayout = new QVBoxLayout(options);
    auto* group = new QButtonGroup(this);
    const char* captions[4] = {"iNode info", "Display", "Dump", "SuperBlock"};
    for (int i = 0; i < 4; ++i) {
        optDisplay[i] = new QRadioButton(captions[i], options);
        optDisplay[i]->setObjectName(QString("optDisplay_%1").arg(i));
        group->addButton(optDisplay[i], i);
        optionsLayout->addWidget(optDisplay[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, &formTamarin::optDisplay_Click);
    left->addWidget(options);

    auto makeButton = [&](const char* name, const char* caption) {
        auto* button = new QPushButton(caption, central);
        button->setObjectName(name);
        return button;
    };
    cmdDisplaySuperBlock = makeButton("cmdDisplaySuperBlock", "Display SuperBlock");
    cmdDisplayBlock = makeButton("cmdDisplayBlock", "Display Block");
    cmdDisplayInodeTable = makeButton("cmdDisplayInodeTable", "Display iNode Table");
    cmdABORT = makeButton("cmdABORT", "STOP");
    lblVersion = new QLabel(central);
    lblVersion->setObjectName("lblVersion");

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{cmdDisplaySuperBlock, cmdDisplayBlock,
                                                      cmdDisplayInodeTable})
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(cmdABORT);
    buttons->addWidget(lblVersion);

    rtfDisplay = new QPlainTextEdit(central);
    rtfDisplay->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(rtfDisplay);

    auto* right = new QVBoxLayout;
    right->addLayout(buttons);
    right->addWidget(rtfDisplay, 1);

    auto* leftWidget = new QWidget(central);
    leftWidget->setLayout(left);
    auto* rightWidget = new QWidget(central);
    rightWidget->setLayout(right);
    auto* splitter = new QSplitter(central);
    splitter->addWidget(leftWidget);
    splitter->addWidget(rightWidget);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 760});
    layout->addWidget(splitter);
    setCentralWidget(central);

    connect(cmdDisplaySuperBlock, &QPushButton::clicked, this,
            &formTamarin::cmdDisplaySuperBlock_Click);
    connect(cmdDisplayBlock, &QPushButton::clicked, this, &formTamarin::cmdDisplayBlock_Click);
    connect(cmdDisplayInodeTable, &QPushButton::clicked, this,
            &formTamarin::cmdDisplayInodeTable_Click);
    connect(cmdABORT, &QPushButton::clicked, this, &formTamarin::cmdABORT_Click);
    connect(listDIR, &QListWidget::itemClicked, this, &formTamarin::listDIR_Click);
    connect(listDIR, &QListWidget::itemDoubleClicked, this, &formTamarin::listDIR_DblClick);
    // The keyboard: moving through the list selects as a click does, Return enters.
    connect(listDIR, &QListWidget::currentRowChanged, this, [this](int) {
        // A mouse click moves the row too; the click itself answers it, once.
        if (listDIR->hasFocus() && QApplication::mouseButtons() == Qt::NoButton) listDIR_Click();
    });
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), listDIR);
        enter->setContext(Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this, &formTamarin::listDIR_DblClick);
    }
    auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(stop, &QShortcut::activated, this, &formTamarin::cmdABORT_Click);
}

void formTamarin::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    auto add = [&](QAction*& action, const char* name, const char* caption, QKeySequence keys,
                   void (formTamarin::*slot)()) {
        action = file->addAction(caption);
        action->setObjectName(name);
        if (!keys.isEmpty()) action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
    };
    add(mnuOpen, "mnuOpen", "Open ...", QKeySequence::Open, &formTamarin::mnuOpen_Click);
    add(mnuClose, "mnuClose", "Close", QKeySequence::Close, &formTamarin::mnuClose_Click);
    add(mnuImageInfo, "mnuImageInfo", "Image info", QKeySequence("Ctrl+I"),
        &formTamarin::mnuImageInfo_Click);
    QAction* afterRecent = file->addSeparator();
    AddRecentImagesMenu(file, afterRecent, *m_settings, *m_prompts,
                        [this](const QString& path) { OpenImage(path); });
    add(mnuSaveTxt, "mnuSaveTxt", "Save Display ...", QKeySequence::Save,
        &formTamarin::mnuSaveTxt_Click);
    add(mnuSaveFile, "mnuSaveFile", "Save File ...", QKeySequence("Ctrl+Shift+S"),
        &formTamarin::mnuSaveFile_Click);
    file->addSeparator();
    add(mnuExit, "mnuExit", "Exit", QKeySequence::Quit, &formTamarin::mnuExit_Click);

    AddHelpMenu(this, "Tamarin", "Explores System V/68 disks held in ImageDisk (.imd) files.",
                "<h3>Tamarin</h3>"
                "<p>Open an ImageDisk image of a System V/68 disk with <b>File &gt; Open</b> "
                "(Ctrl+O) or by dropping it on the window. <b>Files</b> lists the current "
                "directory; directories are shown in parentheses. Double-click a directory "
                "(or press Enter) to go into it, and \"(..)\" to go back up.</p>"
                "<p>The selected entry is shown in the view chosen under <b>Display</b>:</p><ul>"
                "<li><b>iNode info</b>: the inode and its block addresses.</li>"
                "<li><b>Display</b>: the file as text.</li>"
                "<li><b>Dump</b>: the file in hexadecimal, block by block.</li>"
                "<li><b>SuperBlock</b>: nothing; use the buttons above the display.</li></ul>"
                "<p><b>Display SuperBlock</b> shows the super block, volume ID and configuration "
                "area, <b>Display Block</b> dumps one block, <b>Display iNode Table</b> lists "
                "every inode. <b>STOP</b> (Esc) ends a long display.</p>"
                "<p>The <b>File</b> menu saves the display (Ctrl+S) or the selected file "
                "(Ctrl+Shift+S), shows the ImageDisk summary (<b>Image info</b>, Ctrl+I) and "
                "reopens <b>Recent images</b>. Close with Ctrl+W, quit with Ctrl+Q. Tamarin "
                "never writes to an image.</p>");
}

void formTamarin::SetBusy(bool busy) {
    m_busy = busy;
    m_hook->SetAbort(false);
    m_pointer->SetBusy(busy);
    cmdABORT->setEnabled(busy);
}

void formTamarin::EnableControls(bool on) {
    for (QPushButton* button : {cmdDisplaySuperBlock, cmdDisplayBlock, cmdDisplayInodeTable})
        button->setEnabled(on);
    for (QRadioButton* option : optDisplay)
        option->setEnabled(on);
    listDIR->setEnabled(on);
    if (!on) {
        listDIR->clear();
        m_sink->Clear();
    }
}

void formTamarin::UpdateMenus() {
    mnuSaveFile->setEnabled(m_session->IsExplorable() && m_displayMode != OptionSuperBlock);
    mnuClose->setEnabled(m_session->IsOpen());
    mnuImageInfo->setEnabled(m_session->IsOpen() && m_summary != nullptr);
}

void formTamarin::FillList() {
    const QSignalBlocker blocker(listDIR);
    listDIR->clear();
    for (const DirListItem& line : m_session->Lines()) {
        auto* item = new QListWidgetItem(QString::fromLatin1(line.text.c_str()), listDIR);
        item->setData(Qt::UserRole, line.ino);
    }
}

void formTamarin::mnuOpen_Click() {
    if (m_busy) return;
    const std::string path = m_files->GetFileName("", "OPEN", "IMD", 0, "System V/68 IMD");
    if (!path.empty()) OpenImage(QString::fromStdString(path));
}

void formTamarin::OpenImage(const QString& path) {
    if (m_busy) return;
    if (m_session->IsOpen()) CloseDrive();
    std::unique_ptr<SectorSource> disk =
        m_opener ? m_opener(path.toStdString(), *m_prompts) : nullptr;
    // An image that cannot be opened leaves the window without a disk.
    if (!disk) return;
    RememberImage(*m_settings, path);
    setWindowTitle(QString(kTitle) + " " + QFileInfo(path).absoluteFilePath());

    StringSink volumeID;
    const bool explorable = m_session->Attach(std::move(disk), volumeID);
    listDIR->clear();
    optDisplay[OptionInodeInfo]->setChecked(true);
    m_displayMode = OptionInodeInfo;
    if (explorable) {
        EnableControls(true);
        m_session->ListDirectory(RootInode);
        FillList();
        UpdateMenus();
        ShowSelected();
    } else {
        EnableControls(false);
        UpdateMenus();
        m_sink->Append(volumeID.Text());
    }
}

void formTamarin::CloseDrive() {
    m_session->Detach();
    setWindowTitle(kTitle);
    EnableControls(false);
    UpdateMenus();
}

void formTamarin::mnuClose_Click() {
    if (m_busy) return;
    CloseDrive();
}

void formTamarin::optDisplay_Click(int index) {
    m_displayMode = index;
    UpdateMenus();
    if (m_session->IsExplorable()) ShowSelected();
}

void formTamarin::ShowSelected() {
    if (m_busy || !m_session->IsExplorable()) return;
    const std::int32_t inode = m_session->SelectedInode(listDIR->currentRow());
    SetBusy(true);
    m_session->ShowInode(inode, m_displayMode, *m_sink);
    SetBusy(false);
}

void formTamarin::listDIR_Click() {
    ShowSelected();
}

void formTamarin::listDIR_DblClick() {
    if (m_busy || !m_session->IsExplorable() || listDIR->currentRow() < 0) return;
    const std::int32_t inode = m_session->SelectedInode(listDIR->currentRow());
    if (!IsDirectory(m_session->Volume().Inodes().Get(inode))) return;
    SetBusy(true);
    const bool listed = m_session->ListDirectory(inode);
    SetBusy(false);
    if (!listed) return;
    FillList();
    ShowSelected();
}

void formTamarin::cmdDisplaySuperBlock_Click() {
    if (m_busy || !m_session->IsOpen()) return;
    m_session->ShowSuperBlock(*m_sink);
}

void formTamarin::cmdDisplayInodeTable_Click() {
    if (m_busy || !m_session->IsExplorable()) return;
    SetBusy(true);
    m_session->ShowInodeTable(*m_sink);
    SetBusy(false);
}

void formTamarin::cmdDisplayBlock_Click() {
    if (m_busy || !m_session->IsExplorable()) return;
    const std::optional<std::int32_t> block =
        AskBlockNumber(*m_prompts, m_session->Volume().Geometry().VolumeBlocks);
    if (block) m_session->ShowBlock(*block, *m_sink);
}

void formTamarin::cmdABORT_Click() {
    m_hook->SetAbort(true);
}

std::string formTamarin::SelectedLineText() const {
    const QListWidgetItem* item = listDIR->currentItem();
    return item ? SuggestedSaveName(item->text().toLatin1().toStdString()) : std::string();
}

void formTamarin::mnuSaveFile_Click() {
    if (m_busy || !m_session->IsExplorable() || m_displayMode == OptionSuperBlock) return;
    const std::string path = m_files->GetFileName(SelectedLineText(), "Save", "", 0, "UNIX");
    if (path.empty()) return;
    const std::int32_t inode = m_session->SelectedInode(listDIR->currentRow());
    SetBusy(true);
    m_session->Save(inode, path);
    SetBusy(false);
}

void formTamarin::mnuSaveTxt_Click() {
    if (m_busy) return;
    const std::string path =
        m_files->GetFileName(SelectedLineText(), "Save", "TXT", 0, "Display as Text");
    if (path.empty()) return;
    OutputFile out;
    if (!out.Open(path) || !out.Write(m_sink->Text()) || !out.Close())
        m_prompts->MessageBox("Save Display", ErrorReport(out.Error(), "Tamarin"));
}

void formTamarin::mnuImageInfo_Click() {
    if (m_busy || !m_session->IsOpen() || !m_summary) return;
    m_sink->Clear();
    m_summary(*m_session->Disk(), *m_sink);
}

void formTamarin::mnuExit_Click() {
    close();
}

void formTamarin::closeEvent(QCloseEvent* event) {
    // A running walk keeps the window open; STOP ends it first.
    if (m_busy) {
        event->ignore();
        return;
    }
    m_session->Detach();
    event->accept();
}

void formTamarin::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void formTamarin::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        OpenImage(url.toLocalFile());
        return;
    }
}
