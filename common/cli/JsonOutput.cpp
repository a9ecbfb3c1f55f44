#include "JsonOutput.h"

std::string StoredText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text += static_cast<char>(b);
        } else {
            text += static_cast<char>(0xC0 | b >> 6);
            text += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return text;
}

void PrintJson(DisplaySink& out, const Json& document) {
    out.Append(document.dump(2, ' ', true, Json::error_handler_t::replace) + "\r\n");
}

void PrintJsonLine(DisplaySink& out, const Json& document) {
    out.Append(document.dump(-1, ' ', true, Json::error_handler_t::replace) + "\r\n");
}
