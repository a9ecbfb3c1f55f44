#include "Golden.h"
#include "MemoryOpener.h"
#include "SystemV68Commands.h"
#include "TamarinFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Runs one tamarin command in process on volumes built in memory: "sample.imd" is the sample
// volume, "type1.imd" one with 512-byte blocks, anything else is refused as the drive would.
struct Command {
    struct Result {
        std::string out, err;
        bool failed = false;
        bool usage = false; // refused as bad usage (exit status 2)
        std::string error;  // the failure's message
    };
    Result Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        Result result;
        {
            ConsoleSink sink(out);
            ConsolePrompts prompts(err, false);
            EventHook hook;
            BusyPointer busy;
            NoSettings settings;
            ProgramInfo program{"tamarin", "Tamarin", ""};
            CommandContext context{sink, prompts, hook, busy, settings, program};
            CLI::App app("", "tamarin");
            app.require_subcommand(1);
            AddSystemV68Commands(app, context,
                                 FromMemory([&](const std::string& path,
                                                Prompts& p) -> std::unique_ptr<SectorSource> {
                                     if (path == "sample.imd")
                                         return std::make_unique<MemorySectors>(sample, 256);
                                     if (path == "type1.imd")
                                         return std::make_unique<MemorySectors>(type1, 256);
                                     p.MessageBox("Open IMD Error ", "Not an IMD file");
                                     return nullptr;
                                 }));
            args.insert(args.begin(), "tamarin");
            std::vector<const char*> argv;
            for (const std::string& a : args)
                argv.push_back(a.c_str());
            try {
                app.parse(static_cast<int>(argv.size()), argv.data());
            } catch (const CommandError& e) {
                result.failed = true;
                result.error = e.what();
            } catch (const CLI::ParseError& e) {
                result.usage = true;
                result.error = e.what();
            }
        }
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    SampleInodes inodes = TheSample().n;
    ByteString sample = TheSample().image;
    ByteString type1 = [] {
        SystemV68Builder b = SampleSystemV68();
        b.fsType = 1;
        return b.Build();
    }();
};

// The report as the window shows it, with the line ends of standard output.
std::string AsOutput(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
}

} // namespace

TEST(Commands, ReportsEqualTheWindowsText) {
    Command c;
    TamarinFixture t(c.sample);
    ASSERT_TRUE(t.Open());

    t.volume.ShowVolumeID(t.sink);
    EXPECT_EQ(c.Run({"volume", "sample.imd"}).out, AsOutput(t.Take()));
    t.volume.ShowSuperBlockReport(t.sink);
    EXPECT_EQ(c.Run({"superblock", "sample.imd"}).out, AsOutput(t.Take()));
    t.volume.Inodes().DisplayInodeTable(t.sink, t.hook);
    EXPECT_EQ(c.Run({"inodes", "sample.imd"}).out, AsOutput(t.Take()));

    const Command::Result ls = c.Run({"ls", "sample.imd"});
    EXPECT_EQ(ls.out, "(.)\n(..)\n(etc)\n(bin)\nempty\nsmall\nbig\nholes\nsparse\nabcdefghijklmn\n"
                      "(dev)\n(usr)\n");
    EXPECT_EQ(c.Run({"ls", "sample.imd", "/usr/src"}).out, "(.)\n(..)\nhello.c\n");
    EXPECT_EQ(c.Run({"ls", "sample.imd", "#" + std::to_string(c.inodes.dev)}).out,
              "(.)\n(..)\ntty0\nfd0\nfifo\n");

    t.volume.Inodes().DisplayInodeFull(t.sink, c.inodes.passwd);
    EXPECT_EQ(c.Run({"show", "sample.imd", "/etc/passwd"}).out, AsOutput(t.Take()));
    TextFile(t.volume, t.sink, t.hook, c.inodes.passwd);
    const std::string display =
        c.Run({"show", "sample.imd", "/etc/passwd", "--view", "display"}).out;
    EXPECT_EQ(display, AsOutput(t.Take()));
    EXPECT_NE(display.find("/bin/sh\ndaemon"), std::string::npos);
    DumpFile(t.volume, t.sink, t.hook, c.inodes.small);
    EXPECT_EQ(c.Run({"show", "sample.imd", "/small", "--view", "dump"}).out, AsOutput(t.Take()));
    DisplayDirectory(t.volume, t.sink, c.inodes.usr);
    EXPECT_EQ(c.Run({"show", "sample.imd", "/usr", "--view", "display"}).out, AsOutput(t.Take()));

    DisplayBlock(t.volume, t.sink, 1);
    const std::string block = AsOutput(t.Take());
    EXPECT_EQ(c.Run({"block", "sample.imd", "1"}).out, block);
    EXPECT_EQ(c.Run({"block", "sample.imd", "0x1"}).out, block);
    EXPECT_EQ(c.Run({"block", "sample.imd", "989"}).failed, false);
}

