#include "SystemVContents.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "OutputFile.h"
#include "Prompts.h"
#include "SystemVDirectory.h"
#include "modTamarin68.h"
#include "modUtility.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Dec(std::int64_t n) {
    return std::to_string(n);
}

// The line that ends a view cut at the volume's size.
std::string LimitNote(const modTamarin68& volume, std::int32_t inode) {
    return std::string(CRLF) + "iNode " + Dec(inode) + " claims " +
           Dec(volume.Inodes().Get(inode).Size) + " bytes, more than the whole volume holds (" +
           Dec(volume.DisplayLimit()) + "); the display stops here." + CRLF;
}

// Walks the file's blocks for a view; onBlock(block index, block) appends the block's text.
// Processes events after every block and stops on abort or at the display limit.
template <typename OnBlock>
void WalkForView(modTamarin68& volume, DisplaySink& sink, EventHook& hook, std::int32_t inode,
                 OnBlock onBlock) {
    const std::int64_t limit = volume.DisplayLimit();
    for (bool restart = true; volume.ReadNextFileBlock(inode, restart); restart = false) {
        onBlock(volume.BlockIndex() - 1, volume.DataBlock());
        hook.ProcessEvents();
        if (hook.Aborted()) return;
        if (volume.BytesRead() >= limit && volume.FileSize() > limit) {
            sink.Append(LimitNote(volume, inode));
            return;
        }
    }
}

} // namespace

std::string TextDisplay(std::span<const std::uint8_t> block, std::int64_t count) {
    const auto n = static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, std::ssize(block)));
    std::string text;
    text.reserve(n + n / 4);
    for (std::size_t i = 0; i < n; ++i)
        AppendCharName(text, block[i], false, CharNameStyle::Tamarin);
    return text;
}

void TextFile(modTamarin68& volume, DisplaySink& sink, EventHook& hook, std::int32_t inode) {
    const InodeTable& inodes = volume.Inodes();
    if (!inodes.InUse(inode)) return;
    if (IsDirectory(inodes.Get(inode))) {
        DisplayDirectory(volume, sink, inode);
        return;
    }
    PieceSink pieces(sink);
    inodes.DisplayInode(pieces, inode);
    const std::int64_t blockSize = volume.Geometry().BlockSize;
    std::int64_t remaining = inodes.Get(inode).Size;
    WalkForView(volume, pieces, hook, inode,
                [&](std::int64_t, std::span<const std::uint8_t> block) {
                    const std::int64_t count = std::min(remaining, blockSize);
                    pieces.Append(TextDisplay(block, count));
                    remaining -= count;
                });
}

void DumpFile(modTamarin68& volume, DisplaySink& sink, EventHook& hook, std::int32_t inode) {
    const InodeTable& inodes = volume.Inodes();
    if (!inodes.InUse(inode)) return;
    PieceSink pieces(sink);
    inodes.DisplayInode(pieces, inode);
    const int blockSize = volume.Geometry().BlockSize;
    WalkForView(volume, pieces, hook, inode,
                [&](std::int64_t index, std::span<const std::uint8_t> block) {
                    // The block header carries a 16-bit block number, as the dump always has.
                    DumpBuffer(pieces, block, blockSize, static_cast<int>(index), blockSize);
                });
}

SaveResult SaveFile(modTamarin68& volume, Prompts& prompts, std::int32_t inode,
                    const std::string& path) {
    const InodeTable& inodes = volume.Inodes();
    if (!inodes.InRange(inode)) {
        prompts.MessageBox("Save File", inodes.OutOfRangeText(inode) + ": nothing was saved.");
        return SaveResult::Refused;
    }
    if (!inodes.InUse(inode)) {
        prompts.MessageBox("Save File", "iNode " + Dec(inode) + " is free: nothing was saved.");
        return SaveResult::Refused;
    }
    if (inodes.Get(inode).Size < 0) {
        prompts.MessageBox("Save File", "iNode " + Dec(inode) + " has a negative size (" +
                                            Dec(inodes.Get(inode).Size) + "): nothing was saved.");
        return SaveResult::Refused;
    }
    OutputFile out;
    if (!out.Open(path)) {
        prompts.MessageBox("Save File", ErrorReport(out.Error(), "Tamarin"));
        return SaveResult::HostError;
    }
    const std::int64_t size = inodes.Get(inode).Size;
    std::int64_t remaining = size;
    bool written = true;
    for (bool restart = true; remaining > 0 && written && volume.ReadNextFileBlock(inode, restart);
         restart = false) {
        const std::span<const std::uint8_t> block = volume.DataBlock();
        const auto count =
            static_cast<std::size_t>(std::min<std::int64_t>(remaining, std::ssize(block)));
        written = out.Write(block.first(count));
        remaining -= static_cast<std::int64_t>(count);
    }
    if (!written || !out.Close()) {
        prompts.MessageBox("Save File", ErrorReport(out.Error(), "Tamarin"));
        out.Discard();
        return SaveResult::HostError;
    }
    if (remaining > 0) {
        prompts.MessageBox("Save File", "Only " + Dec(size - remaining) + " of " + Dec(size) +
                                            " bytes of iNode " + Dec(inode) +
                                            " could be read: " + path + " is shorter.");
        return SaveResult::Short;
    }
    return SaveResult::Saved;
}

bool DisplayBlock(modTamarin68& volume, DisplaySink& sink, std::int32_t block) {
    sink.Clear();
    const VolumeGeometry& g = volume.Geometry();
    if (block < 0 || block >= g.VolumeBlocks) return false;
    if (!volume.ReadBlock(volume.BlockToSector(block), g.SectorsPerBlock)) return false;
    DumpBuffer(sink, volume.DataBlock(), static_cast<int>(volume.DataBlock().size()), -1);
    return true;
}

std::string SuggestedSaveName(const std::string& listText) {
    std::string name = listText;
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}
