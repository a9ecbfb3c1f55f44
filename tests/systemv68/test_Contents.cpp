#include "Golden.h"
#include "SystemVContents.h"
#include "TamarinFixture.h"
#include "modUtility.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(Contents, TextDumpAndBlockViews) {
    const SampleInodes& n = TheSample().n;
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    // The text of /etc/passwd, the dump of /small and block 1 are in the tamarin cases.
    EXPECT_EQ(TextDisplay(Bytes("a\rb\x01\x7F"), 5), "a\rb<soh><7F>");
    EXPECT_EQ(TextDisplay(Bytes("abc"), 2), "ab");
    TextFile(t.volume, t.sink, t.hook, n.src);
    EXPECT_EQ(t.Take().rfind("         iNode    Filename\r\n", 0), 0u)
        << "a directory shows its directory text";

    DumpFile(t.volume, t.sink, t.hook, n.src);
    EXPECT_NE(t.Take().find("00000000/0000:0000  00 " + Hex2(n.src) + " 2E 00 "), std::string::npos)
        << "a directory is dumped like a file";
    DumpFile(t.volume, t.sink, t.hook, n.empty);
    const std::string empty = t.Take();
    EXPECT_NE(empty.find("  Bytes 0(00000000)"), std::string::npos);
    EXPECT_EQ(empty.find("/0000:"), std::string::npos);

    EXPECT_TRUE(DisplayBlock(t.volume, t.sink, 989)); // a refused block clears it again
    EXPECT_FALSE(DisplayBlock(t.volume, t.sink, 990)) << "the volume ends at block 989";
    EXPECT_FALSE(DisplayBlock(t.volume, t.sink, -1));
    for (std::int32_t none : {0, n.freed, 500}) {
        TextFile(t.volume, t.sink, t.hook, none);
        DumpFile(t.volume, t.sink, t.hook, none);
    }
    EXPECT_EQ(t.Take(), "") << "refused blocks, free and unknown inodes show nothing";
}

TEST(Contents, ExtractionByteForByte) {
    const auto& [n, b, image] = TheSample();
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    const std::string dir = TempDir("tamarin-extract");
    struct Case {
        std::int32_t ino;
        ByteString expected;
    };
    const std::vector<Case> cases = {
        {n.empty, {}},
        {n.small, PatternBytes(1500, 2)},
        {n.ls, PatternBytes(11000, 1)},
        {n.big, PatternBytes(307200, 3)}, // beyond what a single indirect block maps
        {n.holes, SparseContents(b.File(n.holes))},
        {n.sparse, SparseContents(b.File(n.sparse))}, // through the triple indirect block
        {n.passwd, PasswdText()},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + std::to_string(c.ino);
        EXPECT_EQ(SaveFile(t.volume, t.prompts, c.ino, path), SaveResult::Saved) << c.ino;
        EXPECT_TRUE(ReadHostFile(path) == c.expected) << "inode " << c.ino;
    }

    // A directory is saved as its raw entries; an existing file is replaced.
    const std::string path = dir + "/src";
    std::ofstream(path) << std::string(5000, 'x');
    EXPECT_EQ(SaveFile(t.volume, t.prompts, n.src, path), SaveResult::Saved);
    const ByteString raw = ReadHostFile(path);
    ASSERT_EQ(raw.size(), 48u);
    EXPECT_EQ(std::string(raw.begin() + 18, raw.begin() + 20), "..");
    EXPECT_EQ(SuggestedSaveName("(a/b)"), "(a_b)"); // a directory's name as a file name
    EXPECT_TRUE(t.prompts.messages.empty());
    fs::remove_all(dir);
}

TEST(Contents, SaveRefusesFreeAndUnknownInodes) {
    const SampleInodes& n = TheSample().n;
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    const std::string dir = TempDir("tamarin-refuse");
    for (const std::int32_t ino : {500, n.freed, 0}) {
        EXPECT_EQ(SaveFile(t.volume, t.prompts, ino, dir + "/x"), SaveResult::Refused);
        EXPECT_FALSE(fs::exists(dir + "/x"));
    }
    ASSERT_EQ(t.prompts.messages.size(), 3u);
    EXPECT_EQ(t.prompts.messages[0].title, "Save File");
    EXPECT_EQ(t.prompts.messages[0].text,
              "iNode 500 is not in the inode table (1 to 128): nothing was saved.");
    EXPECT_EQ(t.prompts.messages[1].text,
              "iNode " + std::to_string(n.freed) + " is free: nothing was saved.");

    fs::remove_all(dir);
}

