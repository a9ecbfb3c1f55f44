#include "ExplorerWindow.h"

#include <QActionGroup>

#include "DisplaySink.h"
#include "HostError.h"
#include "OutputFile.h"
#include "Prompts.h"
#include "SettingsStore.h"
#include "modFile.h"
#include "qt/AppMenus.h"
#include "qt/QtDisplaySink.h"
#include "qt/QtPrompts.h"
#include "qt/QtSettingsStore.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The image a drop brings: its first local file that is a regular file, or "".
QString DroppedImage(const QMimeData* data) {
    if (!data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) return url.toLocalFile();
    return {};
}

} // namespace

ExplorerWindow::ExplorerWindow(const ExplorerProgram& program, Prompts* prompts,
                               SettingsStore* settings, QWidget* parent)
    : QMainWindow(parent), m_program(program), m_prompts(prompts), m_settings(settings) {
    setObjectName(program.windowName);
    if (!m_settings) {
        m_ownSettings = std::make_unique<QtSettingsStore>(program.name);
        m_settings = m_ownSettings.get();
    }
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<QtPrompts>(this, *m_settings);
        m_prompts = m_ownPrompts.get();
    }
    m_files = std::make_unique<modFile>(program.copy, *m_prompts, *m_settings);

    m_pane = new QPlainTextEdit(this);
    m_pane->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(m_pane);
    // An image dropped on the pane opens, as one dropped anywhere else on the window.
    m_pane->setAcceptDrops(false);
    m_pane->viewport()->setAcceptDrops(false);
    m_sink = std::make_unique<QtDisplaySink>(m_pane);

    m_stop = MakeButton(program.stop.name, program.stop.caption);
    m_stop->setShortcut(program.stop.keys);
    m_stop->setToolTip("Stop the running operation (Esc)");
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_hook.SetAbort(true); });

    BuildFileMenu();
    setAcceptDrops(true);
    setWindowTitle(program.title);
    resize(1000, 640);
}

ExplorerWindow::~ExplorerWindow() = default;

void ExplorerWindow::BuildFileMenu() {
    m_fileMenu = AddMenu("mnuFile", "&File");
    m_file.open = AddEntry(m_fileMenu, m_program.open, [this] { ChooseImage(); });
    m_file.close = AddEntry(m_fileMenu, m_program.close, [this] { CloseImage(); });
    QAction* saves = m_fileMenu->addSeparator();
    QMenu* recent = AddRecentImagesMenu(m_fileMenu, saves, *m_settings, *m_prompts,
                                        [this](const QString& path) { OpenImage(path); });
    m_file.sectionEnd[int(FileSection::Open)] = recent->menuAction();
    m_file.saveDisplay = AddEntry(m_fileMenu, m_program.saveDisplay, [this] { SaveDisplay(); });
    m_file.sectionEnd[int(FileSection::Save)] = m_fileMenu->addSeparator();
    if (m_program.imageInfo)
        m_file.imageInfo =
            AddEntry(m_fileMenu, {"mnuImageInfo", "Image info", QKeySequence("Ctrl+I")},
                     [this] { ImageInfo(); });
    m_file.sectionEnd[int(FileSection::Report)] = m_fileMenu->addSeparator();
    AddEntry(m_fileMenu, m_program.exit, [this] { close(); });
}

QAction* ExplorerWindow::AddEntry(QMenu* menu, const ControlName& entry,
                                  std::function<void()> handler) {
    QAction* action = menu->addAction(entry.caption);
    action->setObjectName(entry.name);
    if (!entry.keys.isEmpty()) action->setShortcut(entry.keys);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    return action;
}

QAction* ExplorerWindow::AddFileEntry(FileSection section, const ControlName& entry,
                                      std::function<void()> handler) {
    QAction* action = AddEntry(m_fileMenu, entry, std::move(handler));
    m_fileMenu->insertAction(m_file.sectionEnd[int(section)], action);
    return action;
}

void ExplorerWindow::AddDamageReport(DamageReport report) {
    m_file.imageDamage =
        AddFileEntry(FileSection::Report, {"mnuImageDamage", "Image damage"}, [this, report] {
            if (IsBusy() || !ImageOpen()) return;
            Busy busy(*this);
            m_sink->Clear();
            report(m_imagePath, *m_sink, *m_prompts, m_hook);
        });
}

