// Osprey's main window: the boot sector, FAT 0, directory and root buttons, the directory list
// with its three display options, the volume ID, system ID and directory labels, and the File
// and Options menus. Every action calls the FAT explorer core; long ones run in the busy state
// with the Abort button enabled.
#pragma once

#include "FatExplorer.h"
#include "qt/ExplorerWindow.h"

#include <memory>
#include <string>

class QLabel;
class QListWidget;
class QRadioButton;

class formOsprey : public ExplorerWindow {
    Q_OBJECT
  public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    explicit formOsprey(Prompts* prompts = nullptr, SettingsStore* settings = nullptr,
                        QWidget* parent = nullptr);

    FatExplorer& Explorer() { return *m_explorer; }

  protected:
    // Backspace in the directory list goes up one directory.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool OpenImageFile(const QString& path, bool readOnly) override;
    void CloseImageFile() override;
    bool ImageOpen() const override { return m_explorer->IsOpen(); }
    std::string SuggestedName() const override;
    // Enables the buttons, list, display options and menus while a volume is open and no long
    // operation runs.
    void UpdateControls() override;

    void SetUpControls();
    void SetUpMenus();
    void ShowLabels();
    void ResetWindow();
    void FillList();
    // The row of the table the selected list line shows, or -1.
    int SelectedRow() const;
    DisplayOption Option() const;

    void mnuSaveFile_Click();
    void mnuSaveAll_Click();
    void mnuSaveAllTree_Click();
    void mnuShowDeleted_Click();
    // Asks for the lost first character of deleted row; 0 when the user cancels.
    char AskFirstCharacter(int row);
    void mnuOffset_Click();
    void mnuPartitions_Click();
    void listDirectory_Click();
    void listDirectory_DblClick();
    void GoUp();

    // Opens images as 512-byte sectors; the container type is the Options menu's choice.
    ImageOpener m_opener = OspreyImageOpener();
    std::unique_ptr<FatExplorer> m_explorer;

    QPushButton* cmdBootSector = nullptr;
    QPushButton* cmdFat0 = nullptr;
    QPushButton* cmdDirectory = nullptr;
    QPushButton* cmdRoot = nullptr;
    QRadioButton* optDisplay[3] = {};
    QListWidget* listDirectory = nullptr;
    QLabel* lblVolumeID = nullptr;
    QLabel* lblSystemID = nullptr;
    QLabel* lblDirectory = nullptr;
    QLabel* lblOffset = nullptr;
    QAction* mnuSaveFile = nullptr;
    QAction* mnuSaveAll = nullptr;
    QAction* mnuSaveAllTree = nullptr;
    QAction* mnuShowDeleted = nullptr;
    QAction* mnuOffset = nullptr;
    QAction* mnuPartitions = nullptr;
};
