#include "QuarryCommands.h"
#include "CommandPane.h"
#include "QuarryJson.h"

#include "AddFiles.h"
#include "CpmDamage.h"
#include "CpmNames.h"
#include "ErasedFiles.h"
#include "FileCommands.h"
#include "NewImage.h"
#include "ParseOffset.h"
#include "Prompts.h"
#include "QuarrySession.h"
#include "SystemTracks.h"
#include "UploadAll.h"
#include "cli/ProgressLine.h"
#include "cli/SaveAllImages.h"
#include "cli/TerminalText.h"
#include "modFile.h"
#include "modUtility.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

struct Arguments {
    std::string image;
    // Set when a command met sectors that could not be read: it then fails at its end.
    mutable bool metUnreadSectors = false;
    mutable bool changeLost = false; // said when it happened
    std::string format;
    std::string name;
    std::string other;
    std::string out;
    std::string fill = "0xE5";
    std::string number;
    std::vector<std::string> files;
    std::vector<std::string> targets;
    std::string cpmName;
    int user = 0;
    bool full = false;
    bool sorted = false;
    bool erased = false;
    bool json = false;
    std::vector<std::string> patterns;
    std::string entry;
    std::string size;
    std::string piece;
    std::string sector;
    std::string location;
    std::string sectors;
};

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// "A, B, C" of catalog indexes.
std::string FormatNames(const std::vector<int>& indexes) {
    std::string names;
    for (int index : indexes)
        names += (names.empty() ? "" : ", ") + FormatCatalog::Current().At(index).name;
    return names;
}

// Validators: a bad value is bad usage (exit status 2).
std::string CheckFormat(const std::string& text) {
    if (FindFormat(text)) return "";
    const std::string why = FormatCatalog::Current().WhyNot(text);
    return why.empty() ? "unknown format " + text + " (see quarry formats)"
                       : "format " + text + " cannot be used: " + why;
}
std::string CheckFillByte(const std::string& text) {
    return CheckRange(text, 0, 255, 0, 255).Red() ? "fill byte must be 0..255: " + text : "";
}
std::string CheckNumber(const std::string& text) {
    return ParseOffset(text) < 0 ? "not a number: " + text : "";
}
std::string CheckPiece(const std::string& text) {
    return FindPiece(text) ? "" : "unknown piece " + text + " (boot, bios, ccp, bdos, magic, dcm)";
}

enum class Access { Read, Write };

// A name typed for the image, taken as it stands or refused with the reason (exit status 1).
void CheckTypedName(const std::string& option, const std::string& name) {
    const CpmNameResult cpm = CheckCpmName(name, 0);
    if (!cpm.valid) throw CommandError("quarry: " + option + " " + name + ": " + cpm.reason);
}

// The command line asks no one for a name: a name the image cannot take fails the command with
// the question the window would ask and the argument that gives the name.
NameQuestion NameFromArgument(const std::string& invalid, const std::string& taken) {
    return [invalid, taken](const RefusedName& refused) -> std::optional<std::string> {
        const NameQuestionText question = QuestionText(refused);
        throw CommandError(question.title + ": " + question.prompt + " (give it with " +
                           (refused.why == RefusedName::Why::Exists ? taken : invalid) + ")");
    };
}

// A sector number or count given for insert: the first system sector is 1.
void CheckSectorOption(const std::string& option, const std::string& text) {
    if (!text.empty() && ParseOffset(text) < 1)
        throw CommandError("quarry: " + option + " " + text +
                           ": sectors are counted from 1 (the first system sector is 1)");
}

// "get IMAGE NAME OUT" saves one file; several patterns, or a last argument that is a folder or
// ends in "/", save every matching file into that folder.
bool ManyFileGet(const std::vector<std::string>& targets) {
    std::error_code ec;
    return targets.size() > 2 || targets.back().ends_with('/') ||
           std::filesystem::is_directory(targets.back(), ec);
}

