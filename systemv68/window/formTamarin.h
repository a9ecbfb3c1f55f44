// Tamarin's main window: the current directory of a System V/68 volume, the selected inode in
// one of four display options, the super block, the inode table, single blocks, and saving a
// file or the display.
#pragma once

#include "TamarinSession.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
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
class modFile;

// The ImageDisk summary of an open image, for the "Image info" entry.
using ImageSummary = std::function<void(SectorSource& disk, DisplaySink& sink)>;

class formTamarin : public QMainWindow {
    Q_OBJECT
  public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    explicit formTamarin(ImageOpener opener = {}, ImageSummary summary = {},
                         Prompts* prompts = nullptr, SettingsStore* settings = nullptr,
                         QWidget* parent = nullptr);
    ~formTamarin() override;

    // Opens an image as the Open menu does once a name is chosen.
    void OpenImage(const QString& path);
    bool IsBusy() const { return m_busy; }
    bool DriveOpen() const { return m_session->IsOpen(); }
    bool Explorable() const { return m_session->IsExplorable(); }
    int DisplayMode() const { return m_displayMode; }
    TamarinSession& Session() { return *m_session; }

  public slots:
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuSaveFile_Click();
    void mnuSaveTxt_Click();
    void mnuImageInfo_Click();
    void mnuExit_Click();
    void cmdDisplaySuperBlock_Click();
    void cmdDisplayBlock_Click();
    void cmdDisplayInodeTable_Click();
    void cmdABORT_Click();
    void optDisplay_Click(int index);
    void listDIR_Click();
    void listDIR_DblClick();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void Form_Load();
    void BuildControls();
    void BuildMenus();
    void CloseDrive();
    void SetBusy(bool busy);
    void EnableControls(bool on);
    void UpdateMenus();
    void FillList();
    void ShowSelected();
    std::string SelectedLineText() const;

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
    std::unique_ptr<TamarinSession> m_session;

    bool m_busy = false;
    int m_displayMode = OptionInodeInfo;

    QPlainTextEdit* rtfDisplay = nullptr;
    QListWidget* listDIR = nullptr;
    QPushButton* cmdDisplaySuperBlock = nullptr;
    QPushButton* cmdDisplayBlock = nullptr;
    QPushButton* cmdDisplayInodeTable = nullptr;
    QPushButton* cmdABORT = nullptr;
    QRadioButton* optDisplay[4] = {};
    QLabel* lblVersion = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuImageInfo = nullptr;
    QAction* mnuSaveTxt = nullptr;
    QAction* mnuSaveFile = nullptr;
    QAction* mnuExit = nullptr;
};
