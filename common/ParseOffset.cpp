#include "ParseOffset.h"

namespace {

int DigitValue(char c, int base) {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::int64_t ParseOffset(std::string_view text) {
    text = Trim(text);
    int base = 10;
    if (text.size() >= 2 && (text[0] == '&' || text[0] == '0') &&
        (text[1] == 'H' || text[1] == 'h' || text[1] == 'X' || text[1] == 'x') &&
        !(text[0] == '&' && (text[1] == 'X' || text[1] == 'x')) &&
        !(text[0] == '0' && (text[1] == 'H' || text[1] == 'h'))) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return -1;

    std::int64_t value = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit >= 0) {
            if (value > (MaxOffset - digit) / base) return -1;
            value = value * base + digit;
            continue;
        }
        const bool last = i + 1 == text.size();
        if (last && (text[i] == 'k' || text[i] == 'K'))
            return value <= MaxOffset / 1024 ? value * 1024 : -1;
        if (last && (text[i] == 'm' || text[i] == 'M'))
            return value <= MaxOffset / 1048576 ? value * 1048576 : -1;
        return -1;
    }
    return value;
}
