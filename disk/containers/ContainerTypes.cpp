#include "ContainerTypes.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stddef.h>

#include <libdsk.h>

namespace {

struct KnownTitle {
    const char* name;
    const char* title;
};

// Titles of the formats libdsk reads; a driver a later libdsk adds is called by its own
// description.
constexpr KnownTitle Titles[] = {
    {"dsk", "CPCEMU .DSK"},
    {"edsk", "extended CPCEMU .DSK"},
    {"apridisk", "ApriDisk"},
    {"copyqm", "CopyQM"},
    {"tele", "Teledisk"},
    {"ldbs", "LibDsk block store"},
    {"sap", "SAP"},
    {"qrst", "Quick Release Sector Transfer"},
    {"ydsk", "YAZE YDSK"},
    {"rawoo", "raw (out and out)"},
    {"rawob", "raw (out and back)"},
    {"myz80", "MYZ80 hard disk"},
    {"simh", "SIMH"},
    {"nanowasp", "NanoWasp"},
    {"logical", "raw (logical sector order)"},
    {"jv3", "JV3"},
    {"cfi", "CFI"},
};

// libdsk drivers that reach floppy drives, remote machines or folders rather than image files.
constexpr const char* NotFiles[] = {"floppy", "remote", "rcpmfs", "ntwdm", "adisk"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsNotFile(const std::string& name) {
    return std::any_of(std::begin(NotFiles), std::end(NotFiles),
                       [&](const char* n) { return name == n; });
}

ContainerType LibdskType(const std::string& name, const std::string& description) {
    for (const KnownTitle& known : Titles)
        if (name == known.name) return {name, known.title, ContainerFamily::Libdsk};
    return {name, description.empty() ? name : description, ContainerFamily::Libdsk};
}

ContainerType Raw() {
    return {"raw", "raw", ContainerFamily::Raw};
}
ContainerType ImageDisk() {
    return {"imd", "ImageDisk", ContainerFamily::ImageDisk};
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::size_t at, const char* text,
                std::size_t length) {
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, text, length) == 0;
}
template <std::size_t N>
bool StartsWith(std::span<const std::uint8_t> bytes, const char (&text)[N], std::size_t at = 0) {
    return StartsWith(bytes, at, text, N - 1);
}

std::string Extension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return Lower(fileName.substr(dot + 1));
}

// A CFI file is a run of blocks, each a 16-bit little-endian length and that many bytes, that
// ends exactly at the end of the file. Only the start of the file is at hand: the blocks seen
// must fit, and a file shorter than the sample must end on a block.
bool LooksLikeCfi(const FileSample& sample) {
    std::int64_t at = 0;
    int blocks = 0;
    while (at + 2 <= static_cast<std::int64_t>(sample.start.size())) {
        const std::size_t p = static_cast<std::size_t>(at);
        const std::int64_t length = sample.start[p] | sample.start[p + 1] << 8;
        if (length == 0) return false;
        at += 2 + length;
        ++blocks;
        if (at == sample.length) return true;
        if (at > sample.length) return false;
    }
    return blocks > 0 && sample.length > static_cast<std::int64_t>(sample.start.size());
}

} // namespace

std::vector<ContainerType> ContainerTypes() {
    std::vector<ContainerType> types{Raw(), ImageDisk()};
    for (int i = 0;; ++i) {
        char* name = nullptr;
        char* description = nullptr;
        if (dsk_type_enum(i, &name) != DSK_ERR_OK || !name) break;
        dsk_typedesc_enum(i, &description);
        const std::string n = name;
        if (n == "raw" || n == "imd" || IsNotFile(n)) continue;
        types.push_back(LibdskType(n, description ? description : ""));
    }
    return types;
}

std::optional<ContainerType> FindContainerType(const std::string& name, std::string& problem) {
    const std::string wanted = Lower(name);
    if (IsNotFile(wanted)) {
        problem = "container type " + name + " reads drives or folders, not image files";
        return std::nullopt;
    }
    const std::vector<ContainerType> types = ContainerTypes();
    for (const ContainerType& type : types)
        if (type.name == wanted) return type;
    problem = "unknown container type: " + name + " (known:";
    for (const ContainerType& type : types)
        problem += " " + type.name;
    problem += ")";
    return std::nullopt;
}

ContainerType DetectContainer(const FileSample& sample) {
    const std::span<const std::uint8_t> s = sample.start;
    if (s.size() >= 4 && std::toupper(s[0]) == 'I' && std::toupper(s[1]) == 'M' &&
        std::toupper(s[2]) == 'D' && s[3] == ' ')
        return ImageDisk();
    const struct {
        bool matches;
        const char* name;
    } signatures[] = {
        {StartsWith(s, "MV - CPC"), "dsk"},
        {StartsWith(s, "EXTENDED"), "edsk"},
        {StartsWith(s, "TD\0") || StartsWith(s, "td\0"), "tele"},
        {StartsWith(s, "CQ\x14"), "copyqm"},
        {StartsWith(s, "ACT Apricot disk image\x1a\x04"), "apridisk"},
        {StartsWith(s, "<CPM_Disk>"), "ydsk"},
        {StartsWith(s, "LBS\x01"), "ldbs"},
        {StartsWith(s, "QRST"), "qrst"},
        {StartsWith(s, "SYSTEME D'ARCHIVAGE PUKALL", 1), "sap"},
    };
    for (const auto& signature : signatures)
        if (signature.matches) return LibdskType(signature.name, "");
    const std::string extension = Extension(sample.fileName);
    // A JV3 file starts with a table of 2901 three-byte sector headers and a write-protect byte.
    if (extension == "jv3" && sample.length >= 2901 * 3 + 1) return LibdskType("jv3", "");
    if (extension == "cfi" && LooksLikeCfi(sample)) return LibdskType("cfi", "");
    // SIMH keeps 8-inch Altair disks as 32 sectors of 137 bytes per track.
    if (extension == "dsk" && sample.length > 0 && sample.length % (32 * 137) == 0)
        return LibdskType("simh", "");
    return Raw();
}
