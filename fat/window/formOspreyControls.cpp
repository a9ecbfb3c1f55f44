// The controls of Osprey's window and their layout: buttons on top, the labels, display options
// and directory list on the left, the display pane on the right, split so that both resize.
#include "formOsprey.h"

#include "qt/AppMenus.h"

#include "LongNameDelegate.h"
#include "qt/QtDisplaySink.h"

#include <QAction>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

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

    auto* buttons = new QHBoxLayout;
    cmdBootSector = Button(central, "cmdBootSector", "&Boot Sector");
    cmdFat0 = Button(central, "cmdFat0", "&FAT 0");
    cmdDirectory = Button(central, "cmdDirectory", "&Directory");
    cmdRoot = Button(central, "cmdRoot", "&Root");
    cmdAbort = Button(central, "cmdAbort", "Abort");
    cmdAbort->setShortcut(QKeySequence(Qt::Key_Escape));
    cmdAbort->setToolTip("Stop the running operation (Esc)");
    for (QPushButton* b : {cmdBootSector, cmdFat0, cmdDirectory, cmdRoot})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdAbort);
    outer->addLayout(buttons);

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

    auto* options = new QGroupBox("Display", left);
    auto* optionLayout = new QHBoxLayout(options);
    m_optionGroup = new QButtonGroup(this);
    const char* captions[3] = {"&Entry", "&Text", "Dum&p"};
    for (int i = 0; i < 3; ++i) {
        optDisplay[i] = new QRadioButton(captions[i], options);
        optDisplay[i]->setObjectName(QString("optDisplay_%1").arg(i));
        m_optionGroup->addButton(optDisplay[i], i);
        optionLayout->addWidget(optDisplay[i]);
    }
    optDisplay[0]->setChecked(true);
    leftLayout->addWidget(options);

    listDirectory = new QListWidget(left);
    listDirectory->setObjectName("listDirectory");
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamilies({"Courier New", "Liberation Mono", fixed.family()});
    listDirectory->setFont(fixed);
    listDirectory->setItemDelegate(new LongNameDelegate(listDirectory));
    listDirectory->setToolTip("Double-click (or Enter) a directory to open it; Backspace goes up");
    leftLayout->addWidget(listDirectory, 1);

    rtfDisplay = new QPlainTextEdit(splitter);
    rtfDisplay->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(rtfDisplay);
    splitter->addWidget(left);
    splitter->addWidget(rtfDisplay);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 700});
    outer->addWidget(splitter, 1);
    setCentralWidget(central);

    lblOffset = new QLabel(this);
    lblOffset->setObjectName("lblOffset");
    statusBar()->addWidget(lblOffset);
    statusBar()->addPermanentWidget(new QLabel(QString("Osprey ") + SUITE_VERSION, this));

    listDirectory->installEventFilter(this);

    connect(cmdBootSector, &QPushButton::clicked, this, &formOsprey::cmdBootSector_Click);
    connect(cmdFat0, &QPushButton::clicked, this, &formOsprey::cmdFat0_Click);
    connect(cmdDirectory, &QPushButton::clicked, this, &formOsprey::cmdDirectory_Click);
    connect(cmdRoot, &QPushButton::clicked, this, &formOsprey::cmdRoot_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &formOsprey::cmdAbort_Click);
    connect(m_optionGroup, &QButtonGroup::idClicked, this, &formOsprey::optDisplay_Click);
    connect(listDirectory, &QListWidget::currentRowChanged, this, &formOsprey::listDirectory_Click);
    connect(listDirectory, &QListWidget::itemActivated, this, &formOsprey::listDirectory_DblClick);
}

void formOsprey::SetUpMenus() {
    mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    auto action = [this](QMenu* menu, const char* name, const QString& caption,
                         const QKeySequence& keys, void (formOsprey::*slot)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        if (!keys.isEmpty()) a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuOpen =
        action(mnuFile, "mnuOpen", "&Open...", QKeySequence::Open, &formOsprey::mnuOpen_Click);
    mnuClose =
        action(mnuFile, "mnuClose", "&Close", QKeySequence::Close, &formOsprey::mnuClose_Click);
    QAction* afterRecent = mnuFile->addSeparator();
    AddRecentImagesMenu(mnuFile, afterRecent, m_settings, m_prompts,
                        [this](const QString& path) { OpenImage(path.toStdString()); });
    mnuSaveFile = action(mnuFile, "mnuSaveFile", "&Save File...", QKeySequence::Save,
                         &formOsprey::mnuSaveFile_Click);
    mnuSaveAsText = action(mnuFile, "mnuSaveAsText", "Save as &Text...", QKeySequence::SaveAs,
                           &formOsprey::mnuSaveAsText_Click);
    mnuSaveAll = action(mnuFile, "mnuSaveAll", "Save &All...", QKeySequence("Ctrl+Alt+S"),
                        &formOsprey::mnuSaveAll_Click);
    mnuFile->addSeparator();
    mnuExit = action(mnuFile, "mnuExit", "E&xit", QKeySequence::Quit, &formOsprey::mnuExit_Click);

    mnuOptions = menuBar()->addMenu("&Options");
    mnuOptions->setObjectName("mnuOptions");
    mnuOffset =
        action(mnuOptions, "mnuOffset", "&Offset", QKeySequence(), &formOsprey::mnuOffset_Click);
    mnuPartitions = action(mnuOptions, "mnuPartitions", "&Partitions ...", QKeySequence(),
                           &formOsprey::mnuPartitions_Click);

    AddHelpMenu(this, "Osprey", "Explores FAT12 and FAT16 volumes in flat disk images.",
                "<h3>Osprey</h3>"
                "<p>Open a floppy or hard-disk image with <b>File &gt; Open</b> (Ctrl+O) or by "
                "dropping it on the window. For a partition of a hard-disk image, choose "
                "<b>Options &gt; Partitions ...</b> or set <b>Options &gt; Offset</b> before "
                "opening.</p><p>The list shows the current directory; sub-directories are in "
                "brackets, long names in grey. Double-click a directory (or press Enter) to go "
                "into it; Backspace goes back up. The selected entry is shown as chosen under "
                "<b>Display</b>: <b>Entry</b> (its directory entry), <b>Text</b> or "
                "<b>Dump</b>.</p><p><b>Boot Sector</b>, <b>FAT 0</b>, <b>Directory</b> and "
                "<b>Root</b> show the volume's structures; <b>Abort</b> ends a long display or "
                "save.</p><p>The <b>File</b> menu saves the selected file (Ctrl+S), the "
                "display as text (Ctrl+Shift+S) or every file of the directory tree (Save All, "
                "Ctrl+Alt+S), and reopens <b>Recent images</b>. Close with Ctrl+W, quit with "
                "Ctrl+Q. Osprey never writes to an image.</p>");

    connect(mnuFile, &QMenu::aboutToShow, this, &formOsprey::mnuFile_Click);
    connect(mnuOptions, &QMenu::aboutToShow, this, &formOsprey::mnuOptions_Click);
}