QMenu* ExplorerWindow::AddMenu(const char* name, const QString& title) {
    auto* menu = new QMenu(title, this);
    menu->setObjectName(name);
    if (m_helpMenu)
        menuBar()->insertMenu(m_helpMenu->menuAction(), menu);
    else
        menuBar()->addMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, &ExplorerWindow::RefreshControls);
    return menu;
}

QMenu* ExplorerWindow::OptionsMenu() {
    if (!m_optionsMenu) m_optionsMenu = AddMenu("mnuOptions", "&Options");
    return m_optionsMenu;
}

void ExplorerWindow::OfferContainerChoice(const std::vector<std::string>& types) {
    QMenu* menu = OptionsMenu()->addMenu("Container type");
    menu->setObjectName("mnuContainer");
    auto* group = new QActionGroup(menu);
    auto add = [this, menu, group](const QString& caption, const std::string& type) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(
            QString::fromStdString("mnuContainer_" + (type.empty() ? "auto" : type)));
        action->setCheckable(true);
        action->setChecked(type == m_containerChoice);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, type] {
            m_containerChoice = type;
            if (ImageOpen() && !IsBusy() && !m_openPath.isEmpty()) OpenImage(m_openPath);
        });
    };
    add("Automatic", "");
    for (const std::string& type : types)
        add(QString::fromStdString(type), type);
}

void ExplorerWindow::AddHelp(const QString& summary, const QString& helpHtml) {
    m_helpMenu = AddHelpMenu(this, m_program.name, summary, helpHtml);
}

QLabel* ExplorerWindow::VersionLabel() {
    if (!m_version) {
        m_version = new QLabel(QString(m_program.versionPrefix) + SUITE_VERSION, this);
        m_version->setObjectName("lblVersion");
    }
    return m_version;
}

QPushButton* ExplorerWindow::MakeButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    return button;
}

QHBoxLayout* ExplorerWindow::ButtonRow(std::initializer_list<QWidget*> controls, bool withVersion) {
    auto* row = new QHBoxLayout;
    for (QWidget* control : controls)
        row->addWidget(control);
    row->addStretch();
    row->addWidget(m_stop);
    if (withVersion) row->addWidget(VersionLabel());
    return row;
}

QGroupBox* ExplorerWindow::DisplayOptions(const QString& title,
                                          const std::vector<QString>& captions,
                                          Qt::Orientation orientation, QRadioButton** buttons,
                                          std::function<void(int)> chosen) {
    auto* box = new QGroupBox(title, this);
    QBoxLayout* layout =
        orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout) : new QHBoxLayout;
    box->setLayout(layout);
    auto* group = new QButtonGroup(box);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        buttons[i] = new QRadioButton(captions[i], box);
        buttons[i]->setObjectName(QString("optDisplay_%1").arg(i));
        group->addButton(buttons[i], static_cast<int>(i));
        layout->addWidget(buttons[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, std::move(chosen));
    return box;
}

void ExplorerWindow::PlaceSideBySide(QLayout* left, QLayout* buttons, int leftWidth) {
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    auto* leftWidget = new QWidget(central);
    leftWidget->setLayout(left);
    auto* right = new QVBoxLayout;
    right->addLayout(buttons);
    right->addWidget(m_pane, 1);
    auto* rightWidget = new QWidget(central);
    rightWidget->setLayout(right);
    auto* splitter = new QSplitter(central);
    splitter->addWidget(leftWidget);
    splitter->addWidget(rightWidget);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({leftWidth, 1000 - leftWidth});
    layout->addWidget(splitter);
    setCentralWidget(central);
}

void ExplorerWindow::OnListClick(QListWidget* list, std::function<void()> handler) {
    connect(list, &QListWidget::itemClicked, this, [handler] { handler(); });
    // A mouse click moves the current row too, and is answered once, by the click itself.
    connect(list, &QListWidget::currentRowChanged, this, [list, handler](int) {
        if (list->hasFocus() && QApplication::mouseButtons() == Qt::NoButton) handler();
    });
}

void ExplorerWindow::UseFixedPitch(QWidget* widget) {
    widget->setFont(QtDisplaySink::FixedPitchFont());
}

