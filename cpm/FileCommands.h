// The commands on the selected CP/M file (Upload, Type, Dump, Rename, Erase, Wipe) and the two
// directory tools (Wipe Directory Entry, Wipe Free Space). Each finds the file's entries with a
// literal BLOCKLIST scan of the selected name, so it acts on that file and no other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QuarrySession;
class modFile;

enum class FileAction { TYPE, DUMP, ULOAD, WIPE, ERASE };

// Performs action on the file of the last BLOCKLIST scan. ULOAD appends the file's records to
// upload. Returns false when a write was refused or failed (the directory is then left as is).
bool ProcessFile(QuarrySession& session, FileAction action,
                 std::vector<std::uint8_t>* upload = nullptr);

// Type and Dump of the selected file into the display pane.
void TypeFile(QuarrySession& session);
void DumpFile(QuarrySession& session);
// Upload: the selected file's records into a host file chosen with the save dialog.
bool UploadFile(QuarrySession& session, modFile& files);
// Erase (or Wipe with the fill byte) the selected file after asking.
bool EraseFile(QuarrySession& session, bool wipe);
// Rename the selected file to a name the user types.
bool RenameFile(QuarrySession& session);
// Overwrite one directory entry, chosen by number, with 0xE5 and the fill byte.
bool WipeDirectoryEntry(QuarrySession& session);
// Overwrite every free block with the fill byte.
bool WipeFreeSpace(QuarrySession& session);

// The dump lines of one block's bytes.
std::string DumpBlockText(int block, const std::uint8_t* bytes, int count);
