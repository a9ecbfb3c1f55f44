// The osprey commands, run as a user runs them: standard output holds the window's text with
// LF line ends, message boxes go to standard error, and the exit status tells the outcome.
#include "FatImageBuilder.h"
#include "FatTestSupport.h"
#include "Golden.h"
#include "Partitions.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string Fat12 = Quote(OspreyImages() + "/fat12.img") + " ";
const std::string Disk = Quote(OspreyImages() + "/mbr-disk.img") + " ";

// Runs osprey; expects the exit status and its standard output to be text.
void ExpectOutput(const std::string& arguments, const std::string& text, int status = 0) {
    int got = -1;
    EXPECT_EQ(RunCommand(std::string(OSPREY_EXE) + " " + arguments + " 2>/dev/null", &got), text)
        << arguments;
    EXPECT_EQ(got, status) << arguments;
}

// Runs osprey; expects the exit status and piece somewhere in its standard output and error.
void ExpectRun(const std::string& arguments, int status, const std::string& piece = "") {
    int got = -1;
    const std::string both = RunCommand(std::string(OSPREY_EXE) + " " + arguments + " 2>&1", &got);
    EXPECT_EQ(got, status) << arguments;
    EXPECT_NE(both.find(piece), std::string::npos) << arguments << "\n" << both;
}

// A report as standard output carries it: LF line ends, and a final LF after a last line that
// has none.
std::string Unix(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

} // namespace

TEST(OspreyCli, ReportsEqualTheWindowTexts) {
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(OspreyImages() + "/fat12.img"));
    rig.explorer.ShowBootSector(rig.sink);
    ExpectOutput("boot " + Fat12, Unix(rig.sink.Text()));
    rig.explorer.ShowFat0(rig.sink);
    ExpectOutput("fat " + Fat12, Unix(rig.sink.Text()));
    rig.explorer.ShowRawRootDirectory(rig.sink);
    ExpectOutput("root " + Fat12, Unix(rig.sink.Text()));
    rig.explorer.ShowDirectoryListing(rig.sink);
    ExpectOutput("ls --detail " + Fat12, Unix(rig.sink.Text()));
    std::string lines;
    for (const ListLine& line : rig.explorer.List().Lines)
        lines += line.Text + "\n";
    ExpectOutput("ls " + Fat12, lines);
    ExpectOutput("ls " + Fat12 + "/", lines);
    ExpectOutput("ls " + Fat12 + "/level1/LEVEL2",
                 "[.           ]\n[..          ]\n DEEPFI~1.TXT \n NOTES   .MD  \n");
    ExpectOutput("show " + Fat12 + "'/Level1/Level2/deep FILE.txt' --view text",
                 "Two levels down.\n");
    rig.explorer.ShowRow(*rig.explorer.FindRow("allbytes.bin"), DisplayOption::Dump, rig.sink);
    ExpectOutput("show " + Fat12 + "/ALLBYTES.BIN --view dump", Unix(rig.sink.Text()));
    rig.explorer.ShowRow(*rig.explorer.FindRow("README"), DisplayOption::Entry, rig.sink);
    ExpectOutput("show " + Fat12 + "/readme", Unix(rig.sink.Text()));
}

TEST(OspreyCli, GetSaveAllAndPartitions) {
    const std::string out = TempDir("cli-get");
    ExpectOutput("get " + Fat12 + "/big.bin " + Quote(out + "/big.bin"), "");
    EXPECT_EQ(ReadHostFile(out + "/big.bin"), ReadHostFile(OspreyImages() + "/fat12-src/big.bin"));
    ExpectRun("get " + Fat12 + "/Level1 " + Quote(out + "/x"), 1);
    EXPECT_FALSE(fs::exists(out + "/x"));
    const std::string level1 = out + "/all/fat12/Level1/";
    ExpectOutput("save-all " + Fat12 + "/Level1 " + Quote(out + "/all") + " --recursive",
                 "Saved - " + level1 + "inside one.txt\nSaved - " + level1 +
                     "Level2/deep file.txt\nSaved - " + level1 +
                     "Level2/NOTES.MD\n\n Total Files  - 3  Saved - 3  Failed - 0\n");
    // A file whose cluster chain ends before its size is not saved, and says so.
    FatImageBuilder image;
    FatImageBuilder::ShortEntry(image.RootEntry(0), "LOOP    BIN", 0x20, 2, 100000);
    image.Chain({2, 3});
    WriteHostFile(out + "/loop.img", image.Bytes());
    ExpectRun("get " + Quote(out + "/loop.img") + " /loop.bin " + Quote(out + "/l"), 1,
              "/loop.bin: its cluster chain holds 1024 of its 100000 bytes; nothing was saved");

    std::string problem;
    const std::string disk = OspreyImages() + "/mbr-disk.img";
    ExpectOutput("partitions " + Disk,
                 Unix(PartitionText(*ReadPartitionTableOf(disk, 0, problem))));
    ExpectOutput("ls " + Disk + "--offset 0x7e00",
                 "[.           ]\n README  .TXT \n[DATA    .   ]\n");
    // 63K = 64512 is not where the volume starts.
    ExpectRun("ls " + Disk + "--offset 63k", 1, " Raw Boot Sector 0\n");
}

TEST(OspreyCli, RefusalsAndBadUsage) {
    const std::string refused = "ls " + Quote(OspreyImages() + "/clusters-65520.img");
    ExpectRun(refused, 1, "Bad FAT type: FAT32 is not supported\n");
    ExpectRun(refused, 1, " Raw Boot Sector 0\n");
    ExpectRun("boot " + Disk, 1, "Bad Boot Sector: This is a partition table");
    ExpectRun("ls " + Disk + "--offset 31.5k", 2);
    ExpectRun("ls " + Fat12 + "--container floppy", 2, "the types are: raw imd");
    ExpectRun("ls " + Fat12 + "--container tele", 1, "Open Image Error: ");
    ExpectRun("ls " + Fat12 + "--container RAW", 0);
    ExpectRun("show " + Fat12 + "/nothing/here", 1);
    ExpectRun("show " + Fat12 + "/README --view pretty", 2);
    ExpectRun("partitions " + Fat12, 1, "Partitions: No partition table in this image");
    ExpectRun("ls " + Quote(TempDir("cli-missing") + "/none.img"), 1,
              "Error: Error # 53 was generated by Osprey / ");
}
