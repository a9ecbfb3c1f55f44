// Quarry's main window: the open image with its size and format, the fill byte, "Create Image"
// and "Fill Image", and two tabs: "Data Tracks" (drop zone, user and file lists, the directory
// and file commands, the erased files and Undelete, Upload All, the display pane) and "System
// Tracks" (insertion of host binaries into the system area). Window position and display font are
// kept in the settings store ("Main", "Options").
#pragma once

#include "qt/ExplorerWindow.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QTabWidget;
class DropZone;
class QuarrySession;
struct RefusedName;
class SystemTracksPanel;

class frmQuarry : public ExplorerWindow {
    Q_OBJECT
  public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    explicit frmQuarry(Prompts* prompts = nullptr, SettingsStore* settings = nullptr,
                       QWidget* parent = nullptr);
    ~frmQuarry() override;

    QuarrySession& Session() { return *m_session; }
    SystemTracksPanel& SystemTracksTab() { return *m_systemTracks; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool OpenImageFile(const QString& path, bool readOnly) override;
    void CloseImageFile() override;
    bool ImageOpen() const override;
    void UpdateControls() override;
    void Closing() override;

    QWidget* BuildImageBar();
    QWidget* BuildDataTracks();
    void BuildMenus();
    void RestoreSettings();
    void ShowImageState();
    void RefillFileList();
    void SelectFormatInList();
    void FillFormatList();
    // Before a change: reads the image again when another program changed it since it was
    // shown. True when the action may go on: nothing changed, or the file chosen is still there.
    bool FreshBeforeWrite();
    std::optional<std::string> AskFormat(const std::vector<std::string>& names);
    // Asks the user for another name when the image cannot take one ("Invalid CPM Name",
    // "CPM File Exists"); Cancel leaves the file out.
    std::optional<std::string> AskForName(const RefusedName& refused);

    void mnuFont_Click();
    void txtImageName_DblClick();
    void cmbSelectDiskFormat_Click(int index);
    void cmboFileList_Click(int index);
    void tsMain_Click(int tab);
    void picDropZone_OLEDragDrop(const QStringList& paths, bool plainText);
    void txtFillByte_Change();
    void cmdCreateDiskImage_Click();
    void cmdFillImage_Click();
    void chkShowErased_Click(bool show);
    void cmdUpLoad_Click();
    void cmdUndelete_Click();
    void cmdUpLoadAll_Click();

    std::unique_ptr<QuarrySession> m_session;
    bool m_fixedFontsOnly = true;
    bool m_readOnlyChoice = false; // the open dialog's read-only box, kept for a re-open
    bool m_refillingFiles = false;

    QTabWidget* tsMain = nullptr;
    SystemTracksPanel* m_systemTracks = nullptr;
    QLineEdit* txtImageName = nullptr;
    QLabel* lblImageSize = nullptr;
    QLabel* lblImageSizeHex = nullptr;
    QLabel* lblReadOnly = nullptr;
    QComboBox* cmbSelectDiskFormat = nullptr;
    QLineEdit* txtFillByte = nullptr;
    QLabel* lblFillByte = nullptr;
    QLabel* lblFillByteHex = nullptr;
    QPushButton* cmdCreateDiskImage = nullptr;
    QPushButton* cmdFillImage = nullptr;
    QProgressBar* pbFillImage = nullptr;
    DropZone* picDropZone = nullptr;
    QComboBox* cmboUserNumber = nullptr;
    QComboBox* cmboFileList = nullptr;
    QPushButton* cmdDirectory = nullptr;
    QPushButton* cmdFullDirectory = nullptr;
    QCheckBox* chkSorted = nullptr;
    QCheckBox* chkShowErased = nullptr;
    QPushButton* cmdUndelete = nullptr;
    QPushButton* cmdUpLoadAll = nullptr;
    QPushButton* cmdUpLoad = nullptr;
    QPushButton* cmdType = nullptr;
    QPushButton* cmdDump = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdErase = nullptr;
    QPushButton* cmdWipe = nullptr;
    QAction* mnuWipeDirEnt = nullptr;
    QAction* mnuWipeFree = nullptr;
    QAction* mnuFixedFontsOnly = nullptr;
};
