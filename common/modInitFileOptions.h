// Save options for VersaDOS records: the default record delimiter and space expansion by
// VersaDOS file extension, and the rules of the save options dialog ("Save File Options").
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Delimiters, numbered as the dialog's options.
enum Delimiter { AddLength = 0, DataOnly = 1, AddCRLF = 2 };

struct FileOptionRow {
    const char* extension;
    int delimiter;
    bool expandSpaces;
};

// Rows 0..32; the first row whose extension matches (any case) wins.
std::optional<FileOptionRow> LookupFileOption(std::string_view extension);

// The program-wide Little Endian choice: off at start, kept until the program ends.
extern bool LittleEndianFlag;

// What the save options dialog shows and returns, without the widgets.
class dialogSaveFileModel {
public:
    // Sets the label and applies the extension's defaults. An extension that is not in the
    // table proposes "Data Only" with Expand Spaces off: the bytes as stored.
    void Show(const std::string& fileName, const std::string& extension);
    void SelectDelimiter(int delimiter);
    void SetExpandSpaces(bool on);
    void SetLittleEndian(bool on) { LittleEndianFlag = on; }

    std::string Label() const { return m_label; }
    int Delimiter() const { return m_delimiter; }
    bool ExpandSpaces() const { return m_expandSpaces; }
    bool ExpandSpacesEnabled() const { return m_delimiter != AddLength; }
    bool LittleEndianEnabled() const { return m_delimiter == AddLength; }
    bool LittleEndian() const { return LittleEndianFlag; }

private:
    std::string m_label;
    int m_delimiter = AddCRLF;
    bool m_expandSpaces = true;
};
