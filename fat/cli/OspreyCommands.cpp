#include "OspreyCommands.h"

#include "FatDamage.h"
#include "FatExplorer.h"
#include "ParseOffset.h"
#include "Partitions.h"
#include "RawDrive.h"
#include "cli/ReadCounter.h"
#include "modFile.h"

#include <filesystem>
#include <map>
#include <memory>

namespace {

// What every command is given: the image and its partition offset.
struct ImageArguments {
    std::string image;
    std::string offset = "0";
};

void AddImageArguments(CLI::App* command, ImageArguments& args) {
    command->add_option("IMAGE", args.image, "The flat disk image")->required();
    command
        ->add_option("--offset", args.offset,
                     "Byte offset of the FAT volume in the image (decimal, 0x/&H hex, K or M)")
        ->check(NumberCheck());
}

// An offset at or beyond the end of the image finds nothing there: said as such rather than as
// an empty boot sector. (An image that cannot be opened is reported by the command's own open.)
std::int64_t OffsetInImage(const ImageArguments& args) {
    const std::int64_t offset = ParseOffset(args.offset);
    RawDrive probe;
    if (offset > 0 && !probe.OpenDrive(args.image) && offset >= probe.ImageLength())
        throw CommandError("--offset " + args.offset + " is not inside " + args.image + " (" +
                           std::to_string(probe.ImageLength()) + " bytes)");
    return offset;
}

// Opens the image as the window does; a refused image ends the command with status 1 (the
// refusal itself has gone to standard error).
std::unique_ptr<FatExplorer> OpenExplorer(CommandContext& context, const ImageArguments& args) {
    auto explorer = std::make_unique<FatExplorer>(context.prompts, context.out, context.hook);
    explorer->SetPartitionOffset(OffsetInImage(args));
    if (explorer->OpenImage(args.image) != FatExplorer::OpenResult::Opened) throw CommandError("");
    return explorer;
}

// The end of a command that did its work: reads of the image that failed on the way make the
// output incomplete, and the command a failure.
void Complete(const FatExplorer& explorer, const ImageArguments& args) {
    if (explorer.Slot().FailedReads > 0)
        throw CommandError(IncompleteText(args.image, explorer.Slot().FailedReads));
}

int RowAt(FatExplorer& explorer, const std::string& path, bool enterLast) {
    std::string problem;
    const std::optional<int> row = explorer.GoToPath(path, enterLast, problem);
    if (!row) throw CommandError(problem);
    return *row;
}

} // namespace

namespace {

// The options of every command; they live as long as the callbacks that read them.
struct Arguments {
    std::map<std::string, ImageArguments> image;
    std::string path = "/";
    std::string output;
    std::string view = "entry";
    bool detail = false;
    bool recursive = false;
};

} // namespace

