// File contents: the text and dump views, saving one file and Save All.
#include "FatImageBuilder.h"
#include "FatTestSupport.h"
#include "Golden.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A floppy with a text file over two clusters, a binary file and a 0-byte file.
FatImageBuilder SmallFloppy() {
    FatImageBuilder image;
    std::string text = "Line one\r\nTab\there\x01\xFF";
    text += std::string(600 - text.size(), 'x');
    int n = 0;
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "TEXT    TXT", 0x20, 2,
                                static_cast<std::uint32_t>(text.size()));
    image.FileData({2, 3}, text);
    std::string binary;
    for (int i = 0; i < 40; ++i)
        binary += static_cast<char>(i * 7);
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "BIN     DAT", 0x20, 4, 40);
    image.FileData({4}, binary);
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "EMPTY      ", 0x20, 0, 0);
    return image;
}

} // namespace

TEST(FatFiles, TextAndDumpViews) {
    FatImageBuilder image = SmallFloppy();
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    // Control bytes show in angle brackets.
    rig.explorer.ShowRow(*rig.explorer.FindRow("TEXT.TXT"), DisplayOption::Text, rig.sink);
    EXPECT_EQ(rig.sink.Text(), "Line one\r\nTab\there<01><FF>" + std::string(600 - 20, 'x'));
    EXPECT_EQ(TextOfByte(0), "<00>");
    EXPECT_EQ(TextOfByte(13), "\r");
    EXPECT_EQ(TextOfByte(127), "<7F>");
    // A directory shows its details in the text view.
    rig.explorer.ShowRow(0, DisplayOption::Text, rig.sink);
    EXPECT_EQ(rig.sink.Text().substr(0, 14), "[.           ]");
    // A dump ends at the size; dumps over several clusters are checked on the long chain below.
    rig.explorer.ShowRow(*rig.explorer.FindRow("BIN.DAT"), DisplayOption::Dump, rig.sink);
    EXPECT_GOLDEN("fat/dump_partial_line", rig.sink.Text());
    // A 0-byte file shows nothing, in either view.
    for (DisplayOption option : {DisplayOption::Text, DisplayOption::Dump}) {
        rig.sink.Append("old");
        rig.explorer.ShowRow(*rig.explorer.FindRow("EMPTY"), option, rig.sink);
        EXPECT_EQ(rig.sink.Text(), "");
    }
}

// Whole files are compared with mtools and with what was copied in by the oracle tests.
TEST(FatFiles, AbortedOrFailedSaveLeavesNoFileBehind) {
    const std::string dir = TempDir("fat-abort");
    StringSink sink;
    ScriptedPrompts prompts;
    // Events are processed after each run of clusters; the whole of big.bin is one run.
    AbortAfter hook(1);
    FatExplorer explorer(prompts, hook);
    ASSERT_EQ(explorer.Open(OspreyImages() + "/fat12.img", OspreyImageOpener(), sink),
              OpenOutcome::Opened);
    const SaveResult aborted = explorer.SaveRow(*explorer.FindRow("big.bin"), dir + "/big.bin");
    EXPECT_EQ(aborted.End, LoopEnd::Aborted);
    EXPECT_FALSE(fs::exists(dir + "/big.bin"));

    // A cluster beyond the end of a truncated image cannot be read: the save fails cleanly.
    std::vector<std::uint8_t> image = ReadHostFile(OspreyImages() + "/fat12.img");
    image.resize(60 * 512);
    const std::string truncated = dir + "/truncated.img";
    WriteHostFile(truncated, image);
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(truncated));
    EXPECT_EQ(rig.MessageTitles(), "Image Too Short");
    const SaveResult failed =
        rig.explorer.SaveRow(*rig.explorer.FindRow("big.bin"), dir + "/b.bin");
    EXPECT_EQ(failed.End, LoopEnd::ReadError);
    EXPECT_FALSE(fs::exists(dir + "/b.bin"));
    // The first files still lie inside the image.
    EXPECT_TRUE(rig.explorer.SaveRow(*rig.explorer.FindRow("hello.txt"), dir + "/h.txt").Saved());
    const std::string hello = "Hello, FAT12!\r\n";
    EXPECT_EQ(ReadHostFile(dir + "/h.txt"), std::vector<std::uint8_t>(hello.begin(), hello.end()));
}

