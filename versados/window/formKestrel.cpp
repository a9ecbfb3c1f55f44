#include "formKestrel.h"

#include "BusyPointer.h"
#include "DisplaySink.h"
#include "EventHook.h"
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
#include "qt/dialogSaveFile.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char* kTitle = "VersaDOS File System";

// The number an answer starts with, as the input box has always read it: blanks, a sign, then
// decimal digits or "&H" and hex digits; no number at all counts as 0.
long long LeadingNumber(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return 0;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '&' && (text[i + 1] == 'H' || text[i + 1] == 'h')) {
        base = 16;
        i += 2;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) break;
        value = value * base + digit;
        if (value > (1LL << 40)) break;
    }
    return negative ? -value : value;
}

// Marks an operation as running for the lifetime of the object.
class Running {
public:
    explicit Running(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Running() { m_flag = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    bool& m_flag;
};

} // namespace

formKestrel::formKestrel(ImageOpener opener, ImageSummary summary, Prompts* prompts,
                         SettingsStore* settings, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_settings(settings),
      m_hook(std::make_unique<QtEventHook>()), m_pointer(std::make_unique<QtBusyPointer>()),
      m_opener(std::move(opener)), m_summary(std::move(summary)) {
    setObjectName("formKestrel");
    if (!m_settings) {
        m_ownSettings = std::make_unique<QtSettingsStore>("Kestrel");
        m_settings = m_ownSettings.get();
    }
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this, *m_settings);
        m_prompts = m_ownPrompts.get();
    }
    m_files = std::make_unique<modFile>(ProgramCopy::Kestrel, *m_prompts, *m_settings);
    m_session = std::make_unique<KestrelSession>(*m_prompts, *m_hook);

    BuildControls();
    BuildMenus();
    m_sink = std::make_unique<QtDisplaySink>(rtfDisplay);
    m_saveOptions = new dialogSaveFile(this);
    setAcceptDrops(true);
    setWindowTitle(kTitle);
    resize(1000, 640);

    // Start: "Directory" view, both display flags on, no volume.
    optDisplay[ViewDirectory]->setChecked(true);
    chkEOL->setChecked(true);
    chkDecompressSpaces->setChecked(true);
    EnableVolumeControls(false);
    UpdateRecordMenus();
    SetBusy(false);
    lblVersion->setText(QString("V ") + SUITE_VERSION);
}

formKestrel::~formKestrel() { m_session->Detach(); }

