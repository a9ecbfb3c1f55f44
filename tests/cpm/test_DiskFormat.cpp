// Record addressing through the skew, how an image's size chooses its format, and how it is
// opened. The format table itself is in `quarry formats` and the cpmtools comparisons.
#include "QuarryTest.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(DiskFormat, SelectionByNameOrKey) {
    DiskFormat f;
    EXPECT_EQ(f.Name(), "IBM-3740");
    f.SetDiskFormat("j50-dsdd");
    EXPECT_EQ(f.Index(), 9);
    f.SetDiskFormat("PC1440");
    f.SetDiskFormat("JADEDSDD50");
    EXPECT_EQ(f.Index(), 9);
    f.SetDiskFormat("ibm3740");
    EXPECT_EQ(f.Name(), "IBM-3740");
    // An unknown name keeps the previous parameters.
    f.SetDiskFormat("PC-8190");
    f.SetDiskFormat("no such disk");
    EXPECT_EQ(f.Name(), "PC-8190");
    EXPECT_EQ(f.BlockSize, 4096);
    EXPECT_FALSE(f.EightBitBlocks);
    EXPECT_EQ(f.ExtentsPerEntry, 2);
}

TEST(DiskFormat, RecordAddressingThroughTheSkew) {
    DiskFormat f;
    EXPECT_EQ(f.FilePosition(0), 6656);
    EXPECT_EQ(f.FilePosition(128), 6656 + 6 * 128);
    EXPECT_EQ(f.FilePosition(26 * 128), 6656 + 3328);
    EXPECT_EQ(f.FilePosition(130), 6656 + 6 * 128 + 2);
    f.SetDiskFormat("J50-SSDD");
    EXPECT_EQ(f.FilePosition(50 * 128), 9728 + 6400);
    EXPECT_EQ(f.FilePosition(7 * 128 + 5), 9728 + 7 * 128 + 5);
    // Every record of a skewed track lands on a distinct sector of the same track.
    f.SetDiskFormat("J50-DSSD");
    std::vector<bool> seen(26, false);
    for (int r = 26; r < 52; ++r) {
        const std::int64_t at = f.ImageOffset(r * 128) - 26 * 128;
        ASSERT_GE(at, 0);
        ASSERT_LT(at, 26 * 128);
        seen[static_cast<std::size_t>(at / 128)] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 26);
}

TEST(DiskFormat, OpenFailuresAndReadOnly) {
    const std::string folder = TempDir("quarry-open");
    BareSession s;
    QuarrySession& session = s.session;
    session.image().SetName(folder + "/missing.img");
    EXPECT_FALSE(session.DetectDiskFormat());
    EXPECT_FALSE(session.image().ImageOpen());
    ASSERT_EQ(s.prompts.messages.size(), 2u);
    EXPECT_EQ(s.prompts.messages[0].title, "Error Getting File Size");
    EXPECT_EQ(s.prompts.messages[1].title, "Error Openning Image File");
    session.image().SetName(folder);
    EXPECT_FALSE(session.DetectDiskFormat());
    EXPECT_FALSE(session.image().ImageOpen());

    // Asked for read-only: nothing may be written.
    const std::string path = folder + "/ro.img";
    WriteFileBytes(path, ByteVector(256256, 0xE5));
    session.image().SetName(path);
    session.image().SetReadOnlyRequested(true);
    ASSERT_TRUE(session.DetectDiskFormat());
    EXPECT_TRUE(session.image().ReadOnly());
    EXPECT_FALSE(session.image().Writable());
    EXPECT_FALSE(session.image().WriteAt(0, ByteVector(1, 0), "t"));

    // A file the user may not write opens read-only, and says so (root can write anything).
    if (::geteuid() != 0) {
        ::chmod(path.c_str(), 0444);
        s.prompts.messages.clear();
        session.image().SetReadOnlyRequested(false);
        ASSERT_TRUE(session.DetectDiskFormat());
        EXPECT_TRUE(session.image().ReadOnly());
        ASSERT_FALSE(s.prompts.messages.empty());
        EXPECT_EQ(Said(s.prompts.messages[0]),
                  "File has no write access: Opened file as R/O - " + path);
    }
    session.CloseImage();
    EXPECT_FALSE(session.image().ImageOpen());
}

TEST(DiskFormat, WritesNeverGrowTheImage) {
    TestImage t("IBM-3740");
    CpmImage& image = t.session.image();
    // A format picked by hand for a smaller image: blocks past the end are refused.
    t.session.SelectDiskFormat("PC-1440");
    const ByteVector before = t.Bytes();
    EXPECT_FALSE(image.BlockInImage(700));
    EXPECT_FALSE(image.WriteBlock(700, ByteVector(2048, 0)));
    EXPECT_EQ(t.Bytes(), before);
    ASSERT_FALSE(t.prompts.messages.empty());
    EXPECT_EQ(t.prompts.messages.back().title, "Error Putting Sector From Image");
    // Reading there gives what an unwritten disk holds.
    ByteVector block(2048, 0);
    EXPECT_TRUE(image.ReadBlock(700, block));
    EXPECT_EQ(block, ByteVector(2048, 0xE5));
}

} // namespace
