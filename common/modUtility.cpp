#include "modUtility.h"

#include "DisplaySink.h"
#include "EventHook.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace {

void CheckIndex(ByteSpan buffer, int i, int width) {
    if (i < 0 || static_cast<std::size_t>(i) + width > buffer.size())
        throw std::out_of_range("buffer index " + std::to_string(i) + " out of range");
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value hex numbers show: negative numbers as their 32-bit two's complement.
std::uint64_t HexValue(std::int64_t n) {
    return n < 0 ? static_cast<std::uint32_t>(static_cast<std::int32_t>(n))
                 : static_cast<std::uint64_t>(n);
}

// Days since 1 January 1970 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

// Dates outside the years 100..9999 cannot be shown.
constexpr std::int64_t kFirstDay = -675324; // 1 January 100, in days since 1970
constexpr std::int64_t kLastDay = 2932896;  // 31 December 9999

// Written with escapes so that the question marks are never read as trigraphs.
const char* const kNoDate = "\?\?/\?\?/\?\?";

const std::array<const char*, 32> kControlNames = {
    "<nul>", "<soh>", "<stx>", "<etx>", "<eot>", "<enq>", "<ack>", "<bel>",
    "<bs>",  "<tab>", "<lf>",  "<vt>",  "<ff>",  "<cr>",  "<so>",  "<si>",
    "<dle>", "<dc1>", "<dc2>", "<dc3>", "<dc4>", "<nak>", "<syn>", "<etb>",
    "<can>", "<em>",  "<sub>", "<esc>", "<fs>",  "<gs>",  "<rs>",  "<us>"};

} // namespace

int GetByte(ByteSpan buffer, int i) {
    CheckIndex(buffer, i, 1);
    return buffer[i];
}

std::int32_t GetWord(ByteSpan buffer, int i) {
    CheckIndex(buffer, i, 2);
    return buffer[i] * 256 + buffer[i + 1];
}

std::int32_t Get3Bytes(ByteSpan buffer, int i) {
    CheckIndex(buffer, i, 3);
    return buffer[i] * 65536 + buffer[i + 1] * 256 + buffer[i + 2];
}

std::int32_t GetLong(ByteSpan buffer, int i) {
    CheckIndex(buffer, i, 4);
    return MakeLong(buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 3]);
}

std::int32_t MakeLong(int b0, int b1, int b2, int b3) {
    for (int b : {b0, b1, b2, b3})
        if (b < 0 || b > 255) throw std::out_of_range("MakeLong byte out of range");
    const std::uint32_t u = (static_cast<std::uint32_t>(b0) << 24) |
                            (static_cast<std::uint32_t>(b1) << 16) |
                            (static_cast<std::uint32_t>(b2) << 8) | static_cast<std::uint32_t>(b3);
    return static_cast<std::int32_t>(u);
}

int LowByte(int w) {
    return w & 0xFF;
}

void AppendHex(std::string& out, std::int64_t n, int width) {
    std::uint64_t v = HexValue(n);
    int digits = 1;
    for (std::uint64_t rest = v >> 4; rest != 0; rest >>= 4)
        ++digits;
    out.append(static_cast<std::size_t>(std::max(digits, width)), '0');
    char* p = out.data() + out.size();
    for (int i = 0; i < digits; ++i, v >>= 4)
        *--p = kHexDigits[v & 15];
}

std::string Hex2(std::int64_t n) {
    std::string text;
    AppendHex(text, n, 2);
    return text;
}
std::string Hex4(std::int64_t n) {
    std::string text;
    AppendHex(text, n, 4);
    return text;
}
std::string Hex8(std::int64_t n) {
    std::string text;
    AppendHex(text, n, 8);
    return text;
}

std::string PadDec(std::int64_t n, int width) {
    const std::string digits = std::to_string(n);
    if (n >= 1000000000) return digits;
    const int spaces = std::max(width - static_cast<int>(digits.size()), 1);
    return std::string(spaces, ' ') + digits;
}

char PrintableChar(int b) {
    return b >= 32 && b <= 126 ? static_cast<char>(b) : '.';
}

