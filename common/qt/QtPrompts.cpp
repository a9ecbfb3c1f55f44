#include "QtPrompts.h"

#include "FileTypes.h"
#include "dialogGetDirectory.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLayout>
#include <QMessageBox>

QStringList QtNameFilters(const std::string& filter) {
    QStringList filters;
    for (const FilterEntry& entry : SplitFilter(filter)) {
        QString description = QString::fromStdString(entry.description);
        const QString patterns = QString::fromStdString(entry.patterns).replace(';', ' ');
        // Qt takes the patterns from the last parenthesised group of the name.
        const qsizetype open = description.lastIndexOf('(');
        if (description.endsWith(')') && open >= 0)
            description = description.left(open + 1) + patterns + ")";
        else
            description += " (" + patterns + ")";
        filters << description;
    }
    return filters;
}

Answer QtPrompts::MessageBox(const std::string& title, const std::string& text, Buttons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text).replace("\r\n", "\n"),
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                 : QMessageBox::Ok,
                    m_parent);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<std::string> QtPrompts::InputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, QString::fromStdString(title),
                                                 QString::fromStdString(prompt), QLineEdit::Normal,
                                                 QString::fromStdString(defaultText), &ok);
    if (!ok) return std::nullopt;
    return answer.toStdString();
}

FileDialogResult QtPrompts::FileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(m_parent, QString::fromStdString(request.title),
                       QString::fromStdString(request.startDirectory));
    const QStringList filters = QtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.suggestedName.empty())
        dialog.selectFile(QString::fromStdString(request.suggestedName));

    QCheckBox* readOnly = nullptr;
    if (request.mode == FileDialogRequest::Mode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (request.offerReadOnly) {
            // The read-only choice needs the toolkit's own dialog to add a check box.
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            readOnly = new QCheckBox("Open as read-only", &dialog);
            readOnly->setObjectName("chkReadOnly");
            if (auto* layout = dialog.layout()) layout->addWidget(readOnly);
        }
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {dialog.selectedFiles().first().toStdString(), readOnly && readOnly->isChecked()};
}

DirectoryPickResult QtPrompts::PickDirectory(const std::string& caption,
                                             const std::string& startDirectory) {
    if (!m_picker) m_picker = new dialogGetDirectory(m_settings, m_parent);
    m_picker->ShowGetDirectory(QString::fromStdString(caption),
                               QString::fromStdString(startDirectory));
    return {m_picker->DirName.toStdString(), m_picker->Cancelled};
}
