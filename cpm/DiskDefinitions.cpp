#include "DiskDefinitions.h"

#include <cctype>
#include <climits>
#include <fstream>
#include <optional>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole number as cpmtools reads most values (C's strtol with base 0): decimal, 0x hexadecimal
// or, with a leading 0, octal. Anything left over, a sign or more than fits an int is refused.
std::optional<long long> ParseInteger(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > INT_MAX) return std::nullopt;
    }
    return value;
}

// The decimal digits at the start of text and what follows them.
std::pair<std::optional<long long>, std::string_view> LeadingDecimal(std::string_view text) {
    std::size_t n = 0;
    long long value = 0;
    while (n < text.size() && std::isdigit(static_cast<unsigned char>(text[n]))) {
        value = value * 10 + (text[n] - '0');
        if (value > INT_MAX) return {std::nullopt, text};
        ++n;
    }
    if (n == 0) return {std::nullopt, text};
    return {value, text.substr(n)};
}

// One definition while its lines are read: the values, and the first reason to leave it out.
struct Pending {
    DiskDefinition definition;
    std::string problem;
    int problemLine = 0;
    void Refuse(int line, std::string reason) {
        if (!problem.empty()) return;
        problem = std::move(reason);
        problemLine = line;
    }
};

// Sets an integer value that must lie in 0..INT_MAX.
void SetNumber(Pending& p, int line, const std::string& keyword, std::string_view value,
               int& field) {
    const std::optional<long long> n = ParseInteger(value);
    if (!n)
        p.Refuse(line, keyword + " " + std::string(value) + " is not a number");
    else
        field = static_cast<int>(*n);
}

// The skew table: physical sectors (counted from 0) of the logical sectors of a track, separated
// by commas.
void SetSkewTable(Pending& p, int line, std::string_view value) {
    std::vector<int> table;
    std::string_view rest = value;
    for (;;) {
        rest = Trim(rest);
        const auto [n, after] = LeadingDecimal(rest);
        if (!n) {
            p.Refuse(line, "skewtab " + std::string(value) + " is not a list of sector numbers");
            return;
        }
        if (table.size() >= static_cast<std::size_t>(MaxSkewTable)) {
            p.Refuse(line, "skewtab has more than " + std::to_string(MaxSkewTable) + " sectors");
            return;
        }
        table.push_back(static_cast<int>(*n));
        rest = Trim(after);
        if (rest.empty()) break;
        if (rest.front() != ',') {
            p.Refuse(line, "skewtab " + std::string(value) + " is not a list of sector numbers");
            return;
        }
        rest.remove_prefix(1);
    }
    p.definition.skewtab = std::move(table);
}

// The offset before the first track: bytes, or a number with a unit of which only the first
// letter counts (2KB, 8M, 1000trk, 16sec). Tracks and sectors need the geometry given before.
void SetOffset(Pending& p, int line, std::string_view value) {
    const auto [n, unit] = LeadingDecimal(value);
    if (!n) {
        p.Refuse(line, "offset " + std::string(value) + " is not a number");
        return;
    }
    const DiskDefinition& d = p.definition;
    long long multiplier = 1;
    if (!unit.empty()) {
        switch (std::toupper(static_cast<unsigned char>(unit.front()))) {
        case 'K':
            multiplier = 1024;
            break;
        case 'M':
            multiplier = 1024 * 1024;
            break;
        case 'T':
        case 'S':
            if (d.sectrk < 0 || d.tracks < 0 || d.seclen < 0) {
                p.Refuse(line, "offset in tracks or sectors must follow seclen, tracks and sectrk");
                return;
            }
            multiplier = d.seclen;
            if (std::toupper(static_cast<unsigned char>(unit.front())) == 'T')
                multiplier *= d.sectrk;
            break;
        default:
            p.Refuse(line, "offset " + std::string(value) + " has an unknown unit");
            return;
        }
    }
    // cpmtools keeps the offset in an int.
    if (multiplier != 0 && *n > INT_MAX / multiplier) {
        p.Refuse(line, "offset " + std::string(value) + " is out of range");
        return;
    }
    p.definition.offset = *n * multiplier;
}

void SetOs(Pending& p, int line, std::string_view value) {
    const std::string os = Lower(value);
    if (os == "2.2")
        p.definition.os = CpmOs::V22;
    else if (os == "3")
        p.definition.os = CpmOs::V3;
    else if (os == "p2dos")
        p.definition.os = CpmOs::P2dos;
    else if (os == "zsys")
        p.definition.os = CpmOs::Zsys;
    else if (os == "isx")
        p.Refuse(line, "os isx (sizes kept as unused bytes) is not supported");
    else
        p.Refuse(line, "os " + std::string(value) + " is not 2.2, 3, p2dos or zsys");
}

