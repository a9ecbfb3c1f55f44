#include "SystemTracksPanel.h"

#include "EntryColours.h"
#include "ParseOffset.h"
#include "QuarrySession.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const char* RowProperty = "quarryRow";

// Marks a row handler as running: the boxes it rewrites start no handler of their own.
class Updating {
  public:
    explicit Updating(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Updating() { m_flag = false; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

  private:
    bool& m_flag;
};

// The pieces in the order of the "Image Part" menu, with their object names.
struct PieceEntry {
    PieceKind kind;
    const char* name;
};
constexpr PieceEntry PieceMenu[] = {{PieceKind::Boot, "mnuBoot"}, {PieceKind::CCP, "mnuCCP"},
                                    {PieceKind::BDOS, "mnuBdos"}, {PieceKind::BIOS, "mnuBios"},
                                    {PieceKind::DCM, "mnuDcm"},   {PieceKind::Magic, "mnuMagic"}};

} // namespace

SystemTracksPanel::SystemTracksPanel(QuarrySession& session, modFile& files, DisplaySink& out,
                                     QWidget* parent)
    : QWidget(parent), m_session(session), m_files(files), m_out(out) {
    setObjectName("fraSystemTracks");

    auto* warning = new QLabel("WARNING - Only Minor sanity checks are made. Overlap is allowed.  "
                               "Ensure that all values are correct.",
                               this);
    warning->setObjectName("lblWarning");
    warning->setWordWrap(true);
    QPalette red = warning->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    warning->setPalette(red);

    auto* rows = new QWidget;
    auto* rowsLayout = new QVBoxLayout(rows);
    m_grid = new QGridLayout;
    m_grid->setColumnStretch(0, 1);
    m_grid->setVerticalSpacing(2);
    rowsLayout->addLayout(m_grid);
    // The rows stay at the top however tall the tab is.
    rowsLayout->addStretch(1);
    const char* headings[] = {"File Name (double-click to choose)", "Size", "Location", "Sector",
                              "Sectors"};
    for (int c = 0; c < 5; ++c)
        m_grid->addWidget(new QLabel(headings[c], rows), 0, c);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("scrRows");
    scroll->setWidgetResizable(true);
    scroll->setWidget(rows);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto makeButton = [this](const char* name, const char* caption, const char* tip) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        if (tip) button->setToolTip(tip);
        return button;
    };
    cmdAddFile = makeButton("cmdAddFile", "Add File", "Click to Add Another Blank Source Line");
    cmdRemoveFile = makeButton("cmdRemoveFile", "Remove File", nullptr);
    cmdRefresh = makeButton("cmdRefresh", "Refresh", "Click to recalculate file Sizes");
    cmdInsertIntoImage = makeButton("cmdInsertIntoImage", "Insert All Into Image",
                                    "Click to insert all source files into target file");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdAddFile, cmdRemoveFile, cmdRefresh})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdInsertIntoImage);

    auto* hint = new QLabel("Middle-click a file name for the Image Part menu.", this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(warning);
    layout->addWidget(scroll, 1);
    layout->addWidget(hint);
    layout->addLayout(buttons);

    connect(cmdAddFile, &QPushButton::clicked, this, &SystemTracksPanel::cmdAddFile_Click);
    connect(cmdRemoveFile, &QPushButton::clicked, this, &SystemTracksPanel::cmdRemoveFile_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &SystemTracksPanel::cmdRefresh_Click);
    connect(cmdInsertIntoImage, &QPushButton::clicked, this,
            &SystemTracksPanel::cmdInsertIntoImage_Click);

    mnuImagePart = new QMenu("Image Part", this);
    mnuImagePart->setObjectName("mnuImagePart");
    for (const PieceEntry& entry : PieceMenu) {
        QAction* action = mnuImagePart->addAction(QString::fromStdString(PieceName(entry.kind)));
        action->setObjectName(entry.name);
        m_pieceActions[static_cast<int>(entry.kind)] = action;
        const PieceKind kind = entry.kind;
        connect(action, &QAction::triggered, this, [this, kind] { mnuImagePart_Click(kind); });
    }
    connect(mnuImagePart, &QMenu::aboutToShow, this, &SystemTracksPanel::UpdateImagePartMenu);

    AddRowControls(0);
    RefreshRow(0);
    ValidateRow(0);
    PaintNames();
}

