#include "OspreyCommands.h"

#include "FatDamage.h"
#include "FatExplorer.h"
#include "OspreyJson.h"
#include "ParseOffset.h"
#include "Partitions.h"
#include "RawDrive.h"
#include "cli/ImageDiskCommands.h"
#include "cli/ProgressLine.h"
#include "cli/ReadCounter.h"
#include "cli/SaveAllImages.h"
#include "modFile.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

namespace {

// What every command is given: the image, its container type and the partition offset.
struct ImageArguments {
    std::string image;
    std::string container;
    std::string offset = "0";
};

void AddImageArguments(CLI::App* command, ImageArguments& args) {
    command->add_option("IMAGE", args.image, "The disk image (flat, a device, or a container)")
        ->required();
    AddContainerOption(command, args.container);
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
    auto explorer = std::make_unique<FatExplorer>(context.prompts, context.hook);
    explorer->SetPartitionOffset(OffsetInImage(args));
    ImageOpener opener = OspreyImageOpener();
    opener.Choices().container = args.container;
    if (explorer->Open(args.image, opener, context.out) != OpenOutcome::Opened)
        throw CommandError("");
    return explorer;
}

// The end of a command that did its work: reads of the image that failed on the way make the
// output incomplete, and the command a failure.
void Complete(const FatExplorer& explorer, const ImageArguments& args) {
    if (explorer.FailedReads() > 0)
        throw CommandError(IncompleteText(args.image, explorer.FailedReads()));
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
    bool deleted = false;
    std::string character;
    bool json = false;
    std::vector<std::string> more; // save-all of several images: the images after the third
};

} // namespace

namespace {

// save-all IMAGE IMAGE... TARGET: the root directory (with --recursive the whole tree) of each
// image below TARGET/<image name>/.
void SaveAllOfImages(CommandContext& context, Arguments& a) {
    std::vector<std::string> images{a.image["save-all"].image, a.path, a.output};
    images.insert(images.end(), a.more.begin(), a.more.end());
    const std::string target = images.back();
    images.pop_back();
    std::error_code ec;
    std::filesystem::create_directories(target, ec);
    if (ec || !std::filesystem::is_directory(target, ec))
        throw CommandError("Save All: " + target + " cannot be made a folder" +
                           (ec ? ": " + ec.message() : ""));
    const auto save = [&context, &a](const std::string& image, const std::string& folder) {
        ImageSaveOutcome outcome;
        ImageArguments args{image, a.image["save-all"].container, a.image["save-all"].offset};
        StringSink lines;
        try {
            FatExplorer explorer(context.prompts, context.hook);
            explorer.SetPartitionOffset(OffsetInImage(args));
            ImageOpener opener = OspreyImageOpener();
            opener.Choices().container = args.container;
            if (explorer.Open(image, opener, lines) != OpenOutcome::Opened) {
                outcome.problem = RefusalText(image);
                return outcome;
            }
            outcome.opened = true;
            const SaveAllResult result = a.recursive ? explorer.SaveAllTree(folder, lines)
                                                     : explorer.SaveAllFiles(folder, lines);
            outcome.saved = static_cast<std::size_t>(result.Saved);
            outcome.failed = static_cast<std::size_t>(result.Failed);
            outcome.damaged = static_cast<std::size_t>(result.Damaged);
            outcome.problem = result.Problem;
            Complete(explorer, args);
        } catch (const CommandError& e) {
            outcome.problem = e.what();
        }
        return outcome;
    };
    if (!SaveAllImages(images, target, context.out, context.hook, save)) throw CommandError("");
}

} // namespace

