#include "formKestrel.h"

#include "qt/QtDisplaySink.h"

#include <QPlainTextEdit>

formKestrel::formKestrel(QWidget* parent) : QMainWindow(parent) {
    setObjectName("formKestrel");
    setWindowTitle("VersaDOS File System");
    rtfDisplay = new QPlainTextEdit(this);
    rtfDisplay->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(rtfDisplay);
    setCentralWidget(rtfDisplay);
    resize(900, 600);
}
