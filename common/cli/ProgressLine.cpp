#include "ProgressLine.h"

#include "OutputFile.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
    // The next Ctrl+C ends the program: the work may be stuck where it does not look.
    std::signal(SIGINT, SIG_DFL);
}

std::string Amount(std::int64_t n, ProgressLine::Unit unit) {
    if (unit == ProgressLine::Unit::Items) return std::to_string(n);
    char text[32];
    const double value = static_cast<double>(n);
    if (n < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f KiB", value / 1024);
    else
        std::snprintf(text, sizeof text, "%.1f MiB", value / (1024 * 1024));
    return text;
}

} // namespace

ProgressLine::ProgressLine(std::string what, std::int64_t total, Unit unit, std::FILE* terminal)
    : m_what(std::move(what)), m_total(total), m_unit(unit),
      m_terminal(terminal != nullptr && isatty(fileno(terminal)) ? terminal : nullptr),
      m_start(std::chrono::steady_clock::now()), m_drawn(m_start) {
    if (const char* after = std::getenv("SUITE_PROGRESS_AFTER")) m_delay = std::atof(after);
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_previous);
}

ProgressLine::~ProgressLine() {
    Clear();
    sigaction(SIGINT, &m_previous, nullptr);
}

bool ProgressLine::Interrupted() {
    return interrupted != 0;
}

std::string ProgressLine::Text(std::int64_t done, double seconds) const {
    std::string text = m_what + ": " + Amount(done, m_unit);
    if (m_total > 0) text += " of " + Amount(m_total, m_unit);
    if (seconds > 0) {
        const auto rate = static_cast<std::int64_t>(static_cast<double>(done) / seconds);
        text += ", " + Amount(rate, m_unit) + (m_unit == Unit::Items ? " a second" : "/s");
    }
    return text;
}

bool ProgressLine::Update(std::int64_t done) {
    m_done = done;
    if (m_terminal != nullptr) {
        const auto now = std::chrono::steady_clock::now();
        const double running = std::chrono::duration<double>(now - m_start).count();
        if (running >= m_delay && (!m_shown || now - m_drawn >= std::chrono::milliseconds(250))) {
            // Carriage return, the line, and erase to its end: redrawn in place.
            std::fprintf(m_terminal, "\r%s\x1b[K", Text(done, running).c_str());
            std::fflush(m_terminal);
            m_shown = true;
            m_drawn = now;
        }
    }
    return interrupted == 0;
}

void ProgressLine::Clear() {
    if (!m_shown) return;
    std::fputs("\r\x1b[K", m_terminal);
    std::fflush(m_terminal);
    m_shown = false;
}

namespace {
WriteProgress* writing = nullptr;
} // namespace

WriteProgress::WriteProgress(std::string what, std::int64_t total)
    : m_line(std::move(what), total, ProgressLine::Unit::Bytes) {
    writing = this;
    OutputFile::SetWriteObserver(&WriteProgress::Observe);
}

WriteProgress::~WriteProgress() {
    OutputFile::SetWriteObserver(nullptr);
    writing = nullptr;
}

bool WriteProgress::Observe(std::size_t bytes) {
    if (writing == nullptr) return true;
    writing->m_done += static_cast<std::int64_t>(bytes);
    return writing->m_line.Update(writing->m_done);
}
