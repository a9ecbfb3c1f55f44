// Long walks (dumps, listings, saves) call ProcessEvents between steps so that the window stays
// alive, and stop when the abort flag is set (a STOP by the user sets it).
#pragma once

class EventHook {
  public:
    virtual ~EventHook() = default;
    virtual void ProcessEvents() {}
    bool Aborted() const { return m_abort; }
    void SetAbort(bool abort) { m_abort = abort; }

  private:
    bool m_abort = false;
};
