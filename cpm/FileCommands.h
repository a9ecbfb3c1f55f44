// The commands on the selected CP/M file (Upload, Type, Dump, Rename, Erase, Wipe) and the two
// directory tools (Wipe Directory Entry, Wipe Free Space). Each finds the file's entries with a
// literal BLOCKLIST scan of the selected name, so it acts on that file and no other. The scan of
// a command that changes the image runs inside its Change, so a file another program renamed or
// erased meanwhile is not touched ("File Not Found").
#pragma once

#include "HostError.h"
#include "NameQuestion.h"

#include <cstdint>
#include <optional>
#include <string>

class DisplaySink;
class QuarrySession;
struct FileLayout;
class modFile;

// Type and Dump of the selected file into the display pane. Type ends at the file's exact size
// (and in each block at 0x1A); Dump shows whole records.
void TypeFile(QuarrySession& session, DisplaySink& out);
void DumpFile(QuarrySession& session, DisplaySink& out);
// Upload: the selected file's bytes, to its exact size, into a host file chosen with the save
// dialog.
bool UploadFile(QuarrySession& session, modFile& files);
// Erase (or Wipe with the fill byte) the selected file after asking.
bool EraseFile(QuarrySession& session, DisplaySink& out, bool wipe);
// Renames the selected file to newName ([U:]NAME.TYP as typed); an invalid or taken name is put
// to question (none: the file keeps its name).
bool RenameFile(QuarrySession& session, DisplaySink& out, const std::string& newName,
                const NameQuestion& question = {});
// The window's question for the new name of the selected file (nothing after Cancel).
std::optional<std::string> AskNewName(QuarrySession& session);
// Overwrites directory entry n with 0xE5 and the fill byte; a number outside the directory is
// refused with a message.
bool WipeDirectoryEntry(QuarrySession& session, DisplaySink& out, std::int64_t n);
// The window's question for the number of the entry to wipe (nothing after Cancel).
std::optional<int> AskDirectoryEntry(QuarrySession& session);
// Overwrite every free block with the fill byte.
bool WipeFreeSpace(QuarrySession& session, DisplaySink& out);

// Why a file could not be saved: the message box title and the host error ("" title: the
// reason was reported already).
struct SaveProblem {
    std::string title;
    HostError error;
    bool failed = false;
};
// Writes the file laid out so into the host file path through OutputFile: never into the image
// itself, never into a folder.
SaveProblem SaveFile(QuarrySession& session, const FileLayout& layout, const std::string& path);

// The dump lines of one block's bytes.
std::string DumpBlockText(int block, const std::uint8_t* bytes, int count);
