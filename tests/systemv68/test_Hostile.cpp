#include "Golden.h"
#include "SystemV68Bad.h"
#include "SystemVContents.h"
#include "SystemVDirectory.h"
#include "TamarinFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// Keeps only the amount of text, so that long views cost no memory.
class CountingSink : public DisplaySink {
  public:
    void Append(std::string_view text) override { size += text.size(); }
    void Clear() override {}
    std::string Text() const override { return {}; }
    std::size_t size = 0;
};

// Everything a user can do with a volume: every report, every inode in every view, every
// directory listed, every file saved (up to a size that keeps the test quick; a larger save
// only takes longer), a few paths and blocks.
void ExerciseVolume(TamarinFixture& t, const std::string& dir) {
    CountingSink sink;
    t.Open();
    t.volume.ShowSuperBlockReport(sink);
    t.volume.ShowVolumeID(sink);
    t.volume.Inodes().DisplayInodeTable(sink, t.hook);
    const std::int32_t count = t.volume.Inodes().InodeCount();
    std::vector<DirListItem> lines;
    for (std::int32_t ino = 0; ino <= count + 2; ++ino) {
        t.volume.Inodes().DisplayInodeFull(sink, ino);
        ListDirectory(t.volume, ino, lines);
        DisplayDirectory(t.volume, sink, ino);
        TextFile(t.volume, sink, t.hook, ino);
        DumpFile(t.volume, sink, t.hook, ino);
        if (t.volume.Inodes().Get(ino).Size <= 8 * 1024 * 1024)
            SaveFile(t.volume, t.prompts, ino, dir + "/out");
    }
    std::string error;
    for (const char* path : {"/", "/etc/passwd", "/usr/src/hello.c", "/usr/links/hello69", "#3"})
        ResolvePath(t.volume, path, error);
    for (std::int32_t block : {0, 1, 2, 500, 989, 990})
        DisplayBlock(t.volume, sink, block);
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

TEST(Hostile, EveryDefectIsHandledWithoutCrashOrHang) {
    const std::string dir = TempDir("tamarin-hostile");
    for (const BadVolume& bad : BadSystemV68Volumes()) {
        SCOPED_TRACE(bad.defect);
        TamarinFixture t(bad.image);
        const auto start = std::chrono::steady_clock::now();
        ExerciseVolume(t, dir);
        EXPECT_LT(Seconds(start), 20.0);
    }
    fs::remove_all(dir);
}

TEST(Hostile, WhatEachDefectShows) {
    const SampleInodes& n = TheSample().n;
    std::map<std::string, ByteString> bad;
    for (BadVolume& v : BadSystemV68Volumes())
        bad[v.defect] = std::move(v.image);
    const std::string dir = TempDir("tamarin-defects");

    // What an inode list past the image and blocks past the volume show: test_Inode.cpp and
    // test_Contents.cpp check the same defects with their messages.
    TamarinFixture loop(bad.at("directory-loop"));
    ASSERT_TRUE(loop.Open());
    std::vector<DirListItem> lines;
    ASSERT_TRUE(ListDirectory(loop.volume, n.src, lines));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2].text, "(self)");
    EXPECT_EQ(lines[4].text, "(root)");
    std::string error;
    EXPECT_EQ(ResolvePath(loop.volume, "/usr/src/self/self/parent/src/root/etc/passwd", error),
              n.passwd);
    ASSERT_TRUE(ListDirectory(loop.volume, n.dev, lines));
    EXPECT_EQ(lines[2].text, "(etc)") << "/dev's block is the root's";

    TamarinFixture cycle(bad.at("indirect-cycle"));
    ASSERT_TRUE(cycle.Open());
    EXPECT_EQ(SaveFile(cycle.volume, cycle.prompts, n.ls, dir + "/ls"), SaveResult::Saved);
    EXPECT_EQ(fs::file_size(dir + "/ls"), 256u * 1024u);
    CountingSink sink;
    DumpFile(cycle.volume, sink, cycle.hook, n.big);
    EXPECT_EQ(cycle.volume.BytesRead(), 990 * 1024) << "the view stops at the volume's size";

    // A directory of 1 GB of holes, on a super block that claims the largest volume too, so
    // that the volume's size bounds nothing: the walk passes each indirect hole in one step to
    // the directory's size. Found by fuzzing (fixtures/bad/systemv68): a 16 KB image listed
    // gigabytes of holes for seconds.
    ByteString vast = bad.at("huge-size");
    VersaDOSBuilder::PutLong(vast, 512 + 2, 0x7FFFFFFF);
    TamarinFixture huge(vast);
    ASSERT_TRUE(huge.Open());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ListDirectory(huge.volume, n.dev, lines));
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_GE(huge.volume.BytesRead(), 0x40000000);
    EXPECT_LT(Seconds(start), 0.5);
    // The hole of the single indirect address, 256 blocks from block 10 on, is one step.
    ASSERT_TRUE(huge.volume.ReadNextFileBlock(n.dev, true));
    while (huge.volume.BlockIndex() <= 10)
        ASSERT_TRUE(huge.volume.ReadNextFileBlock(n.dev, false));
    huge.volume.SkipHole();
    EXPECT_EQ(huge.volume.BlockIndex(), 10 + 256);

    TamarinFixture negative(bad.at("negative-size"));
    ASSERT_TRUE(negative.Open());
    EXPECT_FALSE(negative.volume.ReadNextFileBlock(n.small, true));
    EXPECT_EQ(SaveFile(negative.volume, negative.prompts, n.small, dir + "/neg"),
              SaveResult::Refused);
    EXPECT_FALSE(fs::exists(dir + "/neg"));
    ASSERT_EQ(negative.prompts.messages.size(), 1u);
    EXPECT_EQ(negative.prompts.messages[0].text,
              "iNode " + std::to_string(n.small) +
                  " has a negative size (-2147483632): nothing was saved.");

    TamarinFixture zero(bad.at("total-blocks-zero"));
    EXPECT_TRUE(zero.Open());
    EXPECT_EQ(zero.volume.Inodes().InodeCount(), 0);
    ASSERT_EQ(zero.prompts.messages.size(), 1u);
    EXPECT_EQ(zero.prompts.messages[0].text,
              "The inode list (128 iNodes) runs past the end of the volume (0 blocks): 0 of 128 "
              "iNodes are available.");
    EXPECT_EQ(SaveFile(zero.volume, zero.prompts, 2, dir + "/root"), SaveResult::Refused);
    EXPECT_EQ(zero.prompts.messages.back().text,
              "iNode 2 is not in the inode table (it is empty): nothing was saved.");
    fs::remove_all(dir);
}

TEST(Hostile, MutatedVolumesNeverCrashOrHang) {
    const ByteString& good = TheSample().image;
    std::mt19937 random(20240607);
    // The structures lie in the first blocks: the super block, the inode list, the directories
    // and the indirect blocks of the files made first.
    std::uniform_int_distribution<std::size_t> where(0, 60 * 1024 - 1);
    std::uniform_int_distribution<int> value(0, 255);
    const std::string dir = TempDir("tamarin-mutations");
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 40; ++round) {
        ByteString image = good;
        for (int flip = 0; flip < 24; ++flip)
            image[where(random)] = static_cast<std::uint8_t>(value(random));
        TamarinFixture t(image);
        ExerciseVolume(t, dir);
    }
    EXPECT_LT(Seconds(start), 120.0);
    fs::remove_all(dir);
}
