#include "Golden.h"
#include "TamarinFixture.h"
#include "modUtility.h"

#include <gtest/gtest.h>

namespace {

std::string SuperBlockText(SystemV68Builder b) {
    TamarinFixture t(b);
    t.Open();
    t.volume.DisplaySuperBlock(t.sink);
    return t.sink.Text();
}

} // namespace

TEST(SuperBlock, DecodesEveryFieldAndSetsTheGeometry) {
    SystemV68Builder b = SampleSystemV68();
    TamarinFixture t(b);
    ASSERT_TRUE(t.Open());
    const SuperBlock& s = t.volume.Super();
    EXPECT_EQ(s.InodeListEnd, 10);
    EXPECT_EQ(s.TotalBlocks, 990);
    EXPECT_EQ(s.FreeListCount, 50);
    EXPECT_EQ(s.FreeList[1], s.FreeList[0] + 1);
    EXPECT_GT(s.FreeInodeCount, 0);
    EXPECT_EQ(s.FileSystemName, "root");
    EXPECT_EQ(s.PackName, "sv68");
    EXPECT_EQ(s.State, StateClean);
    EXPECT_EQ(s.Magic, SuperBlockMagic);
    EXPECT_EQ(s.FsType, 2);
    EXPECT_EQ(s.LastUpdate, 536457600);
    const VolumeGeometry& g = t.volume.Geometry();
    EXPECT_EQ(g.BlockSize, 1024);
    EXPECT_EQ(g.SectorsPerBlock, 4);
    EXPECT_EQ(g.InodeBlocks, 8);
    EXPECT_EQ(g.InodeCount, 128);
    EXPECT_EQ(g.VolumeBlocks, 990);
    EXPECT_TRUE(g.IsExplorable);
    EXPECT_EQ(t.volume.BlockToSector(5), 20);
    EXPECT_EQ(t.volume.Inodes().InodeCount(), 128);
    EXPECT_TRUE(t.prompts.messages.empty());
}

TEST(SuperBlock, GoldenTextOfACleanVolume) {
    const std::string text = SuperBlockText(SampleSystemV68());
    EXPECT_GOLDEN("systemv68/superblock-clean", text);
    EXPECT_EQ(text.find("\r\nFile System Name    root    File Pack Name   sv68\r\n"), 0u);
    EXPECT_NE(text.find("\r\nSize of blocks on disk is 1024 bytes\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nVolume is Unmounted  \r\nLast Update  01/01/87 00:00:00\r\n"),
              std::string::npos);
}

TEST(SuperBlock, StateLinesAndModifiedFlag) {
    auto withState = [](std::uint32_t state, int modified) {
        SystemV68Builder b = SampleSystemV68();
        b.state = state;
        b.modified = modified;
        return SuperBlockText(b);
    };
    const std::string active = withState(0x5E72D81A, 1);
    EXPECT_GOLDEN("systemv68/superblock-active-modified", active);
    EXPECT_NE(active.find("\r\nVolume is Modified \r\n"), std::string::npos);
    EXPECT_NE(active.find("\r\nVolume is Active \r\nMagic is (FD187E20)\r\n"), std::string::npos);
    EXPECT_GOLDEN("systemv68/superblock-bad-root", withState(0xCB096F43, 0));
    EXPECT_GOLDEN("systemv68/superblock-bad-block", withState(0xBADBC14B, 0));
    const std::string unknown = withState(0x12345678, 0);
    EXPECT_NE(unknown.find("Free iNodes on disk  108  (006C)\r\nMagic is (FD187E20)\r\n"),
              std::string::npos)
        << "a state of no known value gives no state line";
    EXPECT_EQ(StateText(0x12345678), "");
}

