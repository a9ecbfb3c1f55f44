#include "Golden.h"
#include "TamarinFixture.h"

#include <gtest/gtest.h>

TEST(Inode, SummaryFullDisplayAndTable) {
    const SampleInodes& n = TheSample().n;
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    const InodeTable& inodes = t.volume.Inodes();
    inodes.DisplayInode(t.sink, n.passwd);
    EXPECT_GOLDEN("systemv68/inode-summary", t.Take());
    // The full views of / and /big and the table are in the tamarin cases.

    inodes.DisplayInodeFull(t.sink, n.fd);
    const std::string device = t.Take();
    EXPECT_NE(device.find("  Type is Special Block\r\n"), std::string::npos);
    EXPECT_NE(device.find("   512 (00000200)     0 (00000000)"), std::string::npos)
        << "a device inode's first address holds the device number";

    for (std::int32_t none : {0, 1, n.freed, 129, -1, 70000}) {
        inodes.DisplayInode(t.sink, none);
        inodes.DisplayInodeFull(t.sink, none);
    }
    EXPECT_EQ(t.Take(), "") << "free and out-of-range inodes show nothing";
}

TEST(Inode, WholeInodeListBeyond512Inodes) {
    SystemV68Builder b = SampleSystemV68();
    b.inodeListEnd = 2 + 200; // 3,200 inodes
    ByteString image = b.Build();
    // The last inode of the list is a copy of /small.
    std::copy_n(image.begin() +
                    static_cast<long>(SystemV68Builder::InodeOffset(TheSample().n.small)),
                64, image.begin() + static_cast<long>(SystemV68Builder::InodeOffset(3200)));
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.volume.Geometry().InodeCount, 3200);
    EXPECT_EQ(t.volume.Inodes().InodeCount(), 3200);
    EXPECT_TRUE(t.volume.Inodes().InUse(3200));
    EXPECT_EQ(t.volume.Inodes().Get(3200).Size, 1500);
    EXPECT_TRUE(t.prompts.messages.empty());
}

TEST(Inode, InodeListPastTheImageOrTheVolumeKeepsWhatWasRead) {
    ByteString image = TheSample().image;
    // The super block claims a list to block 900, but the image ends after block 20.
    VersaDOSBuilder::PutWord(image, 512, 900);
    image.resize(SystemV68Builder::BlockOffset(20));
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.volume.Inodes().InodeCount(), 18 * 16) << "blocks 2..19 were read";
    EXPECT_TRUE(t.volume.Inodes().InUse(TheSample().n.passwd));
    ASSERT_EQ(t.prompts.messages.size(), 1u);
    EXPECT_EQ(t.prompts.messages[0].title, "iNode list");
    EXPECT_EQ(t.prompts.messages[0].text,
              "The inode list could not be read from logical sector 80 on: 288 of 14368 iNodes are "
              "available.");
    EXPECT_EQ(t.disk.failures, 1) << "the read stops at the first failure";

    // A list that runs past the volume's last block is read up to it.
    ByteString past = TheSample().image;
    VersaDOSBuilder::PutWord(past, 512, 60000);
    TamarinFixture v(past);
    ASSERT_TRUE(v.Open());
    EXPECT_EQ(v.volume.Inodes().InodeCount(), (990 - 2) * 16);
    ASSERT_EQ(v.prompts.messages.size(), 1u);
    EXPECT_EQ(v.prompts.messages[0].text,
              "The inode list (959968 iNodes) runs past the end of the volume (990 blocks): "
              "15808 of 959968 iNodes are available.");
    EXPECT_EQ(v.disk.failures, 0);
}
