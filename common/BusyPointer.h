// The hourglass pointer shown while a long operation runs.
#pragma once

class BusyPointer {
  public:
    virtual ~BusyPointer() = default;
    virtual void SetBusy(bool busy) { m_busy = busy; }
    bool Busy() const { return m_busy; }

  private:
    bool m_busy = false;
};

// Shows the hourglass for the lifetime of the object.
class BusyScope {
  public:
    explicit BusyScope(BusyPointer& pointer) : m_pointer(pointer) { m_pointer.SetBusy(true); }
    ~BusyScope() { m_pointer.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    BusyPointer& m_pointer;
};