// One command on one image: the session reports into a pane of its own, whose final text (what
// the window would show after the action) goes to standard output, or to out when given.
class ImageCommand {
  public:
    ImageCommand(CommandContext& context, const Arguments& args)
        : ImageCommand(context, args, context.out) {}
    ImageCommand(CommandContext& context, const Arguments& args, DisplaySink& out)
        : m_context(context), m_args(args), m_pane(out),
          m_session(context.prompts, context.hook, context.busy),
          m_files(ProgramCopy::Quarry, context.prompts, context.settings) {}

    ~ImageCommand() {
        m_pane.Finish();
        if (m_session.image().MetUnreadSectors()) m_args.metUnreadSectors = true;
        if (m_session.image().ChangeLost()) m_args.changeLost = true;
    }

    QuarrySession& session() { return m_session; }
    DisplaySink& pane() { return m_pane; }
    modFile& files() { return m_files; }

    void Open(Access access) {
        const CpmImage& image = m_session.image();
        const bool write = access != Access::Read;
        ImageOpener opener = QuarryOpener();
        opener.Choices().readOnly = !write;
        // A write to an image of unknown size is refused below: one message says why. No
        // question is asked: a format the directory does not decide is named with --format.
        m_session.SetFormatSettling(
            {.question = [](const std::vector<std::string>&) { return std::nullopt; },
             .format = m_args.format,
             .warnUnknown = m_args.format.empty() && !write && !m_knownSizeOnly});
        const OpenOutcome outcome = m_session.Open(m_args.image, opener, m_pane);
        // The listing of the open is not what the command shows.
        m_pane.Clear();
        if (outcome == OpenOutcome::Failed) throw CommandError("");
        if (outcome == OpenOutcome::Refused)
            throw CommandError("quarry: " + m_args.image +
                               " fits several formats and its directory does not tell them "
                               "apart: name one with --format (" +
                               FormatNames(image.Candidates()) + ")");
        if (m_args.format.empty() && m_session.Detection() == CpmImage::Detection::Unknown &&
            (write || m_knownSizeOnly))
            throw CommandError("quarry: the size of " + m_args.image +
                               " is no known format: name one with --format");
        if (write && !image.ContainerReadOnlyText().empty())
            throw CommandError("quarry: " + image.ContainerReadOnlyText());
        if (write && image.ReadOnly())
            throw CommandError("quarry: " + m_args.image + " cannot be written");
    }

    // Selects the file named on the command line: its exact name, else the one name that
    // differs only in case.
    void Select(const std::string& argument) {
        const std::optional<std::string> wanted = ParseCpmFileArgument(argument);
        if (!wanted) throw CommandError("quarry: not a CP/M file name: " + argument);
        m_session.directory().ScanDirectory("??", "????????", "???", ListMode::NAMES);
        const std::vector<std::string>& names = m_session.directory().FileList();
        std::vector<std::string> found;
        for (const std::string& n : names)
            if (n == *wanted) found = {n};
        if (found.empty())
            for (const std::string& n : names)
                if (Upper(n) == Upper(*wanted)) found.push_back(n);
        if (found.size() != 1)
            throw CommandError("quarry: " + argument +
                               (found.empty() ? ": no such file on the image"
                                              : ": several files differ only in case; give the "
                                                "exact name"));
        m_session.SelectFile(found.front());
    }

    // The erased file named on the command line ("NAME    .TYP" and its first entry): the one of
    // that name, or the one of them whose first entry is entry.
    std::pair<std::string, int> SelectErased(const std::string& argument,
                                             const std::string& entry) {
        const std::optional<std::string> wanted = ParseCpmFileArgument(argument);
        if (!wanted) throw CommandError("quarry: not a CP/M file name: " + argument);
        const int first = entry.empty() ? -1 : static_cast<int>(ParseOffset(entry));
        const std::vector<ErasedFile> found = FindErasedFiles(m_session, wanted->substr(3), first);
        if (found.empty())
            throw CommandError("quarry: " + argument + ": no erased file of that name" +
                               (entry.empty() ? "" : " starts at entry " + entry) +
                               " (see quarry dir --erased)");
        if (found.size() > 1) {
            std::string entries;
            for (const ErasedFile& file : found)
                entries += (entries.empty() ? "" : ", ") + std::to_string(file.First());
            throw CommandError("quarry: " + argument +
                               ": erased files of that name start at "
                               "entries " +
                               entries + ": give one with --entry");
        }
        return {found.front().name, found.front().First()};
    }

