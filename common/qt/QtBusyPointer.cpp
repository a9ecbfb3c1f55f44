#include "QtBusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

void QtBusyPointer::SetBusy(bool busy) {
    if (busy && !Busy())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (!busy && Busy())
        QGuiApplication::restoreOverrideCursor();
    BusyPointer::SetBusy(busy);
}
