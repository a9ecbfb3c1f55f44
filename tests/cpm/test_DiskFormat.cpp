// Record addressing through the skew, how an image's size chooses its format, and how it is
// opened. The format table itself is in `quarry formats` and the cpmtools comparisons.
#include "ImdBuilder.h"
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

// Quarry's session has the shape of every explorer's: open, close and is-open, through the
// interface the window shell uses, on a flat image and on one in an ImageDisk file.
TEST(DiskFormat, OpenFailuresAndReadOnly) {
    const std::string folder = TempDir("quarry-open");
    BareSession s;
    ExplorerSession& session = s.session;
    EXPECT_EQ(s.OpenImage(folder + "/missing.img"), OpenOutcome::Failed);
    EXPECT_FALSE(session.IsOpen());
    ASSERT_EQ(s.prompts.messages.size(), 2u);
    EXPECT_EQ(s.prompts.messages[0].title, "Error Getting File Size");
    EXPECT_EQ(s.prompts.messages[1].title, "Error Openning Image File");
    EXPECT_EQ(s.OpenImage(folder), OpenOutcome::Failed);
    EXPECT_FALSE(session.IsOpen());

    // Sectors with no file behind them cannot be locked or written: refused.
    const ByteVector flat(256256, 0xE5);
    MemorySectors memory(flat, 256);
    EXPECT_EQ(session.Attach(OpenedImage::Borrowing(memory, "memory"), s.out),
              OpenOutcome::Refused);
    EXPECT_EQ(s.out.Text(), "Quarry opens image files only\r\n");
    EXPECT_FALSE(session.IsOpen());

    // Asked for read-only: nothing may be written.
    const std::string path = folder + "/ro.img";
    WriteFileBytes(path, flat);
    ASSERT_EQ(s.OpenImage(path, true), OpenOutcome::Opened);
    EXPECT_TRUE(session.IsOpen());
    EXPECT_TRUE(s.session.image().ReadOnly());
    EXPECT_FALSE(s.session.image().Writable());
    EXPECT_FALSE(s.session.image().WriteAt(0, ByteVector(1, 0), "t"));

    // A file the user may not write opens read-only, and says so (root can write anything).
    if (::geteuid() != 0) {
        ::chmod(path.c_str(), 0444);
        s.prompts.messages.clear();
        ASSERT_EQ(s.OpenImage(path), OpenOutcome::Opened);
        EXPECT_TRUE(s.session.image().ReadOnly());
        ASSERT_FALSE(s.prompts.messages.empty());
        EXPECT_EQ(Said(s.prompts.messages[0]),
                  "File has no write access: Opened file as R/O - " + path);
    }
    session.Close();
    EXPECT_FALSE(session.IsOpen());

    // The same disk in an ImageDisk file, opened and attached: read as the same format, and
    // writable (the container is made anew at the end of a change).
    const std::string imd = folder + "/disk.imd";
    ImdFromFlat(flat, 1, 26, ImdSize::S128, ImdMode::Fm500).Write(imd);
    ASSERT_EQ(session.Open(imd, QuarryOpener(), s.out), OpenOutcome::Opened);
    EXPECT_TRUE(session.IsOpen());
    EXPECT_NE(s.session.image().Container(), nullptr);
    EXPECT_EQ(s.session.Format().Name(), "IBM-3740");
    EXPECT_TRUE(s.session.image().Writable());
    ImageOpener reader(SectorView::Logical256, "VersaDOS File System", "Kestrel");
    std::unique_ptr<OpenedImage> opened = reader.Open(imd, s.prompts);
    ASSERT_NE(opened, nullptr);
    ASSERT_EQ(session.Attach(std::move(opened), s.out), OpenOutcome::Opened);
    EXPECT_NE(s.session.image().Container(), nullptr);
    EXPECT_EQ(s.session.image().Name(), imd);
    session.Close();
    EXPECT_FALSE(session.IsOpen());
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
