#include "cli/IdentifyCommand.h"

#include "Identify.h"
#include "cli/JsonOutput.h"
#include "cli/ProgressLine.h"

#include <memory>

namespace {

Json IdentifyJson(const Identification& id) {
    Json doc;
    doc["image"] = StoredText(id.path);
    doc["read"] = id.read;
    if (!id.read) {
        doc["problem"] = StoredText(id.problem);
        return doc;
    }
    doc["container"] = {{"type", id.containerName}, {"title", id.container}, {"bytes", id.size}};
    if (id.found) {
        doc["fileSystem"] = id.found->fileSystem;
        doc["detail"] = StoredText(id.found->detail);
        doc["offset"] = id.found->offset;
        doc["program"] = id.found->program.empty() ? Json() : Json(id.found->program);
    } else {
        doc["fileSystem"] = "unknown";
        doc["detail"] = nullptr;
        doc["offset"] = nullptr;
        doc["program"] = nullptr;
    }
    doc["damaged"] = !id.damage.empty();
    doc["damagedSectors"] = id.damagedSectors;
    doc["damage"] = id.damage.empty() ? Json() : Json(id.damage);
    return doc;
}

} // namespace

void AddIdentifyCommand(CLI::App& app, CommandContext& ctx, std::vector<FileSystemProbe> probes) {
    struct Options {
        std::vector<std::string> images;
        bool json = false;
    };
    auto o = std::make_shared<Options>();
    auto* identify = app.add_subcommand(
        "identify", "For each image: its container, the file system found and the program "
                    "that opens it");
    identify->add_option("IMAGE", o->images, "Image files")->required();
    identify->add_flag("--json", o->json, "One JSON document a line, one per image");
    identify->callback([&ctx, o, probes] {
        bool allRead = true;
        ProgressLine progress("Identify", static_cast<std::int64_t>(o->images.size()),
                              ProgressLine::Unit::Items);
        std::int64_t done = 0;
        for (const std::string& image : o->images) {
            if (!progress.Update(done) || ctx.hook.Aborted())
                throw CommandError("identify: stopped");
            const Identification id = IdentifyImage(image, probes);
            allRead = allRead && id.read;
            if (o->json)
                PrintJsonLine(ctx.out, IdentifyJson(id));
            else
                ctx.out.Append(IdentifyLine(id) + "\r\n");
            ++done;
        }
        if (!allRead) throw CommandError("");
    });
}
