#include "dialogSaveFile.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

dialogSaveFile::dialogSaveFile(QWidget* parent) : QDialog(parent) {
    setObjectName("dialogSaveFile");
    setWindowTitle("Save File Options");

    m_label = new QLabel(this);
    m_label->setObjectName("lblFileName");

    auto* frame = new QGroupBox("Save Options", this);
    frame->setObjectName("fraSaveOptions");
    auto* frameLayout = new QVBoxLayout(frame);
    const char* captions[3] = {"Add Length", "Data Only", "Add CRLF"};
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(captions[i], frame);
        m_options[i]->setObjectName(QString("optDelimiter_%1").arg(i));
        frameLayout->addWidget(m_options[i]);
        connect(m_options[i], &QRadioButton::clicked, this, [this, i] {
            m_model.SelectDelimiter(i);
            Refresh();
        });
    }
    m_littleEndian = new QCheckBox("Little Endian", frame);
    m_littleEndian->setObjectName("chkLittleEndian");
    m_expandSpaces = new QCheckBox("Expand Spaces", frame);
    m_expandSpaces->setObjectName("chkExpandSpaces");
    frameLayout->addWidget(m_littleEndian);
    frameLayout->addWidget(m_expandSpaces);
    connect(m_littleEndian, &QCheckBox::clicked, this, [this](bool on) {
        m_model.SetLittleEndian(on);
        Refresh();
    });
    connect(m_expandSpaces, &QCheckBox::clicked, this, [this](bool on) {
        m_model.SetExpandSpaces(on);
        Refresh();
    });

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdCancel");
    connect(ok, &QPushButton::clicked, this, &dialogSaveFile::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &dialogSaveFile::cmdCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

void dialogSaveFile::Prepare(const QString& FileName, const QString& Extention) {
    m_model.Show(FileName.toStdString(), Extention.toStdString());
    ReturnValue = false;
    Refresh();
}

void dialogSaveFile::ShowSaveFile(const QString& FileName, const QString& Extention) {
    Prepare(FileName, Extention);
    exec();
}

void dialogSaveFile::Refresh() {
    m_label->setText(QString::fromStdString(m_model.Label()));
    for (int i = 0; i < 3; ++i)
        m_options[i]->setChecked(m_model.Delimiter() == i);
    m_littleEndian->setChecked(m_model.LittleEndian());
    m_littleEndian->setEnabled(m_model.LittleEndianEnabled());
    m_expandSpaces->setChecked(m_model.ExpandSpaces());
    m_expandSpaces->setEnabled(m_model.ExpandSpacesEnabled());
}

void dialogSaveFile::cmdOK_Click() {
    ReturnValue = true;
    accept();
}

void dialogSaveFile::cmdCancel_Click() {
    ReturnValue = false;
    reject();
}
