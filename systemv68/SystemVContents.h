// A System V file's contents, walked block by block through its block map: shown as text (line
// feeds break lines, other control bytes are named), dumped in lines of 16 bytes with the
// file offset and block index, or saved to a host file byte for byte. Also a single block of
// the volume, dumped as stored.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

class DisplaySink;
class EventHook;
class Prompts;
class modTamarin68;

// The first count bytes of a block as text.
std::string TextDisplay(std::span<const std::uint8_t> block, std::int64_t count);

// The inode summary and the file's bytes as text; a directory shows its directory text.
// Processes events after every block and stops when the hook's abort flag is set.
void TextFile(modTamarin68& volume, DisplaySink& sink, EventHook& hook, std::int32_t inode);

// The inode summary and a dump of every block of the file, the last one whole.
void DumpFile(modTamarin68& volume, DisplaySink& sink, EventHook& hook, std::int32_t inode);

enum class SaveResult {
    Saved,     // all Size bytes written
    Short,     // a block could not be read: the bytes before it were written
    Refused,   // no such inode, a free one, or a negative size: nothing written
    HostError, // the host file could not be written: nothing left behind
};

// Writes exactly the file's Size bytes to path (an existing file is replaced). Every outcome
// other than Saved is reported in a message box.
SaveResult SaveFile(modTamarin68& volume, Prompts& prompts, std::int32_t inode,
                    const std::string& path);

// Block block of the volume dumped with plain offsets; false when it cannot be read.
bool DisplayBlock(modTamarin68& volume, DisplaySink& sink, std::int32_t block);

// The name the save dialogs suggest for a list line: the line's text with "/" made "_".
std::string SuggestedSaveName(const std::string& listText);
