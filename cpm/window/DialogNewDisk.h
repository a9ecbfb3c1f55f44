// "Create New Disk": the size and fill byte of a new image file, a progress bar while it is
// written, and Cancel, which also stops a creation that is running. Its position is kept in the
// settings section "NewDisk".
#pragma once

#include "NewImage.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class EventHook;
class Prompts;
class SettingsStore;
class modFile;

class DialogNewDisk : public QDialog {
    Q_OBJECT
  public:
    DialogNewDisk(modFile& files, Prompts& prompts, EventHook& hook, SettingsStore& settings,
                  QWidget* parent = nullptr);

    // DiskSize and FillByte are set by the caller, FileName and ReturnValue read back.
    DialogNewDiskModel& Model() { return m_model; }
    // Fills the boxes from the properties and shows the dialog until it is hidden.
    void ShowNewDisk();

  public slots:
    void txtDiskSize_Change();
    void txtFillByte_Change();
    void cmdOK_Click();
    void cmdCancel_Click();
    // Escape and the close box: Cancel.
    void reject() override;

  private:
    void Finish(int result);

    modFile& m_files;
    Prompts& m_prompts;
    EventHook& m_hook;
    SettingsStore& m_settings;
    DialogNewDiskModel m_model;

    QLineEdit* txtDiskSize = nullptr;
    QLabel* lblDiskSize = nullptr;
    QLineEdit* txtFillByte = nullptr;
    QLabel* lblFillByte = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
