// Lets the window process its events during a long walk, at most every few milliseconds so that
// a walk of many small steps stays fast.
#pragma once

#include "EventHook.h"

#include <QElapsedTimer>

class QtEventHook : public EventHook {
  public:
    QtEventHook() { m_timer.start(); }
    void ProcessEvents() override;

  private:
    QElapsedTimer m_timer;
};
