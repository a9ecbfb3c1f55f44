#include "HeadlessPaths.h"

#include "DisplaySink.h"
#include "EventHook.h"
#include "KestrelSession.h"
#include "ScriptedPrompts.h"

#include <cstdint>

namespace {

// Files shown and saved one by one per volume: files of a damaged catalog often all span the
// whole disk, and a user would not open every one either (Save All still takes them all).
constexpr int MaxFiles = 8;

void ExerciseFiles(KestrelSession& session, DisplaySink& sink, const std::string& saves,
                   int& shown) {
    const int files = static_cast<int>(session.Files().size());
    for (int f = 0; f < files && shown < MaxFiles; ++f, ++shown) {
        const bool odd = f % 2 == 1;
        for (int view : {ViewDirectory, ViewDisplay, ViewDump, ViewVolumeInfo})
            session.ShowFile(f, view, odd, !odd, sink);
        RecordOptions options = DefaultRecordOptions(*session.FileEntry(f));
        options.lengthPrefix = options.lengthPrefix || odd;
        options.littleEndian = odd;
        if (odd)
            session.SaveDataBlocks(f, saves + "/blocks.bin");
        else
            session.SaveRecords(f, saves + "/records.bin", options);
    }
}

void Explore(KestrelSession& session, std::unique_ptr<SectorSource> disk, const std::string& saves,
             const std::string& target) {
    StringSink sink;
    if (!disk ||
        session.Attach(std::make_unique<OpenedImage>(std::move(disk)), sink) != OpenOutcome::Opened)
        return;
    session.ShowVolume(sink);
    session.LoadCatalog();
    for (int form = 0; form < 4; ++form)
        session.ShowListing(form, sink);
    const int catalogs = static_cast<int>(session.Catalogs().size());
    int shown = 0;
    for (int c = 0; c < catalogs; ++c) {
        session.SelectCatalog(c);
        ExerciseFiles(session, sink, saves, shown);
    }
    const std::int64_t highest = session.HighestBlock();
    for (std::int64_t block : {std::int64_t{0}, highest, highest + 1})
        if (block <= INT32_MAX) session.ShowBlock(static_cast<std::int32_t>(block), sink);
    session.SaveAll(target, sink, 0);
}

} // namespace

void KestrelPath(std::unique_ptr<SectorSource> disk, const std::string& saves,
                 const std::string& target) {
    ScriptedPrompts prompts;
    EventHook hook;
    KestrelSession session(prompts, hook);
    Explore(session, std::move(disk), saves, target);
}

void KestrelImagePath(const std::string& image, const std::string& saves,
                      const std::string& target) {
    ScriptedPrompts prompts;
    EventHook hook;
    KestrelSession session(prompts, hook);
    Explore(session, KestrelImageOpener().Open(image, prompts), saves, target);
}
