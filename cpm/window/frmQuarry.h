// Quarry's main window: the open image with its size and format, the fill byte, "Create Image"
// and "Fill Image", and two tabs: "Data Tracks" (drop zone, user and file lists, the directory
// and file commands, the display pane) and "System Tracks" (insertion of host binaries into the
// system area). Window position and display font are kept in the settings store ("Main",
// "Options").
#pragma once

#include <QMainWindow>

#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class BusyPointer;
class DisplaySink;
class DropZone;
class EventHook;
class Prompts;
class QuarrySession;
class SettingsStore;
class SystemTracksPanel;
class modFile;

class frmQuarry : public QMainWindow {
    Q_OBJECT
  public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    explicit frmQuarry(Prompts* prompts = nullptr, SettingsStore* settings = nullptr,
                       QWidget* parent = nullptr);
    ~frmQuarry() override;

    // Opens an image as the Open menu does once a name is chosen.
    void OpenImage(const QString& path, bool readOnly = false);
    QuarrySession& Session() { return *m_session; }
    SystemTracksPanel& SystemTracksTab() { return *m_systemTracks; }

  public slots:
    void mnuOpenImage_Click();
    void mnuCloseImage_Click();
    void mnuSaveDisplay_Click();
    void mnuFont_Click();
    void mnuFixedFontsOnly_Click();
    void txtImageName_DblClick();
    void cmbSelectDiskFormat_Click(int index);
    void cmboUserNumber_Click(int index);
    void cmboFileList_Click(int index);
    void chkSorted_Click();
    void tsMain_Click(int tab);
    void picDropZone_OLEDragDrop(const QStringList& paths, bool plainText);
    void cmdDirectory_Click();
    void cmdFullDirectory_Click();
    void cmdUpLoad_Click();
    void cmdType_Click();
    void cmdDump_Click();
    void cmdRename_Click();
    void cmdErase_Click();
    void cmdWipe_Click();
    void cmdAbort_Click();
    void mnuWipeDirEnt_Click();
    void mnuWipeFree_Click();
    void txtFillByte_Change();
    void cmdCreateDiskImage_Click();
    void cmdFillImage_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildImageBar();
    QWidget* BuildDataTracks();
    void BuildMenus();
    void RestoreSettings();
    void ShowImageState();
    void EnableImageControls();
    void RefillFileList();
    void SelectFormatInList();

    std::unique_ptr<Prompts> m_ownPrompts;
    std::unique_ptr<SettingsStore> m_ownSettings;
    Prompts* m_prompts;
    SettingsStore* m_settings;
    std::unique_ptr<EventHook> m_hook;
    std::unique_ptr<BusyPointer> m_pointer;
    std::unique_ptr<DisplaySink> m_sink;
    std::unique_ptr<modFile> m_files;
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
    QPushButton* cmdUpLoad = nullptr;
    QPushButton* cmdType = nullptr;
    QPushButton* cmdDump = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdErase = nullptr;
    QPushButton* cmdWipe = nullptr;
    QPushButton* cmdAbort = nullptr;
    QPlainTextEdit* rtfDisplay = nullptr;
    QAction* mnuOpenImage = nullptr;
    QAction* mnuCloseImage = nullptr;
    QAction* mnuSaveDisplay = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuSelectAll = nullptr;
    QAction* mnuWipeDirEnt = nullptr;
    QAction* mnuWipeFree = nullptr;
    QAction* mnuFont = nullptr;
    QAction* mnuFixedFontsOnly = nullptr;
};
