#include "frmQuarry.h"

#include "qt/QtDisplaySink.h"

#include <QPlainTextEdit>

frmQuarry::frmQuarry(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmQuarry");
    setWindowTitle("CPM FS Quarry");
    rtfDisplay = new QPlainTextEdit(this);
    rtfDisplay->setObjectName("rtfDisplay");
    QtDisplaySink::SetUpPane(rtfDisplay);
    setCentralWidget(rtfDisplay);
    resize(900, 600);
}
