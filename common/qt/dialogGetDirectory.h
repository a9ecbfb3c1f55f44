// The directory picker: a folder tree with a path box, OK and Cancel. Its position is kept in
// the settings store under "SaveALL" / "Top", "Left".
#pragma once

#include <QDialog>

class QLineEdit;
class QTreeView;
class QFileSystemModel;
class SettingsStore;

class dialogGetDirectory : public QDialog {
    Q_OBJECT
  public:
    dialogGetDirectory(SettingsStore& settings, QWidget* parent = nullptr);

    // Shows the picker modally at directory. OK gives the chosen folder; Cancel gives "" and
    // cancelled; closing with the close box keeps the start folder.
    void ShowGetDirectory(const QString& caption, const QString& directory);

    QString DirName;
    bool Cancelled = false;

    QTreeView* Tree() const { return m_tree; }
    QLineEdit* PathBox() const { return m_path; }

  public slots:
    void cmdOK_Click();
    void cmdCancel_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void SetDirectory(const QString& directory);
    void SavePosition();

    SettingsStore& m_settings;
    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QLineEdit* m_path;
};
