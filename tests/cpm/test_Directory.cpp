// The directory scan, the allocation map and the SHORT and FULL listings.
#include "QuarryTest.h"

#include "FileCommands.h"
#include "Golden.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

TEST(Directory, FreshImagesListNothing) {
    for (const auto& [format, dirBlocks] : std::vector<std::pair<std::string, int>>{
             {"IBM-3740", 2}, {"PC-4104", 16}, {"J50-DSDD", 1}}) {
        TestImage t(format);
        CpmDirectory& dir = t.session.directory();
        dir.ShowAll(t.out);
        EXPECT_EQ(dir.Scan().FilesListed(), 0);
        EXPECT_EQ(dir.Scan().entriesUsed, 0);
        EXPECT_EQ(dir.FreeEntryCount(), t.session.Format().DRM + 1);
        EXPECT_EQ(dir.CountUsedBlocks(), dirBlocks) << format;
        EXPECT_EQ(dir.CountFreeBlocks(), t.session.Format().DSM + 1 - dirBlocks);
        EXPECT_EQ(dir.FindFreeEntry(), 0);
    }
}

TEST(Directory, ImageFilledWithZeros) {
    TestImage t("IBM-3740", 0x00);
    CpmDirectory& dir = t.session.directory();
    dir.ShowAll(t.out);
    EXPECT_EQ(dir.Scan().TotalFiles(), 1);
    EXPECT_EQ(dir.Scan().FilesListed(), 1);
    EXPECT_EQ(dir.Scan().entriesUsed, 64);
    EXPECT_EQ(dir.FreeEntryCount(), 0);
    EXPECT_EQ(dir.CountUsedBlocks(), 2);
    EXPECT_EQ(dir.FindFreeEntry(), -1);
    EXPECT_EQ(dir.FileList().front(),
              std::string("00:") + std::string(8, '\0') + "." + std::string(3, '\0'));
}