void formKestrel::BuildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);

    auto* left = new QVBoxLayout;
    auto* catalogsLabel = new QLabel("Catalogs", central);
    listSDB = new QListWidget(central);
    listSDB->setObjectName("listSDB");
    auto* filesLabel = new QLabel("Files", central);
    listPDB = new QListWidget(central);
    listPDB->setObjectName("listPDB");
    QFont fixed = QFont("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    listSDB->setFont(fixed);
    listPDB->setFont(fixed);
    left->addWidget(catalogsLabel);
    left->addWidget(listSDB, 1);
    left->addWidget(filesLabel);
    left->addWidget(listPDB, 2);

    auto* options = new QGroupBox(central);
    auto* optionsLayout = new QVBoxLayout(options);
    auto* group = new QButtonGroup(this);
    const char* captions[4] = {"Directory", "Display", "Dump", "Volume Info"};
    for (int i = 0; i < 4; ++i) {
        optDisplay[i] = new QRadioButton(captions[i], options);
        optDisplay[i]->setObjectName(QString("optDisplay_%1").arg(i));
        group->addButton(optDisplay[i], i);
        optionsLayout->addWidget(optDisplay[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, &formKestrel::optDisplay_Click);
    left->addWidget(options);

    auto makeButton = [&](const char* name, const char* caption) {
        auto* button = new QPushButton(caption, central);
        button->setObjectName(name);
        return button;
    };
    cmdDir = makeButton("cmdDir", "Dir");
    cmdTest = makeButton("cmdTest", "Test");
    cmdDisplayBlock = makeButton("cmdDisplayBlock", "Block");
    cmdDisplayVID = makeButton("cmdDisplayVID", "Volume ID");
    cmdABORT = makeButton("cmdABORT", "STOP");
    chkEOL = new QCheckBox("Add CRLF", central);
    chkEOL->setObjectName("chkEOL");
    chkDecompressSpaces = new QCheckBox("Expand Spaces", central);
    chkDecompressSpaces->setObjectName("chkDecompressSpaces");
    lblVersion = new QLabel(central);
    lblVersion->setObjectName("lblVersion");

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{cmdDir, cmdTest, cmdDisplayBlock,
                                                      cmdDisplayVID, chkEOL, chkDecompressSpaces})
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
    splitter->setSizes({260, 740});
    layout->addWidget(splitter);
    setCentralWidget(central);

    connect(cmdDir, &QPushButton::clicked, this, &formKestrel::cmdDir_Click);
    connect(cmdTest, &QPushButton::clicked, this, &formKestrel::cmdTest_Click);
    connect(cmdDisplayBlock, &QPushButton::clicked, this, &formKestrel::cmdDisplayBlock_Click);
    connect(cmdDisplayVID, &QPushButton::clicked, this, &formKestrel::cmdDisplayVID_Click);
    connect(cmdABORT, &QPushButton::clicked, this, &formKestrel::cmdABORT_Click);
    connect(chkEOL, &QCheckBox::clicked, this, &formKestrel::chkEOL_Click);
    connect(chkDecompressSpaces, &QCheckBox::clicked, this, &formKestrel::chkDecompressSpaces_Click);
    connect(listSDB, &QListWidget::itemClicked, this, &formKestrel::listSDB_Click);
    connect(listPDB, &QListWidget::itemClicked, this, &formKestrel::listPDB_Click);
    // Moving through the lists with the keyboard selects as a click does. A mouse click also
    // moves the current row, and is answered once, by the click itself.
    connect(listSDB, &QListWidget::currentRowChanged, this, [this](int) {
        if (listSDB->hasFocus() && QApplication::mouseButtons() == Qt::NoButton) listSDB_Click();
    });
    connect(listPDB, &QListWidget::currentRowChanged, this, [this](int) {
        if (listPDB->hasFocus() && QApplication::mouseButtons() == Qt::NoButton) listPDB_Click();
    });
}

void formKestrel::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    auto add = [&](QAction*& action, const char* name, const char* caption, QKeySequence keys,
                   void (formKestrel::*slot)()) {
        action = file->addAction(caption);
        action->setObjectName(name);
        if (!keys.isEmpty()) action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
    };
    add(mnuOpen, "mnuOpen", "Open ...", QKeySequence::Open, &formKestrel::mnuOpen_Click);
    add(mnuClose, "mnuClose", "Close", QKeySequence::Close, &formKestrel::mnuClose_Click);
    QAction* afterRecent = file->addSeparator();
    AddRecentImagesMenu(file, afterRecent, *m_settings, *m_prompts,
                        [this](const QString& path) { OpenImage(path); });
    add(mnuSaveTxt, "mnuSaveTxt", "Save Display ...", QKeySequence::Save,
        &formKestrel::mnuSaveTxt_Click);
    add(mnuSaveDataBlocks, "mnuSaveDataBlocks", "Save Data Blocks ...", {},
        &formKestrel::mnuSaveDataBlocks_Click);
    add(mnuSaveRecords, "mnuSaveRecords", "Save Records ...", {},
        &formKestrel::mnuSaveRecords_Click);
    add(mnuSaveAllFiles, "mnuSaveAllFiles", "Save All Files", {},
        &formKestrel::mnuSaveAllFiles_Click);
    file->addSeparator();
    add(mnuImageInfo, "mnuImageInfo", "Image info", QKeySequence("Ctrl+I"),
        &formKestrel::mnuImageInfo_Click);
    file->addSeparator();
    mnuExit = file->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    mnuExit->setShortcut(QKeySequence::Quit);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    AddHelpMenu(this, "Kestrel", "Explores VersaDOS disks held in ImageDisk (.imd) files.",
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
                "sector, <b>Volume ID</b> shows the volume report, <b>STOP</b> ends a long "
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

void formKestrel::SetBusy(bool busy) {
    m_busy = busy;
    m_pointer->SetBusy(busy);
    cmdABORT->setEnabled(busy);
}

void formKestrel::EnableVolumeControls(bool on) {
    for (QRadioButton* option : optDisplay) option->setEnabled(on);
    cmdDisplayVID->setEnabled(on);
    cmdDisplayBlock->setEnabled(on);
    listSDB->setEnabled(on);
    listPDB->setEnabled(on);
    cmdDir->setEnabled(on);
    cmdTest->setEnabled(on);
    if (!on) {
        listSDB->clear();
        listPDB->clear();
        m_sink->Clear();
    }
}

void formKestrel::UpdateRecordMenus() {
    const bool on = m_session->IsVersaDOS() && DisplayOption() != ViewVolumeInfo;
    mnuSaveRecords->setEnabled(on);
    mnuSaveDataBlocks->setEnabled(on);
    mnuClose->setEnabled(m_session->IsOpen());
    mnuImageInfo->setEnabled(m_session->IsOpen());
    mnuSaveAllFiles->setEnabled(m_session->IsVersaDOS());
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

void formKestrel::mnuOpen_Click() {
    if (m_busy) return;
    const std::string path = m_files->GetFileName("", "OPEN", "IMD", 0, "VersaDOS IMD");
    if (!path.empty()) OpenImage(QString::fromStdString(path));
}

void formKestrel::OpenImage(const QString& path) {
    if (m_busy) return;
    if (m_session->IsOpen()) CloseDrive();
    setWindowTitle(QString(kTitle) + " " + path);
    if (!m_opener) return;
    std::unique_ptr<SectorSource> disk = m_opener(path.toStdString(), *m_prompts);
    if (!disk) return;
    RememberImage(*m_settings, path);

    listSDB->clear();
    listPDB->clear();
    optDisplay[ViewDirectory]->setChecked(true);
    StringSink report;
    if (m_session->Attach(std::move(disk), report)) {
        EnableVolumeControls(true);
        UpdateRecordMenus();
        SetBusy(true);
        {
            Running running(m_loadingCatalog);
            const int first = m_session->LoadCatalog();
            FillList(listSDB, m_session->Catalogs(), first);
        }
        SetBusy(false);
        if (listSDB->currentRow() >= 0) listSDB_Click();
    } else {
        EnableVolumeControls(false);
        UpdateRecordMenus();
        m_sink->Append(report.Text());
    }
}

void formKestrel::CloseDrive() {
    m_session->Detach();
    setWindowTitle(kTitle);
    EnableVolumeControls(false);
    UpdateRecordMenus();
}

void formKestrel::mnuClose_Click() {
    if (m_busy) return;
    CloseDrive();
}

void formKestrel::listSDB_Click() {
    if (!m_session->IsVersaDOS() || listSDB->currentRow() < 0) return;
    if (m_busy || m_selectingCatalog) {
        // Stop the walk that is running and take the new catalog once it has ended.
        m_hook->SetAbort(true);
        QTimer::singleShot(20, this, [this] {
            if (!m_busy) listSDB_Click();
        });
        return;
    }
    SetBusy(true);
    int first;
    {
        Running running(m_selectingCatalog);
        first = m_session->SelectCatalog(listSDB->currentRow());
        FillList(listPDB, m_session->Files(), first);
    }
    SetBusy(false);
    if (first >= 0) ShowSelectedFile();
}

void formKestrel::listPDB_Click() {
    if (m_session->IsVersaDOS()) ShowSelectedFile();
}

void formKestrel::ShowSelectedFile() {
    if (m_busy || m_showingFile || !m_session->IsVersaDOS()) return;
    const int option = DisplayOption();
    if (option != ViewVolumeInfo && listPDB->currentRow() < 0) return;
    Running running(m_showingFile);
    SetBusy(true);
    m_session->ShowFile(listPDB->currentRow(), option, m_expandSpaces, m_addCRLF, *m_sink);
    SetBusy(false);
}

void formKestrel::optDisplay_Click(int /*index*/) {
    UpdateRecordMenus();
    if (m_session->IsVersaDOS()) ShowSelectedFile();
}

void formKestrel::chkEOL_Click() {
    m_addCRLF = chkEOL->isChecked();
    if (m_session->IsVersaDOS()) ShowSelectedFile();
}

void formKestrel::chkDecompressSpaces_Click() {
    m_expandSpaces = chkDecompressSpaces->isChecked();
    if (m_session->IsVersaDOS()) ShowSelectedFile();
}

void formKestrel::cmdDisplayVID_Click() {
    if (m_busy) return;
    m_session->ShowVolume(*m_sink);
}

void formKestrel::cmdDisplayBlock_Click() {
    if (!m_session->IsOpen() || m_busy) return;
    const long long highest = m_session->HighestBlock();
    long long block = -1;
    while (true) {
        const auto answer = m_prompts->InputBox("Display which Block?", "Select Block", "1");
        if (!answer || answer->empty()) return;
        block = LeadingNumber(*answer);
        if (block >= 0 && block <= highest) break;
    }
    m_session->ShowBlock(static_cast<std::int32_t>(block), *m_sink);
}

void formKestrel::ShowListing(bool advance) {
    if (m_busy || m_buildingTable || !m_session->IsVersaDOS()) return;
    Running running(m_buildingTable);
    SetBusy(true);
    m_session->ShowListing(m_listingForm, *m_sink);
    SetBusy(false);
    if (advance) m_listingForm = (m_listingForm + 1) % 4;
}

void formKestrel::cmdDir_Click() { ShowListing(true); }
void formKestrel::cmdTest_Click() { ShowListing(false); }
void formKestrel::cmdABORT_Click() { m_hook->SetAbort(true); }

std::string formKestrel::SelectedFileSuggestion() const {
    const DirEntry* entry = m_session->FileEntry(listPDB->currentRow());
    if (!entry) return "";
    return Trim(entry->fileName) + "." + Trim(entry->extension);
}

void formKestrel::mnuSaveTxt_Click() {
    if (m_busy) return;
    const std::string path =
        m_files->GetFileName(SelectedFileSuggestion(), "Save", "VDOSTEXT", 0, "Display as Text");
    if (path.empty()) return;
    OutputFile out;
    if (!out.Open(path) || !out.Write(m_sink->Text()) || !out.Close())
        m_prompts->MessageBox("Error", ErrorReport(out.Error(), "Kestrel"));
}

void formKestrel::mnuSaveDataBlocks_Click() {
    if (m_busy || listPDB->currentRow() < 0) return;
    const std::string path =
        m_files->GetFileName(SelectedFileSuggestion(), "Save", "VDOSDUMP", 0, "Raw Data Blocks");
    if (path.empty()) return;
    SetBusy(true);
    m_session->SaveDataBlocks(listPDB->currentRow(), path);
    SetBusy(false);
}

void formKestrel::mnuSaveRecords_Click() {
    if (m_busy) return;
    const DirEntry* entry = m_session->FileEntry(listPDB->currentRow());
    if (!entry) return;
    m_saveOptions->ShowSaveFile(QString::fromLatin1(Trim(entry->fileName).c_str()),
                                QString::fromLatin1(Trim(entry->extension).c_str()));
    if (!m_saveOptions->ReturnValue) return;
    m_recordOptions = m_saveOptions->Options();
    const std::string path =
        m_files->GetFileName(SelectedFileSuggestion(), "Save", "VDOSREC", 0, "Raw Records");
    if (path.empty()) return;
    SetBusy(true);
    m_session->SaveRecords(listPDB->currentRow(), path, m_recordOptions);
    SetBusy(false);
}

void formKestrel::mnuSaveAllFiles_Click() {
    if (m_busy || m_savingAll || !m_session->IsVersaDOS() || listPDB->currentRow() < 0) return;
    const std::string target = m_files->GetDirName("", "SAVE", "SAVEALL", 0, "Save All");
    if (target.empty()) return;
    Running running(m_savingAll);
    SetBusy(true);
    m_session->SaveAll(target, *m_sink, 3.0);
    SetBusy(false);
}

void formKestrel::mnuImageInfo_Click() {
    if (m_busy || !m_session->Disk() || !m_summary) return;
    m_sink->Clear();
    m_summary(*m_session->Disk(), *m_sink);
}

void formKestrel::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        event->ignore();
        return;
    }
    m_session->Detach();
    event->accept();
}

void formKestrel::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void formKestrel::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) OpenImage(urls.first().toLocalFile());
}
