#include "Golden.h"
#include "TamarinFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

SystemV68Builder SampleWith(const std::function<void(SystemV68Builder&)>& change) {
    SystemV68Builder b = SampleSystemV68();
    change(b);
    return b;
}

std::string SuperBlockText(SystemV68Builder b) {
    TamarinFixture t(b);
    t.Open();
    t.volume.DisplaySuperBlock(t.sink);
    return t.sink.Text();
}

} // namespace

TEST(SuperBlock, StateLinesAndModifiedFlag) {
    const auto withState = [](std::uint32_t state, int modified) {
        return SuperBlockText(SampleWith([&](SystemV68Builder& b) {
            b.state = state;
            b.modified = modified;
        }));
    };
    EXPECT_GOLDEN("systemv68/superblock-active-modified", withState(0x5E72D81A, 1));
    EXPECT_GOLDEN("systemv68/superblock-bad-root", withState(0xCB096F43, 0));
    EXPECT_GOLDEN("systemv68/superblock-bad-block", withState(0xBADBC14B, 0));
    EXPECT_NE(withState(0x12345678, 0)
                  .find("Free iNodes on disk  108  (006C)\r\nMagic is (FD187E20)\r\n"),
              std::string::npos)
        << "a state of no known value gives no state line";
}

TEST(SuperBlock, TypesOneAndFiveAreDecodedButNotExplored) {
    for (int type : {1, 5}) {
        TamarinFixture t(SampleWith([&](SystemV68Builder& b) { b.fsType = type; }));
        EXPECT_FALSE(t.Open());
        EXPECT_FALSE(t.volume.Geometry().IsExplorable);
        EXPECT_EQ(t.volume.Inodes().InodeCount(), 0) << "no inode list is read";
        t.volume.DisplaySuperBlock(t.sink);
        EXPECT_GOLDEN("systemv68/superblock-type" + std::to_string(type), t.Take());
        t.volume.ShowVolumeID(t.sink);
        EXPECT_GOLDEN("systemv68/not-explored-volume-id", t.Take());
    }
    EXPECT_NE(SuperBlockText(SampleWith([](SystemV68Builder& b) {
                  b.fsType = 3;
              })).find("Size of blocks on disk is   Unknown\r\n"),
              std::string::npos);

    // A wrong magic number leaves a volume ID only.
    TamarinFixture t(SampleWith([](SystemV68Builder& b) { b.magicNumber = 0x12345678; }));
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(t.volume.Geometry().SectorsPerBlock, 2);
    EXPECT_FALSE(t.volume.Geometry().IsExplorable);
}

TEST(SuperBlock, EmptyInodeListAndNameEdges) {
    ByteString image = TheSample().image;
    VersaDOSBuilder::PutWord(image, 512, 2); // InodeListEnd 2: no inode list
    for (int i = 0; i < 6; ++i)
        image[512 + 432 + i] = static_cast<std::uint8_t>('A' + i);
    image[512 + 438] = 0;                              // pack name starts with a zero byte
    VersaDOSBuilder::PutWord(image, 512 + 430, 40000); // free inodes above 32767
    TamarinFixture t(image);
    EXPECT_TRUE(t.Open());
    EXPECT_EQ(t.volume.Geometry().InodeCount, 0);
    EXPECT_EQ(t.volume.Inodes().InodeCount(), 0);
    EXPECT_EQ(t.volume.Super().FileSystemName, "ABCDEF") << "no zero byte: all six characters";
    EXPECT_EQ(t.volume.Super().PackName, "");
    t.volume.DisplaySuperBlock(t.sink);
    EXPECT_GOLDEN("systemv68/superblock-empty-inode-list", t.Take());
}

TEST(SuperBlock, UnreadableHalfStaysZero) {
    TamarinFixture t;
    t.disk.failing.insert(3);
    EXPECT_FALSE(t.volume.ReadSuperBlock(2));
    EXPECT_EQ(t.volume.Super().InodeListEnd, 10) << "the first half was read";
    EXPECT_EQ(t.volume.Super().Magic, 0) << "the second half stays zero";
    EXPECT_FALSE(t.volume.Geometry().IsExplorable);
    EXPECT_EQ(t.volume.Geometry().SectorsPerBlock, 2);
}

TEST(SuperBlock, ReportWithVolumeIDAndConfigurationOfEitherMagic) {
    // EXORMACS, the sample's, is in the tamarin cases.
    for (const std::string magic : {"MOTOROLA"}) {
        TamarinFixture t(SampleWith([&](SystemV68Builder& b) { b.magic = magic; }));
        ASSERT_TRUE(t.Open());
        t.volume.ShowSuperBlockReport(t.sink);
        EXPECT_GOLDEN("systemv68/superblock-report-" + magic, t.Take());
    }
    TamarinFixture t(SampleWith([](SystemV68Builder& b) { b.magic = "UNIXDISK"; }));
    ASSERT_TRUE(t.Open()) << "the file system does not depend on sector 0";
    EXPECT_FALSE(t.volume.ConfigRead());
    t.volume.ShowSuperBlockReport(t.sink);
    const std::string text = t.Take();
    EXPECT_NE(text.find("Configuration Parameters\r\n not read: sector 0 carries neither "
                        "MOTOROLA nor EXORMACS\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Raw Configuration Area"), std::string::npos);
}
