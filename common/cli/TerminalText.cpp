#include "cli/TerminalText.h"

void AppendEscapedByte(std::string& out, unsigned char b) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[b >> 4];
    out += digits[b & 15];
}

std::string TerminalLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            line += " / ";
            ++i;
        } else if (IsEscapedControl(b) || b == '\r' || b == '\n') {
            AppendEscapedByte(line, b);
        } else if (b == 0xC2 && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) {
            AppendEscapedByte(line, b);
            AppendEscapedByte(line, static_cast<unsigned char>(text[++i]));
        } else {
            line += static_cast<char>(b);
        }
    }
    return line;
}
