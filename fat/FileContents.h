// A row's bytes: its cluster chain read in runs of consecutive clusters, shown as text or as a
// dump, or written to a host file. A file stops at its size; a directory runs through its whole
// chain. A deleted row has no chain left: it shows the clusters recovery would take.
#pragma once

#include "HostError.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class DisplaySink;
class EventHook;
class FatVolume;
struct DirEntry;

enum class LoopEnd { Complete, Aborted, ReadError };

// Calls process with each cluster's bytes (a file's last cluster cut to its size), lets the
// window process its events after each cluster and stops when the abort flag is set.
LoopEnd ChainByteLoop(
    FatVolume& volume, const DirEntry& row, EventHook& hook,
    const std::function<void(std::int32_t cluster, std::span<const std::uint8_t>)>& process);

// The text of one byte in the text view: printable characters, CR, LF and TAB as they are,
// any other byte as "<XX>".
std::string TextOfByte(std::uint8_t b);

void ShowText(FatVolume& volume, const DirEntry& row, DisplaySink& sink, EventHook& hook);
void ShowDump(FatVolume& volume, const DirEntry& row, DisplaySink& sink, EventHook& hook);

struct SaveResult {
    LoopEnd End = LoopEnd::Complete;
    HostError Error; // set when the host file could not be written
    // Why the file could not be read whole: a cluster that cannot be read, or a chain that ends
    // before the file's size (End is then ReadError too).
    std::string Problem;
    // Set when bytes of the saved file come from sectors the container could not read
    // ("NAME: saved with damaged bytes 0-511 of 3000").
    std::string Damaged;
    bool Saved() const { return End == LoopEnd::Complete && !Error; }
};

// Writes the row's bytes to path, replacing a file of that name. A save that fails, is aborted
// or finds the chain shorter than the file leaves no file behind.
SaveResult SaveEntry(FatVolume& volume, const DirEntry& row, const std::string& path,
                     EventHook& hook);
// The same with the row's bytes taken from the given clusters instead of its chain.
SaveResult SaveClusters(FatVolume& volume, const DirEntry& row,
                        const std::vector<std::int32_t>& clusters, const std::string& path,
                        EventHook& hook);
