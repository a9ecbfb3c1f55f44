#include "formKestrel.h"

#include "DisplaySink.h"
#include "Prompts.h"
#include "VersaDOSDamage.h"
#include "modFile.h"
#include "qt/AskNumber.h"
#include "qt/dialogSaveFile.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

ExplorerProgram KestrelProgram() {
    return {.name = "Kestrel",
            .copy = ProgramCopy::Kestrel,
            .windowName = "formKestrel",
            .title = "VersaDOS File System",
            .imageType = "IMD",
            .imageDescription = "VersaDOS IMD",
            .displayType = "VDOSTEXT",
            .imageInfo = true};
}

} // namespace

formKestrel::formKestrel(std::shared_ptr<ImageOpener> opener, ImageSummary summary,
                         Prompts* prompts, SettingsStore* settings, QWidget* parent)
    : ExplorerWindow(KestrelProgram(), prompts, settings, parent), m_opener(std::move(opener)),
      m_summary(std::move(summary)),
      m_session(std::make_unique<KestrelSession>(Dialogs(), Hook())) {
    BuildControls();
    BuildMenus();
    m_saveOptions = new dialogSaveFile(this);

    // Start: "Directory" view, both display flags on, no volume.
    optDisplay[ViewDirectory]->setChecked(true);
    chkEOL->setChecked(true);
    chkDecompressSpaces->setChecked(true);
    RefreshControls();
}

void formKestrel::BuildControls() {
    listSDB = new QListWidget(this);
    listSDB->setObjectName("listSDB");
    listPDB = new QListWidget(this);
    listPDB->setObjectName("listPDB");
    UseFixedPitch(listSDB);
    UseFixedPitch(listPDB);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Catalogs", this));
    left->addWidget(listSDB, 1);
    left->addWidget(new QLabel("Files", this));
    left->addWidget(listPDB, 2);
    left->addWidget(DisplayOptions({}, {"Directory", "Display", "Dump", "Volume Info"},
                                   Qt::Vertical, optDisplay, [this](int) { optDisplay_Click(); }));

    cmdDir = MakeButton("cmdDir", "Dir");
    cmdTest = MakeButton("cmdTest", "Test");
    cmdDisplayBlock = MakeButton("cmdDisplayBlock", "Block");
    cmdDisplayVID = MakeButton("cmdDisplayVID", "Volume ID");
    chkEOL = new QCheckBox("Add CRLF", this);
    chkEOL->setObjectName("chkEOL");
    chkDecompressSpaces = new QCheckBox("Expand Spaces", this);
    chkDecompressSpaces->setObjectName("chkDecompressSpaces");
    PlaceSideBySide(
        left,
        ButtonRow({cmdDir, cmdTest, cmdDisplayBlock, cmdDisplayVID, chkEOL, chkDecompressSpaces}),
        260);

    connect(cmdDir, &QPushButton::clicked, this, [this] { ShowListing(true); });
    connect(cmdTest, &QPushButton::clicked, this, [this] { ShowListing(false); });
    connect(cmdDisplayBlock, &QPushButton::clicked, this, &formKestrel::cmdDisplayBlock_Click);
    connect(cmdDisplayVID, &QPushButton::clicked, this, &formKestrel::cmdDisplayVID_Click);
    connect(chkEOL, &QCheckBox::clicked, this, &formKestrel::chkEOL_Click);
    connect(chkDecompressSpaces, &QCheckBox::clicked, this,
            &formKestrel::chkDecompressSpaces_Click);
    OnListClick(listSDB, [this] { listSDB_Click(); });
    OnListClick(listPDB, [this] { ShowSelectedFile(); });
}