// Where Save All puts the files of every directory is compared with mcopy by the oracle tests,
// its lines by the command test.
TEST(FatFiles, SaveAllIntoAMissingFolder) {
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(OspreyImages() + "/fat12.img"));
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("Level1")));
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("Level2")));
    // A target that is not a folder fails every file, and says why once.
    const std::string target = TempDir("fat-saveall") + "/missing";
    EXPECT_EQ(rig.explorer.SaveAllFiles(target, rig.sink).Problem,
              "The folder " + target + " cannot be entered");
    EXPECT_TRUE(rig.sink.Text().ends_with("\r\n Total Files  - 2  Saved - 0  Failed - 2"));
    // The folder of an image's files in a Save All of several images.
    EXPECT_EQ(ImageFolderName("disk.img"), "disk");
    EXPECT_EQ(ImageFolderName("disk.v2.img"), "disk.v2");
    EXPECT_EQ(ImageFolderName("disk"), "disk");
    EXPECT_EQ(ImageFolderName(".img"), "");
    EXPECT_EQ(ImageFolderName("...img"), "__"); // ".." cannot climb out of the target
}

// Chains are read in runs of consecutive clusters: the bytes and the order must be the chain's,
// and an image that ends inside a run still gives every cluster before the missing one.
TEST(FatFiles, RunsOfClustersKeepTheChainOrderAndStopAtTheMissingCluster) {
    std::vector<int> chain;
    for (int c = 2; c < 1202; ++c)
        chain.push_back(c); // 1200 clusters: more than one run
    for (int c : {1500, 1501, 1300})
        chain.push_back(c);
    std::string data;
    for (std::size_t i = 0; i < chain.size() * 512 - 100; ++i)
        data += static_cast<char>((i * 31 + i / 512) & 0xFF);
    FatImageBuilder image;
    FatImageBuilder::ShortEntry(image.RootEntry(0), "BIG     DAT", 0x20, 2,
                                static_cast<std::uint32_t>(data.size()));
    image.FileData(chain, data);

    const std::string dir = TempDir("fat-runs");
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    const int row = *rig.explorer.FindRow("BIG.DAT");
    ASSERT_TRUE(rig.explorer.SaveRow(row, dir + "/big.dat").Saved());
    EXPECT_EQ(ReadHostFile(dir + "/big.dat"), std::vector<std::uint8_t>(data.begin(), data.end()));
    rig.explorer.ShowRow(row, DisplayOption::Dump, rig.sink);
    const std::string dump = rig.sink.Text();
    const std::size_t last = dump.find("04B1-000001F0 (1201-0000496)");
    const std::size_t jump = dump.find("05DC-00000000 (1500-0000000)");
    const std::size_t back = dump.find("0514-00000000 (1300-0000000)");
    ASSERT_NE(last, std::string::npos);
    EXPECT_LT(last, jump);
    EXPECT_LT(jump, back);
    EXPECT_NE(back, std::string::npos);

    // The image ends where cluster 600 would start (data area at sector 33); a failed save
    // leaving no file is checked above.
    std::vector<std::uint8_t> cut = image.Bytes();
    cut.resize((33 + 600 - 2) * 512);
    ASSERT_EQ(rig.OpenBytes(cut), OpenOutcome::Opened);
    rig.explorer.ShowRow(row, DisplayOption::Dump, rig.sink);
    EXPECT_NE(rig.sink.Text().find("0257-000001F0 (0599-0000496)"), std::string::npos);
    EXPECT_EQ(rig.sink.Text().find("\n0258-"), std::string::npos);
}
