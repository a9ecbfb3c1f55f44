#include "ConsoleSink.h"

void ConsoleSink::Append(std::string_view text) {
    if (text.empty()) return;
    std::string out;
    out.reserve(text.size() + 1);
    std::size_t at = 0;
    if (m_pendingCR) {
        m_pendingCR = false;
        if (text[0] != '\n') out += '\r';
    }
    // Runs without CR are copied as they are; each CR LF becomes LF, and a CR at the very end
    // waits for the next piece to tell whether an LF follows.
    while (at < text.size()) {
        const std::size_t cr = text.find('\r', at);
        if (cr == std::string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, cr - at));
        if (cr + 1 == text.size()) {
            m_pendingCR = true;
        } else if (text[cr + 1] != '\n') {
            out += '\r';
        }
        at = cr + 1;
    }
    if (!out.empty()) m_last = out.back();
    m_out.write(out.data(), static_cast<std::streamsize>(out.size()));
}

void ConsoleSink::Flush() {
    if (m_pendingCR) m_out.put('\r');
    else if (m_last != '\n') m_out.put('\n');
    m_pendingCR = false;
    m_last = '\n';
    m_out.flush();
}