void ExplorerWindow::ChooseImage() {
    if (IsBusy()) return;
    bool readOnly = false;
    const std::string path =
        m_files->GetFileName("", "OPEN", m_program.imageType, 0, m_program.imageDescription,
                             m_program.offerReadOnly ? &readOnly : nullptr);
    if (!path.empty()) OpenImage(QString::fromStdString(path), readOnly);
}

void ExplorerWindow::OpenImage(const QString& path, bool readOnly) {
    if (IsBusy() || path.isEmpty()) return;
    if (ImageOpen()) CloseImageFile();
    m_sink->Clear();
    setWindowTitle(m_program.title);
    m_openPath.clear();
    if (OpenImageFile(path, readOnly)) {
        m_openPath = path;
        setWindowTitle(QString(m_program.title) + " " + QFileInfo(path).absoluteFilePath());
        m_imagePath = path.toStdString();
        RememberImage(*m_settings, path);
    }
    RefreshControls();
}

void ExplorerWindow::CloseImage() {
    if (IsBusy()) return;
    CloseImageFile();
    m_openPath.clear();
    m_sink->Clear();
    setWindowTitle(m_program.title);
    RefreshControls();
}

void ExplorerWindow::SaveDisplay() {
    if (IsBusy()) return;
    const std::string path =
        m_files->GetFileName(SuggestedName(), "Save", m_program.displayType, 0, "Display as Text");
    if (path.empty()) return;
    OutputFile out;
    if (!out.Open(path) || !out.Write(m_sink->Text()) || !out.Close())
        m_prompts->MessageBox(kSaveDisplayError, ErrorReport(out.Error(), m_program.name));
}

void ExplorerWindow::ImageInfo() {
    if (IsBusy() || !ImageOpen()) return;
    m_sink->Clear();
    ShowImageInfo(*m_sink);
}

void ExplorerWindow::RefreshControls() {
    const bool busy = IsBusy();
    const bool open = ImageOpen();
    m_file.open->setEnabled(!busy);
    m_file.close->setEnabled(open && !busy);
    m_file.saveDisplay->setEnabled(!busy);
    if (m_file.imageInfo) m_file.imageInfo->setEnabled(open && !busy);
    if (m_file.imageDamage) m_file.imageDamage->setEnabled(open && !busy);
    UpdateControls();
}

ExplorerWindow::Busy::Busy(ExplorerWindow& window) : m_window(window) {
    if (m_window.m_busyDepth++ > 0) return;
    m_window.m_hook.SetAbort(false);
    m_window.m_pointer.SetBusy(true);
}

ExplorerWindow::Busy::~Busy() {
    if (--m_window.m_busyDepth > 0) return;
    m_window.m_pointer.SetBusy(false);
    m_window.m_hook.SetAbort(false);
}

void ExplorerWindow::NotifyingPointer::SetBusy(bool busy) {
    QtBusyPointer::SetBusy(busy);
    m_window.BusyStateChanged();
}

void ExplorerWindow::BusyStateChanged() {
    const bool busy = IsBusy();
    if (busy == m_shownBusy) return;
    m_shownBusy = busy;
    m_stop->setEnabled(busy);
    RefreshControls();
    emit BusyChanged(busy);
}

void ExplorerWindow::closeEvent(QCloseEvent* event) {
    if (IsBusy()) {
        // A walk runs inside this window's event loop: it stops, the window stays.
        m_hook.SetAbort(true);
        event->ignore();
        return;
    }
    Closing();
    CloseImageFile();
    event->accept();
}

void ExplorerWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!IsBusy() && !DroppedImage(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ExplorerWindow::dropEvent(QDropEvent* event) {
    const QString path = DroppedImage(event->mimeData());
    if (IsBusy() || path.isEmpty()) return;
    event->acceptProposedAction();
    OpenImage(path);
}

int ExplorerWindow::Run(int* argc, char** argv, const char* image, const char* program,
                        const std::function<std::unique_ptr<ExplorerWindow>()>& make) {
    QApplication app(*argc, argv);
    QApplication::setApplicationName(program);
    const std::unique_ptr<ExplorerWindow> window = make();
    window->show();
    const QString path = QString::fromUtf8(image);
    if (!path.isEmpty())
        QTimer::singleShot(0, window.get(), [&window, path] { window->OpenImage(path); });
    return app.exec();
}
