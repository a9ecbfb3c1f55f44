#include "ConsoleSink.h"

void ConsoleSink::Append(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (char c : text) {
        if (m_pendingCR) {
            m_pendingCR = false;
            if (c == '\n') {
                out += '\n';
                continue;
            }
            out += '\r';
        }
        if (c == '\r')
            m_pendingCR = true;
        else
            out += c;
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
