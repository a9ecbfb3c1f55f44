// Quarry's main window.
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

class frmQuarry : public QMainWindow {
    Q_OBJECT
public:
    explicit frmQuarry(QWidget* parent = nullptr);

private:
    QPlainTextEdit* rtfDisplay;
};