    // Refuses to read an image of unknown size without --format, as a write does.
    void KnownSizeOnly() { m_knownSizeOnly = true; }
    void SetFill() { m_session.SetFillByteText(m_args.fill); }
    // The report of the action goes out as it grows (see CommandPane).
    void StreamReport() { m_pane.StreamAfterNextClear(); }

  private:
    CommandContext& m_context;
    const Arguments& m_args;
    CommandPane m_pane;
    QuarrySession m_session;
    modFile m_files;
    bool m_knownSizeOnly = false;
};

// The shared progress line over the core's progress in records (see ProgressLine.h).
struct RecordProgress {
    explicit RecordProgress(const std::string& what) : line(what, 0, ProgressLine::Unit::Bytes) {}
    Progress Callback() {
        return [this](std::int64_t done, std::int64_t total) {
            line.SetTotal(total * RecordSize);
            line.Update(done * RecordSize);
        };
    }
    ProgressLine line;
};

// The image size, block size, blocks and directory entries of a format.
std::string FormatColumns(const DiskFormat& f) {
    return PadDec(f.ImageSize, 12) + PadDec(f.BlockSize, 12) + PadDec(f.Blocks(), 8) +
           PadDec(f.DirectoryEntries(), 9);
}

// Every format --format takes: Quarry's own ten, then those of each other file of definitions
// under its name. The definitions left out are said with the reason, as message boxes.
void FormatsText(DisplaySink& out, Prompts& prompts) {
    const FormatCatalog& catalog = FormatCatalog::Current();
    std::string text = "Display name  Key         Image size  Block size  Blocks  Entries\r\n";
    std::vector<int> others;
    std::size_t width = 4;
    for (int i = 0; i < catalog.Count(); ++i) {
        const CpmFormat& format = catalog.At(i);
        DiskFormat f;
        f.SetFormat(i);
        if (!format.builtIn) {
            others.push_back(i);
            width = std::max(width, format.name.size());
            continue;
        }
        std::string name = format.name, key = format.key;
        name.resize(14, ' ');
        key.resize(10, ' ');
        text += name + key + FormatColumns(f) + CRLF;
    }
    std::string file;
    for (int i : others) {
        const CpmFormat& format = catalog.At(i);
        if (format.definition.file != file) {
            file = format.definition.file;
            std::string heading = "Name";
            heading.resize(width, ' ');
            text += std::string(CRLF) + file + CRLF + heading +
                    "  Image size  Block size  Blocks  Entries  OS" + CRLF;
        }
        DiskFormat f;
        f.SetFormat(i);
        std::string name = format.name;
        name.resize(width, ' ');
        text += name + FormatColumns(f) + "  " + OsName(format.os) + CRLF;
    }
    out.Append(text);
    for (const DefinitionProblem& problem : catalog.Problems())
        prompts.MessageBox("Disk Definition Left Out", problem.Text());
}

CLI::App* Command(CLI::App& app, const std::string& name, const std::string& help, Arguments& args,
                  bool image = true) {
    CLI::App* sub = app.add_subcommand(name, help);
    if (image) {
        sub->add_option("IMAGE", args.image, "CP/M image file")->required();
        sub->add_option("--format", args.format,
                        "Format (display name or key) instead of the "
                        "one of the image size")
            ->check(CLI::Validator(CheckFormat, "FORMAT"));
    }
    return sub;
}

void AddFillOption(CLI::App* sub, Arguments& args) {
    sub->add_option("--fill", args.fill, "Fill byte (default 0xE5)")
        ->check(CLI::Validator(CheckFillByte, "BYTE"));
}

