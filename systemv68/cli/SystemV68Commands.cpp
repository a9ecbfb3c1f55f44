#include "SystemV68Commands.h"

#include "OpenWith.h"
#include "ParseOffset.h"
#include "SystemVDamage.h"
#include "TamarinJson.h"
#include "cli/ImageDiskCommands.h"
#include "cli/ProgressLine.h"
#include "cli/ReadCounter.h"

#include <memory>

namespace {

struct Session {
    Session(CommandContext& context, ImageOpener& opener, const std::string& image,
            const std::string& container)
        : session(context.prompts, context.hook), image(image) {
        opener.Choices().container = container;
        StringSink volumeID;
        const OpenOutcome outcome = session.Open(image, opener, volumeID);
        if (outcome == OpenOutcome::Failed) throw CommandError("");
        explorable = outcome == OpenOutcome::Opened;
    }
    // The end of a command that did its work: sectors that could not be read on the way make
    // the output incomplete, and the command a failure.
    void Complete() const {
        const std::int64_t failed = session.Disk()->FailedReads();
        if (failed > 0) throw CommandError(IncompleteText(image, failed));
    }
    // Everything but the volume ID and the super block needs a file system to explore.
    void RequireExplorable() const {
        if (!explorable)
            throw CommandError(WithOpenWithHint(image + ": not an explorable System V/68 file "
                                                        "system (see the superblock command)",
                                                image));
    }
    // The inode of path, which must be in use.
    std::int32_t Inode(const std::string& path) {
        RequireExplorable();
        std::string error;
        const std::int32_t inode = session.Resolve(path, error);
        const InodeTable& inodes = session.Volume().Inodes();
        // "#0" names no inode: numbering starts at 1.
        if (inode == 0)
            throw CommandError(error.empty() ? path + ": " + inodes.OutOfRangeText(0) : error);
        if (!inodes.InRange(inode)) throw CommandError(path + ": " + inodes.OutOfRangeText(inode));
        if (!inodes.InUse(inode))
            throw CommandError(path + ": iNode " + std::to_string(inode) + " is free");
        return inode;
    }
    TamarinSession session;
    std::string image;
    bool explorable = false;
};

} // namespace

// The values of every option; one command runs per invocation.
struct TamarinOptions {
    std::string image, container, path = "/", out, block, view = "inode";
    bool json = false;
};

void AddSystemV68Commands(CLI::App& app, CommandContext& ctx, std::shared_ptr<ImageOpener> opener) {
    auto o = std::make_shared<TamarinOptions>();
    auto addImage = [o](CLI::App* sub) {
        sub->add_option("IMAGE", o->image, "Disk image (ImageDisk, raw dump, any libdsk type)")
            ->required();
        AddContainerOption(sub, o->container);
    };

    auto* volume = app.add_subcommand("volume", "The volume ID text of sector 0");
    addImage(volume);
    volume->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.session.Volume().ShowVolumeID(ctx.out);
        s.Complete();
    });

    auto* superblock = app.add_subcommand(
        "superblock", "The super block, volume ID and configuration area (Display SuperBlock)");
    addImage(superblock);
    superblock->add_flag("--json", o->json, "One JSON document (see docs/json.md)");
    superblock->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        if (o->json)
            PrintJson(ctx.out, TamarinSuperBlockJson(s.session, o->image));
        else
            s.session.ShowSuperBlock(ctx.out);
        s.Complete();
    });

    auto* inodes = app.add_subcommand("inodes", "Every inode in use (Display iNode Table)");
    addImage(inodes);
    inodes->add_flag("--json", o->json, "One JSON document (see docs/json.md)");
    inodes->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireExplorable();
        if (o->json)
            PrintJson(ctx.out, TamarinInodesJson(s.session, o->image));
        else
            s.session.ShowInodeTable(ctx.out);
        s.Complete();
    });

    auto* ls = app.add_subcommand("ls", "The file list lines of a directory");
    addImage(ls);
    ls->add_option("PATH", o->path, "Directory: /usr/src or #N (default /)");
    ls->add_flag("--json", o->json, "One JSON document (see docs/json.md)");
    ls->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        const std::int32_t inode = s.Inode(o->path);
        if (!s.session.ListDirectory(inode)) throw CommandError(o->path + ": not a directory");
        if (o->json)
            PrintJson(ctx.out, TamarinListJson(s.session, o->image, o->path, inode));
        else
            for (const DirListItem& line : s.session.Lines())
                ctx.out.Append(line.text + "\r\n");
        s.Complete();
    });

    auto* show = app.add_subcommand("show", "The view of one inode");
    addImage(show);
    show->add_option("PATH", o->path, "/etc/passwd or #N")->required();
    show->add_option("--view", o->view, "inode, display or dump (default inode)")
        ->check(CLI::IsMember({"inode", "display", "dump"}));
    show->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        const std::int32_t inode = s.Inode(o->path);
        ctx.out.KeepLineBreaks(o->view == "display");
        const int option = o->view == "display" ? OptionDisplay
                           : o->view == "dump"  ? OptionDump
                                                : OptionInodeInfo;
        s.session.ShowInode(inode, option, ctx.out);
        s.Complete();
    });

    auto* block = app.add_subcommand("block", "The dump of one block (Display Block)");
    addImage(block);
    block->add_option("N", o->block, "Block number")->required()->check(NumberCheck());
    block->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        s.RequireExplorable();
        const std::int64_t n = ParseOffset(o->block);
        const std::int32_t blocks = s.session.Volume().Geometry().VolumeBlocks;
        if (n >= blocks)
            throw CommandError("Select Block: " + o->block + " is outside 0 to " +
                               std::to_string(blocks - 1));
        if (!s.session.ShowBlock(static_cast<std::int32_t>(n), ctx.out)) throw CommandError("");
        s.Complete();
    });

    auto* damage = app.add_subcommand("damage", "Every damaged sector and the files it hits");
    addImage(damage);
    damage->callback([&ctx, o] {
        if (!ShowTamarinDamage(o->image, ctx.out, ctx.prompts, ctx.hook)) throw CommandError("");
    });

    auto* get = app.add_subcommand("get", "Save a file's bytes to the host (Save File)");
    addImage(get);
    get->add_option("PATH", o->path, "/etc/passwd or #N")->required();
    get->add_option("OUT", o->out, "Host file to write, - for standard output")->required();
    get->callback([&ctx, opener, o] {
        Session s(ctx, *opener, o->image, o->container);
        const std::int32_t inode = s.Inode(o->path);
        WriteProgress progress("Save", 0);
        if (s.session.Save(inode, o->out) != SaveResult::Saved) throw CommandError("");
        s.Complete();
        // A saved file that damaged sectors hit is not whole: said, and the command a failure.
        const std::string damaged = SavedTamarinDamage(o->image, inode, o->path, ctx.hook);
        if (!damaged.empty()) throw CommandError(damaged);
    });
}