void AppendCharName(std::string& text, int b, bool expandSpaces, CharNameStyle style) {
    static constexpr char digits[] = "0123456789ABCDEF";
    b &= 0xFF;
    if (style == CharNameStyle::Tamarin && (b == 9 || b == 10 || b == 13)) {
        text += b == 10 ? CRLF : b == 9 ? "\t" : "\r";
    } else if (b < 32) {
        text += kControlNames[static_cast<std::size_t>(b)];
    } else if (b <= 126) {
        text += static_cast<char>(b);
    } else if (expandSpaces) {
        text.append(static_cast<std::size_t>(b & 127), ' ');
    } else {
        text += '<';
        text += digits[b >> 4];
        text += digits[b & 15];
        text += '>';
    }
}

std::string CharName(int b, bool expandSpaces, CharNameStyle style) {
    std::string text;
    AppendCharName(text, b, expandSpaces, style);
    return text;
}

std::string VersaDOSDate(std::int64_t days) {
    // Day 1 is 1 January 1980, which is day 3652 since 1970.
    const std::int64_t since1970 = days - 1 + 3652;
    if (days < -1000000000000LL || days > 1000000000000LL || since1970 < kFirstDay ||
        since1970 > kLastDay)
        return kNoDate;
    std::int64_t y;
    int m, d;
    CivilFromDays(since1970, y, m, d);
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", m, d, static_cast<int>(y % 100));
    return text;
}

std::string UnixToDateTime(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    if (days < kFirstDay || days > kLastDay) return kNoDate;
    std::int64_t y;
    int m, d;
    CivilFromDays(days, y, m, d);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", m, d,
                  static_cast<int>(y % 100), static_cast<int>(rest / 3600),
                  static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

void AppendDumpLine(std::string& out, std::string_view prefix, ByteSpan bytes) {
    out.append(prefix);
    // The line is made in place and appended at once: this runs for every 16 bytes of a dump.
    const std::size_t count = std::min<std::size_t>(bytes.size(), 16);
    char line[16 * 4 + 2];
    char* p = line;
    for (std::size_t i = 0; i < count; ++i) {
        *p++ = kHexDigits[bytes[i] >> 4];
        *p++ = kHexDigits[bytes[i] & 15];
        *p++ = ' ';
    }
    if (bytes.size() >= 16) {
        for (std::size_t i = 0; i < 16; ++i)
            *p++ = PrintableChar(bytes[i]);
        *p++ = '\r';
        *p++ = '\n';
    }
    out.append(line, static_cast<std::size_t>(p - line));
}

std::string DumpLine(std::string_view prefix, ByteSpan bytes) {
    std::string line;
    line.reserve(prefix.size() + 16 * 4 + 2);
    AppendDumpLine(line, prefix, bytes);
    return line;
}

void AppendDumpLines(std::string& out, ByteSpan data,
                     const std::function<void(std::string&, std::size_t)>& prefix) {
    const std::size_t need = out.size() + (data.size() / 16 + 1) * 90;
    if (need > out.capacity()) out.reserve(std::max(need, 2 * out.capacity()));
    for (std::size_t i = 0; i < data.size(); i += 16) {
        prefix(out, i);
        AppendDumpLine(out, {}, data.subspan(i, std::min<std::size_t>(16, data.size() - i)));
    }
}

std::string DumpLines(ByteSpan data, const std::function<std::string(std::size_t)>& prefix) {
    std::string text;
    AppendDumpLines(text, data, [&](std::string& out, std::size_t i) { out += prefix(i); });
    return text;
}

void DumpBuffer(DisplaySink& sink, ByteSpan buffer, int count, int block, int blockSize) {
    if (count < 0 || static_cast<std::size_t>(count) > buffer.size())
        throw std::out_of_range("dump count beyond the buffer");
    std::string text;
    const std::int64_t start = static_cast<std::int64_t>(blockSize) * block;
    AppendDumpLines(text, buffer.first(static_cast<std::size_t>(count)),
                    [&](std::string& out, std::size_t i) {
                        const auto offset = static_cast<std::int64_t>(i);
                        if (block != -1) {
                            AppendHex(out, start + offset, 8);
                            out += '/';
                            AppendHex(out, block, 4);
                            out += ':';
                        }
                        AppendHex(out, offset, 4);
                        out += "  ";
                    });
    sink.Append(text);
}

double Delay(double seconds, EventHook& hook) {
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (clock::now() < end) {
        hook.ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::chrono::duration<double>(clock::now() - start).count();
}