void AddOspreyCommands(CLI::App& app, CommandContext& context) {
    const auto a = std::make_shared<Arguments>();

    CLI::App* boot = app.add_subcommand("boot", "The boot sector text and the raw boot sector");
    AddImageArguments(boot, a->image["boot"]);
    boot->add_flag("--json", a->json, "One JSON document (see docs/json.md)");
    boot->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["boot"]);
        if (a->json)
            PrintJson(context.out, OspreyBootJson(*explorer, a->image["boot"].image));
        else
            explorer->ShowBootSector(context.out);
        Complete(*explorer, a->image["boot"]);
    });

    CLI::App* fat = app.add_subcommand("fat", "The FAT 0 text");
    AddImageArguments(fat, a->image["fat"]);
    fat->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["fat"]);
        explorer->ShowFat0(context.out);
        Complete(*explorer, a->image["fat"]);
    });

    CLI::App* root = app.add_subcommand("root", "The raw root directory");
    AddImageArguments(root, a->image["root"]);
    root->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["root"]);
        explorer->ShowRawRootDirectory(context.out);
        Complete(*explorer, a->image["root"]);
    });

    CLI::App* ls = app.add_subcommand("ls", "The list lines of a directory (default /)");
    AddImageArguments(ls, a->image["ls"]);
    ls->add_option("PATH", a->path, "Directory inside the volume, short or long names");
    ls->add_flag("--detail", a->detail, "Print the directory listing instead");
    ls->add_flag("--deleted", a->deleted,
                 "List deleted entries too, marked, their lost first character as ?");
    ls->add_flag("--json", a->json, "One JSON document (see docs/json.md)");
    ls->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["ls"]);
        explorer->SetShowDeleted(a->deleted);
        RowAt(*explorer, a->path, true);
        if (a->json) {
            PrintJson(context.out, OspreyListJson(*explorer, a->image["ls"].image, a->path));
        } else if (a->detail) {
            explorer->ShowDirectoryListing(context.out);
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
        explorer->ShowRow(row, option, context.out);
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
        WriteProgress progress("Save", explorer->Table().Row(row).Size);
        const SaveResult result = explorer->SaveRow(row, a->output);
        if (result.Error) throw CommandError(ErrorReport(result.Error, "Osprey"));
        if (!result.Saved())
            throw CommandError(a->path + ": " +
                               (result.Problem.empty() ? "the file cannot be read from the image"
                                                       : result.Problem));
        Complete(*explorer, a->image["get"]);
        // A saved file that damaged sectors hit is not whole: said, and the command a failure.
        if (!result.Damaged.empty()) throw CommandError(result.Damaged);
    });

    CLI::App* saveAll = app.add_subcommand(
        "save-all", "Save All: every file of directory PATH into TARGET/IMAGENAME/PATH");
    AddImageArguments(saveAll, a->image["save-all"]);
    saveAll->add_option("PATH", a->path, "Directory inside the volume")->required();
    saveAll->add_option("TARGET", a->output, "Host folder (made when missing)")->required();
    saveAll->add_option("MORE", a->more,
                        "Several images: IMAGE IMAGE... TARGET, each image's root directory "
                        "into TARGET/<image name>/ (told by PATH naming an existing host file)");
    saveAll->add_flag("--recursive", a->recursive,
                      "Every directory below PATH too, each as a folder");
    saveAll->callback([&context, a] {
        std::error_code exists;
        if (std::filesystem::is_regular_file(a->path, exists)) return SaveAllOfImages(context, *a);
        if (!a->more.empty()) throw CLI::ExtrasError(a->more);
        auto explorer = OpenExplorer(context, a->image["save-all"]);
        if (RowAt(*explorer, a->path, true) < 0 && !a->recursive) return;
        std::error_code ec;
        std::filesystem::create_directories(a->output, ec);
        if (ec || !std::filesystem::is_directory(a->output, ec))
            throw CommandError("Save All: " + a->output + " cannot be made a folder" +
                               (ec ? ": " + ec.message() : ""));
        const std::string target = WithTrailingSlash(a->output);
        WriteProgress progress("Save All", 0);
        const SaveAllResult result = a->recursive ? explorer->SaveAllTree(target, context.out)
                                                  : explorer->SaveAllFiles(target, context.out);
        if (!result.Problem.empty()) throw CommandError("Save All: " + result.Problem);
        if (result.Failed > 0 || result.Damaged > 0) throw CommandError("");
        Complete(*explorer, a->image["save-all"]);
    });

    CLI::App* undelete = app.add_subcommand(
        "undelete", "Recover a deleted file into OUT, its lost first character put back");
    AddImageArguments(undelete, a->image["undelete"]);
    undelete->add_option("PATH", a->path, "Deleted file, e.g. /?EADME.TXT or its long name")
        ->required();
    undelete->add_option("CHAR", a->character, "The first character of its name")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& text) {
                return text.size() == 1 && ValidFirstCharacter(text[0])
                           ? std::string()
                           : "'" + text + "' is not one character that may begin a DOS name";
            },
            "CHAR"));
    undelete->add_option("OUT", a->output, "Host file to write, - for standard output")->required();
    undelete->callback([&context, a] {
        auto explorer = OpenExplorer(context, a->image["undelete"]);
        explorer->SetShowDeleted(true);
        const int row = RowAt(*explorer, a->path, false);
        const DirEntry& entry = explorer->Table().Row(row);
        if (!entry.Deleted || !entry.IsFile()) throw CommandError(a->path + ": not a deleted file");
        // A file written to standard output keeps it to itself: the report goes to standard
        // error then.
        ConsoleSink errors(std::cerr);
        DisplaySink& report = a->output == "-" ? static_cast<DisplaySink&>(errors) : context.out;
        WriteProgress progress("Recover", entry.Size);
        const RecoveryResult result = explorer->RecoverRow(row, a->character[0], a->output, report);
        if (result.Save.Error) throw CommandError(ErrorReport(result.Save.Error, "Osprey"));
        if (!result.Saved())
            throw CommandError(a->path + ": " +
                               (!result.Plan.Problem.empty() ? result.Plan.Problem
                                : result.Save.Problem.empty()
                                    ? "the file cannot be read from the image"
                                    : result.Save.Problem));
        Complete(*explorer, a->image["undelete"]);
    });

    CLI::App* partitions =
        app.add_subcommand("partitions", "The primary partitions of the image's MBR");
    AddImageArguments(partitions, a->image["partitions"]);
    partitions->add_flag("--json", a->json, "One JSON document (see docs/json.md)");
    partitions->callback([&context, a] {
        const ImageArguments& args = a->image["partitions"];
        std::string problem;
        const auto entries = ReadPartitionTableOf(args.image, OffsetInImage(args), problem);
        if (!entries) throw CommandError("Partitions: " + problem);
        if (a->json)
            PrintJson(context.out, OspreyPartitionsJson(*entries, args.image));
        else
            context.out.Append(PartitionText(*entries));
    });
}
