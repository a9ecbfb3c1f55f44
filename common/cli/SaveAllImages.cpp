#include "SaveAllImages.h"

#include "HostNames.h"
#include "OpenWith.h"
#include "cli/ProgressLine.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Files(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " file" : " files");
}

} // namespace

std::string RefusalText(const std::string& image) {
    const std::string hint = OpenWithHint(image);
    return hint.empty() ? "refused" : "refused: " + hint;
}

bool SaveAllImages(const std::vector<std::string>& images, const std::string& target,
                   DisplaySink& out, EventHook& hook, const ImageSaver& save) {
    ProgressLine progress("Save All", static_cast<std::int64_t>(images.size()),
                          ProgressLine::Unit::Items);
    FolderNames names;
    std::size_t saved = 0, failed = 0, damaged = 0, bad = 0, done = 0;
    bool stopped = false;
    bool trouble = false; // a problem beyond single files in an image that was read
    for (const std::string& image : images) {
        if (!progress.Update(static_cast<std::int64_t>(done)) || hook.Aborted()) {
            stopped = true;
            break;
        }
        ++done;
        const std::string name = names.Claim(SafeComponent(fs::path(image).filename().string()));
        const std::string folder = (fs::path(target) / name).string();
        std::error_code ec;
        fs::create_directories(folder, ec);
        ImageSaveOutcome outcome;
        if (ec || !fs::is_directory(folder, ec))
            outcome.problem = folder + " cannot be made a folder" + (ec ? ": " + ec.message() : "");
        else
            outcome = save(image, folder);
        saved += outcome.saved;
        failed += outcome.failed;
        damaged += outcome.damaged;
        std::string line = image + ": ";
        if (!outcome.opened) {
            ++bad;
            line += "not saved: " + (outcome.problem.empty() ? "cannot be read" : outcome.problem);
            // A folder made for an image that gave nothing is of no use.
            fs::remove(folder, ec);
        } else {
            line += Files(outcome.saved) + " saved into " + folder;
            if (outcome.failed > 0) line += ", " + Files(outcome.failed) + " failed";
            if (outcome.damaged > 0)
                line += ", " + Files(outcome.damaged) + " saved with damaged bytes";
            if (!outcome.problem.empty()) {
                line += " (" + outcome.problem + ")";
                trouble = true;
            }
        }
        out.Append(line + "\r\n");
        if (ProgressLine::Interrupted()) hook.SetAbort(true);
    }
    std::string total = "Total: " + std::to_string(done) + " of " + std::to_string(images.size()) +
                        " images, " + Files(saved) + " saved";
    if (failed > 0) total += ", " + Files(failed) + " failed";
    if (damaged > 0) total += ", " + Files(damaged) + " saved with damaged bytes";
    if (bad > 0)
        total += ", " + std::to_string(bad) + (bad == 1 ? " image" : " images") + " not read";
    if (stopped) total += ", stopped";
    out.Append(total + "\r\n");
    return !stopped && !trouble && failed == 0 && damaged == 0 && bad == 0;
}
