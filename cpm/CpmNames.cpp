#include "CpmNames.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t npos = std::string_view::npos;

std::size_t LastSeparator(std::string_view t) {
    return t.find_last_of("\\/");
}

// 0-based index where the name begins: after the last separator, else after the first ":".
std::size_t NameStart(std::string_view t) {
    if (const std::size_t sep = LastSeparator(t); sep != npos) return sep + 1;
    if (const std::size_t colon = t.find(':'); colon != npos) return colon + 1;
    return 0;
}

// The last "." when it lies after the first character of the name.
std::size_t ExtensionDot(std::string_view t) {
    const std::size_t dot = t.rfind('.');
    if (dot == npos || dot <= NameStart(t)) return npos;
    return dot;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return std::string(s);
}

// Drops what no CP/M name can hold (control characters, bytes above 126); true when nothing was
// dropped.
bool KeepPrintable(std::string& s) {
    std::string kept;
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u > 32 && u < 127) kept += c;
    }
    const bool clean = kept.size() == s.size();
    s = kept;
    return clean;
}

std::string TrimEnd(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

constexpr const char* NotPrintable = "only printable ASCII characters can be in a CP/M name";

std::string UserTooHigh(int user) {
    return "user number " + std::to_string(user) + " is above 15";
}

std::string Field(std::string_view cpmName, std::size_t from, std::size_t length) {
    if (from >= cpmName.size()) return {};
    return std::string(cpmName.substr(from, length));
}

} // namespace

std::string GetBaseName(std::string_view t) {
    const std::size_t start = NameStart(t);
    const std::size_t dot = ExtensionDot(t);
    if (dot == npos) return std::string(t.substr(start));
    return std::string(t.substr(start, dot - start));
}

std::string GetExtension(std::string_view t) {
    const std::size_t dot = ExtensionDot(t);
    return dot == npos ? std::string() : std::string(t.substr(dot + 1));
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

std::string GetUserPrefix(std::string_view t) {
    const std::size_t colon = t.find(':');
    if (colon == 1 && IsDigit(t[0])) return std::string("0") + t[0];
    if (colon == 2 && IsDigit(t[0]) && IsDigit(t[1])) return std::string(t.substr(0, 2));
    return {};
}

std::string RemoveChars(std::string_view t, std::string_view list) {
    std::string kept;
    for (char c : t)
        if (list.find(c) == npos) kept += c;
    return kept;
}

std::string TwoDigits(int n) {
    std::string s = std::to_string(n);
    if (n >= 0 && n < 10) s.insert(0, "0");
    return s;
}

CpmNameResult MakeCpmName(std::string_view name, int defaultUser) {
    std::string user = GetUserPrefix(name);
    std::string reason;
    if (!user.empty()) {
        if (LeadingNumber(user) > 15) {
            reason = UserTooHigh(LeadingNumber(user));
            user = "00";
        }
    } else {
        user = TwoDigits(defaultUser);
    }
    std::string base = RemoveChars(GetBaseName(name), CpmRemovedChars);
    std::string ext = RemoveChars(GetExtension(name), CpmRemovedChars);
    const bool printableBase = KeepPrintable(base);
    const bool printableExt = KeepPrintable(ext);
    if (!printableBase || !printableExt) reason = NotPrintable;
    if (base.empty()) reason = "no CP/M name is left of it";
    const bool valid = reason.empty() && base.size() <= 8 && ext.size() <= 3;
    base.resize(std::max<std::size_t>(base.size(), 8), ' ');
    ext.resize(std::max<std::size_t>(ext.size(), 3), ' ');
    return {Upper(user + ":" + base.substr(0, 8) + "." + ext.substr(0, 3)), valid, reason};
}

CpmNameResult HostCpmName(std::string_view hostPath, int user) {
    const std::size_t slash = hostPath.rfind('/');
    const std::string_view base = slash == npos ? hostPath : hostPath.substr(slash + 1);
    return MakeCpmName(RemoveChars(base, ":"), user);
}

CpmNameResult CheckCpmName(std::string_view typed, int defaultUser) {
    CpmNameResult result = MakeCpmName(typed, defaultUser);
    result.valid = false;
    int user = defaultUser;
    std::string_view rest = typed;
    const bool shown = typed.size() == 15 && typed[2] == ':' && typed[11] == '.';
    if (const std::size_t colon = typed.find(':'); colon != npos) {
        const std::string_view prefix = typed.substr(0, colon);
        if (prefix.empty() || prefix.size() > 3 ||
            !std::all_of(prefix.begin(), prefix.end(), IsDigit)) {
            result.reason = "\"" + std::string(prefix) + "\" is no user number (0 to 15)";
            return result;
        }
        user = LeadingNumber(prefix);
        if (user > 15) {
            result.reason = UserTooHigh(user);
            return result;
        }
        rest = typed.substr(colon + 1);
    }
    const std::size_t dot = rest.find('.');
    std::string name(rest.substr(0, dot));
    std::string type(dot == npos ? std::string_view() : rest.substr(dot + 1));
    if (shown) {
        // The 15-character form pads the name and the type with blanks.
        name = TrimEnd(name);
        type = TrimEnd(type);
    }
    if (name.empty()) {
        result.reason = "the name is empty";
        return result;
    }
    for (char c : name + type) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ')
            result.reason = "blanks cannot be in a CP/M name";
        else if (u < 32 || u > 126)
            result.reason = NotPrintable;
        else if (CpmRefusedChars.find(c) != npos)
            result.reason = "\"" + std::string(1, c) + "\" cannot be in a CP/M name";
        if (!result.reason.empty()) return result;
    }
    if (name.size() > 8) result.reason = "the name is longer than 8 characters";
    if (type.size() > 3) result.reason = "the type is longer than 3 characters";
    if (!result.reason.empty()) return result;
    name.resize(8, ' ');
    type.resize(3, ' ');
    return {Upper(TwoDigits(user) + ":" + name + "." + type), true, ""};
}

