// Erased files. CP/M's Erase writes 0xE5 over the status byte of each directory entry of the file
// and over nothing else: the name, the extent and record counts and the block numbers stay until
// the entry is used again, and the blocks keep their bytes until another file takes them. An
// erased file is gathered from such entries by name and extent, as a live file is; its user
// number is gone. Several erased files of one name are told apart by their extents: each entry of
// a first extent starts a file, and each later extent joins a file whose entry before it is full,
// the one whose blocks it continues. Entries left over make files that cannot be gathered whole.
//
// Undelete writes the status byte of each entry of one erased file and nothing else, and only
// when the file is whole, none of its blocks is held by a live file and no live file of that user
// has its name: the file is then what it was before the erase.
#pragma once

#include "CpmDirectory.h"
#include "DirEntry.h"
#include "DiskFormat.h"

#include <map>
#include <string>
#include <vector>

class DisplaySink;
class QuarrySession;
class modFile;

struct ErasedFile {
    std::string name;              // "NAME    .TYP", bit 7 cleared
    std::vector<int> entries;      // directory entry numbers, in extent order
    std::vector<DirEntry> extents; // their bytes, in the same order
    std::string problem;           // why it cannot be gathered whole; "" when it can
    bool Whole() const { return problem.empty(); }
    // The entry that tells it from other erased files of its name.
    int First() const { return entries.front(); }
    FileLayout Layout(const DiskFormat& format) const { return LayoutOf(extents, format); }
};

// The erased files of a directory (entry n at index n), in the order of their first entries.
std::vector<ErasedFile> GatherErasedFiles(const std::vector<DirEntry>& directory,
                                          const DiskFormat& format);
// The blocks of file that a live file of directory holds, each with that file's 15-character
// name.
std::map<int, std::string> HeldBlocks(const ErasedFile& file,
                                      const std::vector<DirEntry>& directory,
                                      const DiskFormat& format);

// The erased-file listing: a line per file with its first entry, size, blocks and whether it can
// be undeleted, then the count.
std::string ErasedFilesText(const std::vector<ErasedFile>& files,
                            const std::vector<DirEntry>& directory, const DiskFormat& format);
// The listing of the open image into the display pane.
void ShowErasedFiles(QuarrySession& session, DisplaySink& out);

// The erased files of the open image whose name is name ("NAME    .TYP", or in any case), and
// of them the one whose first entry is first when first is not -1.
std::vector<ErasedFile> FindErasedFiles(QuarrySession& session, const std::string& name,
                                        int first = -1);

// Restores the erased file of that name and first entry as a file of user (0..15), under the
// image's lock; refuses (saying why) and changes nothing when it cannot be gathered whole, a live
// file holds one of its blocks or has its name in that user.
bool UndeleteFile(QuarrySession& session, DisplaySink& out, const std::string& name, int first,
                  int user);
// Upload of an erased file without restoring it: its bytes, to its exact size, into a host file
// chosen with the save dialog. The display pane says what was saved, and whether blocks of it
// are now a live file's (their bytes are then not the erased file's) or extents were missing.
bool UploadErasedFile(QuarrySession& session, DisplaySink& out, modFile& files,
                      const std::string& name, int first);