void SystemTracksPanel::AddRowControls(int row) {
    QWidget* rows = m_grid->parentWidget();
    const bool shown = rows->isVisible();
    auto box = [&](const char* name, const char* tip) {
        auto* edit = new QLineEdit(rows);
        edit->setObjectName(QString("%1_%2").arg(name).arg(row));
        edit->setProperty(RowProperty, row);
        if (tip) edit->setToolTip(tip);
        return edit;
    };
    RowControls c{};
    c.txtFileName = box("txtFileName", nullptr);
    c.txtFileName->setReadOnly(true);
    c.txtFileName->setMinimumWidth(240);
    c.txtFileName->installEventFilter(this);
    c.lblFileSize = new QLabel(rows);
    c.lblFileSize->setObjectName(QString("lblFileSize_%1").arg(row));
    c.lblFileSize->setMinimumWidth(70);
    c.txtFileLocation = box("txtFileLocation", "Hex Byte Offset in Image");
    c.txtSectorNo = box("txtSectorNo", "Sector number in decimal(128 bytes/sector)");
    c.txtNumberOfSectors =
        box("txtNumberOfSectors", "Number of Sectors in decimal(128 bytes/sector)");
    for (QLineEdit* e : {c.txtFileLocation, c.txtSectorNo, c.txtNumberOfSectors})
        e->setFixedWidth(100);
    const int line = row + 1;
    m_grid->addWidget(c.txtFileName, line, 0);
    m_grid->addWidget(c.lblFileSize, line, 1);
    m_grid->addWidget(c.txtFileLocation, line, 2);
    m_grid->addWidget(c.txtSectorNo, line, 3);
    m_grid->addWidget(c.txtNumberOfSectors, line, 4);
    if (shown)
        for (QWidget* w :
             std::initializer_list<QWidget*>{c.txtFileName, c.lblFileSize, c.txtFileLocation,
                                             c.txtSectorNo, c.txtNumberOfSectors})
            w->show();
    connect(c.txtFileLocation, &QLineEdit::textChanged, this,
            [this, row] { txtFileLocation_Change(row); });
    connect(c.txtSectorNo, &QLineEdit::textChanged, this, [this, row] { txtSectorNo_Change(row); });
    connect(c.txtNumberOfSectors, &QLineEdit::textChanged, this,
            [this, row] { txtNumberOfSectors_Change(row); });
    m_controls.push_back(c);
}

void SystemTracksPanel::RefreshRow(int row) {
    Updating updating(m_updating);
    const RowTexts texts = RowBoxes(Row(row));
    const RowControls& c = m_controls[static_cast<std::size_t>(row)];
    c.txtFileName->setText(QString::fromStdString(texts.fileName));
    c.txtFileName->setCursorPosition(static_cast<int>(c.txtFileName->text().size()));
    c.lblFileSize->setText(QString::fromStdString(texts.fileSize));
    c.txtSectorNo->setText(QString::fromStdString(texts.sectorNumber));
    c.txtNumberOfSectors->setText(QString::fromStdString(texts.numberOfSectors));
    c.txtFileLocation->setText(QString::fromStdString(texts.location));
    c.txtFileLocation->setCursorPosition(static_cast<int>(c.txtFileLocation->text().size()));
}

void SystemTracksPanel::ValidateRow(int row) {
    const RowMarks marks = ::ValidateRow(Row(row), m_session.Format());
    const RowControls& c = m_controls[static_cast<std::size_t>(row)];
    PaintEntry(c.txtFileLocation, marks.location);
    PaintEntry(c.txtSectorNo, marks.sectorNumber);
    PaintEntry(c.txtNumberOfSectors, marks.numberOfSectors);
}

void SystemTracksPanel::ValidateAll() {
    for (int row = 0; row < static_cast<int>(m_controls.size()); ++row)
        ValidateRow(row);
}

void SystemTracksPanel::PaintNames() {
    for (int row = 0; row < static_cast<int>(m_controls.size()); ++row) {
        EntryColour back = row == m_tracks.Selected() ? EntryColour::Cyan : EntryColour::White;
        if (Row(row).missing) back = EntryColour::Red;
        PaintBack(m_controls[static_cast<std::size_t>(row)].txtFileName, back);
    }
}

