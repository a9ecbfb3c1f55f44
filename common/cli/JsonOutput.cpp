#include "JsonOutput.h"

#include <cstdio>

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

namespace {

// The proleptic Gregorian calendar date of a day count (days since 1970-01-01).
bool CivilDate(std::int64_t days, std::int64_t& year, int& month, int& day) {
    // Years 1 to 9999 only: the count of days then fits every step below.
    if (days < -719162 || days > 2932896) return false;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return true;
}

} // namespace

Json IsoDate(std::int64_t daysSince1970) {
    std::int64_t year;
    int month, day;
    if (!CivilDate(daysSince1970, year, month, day)) return nullptr;
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(year), month, day);
    return text;
}

Json IsoDateTime(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const Json date = IsoDate(days);
    if (date.is_null()) return nullptr;
    char text[16];
    std::snprintf(text, sizeof text, "T%02d:%02d:%02dZ", static_cast<int>(rest / 3600),
                  static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return date.get<std::string>() + text;
}

void PrintJson(DisplaySink& out, const Json& document) {
    // Reports end their lines with CR LF; a JSON text holds line breaks only between values.
    std::string text;
    for (const char c : document.dump(2, ' ', true, Json::error_handler_t::replace)) {
        if (c == '\n') text += '\r';
        text += c;
    }
    out.Append(text + "\r\n");
}

void PrintJsonLine(DisplaySink& out, const Json& document) {
    out.Append(document.dump(-1, ' ', true, Json::error_handler_t::replace) + "\r\n");
}