void AddOspreyCommands(CLI::App& app, CommandContext& context) {
    const auto a = std::make_shared<Arguments>();

    CLI::App* boot = app.add_subcommand("boot", "The boot sector text and the raw boot sector");
    AddImageArguments(boot, a->image["boot"]);
    boot->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["boot"]);
        explorer->ShowBootSector();
        Complete(*explorer, a->image["boot"]);
    });

    CLI::App* fat = app.add_subcommand("fat", "The FAT 0 text");
    AddImageArguments(fat, a->image["fat"]);
    fat->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["fat"]);
        explorer->ShowFat0();
        Complete(*explorer, a->image["fat"]);
    });

    CLI::App* root = app.add_subcommand("root", "The raw root directory");
    AddImageArguments(root, a->image["root"]);
    root->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["root"]);
        explorer->ShowRawRootDirectory();
        Complete(*explorer, a->image["root"]);
    });

    CLI::App* ls = app.add_subcommand("ls", "The list lines of a directory (default /)");
    AddImageArguments(ls, a->image["ls"]);
    ls->add_option("PATH", a->path, "Directory inside the volume, short or long names");
    ls->add_flag("--detail", a->detail, "Print the directory listing instead");
    ls->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["ls"]);
        RowAt(*explorer, a->path, true);
        if (a->detail) {
            explorer->ShowDirectoryListing();
        } else {
            for (const ListLine& line : explorer->List().Lines)
                context.out.Append(line.Text + "\r\n");
        }
        Complete(*explorer, a->image["ls"]);
    });

    CLI::App* show = app.add_subcommand("show", "The view of one entry");
    AddImageArguments(show, a->image["show"]);
    show->add_option("PATH", a->path, "File or directory inside the volume")->required();
    show->add_option("--view", a->view, "entry (default), text or dump")
        ->check(CLI::IsMember({"entry", "text", "dump"}));
    show->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["show"]);
        const int row = RowAt(*explorer, a->path, false);
        context.out.KeepLineBreaks(a->view == "text");
        const DisplayOption option = a->view == "text"   ? DisplayOption::Text
                                     : a->view == "dump" ? DisplayOption::Dump
                                                         : DisplayOption::Entry;
        explorer->ShowRow(row, option);
        Complete(*explorer, a->image["show"]);
    });

    CLI::App* damage = app.add_subcommand("damage", "Every damaged sector and the files it hits");
    AddImageArguments(damage, a->image["damage"]);
    damage->callback([&context, a] {
        const ImageArguments& args = a->image["damage"];
        if (!ShowOspreyDamage(args.image, ParseOffset(args.offset), context.out, context.prompts,
                              context.hook))
            throw CommandError("");
    });

    CLI::App* get = app.add_subcommand("get", "Save File: one file's bytes into OUT");
    AddImageArguments(get, a->image["get"]);
    get->add_option("PATH", a->path, "File inside the volume")->required();
    get->add_option("OUT", a->output, "Host file to write, - for standard output")->required();
    get->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["get"]);
        const int row = RowAt(*explorer, a->path, false);
        if (!explorer->Table().Row(row).IsFile()) throw CommandError(a->path + ": not a file");
        const SaveResult result = explorer->SaveRow(row, a->output);
        if (result.Error) throw CommandError(ErrorReport(result.Error, "Osprey"));
        if (!result.Saved())
            throw CommandError(a->path + ": " +
                               (result.Problem.empty() ? "the file cannot be read from the image"
                                                       : result.Problem));
        Complete(*explorer, a->image["get"]);
        // A saved file that damaged sectors hit is not whole: said, and the command a failure.
        const ImageArguments& args = a->image["get"];
        const std::string damaged = SavedDamageText(
            ScanOspreyDamage(args.image, ParseOffset(args.offset), context.hook), a->path, true);
        if (!damaged.empty()) throw CommandError(damaged);
    });

    CLI::App* saveAll = app.add_subcommand(
        "save-all", "Save All: every file of directory PATH into TARGET/IMAGENAME/PATH");
    AddImageArguments(saveAll, a->image["save-all"]);
    saveAll->add_option("PATH", a->path, "Directory inside the volume")->required();
    saveAll->add_option("TARGET", a->output, "Host folder (made when missing)")->required();
    saveAll->add_flag("--recursive", a->recursive,
                      "Every directory below PATH too, each as a folder");
    saveAll->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["save-all"]);
        if (RowAt(*explorer, a->path, true) < 0 && !a->recursive) return;
        std::error_code ec;
        std::filesystem::create_directories(a->output, ec);
        if (ec || !std::filesystem::is_directory(a->output, ec))
            throw CommandError("Save All: " + a->output + " cannot be made a folder" +
                               (ec ? ": " + ec.message() : ""));
        context.prompts.SetDirectoryAnswer(a->output);
        modFile files(ProgramCopy::Osprey, context.prompts, context.settings);
        const std::string target = files.GetDirName("", "SAVE", "SAVEALL", 0, "Save All");
        const SaveAllResult result =
            a->recursive ? explorer->SaveAllTree(target) : explorer->SaveAllFiles(target);
        if (!result.Problem.empty()) throw CommandError("Save All: " + result.Problem);
        if (result.Failed > 0) throw CommandError("");
        Complete(*explorer, a->image["save-all"]);
    });

    CLI::App* partitions =
        app.add_subcommand("partitions", "The primary partitions of the image's MBR");
    AddImageArguments(partitions, a->image["partitions"]);
    partitions->callback([&context, a] {
        const ImageArguments& args = a->image["partitions"];
        std::string problem;
        const auto entries = ReadPartitionTableOf(args.image, OffsetInImage(args), problem);
        if (!entries) throw CommandError("Partitions: " + problem);
        context.out.Append(PartitionText(*entries));
    });
}