TEST(Contents, BlockAddressesBeyondTheVolumeEndTheWalkOnce) {
    const auto& [n, b, built] = TheSample();
    ByteString image = built;
    PutAddress(image, n.small, 1, 5000); // a data block past the volume
    PutAddress(image, n.ls, 10, 990);    // the single indirect block, just past the volume
    const std::size_t indirect = SystemV68Builder::BlockOffset(b.File(n.big).addresses[10]);
    VersaDOSBuilder::PutLong(image, indirect + 4 * 3, 0xFFFFFFFF); // a negative entry
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    const std::string dir = TempDir("tamarin-beyond");

    EXPECT_EQ(SaveFile(t.volume, t.prompts, n.small, dir + "/small"), SaveResult::Short);
    EXPECT_EQ(ReadHostFile(dir + "/small"), PatternBytes(1024, 2)) << "the block before stays";
    ASSERT_EQ(t.prompts.messages.size(), 2u);
    EXPECT_EQ(t.prompts.messages[0].title, "Bad block address");
    EXPECT_EQ(t.prompts.messages[0].text,
              "iNode " + std::to_string(n.small) +
                  ": block 5000 lies beyond the end of the volume (990 blocks)");
    EXPECT_EQ(t.prompts.messages[1].text, "Only 1024 of 1500 bytes of iNode " +
                                              std::to_string(n.small) + " could be read: " + dir +
                                              "/small is shorter.");
    EXPECT_TRUE(t.volume.WalkFailed());
    EXPECT_FALSE(t.volume.ReadNextFileBlock(n.small, false)) << "the walk stays ended";

    t.prompts.messages.clear();
    DumpFile(t.volume, t.sink, t.hook, n.ls);
    EXPECT_NE(t.Take().find("\r\n000027F0/0009:03F0  "), std::string::npos) << "ten direct blocks";
    ASSERT_EQ(t.prompts.messages.size(), 1u);
    EXPECT_EQ(t.prompts.messages[0].text,
              "iNode " + std::to_string(n.ls) +
                  ": indirect block 990 lies beyond the end of the volume (990 blocks)");

    t.prompts.messages.clear();
    EXPECT_EQ(SaveFile(t.volume, t.prompts, n.big, dir + "/big"), SaveResult::Short);
    EXPECT_EQ(fs::file_size(dir + "/big"), 13u * 1024u);
    ASSERT_EQ(t.prompts.messages.size(), 2u);
    EXPECT_EQ(t.prompts.messages[0].text,
              "iNode " + std::to_string(n.big) +
                  ": block 4294967295 lies beyond the end of the volume (990 blocks)");
    fs::remove_all(dir);
}

TEST(Contents, UnreadableSectorEndsTheWalk) {
    const auto& [n, b, image] = TheSample();
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    t.disk.failing.insert(
        static_cast<std::int32_t>(t.volume.BlockToSector(b.File(n.ls).addresses[3])) + 2);
    const std::string dir = TempDir("tamarin-unreadable");
    EXPECT_EQ(SaveFile(t.volume, t.prompts, n.ls, dir + "/ls"), SaveResult::Short);
    EXPECT_EQ(ReadHostFile(dir + "/ls"), PatternBytes(3072, 1));
    EXPECT_EQ(t.disk.failures, 1);
    ASSERT_EQ(t.prompts.messages.size(), 1u) << "the drive reports the sector itself";
    EXPECT_EQ(t.prompts.messages[0].text.rfind("Only 3072 of 11000 bytes", 0), 0u);
    fs::remove_all(dir);
}

TEST(Contents, WalkEndsAtTheFileSize) {
    const SampleInodes& n = TheSample().n;
    ByteString image = TheSample().image;
    // /small (two blocks) also names a third block: it lies past the file's size.
    image[SystemV68Builder::InodeOffset(n.small) + 12 + 3 * 2 + 2] = 50;
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    DumpFile(t.volume, t.sink, t.hook, n.small);
    EXPECT_EQ(t.Take().find("/0002:"), std::string::npos);
}

// Stopping a view with the STOP button: test_formTamarin.cpp.
TEST(Contents, ViewsStopAtTheVolumeSize) {
    const SampleInodes& n = TheSample().n;
    ByteString image = TheSample().image;
    VersaDOSBuilder::PutLong(image, SystemV68Builder::InodeOffset(n.holes) + 8, 0x7FFFFFFF);
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    TextFile(t.volume, t.sink, t.hook, n.holes);
    const std::string text = t.Take();
    EXPECT_NE(text.find("\r\niNode " + std::to_string(n.holes) +
                        " claims 2147483647 bytes, more than the whole volume holds (1013760); "
                        "the display stops here.\r\n"),
              std::string::npos);
    EXPECT_EQ(t.volume.BytesRead(), 990 * 1024);
}
