#include "dialogGetDirectory.h"

#include "SettingsStore.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

dialogGetDirectory::dialogGetDirectory(SettingsStore& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName("dialogGetDirectory");
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath("/");

    m_tree = new QTreeView(this);
    m_tree->setObjectName("dirList");
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();

    m_path = new QLineEdit(this);
    m_path->setObjectName("txtPath");

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("cmdOK");
    auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("cmdCancel");
    connect(ok, &QPushButton::clicked, this, &dialogGetDirectory::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &dialogGetDirectory::cmdCancel_Click);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { m_path->setText(m_model->filePath(current)); });
    connect(m_path, &QLineEdit::returnPressed, this, [this] { SetDirectory(m_path->text()); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(m_path);
    layout->addWidget(buttons);
    resize(420, 460);

    // Empty settings leave the window where the toolkit puts it.
    bool topOk = false, leftOk = false;
    const int top = QString::fromStdString(m_settings.GetSetting("SaveALL", "Top")).toInt(&topOk);
    const int left =
        QString::fromStdString(m_settings.GetSetting("SaveALL", "Left")).toInt(&leftOk);
    if (topOk && leftOk) move(left, top);
}

void dialogGetDirectory::SetDirectory(const QString& directory) {
    // A folder that does not exist leaves the tree where it was.
    if (directory.isEmpty() || !QDir(directory).exists()) return;
    const QModelIndex index = m_model->index(QDir(directory).absolutePath());
    if (!index.isValid()) return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_path->setText(QDir(directory).absolutePath());
}

void dialogGetDirectory::ShowGetDirectory(const QString& caption, const QString& directory) {
    setWindowTitle(caption);
    DirName = directory;
    Cancelled = false;
    m_path->setText(directory);
    SetDirectory(directory);
    exec();
}

void dialogGetDirectory::cmdOK_Click() {
    DirName = m_path->text();
    Cancelled = false;
    SavePosition();
    hide();
    done(QDialog::Accepted);
}

void dialogGetDirectory::cmdCancel_Click() {
    DirName.clear();
    Cancelled = true;
    SavePosition();
    hide();
    done(QDialog::Rejected);
}

void dialogGetDirectory::closeEvent(QCloseEvent* event) {
    // The close box only hides the picker; DirName keeps the start folder.
    SavePosition();
    QDialog::closeEvent(event);
}

void dialogGetDirectory::SavePosition() {
    if (windowState() != Qt::WindowNoState || !isVisible()) return;
    m_settings.SaveSetting("SaveALL", "Top", std::to_string(pos().y()));
    m_settings.SaveSetting("SaveALL", "Left", std::to_string(pos().x()));
}
