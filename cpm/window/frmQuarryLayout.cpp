// The controls of frmQuarry and where they sit: the image bar above the tabs, the "Data Tracks"
// tab and the menus.
#include "frmQuarry.h"

#include "CpmDamage.h"
#include "DropZone.h"
#include "FileCommands.h"
#include "QuarrySession.h"
#include "SystemTracksPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

QWidget* frmQuarry::BuildImageBar() {
    auto* bar = new QWidget;
    auto named = [bar](auto* widget, const char* name, const char* tip = nullptr) {
        widget->setParent(bar);
        widget->setObjectName(name);
        if (tip) widget->setToolTip(tip);
        return widget;
    };
    txtImageName = named(new QLineEdit, "txtImageName",
                         "The image file; double-click (or Enter) to open the name typed here");
    lblImageSize = named(new QLabel, "lblImageSize", "Image size in bytes");
    lblImageSizeHex = named(new QLabel, "lblImageSizeHex", "Image size in hexadecimal");
    lblReadOnly = named(new QLabel, "lblReadOnly");
    cmbSelectDiskFormat = named(new QComboBox, "cmbSelectDiskFormat",
                                "Disk format of the image; chosen from its size when it opens");
    FillFormatList();
    txtFillByte = named(new QLineEdit, "txtFillByte",
                        "Fill byte for Wipe, Fill Image and new images (decimal, 0x or &H hex)");
    txtFillByte->setMaximumWidth(70);
    lblFillByte = named(new QLabel, "lblFillByte");
    lblFillByte->setMinimumWidth(30);
    lblFillByteHex = named(new QLabel, "lblFillByteHex");
    lblFillByteHex->setMinimumWidth(40);
    cmdCreateDiskImage = named(new QPushButton("Create Image"), "cmdCreateDiskImage",
                               "Create a new image file of a chosen size and fill byte");
    cmdFillImage = named(new QPushButton("Fill Image"), "cmdFillImage",
                         "Click to fill target file with fill bute");
    pbFillImage = named(new QProgressBar, "pbFillImage");
    pbFillImage->setRange(0, 100);
    pbFillImage->setMaximumWidth(180);
    lblImageSize->setMinimumWidth(70);
    lblImageSizeHex->setMinimumWidth(80);

    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel("Image File", bar), 0, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(txtImageName, 1);
    nameRow->addWidget(new QLabel("Size", bar));
    nameRow->addWidget(lblImageSize);
    nameRow->addWidget(lblImageSizeHex);
    nameRow->addWidget(lblReadOnly);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(new QLabel("Disk Format", bar), 1, 0);
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(cmbSelectDiskFormat);
    formatRow->addSpacing(24);
    formatRow->addWidget(new QLabel("Fill Byte", bar));
    formatRow->addWidget(txtFillByte);
    formatRow->addWidget(lblFillByte);
    formatRow->addWidget(lblFillByteHex);
    formatRow->addSpacing(12);
    formatRow->addWidget(cmdCreateDiskImage);
    formatRow->addWidget(cmdFillImage);
    formatRow->addWidget(pbFillImage);
    formatRow->addStretch();
    grid->addLayout(formatRow, 1, 1);

    txtImageName->installEventFilter(this);
    connect(txtImageName, &QLineEdit::returnPressed, this, &frmQuarry::txtImageName_DblClick);
    connect(cmbSelectDiskFormat, &QComboBox::activated, this,
            &frmQuarry::cmbSelectDiskFormat_Click);
    connect(txtFillByte, &QLineEdit::textChanged, this, &frmQuarry::txtFillByte_Change);
    connect(cmdCreateDiskImage, &QPushButton::clicked, this, &frmQuarry::cmdCreateDiskImage_Click);
    connect(cmdFillImage, &QPushButton::clicked, this, &frmQuarry::cmdFillImage_Click);
    return bar;
}

