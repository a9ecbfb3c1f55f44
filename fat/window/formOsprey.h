// Osprey's main window.
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

class formOsprey : public QMainWindow {
    Q_OBJECT
public:
    explicit formOsprey(QWidget* parent = nullptr);

private:
    QPlainTextEdit* rtfDisplay;
};