void formKestrel::BuildMenus() {
    OfferContainerChoice(ContainerTypeNames());
    mnuSaveDataBlocks =
        AddFileEntry(FileSection::Save, {"mnuSaveDataBlocks", "Save Data Blocks ..."},
                     [this] { mnuSaveDataBlocks_Click(); });
    mnuSaveRecords = AddFileEntry(FileSection::Save, {"mnuSaveRecords", "Save Records ..."},
                                  [this] { mnuSaveRecords_Click(); });
    mnuSaveAllFiles = AddFileEntry(FileSection::Save, {"mnuSaveAllFiles", "Save All Files"},
                                   [this] { mnuSaveAllFiles_Click(); });
    AddDamageReport(ShowKestrelDamage);
    AddHelp("Explores VersaDOS disks held in ImageDisk (.imd) files.",
            "<h3>Kestrel</h3>"
            "<p>Open an ImageDisk image of a VersaDOS disk with <b>File &gt; Open</b> "
            "(Ctrl+O) or by dropping it on the window. <b>Catalogs</b> lists the catalogs "
            "(user number and name); choosing one lists its <b>Files</b>; choosing a file "
            "shows it in the view chosen under the lists:</p><ul>"
            "<li><b>Directory</b>: the directory entry and the file access blocks.</li>"
            "<li><b>Display</b>: the records as text. <b>Expand Spaces</b> expands "
            "compressed blanks, <b>Add CRLF</b> ends each record with a line break.</li>"
            "<li><b>Dump</b>: every data sector in hexadecimal.</li>"
            "<li><b>Volume Info</b>: the volume ID and configuration area.</li></ul>"
            "<p><b>Dir</b> lists every file of the disk; each press shows the next of four "
            "forms, <b>Test</b> repeats the current form. <b>Block</b> dumps one logical "
            "sector, <b>Volume ID</b> shows the volume report, <b>STOP</b> (Esc) ends a long "
            "dump or save.</p><p>The <b>File</b> menu saves the display (Ctrl+S), a "
            "file's raw data blocks or its records, or every file of the disk into a "
            "folder tree; <b>Image info</b> (Ctrl+I) shows the ImageDisk summary; "
            "<b>Recent images</b> reopens an image. Close with Ctrl+W, quit with "
            "Ctrl+Q. Kestrel never writes to an image.</p>");
}

int formKestrel::DisplayOption() const {
    for (int i = 0; i < 4; ++i)
        if (optDisplay[i]->isChecked()) return i;
    return ViewDirectory;
}

void formKestrel::UpdateControls() {
    const bool on = m_session->IsVersaDOS();
    for (QRadioButton* option : optDisplay)
        option->setEnabled(on);
    for (QWidget* control : std::initializer_list<QWidget*>{cmdDisplayVID, cmdDisplayBlock, listSDB,
                                                            listPDB, cmdDir, cmdTest})
        control->setEnabled(on);
    mnuSaveRecords->setEnabled(on && DisplayOption() != ViewVolumeInfo);
    mnuSaveDataBlocks->setEnabled(on && DisplayOption() != ViewVolumeInfo);
    mnuSaveAllFiles->setEnabled(on);
}

void formKestrel::FillList(QListWidget* list, const std::vector<ListItem>& items, int select) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (const ListItem& item : items) {
        auto* row = new QListWidgetItem(QString::fromLatin1(item.text.c_str()), list);
        row->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(item.data));
    }
    if (select >= 0 && select < list->count()) list->setCurrentRow(select);
}

bool formKestrel::OpenImageFile(const QString& path, bool /*readOnly*/) {
    if (!m_opener) return false;
    m_opener->Choices().container = ContainerChoice();
    StringSink report;
    const OpenOutcome outcome = m_session->Open(path.toStdString(), *m_opener, report);
    if (outcome == OpenOutcome::Failed) return false;
    optDisplay[ViewDirectory]->setChecked(true);
    if (outcome == OpenOutcome::Refused) {
        Sink().Append(report.Text());
        return true;
    }
    RefreshControls();
    {
        Busy busy(*this);
        const int first = m_session->LoadCatalog();
        FillList(listSDB, m_session->Catalogs(), first);
    }
    if (listSDB->currentRow() >= 0) listSDB_Click();
    return true;
}

void formKestrel::CloseImageFile() {
    m_session->Close();
    listSDB->clear();
    listPDB->clear();
}

void formKestrel::listSDB_Click() {
    if (!m_session->IsVersaDOS() || listSDB->currentRow() < 0) return;
    if (IsBusy()) {
        // Stop the walk that is running and take the new catalog once it has ended.
        Hook().SetAbort(true);
        QTimer::singleShot(20, this, [this] { listSDB_Click(); });
        return;
    }
    int first;
    {
        Busy busy(*this);
        first = m_session->SelectCatalog(listSDB->currentRow());
        FillList(listPDB, m_session->Files(), first);
    }
    if (first >= 0) ShowSelectedFile();
}

