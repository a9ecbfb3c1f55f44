// Kestrel's main window.
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

class formKestrel : public QMainWindow {
    Q_OBJECT
public:
    explicit formKestrel(QWidget* parent = nullptr);

private:
    QPlainTextEdit* rtfDisplay;
};
