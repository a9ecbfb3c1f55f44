#include "CommentText.h"

std::string CommentText(const std::string& comments) {
    std::string text;
    text.reserve(comments.size());
    for (const char c : comments) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b == '\r' || b == '\n' || b == '\t' || (b >= 32 && b < 127)) {
            text.push_back(c);
        } else if (b >= 160) {
            text.push_back(static_cast<char>(0xC0 | (b >> 6)));
            text.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        } else {
            text.push_back('.');
        }
    }
    return text;
}
