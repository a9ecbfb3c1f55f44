#include "formOsprey.h"

#include "qt/AppMenus.h"

#include "LongNameDelegate.h"
#include "ParseOffset.h"
#include "Partitions.h"
#include "Prompts.h"
#include "modFile.h"
#include "qt/QtDisplaySink.h"
#include "qt/QtPrompts.h"
#include "qt/QtSettingsStore.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {

const char* const kTitle = "FAT File System";

} // namespace

formOsprey::formOsprey(QWidget* parent)
    : QMainWindow(parent), m_ownSettings(std::make_unique<QtSettingsStore>("Osprey")),
      m_ownPrompts(std::make_unique<QtPrompts>(this, *m_ownSettings)), m_prompts(*m_ownPrompts),
      m_settings(*m_ownSettings) {
    Init();
}

formOsprey::formOsprey(Prompts& prompts, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_settings(settings) {
    Init();
}

void formOsprey::Init() {
    setObjectName("formOsprey");
    setWindowTitle(kTitle);
    SetUpControls();
    SetUpMenus();
    m_sink = std::make_unique<QtDisplaySink>(rtfDisplay);
    m_files = std::make_unique<modFile>(ProgramCopy::Osprey, m_prompts, m_settings);
    m_explorer = std::make_unique<FatExplorer>(m_prompts, *m_sink, m_hook);
    setAcceptDrops(true);
    resize(1000, 640);
    ResetWindow();
}

formOsprey::~formOsprey() = default;

int formOsprey::SelectedRow() const {
    const QListWidgetItem* item = listDirectory->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

DisplayOption formOsprey::Option() const {
    return static_cast<DisplayOption>(std::max(m_optionGroup->checkedId(), 0));
}

void formOsprey::RefreshControls() {
    const bool open = m_explorer->IsOpen();
    const bool usable = open && !m_busy;
    for (QPushButton* b : {cmdBootSector, cmdFat0, cmdDirectory, cmdRoot})
        b->setEnabled(usable);
    listDirectory->setEnabled(usable);
    for (QRadioButton* option : optDisplay)
        option->setEnabled(usable);
    cmdAbort->setEnabled(m_busy);
    const int row = SelectedRow();
    mnuSaveFile->setEnabled(usable && row >= 0 && m_explorer->Table().Row(row).IsFile());
    mnuSaveAsText->setEnabled(usable);
    mnuSaveAll->setEnabled(usable && m_explorer->Table().FileCount() > 0);
    mnuOpen->setEnabled(!m_busy);
    mnuClose->setEnabled(open && !m_busy);
    mnuOffset->setEnabled(!open && !m_busy);
    mnuPartitions->setEnabled(!open && !m_busy);
    lblOffset->setText(QString("Partition offset %1").arg(m_explorer->PartitionOffset()));
}

void formOsprey::EnterBusy() {
    m_busy = true;
    m_busyPointer.SetBusy(true);
    RefreshControls();
}

void formOsprey::LeaveBusy() {
    m_busy = false;
    m_hook.SetAbort(false);
    m_busyPointer.SetBusy(false);
    RefreshControls();
}

void formOsprey::ShowLabels() {
    lblVolumeID->setText(QString::fromStdString(m_explorer->VolumeIdLabel()));
    const SystemIdLabel& system = m_explorer->SystemId();
    lblSystemID->setText(QString::fromStdString(system.Text));
    lblSystemID->setStyleSheet(system.Blue ? "color: #0000FF;" : "color: #000000;");
    lblDirectory->setText(QString::fromStdString(m_explorer->DirectoryLabel()));
}

void formOsprey::ResetWindow() {
    m_filling = true;
    listDirectory->clear();
    m_filling = false;
    ShowLabels();
    RefreshControls();
}

void formOsprey::FillList() {
    m_filling = true;
    listDirectory->clear();
    for (const ListLine& line : m_explorer->List().Lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.Text), listDirectory);
        item->setData(Qt::UserRole, line.Row);
        const DirEntry& row = m_explorer->Table().Row(line.Row);
        if (!row.LongName.empty()) {
            item->setData(LongNameDelegate::kLongNameRole, QString::fromStdString(row.LongName));
            item->setToolTip(QString::fromStdString(row.LongName));
        }
    }
    m_filling = false;
    ShowLabels();
    RefreshControls();
    if (listDirectory->count() > 0) {
        if (listDirectory->currentRow() == 0)
            listDirectory_Click();
        else
            listDirectory->setCurrentRow(0);
    }
}

