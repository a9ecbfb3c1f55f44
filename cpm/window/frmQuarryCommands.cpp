// The handlers of frmQuarry that act on the open image: the directory and file commands of the
// "Data Tracks" tab, the drop zone, the Tools menu, the fill byte, "Fill Image" and
// "Create Image".
#include "frmQuarry.h"

#include "AddFiles.h"
#include "DialogNewDisk.h"
#include "EntryColours.h"
#include "ErasedFiles.h"
#include "EventHook.h"
#include "FileCommands.h"
#include "NewImage.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "SystemTracksPanel.h"
#include "UploadAll.h"
#include "modFile.h"
#include "modUtility.h"
#include "qt/AskNumber.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

void frmQuarry::cmbSelectDiskFormat_Click(int index) {
    if (IsBusy() || index < 0) {
        // A walk running on the image keeps its format until it ends.
        SelectFormatInList();
        return;
    }
    m_session->SelectDiskFormat(cmbSelectDiskFormat->itemText(index).toStdString());
    m_systemTracks->ValidateAll();
}

void frmQuarry::cmboFileList_Click(int index) {
    if (m_refillingFiles || chkShowErased->isChecked()) return;
    m_session->SelectFile(index < 0 ? std::string()
                                    : cmboFileList->itemText(index).toLatin1().toStdString());
}

void frmQuarry::picDropZone_OLEDragDrop(const QStringList& paths, bool plainText) {
    if (!FreshBeforeWrite()) return;
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(path.toStdString());
    DropFiles(*m_session, Sink(), files, plainText, std::nullopt,
              [this](const RefusedName& refused) { return AskForName(refused); });
}

std::optional<std::string> frmQuarry::AskForName(const RefusedName& refused) {
    const NameQuestionText question = QuestionText(refused);
    return m_session->prompts().InputBox(question.prompt, question.title, question.offered);
}

void frmQuarry::txtFillByte_Change() {
    const EntryMark mark = m_session->SetFillByteText(txtFillByte->text().toStdString());
    PaintEntry(txtFillByte, mark);
    if (mark.Red()) return;
    lblFillByte->setText(QString::number(m_session->FillByte()));
    lblFillByteHex->setText(QString::fromStdString("0x" + Hex2(m_session->FillByte())));
}

void frmQuarry::cmdFillImage_Click() {
    if (!FreshBeforeWrite()) return;
    FillImage(*m_session, Sink(), [this](std::int64_t done, std::int64_t total) {
        pbFillImage->show();
        pbFillImage->setValue(ProgressPercent(done, total));
    });
    pbFillImage->hide();
    pbFillImage->setValue(0);
}

void frmQuarry::cmdCreateDiskImage_Click() {
    if (IsBusy()) return;
    const bool wasOpen = m_session->image().ImageOpen();
    DialogNewDisk dialog(Files(), Dialogs(), Hook(), Settings(), this);
    dialog.Model().DiskSize = m_session->Format().ImageSize;
    dialog.Model().FillByte = m_session->FillByte();
    dialog.ShowNewDisk();
    AfterNewImage(*m_session, Sink(), dialog.Model());
    if (wasOpen || !m_session->image().ImageOpen()) return;
    txtImageName->setText(QString::fromStdString(m_session->image().Name()));
    m_readOnlyChoice = false;
    SelectFormatInList();
    ShowImageState();
    m_systemTracks->ValidateAll();
}

void frmQuarry::chkShowErased_Click(bool show) {
    if (show)
        ShowErasedFiles(*m_session, Sink());
    else
        m_session->directory().ShowAll(Sink());
    RefillFileList();
    RefreshControls();
}

void frmQuarry::cmdUpLoad_Click() {
    if (!chkShowErased->isChecked()) {
        UploadFile(*m_session, Files());
        return;
    }
    const int index = cmboFileList->currentIndex();
    if (index < 0) return;
    const std::string name = cmboFileList->currentText().toLatin1().left(12).toStdString();
    UploadErasedFile(*m_session, Sink(), Files(), name, cmboFileList->itemData(index).toInt());
}

void frmQuarry::cmdUndelete_Click() {
    if (!FreshBeforeWrite()) return;
    const int index = cmboFileList->currentIndex();
    if (index < 0) return;
    const std::string name = cmboFileList->currentText().toLatin1().left(12).toStdString();
    const std::optional<std::int64_t> user =
        AskNumber(Dialogs(),
                  {"User number (0 to 15) for " + name + ":", "Undelete",
                   std::to_string(m_session->UserNumber())},
                  [](std::int64_t n) { return n >= 0 && n <= 15; });
    if (!user) return;
    UndeleteFile(*m_session, Sink(), name, cmboFileList->itemData(index).toInt(),
                 static_cast<int>(*user));
    RefillFileList();
}

void frmQuarry::cmdUpLoadAll_Click() {
    if (IsBusy() || !m_session->image().ImageOpen()) return;
    const DirectoryPickResult picked =
        Dialogs().PickDirectory("Upload All: the folder for the files", Files().LastDirectory());
    if (picked.cancelled || picked.directory.empty()) return;
    UploadAll(*m_session, Sink(), {*ParseCpmPattern("*:*.*")}, picked.directory);
}
