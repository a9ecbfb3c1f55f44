#include "modInitFileOptions.h"

#include "FileTypes.h"

#include <array>

namespace {

// Text types add CR LF and expand compressed spaces; binary types keep the data as stored.
const std::array<FileOptionRow, 33> kRows = {{
    {"xxx", AddCRLF, true},  {"AF", AddCRLF, true},   {"AG", AddCRLF, true},
    {"AI", AddCRLF, true},   {"CD", AddCRLF, true},   {"CF", AddCRLF, true},
    {"CI", AddCRLF, true},   {"DB", DataOnly, false}, {"EM", DataOnly, false},
    {"EQ", AddCRLF, true},   {"FF", AddCRLF, true},   {"HT", AddCRLF, true},
    {"IN", AddCRLF, true},   {"LF", AddCRLF, true},   {"LG", AddCRLF, true},
    {"LL", AddCRLF, true},   {"LO", DataOnly, false}, {"LS", AddCRLF, true},
    {"MC", AddCRLF, true},   {"MG", AddCRLF, true},   {"MX", AddCRLF, true},
    {"NW", AddCRLF, true},   {"OW", DataOnly, false}, {"PC", DataOnly, false},
    {"PF", AddCRLF, true},   {"PL", AddCRLF, true},   {"PO", DataOnly, false},
    {"RO", DataOnly, false}, {"RS", DataOnly, false}, {"SA", AddCRLF, true},
    {"SI", AddCRLF, true},   {"SY", DataOnly, false}, {"TF", DataOnly, false},
}};

} // namespace

std::optional<FileOptionRow> LookupFileOption(std::string_view extension) {
    const std::string upper = UpperCase(extension);
    for (const FileOptionRow& row : kRows)
        if (UpperCase(row.extension) == upper) return row;
    return std::nullopt;
}

RecordOptions RecordOptionsFor(int delimiter, bool expandSpaces, bool littleEndian) {
    RecordOptions options;
    options.lengthPrefix = delimiter == AddLength;
    options.crlf = delimiter == AddCRLF;
    options.expandSpaces = delimiter != AddLength && expandSpaces;
    options.littleEndian = littleEndian;
    return options;
}

void dialogSaveFileModel::Show(const std::string& fileName, const std::string& extension) {
    m_label = fileName + "." + extension;
    const auto row = LookupFileOption(extension);
    m_expandSpaces = row ? row->expandSpaces : false;
    SelectDelimiter(row ? row->delimiter : DataOnly);
}

void dialogSaveFileModel::SelectDelimiter(int delimiter) {
    if (delimiter < AddLength || delimiter > AddCRLF) return;
    m_delimiter = delimiter;
    if (m_delimiter == AddLength) m_expandSpaces = false;
}

void dialogSaveFileModel::SetExpandSpaces(bool on) {
    if (ExpandSpacesEnabled()) m_expandSpaces = on;
}
