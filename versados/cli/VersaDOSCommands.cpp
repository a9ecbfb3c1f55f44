#include "VersaDOSCommands.h"

#include "KestrelJson.h"
#include "OpenWith.h"
#include "ParseOffset.h"
#include "VersaDOSDamage.h"
#include "cli/ImageDiskCommands.h"
#include "cli/ProgressLine.h"
#include "cli/ReadCounter.h"
#include "cli/SaveAllImages.h"
#include "modInitFileOptions.h"

#include <filesystem>
#include <memory>

namespace {

struct Session {
    Session(CommandContext& context, ImageOpener& opener, const std::string& image,
            const std::string& container)
        : session(context.prompts, context.hook), image(image), hook(context.hook) {
        context.prompts.AddQuietTitle("IMD File will Open ");
        opener.Choices().container = container;
        StringSink report;
        const OpenOutcome outcome = session.Open(image, opener, report);
        if (outcome == OpenOutcome::Failed) throw CommandError("");
        isVersaDOS = outcome == OpenOutcome::Opened;
        volumeReport = report.Text();
    }
    // The end of a command that did its work: sectors that could not be read on the way make
    // the output incomplete, and the command a failure.
    void Complete() {
        const std::int64_t failed = session.Disk()->FailedReads();
        if (failed > 0) throw CommandError(IncompleteText(image, failed));
    }
    // Commands other than the volume report need a VersaDOS volume with its catalog loaded.
    void RequireVersaDOS(const std::string& image) {
        if (!isVersaDOS)
            throw CommandError(WithOpenWithHint(
                image + ": not a VersaDOS volume (see the volume command)", image));
        session.LoadCatalog();
    }
    // A saved file that damaged sectors hit is not whole: said, and the command a failure.
    void RequireWhole(int index) {
        const std::string damaged = SavedKestrelDamage(session, index, image, hook);
        if (!damaged.empty()) throw CommandError(damaged);
    }
    int File(const std::string& name) {
        const int index = session.FindFile(name);
        if (index < 0) throw CommandError("no file " + name + " (give USER.CATALOG.NAME.EXT)");
        return index;
    }
    KestrelSession session;
    std::string image;
    EventHook& hook;
    bool isVersaDOS = false;
    std::string volumeReport;
};

bool OnOff(const std::string& value) {
    return value == "on";
}

// The folder of a save of many files, made when missing.
void MakeTarget(const std::string& target) {
    std::error_code ec;
    std::filesystem::create_directories(target, ec);
    if (ec || !std::filesystem::is_directory(target, ec))
        throw CommandError("Save All: " + target + " cannot be made a folder" +
                           (ec ? ": " + ec.message() : ""));
}

} // namespace

// The values of every option; one command runs per invocation.
struct Options {
    std::string image, container, catalog, file, out, target, block;
    int form = 0;
    std::string view = "directory", expand = "on", crlf = "on";
    std::string delimiter, recordExpand;
    bool littleEndian = false;
    bool json = false;
    std::vector<std::string> more; // save-all: further images, then the target folder
};

namespace {

// save-all IMAGE IMAGE... DIR: each image's files below DIR/<image name>/.
void SaveAllOfImages(CommandContext& ctx, ImageOpener& opener, const Options& o) {
    std::vector<std::string> images{o.image};
    images.insert(images.end(), o.more.begin(), o.more.end() - 1);
    MakeTarget(o.more.back());
    const auto save = [&ctx, &opener, &o](const std::string& image, const std::string& folder) {
        ImageSaveOutcome outcome;
        try {
            Session s(ctx, opener, image, o.container);
            s.RequireVersaDOS(image);
            outcome.opened = true;
            StringSink lines;
            const SaveAllSummary summary = s.session.SaveAll(
                folder, lines, 0, DamageLookupOf(ScanKestrelDamage(image, ctx.hook)));
            outcome.saved = summary.saved;
            outcome.failed = summary.failed;
            outcome.damaged = summary.damaged;
            s.Complete();
        } catch (const CommandError& e) {
            outcome.problem = *e.what() ? e.what() : RefusalText(image);
        }
        return outcome;
    };
    if (!SaveAllImages(images, o.more.back(), ctx.out, ctx.hook, save)) throw CommandError("");
}

} // namespace

