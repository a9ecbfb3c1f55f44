// Osprey's main window: the boot sector, FAT 0, directory and root buttons, the directory list
// with its three display options, the volume ID, system ID and directory labels, and the File
// and Options menus. Every action calls the FAT explorer core; long ones run in the busy state
// with the Abort button enabled.
#pragma once

#include "FatExplorer.h"
#include "qt/QtBusyPointer.h"
#include "qt/QtEventHook.h"

#include <QMainWindow>
#include <memory>
#include <string>

class QAction;
class QButtonGroup;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class Prompts;
class QtDisplaySink;
class SettingsStore;
class modFile;

class formOsprey : public QMainWindow {
    Q_OBJECT
  public:
    // The window with Qt's dialogs and the per-user settings of "Osprey".
    explicit formOsprey(QWidget* parent = nullptr);
    // The window with the given prompts and settings (tests script the dialogs).
    formOsprey(Prompts& prompts, SettingsStore& settings, QWidget* parent = nullptr);
    ~formOsprey() override;

    // Opens path as the File menu does once its dialog has answered.
    void OpenImage(const std::string& path);
    FatExplorer& Explorer() { return *m_explorer; }
    bool Busy() const { return m_busy; }
    // The row of the table the selected list line shows, or -1.
    int SelectedRow() const;

  public slots:
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuSaveFile_Click();
    void mnuSaveAsText_Click();
    void mnuSaveAll_Click();
    void mnuExit_Click();
    void mnuFile_Click();
    void mnuOptions_Click();
    void mnuOffset_Click();
    void mnuPartitions_Click();
    void cmdBootSector_Click();
    void cmdFat0_Click();
    void cmdDirectory_Click();
    void cmdRoot_Click();
    void cmdAbort_Click();
    void listDirectory_Click();
    void listDirectory_DblClick();
    void optDisplay_Click(int index);
    void GoUp();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Backspace in the directory list goes up one directory.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void Init();
    void SetUpControls();
    void SetUpMenus();
    // Enables the buttons, list, display options and save menus while a volume is open and
    // no long operation runs.
    void RefreshControls();
    void EnterBusy();
    void LeaveBusy();
    void ShowLabels();
    void ResetWindow();
    void FillList();
    DisplayOption Option() const;

    std::unique_ptr<SettingsStore> m_ownSettings;
    std::unique_ptr<Prompts> m_ownPrompts;
    Prompts& m_prompts;
    SettingsStore& m_settings;
    QtEventHook m_hook;
    QtBusyPointer m_busyPointer;
    std::unique_ptr<QtDisplaySink> m_sink;
    std::unique_ptr<modFile> m_files;
    std::unique_ptr<FatExplorer> m_explorer;
    bool m_busy = false;
    bool m_saveAllRunning = false;
    bool m_filling = false;

    QPushButton* cmdBootSector = nullptr;
    QPushButton* cmdFat0 = nullptr;
    QPushButton* cmdDirectory = nullptr;
    QPushButton* cmdRoot = nullptr;
    QPushButton* cmdAbort = nullptr;
    QRadioButton* optDisplay[3] = {};
    QButtonGroup* m_optionGroup = nullptr;
    QListWidget* listDirectory = nullptr;
    QLabel* lblVolumeID = nullptr;
    QLabel* lblSystemID = nullptr;
    QLabel* lblDirectory = nullptr;
    QLabel* lblOffset = nullptr;
    QPlainTextEdit* rtfDisplay = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuSaveFile = nullptr;
    QAction* mnuSaveAsText = nullptr;
    QAction* mnuSaveAll = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuOffset = nullptr;
    QAction* mnuPartitions = nullptr;
};