void formOsprey::OpenImage(const std::string& path) {
    if (m_busy || path.empty()) return;
    setWindowTitle(QString(kTitle) + " " + QString::fromStdString(path));
    m_sink->Clear();
    ResetWindow();
    const FatExplorer::OpenResult result = m_explorer->OpenImage(path);
    if (result == FatExplorer::OpenResult::Failed) setWindowTitle(kTitle);
    else RememberImage(m_settings, QString::fromStdString(path));
    if (result == FatExplorer::OpenResult::Opened)
        FillList();
    else
        ResetWindow();
}

void formOsprey::mnuOpen_Click() {
    if (m_busy) return;
    OpenImage(m_files->GetFileName("", "OPEN", "IMG", 0, "FAT Raw File"));
}

void formOsprey::mnuClose_Click() {
    if (m_busy) return;
    m_explorer->CloseDrive();
    setWindowTitle(kTitle);
    m_sink->Clear();
    ResetWindow();
}

void formOsprey::mnuExit_Click() {
    close();
}

void formOsprey::mnuFile_Click() {
    RefreshControls();
}

void formOsprey::mnuOptions_Click() {
    RefreshControls();
}

void formOsprey::mnuOffset_Click() {
    if (m_busy || m_explorer->IsOpen()) return;
    for (;;) {
        const std::optional<std::string> answer =
            m_prompts.InputBox("Input Offset (0 to 2GB)", "Partition Offset",
                               std::to_string(m_explorer->PartitionOffset()));
        if (!answer || answer->empty()) break;
        const std::int64_t offset = ParseOffset(*answer);
        if (offset < 0) continue;
        m_explorer->SetPartitionOffset(offset);
        break;
    }
    RefreshControls();
}

void formOsprey::mnuPartitions_Click() {
    if (m_busy || m_explorer->IsOpen()) return;
    const std::string path = m_files->GetFileName("", "OPEN", "IMG", 0, "Partitioned Disk");
    if (path.empty()) return;
    std::string problem;
    const auto entries = ReadPartitionTableOf(path, 0, problem);
    if (!entries) {
        m_prompts.MessageBox("Partitions", problem);
        return;
    }
    m_sink->Clear();
    m_sink->Append(PartitionText(*entries));
    int proposed = entries->front().Number;
    for (const PartitionEntry& e : *entries)
        if (IsFatPartitionType(e.Type)) {
            proposed = e.Number;
            break;
        }
    for (;;) {
        const std::optional<std::string> answer = m_prompts.InputBox(
            "Partition to open (1 to 4)", "Partitions", std::to_string(proposed));
        if (!answer || answer->empty()) return;
        const std::int64_t number = ParseOffset(*answer);
        for (const PartitionEntry& e : *entries) {
            if (e.Number != number) continue;
            m_explorer->SetPartitionOffset(e.ByteOffset());
            OpenImage(path);
            return;
        }
    }
}

void formOsprey::cmdBootSector_Click() {
    if (m_busy || !m_explorer->IsOpen()) return;
    m_explorer->ShowBootSector();
}

void formOsprey::cmdFat0_Click() {
    if (m_busy || !m_explorer->IsOpen()) return;
    EnterBusy();
    m_explorer->ShowFat0();
    LeaveBusy();
}

void formOsprey::cmdDirectory_Click() {
    if (m_busy || !m_explorer->IsOpen()) return;
    m_explorer->ShowDirectoryListing();
}

