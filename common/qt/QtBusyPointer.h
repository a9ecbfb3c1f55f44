// The hourglass: Qt's wait cursor over the whole application.
#pragma once

#include "BusyPointer.h"

class QtBusyPointer : public BusyPointer {
  public:
    void SetBusy(bool busy) override;
};
