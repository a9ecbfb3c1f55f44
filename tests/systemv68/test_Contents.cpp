#include "Golden.h"
#include "SystemVContents.h"
#include "TamarinFixture.h"
#include "modUtility.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

ByteString ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteString(std::istreambuf_iterator<char>(in), {});
}

// An event hook that asks to stop after a number of steps, as the STOP button does.
class StopAfter : public EventHook {
  public:
    explicit StopAfter(int steps) : m_steps(steps) {}
    void ProcessEvents() override {
        if (++calls >= m_steps) SetAbort(true);
    }
    int calls = 0;

  private:
    int m_steps;
};

} // namespace

TEST(Contents, TextOfAFileWithLineFeedsAndAByte200) {
    SampleInodes n;
    TamarinFixture t(SampleSystemV68(&n).Build());
    ASSERT_TRUE(t.Open());
    TextFile(t.volume, t.sink, t.hook, n.passwd);
    const std::string text = t.Take();
    EXPECT_GOLDEN("systemv68/text-passwd", text);
    EXPECT_NE(text.find("/bin/sh\r\ndaemon:x:1:1::/:\r\n"), std::string::npos)
        << "an LF breaks the line";
    EXPECT_NE(text.find("<C8>\tend of file\r\n"), std::string::npos);
    EXPECT_EQ(text.rfind("\r\nInode " + std::to_string(n.passwd), 0), 0u) << "the summary first";

    EXPECT_EQ(TextDisplay(Bytes("a\rb\x01\x7F"), 5), "a\rb<soh><7F>");
    EXPECT_EQ(TextDisplay(Bytes("abc"), 2), "ab");
    EXPECT_EQ(TextDisplay(Bytes("abc"), 0), "");

    TextFile(t.volume, t.sink, t.hook, n.src);
    EXPECT_EQ(t.Take().rfind("         iNode    Filename\r\n", 0), 0u)
        << "a directory shows its directory text";
    for (std::int32_t none : {0, n.freed, 500})
        TextFile(t.volume, t.sink, t.hook, none);
    EXPECT_EQ(t.Take(), "");
}

TEST(Contents, DumpWithBlockHeadersAndAWholeLastBlock) {
    SampleInodes n;
    TamarinFixture t(SampleSystemV68(&n).Build());
    ASSERT_TRUE(t.Open());
    DumpFile(t.volume, t.sink, t.hook, n.small);
    const std::string dump = t.Take();
    EXPECT_GOLDEN("systemv68/dump-small", dump);
    EXPECT_NE(dump.find("\r\n00000000/0000:0000  02 09 10 17 "), std::string::npos);
    EXPECT_NE(dump.find("\r\n00000400/0001:0000  "), std::string::npos);
    EXPECT_NE(dump.find("\r\n000007F0/0001:03F0  "), std::string::npos)
        << "the partial last block is dumped whole";
    EXPECT_EQ(dump.find("/0002:"), std::string::npos);
    // 8 summary lines (the first and the last empty), 128 dump lines.
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 8 + 128);

    DumpFile(t.volume, t.sink, t.hook, n.src);
    EXPECT_NE(t.Take().find("00000000/0000:0000  00 " + Hex2(n.src) + " 2E 00 "), std::string::npos)
        << "a directory is dumped like a file";
    DumpFile(t.volume, t.sink, t.hook, n.empty);
    const std::string empty = t.Take();
    EXPECT_NE(empty.find("  Bytes 0(00000000)"), std::string::npos);
    EXPECT_EQ(empty.find("/0000:"), std::string::npos);
}