TEST(Directory, CountsMatchingAndStatusBytes) {
    TestImage t("IBM-3740");
    CpmDirectory& dir = t.session.directory();
    t.Put(0, MakeEntry(5, "00:BIG     .DAT", 0, 128, {2, 3}));
    t.Put(1, MakeEntry(5, "00:BIG     .DAT", 1, 128, {4}));
    t.Put(2, MakeEntry(5, "00:BIG     .DAT", 2, 7, {5}));
    t.Put(3, MakeEntry(21, "00:BIG     .DAT", 0, 0, {}));
    t.Put(4, MakeEntry(4, "00:BIG     .DAT", 0, 1, {6}));
    t.Put(5, MakeEntry(6, "00:OTHER   .   ", 0, 1, {7}));
    t.Put(6, DirEntry::Filled(0x40));
    t.Put(7, DirEntry::Filled(0x20));
    t.Put(8, DirEntry::Filled(0x21));
    dir.BuildAllocationMap();
    dir.ShowDirectory(t.out, "05", "????????", "???", ListMode::SHORT);
    const DirectoryScan& s = dir.Scan();
    EXPECT_EQ(s.FilesListed(), 1);
    EXPECT_EQ(s.TotalFiles(), 3);
    EXPECT_EQ(s.matched.size(), 3u);
    EXPECT_EQ(s.matchedNumbers, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(s.entriesUsed, 8); // 6 file or password entries, a label and a time stamp
    EXPECT_EQ(s.passwordEntries, 1);
    EXPECT_EQ(s.labelEntries, 1);
    EXPECT_EQ(s.timeStampEntries, 1);
    // Status 0x40 counts as available but is never handed out.
    EXPECT_EQ(dir.FreeEntryCount(), 64 - 8);
    EXPECT_EQ(dir.FindFreeEntry(), 9);
    EXPECT_EQ(dir.FindFreeEntries(3), (std::vector<int>{9, 10, 11}));
    EXPECT_EQ(dir.CountUsedBlocks(), 2 + 6);
    EXPECT_EQ(dir.BlockList(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(dir.Layout().lastBlockBytes, 7 * 128);
    EXPECT_EQ(dir.FileList(), (std::vector<std::string>{"05:BIG     .DAT"}));
}

TEST(Directory, BlockNumbersOutOfRangeAreIgnored) {
    TestImage t("IBM-3740");
    CpmDirectory& dir = t.session.directory();
    t.Put(0, MakeEntry(0, "00:BAD     .   ", 0, 128, {0, 242, 243, 255, 10}));
    dir.BuildAllocationMap();
    EXPECT_EQ(dir.CountUsedBlocks(), 2 + 2);
    EXPECT_EQ(t.Blocks("00:BAD     .   "), (std::vector<int>{242, 10}));

    TestImage w("PC-4104");
    CpmDirectory& wide = w.session.directory();
    w.Put(0, MakeEntry(0, "00:BAD     .   ", 0, 128, {0x8001, 2043, 2042, 0xFFFF, 100}, false));
    wide.BuildAllocationMap();
    EXPECT_EQ(wide.CountUsedBlocks(), 16 + 2);
    EXPECT_EQ(w.Blocks("00:BAD     .   "), (std::vector<int>{2042, 100}));
}

TEST(Directory, ExtentsInExtentOrderAndTheBytesOfTheLastRecord) {
    TestImage t("IBM-3740");
    std::vector<int> first(16);
    std::iota(first.begin(), first.end(), 4);
    DirEntry head = MakeEntry(0, "00:F       .   ", 0, 128, first);
    head.bytes[13] = 99; // S1 of an extent that is not the last counts for nothing
    t.Put(1, head);
    first.push_back(20);
    t.session.image().WriteBlock(20, ByteVector(1024, 'x'));
    // S1 of the last extent: 1..127 bytes used in its last record, else the whole record.
    for (const auto& [s1, size] :
         std::vector<std::pair<int, std::size_t>>{{15, 271}, {0, 384}, {127, 383}, {128, 384}}) {
        DirEntry last = MakeEntry(0, "00:F       .   ", 1, 3, {20});
        last.bytes[13] = static_cast<std::uint8_t>(s1);
        t.Put(0, last);
        EXPECT_EQ(t.Blocks("00:F       .   "), first);
        EXPECT_EQ(t.session.directory().Layout().lastBlockBytes, static_cast<int>(size)) << s1;
        EXPECT_EQ(t.Upload("00:F       .   ").size(), 16 * 1024 + size) << s1;
        t.session.ShowDirectory(true, t.out);
        EXPECT_NE(t.out.Text().find(" 14 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\r\n"
                                    " File Size - " +
                                    std::to_string(16 * 1024 + size)),
                  std::string::npos);
        t.Select("00:F       .   ");
        TypeFile(t.session, t.out);
        EXPECT_EQ(t.out.Text().size(), 16 * 1024 + size) << s1;
    }
}

TEST(Directory, ShortListingLayout) {
    TestImage t("IBM-3740");
    const std::string names = "ECADB";
    for (int i = 0; i < 5; ++i)
        t.Put(i, MakeEntry(0, "00:" + names.substr(i, 1) + "       .TXT", 0, 0, {}));
    t.session.directory().ShowAll(t.out);
    // Four names to a line.
    const std::string text = t.out.Text();
    EXPECT_EQ(text.substr(0, text.find("Files Listed")),
              "00:E       .TXT  00:C       .TXT  00:A       .TXT  00:D       .TXT  \r\n"
              "00:B       .TXT  \r\n");
    // Sorted, and the file list selects its first name.
    t.session.directory().SetSorted(true);
    t.session.directory().ShowAll(t.out);
    EXPECT_EQ(t.session.SelectedFile(), "00:A       .TXT");
}

// An image with files of two users, a password entry, a label and a time stamp.
void MakeListingImage(TestImage& t) {
    const std::string a = t.HostFile("readme.txt", ByteVector(700, 'r'));
    const std::string b = t.HostFile("big.dat", PatternBytes(20000, 1));
    const std::string c = t.HostFile("pip.com", PatternBytes(1500, 2));
    ASSERT_TRUE(t.Add(a, "README.TXT"));
    ASSERT_TRUE(t.Add(b, "BIG.DAT"));
    ASSERT_TRUE(t.Add(c, "3:PIP.COM"));
    t.Put(10, MakeEntry(19, "00:PIP     .COM", 0, 0, {}));
    t.Put(11, DirEntry::Filled(0x20));
    t.Put(12, MakeEntry(0x21, "00:        .   ", 0, 0, {}));
    t.session.directory().BuildAllocationMap();
}

TEST(Directory, GoldenListings) {
    TestImage t("IBM-3740");
    MakeListingImage(t);
    t.session.ShowDirectory(false, t.out);
    EXPECT_GOLDEN("cpm/short_listing", t.out.Text());
    t.session.ShowDirectory(true, t.out);
    EXPECT_GOLDEN("cpm/full_listing", t.out.Text());
    // Sorted: the password entry (status 19) after the files, the two BIG entries in disk
    // order, no entry numbers.
    t.session.directory().SetSorted(true);
    t.session.ShowDirectory(true, t.out);
    EXPECT_GOLDEN("cpm/full_listing_sorted", t.out.Text());

    TestImage wide("PC-1440");
    MakeListingImage(wide);
    wide.session.ShowDirectory(true, wide.out);
    EXPECT_GOLDEN("cpm/full_listing_16bit", wide.out.Text().substr(0, 1200));
}

TEST(Directory, NothingWithoutAnImage) {
    BareSession s;
    s.session.ShowDirectory(false, s.out);
    EXPECT_EQ(s.out.Text(), "");
    EXPECT_EQ(s.session.directory().FindFreeEntry(), -1);
    EXPECT_FALSE(s.session.directory().FileExists("00:PIP     .COM"));
}

} // namespace