void formOsprey::cmdRoot_Click() {
    if (m_busy || !m_explorer->IsOpen()) return;
    m_explorer->ShowRawRootDirectory();
}

void formOsprey::cmdAbort_Click() {
    if (m_busy) m_hook.SetAbort(true);
}

void formOsprey::listDirectory_Click() {
    if (m_busy || m_filling || !m_explorer->IsOpen()) return;
    const int row = SelectedRow();
    if (row < 0) return;
    EnterBusy();
    m_explorer->ShowRow(row, Option());
    LeaveBusy();
}

void formOsprey::optDisplay_Click(int /*index*/) {
    listDirectory_Click();
}

void formOsprey::listDirectory_DblClick() {
    if (m_busy || !m_explorer->IsOpen()) return;
    const int row = SelectedRow();
    if (row < 0 || !m_explorer->Table().Row(row).IsDirectory()) return;
    m_sink->Clear();
    if (m_explorer->EnterDirectory(row)) FillList();
}

void formOsprey::GoUp() {
    if (m_busy || !m_explorer->IsOpen()) return;
    for (int i = 0; i < listDirectory->count(); ++i) {
        const int row = listDirectory->item(i)->data(Qt::UserRole).toInt();
        if (TrimBlanks(m_explorer->Table().Row(row).Name) != "..") continue;
        listDirectory->setCurrentRow(i);
        listDirectory_DblClick();
        return;
    }
}

void formOsprey::mnuSaveFile_Click() {
    const int row = SelectedRow();
    if (m_busy || !m_explorer->IsOpen() || row < 0 || !m_explorer->Table().Row(row).IsFile())
        return;
    const std::string path =
        m_files->GetFileName(DefaultFileName(m_explorer->Table().Row(row)), "Save", "", 0, "DOS");
    if (path.empty()) return;
    EnterBusy();
    const SaveResult result = m_explorer->SaveRow(row, path);
    LeaveBusy();
    if (result.Error)
        m_prompts.MessageBox("Save File", ErrorReport(result.Error, "Osprey"));
    else if (result.End == LoopEnd::ReadError)
        m_prompts.MessageBox("Save File", "The file cannot be read from the image");
}

void formOsprey::mnuSaveAsText_Click() {
    if (m_busy) return;
    const int row = SelectedRow();
    const std::string suggested = row >= 0 ? DefaultFileName(m_explorer->Table().Row(row)) : "";
    const std::string path = m_files->GetFileName(suggested, "Save", "TXT", 0, "Display as Text");
    if (path.empty()) return;
    std::error_code ec;
    std::filesystem::remove(path, ec);
    const std::string text = m_sink->Text();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    const int err = errno;
    if (out && std::fclose(out) != 0) ok = false;
    if (!ok)
        m_prompts.MessageBox("Save as Text",
                             ErrorReport(HostErrorFromErrno(err ? err : EIO, path), "Osprey"));
}

void formOsprey::mnuSaveAll_Click() {
    if (m_busy || m_saveAllRunning || !m_explorer->IsOpen() || SelectedRow() < 0) return;
    const std::string target = m_files->GetDirName("", "SAVE", "SAVEALL", 0, "Save All");
    if (target.empty()) return;
    m_saveAllRunning = true;
    m_sink->Clear();
    EnterBusy();
    const SaveAllResult result = m_explorer->SaveAllFiles(target);
    LeaveBusy();
    m_saveAllRunning = false;
    if (!result.Problem.empty()) m_prompts.MessageBox("Save All", result.Problem);
}

bool formOsprey::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listDirectory && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace) {
        GoUp();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void formOsprey::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        event->ignore();
        return;
    }
    m_explorer->CloseDrive();
    event->accept();
}

void formOsprey::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!m_busy && data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void formOsprey::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (m_busy || !data->hasUrls() || data->urls().isEmpty()) return;
    const QString path = data->urls().first().toLocalFile();
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    OpenImage(path.toStdString());
}