// save-all IMAGE... DIR: Upload All of each image below DIR/<image name>/. The reports of each
// image's session go nowhere; its refusal goes to standard error as the one-image commands say it.
void SaveAllOfImages(CommandContext& ctx, const Arguments& a) {
    std::vector<std::string> images = a.targets;
    const std::string target = images.back();
    images.pop_back();
    std::vector<CpmPattern> patterns;
    for (const std::string& text :
         a.patterns.empty() ? std::vector<std::string>{"*:*.*"} : a.patterns) {
        const std::optional<CpmPattern> p = ParseCpmPattern(text);
        if (!p) throw CLI::ValidationError("--pattern", "not a CP/M pattern: " + text);
        patterns.push_back(*p);
    }
    std::error_code ec;
    std::filesystem::create_directories(target, ec);
    if (ec || !std::filesystem::is_directory(target, ec))
        throw CommandError("Save All: " + target + " cannot be made a folder" +
                           (ec ? ": " + ec.message() : ""));
    const auto save = [&ctx, &a, &patterns](const std::string& image, const std::string& folder) {
        ImageSaveOutcome outcome;
        Arguments one = a;
        one.image = image;
        StringSink report;
        try {
            ImageCommand cmd(ctx, one, report);
            cmd.KnownSizeOnly();
            cmd.Open(Access::Read);
            outcome.opened = true;
            const UploadAllResult result = UploadAll(cmd.session(), cmd.pane(), patterns, folder);
            outcome.saved = static_cast<std::size_t>(result.saved);
            outcome.failed = static_cast<std::size_t>(result.failed);
            // Files neither saved nor failed: the walk was stopped.
            if (result.saved + result.failed != result.total)
                outcome.problem = "stopped after " + std::to_string(result.saved + result.failed) +
                                  " of " + std::to_string(result.total) + " files";
        } catch (const CommandError& e) {
            outcome.opened = false;
            // Said on standard error as the one-image commands say it; the line says "refused".
            if (*e.what()) std::cerr << TerminalLine(e.what()) << '\n';
            outcome.problem = RefusalText(image);
        }
        return outcome;
    };
    if (!SaveAllImages(images, target, ctx.out, ctx.hook, save)) throw CommandError("");
}

