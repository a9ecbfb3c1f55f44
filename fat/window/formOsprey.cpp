#include "formOsprey.h"

#include "DisplaySink.h"
#include "LongNameDelegate.h"
#include "Partitions.h"
#include "Prompts.h"
#include "modFile.h"
#include "qt/AskNumber.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

ExplorerProgram OspreyProgram() {
    return {.name = "Osprey",
            .copy = ProgramCopy::Osprey,
            .windowName = "formOsprey",
            .title = "FAT File System",
            .imageType = "IMG",
            .imageDescription = "FAT Raw File",
            .versionPrefix = "Osprey ",
            .open = {"mnuOpen", "&Open...", QKeySequence::Open},
            .close = {"mnuClose", "&Close", QKeySequence::Close},
            .saveDisplay = {"mnuSaveAsText", "Save as &Text...", QKeySequence::SaveAs},
            .exit = {"mnuExit", "E&xit", QKeySequence::Quit},
            .stop = {"cmdAbort", "Abort", QKeySequence(Qt::Key_Escape)}};
}

} // namespace

formOsprey::formOsprey(Prompts* prompts, SettingsStore* settings, QWidget* parent)
    : ExplorerWindow(OspreyProgram(), prompts, settings, parent),
      m_explorer(std::make_unique<FatExplorer>(Dialogs(), Hook())) {
    SetUpControls();
    SetUpMenus();
    ResetWindow();
}

