#include "VersaDOSCommands.h"

#include "ParseOffset.h"
#include "VersaDOSDamage.h"
#include "cli/ReadCounter.h"
#include "modInitFileOptions.h"

#include <filesystem>
#include <memory>

namespace {

struct Session {
    Session(CommandContext& context, const ImageOpener& opener, const std::string& image)
        : session(context.prompts, context.hook), image(image), hook(context.hook) {
        context.prompts.AddQuietTitle("IMD File will Open ");
        std::unique_ptr<SectorSource> disk = opener(image, context.prompts);
        if (!disk) throw CommandError("");
        auto counted = std::make_unique<ReadCounter>(std::move(disk));
        reads = counted.get();
        StringSink report;
        isVersaDOS = session.Attach(std::move(counted), report);
        volumeReport = report.Text();
    }
    // The end of a command that did its work: sectors that could not be read on the way make
    // the output incomplete, and the command a failure.
    void Complete() const {
        if (reads->Failed() > 0) throw CommandError(IncompleteText(image, reads->Failed()));
    }
    // Commands other than the volume report need a VersaDOS volume with its catalog loaded.
    void RequireVersaDOS(const std::string& image) {
        if (!isVersaDOS)
            throw CommandError(image + ": not a VersaDOS volume (see the volume command)");
        session.LoadCatalog();
    }
    // A saved file that damaged sectors hit is not whole: said, and the command a failure.
    void RequireWhole(int index) {
        const std::string& catalog = session.Catalogs()
                                         .at(static_cast<std::size_t>(session.SelectedCatalog()))
                                         .text; // ":0007.UTIL."
        const std::string name = catalog.substr(1) + Trim(session.FileEntry(index)->fileName) +
                                 (Trim(session.FileEntry(index)->extension).empty()
                                      ? ""
                                      : "." + Trim(session.FileEntry(index)->extension));
        const std::string damaged = SavedDamageText(ScanKestrelDamage(image, hook), name, false);
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
    ReadCounter* reads = nullptr;
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
    std::string image, catalog, file, out, target, block;
    int form = 0;
    std::string view = "directory", expand = "on", crlf = "on";
    std::string delimiter, recordExpand;
    bool littleEndian = false;
};

void AddVersaDOSCommands(CLI::App& app, CommandContext& ctx, ImageOpener opener) {
    auto o = std::make_shared<Options>();
    auto addImage = [o](CLI::App* sub) {
        sub->add_option("IMAGE", o->image, "ImageDisk image")->required();
    };

    auto* volume = app.add_subcommand("volume", "The Volume ID and configuration report");
    addImage(volume);
    volume->callback([&ctx, opener, o] {
        Session s(ctx, opener, o->image);
        if (s.isVersaDOS)
            s.session.ShowVolume(ctx.out);
        else
            ctx.out.Append(s.volumeReport);
        s.Complete();
    });

    auto* catalogs = app.add_subcommand("catalogs", "The catalogs of the volume, one a line");
    addImage(catalogs);
    catalogs->callback([&ctx, opener, o] {
        Session s(ctx, opener, o->image);
        s.RequireVersaDOS(o->image);
        for (const ListItem& item : s.session.Catalogs())
            ctx.out.Append(item.text + "\r\n");
        s.Complete();
    });

    auto* files = app.add_subcommand("files", "The files of one catalog, one a line");
    addImage(files);
    files->add_option("CATALOG", o->catalog, "As listed (:0007.UTIL.) or as 7.UTIL")->required();
    files->callback([&ctx, opener, o] {
        Session s(ctx, opener, o->image);
        s.RequireVersaDOS(o->image);
        const int index = s.session.FindCatalog(o->catalog);
        if (index < 0) throw CommandError("no catalog " + o->catalog);
        s.session.SelectCatalog(index);
        for (const ListItem& item : s.session.Files())
            ctx.out.Append(item.text + "\r\n");
        s.Complete();
    });

    auto* dir = app.add_subcommand("dir", "The whole-disk listing");
    addImage(dir);
    dir->add_option("--form", o->form, "Listing form 0-3")->check(CLI::Range(0, 3));
    dir->callback([&ctx, opener, o] {
        Session s(ctx, opener, o->image);
        s.RequireVersaDOS(o->image);
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
        Session s(ctx, opener, o->image);
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
        Session s(ctx, opener, o->image);
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
        Session s(ctx, opener, o->image);
        s.RequireVersaDOS(o->image);
        const int index = s.File(o->file);
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
        Session s(ctx, opener, o->image);
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
        if (!s.session.SaveRecords(index, o->out, dialog.Options())) throw CommandError("");
        s.Complete();
        s.RequireWhole(index);
    });

    auto* damage = app.add_subcommand("damage", "Every damaged sector and the files it hits");
    addImage(damage);
    damage->callback([&ctx, o] {
        if (!ShowKestrelDamage(o->image, ctx.out, ctx.prompts, ctx.hook)) throw CommandError("");
    });

    auto* saveAll = app.add_subcommand("save-all", "Every file of the volume into a folder tree");
    addImage(saveAll);
    saveAll->add_option("DIR", o->target, "Target folder")->required();
    saveAll->callback([&ctx, opener, o] {
        Session s(ctx, opener, o->image);
        s.RequireVersaDOS(o->image);
        MakeTarget(o->target);
        const DamageScan scan = ScanKestrelDamage(o->image, ctx.hook);
        const SaveAllSummary summary =
            s.session.SaveAll(o->target, ctx.out, 0, [&scan](const CatalogFile& row) {
                return SavedDamageText(
                    scan, DamageMapName(row.userNumber, row.catalogName, row.entry), false);
            });
        if (summary.failed > 0 || summary.damaged > 0) throw CommandError("");
        s.Complete();
    });
}