TEST(Commands, GetExtractsByteForByte) {
    Command c;
    const std::string dir = TempDir("tamarin-get");
    const Command::Result big = c.Run({"get", "sample.imd", "/big", dir + "/big"});
    EXPECT_FALSE(big.failed);
    EXPECT_EQ(big.out, "");
    EXPECT_TRUE(ReadHostFile(dir + "/big") == PatternBytes(307200, 3));
    fs::remove_all(dir);
}

TEST(Commands, RefusalsAndBadPaths) {
    SystemV68Builder b = SampleSystemV68();
    b.AddEntry(2, "ghost", 500);
    b.AddEntry(2, "evil\x1b]0;pwned\x07", 500);
    Command c;
    c.sample = b.Build();
    const SampleInodes& n = c.inodes;

    const Command::Result refused = c.Run({"volume", "other.imd"});
    EXPECT_TRUE(refused.failed);
    EXPECT_EQ(refused.err, "Open IMD Error : Not an IMD file\n");

    const Command::Result type1 = c.Run({"ls", "type1.imd"});
    EXPECT_TRUE(type1.failed);
    EXPECT_EQ(type1.error, "type1.imd: not an explorable System V/68 file system (see the "
                           "superblock command)");
    EXPECT_NE(c.Run({"superblock", "type1.imd"}).out.find("Size of blocks on disk is 512 bytes\n"),
              std::string::npos);
    EXPECT_EQ(c.Run({"volume", "type1.imd"}).out.rfind("\nVolume ID\nSV68:0000\n", 0), 0u);

    EXPECT_EQ(c.Run({"show", "sample.imd", "/nope"}).error, "/nope: no such file or directory");
    EXPECT_EQ(c.Run({"show", "sample.imd", "/ghost"}).error,
              "/ghost: iNode 500 is not in the inode table (1 to 128)");
    EXPECT_EQ(c.Run({"get", "sample.imd", "#" + std::to_string(n.freed), "/tmp/x"}).error,
              "#" + std::to_string(n.freed) + ": iNode " + std::to_string(n.freed) + " is free");
    EXPECT_EQ(c.Run({"ls", "sample.imd", "/etc/passwd"}).error, "/etc/passwd: not a directory");
    EXPECT_EQ(c.Run({"block", "sample.imd", "990"}).error, "Select Block: 990 is outside 0 to 989");
    EXPECT_TRUE(c.Run({"block", "sample.imd", "x"}).usage);
    EXPECT_EQ(c.Run({"get", "sample.imd", "#0", "/tmp/x"}).error,
              "#0: iNode 0 is not in the inode table (1 to 128)");
    // Names from the image reach the terminal escaped.
    const std::string ls = c.Run({"ls", "sample.imd"}).out;
    EXPECT_NE(ls.find("\nevil\\x1B]0;pwned\\x07\n"), std::string::npos) << ls;
}
