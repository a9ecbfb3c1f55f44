// Tamarin's main window: the current directory of a System V/68 volume, the selected inode in
// one of four display options, the super block, the inode table, single blocks, and saving a
// file or the display.
#pragma once

#include "TamarinSession.h"
#include "qt/ExplorerWindow.h"

#include <memory>

class QListWidget;
class QRadioButton;

class formTamarin : public ExplorerWindow {
    Q_OBJECT
  public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    explicit formTamarin(std::shared_ptr<ImageOpener> opener = {}, ImageSummary summary = {},
                         Prompts* prompts = nullptr, SettingsStore* settings = nullptr,
                         QWidget* parent = nullptr);

    int DisplayMode() const { return m_displayMode; }
    TamarinSession& Session() { return *m_session; }

  private:
    bool OpenImageFile(const QString& path, bool readOnly) override;
    void CloseImageFile() override;
    bool ImageOpen() const override { return m_session->IsOpen(); }
    void ShowImageInfo(DisplaySink& sink) override;
    std::string SuggestedName() const override;
    void UpdateControls() override;

    void BuildControls();
    void FillList();
    void ShowSelected();

    void optDisplay_Click(int index);
    void listDIR_DblClick();
    void cmdDisplaySuperBlock_Click();
    void cmdDisplayBlock_Click();
    void cmdDisplayInodeTable_Click();
    void mnuSaveFile_Click();

    std::shared_ptr<ImageOpener> m_opener;
    ImageSummary m_summary;
    std::unique_ptr<TamarinSession> m_session;
    int m_displayMode = OptionInodeInfo;

    QListWidget* listDIR = nullptr;
    QPushButton* cmdDisplaySuperBlock = nullptr;
    QPushButton* cmdDisplayBlock = nullptr;
    QPushButton* cmdDisplayInodeTable = nullptr;
    QRadioButton* optDisplay[4] = {};
    QAction* mnuSaveFile = nullptr;
};
