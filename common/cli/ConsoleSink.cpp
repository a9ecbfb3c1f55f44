#include "ConsoleSink.h"

#include "EventHook.h"
#include "cli/TerminalText.h"

#include <cerrno>

void ConsoleSink::Append(std::string_view piece) {
    if (piece.empty() || m_error) return;
    std::string text = m_carry + std::string(piece);
    m_carry.clear();
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool last = i + 1 == text.size();
        const auto next = last ? 0 : static_cast<unsigned char>(text[i + 1]);
        if (last && (b == '\r' || b == 0xC2)) {
            // Whether an LF or a C1 control follows shows in the next piece.
            m_carry = static_cast<char>(b);
        } else if (b == '\r' && next == '\n') {
            out += '\n';
            ++i;
        } else if ((b == '\r' || b == '\n') && !m_keepLineBreaks) {
            AppendEscapedByte(out, b);
        } else if (IsEscapedControl(b)) {
            AppendEscapedByte(out, b);
        } else if (b == 0xC2 && (next & 0xE0) == 0x80) {
            AppendEscapedByte(out, b);
            AppendEscapedByte(out, next);
            ++i;
        } else {
            out += static_cast<char>(b);
        }
    }
    Write(out);
}

void ConsoleSink::Write(const std::string& bytes) {
    if (bytes.empty() || m_error) return;
    errno = 0;
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!m_out) {
        m_error = errno != 0 ? errno : EIO;
        if (m_stop) m_stop->SetAbort(true);
        return;
    }
    m_last = bytes.back();
}

void ConsoleSink::Flush() {
    if (m_error) return;
    std::string end;
    if (m_carry == "\r" && !m_keepLineBreaks)
        AppendEscapedByte(end, '\r');
    else
        end = m_carry;
    m_carry.clear();
    // A report that ends with the file's own CR keeps it as its last byte.
    if (!(end.empty() ? m_last == '\n' || m_last == '\r' : end == "\r")) end += '\n';
    Write(end);
    if (m_error) return;
    errno = 0;
    m_out.flush();
    if (!m_out) {
        m_error = errno != 0 ? errno : EIO;
        if (m_stop) m_stop->SetAbort(true);
    }
}
