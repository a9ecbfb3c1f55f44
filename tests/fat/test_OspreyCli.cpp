// The osprey commands, run as a user runs them: standard output holds the window's text with
// LF line ends, message boxes go to standard error, and the exit status tells the outcome.
#include "FatTestSupport.h"
#include "Golden.h"
#include "Partitions.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Osprey(const std::string& arguments, int* status, bool withErrors = false) {
    return RunCommand(std::string(OSPREY_EXE) + " " + arguments +
                          (withErrors ? " 2>&1" : " 2>/dev/null"),
                      status);
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
    const std::string image = Quote(OspreyImages() + "/fat12.img") + " ";
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(OspreyImages() + "/fat12.img"));
    const auto expect = [](const std::string& arguments, const std::string& text) {
        int status = -1;
        EXPECT_EQ(Osprey(arguments, &status), text) << arguments;
        EXPECT_EQ(status, 0) << arguments;
    };
    rig.explorer.ShowBootSector();
    expect("boot " + image, Unix(rig.sink.Text()));
    rig.explorer.ShowFat0();
    expect("fat " + image, Unix(rig.sink.Text()));
    rig.explorer.ShowRawRootDirectory();
    expect("root " + image, Unix(rig.sink.Text()));
    rig.explorer.ShowDirectoryListing();
    expect("ls --detail " + image, Unix(rig.sink.Text()));
    std::string lines;
    for (const ListLine& line : rig.explorer.List().Lines)
        lines += line.Text + "\n";
    expect("ls " + image, lines);
    expect("ls " + image + "/", lines);
    expect("ls " + image + "/level1/LEVEL2",
           "[.           ]\n[..          ]\n DEEPFI~1.TXT \n NOTES   .MD  \n");
    expect("show " + image + "'/Level1/Level2/deep FILE.txt' --view text", "Two levels down.\n");
    rig.explorer.ShowRow(*rig.explorer.FindRow("allbytes.bin"), DisplayOption::Dump);
    expect("show " + image + "/ALLBYTES.BIN --view dump", Unix(rig.sink.Text()));
    rig.explorer.ShowRow(*rig.explorer.FindRow("README"), DisplayOption::Entry);
    expect("show " + image + "/readme", Unix(rig.sink.Text()));
}

TEST(OspreyCli, GetSaveAllAndPartitions) {
    const std::string image = OspreyImages() + "/fat12.img";
    const std::string out = TempDir("cli-get");
    int status = -1;
    Osprey("get " + Quote(image) + " /big.bin " + Quote(out + "/big.bin"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadHostFile(out + "/big.bin"), ReadHostFile(OspreyImages() + "/fat12-src/big.bin"));
    Osprey("get " + Quote(image) + " /Level1 " + Quote(out + "/x"), &status);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(fs::exists(out + "/x"));

    const std::string target = out + "/all";
    const std::string text =
        Osprey("save-all " + Quote(image) + " /Level1 " + Quote(target), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text,
              "Saved - " + target +
                  "/fat12/Level1/inside one.txt\n\n Total Files  - 1  Saved - 1  Failed - 0\n");

    const std::string disk = OspreyImages() + "/mbr-disk.img";
    std::string problem;
    EXPECT_EQ(Osprey("partitions " + Quote(disk), &status),
              Unix(PartitionText(*ReadPartitionTableOf(disk, 0, problem))));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Osprey("ls " + Quote(disk) + " --offset 0x7e00", &status),
              "[.           ]\n README  .TXT \n[DATA    .   ]\n");
    // 63K = 64512 is not where the volume starts.
    EXPECT_EQ(Osprey("ls " + Quote(disk) + " --offset 63k", &status).substr(0, 19),
              " Raw Boot Sector 0\n");
    EXPECT_EQ(status, 1);
}

TEST(OspreyCli, RefusalsAndBadUsage) {
    int status = -1;
    const std::string refused = OspreyImages() + "/clusters-65520.img";
    const std::string both = Osprey("ls " + Quote(refused), &status, true);
    EXPECT_EQ(status, 1);
    EXPECT_NE(both.find("Bad FAT type: FAT32 is not supported\n"), std::string::npos);
    EXPECT_NE(both.find(" Raw Boot Sector 0\n"), std::string::npos);

    const std::string disk = OspreyImages() + "/mbr-disk.img";
    EXPECT_NE(Osprey("boot " + Quote(disk), &status, true)
                  .find("Bad Boot Sector: This is a partition table"),
              std::string::npos);
    EXPECT_EQ(status, 1);

    Osprey("ls " + Quote(disk) + " --offset 31.5k", &status);
    EXPECT_EQ(status, 2);
    Osprey("show " + Quote(OspreyImages() + "/fat12.img") + " /nothing/here", &status);
    EXPECT_EQ(status, 1);
    Osprey("show " + Quote(OspreyImages() + "/fat12.img") + " /README --view pretty", &status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(Osprey("partitions " + Quote(OspreyImages() + "/fat12.img"), &status, true)
                  .find("Partitions: No partition table in this image"),
              std::string::npos);
    EXPECT_EQ(status, 1);
    EXPECT_NE(Osprey("ls " + Quote(TempDir("cli-missing") + "/none.img"), &status, true)
                  .find("Error: Error # 53 was generated by Osprey / "),
              std::string::npos);
    EXPECT_EQ(status, 1);
}
