// The entry table: the rows of one directory as read from the volume (the root, with a "."
// row in front, or a sub-directory through its cluster chain), with long names joined to their
// entries. Every reader of the table stops at the first row that is not in use. Deleted rows
// are read too; the lists show them only when asked to.
#pragma once

#include "DirEntry.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class FatVolume;

// One line of the directory list: its text and the row it shows.
struct ListLine {
    std::string Text;
    int Row = 0;
};

struct DirectoryList {
    std::vector<ListLine> Lines;
    std::optional<std::string> VolumeLabel; // the label row's text, when the directory has one
};

class DirectoryTable {
  public:
    // A directory is never read beyond this many entries: the largest directory FAT allows.
    static constexpr std::size_t kMaxRows = 65537;

    void ClearEntries();
    // Decodes one 32-byte entry into the next row; true when the entry is in use. False too
    // when the table is full (the row is then not added).
    bool ParseEntry(std::span<const std::uint8_t> entry);
    // The "." row, then the root entries up to and including the first one not in use.
    void LoadRoot(const FatVolume& volume);
    // The entries of each cluster of the chain, each cluster up to its first entry not in use.
    // A deleted directory's chain has been freed: only its first cluster is read.
    void LoadSubdirectory(FatVolume& volume, std::int64_t cluster, bool deleted = false);
    // Joins long-name pieces, stored last piece first, to the entry that follows them. The
    // pieces of a deleted name have lost their sequence numbers: they are taken from the rows
    // right before the deleted entry, nearest first, as long as their checksum is the one the
    // entry's name gives with some first character.
    void AssembleLongNames();
    int CountFiles() const;
    // Clears, loads the root (cluster 0) or a sub-directory, counts and joins names.
    void LoadDirectory(FatVolume& volume, std::int64_t cluster, bool deleted = false);

    // Whether the lists show deleted directories and files (marked) among the others.
    void SetShowDeleted(bool on) { m_showDeleted = on; }
    bool ShowDeleted() const { return m_showDeleted; }

    // The rows a list shows: directories and files that are not deleted (and the deleted ones
    // when shown), up to the first row not in use; a label row gives the volume label instead.
    DirectoryList ListDirectory() const;
    // The detailed listing of the directory's labels, directories and files.
    std::string DirectoryListing() const;

    const std::vector<DirEntry>& Rows() const { return m_rows; }
    const DirEntry& Row(int i) const { return m_rows.at(static_cast<std::size_t>(i)); }
    int Count() const { return static_cast<int>(m_rows.size()); }
    int FileCount() const { return m_fileCount; }
    // Where reading stopped early: an unreadable cluster or a directory larger than FAT
    // allows; empty when the whole directory was read.
    const std::string& ReadProblem() const { return m_problem; }
    // The number of rows up to, not including, the first row not in use.
    int RowsInUse() const;

  private:
    std::vector<DirEntry> m_rows;
    int m_fileCount = 0;
    std::string m_problem;
    bool m_showDeleted = false;
};
