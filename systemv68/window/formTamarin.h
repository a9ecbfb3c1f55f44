// Tamarin's main window.
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

class formTamarin : public QMainWindow {
    Q_OBJECT
public:
    explicit formTamarin(QWidget* parent = nullptr);

private:
    QPlainTextEdit* rtfDisplay;
};
