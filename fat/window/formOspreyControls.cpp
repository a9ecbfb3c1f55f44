// The controls of Osprey's window and their layout: buttons on top, the labels, display options
// and directory list on the left, the display pane on the right, split so that both resize.
#include "formOsprey.h"

#include "FatDamage.h"
#include "LongNameDelegate.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <optional>

namespace {

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(120);
    return label;
}

} // namespace

void formOsprey::SetUpControls() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    cmdBootSector = MakeButton("cmdBootSector", "&Boot Sector");
    cmdFat0 = MakeButton("cmdFat0", "&FAT 0");
    cmdDirectory = MakeButton("cmdDirectory", "&Directory");
    cmdRoot = MakeButton("cmdRoot", "&Root");
    outer->addLayout(ButtonRow({cmdBootSector, cmdFat0, cmdDirectory, cmdRoot}, false));

    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName("splitter");
    auto* left = new QWidget(splitter);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);

    auto* labels = new QFormLayout;
    lblVolumeID = ValueLabel(left, "lblVolumeID");
    lblSystemID = ValueLabel(left, "lblSystemID");
    lblDirectory = ValueLabel(left, "lblDirectory");
    labels->addRow("Volume ID:", lblVolumeID);
    labels->addRow("System ID:", lblSystemID);
    labels->addRow("Directory:", lblDirectory);
    leftLayout->addLayout(labels);
    leftLayout->addWidget(DisplayOptions("Display", {"&Entry", "&Text", "Dum&p"}, Qt::Horizontal,
                                         optDisplay, [this](int) { listDirectory_Click(); }));
    optDisplay[0]->setChecked(true);

    listDirectory = new QListWidget(left);
    listDirectory->setObjectName("listDirectory");
    UseFixedPitch(listDirectory);
    listDirectory->setItemDelegate(new LongNameDelegate(listDirectory));
    listDirectory->setToolTip("Double-click (or Enter) a directory to open it; Backspace goes up");
    leftLayout->addWidget(listDirectory, 1);

    splitter->addWidget(left);
    splitter->addWidget(Pane());
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 700});
    outer->addWidget(splitter, 1);
    setCentralWidget(central);

    lblOffset = new QLabel(this);
    lblOffset->setObjectName("lblOffset");
    statusBar()->addWidget(lblOffset);
    statusBar()->addPermanentWidget(VersionLabel());

    listDirectory->installEventFilter(this);

    // The volume's structures; FAT 0 is long enough to run in the busy state.
    auto report = [this](void (FatExplorer::*show)(DisplaySink&), bool walk) {
        return [this, show, walk] {
            if (IsBusy() || !m_explorer->IsOpen()) return;
            std::optional<Busy> busy;
            if (walk) busy.emplace(*this);
            (*m_explorer.*show)(Sink());
        };
    };
    connect(cmdBootSector, &QPushButton::clicked, this,
            report(&FatExplorer::ShowBootSector, false));
    connect(cmdFat0, &QPushButton::clicked, this, report(&FatExplorer::ShowFat0, true));
    connect(cmdDirectory, &QPushButton::clicked, this,
            report(&FatExplorer::ShowDirectoryListing, false));
    connect(cmdRoot, &QPushButton::clicked, this,
            report(&FatExplorer::ShowRawRootDirectory, false));
    connect(listDirectory, &QListWidget::currentRowChanged, this, &formOsprey::listDirectory_Click);
    connect(listDirectory, &QListWidget::itemActivated, this, &formOsprey::listDirectory_DblClick);
}

void formOsprey::SetUpMenus() {
    mnuSaveFile =
        AddFileEntry(FileSection::Save, {"mnuSaveFile", "&Save File...", QKeySequence::Save},
                     [this] { mnuSaveFile_Click(); });
    mnuSaveAll =
        AddFileEntry(FileSection::Save, {"mnuSaveAll", "Save &All...", QKeySequence("Ctrl+Alt+S")},
                     [this] { mnuSaveAll_Click(); });
    mnuSaveAllTree =
        AddFileEntry(FileSection::Save, {"mnuSaveAllTree", "Save All (with sub-&directories)..."},
                     [this] { mnuSaveAllTree_Click(); });
    AddDamageReport(
        [this](const std::string& path, DisplaySink& sink, Prompts& prompts, EventHook& hook) {
            return ShowOspreyDamage(path, m_explorer->PartitionOffset(), sink, prompts, hook);
        });
    mnuOffset = AddEntry(OptionsMenu(), {"mnuOffset", "&Offset"}, [this] { mnuOffset_Click(); });
    OfferContainerChoice(ContainerTypeNames());
    mnuPartitions = AddEntry(OptionsMenu(), {"mnuPartitions", "&Partitions ..."},
                             [this] { mnuPartitions_Click(); });
    mnuShowDeleted = AddEntry(OptionsMenu(), {"mnuShowDeleted", "Show &deleted"},
                              [this] { mnuShowDeleted_Click(); });
    mnuShowDeleted->setCheckable(true);

    AddHelp("Explores FAT12 and FAT16 volumes in flat disk images.",
            "<h3>Osprey</h3>"
            "<p>Open a floppy or hard-disk image with <b>File &gt; Open</b> (Ctrl+O) or by "
            "dropping it on the window. For a partition of a hard-disk image, choose "
            "<b>Options &gt; Partitions ...</b> or set <b>Options &gt; Offset</b> before "
            "opening.</p><p>The list shows the current directory; sub-directories are in "
            "brackets, long names in grey. Double-click a directory (or press Enter) to go "
            "into it; Backspace goes back up. The selected entry is shown as chosen under "
            "<b>Display</b>: <b>Entry</b> (its directory entry), <b>Text</b> or "
            "<b>Dump</b>.</p><p><b>Options &gt; Show deleted</b> lists deleted files and "
            "directories too, marked (deleted), their lost first character as ?; saving one "
            "asks for that character and recovers it without changing the image.</p><p><b>Boot "
            "Sector</b>, <b>FAT 0</b>, <b>Directory</b> and "
            "<b>Root</b> show the volume's structures; <b>Abort</b> (Esc) ends a long display "
            "or save.</p><p>The <b>File</b> menu saves the display as text (Ctrl+Shift+S), "
            "the selected file (Ctrl+S), every file of the directory (Save All, "
            "Ctrl+Alt+S) or of it and every directory below it (Save All with "
            "sub-directories), and reopens <b>Recent images</b>. Close with Ctrl+W, quit with "
            "Ctrl+Q. Osprey never writes to an image.</p>");
}
