#include "QtEventHook.h"

#include <QCoreApplication>

void QtEventHook::ProcessEvents() {
    if (m_timer.elapsed() < 10) return;
    QCoreApplication::processEvents();
    m_timer.restart();
}