std::optional<CpmPattern> ParseCpmPattern(std::string_view text) {
    CpmPattern pattern;
    if (const std::size_t colon = text.find(':'); colon != npos) {
        const std::string_view prefix = text.substr(0, colon);
        if (prefix == "*" || prefix == "?" || prefix == "??") {
            pattern.anyUser = true;
        } else {
            if (prefix.empty() || prefix.size() > 2 ||
                !std::all_of(prefix.begin(), prefix.end(), IsDigit) || LeadingNumber(prefix) > 15)
                return std::nullopt;
            pattern.user = LeadingNumber(prefix);
        }
        text = text.substr(colon + 1);
    }
    const std::size_t dot = text.find('.');
    const std::string_view parts[2] = {text.substr(0, dot),
                                       dot == npos ? std::string_view() : text.substr(dot + 1)};
    for (int k = 0; k < 2; ++k) {
        const std::size_t width = k == 0 ? 8 : 3;
        std::string field;
        for (char c : parts[k]) {
            if (c == '*') {
                field.resize(width, '?');
                break;
            }
            if (field.size() == width || c == '.' || c == ':') return std::nullopt;
            field += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        field.resize(width, ' ');
        pattern.name += field;
    }
    return pattern;
}

bool PatternMatches(const CpmPattern& pattern, std::string_view cpmName) {
    if (cpmName.size() != 15) return false;
    if (!pattern.anyUser && LeadingNumber(cpmName) != pattern.user) return false;
    const std::string name = std::string(cpmName.substr(3, 8)) + std::string(cpmName.substr(12, 3));
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char p = pattern.name[i];
        if (p != '?' && std::toupper(static_cast<unsigned char>(name[i])) != p) return false;
    }
    return true;
}

int LeadingNumber(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (!IsDigit(c)) break;
        if (value < 100000) value = value * 10 + (c - '0');
    }
    return value;
}

bool MatchName(std::string_view pattern, std::string_view name, bool literal) {
    std::size_t from = 0;
    if (pattern.substr(0, 2) != "??") {
        const int p = LeadingNumber(pattern);
        const int n = LeadingNumber(name);
        if (p < 32 && n < 32) {
            if ((p & 15) != (n & 15)) return false;
            // The user fields count as equal; compare from the ":" on.
            from = 2;
        }
    }
    for (std::size_t i = from; i < pattern.size(); ++i) {
        const char pc = pattern[i];
        if (i >= name.size()) {
            if (literal || pc != '?') return false;
            continue;
        }
        const char nc = name[i];
        if (literal ? pc != nc : (pc != '?' && nc != '?' && pc != nc)) return false;
    }
    return true;
}

std::string UserPart(std::string_view cpmName) {
    return Field(cpmName, 0, 2);
}
std::string NamePart(std::string_view cpmName) {
    return Field(cpmName, 3, 8);
}
std::string TypePart(std::string_view cpmName) {
    return Field(cpmName, 12, 3);
}

HostNameResult HostNameFor(std::string_view cpmName) {
    const std::string name = NamePart(cpmName);
    const std::string type = TypePart(cpmName);
    std::string hostName = RemoveChars(name, HostRemovedChars);
    std::string hostType = RemoveChars(type, HostRemovedChars);
    // Control characters make no host name either.
    KeepPrintable(hostName);
    KeepPrintable(hostType);
    return {Trim(name) + "." + Trim(type), hostName + "." + hostType};
}