void Apply(Pending& p, int line, const std::string& keyword, std::string_view value) {
    DiskDefinition& d = p.definition;
    if (value.empty()) {
        p.Refuse(line, keyword + " has no value");
        return;
    }
    if (keyword == "seclen")
        SetNumber(p, line, keyword, value, d.seclen);
    else if (keyword == "tracks")
        SetNumber(p, line, keyword, value, d.tracks);
    else if (keyword == "sectrk")
        SetNumber(p, line, keyword, value, d.sectrk);
    else if (keyword == "blocksize")
        SetNumber(p, line, keyword, value, d.blocksize);
    else if (keyword == "maxdir")
        SetNumber(p, line, keyword, value, d.maxdir);
    else if (keyword == "dirblks")
        SetNumber(p, line, keyword, value, d.dirblks);
    else if (keyword == "skew")
        SetNumber(p, line, keyword, value, d.skew);
    else if (keyword == "skewtab")
        SetSkewTable(p, line, value);
    else if (keyword == "boottrk")
        SetNumber(p, line, keyword, value, d.boottrk);
    else if (keyword == "bootsec")
        SetNumber(p, line, keyword, value, d.bootsec);
    else if (keyword == "offset")
        SetOffset(p, line, value);
    else if (keyword == "logicalextents")
        SetNumber(p, line, keyword, value, d.logicalExtents);
    else if (keyword == "os")
        SetOs(p, line, value);
    else if (keyword == "libdsk:format")
        d.libdskFormat = std::string(value);
    // Anything else describes the physical medium (sides, datarate, fm) or is unknown; cpmtools
    // passes over unknown keywords the same way.
}

// The reason a finished definition lacks what every disk needs, or "".
std::string Missing(const DiskDefinition& d) {
    std::string missing;
    auto need = [&missing](bool given, const char* keyword) {
        if (!given) missing += std::string(missing.empty() ? "" : ", ") + keyword;
    };
    need(d.seclen >= 0, "seclen");
    need(d.tracks >= 0, "tracks");
    need(d.sectrk >= 0, "sectrk");
    need(d.blocksize >= 0, "blocksize");
    need(d.maxdir >= 0, "maxdir");
    need(d.boottrk >= 0 || d.bootsec >= 0, "boottrk");
    return missing.empty() ? "" : "no " + missing;
}

bool ValidName(std::string_view name) {
    if (name.empty() || name.size() > MaxDefinitionName) return false;
    for (char c : name)
        if (c <= ' ' || c > '~') return false;
    return true;
}

} // namespace

std::string OsName(CpmOs os) {
    switch (os) {
    case CpmOs::V22:
        return "2.2";
    case CpmOs::V3:
        return "3";
    case CpmOs::P2dos:
        return "p2dos";
    case CpmOs::Zsys:
        return "zsys";
    }
    return "2.2";
}

std::string DefinitionProblem::Text() const {
    std::string text = file + " line " + std::to_string(line) + ": ";
    if (!name.empty()) text += "diskdef " + name + ": ";
    return text + reason;
}

ParsedDefinitions ParseDiskdefs(std::string_view text, const std::string& file) {
    ParsedDefinitions parsed;
    if (text.size() > MaxDiskdefsBytes) {
        parsed.problems.push_back(
            {file, 0, "", "larger than " + std::to_string(MaxDiskdefsBytes) + " bytes; not read"});
        return parsed;
    }
    std::optional<Pending> pending;
    auto finish = [&](int line) {
        Pending& p = *pending;
        p.definition.lastLine = line;
        if (p.problem.empty()) {
            const std::string missing = Missing(p.definition);
            if (!missing.empty()) p.Refuse(p.definition.firstLine, missing);
        }
        if (p.problem.empty() && parsed.definitions.size() >= MaxDefinitions)
            p.Refuse(p.definition.firstLine,
                     "more than " + std::to_string(MaxDefinitions) + " definitions in the file");
        if (p.problem.empty())
            parsed.definitions.push_back(std::move(p.definition));
        else
            parsed.problems.push_back({file, p.problemLine, p.definition.name, p.problem});
        pending.reset();
    };

    int line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (raw.size() > MaxDiskdefsLine) {
            if (pending)
                pending->Refuse(line,
                                "longer than " + std::to_string(MaxDiskdefsLine) + " characters");
            continue;
        }
        if (const std::size_t comment = raw.find_first_of("#;"); comment != std::string_view::npos)
            raw = raw.substr(0, comment);
        raw = Trim(raw);
        if (raw.empty()) continue;
        std::size_t split = 0;
        while (split < raw.size() && !IsBlank(raw[split]))
            ++split;
        const std::string keyword = Lower(raw.substr(0, split));
        const std::string_view value = Trim(raw.substr(split));

        if (keyword == "diskdef") {
            if (pending) {
                pending->Refuse(line, "no end before the next diskdef");
                finish(line - 1);
            }
            pending.emplace();
            pending->definition.name = std::string(value);
            pending->definition.file = file;
            pending->definition.firstLine = line;
            if (!ValidName(value))
                pending->Refuse(line, "the name must be 1 to " + std::to_string(MaxDefinitionName) +
                                          " printable characters without blanks");
            continue;
        }
        // Lines outside a definition are not read, as cpmtools does not read them.
        if (!pending) continue;
        if (keyword == "end" && value.empty()) {
            finish(line);
            continue;
        }
        Apply(*pending, line, keyword, value);
    }
    if (pending) {
        pending->Refuse(line, "no end before the end of the file");
        finish(line);
    }
    return parsed;
}

ParsedDefinitions ReadDiskdefsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {{}, {{path, 0, "", "cannot be read"}}};
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > MaxDiskdefsBytes)
            return {{},
                    {{path, 0, "",
                      "larger than " + std::to_string(MaxDiskdefsBytes) + " bytes; not read"}}};
    }
    if (in.bad()) return {{}, {{path, 0, "", "cannot be read"}}};
    return ParseDiskdefs(text, path);
}
