// The progress line of a long command on standard error: what is done, the total and the rate,
// redrawn in place at most four times a second, and only when standard error is a terminal (a
// log or a pipe gets nothing). It appears once the work has run for a second, so that short
// commands print nothing extra; SUITE_PROGRESS_AFTER (seconds, e.g. 0) changes that delay.
//
// While a progress line exists, Ctrl+C asks the work to stop instead of killing the program:
// Update() then returns false, the command ends its walk, and the file being written is
// discarded as every unfinished OutputFile is. A second Ctrl+C kills the program as usual
// (an unnamed temporary file leaves nothing behind even then).
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>

class ProgressLine {
  public:
    enum class Unit { Items, Bytes };
    // what names the work ("Identify", "Save All"); total 0 when unknown.
    ProgressLine(std::string what, std::int64_t total, Unit unit, std::FILE* terminal = stderr);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void SetTotal(std::int64_t total) { m_total = total; }
    // done so far; false once Ctrl+C asked to stop.
    bool Update(std::int64_t done);
    bool Add(std::int64_t more) { return Update(m_done + more); }
    // Whether Ctrl+C asked to stop.
    static bool Interrupted();
    // The text of the line for done after seconds (without the redraw codes).
    std::string Text(std::int64_t done, double seconds) const;

  private:
    void Clear();

    std::string m_what;
    std::int64_t m_total;
    Unit m_unit;
    std::FILE* m_terminal; // nullptr when standard error is no terminal
    std::int64_t m_done = 0;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_drawn;
    double m_delay = 1.0;
    bool m_shown = false;
    struct sigaction m_previous {};
};

// The progress line of a command that writes host files: the bytes given to every OutputFile
// while it exists, against total (0: unknown). Ctrl+C fails the write under way, so that its
// file is discarded as every unfinished one is; the command ends with status 1.
class WriteProgress {
  public:
    WriteProgress(std::string what, std::int64_t total);
    ~WriteProgress();
    WriteProgress(const WriteProgress&) = delete;
    WriteProgress& operator=(const WriteProgress&) = delete;

  private:
    static bool Observe(std::size_t bytes);

    ProgressLine m_line;
    std::int64_t m_done = 0;
};
