// One 32-byte FAT directory entry: an 8.3 name, attributes, times and dates, the first cluster
// and the size; or, with the attributes' low four bits all set, a piece of a long name (13
// UTF-16 code units) that belongs to the 8.3 entry after it. A first byte of 0 marks the end of
// the directory, 0xE5 a deleted entry.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct DirEntry {
    std::string Name = "        "; // 8 characters, unprintable bytes as "."
    std::string Ext = "   ";       // 3 characters
    std::int32_t Attributes = 0;   // the attribute byte with byte 12 above it
    int Byte12 = 0;                // case flags: 0x08 lower-case name, 0x10 lower-case extension
    int CreateTenths = 0;
    std::int32_t CreateTime = 0;
    std::int32_t CreateDate = 0;
    std::int32_t AccessDate = 0;
    std::int32_t ClusterHigh = 0;
    std::int32_t ModifyTime = 0;
    std::int32_t ModifyDate = 0;
    std::int32_t FirstCluster = 0;
    std::int64_t Size = 0;
    int Sequence = 0;
    std::u16string LongName16; // a piece's own code units, or the assembled long name
    std::string LongName;      // the same in UTF-8
    bool InUse = false;
    bool Deleted = false;

    // The volume bit makes the entry the label whatever else is set (MS-DOS FORMAT and macOS
    // write it with the archive bit, 0x28), unless the low four bits are all set: a long-name
    // piece.
    bool IsVolumeLabel() const { return (Attributes & 0x08) != 0 && (Attributes & 0x0F) != 0x0F; }
    bool IsDirectory() const { return !IsVolumeLabel() && (Attributes & 0x10) != 0; }
    bool IsLongNamePiece() const {
        return !IsVolumeLabel() && !IsDirectory() && (Attributes & 0x0F) == 0x0F;
    }
    bool IsFile() const { return !IsVolumeLabel() && !IsDirectory() && !IsLongNamePiece(); }
};

DirEntry DecodeEntry(std::span<const std::uint8_t> bytes);
// The "." row put in front of the root directory so that the root lists like a sub-directory.
DirEntry SyntheticRootRow();

// Trimmed name, and "." + trimmed extension when there is one.
std::string EntryName(const DirEntry& row);
// The 8.3 name as the host shows it: lower case where the case flags say so, no "." without an
// extension.
std::string CasedShortName(const DirEntry& row);
// The name a saved file gets: the long name, else the 8.3 name as the host shows it.
std::string DefaultFileName(const DirEntry& row);

std::string AttributeLetters(std::int32_t attributes);
// " MM/DD/YYYY HH:MM:SS" and " MM/DD/YYYY" of DOS dates and times.
std::string DateTimeText(std::int32_t date, std::int32_t time);
std::string DateText(std::int32_t date);
std::string FormatEntry(const DirEntry& row, bool detail);
