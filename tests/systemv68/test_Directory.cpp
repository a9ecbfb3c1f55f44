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
    std::string listing; // a 14-character name has no zero byte and is whole
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

    // Holes in a directory hold no entries: /usr/links's second block moved behind two holes
    // is still listed and its names still found.
    image = built;
    const std::size_t map = SystemV68Builder::InodeOffset(n.links) + 12;
    std::copy_n(image.begin() + map + 3, 3, image.begin() + map + 9);
    std::fill_n(image.begin() + map + 3, 6, 0);
    VersaDOSBuilder::PutLong(image, SystemV68Builder::InodeOffset(n.links) + 8, 4 * 1024);
    TamarinFixture holes(image);
    ASSERT_TRUE(holes.Open());
    ASSERT_TRUE(ListDirectory(holes.volume, n.links, lines));
    EXPECT_GT(lines.size(), 64u);
    std::string error;
    EXPECT_EQ(ResolvePath(holes.volume, "/usr/links/hello69", error), n.hello) << error;
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
    const std::tuple<const char*, std::int32_t, const char*> cases[] = {
        {"/", 2, ""},
        {"/etc/passwd", n.passwd, ""},
        {"//usr/src/../src/./hello.c", n.hello, ""},
        {"/usr/links/hello69", n.hello, ""}, // in the directory's second block
        {"/abcdefghijklmn", n.fourteen, ""},
        {"/dev/", n.dev, ""},
        {"#4", 4, ""},
        {"#900", 900, ""}, // the caller refuses it
        {"/etc/shadow", 0, "/etc/shadow: no such file or directory"},
        {"/etc/passwd/x", 0, "/etc/passwd/x: /etc/passwd is not a directory"},
        {"etc", 0, "etc: give an absolute path (/etc/passwd) or #N"},
        {"#", 0, "#: an inode is given as #N with a decimal number N"},
        {"#x1", 0, "#x1: an inode is given as #N with a decimal number N"},
        {"#-1", 0, "#-1: an inode is given as #N with a decimal number N"},
        {"#12345678901", 0, "#12345678901: an inode is given as #N with a decimal number N"}};
    for (const auto& [path, ino, message] : cases) {
        std::string error;
        EXPECT_EQ(ResolvePath(t.volume, path, error), ino) << path;
        EXPECT_EQ(error, message) << path;
    }
}
