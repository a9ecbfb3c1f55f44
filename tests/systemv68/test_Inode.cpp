#include "Golden.h"
#include "TamarinFixture.h"

#include <gtest/gtest.h>

TEST(Inode, DecodesTheInodeListFromBlockTwo) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    TamarinFixture t(b.Build());
    ASSERT_TRUE(t.Open());
    const InodeTable& inodes = t.volume.Inodes();
    EXPECT_FALSE(inodes.InUse(1)) << "inode 1, at offset 0 of block 2, is unused here";
    const Inode& root = inodes.Get(2);
    EXPECT_EQ(root.Mode, 040755);
    EXPECT_TRUE(IsDirectory(root));
    EXPECT_EQ(root.Links, 6) << ". and the .. of etc, bin, dev and usr";
    const Inode& passwd = inodes.Get(n.passwd);
    EXPECT_EQ(passwd.Mode, 0100644);
    EXPECT_FALSE(IsDirectory(passwd));
    EXPECT_EQ(passwd.Uid, 3);
    EXPECT_EQ(passwd.Gid, 4);
    EXPECT_EQ(passwd.Size, static_cast<std::int32_t>(PasswdText().size()));
    EXPECT_EQ(passwd.MTime, 536500000);
    EXPECT_EQ(passwd.BlockAddr, b.File(n.passwd).addresses);
    EXPECT_EQ(inodes.Get(n.big).BlockAddr, b.File(n.big).addresses);
    EXPECT_NE(inodes.Get(n.big).BlockAddr[11], 0) << "the double indirect address";
    EXPECT_NE(inodes.Get(n.sparse).BlockAddr[12], 0) << "the triple indirect address";
    EXPECT_FALSE(inodes.InUse(n.freed));
    EXPECT_EQ(inodes.Get(n.freed).Mode, 0100644) << "a freed inode keeps its old fields";
    EXPECT_EQ(inodes.Get(0).Links, 0);
    EXPECT_EQ(inodes.Get(129).Links, 0) << "beyond the table: an empty inode";
    EXPECT_EQ(inodes.Get(-5).Links, 0);

    // Inode 1 lies at offset 0 of block 2: a byte there shows in inode 1.
    ByteString image = b.Build();
    image[2048 + 2] = 0;
    image[2048 + 3] = 1;
    TamarinFixture patched(image);
    ASSERT_TRUE(patched.Open());
    EXPECT_TRUE(patched.volume.Inodes().InUse(1));
}

TEST(Inode, FileTypeTexts) {
    EXPECT_EQ(FileTypeText(0x1000), "FIFO");
    EXPECT_EQ(FileTypeText(0x2000), "Special Character");
    EXPECT_EQ(FileTypeText(0x3000), "Special Multiplex Character");
    EXPECT_EQ(FileTypeText(0x4000), "Directory");
    EXPECT_EQ(FileTypeText(0x6000), "Special Block");
    EXPECT_EQ(FileTypeText(0x7000), "Special Multiplex Block");
    EXPECT_EQ(FileTypeText(0x81FF), "Regular File");
    for (int code : {0, 5, 9, 10, 15})
        EXPECT_EQ(FileTypeText(code << 12), "Unknown ") << code;
    Inode dir;
    dir.Mode = 0x41ED;
    EXPECT_TRUE(IsDirectory(dir));
    dir.Mode = 0xC1ED;
    EXPECT_FALSE(IsDirectory(dir)) << "only type 4 is a directory";
}

TEST(Inode, SummaryAndFullDisplay) {
    SampleInodes n;
    TamarinFixture t(SampleSystemV68(&n));
    ASSERT_TRUE(t.Open());
    const InodeTable& inodes = t.volume.Inodes();
    inodes.DisplayInode(t.sink, n.passwd);
    const std::string summary = t.Take();
    EXPECT_GOLDEN("systemv68/inode-summary", summary);
    EXPECT_EQ(summary.rfind("\r\nInode " + std::to_string(n.passwd) + "  Type/Mode 81A4\r\n", 0),
              0u);
    EXPECT_NE(summary.find("  Type is Regular File\r\n  Mode is 0644\r\n"), std::string::npos);
    EXPECT_NE(summary.find("  User 3  Group 4\r\n"), std::string::npos);
    EXPECT_NE(summary.find(" mTime (01/01/87 11:46:40)"), std::string::npos);
    EXPECT_EQ(summary.substr(summary.size() - 4), "\r\n\r\n");

    inodes.DisplayInodeFull(t.sink, n.big);
    EXPECT_GOLDEN("systemv68/inode-full-double-indirect", t.Take());
    inodes.DisplayInodeFull(t.sink, 2);
    const std::string root = t.Take();
    EXPECT_GOLDEN("systemv68/inode-full-root", root);
    EXPECT_NE(root.find("  Mode is 0755\r\n"), std::string::npos);
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

TEST(Inode, InodeTableDisplay) {
    SampleInodes n;
    TamarinFixture t(SampleSystemV68(&n));
    ASSERT_TRUE(t.Open());
    t.volume.Inodes().DisplayInodeTable(t.sink, t.hook);
    const std::string text = t.Take();
    EXPECT_GOLDEN("systemv68/inode-table", text);
    EXPECT_EQ(text.find("\r\nInode 1 "), std::string::npos);
    EXPECT_EQ(text.find("\r\nInode " + std::to_string(n.freed) + " "), std::string::npos);
    EXPECT_NE(text.find("\r\nInode " + std::to_string(n.links) + " "), std::string::npos);
}

TEST(Inode, WholeInodeListBeyond512Inodes) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    b.inodeListEnd = 2 + 200; // 3,200 inodes
    // The last inode of the list is a copy of /small.
    const ByteString image = [&] {
        ByteString bytes = b.Build();
        const std::size_t last = SystemV68Builder::InodeOffset(3200);
        std::copy_n(bytes.begin() + static_cast<long>(SystemV68Builder::InodeOffset(n.small)), 64,
                    bytes.begin() + static_cast<long>(last));
        return bytes;
    }();
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.volume.Geometry().InodeCount, 3200);
    EXPECT_EQ(t.volume.Inodes().InodeCount(), 3200);
    EXPECT_TRUE(t.volume.Inodes().InUse(3200));
    EXPECT_EQ(t.volume.Inodes().Get(3200).Size, 1500);
    EXPECT_TRUE(t.prompts.messages.empty());
}

TEST(Inode, InodeListPastTheImageOrTheVolumeKeepsWhatWasRead) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    ByteString image = b.Build();
    // The super block claims a list to block 900, but the image ends after block 20.
    VersaDOSBuilder::PutWord(image, 512, 900);
    image.resize(SystemV68Builder::BlockOffset(20));
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    EXPECT_EQ(t.volume.Inodes().InodeCount(), 18 * 16) << "blocks 2..19 were read";
    EXPECT_TRUE(t.volume.Inodes().InUse(n.passwd));
    ASSERT_EQ(t.prompts.messages.size(), 1u);
    EXPECT_EQ(t.prompts.messages[0].title, "iNode list");
    EXPECT_EQ(t.prompts.messages[0].text,
              "The inode list could not be read from logical sector 80 on: 288 of 14368 iNodes are "
              "available.");
    EXPECT_EQ(t.disk.failures, 1) << "the read stops at the first failure";

    // A list that runs past the volume's last block is read up to it.
    ByteString past = b.Build();
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