QWidget* frmQuarry::BuildDataTracks() {
    auto* page = new QWidget;
    page->setObjectName("fraDataTracks");
    auto button = [page](const char* name, const char* caption, const char* tip) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(name);
        b->setToolTip(tip);
        return b;
    };
    picDropZone = new DropZone(page);
    picDropZone->setToolTip("Drop host files here to add them to the image");
    cmboUserNumber = new QComboBox(page);
    cmboUserNumber->setObjectName("cmboUserNumber");
    cmboUserNumber->setToolTip("Select User Number for Dropped Files");
    for (int user = 0; user <= 15; ++user)
        cmboUserNumber->addItem(QString("User %1").arg(user));
    cmboFileList = new QComboBox(page);
    cmboFileList->setObjectName("cmboFileList");
    cmboFileList->setToolTip("Select File for Function");
    cmboFileList->setFont(Pane()->font());
    cmboFileList->setMinimumContentsLength(15);
    cmdDirectory = button("cmdDirectory", "Directory", "List the files of every user (F5)");
    cmdFullDirectory = button("cmdFullDirectory", "Full Directory",
                              "Show every directory entry in hexadecimal (Shift+F5)");
    chkSorted = new QCheckBox("Sorted", page);
    chkSorted->setObjectName("chkSorted");
    chkSorted->setToolTip("Sort the directory listings by user and name");
    cmdUpLoad = button("cmdUpLoad", "Upload", "Copy the selected file to a host file");
    cmdType = button("cmdType", "Type", "Show the selected file as text");
    cmdDump = button("cmdDump", "Dump", "Show the selected file in hexadecimal");
    cmdRename = button("cmdRename", "Rename", "Change the user, name and type of the file");
    cmdErase = button("cmdErase", "Erase", "Erase the selected file");
    cmdWipe = button("cmdWipe", "Wipe", "Erase the file and overwrite it with the fill byte");
    chkShowErased = new QCheckBox("Show erased", page);
    chkShowErased->setObjectName("chkShowErased");
    chkShowErased->setToolTip("List the erased files whose directory entries still hold their "
                              "names; Upload then saves the chosen one as it is");
    cmdUndelete =
        button("cmdUndelete", "Undelete", "Restore the chosen erased file under a user number");
    cmdUpLoadAll = button("cmdUpLoadAll", "Upload All",
                          "Copy every file of every user to a folder, a folder per user");
    cmdDirectory->setShortcut(QKeySequence(Qt::Key_F5));
    cmdFullDirectory->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));

    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdDirectory, 0, 0);
    buttons->addWidget(cmdFullDirectory, 0, 1);
    buttons->addWidget(chkSorted, 0, 2);
    buttons->addWidget(cmdUpLoad, 1, 0);
    buttons->addWidget(cmdType, 1, 1);
    buttons->addWidget(cmdDump, 1, 2);
    buttons->addWidget(cmdRename, 2, 0);
    buttons->addWidget(cmdErase, 2, 1);
    buttons->addWidget(cmdWipe, 2, 2);
    buttons->addWidget(chkShowErased, 3, 0);
    buttons->addWidget(cmdUndelete, 3, 1);
    buttons->addWidget(cmdUpLoadAll, 3, 2);
    buttons->addWidget(StopButton(), 4, 2);

    auto* left = new QVBoxLayout;
    left->addWidget(picDropZone, 1);
    left->addWidget(new QLabel("User for dropped files", page));
    left->addWidget(cmboUserNumber);
    left->addWidget(new QLabel("File", page));
    left->addWidget(cmboFileList);
    left->addLayout(buttons);
    left->addStretch();
    auto* leftWidget = new QWidget(page);
    leftWidget->setLayout(left);
    leftWidget->setFixedWidth(330);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(leftWidget);
    layout->addWidget(Pane(), 1);

    connect(picDropZone, &DropZone::FilesDropped, this, &frmQuarry::picDropZone_OLEDragDrop);
    connect(cmboUserNumber, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_session->SetUserNumber(index); });
    connect(cmboFileList, &QComboBox::currentIndexChanged, this, &frmQuarry::cmboFileList_Click);
    connect(chkSorted, &QCheckBox::clicked, this,
            [this](bool sorted) { m_session->directory().SetSorted(sorted); });
    connect(cmdDirectory, &QPushButton::clicked, this,
            [this] { m_session->ShowDirectory(false, Sink()); });
    connect(cmdFullDirectory, &QPushButton::clicked, this,
            [this] { m_session->ShowDirectory(true, Sink()); });
    connect(cmdUpLoad, &QPushButton::clicked, this, &frmQuarry::cmdUpLoad_Click);
    connect(cmdType, &QPushButton::clicked, this, [this] { TypeFile(*m_session, Sink()); });
    connect(cmdDump, &QPushButton::clicked, this, [this] { DumpFile(*m_session, Sink()); });
    connect(cmdRename, &QPushButton::clicked, this, [this] {
        if (!FreshBeforeWrite()) return;
        if (const std::optional<std::string> name = AskNewName(*m_session))
            RenameFile(*m_session, Sink(), *name,
                       [this](const RefusedName& refused) { return AskForName(refused); });
        else
            m_session->directory().ShowAll(Sink());
    });
    connect(cmdErase, &QPushButton::clicked, this, [this] {
        if (FreshBeforeWrite()) EraseFile(*m_session, Sink(), false);
    });
    connect(cmdWipe, &QPushButton::clicked, this, [this] {
        if (FreshBeforeWrite()) EraseFile(*m_session, Sink(), true);
    });
    connect(chkShowErased, &QCheckBox::clicked, this, &frmQuarry::chkShowErased_Click);
    connect(cmdUndelete, &QPushButton::clicked, this, &frmQuarry::cmdUndelete_Click);
    connect(cmdUpLoadAll, &QPushButton::clicked, this, &frmQuarry::cmdUpLoadAll_Click);
    return page;
}

