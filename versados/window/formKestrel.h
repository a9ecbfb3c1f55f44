// Kestrel's main window: catalogs and files of a VersaDOS volume, the four views of the
// selected file, the whole-disk listing, single blocks, and the save menus.
#pragma once

#include "KestrelSession.h"
#include "qt/ExplorerWindow.h"

#include <memory>

class QCheckBox;
class QListWidget;
class QRadioButton;
class dialogSaveFile;

class formKestrel : public ExplorerWindow {
    Q_OBJECT
  public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    explicit formKestrel(std::shared_ptr<ImageOpener> opener = {}, ImageSummary summary = {},
                         Prompts* prompts = nullptr, SettingsStore* settings = nullptr,
                         QWidget* parent = nullptr);

    KestrelSession& Session() { return *m_session; }
    int ListingForm() const { return m_listingForm; }

  private:
    bool OpenImageFile(const QString& path, bool readOnly) override;
    void CloseImageFile() override;
    bool ImageOpen() const override { return m_session->IsOpen(); }
    void ShowImageInfo(DisplaySink& sink) override;
    std::string SuggestedName() const override;
    void UpdateControls() override;

    void BuildControls();
    void BuildMenus();
    void FillList(QListWidget* list, const std::vector<ListItem>& items, int select);
    void ShowSelectedFile();
    void ShowListing(bool advance);
    int DisplayOption() const;

    void listSDB_Click();
    void optDisplay_Click();
    void chkEOL_Click();
    void chkDecompressSpaces_Click();
    void cmdDisplayVID_Click();
    void cmdDisplayBlock_Click();
    void mnuSaveDataBlocks_Click();
    // After a save of file index: a box when damaged sectors hit the bytes saved.
    void ReportDamage(int index);
    void mnuSaveRecords_Click();
    void mnuSaveAllFiles_Click();

    std::shared_ptr<ImageOpener> m_opener;
    ImageSummary m_summary;
    std::unique_ptr<KestrelSession> m_session;
    bool m_expandSpaces = true;
    bool m_addCRLF = true;
    int m_listingForm = 0;
    RecordOptions m_recordOptions{true, false, false, false};

    QListWidget* listSDB = nullptr;
    QListWidget* listPDB = nullptr;
    QPushButton* cmdDir = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdDisplayBlock = nullptr;
    QPushButton* cmdDisplayVID = nullptr;
    QCheckBox* chkEOL = nullptr;
    QCheckBox* chkDecompressSpaces = nullptr;
    QRadioButton* optDisplay[4] = {};
    QAction* mnuSaveDataBlocks = nullptr;
    QAction* mnuSaveRecords = nullptr;
    QAction* mnuSaveAllFiles = nullptr;
    dialogSaveFile* m_saveOptions = nullptr;
};