void AddFileCommands(CLI::App& app, CommandContext& ctx, const std::shared_ptr<Arguments>& a) {
    Arguments& args = *a;
    CLI::App* type = Command(app, "type", "The Type text of a file", args);
    type->add_option("NAME", args.name, "CP/M file, [U:]NAME.TYP")->required();
    type->callback([&ctx, a] {
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Read);
        cmd.Select(a->name);
        cmd.StreamReport();
        TypeFile(cmd.session(), cmd.pane());
    });

    CLI::App* dump = Command(app, "dump", "The Dump text of a file", args);
    dump->add_option("NAME", args.name, "CP/M file, [U:]NAME.TYP")->required();
    dump->callback([&ctx, a] {
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Read);
        cmd.Select(a->name);
        cmd.StreamReport();
        DumpFile(cmd.session(), cmd.pane());
    });

    CLI::App* get = Command(app, "get",
                            "Upload: a file into a host file, or every file matching the "
                            "patterns into a folder",
                            args);
    get->add_option("ARGS", args.targets, "NAME OUT, or PATTERN... DIR")
        ->type_name("")
        ->required()
        ->expected(2, -1);
    get->add_flag("--erased", args.erased,
                  "NAME is an erased file: its bytes are saved without restoring it");
    get->add_option("--entry", args.entry,
                    "With --erased: the erased file's first directory "
                    "entry, when several have its name")
        ->check(CLI::Validator(CheckNumber, "E"));
    get->footer("NAME OUT: the CP/M file [U:]NAME.TYP into host file OUT.\n"
                "PATTERN... DIR: every file matching a CP/M pattern (*.COM, 0:*.*, *:*.* for "
                "every user; * fills the rest of a name or type with ?) into folder DIR, into "
                "DIR/U/ for user U when more than one user is asked for. This form is taken for "
                "more than one pattern, or when the last argument is a folder or ends in /.");
    get->callback([&ctx, a] {
        const std::vector<std::string>& targets = a->targets;
        if (a->erased) {
            if (targets.size() != 2) throw CLI::ValidationError("--erased", "takes NAME OUT");
            ImageCommand cmd(ctx, *a);
            cmd.Open(Access::Read);
            const auto [name, first] = cmd.SelectErased(targets.front(), a->entry);
            ctx.prompts.SetFileAnswer(targets.back());
            if (!UploadErasedFile(cmd.session(), cmd.pane(), cmd.files(), name, first))
                throw CommandError("");
            return;
        }
        if (!a->entry.empty()) throw CLI::ValidationError("--entry", "needs --erased");
        if (!ManyFileGet(targets)) {
            ImageCommand cmd(ctx, *a);
            cmd.Open(Access::Read);
            cmd.Select(targets.front());
            ctx.prompts.SetFileAnswer(targets.back());
            WriteProgress progress("Save", 0);
            if (!UploadFile(cmd.session(), cmd.files())) throw CommandError("");
            // A saved file that damaged sectors hit is not whole: said, and a failure.
            const std::string damaged =
                SavedDamageText(ScanQuarryDamage(a->image, a->format, ctx.hook),
                                DamageMapName(targets.front()), true);
            if (!damaged.empty()) throw CommandError(damaged);
            return;
        }
        std::vector<CpmPattern> patterns;
        for (std::size_t i = 0; i + 1 < targets.size(); ++i) {
            const std::optional<CpmPattern> p = ParseCpmPattern(targets[i]);
            if (!p) throw CLI::ValidationError("PATTERN", "not a CP/M pattern: " + targets[i]);
            patterns.push_back(*p);
        }
        std::error_code ec;
        if (!std::filesystem::is_directory(targets.back(), ec))
            throw CommandError("quarry: " + targets.back() + " is not a folder");
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Read);
        WriteProgress progress("Save All", 0);
        const UploadAllResult result =
            UploadAll(cmd.session(), cmd.pane(), patterns, targets.back());
        if (result.total == 0) throw CommandError("quarry: no file on the image matches");
        if (result.failed > 0 || result.saved != result.total) throw CommandError("");
    });

    CLI::App* saveAll = app.add_subcommand(
        "save-all", "Upload All of several images: each image's files into DIR/IMAGENAME/");
    saveAll->add_option("ARGS", args.targets, "IMAGE... DIR")
        ->type_name("")
        ->required()
        ->expected(2, -1);
    saveAll
        ->add_option("--pattern", args.patterns,
                     "CP/M pattern of the files to save (default *:*.*, every file of every "
                     "user); may be given more than once")
        ->type_name("PATTERN");
    saveAll
        ->add_option("--format", args.format,
                     "Format (display name or key) of every image instead of the one of its size")
        ->check(CLI::Validator(CheckFormat, "FORMAT"));
    saveAll->footer("Each image's files go below DIR/IMAGENAME/ (the image's file name made a safe "
                    "folder name), into DIR/IMAGENAME/U/ for user U when the patterns ask for "
                    "more than one user, as quarry get does. One line per image and a total; an "
                    "image that cannot be read is named and counted and the others are still "
                    "saved. Exit status 1 when any image or file failed.");
    saveAll->callback([&ctx, a] { SaveAllOfImages(ctx, *a); });

    CLI::App* ren = Command(app, "ren", "Rename a file", args);
    ren->add_option("OLD", args.name, "CP/M file, [U:]NAME.TYP")->required();
    ren->add_option("NEW", args.other, "New CP/M name, [U:]NAME.TYP")->required();
    ren->callback([&ctx, a] {
        CheckTypedName("NEW", a->other);
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Write);
        cmd.Select(a->name);
        if (!RenameFile(cmd.session(), cmd.pane(), a->other,
                        NameFromArgument("a valid NEW", "a NEW name that is not on the image")))
            throw CommandError("");
    });

    for (const bool wipe : {false, true}) {
        CLI::App* sub = Command(
            app, wipe ? "wipe" : "erase",
            wipe ? "Erase a file and overwrite its blocks and entries" : "Erase a file", args);
        sub->add_option("NAME", args.name, "CP/M file, [U:]NAME.TYP")->required();
        if (wipe) AddFillOption(sub, args);
        sub->callback([&ctx, a, wipe] {
            ImageCommand cmd(ctx, *a);
            cmd.Open(Access::Write);
            cmd.Select(a->name);
            cmd.SetFill();
            if (!EraseFile(cmd.session(), cmd.pane(), wipe)) throw CommandError("");
        });
    }
}