void frmQuarry::BuildMenus() {
    AddDamageReport(
        [this](const std::string& path, DisplaySink& sink, Prompts& prompts, EventHook& hook) {
            return ShowQuarryDamage(path, m_session->Format().Key(), sink, prompts, hook);
        });
    QMenu* edit = AddMenu("mnuEdit", "&Edit");
    QAction* mnuCopy =
        AddEntry(edit, {"mnuCopy", "Copy", QKeySequence::Copy}, [this] { Pane()->copy(); });
    QAction* mnuSelectAll = AddEntry(edit, {"mnuSelectAll", "Select All", QKeySequence::SelectAll},
                                     [this] { Pane()->selectAll(); });
    // The pane's own keys stay with the boxes that have the focus.
    mnuCopy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    mnuSelectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    Pane()->addAction(mnuCopy);
    Pane()->addAction(mnuSelectAll);

    QMenu* tools = AddMenu("mnuTools", "&Tools");
    mnuWipeDirEnt = AddEntry(tools, {"mnuWipeDirEnt", "Wipe Directory Entry"}, [this] {
        if (!FreshBeforeWrite()) return;
        if (const std::optional<int> n = AskDirectoryEntry(*m_session))
            WipeDirectoryEntry(*m_session, Sink(), *n);
    });
    mnuWipeFree = AddEntry(tools, {"mnuWipeFree", "Wipe Free Space"}, [this] {
        if (FreshBeforeWrite()) WipeFreeSpace(*m_session, Sink());
    });

    AddEntry(OptionsMenu(), {"mnuFont", "Font ..."}, [this] { mnuFont_Click(); });
    mnuFixedFontsOnly = AddEntry(OptionsMenu(), {"mnuFixedFontsOnly", "Fixed Fonts Only"},
                                 [this] { m_fixedFontsOnly = mnuFixedFontsOnly->isChecked(); });
    mnuFixedFontsOnly->setCheckable(true);

    menuBar()->addMenu(m_systemTracks->ImagePartMenu());

    AddHelp("Builds and maintains flat CP/M disk images of every format its disk definitions "
            "describe.",
            "<h3>Quarry</h3>"
            "<p>Open an image with <b>File &gt; Open Image</b> (Ctrl+O), by typing its path "
            "in the image name box and double-clicking it, or by dropping it on the window; "
            "<b>Create Image</b> makes a new one. The format follows from the image's size (and, "
            "where several formats have that size, its directory); the format list overrides "
            "it.</p>"
            "<p><b>Data Tracks</b>: drop host files on <b>Drop Files Here</b> to add them "
            "under the chosen user. <b>Directory</b> (F5) and <b>Full Directory</b> "
            "(Shift+F5) list the files, <b>Sorted</b> sorts them. For the file chosen in the "
            "file list: <b>Upload</b> copies it to the host, <b>Type</b> shows it as text, "
            "<b>Dump</b> in hexadecimal, <b>Rename</b>, <b>Erase</b> (the entry only) and "
            "<b>Wipe</b> (entry and data overwritten with the fill byte). <b>Abort</b> (Esc) "
            "stops a long display. <b>Tools</b> wipes one directory entry or all free "
            "space; <b>Fill Image</b> fills the whole image with the fill byte.</p>"
            "<p><b>System Tracks</b>: add host files as rows, give each a location, sector "
            "number and number of sectors (or pick a piece with a middle click on a row: "
            "Boot, CCP, BDOS, BIOS, ...), and <b>Insert</b> writes them into the system "
            "area. Red entries are wrong, blue ones unusual.</p>"
            "<p><b>Show erased</b> lists the erased files whose directory entries still hold "
            "their names: <b>Upload</b> saves the chosen one as it is, <b>Undelete</b> "
            "restores it under a user number when no live file holds its blocks or its name. "
            "<b>Upload All</b> copies every file to a folder, a folder per user.</p>"
            "<p>Quarry writes to images: keep a copy of an image you care about.</p>");
}
