#include "HeadlessPaths.h"

#include "BusyPointer.h"
#include "DisplaySink.h"
#include "EventHook.h"
#include "FileCommands.h"
#include "QuarrySession.h"
#include "ScriptedPrompts.h"
#include "SettingsStore.h"
#include "modFile.h"

#include <vector>

namespace {

// Each file command scans the whole directory again (2048 entries on the largest formats), as
// one click of the window does; a directory of random bytes lists hundreds of files.
constexpr std::size_t MaxFiles = 8;

} // namespace

void QuarryReadingPath(const std::string& image, const std::string& uploads) {
    StringSink out;
    ScriptedPrompts prompts;
    EventHook hook;
    BusyPointer busy;
    QuarrySession session(prompts, hook, busy);
    if (session.Open(image, QuarryOpener(), out) != OpenOutcome::Opened) return;
    for (bool sorted : {false, true}) {
        session.directory().SetSorted(sorted);
        session.ShowDirectory(false, out);
        session.ShowDirectory(true, out);
    }
    NoSettings settings;
    modFile files(ProgramCopy::Quarry, prompts, settings);
    const std::vector<std::string> names = session.directory().FileList();
    for (std::size_t i = 0; i < names.size() && i < MaxFiles; ++i) {
        const std::string& name = names[i];
        session.SelectFile(name);
        TypeFile(session, out);
        DumpFile(session, out);
        prompts.fileAnswers.push_back({uploads + "/upload.bin", false});
        UploadFile(session, files);
    }
    session.Close();
}
