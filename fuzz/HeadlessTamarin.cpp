#include "HeadlessPaths.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "ScriptedPrompts.h"
#include "TamarinSession.h"

#include <algorithm>
#include <cstdint>

namespace {

// Inodes shown per volume, and the largest file whose contents are shown and saved: a sparse
// file of a few blocks may claim gigabytes of holes, which a user may save, but not a fuzzer
// thousands of times a minute.
constexpr std::int32_t MaxInodes = 512;
constexpr std::int64_t MaxContents = 256 * 1024;

void Explore(TamarinSession& session, std::unique_ptr<SectorSource> disk,
             const std::string& saves) {
    StringSink sink;
    if (!disk ||
        session.Attach(std::make_unique<OpenedImage>(std::move(disk)), sink) != OpenOutcome::Opened)
        return;
    session.ShowSuperBlock(sink);
    session.ShowInodeTable(sink);
    const std::int32_t count = session.Volume().Inodes().InodeCount();
    for (std::int32_t inode = 0; inode <= std::min(count + 1, MaxInodes); ++inode) {
        session.ShowInode(inode, OptionInodeInfo, sink);
        session.ShowInode(inode, OptionSuperBlock, sink);
        session.ListDirectory(inode);
        const std::int64_t size = session.Volume().Inodes().Get(inode).Size;
        if (size > MaxContents) continue;
        session.ShowInode(inode, OptionDisplay, sink);
        session.ShowInode(inode, OptionDump, sink);
        session.Save(inode, saves + "/file.bin");
    }
    std::string error;
    for (const char* path : {"/", "/etc/passwd", "/usr/src/hello.c", "#2", "/no/such"})
        session.Resolve(path, error);
    for (std::int32_t block : {-1, 0, 1, 2, 1000000})
        session.ShowBlock(block, sink);
    session.ListDirectory(2);
    for (int line = -1; line <= static_cast<int>(session.Lines().size()); ++line)
        session.SelectedInode(line);
}

} // namespace

void TamarinPath(std::unique_ptr<SectorSource> disk, const std::string& saves) {
    ScriptedPrompts prompts;
    EventHook hook;
    TamarinSession session(prompts, hook);
    Explore(session, std::move(disk), saves);
}

void TamarinImagePath(const std::string& image, const std::string& saves) {
    ScriptedPrompts prompts;
    EventHook hook;
    TamarinSession session(prompts, hook);
    Explore(session, TamarinImageOpener().Open(image, prompts), saves);
}
