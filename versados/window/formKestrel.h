// Kestrel's main window: catalogs and files of a VersaDOS volume, the four views of the
// selected file, the whole-disk listing, single blocks, and the save menus.
#pragma once

#include "KestrelSession.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class BusyPointer;
class DisplaySink;
class EventHook;
class Prompts;
class SettingsStore;
class dialogSaveFile;
class modFile;

// The ImageDisk summary of an open image, for the "Image info" entry.
using ImageSummary = std::function<void(SectorSource& disk, DisplaySink& sink)>;

class formKestrel : public QMainWindow {
    Q_OBJECT
public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    explicit formKestrel(ImageOpener opener = {}, ImageSummary summary = {},
                         Prompts* prompts = nullptr, SettingsStore* settings = nullptr,
                         QWidget* parent = nullptr);
    ~formKestrel() override;

    // Opens an image as the Open menu does once a name is chosen.
    void OpenImage(const QString& path);
    bool IsBusy() const { return m_busy; }
    KestrelSession& Session() { return *m_session; }
    int ListingForm() const { return m_listingForm; }

public slots:
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuSaveTxt_Click();
    void mnuSaveDataBlocks_Click();
    void mnuSaveRecords_Click();
    void mnuSaveAllFiles_Click();
    void mnuImageInfo_Click();
    void cmdDir_Click();
    void cmdTest_Click();
    void cmdDisplayBlock_Click();
    void cmdDisplayVID_Click();
    void cmdABORT_Click();
    void listSDB_Click();
    void listPDB_Click();
    void optDisplay_Click(int index);
    void chkEOL_Click();
    void chkDecompressSpaces_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void CloseDrive();
    void EnableVolumeControls(bool on);
    void UpdateRecordMenus();
    void SetBusy(bool busy);
    void FillList(QListWidget* list, const std::vector<ListItem>& items, int select);
    void ShowSelectedFile();
    void ShowListing(bool advance);
    int DisplayOption() const;
    std::string SelectedFileSuggestion() const;

    std::unique_ptr<Prompts> m_ownPrompts;
    std::unique_ptr<SettingsStore> m_ownSettings;
    Prompts* m_prompts;
    SettingsStore* m_settings;
    std::unique_ptr<EventHook> m_hook;
    std::unique_ptr<BusyPointer> m_pointer;
    std::unique_ptr<DisplaySink> m_sink;
    std::unique_ptr<modFile> m_files;
    ImageOpener m_opener;
    ImageSummary m_summary;
    std::unique_ptr<KestrelSession> m_session;

    bool m_busy = false;
    bool m_loadingCatalog = false;
    bool m_selectingCatalog = false;
    bool m_showingFile = false;
    bool m_buildingTable = false;
    bool m_savingAll = false;
    bool m_expandSpaces = true;
    bool m_addCRLF = true;
    int m_listingForm = 0;
    RecordOptions m_recordOptions{true, false, false, false};

    QPlainTextEdit* rtfDisplay = nullptr;
    QListWidget* listSDB = nullptr;
    QListWidget* listPDB = nullptr;
    QPushButton* cmdDir = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdDisplayBlock = nullptr;
    QPushButton* cmdDisplayVID = nullptr;
    QPushButton* cmdABORT = nullptr;
    QCheckBox* chkEOL = nullptr;
    QCheckBox* chkDecompressSpaces = nullptr;
    QRadioButton* optDisplay[4] = {};
    QLabel* lblVersion = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuSaveTxt = nullptr;
    QAction* mnuSaveDataBlocks = nullptr;
    QAction* mnuSaveRecords = nullptr;
    QAction* mnuSaveAllFiles = nullptr;
    QAction* mnuImageInfo = nullptr;
    QAction* mnuExit = nullptr;
    dialogSaveFile* m_saveOptions = nullptr;
};