int formOsprey::SelectedRow() const {
    const QListWidgetItem* item = listDirectory->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

DisplayOption formOsprey::Option() const {
    for (int i = 0; i < 3; ++i)
        if (optDisplay[i]->isChecked()) return static_cast<DisplayOption>(i);
    return DisplayOption::Entry;
}

void formOsprey::UpdateControls() {
    const bool open = m_explorer->IsOpen();
    const bool usable = open && !IsBusy();
    for (QPushButton* b : {cmdBootSector, cmdFat0, cmdDirectory, cmdRoot})
        b->setEnabled(usable);
    listDirectory->setEnabled(usable);
    for (QRadioButton* option : optDisplay)
        option->setEnabled(usable);
    const int row = SelectedRow();
    mnuSaveFile->setEnabled(usable && row >= 0 && m_explorer->Table().Row(row).IsFile());
    mnuSaveAll->setEnabled(usable && m_explorer->Table().FileCount() > 0);
    mnuSaveAllTree->setEnabled(usable);
    mnuShowDeleted->setEnabled(!IsBusy());
    mnuOffset->setEnabled(!open && !IsBusy());
    mnuPartitions->setEnabled(!open && !IsBusy());
    lblOffset->setText(QString("Partition offset %1").arg(m_explorer->PartitionOffset()));
}

void formOsprey::ShowLabels() {
    lblVolumeID->setText(QString::fromStdString(m_explorer->VolumeIdLabel()));
    const SystemIdLabel& system = m_explorer->SystemId();
    lblSystemID->setText(QString::fromStdString(system.Text));
    lblSystemID->setStyleSheet(system.Blue ? "color: #0000FF;" : "color: #000000;");
    lblDirectory->setText(QString::fromStdString(m_explorer->DirectoryLabel()));
}

void formOsprey::ResetWindow() {
    {
        const QSignalBlocker blocker(listDirectory);
        listDirectory->clear();
    }
    ShowLabels();
    RefreshControls();
}

void formOsprey::FillList() {
    {
        const QSignalBlocker blocker(listDirectory);
        listDirectory->clear();
        for (const ListLine& line : m_explorer->List().Lines) {
            auto* item = new QListWidgetItem(QString::fromStdString(line.Text), listDirectory);
            item->setData(Qt::UserRole, line.Row);
            const DirEntry& row = m_explorer->Table().Row(line.Row);
            if (!row.LongName.empty()) {
                item->setData(LongNameDelegate::kLongNameRole,
                              QString::fromStdString(row.LongName));
                item->setToolTip(QString::fromStdString(row.LongName));
            }
        }
    }
    ShowLabels();
    RefreshControls();
    if (listDirectory->count() > 0) {
        if (listDirectory->currentRow() == 0)
            listDirectory_Click();
        else
            listDirectory->setCurrentRow(0);
    }
}

bool formOsprey::OpenImageFile(const QString& path, bool /*readOnly*/) {
    ResetWindow();
    m_opener.Choices().container = ContainerChoice();
    const OpenOutcome result = m_explorer->Open(path.toStdString(), m_opener, Sink());
    if (result == OpenOutcome::Opened)
        FillList();
    else
        ResetWindow();
    return result != OpenOutcome::Failed;
}

void formOsprey::CloseImageFile() {
    m_explorer->Close();
    ResetWindow();
}

void formOsprey::mnuOffset_Click() {
    if (IsBusy() || m_explorer->IsOpen()) return;
    const std::optional<std::int64_t> offset =
        AskNumber(Dialogs(),
                  {"Input Offset (0 to 2GB)", "Partition Offset",
                   std::to_string(m_explorer->PartitionOffset())},
                  [](std::int64_t) { return true; });
    if (offset) m_explorer->SetPartitionOffset(*offset);
    RefreshControls();
}

void formOsprey::mnuPartitions_Click() {
    if (IsBusy() || m_explorer->IsOpen()) return;
    const std::string path = Files().GetFileName("", "OPEN", "IMG", 0, "Partitioned Disk");
    if (path.empty()) return;
    std::string problem;
    const auto entries = ReadPartitionTableOf(path, 0, problem);
    if (!entries) {
        Dialogs().MessageBox("Partitions", problem);
        return;
    }
    Sink().Clear();
    Sink().Append(PartitionText(*entries));
    int proposed = entries->front().Number;
    for (const PartitionEntry& e : *entries)
        if (IsFatPartitionType(e.Type)) {
            proposed = e.Number;
            break;
        }
    const PartitionEntry* chosen = nullptr;
    const std::optional<std::int64_t> number =
        AskNumber(Dialogs(), {"Partition to open (1 to 4)", "Partitions", std::to_string(proposed)},
                  [&](std::int64_t n) {
                      for (const PartitionEntry& e : *entries)
                          if (e.Number == n) chosen = &e;
                      return chosen != nullptr;
                  });
    if (!number) return;
    m_explorer->SetPartitionOffset(chosen->ByteOffset());
    OpenImage(QString::fromStdString(path));
}

void formOsprey::listDirectory_Click() {
    if (IsBusy() || !m_explorer->IsOpen()) return;
    const int row = SelectedRow();
    if (row < 0) return;
    Busy busy(*this);
    m_explorer->ShowRow(row, Option(), Sink());
}

void formOsprey::listDirectory_DblClick() {
    if (IsBusy() || !m_explorer->IsOpen()) return;
    const int row = SelectedRow();
    if (row < 0 || !m_explorer->Table().Row(row).IsDirectory()) return;
    Sink().Clear();
    if (m_explorer->EnterDirectory(row)) FillList();
}

void formOsprey::GoUp() {
    if (IsBusy() || !m_explorer->IsOpen()) return;
    for (int i = 0; i < listDirectory->count(); ++i) {
        const int row = listDirectory->item(i)->data(Qt::UserRole).toInt();
        if (TrimBlanks(m_explorer->Table().Row(row).Name) != "..") continue;
        listDirectory->setCurrentRow(i);
        listDirectory_DblClick();
        return;
    }
}

std::string formOsprey::SuggestedName() const {
    const int row = SelectedRow();
    if (row < 0) return "";
    const DirEntry& entry = m_explorer->Table().Row(row);
    if (entry.Deleted) return RecoveredName(entry, entry.ChecksumFirst ? entry.ChecksumFirst : '_');
    return DefaultFileName(entry);
}

char formOsprey::AskFirstCharacter(int row) {
    const DirEntry& entry = m_explorer->Table().Row(row);
    // The checksum of surviving long-name pieces tells the character; else nothing is known.
    std::string proposed(1, entry.ChecksumFirst ? entry.ChecksumFirst : '_');
    for (;;) {
        const std::optional<std::string> answer = Dialogs().InputBox(
            "First character of the name of " + EntryName(entry) + " (lost when it was deleted)",
            "Recover Deleted File", proposed);
        if (!answer) return 0;
        if (answer->size() == 1 && ValidFirstCharacter((*answer)[0])) return (*answer)[0];
        Dialogs().MessageBox("Recover Deleted File",
                             "'" + *answer + "' is not one character that may begin a DOS name");
        proposed = *answer;
    }
}

void formOsprey::mnuSaveFile_Click() {
    const int row = SelectedRow();
    if (IsBusy() || !m_explorer->IsOpen() || row < 0 || !m_explorer->Table().Row(row).IsFile())
        return;
    if (m_explorer->Table().Row(row).Deleted) {
        const char first = AskFirstCharacter(row);
        if (!first) return;
        const std::string path = Files().GetFileName(
            RecoveredName(m_explorer->Table().Row(row), first), "Save", "", 0, "DOS");
        if (path.empty()) return;
        RecoveryResult result;
        {
            Busy busy(*this);
            result = m_explorer->RecoverRow(row, first, path, Sink());
        }
        if (result.Save.Error)
            Dialogs().MessageBox("Save File", ErrorReport(result.Save.Error, "Osprey"));
        else if (!result.Saved())
            Dialogs().MessageBox("Save File", !result.Plan.Problem.empty()
                                                  ? "The deleted file cannot be recovered: " +
                                                        result.Plan.Problem
                                                  : "The file cannot be read from the image");
        return;
    }
    const std::string path = Files().GetFileName(SuggestedName(), "Save", "", 0, "DOS");
    if (path.empty()) return;
    SaveResult result;
    {
        Busy busy(*this);
        result = m_explorer->SaveRow(row, path);
    }
    if (result.Error)
        Dialogs().MessageBox("Save File", ErrorReport(result.Error, "Osprey"));
    else if (result.End == LoopEnd::ReadError)
        Dialogs().MessageBox("Save File", "The file cannot be read from the image");
    else if (!result.Damaged.empty())
        Dialogs().MessageBox("Save File", result.Damaged);
}

void formOsprey::mnuSaveAll_Click() {
    if (IsBusy() || !m_explorer->IsOpen() || SelectedRow() < 0) return;
    const std::string target = Files().GetDirName("", "SAVE", "SAVEALL", 0, "Save All");
    if (target.empty()) return;
    Sink().Clear();
    SaveAllResult result;
    {
        Busy busy(*this);
        result = m_explorer->SaveAllFiles(target, Sink());
    }
    if (!result.Problem.empty()) Dialogs().MessageBox("Save All", result.Problem);
}

void formOsprey::mnuSaveAllTree_Click() {
    if (IsBusy() || !m_explorer->IsOpen()) return;
    const std::string target = Files().GetDirName("", "SAVE", "SAVEALL", 0, "Save All");
    if (target.empty()) return;
    Sink().Clear();
    SaveAllResult result;
    {
        Busy busy(*this);
        result = m_explorer->SaveAllTree(target, Sink());
    }
    if (!result.Problem.empty()) Dialogs().MessageBox("Save All", result.Problem);
}

void formOsprey::mnuShowDeleted_Click() {
    if (IsBusy()) return;
    m_explorer->SetShowDeleted(mnuShowDeleted->isChecked());
    if (m_explorer->IsOpen()) FillList();
}

bool formOsprey::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listDirectory && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace) {
        GoUp();
        return true;
    }
    return ExplorerWindow::eventFilter(watched, event);
}