TEST(SuperBlock, TypesOneAndFiveAreDecodedButNotExplored) {
    for (int type : {1, 5}) {
        SystemV68Builder b = SampleSystemV68();
        b.fsType = type;
        TamarinFixture t(b);
        EXPECT_FALSE(t.Open());
        EXPECT_FALSE(t.volume.Geometry().IsExplorable);
        EXPECT_EQ(t.volume.Geometry().BlockSize, type == 1 ? 512 : 8192);
        EXPECT_EQ(t.volume.Geometry().SectorsPerBlock, type == 1 ? 2 : 32);
        EXPECT_EQ(t.volume.Inodes().InodeCount(), 0) << "no inode list is read";
        t.volume.DisplaySuperBlock(t.sink);
        EXPECT_GOLDEN("systemv68/superblock-type" + std::to_string(type), t.Take());
        t.volume.ShowVolumeID(t.sink);
        EXPECT_GOLDEN("systemv68/not-explored-volume-id", t.Take());
    }
    SystemV68Builder odd = SampleSystemV68();
    odd.fsType = 3;
    const std::string text = SuperBlockText(odd);
    EXPECT_NE(text.find("Size of blocks on disk is   Unknown\r\n"), std::string::npos);
}

TEST(SuperBlock, WrongMagicIsAVolumeIDOnly) {
    SystemV68Builder b = SampleSystemV68();
    b.magicNumber = 0x12345678;
    TamarinFixture t(b);
    EXPECT_FALSE(t.Open());
    EXPECT_EQ(t.volume.Geometry().SectorsPerBlock, 2);
    EXPECT_FALSE(t.volume.Geometry().IsExplorable);
}

TEST(SuperBlock, EmptyInodeListAndNameEdges) {
    SystemV68Builder b = SampleSystemV68();
    b.Build(); // the files need an inode list; the super block is then changed by hand
    ByteString image = b.Build();
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
    const std::string text = t.Take();
    EXPECT_GOLDEN("systemv68/superblock-empty-inode-list", text);
    EXPECT_NE(text.find("File System Name    ABCDEF    File Pack Name   \r\n"), std::string::npos);
    EXPECT_NE(text.find("Number of blocks in iNode 2  (0002)\r\n"), std::string::npos);
    EXPECT_NE(text.find("Free iNodes on disk  40000  (9C40)\r\n"), std::string::npos);
}

TEST(SuperBlock, UnreadableHalfStaysZero) {
    TamarinFixture t(SampleSystemV68());
    t.disk.failing.insert(3);
    EXPECT_FALSE(t.volume.ReadSuperBlock(2));
    EXPECT_EQ(t.volume.Super().InodeListEnd, 10) << "the first half was read";
    EXPECT_EQ(t.volume.Super().Magic, 0) << "the second half stays zero";
    EXPECT_FALSE(t.volume.Geometry().IsExplorable);
    EXPECT_EQ(t.volume.Geometry().SectorsPerBlock, 2);
}

TEST(SuperBlock, DisplaySuperBlockReportHasVolumeIDAndConfiguration) {
    for (const char* magic : {"EXORMACS", "MOTOROLA"}) {
        SystemV68Builder b = SampleSystemV68();
        b.magic = magic;
        TamarinFixture t(b);
        ASSERT_TRUE(t.Open());
        t.volume.ShowSuperBlockReport(t.sink);
        const std::string text = t.Take();
        EXPECT_GOLDEN(std::string("systemv68/superblock-report-") + magic, text);
        const std::size_t volumeID = text.find("\r\n\r\nVolume ID\r\nSV68:0000\r\n");
        const std::size_t config = text.find("\r\n\r\nConfiguration Parameters\r\n");
        ASSERT_NE(volumeID, std::string::npos);
        ASSERT_NE(config, std::string::npos);
        EXPECT_LT(volumeID, config);
        EXPECT_NE(text.find(std::string(" Magic ") + magic + "\r\n\r\n Raw Volume ID"),
                  std::string::npos);
        EXPECT_EQ(text.find("IPC Code"), std::string::npos);
        EXPECT_EQ(text.find("BAD CHECKSUM"), std::string::npos);
    }
    SystemV68Builder plain = SampleSystemV68();
    plain.magic = "UNIXDISK";
    TamarinFixture t(plain);
    ASSERT_TRUE(t.Open()) << "the file system does not depend on sector 0";
    EXPECT_FALSE(t.volume.ConfigRead());
    t.volume.ShowSuperBlockReport(t.sink);
    const std::string text = t.Take();
    EXPECT_NE(text.find("Configuration Parameters\r\n not read: sector 0 carries neither "
                        "MOTOROLA nor EXORMACS\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Raw Configuration Area"), std::string::npos);
}
