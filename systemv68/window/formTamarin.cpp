#include "formTamarin.h"

#include "DisplaySink.h"
#include "SystemVDamage.h"
#include "modFile.h"
#include "qt/AskNumber.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

ExplorerProgram TamarinProgram() {
    return {.name = "Tamarin",
            .copy = ProgramCopy::Tamarin,
            .windowName = "formTamarin",
            .title = "System V/68 File System",
            .imageType = "IMD",
            .imageDescription = "System V/68 IMD",
            .imageInfo = true};
}

} // namespace

formTamarin::formTamarin(std::shared_ptr<ImageOpener> opener, ImageSummary summary,
                         Prompts* prompts, SettingsStore* settings, QWidget* parent)
    : ExplorerWindow(TamarinProgram(), prompts, settings, parent), m_opener(std::move(opener)),
      m_summary(std::move(summary)),
      m_session(std::make_unique<TamarinSession>(Dialogs(), Hook())) {
    BuildControls();
    OfferContainerChoice(ContainerTypeNames());
    mnuSaveFile = AddFileEntry(FileSection::Save,
                               {"mnuSaveFile", "Save File ...", QKeySequence("Ctrl+Shift+S")},
                               [this] { mnuSaveFile_Click(); });
    AddDamageReport(ShowTamarinDamage);
    AddHelp("Explores System V/68 disks held in ImageDisk (.imd) files.",
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
    optDisplay[OptionInodeInfo]->setChecked(true);
    RefreshControls();
}

void formTamarin::BuildControls() {
    listDIR = new QListWidget(this);
    listDIR->setObjectName("listDIR");
    UseFixedPitch(listDIR);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Files", this));
    left->addWidget(listDIR, 1);
    QGroupBox* options =
        DisplayOptions("Display", {"iNode info", "Display", "Dump", "SuperBlock"}, Qt::Vertical,
                       optDisplay, [this](int index) { optDisplay_Click(index); });
    options->setObjectName("fraDisplay");
    left->addWidget(options);

    cmdDisplaySuperBlock = MakeButton("cmdDisplaySuperBlock", "Display SuperBlock");
    cmdDisplayBlock = MakeButton("cmdDisplayBlock", "Display Block");
    cmdDisplayInodeTable = MakeButton("cmdDisplayInodeTable", "Display iNode Table");
    PlaceSideBySide(left, ButtonRow({cmdDisplaySuperBlock, cmdDisplayBlock, cmdDisplayInodeTable}),
                    240);

    connect(cmdDisplaySuperBlock, &QPushButton::clicked, this,
            &formTamarin::cmdDisplaySuperBlock_Click);
    connect(cmdDisplayBlock, &QPushButton::clicked, this, &formTamarin::cmdDisplayBlock_Click);
    connect(cmdDisplayInodeTable, &QPushButton::clicked, this,
            &formTamarin::cmdDisplayInodeTable_Click);
    OnListClick(listDIR, [this] { ShowSelected(); });
    connect(listDIR, &QListWidget::itemDoubleClicked, this, &formTamarin::listDIR_DblClick);
    // Return enters a directory, as a double click does.
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), listDIR);
        enter->setContext(Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this, &formTamarin::listDIR_DblClick);
    }
}

void formTamarin::UpdateControls() {
    const bool on = m_session->IsExplorable();
    for (QPushButton* button : {cmdDisplaySuperBlock, cmdDisplayBlock, cmdDisplayInodeTable})
        button->setEnabled(on);
    for (QRadioButton* option : optDisplay)
        option->setEnabled(on);
    listDIR->setEnabled(on);
    mnuSaveFile->setEnabled(on && m_displayMode != OptionSuperBlock);
}

void formTamarin::FillList() {
    const QSignalBlocker blocker(listDIR);
    listDIR->clear();
    for (const DirListItem& line : m_session->Lines()) {
        auto* item = new QListWidgetItem(QString::fromLatin1(line.text.c_str()), listDIR);
        item->setData(Qt::UserRole, line.ino);
    }
}

bool formTamarin::OpenImageFile(const QString& path, bool /*readOnly*/) {
    if (!m_opener) return false;
    m_opener->Choices().container = ContainerChoice();
    StringSink volumeID;
    const OpenOutcome outcome = m_session->Open(path.toStdString(), *m_opener, volumeID);
    if (outcome == OpenOutcome::Failed) return false;
    const bool explorable = outcome == OpenOutcome::Opened;
    optDisplay[OptionInodeInfo]->setChecked(true);
    m_displayMode = OptionInodeInfo;
    RefreshControls();
    if (!explorable) {
        Sink().Append(volumeID.Text());
        return true;
    }
    m_session->ListDirectory(RootInode);
    FillList();
    ShowSelected();
    return true;
}

void formTamarin::CloseImageFile() {
    m_session->Close();
    listDIR->clear();
}

void formTamarin::optDisplay_Click(int index) {
    m_displayMode = index;
    RefreshControls();
    ShowSelected();
}

void formTamarin::ShowSelected() {
    if (IsBusy() || !m_session->IsExplorable()) return;
    const std::int32_t inode = m_session->SelectedInode(listDIR->currentRow());
    Busy busy(*this);
    m_session->ShowInode(inode, m_displayMode, Sink());
}

void formTamarin::listDIR_DblClick() {
    if (IsBusy() || !m_session->IsExplorable() || listDIR->currentRow() < 0) return;
    const std::int32_t inode = m_session->SelectedInode(listDIR->currentRow());
    if (!IsDirectory(m_session->Volume().Inodes().Get(inode))) return;
    bool listed;
    {
        Busy busy(*this);
        listed = m_session->ListDirectory(inode);
    }
    if (!listed) return;
    FillList();
    ShowSelected();
}

void formTamarin::cmdDisplaySuperBlock_Click() {
    if (!IsBusy() && m_session->IsOpen()) m_session->ShowSuperBlock(Sink());
}

void formTamarin::cmdDisplayInodeTable_Click() {
    if (IsBusy() || !m_session->IsExplorable()) return;
    Busy busy(*this);
    m_session->ShowInodeTable(Sink());
}

void formTamarin::cmdDisplayBlock_Click() {
    if (IsBusy() || !m_session->IsExplorable()) return;
    const std::int64_t blocks = m_session->Volume().Geometry().VolumeBlocks;
    const std::optional<std::int64_t> block =
        AskNumber(Dialogs(), {"Display which Block?", "Select Block", "1"},
                  [blocks](std::int64_t n) { return n >= 0 && n < blocks; });
    if (block) m_session->ShowBlock(static_cast<std::int32_t>(*block), Sink());
}

std::string formTamarin::SuggestedName() const {
    const QListWidgetItem* item = listDIR->currentItem();
    return item ? SuggestedSaveName(item->text().toLatin1().toStdString()) : std::string();
}

void formTamarin::mnuSaveFile_Click() {
    if (IsBusy() || !m_session->IsExplorable() || m_displayMode == OptionSuperBlock) return;
    const std::string path = Files().GetFileName(SuggestedName(), "Save", "", 0, "UNIX");
    if (path.empty()) return;
    const std::int32_t inode = m_session->SelectedInode(listDIR->currentRow());
    Busy busy(*this);
    if (m_session->Save(inode, path) != SaveResult::Saved) return;
    const std::string damaged = SavedTamarinDamage(ImagePath(), inode, SuggestedName(), Hook());
    if (!damaged.empty()) Dialogs().MessageBox("Save File", damaged);
}

void formTamarin::ShowImageInfo(DisplaySink& sink) {
    if (m_summary && m_session->Disk()) m_summary(*m_session->Disk(), sink);
}