void AddDirectoryCommands(CLI::App& app, CommandContext& ctx, const std::shared_ptr<Arguments>& a) {
    Arguments& args = *a;
    CLI::App* formats =
        Command(app, "formats",
                "Every format: Quarry's own ten, then those of the disk definitions", args, false);
    formats->footer("Besides its own ten formats Quarry reads the disk definitions of cpmtools in "
                    "/etc/cpmtools/diskdefs, or instead the diskdefs files named in the "
                    "environment variable QUARRY_DISKDEFS (separated by ':'). Definitions that "
                    "cannot be used are named on standard error with the reason.");
    formats->callback([&ctx] { FormatsText(ctx.out, ctx.prompts); });

    CLI::App* dir = Command(app, "dir", "The SHORT (or FULL) listing with its summary", args);
    CLI::Option* full = dir->add_flag("--full", args.full, "The FULL listing");
    CLI::Option* sorted = dir->add_flag("--sorted", args.sorted, "Sorted");
    dir->add_flag("--erased", args.erased,
                  "The erased files: first entry, size, blocks and whether each can be undeleted")
        ->excludes(full)
        ->excludes(sorted);
    dir->add_flag("--json", args.json, "One JSON document (see docs/json.md)")->excludes(full);
    dir->callback([&ctx, a] {
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Read);
        CpmDirectory& directory = cmd.session().directory();
        const DiskFormat& format = cmd.session().Format();
        if (a->json && a->erased) {
            PrintJson(ctx.out, QuarryErasedJson(directory.ReadDirectory(), format, a->image));
            return;
        }
        if (a->json) {
            PrintJson(ctx.out, QuarryDirJson(directory, format, a->image, a->sorted));
            return;
        }
        if (a->erased) {
            ShowErasedFiles(cmd.session(), cmd.pane());
            return;
        }
        cmd.session().directory().SetSorted(a->sorted);
        cmd.session().ShowDirectory(a->full, cmd.pane());
    });

    CLI::App* undelete = Command(app, "undelete", "Restore an erased file", args);
    undelete->add_option("NAME", args.name, "Erased file, [U:]NAME.TYP")->required();
    CLI::Option* user =
        undelete
            ->add_option("--user", args.user,
                         "User number of the restored file (default: the U of NAME, else 0)")
            ->check(CLI::Range(0, 15));
    undelete
        ->add_option("--entry", args.entry,
                     "The erased file's first directory entry, when several have its name")
        ->check(CLI::Validator(CheckNumber, "E"));
    undelete->footer("Only the status bytes of the file's directory entries are written, and only "
                     "when the file is whole, none of its blocks is held by a live file and no "
                     "live file of that user has its name (quarry dir --erased shows which can "
                     "be undeleted).");
    undelete->callback([&ctx, a, user] {
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Write);
        const auto [name, first] = cmd.SelectErased(a->name, a->entry);
        int owner = a->user;
        if (user->count() == 0 && a->name.find(':') != std::string::npos)
            owner = LeadingNumber(*ParseCpmFileArgument(a->name));
        if (!UndeleteFile(cmd.session(), cmd.pane(), name, first, owner)) throw CommandError("");
    });

    CLI::App* add = Command(app, "add", "Add host files as dropped files are added", args);
    add->add_option("FILE", args.files, "Host files")->required();
    add->add_option("--user", args.user, "User number of the new files")->check(CLI::Range(0, 15));
    CLI::Option* asName =
        add->add_option("--as", args.cpmName, "CP/M name of the single file, [U:]NAME.TYP");
    add->callback([&ctx, a, asName] {
        const bool named = asName->count() > 0;
        if (named && a->files.size() != 1)
            throw CLI::ValidationError("--as", "names a single FILE");
        if (named) CheckTypedName("--as", a->cpmName);
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Write);
        cmd.session().SetUserNumber(a->user);
        std::optional<std::string> as;
        if (named) as = a->cpmName;
        if (DropFiles(cmd.session(), cmd.pane(), a->files, false, as,
                      NameFromArgument("--as", "--as")) != static_cast<int>(a->files.size()))
            throw CommandError("");
    });

    CLI::App* entry = Command(app, "wipe-entry", "Wipe Directory Entry N", args);
    entry->add_option("N", args.number, "Directory entry number")
        ->required()
        ->check(CLI::Validator(CheckNumber, "N"));
    AddFillOption(entry, args);
    entry->callback([&ctx, a] {
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Write);
        cmd.SetFill();
        if (!WipeDirectoryEntry(cmd.session(), cmd.pane(), ParseOffset(a->number)))
            throw CommandError("");
    });

    CLI::App* free = Command(app, "wipe-free", "Wipe Free Space", args);
    AddFillOption(free, args);
    free->callback([&ctx, a] {
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Write);
        cmd.SetFill();
        if (!WipeFreeSpace(cmd.session(), cmd.pane())) throw CommandError("");
    });
}