void formKestrel::ShowSelectedFile() {
    if (IsBusy() || !m_session->IsVersaDOS()) return;
    const int option = DisplayOption();
    if (option != ViewVolumeInfo && listPDB->currentRow() < 0) return;
    Busy busy(*this);
    m_session->ShowFile(listPDB->currentRow(), option, m_expandSpaces, m_addCRLF, Sink());
}

void formKestrel::optDisplay_Click() {
    RefreshControls();
    ShowSelectedFile();
}

void formKestrel::chkEOL_Click() {
    m_addCRLF = chkEOL->isChecked();
    ShowSelectedFile();
}

void formKestrel::chkDecompressSpaces_Click() {
    m_expandSpaces = chkDecompressSpaces->isChecked();
    ShowSelectedFile();
}

void formKestrel::cmdDisplayVID_Click() {
    if (!IsBusy()) m_session->ShowVolume(Sink());
}

void formKestrel::cmdDisplayBlock_Click() {
    if (!m_session->IsOpen() || IsBusy()) return;
    const std::int64_t highest = m_session->HighestBlock();
    const std::optional<std::int64_t> block =
        AskNumber(Dialogs(), {"Display which Block?", "Select Block", "1"},
                  [highest](std::int64_t n) { return n >= 0 && n <= highest; });
    if (block) m_session->ShowBlock(static_cast<std::int32_t>(*block), Sink());
}

void formKestrel::ShowListing(bool advance) {
    if (IsBusy() || !m_session->IsVersaDOS()) return;
    {
        Busy busy(*this);
        m_session->ShowListing(m_listingForm, Sink());
    }
    if (advance) m_listingForm = (m_listingForm + 1) % 4;
}

std::string formKestrel::SuggestedName() const {
    const DirEntry* entry = m_session->FileEntry(listPDB->currentRow());
    if (!entry) return "";
    return Trim(entry->fileName) + "." + Trim(entry->extension);
}

void formKestrel::mnuSaveDataBlocks_Click() {
    if (IsBusy() || listPDB->currentRow() < 0) return;
    const std::string path =
        Files().GetFileName(SuggestedName(), "Save", "VDOSDUMP", 0, "Raw Data Blocks");
    if (path.empty()) return;
    Busy busy(*this);
    if (m_session->SaveDataBlocks(listPDB->currentRow(), path)) ReportDamage(listPDB->currentRow());
}

void formKestrel::ReportDamage(int index) {
    const std::string damaged = SavedKestrelDamage(*m_session, index, ImagePath(), Hook());
    if (!damaged.empty()) Dialogs().MessageBox("Save", damaged);
}

void formKestrel::mnuSaveRecords_Click() {
    if (IsBusy()) return;
    const DirEntry* entry = m_session->FileEntry(listPDB->currentRow());
    if (!entry) return;
    m_saveOptions->ShowSaveFile(QString::fromLatin1(Trim(entry->fileName).c_str()),
                                QString::fromLatin1(Trim(entry->extension).c_str()));
    if (!m_saveOptions->ReturnValue) return;
    m_recordOptions = m_saveOptions->Options();
    const std::string path =
        Files().GetFileName(SuggestedName(), "Save", "VDOSREC", 0, "Raw Records");
    if (path.empty()) return;
    Busy busy(*this);
    if (m_session->SaveRecords(listPDB->currentRow(), path, m_recordOptions))
        ReportDamage(listPDB->currentRow());
}

void formKestrel::mnuSaveAllFiles_Click() {
    if (IsBusy() || !m_session->IsVersaDOS() || listPDB->currentRow() < 0) return;
    const std::string target = Files().GetDirName("", "SAVE", "SAVEALL", 0, "Save All");
    if (target.empty()) return;
    Busy busy(*this);
    const std::string& image = ImagePath();
    m_session->SaveAll(target, Sink(), 3.0,
                       image.empty() ? DamageLookup{}
                                     : DamageLookupOf(ScanKestrelDamage(image, Hook())));
}

void formKestrel::ShowImageInfo(DisplaySink& sink) {
    if (m_summary && m_session->Disk()) m_summary(*m_session->Disk(), sink);
}