TEST(Contents, DisplayBlockOne) {
    TamarinFixture t(SampleSystemV68().Build());
    ASSERT_TRUE(t.Open());
    t.sink.Append("old");
    ASSERT_TRUE(DisplayBlock(t.volume, t.sink, 1));
    const std::string text = t.Take();
    EXPECT_GOLDEN("systemv68/display-block-1", text);
    EXPECT_EQ(
        text.rfind("0000  53 79 73 74 65 6D 20 56 2F 36 38 20 62 6F 6F 74 System V/68 boot\r\n", 0),
        0u)
        << "bytes 1024..2047 of the disk with offsets from 0000";
    EXPECT_NE(text.find("\r\n03F0  "), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 64);

    EXPECT_TRUE(DisplayBlock(t.volume, t.sink, 989));
    EXPECT_FALSE(DisplayBlock(t.volume, t.sink, 990)) << "the volume ends at block 989";
    EXPECT_FALSE(DisplayBlock(t.volume, t.sink, -1));
    EXPECT_EQ(t.Take(), "");
}

TEST(Contents, ExtractionByteForByte) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    TamarinFixture t(b.Build());
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
        {n.big, PatternBytes(307200, 3)},
        {n.holes, SparseContents(b.File(n.holes))},
        {n.passwd, PasswdText()},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + std::to_string(c.ino);
        EXPECT_EQ(SaveFile(t.volume, t.prompts, c.ino, path), SaveResult::Saved) << c.ino;
        EXPECT_TRUE(ReadHostFile(path) == c.expected) << "inode " << c.ino;
        EXPECT_EQ(fs::file_size(path), c.expected.size());
    }
    EXPECT_GT(PatternBytes(307200, 3).size(), 272384u)
        << "beyond what a single indirect block maps";

    // A directory is saved as its raw entries; an existing file is replaced.
    const std::string path = dir + "/src";
    std::ofstream(path) << std::string(5000, 'x');
    EXPECT_EQ(SaveFile(t.volume, t.prompts, n.src, path), SaveResult::Saved);
    const ByteString raw = ReadHostFile(path);
    ASSERT_EQ(raw.size(), 48u);
    EXPECT_EQ(std::string(raw.begin() + 18, raw.begin() + 20), "..");
    EXPECT_TRUE(t.prompts.messages.empty());
    fs::remove_all(dir);
}

TEST(Contents, ExtractionOfASparseFileThroughTheTripleIndirectBlock) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    TamarinFixture t(b.Build());
    ASSERT_TRUE(t.Open());
    const std::string dir = TempDir("tamarin-sparse");
    const std::string path = dir + "/sparse";
    ASSERT_EQ(SaveFile(t.volume, t.prompts, n.sparse, path), SaveResult::Saved);
    EXPECT_TRUE(ReadHostFile(path) == SparseContents(b.File(n.sparse)));
    fs::remove_all(dir);
}

TEST(Contents, SaveRefusesFreeAndUnknownInodes) {
    SampleInodes n;
    TamarinFixture t(SampleSystemV68(&n).Build());
    ASSERT_TRUE(t.Open());
    const std::string dir = TempDir("tamarin-refuse");
    EXPECT_EQ(SaveFile(t.volume, t.prompts, 500, dir + "/a"), SaveResult::Refused);
    EXPECT_EQ(SaveFile(t.volume, t.prompts, n.freed, dir + "/b"), SaveResult::Refused);
    EXPECT_EQ(SaveFile(t.volume, t.prompts, 0, dir + "/c"), SaveResult::Refused);
    EXPECT_FALSE(fs::exists(dir + "/a"));
    EXPECT_FALSE(fs::exists(dir + "/b"));
    ASSERT_EQ(t.prompts.messages.size(), 3u);
    EXPECT_EQ(t.prompts.messages[0].title, "Save File");
    EXPECT_EQ(t.prompts.messages[0].text,
              "iNode 500 is not in the inode table (1 to 128): nothing was saved.");
    EXPECT_EQ(t.prompts.messages[1].text,
              "iNode " + std::to_string(n.freed) + " is free: nothing was saved.");

    EXPECT_EQ(SaveFile(t.volume, t.prompts, n.small, dir + "/no/such/folder/x"),
              SaveResult::HostError);
    ASSERT_EQ(t.prompts.messages.size(), 4u);
    EXPECT_EQ(t.prompts.messages[3].text.rfind("Error # 76 was generated by Tamarin\r\n", 0), 0u);
    fs::remove_all(dir);
}

