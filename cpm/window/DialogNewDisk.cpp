#include "DialogNewDisk.h"

#include "EntryColours.h"
#include "ParseOffset.h"
#include "WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

DialogNewDisk::DialogNewDisk(modFile& files, Prompts& prompts, EventHook& hook,
                             SettingsStore& settings, QWidget* parent)
    : QDialog(parent), m_files(files), m_prompts(prompts), m_hook(hook), m_settings(settings) {
    setObjectName("DialogNewDisk");
    setWindowTitle("Create New Disk");

    auto named = [this](auto* widget, const char* name) {
        widget->setObjectName(name);
        return widget;
    };
    txtDiskSize = named(new QLineEdit(this), "txtDiskSize");
    lblDiskSize = named(new QLabel(this), "lblDiskSize");
    txtFillByte = named(new QLineEdit(this), "txtFillByte");
    lblFillByte = named(new QLabel(this), "lblFillByte");
    ProgressBar1 = named(new QProgressBar(this), "ProgressBar1");
    lblCount = named(new QLabel(this), "lblCount");
    cmdOK = named(new QPushButton("Create", this), "cmdOK");
    cmdCancel = named(new QPushButton("Cancel", this), "cmdCancel");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    cmdOK->setDefault(true);
    txtDiskSize->setToolTip("Size in bytes: decimal, &H or 0x hexadecimal, K or M");
    txtFillByte->setToolTip("The byte every position of the new image holds");
    lblDiskSize->setMinimumWidth(90);
    lblFillByte->setMinimumWidth(90);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Disk Size", this), 0, 0);
    grid->addWidget(txtDiskSize, 0, 1);
    grid->addWidget(lblDiskSize, 0, 2);
    grid->addWidget(named(new QLabel("Decimal", this), "lblDecimal"), 1, 2);
    grid->addWidget(named(new QLabel("Maximum Disk Size = 512M", this), "lblMaximum"), 1, 1);
    grid->addWidget(new QLabel("Fill Byte", this), 2, 0);
    grid->addWidget(txtFillByte, 2, 1);
    grid->addWidget(lblFillByte, 2, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblCount, 1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);

    connect(txtDiskSize, &QLineEdit::textChanged, this, &DialogNewDisk::txtDiskSize_Change);
    connect(txtFillByte, &QLineEdit::textChanged, this, &DialogNewDisk::txtFillByte_Change);
    connect(cmdOK, &QPushButton::clicked, this, &DialogNewDisk::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &DialogNewDisk::cmdCancel_Click);

    RestorePlacement(this, m_settings, "NewDisk");
}

void DialogNewDisk::ShowNewDisk() {
    txtDiskSize->setText(QString::fromStdString(m_model.DiskSizeText()));
    txtFillByte->setText(QString::fromStdString(m_model.FillByteText()));
    txtDiskSize_Change();
    txtFillByte_Change();
    exec();
}

void DialogNewDisk::txtDiskSize_Change() {
    const EntryMark mark = m_model.SetDiskSizeText(txtDiskSize->text().toStdString());
    lblDiskSize->setText(QString::number(m_model.DiskSize));
    PaintEntry(txtDiskSize, mark);
}

void DialogNewDisk::txtFillByte_Change() {
    const std::string text = txtFillByte->text().toStdString();
    const EntryMark mark = m_model.SetFillByteText(text);
    lblFillByte->setText(QString::number(ParseOffset(text)));
    PaintEntry(txtFillByte, mark);
}

void DialogNewDisk::cmdOK_Click() {
    if (m_model.Creating()) return;
    cmdOK->setEnabled(false);
    const bool done = m_model.Create(
        m_files, m_prompts, m_hook, [this](std::int64_t records, std::int64_t total) {
            lblCount->setText(QString::fromStdString(CountText(records)));
            ProgressBar1->setValue(ProgressPercent(records, total));
        });
    cmdOK->setEnabled(true);
    if (done) Finish(m_model.ReturnValue ? Accepted : Rejected);
}

void DialogNewDisk::cmdCancel_Click() {
    if (m_model.Cancel(m_hook)) {
        Finish(Rejected);
        return;
    }
    lblCount->clear();
    ProgressBar1->setValue(0);
}

void DialogNewDisk::reject() {
    cmdCancel_Click();
}

void DialogNewDisk::Finish(int result) {
    if (isVisible()) SavePlacement(this, m_settings, "NewDisk");
    QDialog::done(result);
}
