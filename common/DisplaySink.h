// Where reports go: the window's display pane, standard output, or a string in tests. Every
// line of a report ends with CR LF.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

inline constexpr const char* CRLF = "\r\n";

class DisplaySink {
  public:
    virtual ~DisplaySink() = default;
    virtual void Append(std::string_view text) = 0;
    virtual void Clear() = 0;
    // The whole text shown since the last Clear (a stream that does not keep it returns "").
    virtual std::string Text() const = 0;
};

// Keeps the text in memory.
class StringSink : public DisplaySink {
  public:
    void Append(std::string_view text) override { m_text.append(text); }
    void Clear() override { m_text.clear(); }
    std::string Text() const override { return m_text; }

  private:
    std::string m_text;
};

// Collects what a long report appends and passes it on in pieces: a window's pane takes a large
// piece about as fast as a line, so a dump shown sector by sector, or a save listing file after
// file, would otherwise spend its time in the pane. A piece goes on when PieceSize bytes are
// held or when the text has waited Interval since the last piece (so that a slow walk still
// shows its progress); what is left goes on with Flush or when the collector ends. The text
// stays the same.
class PieceSink : public DisplaySink {
  public:
    static constexpr std::size_t PieceSize = 64 * 1024;
    static constexpr std::chrono::milliseconds Interval{50};

    explicit PieceSink(DisplaySink& target) : m_target(target) {}
    PieceSink(const PieceSink&) = delete;
    PieceSink& operator=(const PieceSink&) = delete;
    ~PieceSink() override { Flush(); }

    void Append(std::string_view text) override {
        m_pending.append(text);
        if (m_pending.size() >= PieceSize) {
            Flush();
        } else {
            FlushIfDue();
        }
    }
    void Clear() override {
        m_pending.clear();
        m_target.Clear();
    }
    // The text shown so far, with what is still held.
    std::string Text() const override { return m_target.Text() + m_pending; }

    // Passes on what is held when it has waited Interval: a long walk calls it between steps.
    void FlushIfDue() {
        if (!m_pending.empty() && std::chrono::steady_clock::now() - m_last >= Interval) Flush();
    }
    void Flush() {
        m_last = std::chrono::steady_clock::now();
        if (m_pending.empty()) return;
        m_target.Append(m_pending);
        m_pending.clear();
    }

  private:
    DisplaySink& m_target;
    std::string m_pending;
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};