TEST(Contents, BlockAddressesBeyondTheVolumeEndTheWalkOnce) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    ByteString image = b.Build();
    auto put3 = [&](std::int32_t ino, int k, std::uint32_t value) {
        const std::size_t at = SystemV68Builder::InodeOffset(ino) + 12 + 3 * k;
        image[at] = static_cast<std::uint8_t>(value >> 16);
        image[at + 1] = static_cast<std::uint8_t>(value >> 8);
        image[at + 2] = static_cast<std::uint8_t>(value);
    };
    put3(n.small, 1, 5000);   // a data block past the volume
    put3(n.ls, 10, 0xFFFFFF); // the single indirect block past the volume
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
                  ": indirect block 16777215 lies beyond the end of the volume (990 blocks)");

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
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    TamarinFixture t(b.Build());
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
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    ByteString image = b.Build();
    // /small (two blocks) also names a third block: it lies past the file's size.
    image[SystemV68Builder::InodeOffset(n.small) + 12 + 3 * 2 + 2] = 50;
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    DumpFile(t.volume, t.sink, t.hook, n.small);
    EXPECT_EQ(t.Take().find("/0002:"), std::string::npos);
}

TEST(Contents, ViewsStopAtTheVolumeSizeAndOnStop) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    ByteString image = b.Build();
    VersaDOSBuilder::PutLong(image, SystemV68Builder::InodeOffset(n.holes) + 8, 0x7FFFFFFF);
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.volume.DisplayLimit(), 990 * 1024);
    TextFile(t.volume, t.sink, t.hook, n.holes);
    const std::string text = t.Take();
    EXPECT_NE(text.find("\r\niNode " + std::to_string(n.holes) +
                        " claims 2147483647 bytes, more than the whole volume holds (1013760); "
                        "the display stops here.\r\n"),
              std::string::npos);
    EXPECT_EQ(t.volume.BytesRead(), 990 * 1024);

    StopAfter stop(3);
    DumpFile(t.volume, t.sink, stop, n.big);
    const std::string dump = t.Take();
    EXPECT_EQ(stop.calls, 3);
    EXPECT_NE(dump.find("/0002:03F0"), std::string::npos);
    EXPECT_EQ(dump.find("/0003:"), std::string::npos) << "stopped after three blocks";
}

TEST(Contents, BlockNumberAnswers) {
    EXPECT_EQ(LeadingNumber("12"), 12);
    EXPECT_EQ(LeadingNumber("  7 blocks"), 7);
    EXPECT_EQ(LeadingNumber("&h1F"), 31);
    EXPECT_EQ(LeadingNumber("-3"), -3);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_GT(LeadingNumber("99999999999999999999999"), 1000000000);

    ScriptedPrompts prompts;
    prompts.inputAnswers = {"990", "-1", "5x", "999"};
    EXPECT_EQ(AskBlockNumber(prompts, 990), 5);
    ASSERT_EQ(prompts.inputs.size(), 3u) << "asked again while out of range";
    EXPECT_EQ(prompts.inputs[0].prompt, "Display which Block?");
    EXPECT_EQ(prompts.inputs[0].title, "Select Block");
    EXPECT_EQ(prompts.inputs[0].defaultText, "1");
    prompts.inputAnswers = {"2000", ""};
    EXPECT_EQ(AskBlockNumber(prompts, 990), std::nullopt) << "an empty answer ends";
    prompts.inputAnswers = {};
    EXPECT_EQ(AskBlockNumber(prompts, 990), std::nullopt) << "a cancelled box ends";
    EXPECT_EQ(SuggestedSaveName("(a/b)"), "(a_b)");
}