void AddVersaDOSCommands(CLI::App& app, CommandContext& ctx, std::shared_ptr<ImageOpener> opener) {
    auto o = std::make_shared<Options>();
    auto addImage = [o](CLI::App* sub) {
        sub->add_option("IMAGE", o->image, "Disk image (ImageDisk, raw dump, any libdsk type)")
            ->required();
        AddContainerOption(sub, o->container);
    };

    auto* volume = app.add_subcommand("volume", "The Volume ID and configuration report");
    addImage(volume);
    volume->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        if (s.isVersaDOS)
            s.session.ShowVolume(ctx.out);
        else
            ctx.out.Append(s.volumeReport);
        s.Complete();
    });

    auto* catalogs = app.add_subcommand("catalogs", "The catalogs of the volume, one a line");
    addImage(catalogs);
    catalogs->add_flag("--json", o->json, "One JSON document (see docs/json.md)");
    catalogs->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        if (o->json)
            PrintJson(ctx.out, KestrelCatalogsJson(s.session, o->image, ctx.prompts, ctx.hook));
        else
            for (const ListItem& item : s.session.Catalogs())
                ctx.out.Append(item.text + "\r\n");
        s.Complete();
    });

    auto* files = app.add_subcommand("files", "The files of one catalog, one a line");
    addImage(files);
    files->add_option("CATALOG", o->catalog, "As listed (:0007.UTIL.) or as 7.UTIL")->required();
    files->add_flag("--json", o->json, "One JSON document (see docs/json.md)");
    files->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        const int index = s.session.FindCatalog(o->catalog);
        if (index < 0) throw CommandError("no catalog " + o->catalog);
        s.session.SelectCatalog(index);
        if (o->json)
            PrintJson(ctx.out, KestrelFilesJson(s.session, o->image, ctx.prompts, ctx.hook));
        else
            for (const ListItem& item : s.session.Files())
                ctx.out.Append(item.text + "\r\n");
        s.Complete();
    });

    auto* dir = app.add_subcommand("dir", "The whole-disk listing");
    addImage(dir);
    dir->add_option("--form", o->form, "Listing form 0-3")->check(CLI::Range(0, 3));
    dir->add_flag("--json", o->json, "One JSON document (see docs/json.md)");
    dir->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        if (o->json)
            PrintJson(ctx.out, KestrelDirJson(s.session, o->image, ctx.prompts, ctx.hook));
        else
            s.session.ShowListing(o->form, ctx.out);
        s.Complete();
    });

    auto* show = app.add_subcommand("show", "The view of one file");
    addImage(show);
    show->add_option("FILE", o->file, "USER.CATALOG.NAME.EXT, as 7.UTIL.AB.SA")->required();
    show->add_option("--view", o->view, "directory, display, dump or volume")
        ->check(CLI::IsMember({"directory", "display", "dump", "volume"}));
    show->add_option("--expand-spaces", o->expand, "on or off")
        ->check(CLI::IsMember({"on", "off"}));
    show->add_option("--crlf", o->crlf, "on or off")->check(CLI::IsMember({"on", "off"}));
    show->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        const int index = s.File(o->file);
        ctx.out.KeepLineBreaks(o->view == "display");
        const int option = o->view == "display"  ? ViewDisplay
                           : o->view == "dump"   ? ViewDump
                           : o->view == "volume" ? ViewVolumeInfo
                                                 : ViewDirectory;
        s.session.ShowFile(index, option, OnOff(o->expand), OnOff(o->crlf), ctx.out);
        s.Complete();
    });

    auto* block = app.add_subcommand("block", "The dump of one logical sector");
    addImage(block);
    block->add_option("N", o->block, "Logical sector number")->required()->check(NumberCheck());
    block->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        const std::int64_t n = ParseOffset(o->block);
        if (n > s.session.HighestBlock())
            throw CommandError("Select Block: " + o->block + " is outside 0 to " +
                               std::to_string(s.session.HighestBlock()));
        if (!s.session.ShowBlock(static_cast<std::int32_t>(n), ctx.out)) throw CommandError("");
        s.Complete();
    });

    auto* saveBlocks = app.add_subcommand("save-blocks", "The raw data blocks of a file");
    addImage(saveBlocks);
    saveBlocks->add_option("FILE", o->file, "USER.CATALOG.NAME.EXT")->required();
    saveBlocks->add_option("OUT", o->out, "Host file to write, - for standard output")->required();
    saveBlocks->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        const int index = s.File(o->file);
        WriteProgress progress("Save", 0);
        if (!s.session.SaveDataBlocks(index, o->out)) throw CommandError("");
        s.Complete();
        s.RequireWhole(index);
    });

    auto* saveRecords = app.add_subcommand("save-records", "The records of a file");
    addImage(saveRecords);
    saveRecords->add_option("FILE", o->file, "USER.CATALOG.NAME.EXT")->required();
    saveRecords->add_option("OUT", o->out, "Host file to write, - for standard output")->required();
    saveRecords->add_option("--delimiter", o->delimiter, "length, data or crlf")
        ->check(CLI::IsMember({"length", "data", "crlf"}));
    saveRecords->add_option("--expand-spaces", o->recordExpand, "on or off")
        ->check(CLI::IsMember({"on", "off"}));
    saveRecords->add_flag("--little-endian", o->littleEndian, "Length words low byte first");
    saveRecords->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        const int index = s.File(o->file);
        const DirEntry& entry = *s.session.FileEntry(index);
        // What the save options dialog proposes for the extension, then the options given.
        dialogSaveFileModel dialog;
        dialog.Show(Trim(entry.fileName), Trim(entry.extension));
        if (o->delimiter == "length") dialog.SelectDelimiter(AddLength);
        if (o->delimiter == "data") dialog.SelectDelimiter(DataOnly);
        if (o->delimiter == "crlf") dialog.SelectDelimiter(AddCRLF);
        if (!o->recordExpand.empty()) dialog.SetExpandSpaces(OnOff(o->recordExpand));
        dialog.SetLittleEndian(o->littleEndian);
        WriteProgress progress("Save", 0);
        if (!s.session.SaveRecords(index, o->out, dialog.Options())) throw CommandError("");
        s.Complete();
        s.RequireWhole(index);
    });

    auto* damage = app.add_subcommand("damage", "Every damaged sector and the files it hits");
    addImage(damage);
    damage->callback([&ctx, o] {
        if (!ShowKestrelDamage(o->image, ctx.out, ctx.prompts, ctx.hook)) throw CommandError("");
    });

    auto* saveAll = app.add_subcommand(
        "save-all", "Every file of the volume into a folder tree; of several images, each into "
                    "DIR/<image name>/");
    addImage(saveAll);
    saveAll->add_option("DIR", o->more, "[IMAGE...] DIR: further images, then the target folder")
        ->required();
    saveAll->callback([&ctx, opener, o] {
        if (o->more.size() > 1) return SaveAllOfImages(ctx, *opener, *o);
        o->target = o->more.front();
        Session s(ctx, *opener, o->image, o->container);
        s.RequireVersaDOS(o->image);
        MakeTarget(o->target);
        WriteProgress progress("Save All", 0);
        const SaveAllSummary summary = s.session.SaveAll(
            o->target, ctx.out, 0, DamageLookupOf(ScanKestrelDamage(o->image, ctx.hook)));
        if (summary.failed > 0 || summary.damaged > 0) throw CommandError("");
        s.Complete();
    });
}