void AddImageCommands(CLI::App& app, CommandContext& ctx, const std::shared_ptr<Arguments>& a) {
    Arguments& args = *a;
    CLI::App* damage = Command(app, "damage", "Every damaged sector and the files it hits", args);
    damage->callback([&ctx, a] {
        if (!ShowQuarryDamage(a->image, a->format, ctx.out, ctx.prompts, ctx.hook))
            throw CommandError("");
    });

    CLI::App* make = app.add_subcommand("new", "Create a new image");
    make->add_option("OUT", args.out, "Image file to create")->required();
    CLI::Option* format = make->add_option("--format", args.format, "Format whose size to use")
                              ->check(CLI::Validator(CheckFormat, "FORMAT"));
    make->add_option("--size", args.size, "Size in bytes (a multiple of 128, at most 512M)")
        ->excludes(format);
    AddFillOption(make, args);
    make->callback([&ctx, a] {
        ImageCommand cmd(ctx, *a);
        DialogNewDiskModel dialog;
        DiskFormat f;
        if (!a->format.empty()) f.SetDiskFormat(a->format);
        dialog.SetDiskSizeText(a->size.empty() ? std::to_string(f.ImageSize) : a->size);
        dialog.SetFillByteText(a->fill);
        ctx.prompts.SetFileAnswer(a->out);
        RecordProgress progress("New Image");
        if (!dialog.Create(cmd.files(), ctx.prompts, ctx.hook, progress.Callback()) ||
            !dialog.ReturnValue)
            throw CommandError(ProgressLine::Interrupted()
                                   ? "quarry: New Image stopped: " + a->out + " was not made"
                                   : "");
        AfterNewImage(cmd.session(), cmd.pane(), dialog, a->format);
    });

    CLI::App* fill = Command(app, "fill", "Fill Image", args);
    AddFillOption(fill, args);
    fill->callback([&ctx, a] {
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Write);
        cmd.SetFill();
        RecordProgress progress("Fill Image");
        if (!FillImage(cmd.session(), cmd.pane(), progress.Callback()))
            throw CommandError(ProgressLine::Interrupted()
                                   ? "quarry: Fill Image stopped: " + a->image + " is as it was"
                                   : "");
    });

    CLI::App* insert = Command(app, "insert", "Insert a host file into the system area", args);
    insert->add_option("FILE", args.name, "Host file")->required();
    CLI::Option_group* where = insert->add_option_group("where", "Where the file goes");
    where->add_option("--piece", args.piece, "boot, bios, ccp, bdos, magic or dcm")
        ->check(CLI::Validator(CheckPiece, "PIECE"));
    where->add_option("--sector", args.sector, "1-based sector (record) number")
        ->check(CLI::Validator(CheckNumber, "N"));
    where->add_option("--location", args.location, "Byte offset in the image")
        ->check(CLI::Validator(CheckNumber, "X"));
    where->require_option(1);
    insert->add_option("--sectors", args.sectors, "Sectors reserved (default: the file's)")
        ->check(CLI::Validator(CheckNumber, "N"));
    insert->callback([&ctx, a] {
        CheckSectorOption("--sector", a->sector);
        CheckSectorOption("--sectors", a->sectors);
        ImageCommand cmd(ctx, *a);
        cmd.Open(Access::Write);
        QuarrySession& session = cmd.session();
        std::vector<InsertionRow> rows(1);
        InsertionRow& row = rows.front();
        row.fileName = a->name;
        row.fileSize = GetFileSize(a->name, ctx.prompts);
        if (row.fileSize < 0) throw CommandError("");
        row.inUse = true;
        if (!a->piece.empty()) {
            const PieceKind piece = *FindPiece(a->piece);
            if (!ImagePartEnabled(session.Format(), piece))
                throw CommandError("quarry: " + session.Format().Name() + " has no " +
                                   PieceName(piece) + " piece");
            ApplyImagePart(row, session.Format(), piece);
        } else if (!a->sector.empty()) {
            SectorNumberChanged(row, a->sector);
        } else {
            LocationChanged(row, a->location);
        }
        if (!a->sectors.empty())
            NumberOfSectorsChanged(row, a->sectors);
        else if (a->piece.empty())
            row.numberOfSectors = std::max<std::int64_t>(1, (row.fileSize + 127) / 128);
        if (InsertAll(session, cmd.pane(), rows) != 1) throw CommandError("");
    });
}

} // namespace

