// The display pane of one Quarry command. The window's pane is cleared and refilled as an action
// goes on; a command prints what the pane holds when the action is over, so the pane keeps the
// text until then. A dump or type of a large file would be held whole that way: those commands
// stream instead. Their report is everything appended after the action's Clear, so from that
// Clear on the text goes straight to the output.
#pragma once

#include "DisplaySink.h"

#include <string>

class CommandPane : public DisplaySink {
  public:
    explicit CommandPane(DisplaySink& out) : m_out(out) {}
    ~CommandPane() override { Finish(); }

    // From the next Clear on, the text goes straight to the output.
    void StreamAfterNextClear() { m_armed = true; }

    void Append(std::string_view text) override {
        if (m_streaming)
            m_out.Append(text);
        else
            m_text.append(text);
    }
    // A streaming pane cannot take back what it has printed; its commands never clear twice.
    void Clear() override {
        m_text.clear();
        if (m_armed) m_streaming = true;
    }
    std::string Text() const override { return m_text; }

    // Prints what the pane holds (once).
    void Finish() {
        if (!m_streaming) m_out.Append(m_text);
        m_text.clear();
    }

  private:
    DisplaySink& m_out;
    std::string m_text;
    bool m_armed = false;
    bool m_streaming = false;
};
