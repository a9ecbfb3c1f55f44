#include "formTamarin.h"

#include "qt/QtDisplaySink.h"

#include <QPlainTextEdit>

formTamarin::formTamarin(QWidget* parent) : QMainWindow(parent) {
    setObjectName("formTamarin");
    setWindowTitle("System V/68 File System");
    rtfDisplay = new QPlainTextEdit(this);
    rtfDisplay->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(rtfDisplay);
    setCentralWidget(rtfDisplay);
    resize(900, 600);
}