void SystemTracksPanel::SelectRow(int row) {
    m_tracks.Select(row);
    PaintNames();
}

bool SystemTracksPanel::eventFilter(QObject* watched, QEvent* event) {
    const QVariant rowValue = watched->property(RowProperty);
    if (!rowValue.isValid()) return QWidget::eventFilter(watched, event);
    const int row = rowValue.toInt();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        SelectRow(row);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::MiddleButton) {
            UpdateImagePartMenu();
            mnuImagePart->popup(mouse->globalPosition().toPoint());
            return true; // no paste of the X selection
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        txtFileName_DblClick(row);
        return true;
    case QEvent::FocusIn:
        SelectRow(row);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void SystemTracksPanel::txtFileName_DblClick(int row) {
    SelectRow(row);
    if (!m_tracks.ChooseFile(row, m_files, m_session.prompts())) return;
    RefreshRow(row);
    ValidateRow(row);
    PaintNames();
}

void SystemTracksPanel::txtFileLocation_Change(int row) {
    if (m_updating) return;
    LocationChanged(
        Row(row), m_controls[static_cast<std::size_t>(row)].txtFileLocation->text().toStdString());
    RefreshRow(row);
    ValidateRow(row);
}

void SystemTracksPanel::txtSectorNo_Change(int row) {
    if (m_updating) return;
    QLineEdit* box = m_controls[static_cast<std::size_t>(row)].txtSectorNo;
    const bool reset = ParseOffset(box->text().toStdString()) < 1;
    SectorNumberChanged(Row(row), box->text().toStdString());
    RefreshRow(row);
    ValidateRow(row);
    if (reset) box->selectAll();
}

void SystemTracksPanel::txtNumberOfSectors_Change(int row) {
    if (m_updating) return;
    QLineEdit* box = m_controls[static_cast<std::size_t>(row)].txtNumberOfSectors;
    const bool reset = ParseOffset(box->text().toStdString()) < 1;
    NumberOfSectorsChanged(Row(row), box->text().toStdString());
    RefreshRow(row);
    ValidateRow(row);
    if (reset) box->selectAll();
}

void SystemTracksPanel::UpdateImagePartMenu() {
    for (const PieceEntry& entry : PieceMenu)
        m_pieceActions[static_cast<int>(entry.kind)]->setEnabled(
            ImagePartEnabled(m_session.Format(), entry.kind));
}

void SystemTracksPanel::mnuImagePart_Click(PieceKind piece) {
    if (!ImagePartEnabled(m_session.Format(), piece)) return;
    const int row = m_tracks.Selected();
    ApplyImagePart(Row(row), m_session.Format(), piece);
    RefreshRow(row);
    ValidateRow(row);
}

void SystemTracksPanel::cmdAddFile_Click() {
    if (!m_tracks.AddRow()) return;
    const int row = static_cast<int>(m_tracks.Rows().size()) - 1;
    AddRowControls(row);
    RefreshRow(row);
    ValidateRow(row);
    PaintNames();
    cmdAddFile->setEnabled(static_cast<int>(m_tracks.Rows().size()) < SystemTracks::MaxRows);
}

void SystemTracksPanel::cmdRemoveFile_Click() {
    if (!m_tracks.RemoveFile(m_session.prompts())) return;
    RefreshRow(m_tracks.Selected());
    ValidateRow(m_tracks.Selected());
    PaintNames();
}

void SystemTracksPanel::cmdRefresh_Click() {
    m_tracks.Refresh(m_session.prompts());
    for (int row = 0; row < static_cast<int>(m_controls.size()); ++row) {
        if (!Row(row).inUse) continue;
        RefreshRow(row);
        ValidateRow(row);
    }
}

void SystemTracksPanel::cmdInsertIntoImage_Click() {
    if (m_session.Busy()) return;
    // A window left open while another program changed the image shows it afresh first.
    m_session.RefreshIfChanged(m_out);
    InsertAll(m_session, m_out, m_tracks.Rows());
    PaintNames();
    emit ImageWritten();
}
