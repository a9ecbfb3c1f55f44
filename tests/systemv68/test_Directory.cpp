#include "Golden.h"
#include "SystemVDirectory.h"
#include "TamarinFixture.h"
#include "modUtility.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(const std::vector<DirListItem>& lines) {
    std::vector<std::string> texts;
    for (const DirListItem& line : lines)
        texts.push_back(line.text);
    return texts;
}

} // namespace

TEST(Directory, ListOfTheRootInDirectoryOrder) {
    SampleInodes n;
    SystemV68Builder b = SampleSystemV68(&n);
    b.AddEntry(2, "ghost", 500);     // beyond the inode table
    b.AddEntry(2, "stale", n.freed); // a free inode
    TamarinFixture t(b.Build());
    ASSERT_TRUE(t.Open());
    std::vector<DirListItem> lines;
    ASSERT_TRUE(ListDirectory(t.volume, 2, lines));
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{
                                "(.)", "(..)", "(etc)", "(bin)", "empty", "small", "big", "holes",
                                "sparse", "abcdefghijklmn", "(dev)", "(usr)", "ghost", "stale"}));
    EXPECT_EQ(lines[0].ino, 2);
    EXPECT_EQ(lines[1].ino, 2);
    EXPECT_EQ(lines[2].ino, n.etc);
    EXPECT_EQ(lines[9].ino, n.fourteen) << "a 14-character name has no zero byte and is whole";
    EXPECT_EQ(lines[12].ino, 500);
    std::string listing;
    for (const DirListItem& line : lines)
        listing += PadDec(line.ino, 6) + "  " + line.text + "\r\n";
    EXPECT_GOLDEN("systemv68/directory-list-root", listing);

    // Files, free and unknown inodes are not directories: no list.
    for (std::int32_t none : {n.passwd, n.freed, 500, 0})
        EXPECT_FALSE(ListDirectory(t.volume, none, lines));
    EXPECT_EQ(lines.size(), 14u) << "a refused list leaves the lines as they were";

    ASSERT_TRUE(ListDirectory(t.volume, n.src, lines));
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{"(.)", "(..)", "hello.c"}));
    EXPECT_EQ(lines[1].ino, n.usr) << ".. leads up";
}

TEST(Directory, TextWithAHeaderForEveryBlock) {
    const SampleInodes& n = TheSample().n;
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    t.sink.Append("stale text");
    DisplayDirectory(t.volume, t.sink, 2);
    EXPECT_GOLDEN("systemv68/directory-root", t.Take());

    DisplayDirectory(t.volume, t.sink, n.links);
    EXPECT_GOLDEN("systemv68/directory-two-blocks", t.Take()); // a header for each block

    DisplayDirectory(t.volume, t.sink, n.passwd);
    EXPECT_EQ(t.Take(), "") << "a file is not shown as a directory";
}

TEST(Directory, EmptyBlocksEmptyNamesAndASizeInsideTheLastBlock) {
    const auto& [n, b, built] = TheSample();
    ByteString image = built;
    // The second block of /usr/links: every entry empty.
    const std::int32_t second = b.File(n.links).addresses[1];
    for (int e = 0; e < 64; ++e)
        VersaDOSBuilder::PutWord(image, SystemV68Builder::BlockOffset(second) + 16 * e, 0);
    // An entry of /usr/src whose name starts with a zero byte.
    const std::size_t src = SystemV68Builder::BlockOffset(b.File(n.src).addresses[0]);
    image[src + 2 * 16 + 2] = 0;
    // /etc says 40 bytes, inside its third entry; its fourth entry is still read.
    VersaDOSBuilder::PutLong(image, SystemV68Builder::InodeOffset(n.etc) + 8, 40);
    TamarinFixture t(image);
    ASSERT_TRUE(t.Open());
    std::vector<DirListItem> lines;
    ASSERT_TRUE(ListDirectory(t.volume, n.links, lines));
    EXPECT_EQ(lines.size(), 64u) << "only the first block's 64 entries";
    ASSERT_TRUE(ListDirectory(t.volume, n.src, lines));
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{"(.)", "(..)", ""}));
    EXPECT_EQ(lines[2].ino, n.hello);
    ASSERT_TRUE(ListDirectory(t.volume, n.etc, lines));
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{"(.)", "(..)", "passwd", "motd"}));
}

TEST(Directory, SelectedInode) {
    std::int32_t remembered = 0;
    EXPECT_EQ(GetSelectedInode(-1, remembered, 128), 2) << "nothing yet: the root";
    EXPECT_EQ(GetSelectedInode(7, remembered, 128), 7);
    EXPECT_EQ(remembered, 7);
    EXPECT_EQ(GetSelectedInode(-1, remembered, 128), 7) << "no selection: the remembered one";
    EXPECT_EQ(GetSelectedInode(500, remembered, 128), 500) << "a selected line's inode as it is";
    EXPECT_EQ(GetSelectedInode(-1, remembered, 128), 2) << "a remembered one out of range";
    remembered = 0;
    EXPECT_EQ(GetSelectedInode(-1, remembered, 128), 2);
}

TEST(Directory, PathsAndInodeNumbers) {
    const SampleInodes& n = TheSample().n;
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    std::string error;
    EXPECT_EQ(ResolvePath(t.volume, "/", error), 2);
    EXPECT_EQ(ResolvePath(t.volume, "/etc/passwd", error), n.passwd);
    EXPECT_EQ(ResolvePath(t.volume, "//usr/src/../src/./hello.c", error), n.hello);
    EXPECT_EQ(ResolvePath(t.volume, "/usr/links/hello69", error), n.hello) << "second block";
    EXPECT_EQ(ResolvePath(t.volume, "/abcdefghijklmn", error), n.fourteen);
    EXPECT_EQ(ResolvePath(t.volume, "/dev/", error), n.dev);
    EXPECT_EQ(error, "");
    EXPECT_EQ(ResolvePath(t.volume, "#4", error), 4);
    EXPECT_EQ(ResolvePath(t.volume, "#900", error), 900) << "the caller refuses it";

    EXPECT_EQ(ResolvePath(t.volume, "/etc/shadow", error), 0);
    EXPECT_EQ(error, "/etc/shadow: no such file or directory");
    EXPECT_EQ(ResolvePath(t.volume, "/etc/passwd/x", error), 0);
    EXPECT_EQ(error, "/etc/passwd/x: /etc/passwd is not a directory");
    EXPECT_EQ(ResolvePath(t.volume, "etc", error), 0);
    EXPECT_EQ(error, "etc: give an absolute path (/etc/passwd) or #N");
    for (const char* bad : {"#", "#x1", "#-1", "#12345678901"}) {
        EXPECT_EQ(ResolvePath(t.volume, bad, error), 0) << bad;
        EXPECT_NE(error, "");
    }
}