std::optional<std::string> ParseCpmFileArgument(const std::string& text) {
    if (text.size() == 15 && text[2] == ':' && text[11] == '.' && IsDigit(text[0]) &&
        IsDigit(text[1]) && LeadingNumber(text) <= 15)
        return text;
    int user = 0;
    std::string rest = text;
    if (const std::size_t colon = text.find(':'); colon != std::string::npos) {
        const std::string digits = text.substr(0, colon);
        if (digits.empty() || digits.size() > 2 || !IsDigit(digits[0]) ||
            (digits.size() == 2 && !IsDigit(digits[1])))
            return std::nullopt;
        user = LeadingNumber(digits);
        if (user > 15) return std::nullopt;
        rest = text.substr(colon + 1);
    }
    const std::size_t dot = rest.rfind('.');
    std::string name = dot == std::string::npos ? rest : rest.substr(0, dot);
    std::string type = dot == std::string::npos ? "" : rest.substr(dot + 1);
    if (name.empty() || name.size() > 8 || type.size() > 3) return std::nullopt;
    name.resize(8, ' ');
    type.resize(3, ' ');
    return TwoDigits(user) + ":" + name + "." + type;
}

void AddQuarryCommands(CLI::App& app, CommandContext& context) {
    // Confirmations are answered OK in command mode; they are shown only with --verbose.
    context.prompts.AddQuietTitle("Delete File");
    context.prompts.AddQuietTitle("Writing Image File");
    auto args = std::make_shared<Arguments>();
    AddDirectoryCommands(app, context, args);
    AddFileCommands(app, context, args);
    AddImageCommands(app, context, args);
    // What a command showed or saved while sectors could not be read is incomplete (the
    // sectors were named as they were met): the command is a failure.
    app.final_callback([args] {
        if (args->changeLost) throw CommandError("");
        if (args->metUnreadSectors)
            throw CommandError("quarry: sectors of the disk could not be read; what was shown "
                               "or saved is incomplete");
    });
}
