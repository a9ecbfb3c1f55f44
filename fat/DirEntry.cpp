#include "DirEntry.h"

#include "DisplaySink.h"
#include "FatBoot.h"
#include "LongName.h"
#include "modUtility.h"

namespace {

// Where the 13 code units of a long-name piece lie in its entry.
constexpr int kLongNameOffsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};

std::string Digits(std::int64_t value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

DirEntry DecodeEntry(std::span<const std::uint8_t> bytes) {
    DirEntry row;
    row.Name.clear();
    row.Ext.clear();
    for (std::size_t i = 0; i < 8; ++i)
        row.Name += PrintableChar(LeByte(bytes, i));
    for (std::size_t i = 8; i < 11; ++i)
        row.Ext += PrintableChar(LeByte(bytes, i));
    row.Attributes = LeWord(bytes, 11);
    row.Byte12 = LeByte(bytes, 12);
    row.CreateTenths = LeByte(bytes, 13);
    row.CreateTime = LeWord(bytes, 14);
    row.CreateDate = LeWord(bytes, 16);
    row.AccessDate = LeWord(bytes, 18);
    row.ClusterHigh = LeWord(bytes, 20);
    row.ModifyTime = LeWord(bytes, 22);
    row.ModifyDate = LeWord(bytes, 24);
    row.FirstCluster = LeWord(bytes, 26);
    row.Size = static_cast<std::uint32_t>(LeLong(bytes, 28));
    row.Sequence = LeByte(bytes, 0);
    row.InUse = LeByte(bytes, 0) != 0;
    row.Deleted = LeByte(bytes, 0) == 0xE5;
    for (std::size_t i = 0; i < 11; ++i)
        row.RawName[i] = static_cast<std::uint8_t>(LeByte(bytes, i));
    if (row.Deleted) row.Name[0] = kLostCharacter;
    if (row.IsLongNamePiece()) {
        for (int offset : kLongNameOffsets) {
            const auto unit =
                static_cast<char16_t>(LeWord(bytes, static_cast<std::size_t>(offset)));
            if (unit != 0 && unit != 0xFFFF) row.LongName16 += unit;
        }
        row.LongName = Utf16ToUtf8(row.LongName16);
    }
    return row;
}

DirEntry SyntheticRootRow() {
    DirEntry row;
    row.Name = ".       ";
    row.Ext = "   ";
    row.Attributes = 16;
    row.InUse = true;
    return row;
}

std::string EntryName(const DirEntry& row) {
    const std::string ext = TrimBlanks(row.Ext);
    return TrimBlanks(row.Name) + (ext.empty() ? "" : "." + ext);
}

std::string CasedShortName(const DirEntry& row) {
    std::string name = TrimBlanks(row.Name);
    std::string ext = TrimBlanks(row.Ext);
    if (row.Byte12 & 0x08) name = Lower(name);
    if (row.Byte12 & 0x10) ext = Lower(ext);
    return ext.empty() ? name : name + "." + ext;
}

std::string DefaultFileName(const DirEntry& row) {
    return row.LongName.empty() ? CasedShortName(row) : row.LongName;
}

std::string AttributeLetters(std::int32_t attributes) {
    std::string letters;
    letters += (attributes & 0x01) ? 'R' : ' ';
    letters += (attributes & 0x04) ? 'S' : ' ';
    letters += (attributes & 0x02) ? 'H' : ' ';
    letters += (attributes & 0x20) ? 'A' : ' ';
    return letters;
}

std::string DateText(std::int32_t date) {
    const int day = date & 31;
    const int month = (date / 32) & 15;
    const int year = date / 512 + 1980;
    return " " + Digits(month, 2) + "/" + Digits(day, 2) + "/" + Digits(year, 4);
}

std::string DateTimeText(std::int32_t date, std::int32_t time) {
    const int seconds = (time & 31) * 2;
    const int minutes = (time / 32) & 63;
    const int hours = (time / 2048) & 31;
    return DateText(date) + " " + Digits(hours, 2) + ":" + Digits(minutes, 2) + ":" +
           Digits(seconds, 2);
}

std::string FormatEntry(const DirEntry& row, bool detail) {
    std::string text;
    if (row.IsVolumeLabel()) {
        text = "{" + row.Name + row.Ext + "} ";
    } else if (row.IsDirectory()) {
        const std::string name = TrimBlanks(row.Name);
        const char* separator = (name == "." || name == "..") ? " " : ".";
        text = "[" + row.Name + separator + row.Ext + "]";
    } else {
        text = " " + row.Name + "." + row.Ext + " ";
    }
    if (row.Deleted) text += " (deleted)";
    if (!detail) return text;
    text += " " + row.LongName + CRLF;
    text += " " + AttributeLetters(row.Attributes);
    text += " C-" + DateTimeText(row.CreateDate, row.CreateTime);
    text += " M-" + DateTimeText(row.ModifyDate, row.ModifyTime);
    text += " A-" + DateText(row.AccessDate);
    if (row.IsDirectory() || row.IsFile()) text += " CL-" + Digits(row.FirstCluster, 4);
    if (row.IsFile()) text += " SZ (" + Digits(row.Size, 7) + ")";
    return text;
}

std::uint8_t ShortNameChecksum(std::span<const std::uint8_t, 11> name11) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : name11)
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + b);
    return sum;
}

bool ValidFirstCharacter(char c) {
    static constexpr std::string_view kForbidden = "\"*+,./:;<=>?[\\]|";
    return c > ' ' && c < 127 && kForbidden.find(c) == std::string_view::npos;
}
