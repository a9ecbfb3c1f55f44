// The save options dialog ("Save File Options") for VersaDOS records: delimiter, Little Endian
// and Expand Spaces, proposed from the file's extension.
#pragma once

#include "modInitFileOptions.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QRadioButton;

class dialogSaveFile : public QDialog {
    Q_OBJECT
  public:
    explicit dialogSaveFile(QWidget* parent = nullptr);

    // Shows the dialog modally for FileName.Extention.
    void ShowSaveFile(const QString& FileName, const QString& Extention);
    // Sets the controls for the file without showing the dialog.
    void Prepare(const QString& FileName, const QString& Extention);

    bool ReturnValue = false;
    int Delimiter() const { return m_model.Delimiter(); }
    bool ExpandSpaces() const { return m_model.ExpandSpaces(); }
    RecordOptions Options() const { return m_model.Options(); }

  public slots:
    void cmdOK_Click();
    void cmdCancel_Click();

  private:
    void Refresh();

    dialogSaveFileModel m_model;
    QLabel* m_label;
    QRadioButton* m_options[3];
    QCheckBox* m_littleEndian;
    QCheckBox* m_expandSpaces;
};
