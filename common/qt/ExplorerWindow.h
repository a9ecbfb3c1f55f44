// The main window every program shares: the display pane and its sink, the File menu (Open,
// Close, Recent images, Save Display, Image info, Exit), an image dropped on the window, STOP,
// the busy state a long walk runs in, the close guard and the version label. A program's window
// derives from it, says how its image opens and closes, and adds its own lists, buttons and menu
// entries; a control or entry that every window needs is added here, once.
#pragma once

#include "FileTypes.h"
#include "qt/QtBusyPointer.h"
#include "qt/QtEventHook.h"

#include <QKeySequence>
#include <QMainWindow>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLayout;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class DisplaySink;
class Prompts;
class SectorSource;
class SettingsStore;
class modFile;

// The report "Image info" shows on the container of an open image (the ImageDisk summary).
using ImageSummary = std::function<void(SectorSource& disk, DisplaySink& sink)>;

// A menu entry or a button: its objectName, caption and keys.
struct ControlName {
    const char* name;
    const char* caption;
    QKeySequence keys = {};
};

// How a program names the shared parts of its window, and what its Open dialog asks for.
struct ExplorerProgram {
    const char* name;                // "Kestrel": the settings store, message sources, help
    ProgramCopy copy;                // whose file-type table the dialogs use
    const char* windowName;          // the window's objectName
    const char* title;               // the window title; the open image's path follows it
    const char* imageType;           // file-type key of the Open dialog ("IMD")
    const char* imageDescription;    // what the Open dialog asks for ("VersaDOS IMD")
    const char* displayType = "TXT"; // file-type key of Save Display
    bool offerReadOnly = false;      // the Open dialog offers to open the image read-only
    bool imageInfo = false;          // the File menu has "Image info"
    const char* versionPrefix = "V ";
    ControlName open{"mnuOpen", "Open ...", QKeySequence::Open};
    ControlName close{"mnuClose", "Close", QKeySequence::Close};
    ControlName saveDisplay{"mnuSaveTxt", "Save Display ...", QKeySequence::Save};
    ControlName exit{"mnuExit", "Exit", QKeySequence::Quit};
    ControlName stop{"cmdABORT", "STOP", QKeySequence(Qt::Key_Escape)};
};

class ExplorerWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Without prompts and settings the window uses Qt's dialogs and the user's settings.
    ExplorerWindow(const ExplorerProgram& program, Prompts* prompts, SettingsStore* settings,
                   QWidget* parent = nullptr);
    ~ExplorerWindow() override;

    // Opens an image as the Open menu does once a name is chosen; refused while busy.
    void OpenImage(const QString& path, bool readOnly = false);
    // "Close"; refused while busy.
    void CloseImage();
    // A walk runs: actions are refused, STOP is on.
    bool IsBusy() const { return m_busyDepth > 0 || m_pointer.Busy(); }

    // The title of Save Display's error box, the same in every program.
    static constexpr const char* kSaveDisplayError = "Error Saving Display";

    // A program's window as the whole application: made by make once Qt is set up, shown, and
    // opened on image (when it is not empty) as soon as events run. Returns the exit status.
    static int Run(int* argc, char** argv, const char* image, const char* program,
                   const std::function<std::unique_ptr<ExplorerWindow>()>& make);

  signals:
    void BusyChanged(bool busy);

  protected:
    // The busy state for the lifetime of the object: the hourglass, STOP on, the stop request
    // cleared when it starts and when it ends.
    class Busy {
      public:
        explicit Busy(ExplorerWindow& window);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        ExplorerWindow& m_window;
    };

    // Where a program's own File menu entries go: after Open and Close, among the saves, or
    // among the reports on the image (Image info; a damage report belongs here too).
    enum class FileSection { Open, Save, Report };

    // The program's part. OpenImageFile returns whether the file was opened as an image,
    // whatever it holds (it then joins the recent images and names the window).
    virtual bool OpenImageFile(const QString& path, bool readOnly) = 0;
    virtual void CloseImageFile() = 0;
    virtual bool ImageOpen() const = 0;
    // "Image info" (with ExplorerProgram::imageInfo): the report on the open image's container.
    virtual void ShowImageInfo(DisplaySink& /*sink*/) {}
    // The name Save Display proposes.
    virtual std::string SuggestedName() const { return {}; }
    // Enables the program's controls for the state: after open and close, when the busy state
    // changes and before a menu opens.
    virtual void UpdateControls() {}
    // Enables the shared entries, then the program's controls. A window calls it once its
    // controls are made, and whenever its state changes otherwise.
    void RefreshControls();
    // The window is about to close (not busy): what it keeps for the next start.
    virtual void Closing() {}

    // The shared parts.
    Prompts& Dialogs() { return *m_prompts; }
    SettingsStore& Settings() { return *m_settings; }
    modFile& Files() { return *m_files; }
    EventHook& Hook() { return m_hook; }
    // The path of the open image, as the reports that read it again use it.
    const std::string& ImagePath() const { return m_imagePath; }
    BusyPointer& Pointer() { return m_pointer; }
    DisplaySink& Sink() { return *m_sink; }
    QPlainTextEdit* Pane() const { return m_pane; }
    QPushButton* StopButton() const { return m_stop; }
    // The version label, made when a window first places it.
    QLabel* VersionLabel();

    // Menus: an entry of the File menu at the end of section; a menu of the program's own
    // before Help; the Options menu, made once, for the program's options and for choices that
    // every window gets; an entry of any of them. Help comes last.
    QAction* AddFileEntry(FileSection section, const ControlName& entry,
                          std::function<void()> handler);
    // "Image damage" in the report section: report(path of the open image, ...) writes the
    // damage report of the program's file system to the cleared display.
    using DamageReport =
        std::function<bool(const std::string&, DisplaySink&, Prompts&, EventHook&)>;
    void AddDamageReport(DamageReport report);
    QMenu* AddMenu(const char* name, const QString& title);
    QMenu* OptionsMenu();
    // "Container type" in the Options menu: Automatic (the type the file's content shows) and
    // each of types. A choice applies to the next open, and reopens the image on show.
    void OfferContainerChoice(const std::vector<std::string>& types);
    // The type chosen there; "" for Automatic.
    const std::string& ContainerChoice() const { return m_containerChoice; }
    QAction* AddEntry(QMenu* menu, const ControlName& entry, std::function<void()> handler);
    void AddHelp(const QString& summary, const QString& helpHtml);

    // Controls and their arrangement.
    QPushButton* MakeButton(const char* name, const QString& caption);
    // The program's controls in a row, then STOP (and the version label) at the right.
    QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> controls, bool withVersion = true);
    // Radio buttons optDisplay_0, optDisplay_1, ... in a group box; a click calls chosen.
    QGroupBox* DisplayOptions(const QString& title, const std::vector<QString>& captions,
                              Qt::Orientation orientation, QRadioButton** buttons,
                              std::function<void(int)> chosen);
    // The usual arrangement: the lists at the left, the buttons above the pane at the right,
    // split so that both resize.
    void PlaceSideBySide(QLayout* left, QLayout* buttons, int leftWidth);
    // A list answers a click, and moving through it with the keyboard, by calling handler.
    void OnListClick(QListWidget* list, std::function<void()> handler);
    static void UseFixedPitch(QWidget* widget);

    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The hourglass that tells the window when the busy state changes, whoever set it.
    class NotifyingPointer : public QtBusyPointer {
      public:
        explicit NotifyingPointer(ExplorerWindow& window) : m_window(window) {}
        void SetBusy(bool busy) override;

      private:
        ExplorerWindow& m_window;
    };

    void BuildFileMenu();
    void ChooseImage();
    void SaveDisplay();
    void ImageInfo();
    void BusyStateChanged();

    ExplorerProgram m_program;
    std::string m_imagePath; // the open image, for the reports that read it again
    std::unique_ptr<SettingsStore> m_ownSettings;
    std::unique_ptr<Prompts> m_ownPrompts;
    Prompts* m_prompts;
    SettingsStore* m_settings;
    std::unique_ptr<modFile> m_files;
    QtEventHook m_hook;
    NotifyingPointer m_pointer{*this};
    int m_busyDepth = 0;
    bool m_shownBusy = false;
    QPlainTextEdit* m_pane = nullptr;
    std::unique_ptr<DisplaySink> m_sink;
    QPushButton* m_stop = nullptr;
    QLabel* m_version = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_optionsMenu = nullptr;
    std::string m_containerChoice;
    QString m_openPath; // the image on show, reopened when the container choice changes
    QMenu* m_helpMenu = nullptr;
    // The File menu's shared entries, and for each section the entry it ends before.
    struct {
        QAction *open, *close, *saveDisplay, *imageInfo, *imageDamage = nullptr;
        QAction* sectionEnd[3];
    } m_file{};
};
