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

// How the records of a file are written: CR LF after each, its length word in front (high
// byte first as on the disk, or low byte first), compressed blanks expanded.
struct RecordOptions {
    bool crlf = false;
    bool lengthPrefix = false;
    bool expandSpaces = false;
    bool littleEndian = false;
};

// The record options of a delimiter choice. Length words carry the record as stored, so Add
// Length never expands blanks; the byte order matters only to length words.
RecordOptions RecordOptionsFor(int delimiter, bool expandSpaces, bool littleEndian);

// What the save options dialog shows and returns, without the widgets. The Little Endian choice
// is kept from one file to the next: one dialog serves a window as long as it is open.
class dialogSaveFileModel {
  public:
    // Sets the label and applies the extension's defaults. An extension that is not in the
    // table proposes "Data Only" with Expand Spaces off: the bytes as stored.
    void Show(const std::string& fileName, const std::string& extension);
    void SelectDelimiter(int delimiter);
    void SetExpandSpaces(bool on);
    void SetLittleEndian(bool on) { m_littleEndian = on; }

    std::string Label() const { return m_label; }
    int Delimiter() const { return m_delimiter; }
    bool ExpandSpaces() const { return m_expandSpaces; }
    bool ExpandSpacesEnabled() const { return m_delimiter != AddLength; }
    bool LittleEndianEnabled() const { return m_delimiter == AddLength; }
    bool LittleEndian() const { return m_littleEndian; }
    // The choices as record options.
    RecordOptions Options() const {
        return RecordOptionsFor(m_delimiter, m_expandSpaces, m_littleEndian);
    }

  private:
    std::string m_label;
    int m_delimiter = AddCRLF;
    bool m_expandSpaces = true;
    bool m_littleEndian = false;
};
