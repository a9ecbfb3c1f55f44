#include "formOsprey.h"

#include "qt/QtDisplaySink.h"

#include <QPlainTextEdit>

formOsprey::formOsprey(QWidget* parent) : QMainWindow(parent) {
    setObjectName("formOsprey");
    setWindowTitle("FAT File System");
    rtfDisplay = new QPlainTextEdit(this);
    rtfDisplay->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(rtfDisplay);
    setCentralWidget(rtfDisplay);
    resize(900, 600);
}
