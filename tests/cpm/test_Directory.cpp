// The directory scan, the allocation map and the SHORT and FULL listings.
#include "QuarryTest.h"

#include "CpmNames.h"
#include "Golden.h"

#include <gtest/gtest.h>

namespace {

DirEntry FileEntry(int status, const std::string& name, const std::string& type, int ex, int rc,
                   const std::vector<int>& blocks, bool eightBit = true) {
    DirEntry e;
    e.SetName(CpmName(0, name, type), status);
    e.bytes[12] = static_cast<std::uint8_t>(ex);
    e.bytes[15] = static_cast<std::uint8_t>(rc);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        SetBlockPointer(e, static_cast<int>(i), blocks[i], eightBit);
    return e;
}

void Put(TestImage& t, int n, const DirEntry& e) {
    t.session.directory().CurrentEntry() = e;
    ASSERT_TRUE(t.session.directory().WriteDirEntry(n));
}

std::string Summary(const std::string& listing) {
    return listing.substr(listing.find("Files Listed"));
}

TEST(Directory, FreshImagesListNothing) {
    for (const auto& [format, dirBlocks] : std::vector<std::pair<std::string, int>>{
             {"IBM-3740", 2}, {"PC-4104", 16}, {"J50-DSDD", 1}}) {
        TestImage t(format);
        CpmDirectory& dir = t.session.directory();
        dir.ShowAll();
        EXPECT_EQ(dir.Scan().FilesListed(), 0);
        EXPECT_EQ(dir.Scan().entriesUsed, 0);
        EXPECT_EQ(dir.FreeEntryCount(), t.session.Format().DRM + 1);
        EXPECT_EQ(dir.CountUsedBlocks(), dirBlocks) << format;
        EXPECT_EQ(dir.CountFreeBlocks(), t.session.Format().DSM + 1 - dirBlocks);
        EXPECT_EQ(dir.FindFreeEntry(), 0);
        EXPECT_NE(t.out.Text().find(" Directory Entries Availible - " +
                                    std::to_string(t.session.Format().DRM + 1) + "\r\n"),
                  std::string::npos);
    }
}

TEST(Directory, ImageFilledWithZeros) {
    TestImage t("IBM-3740", 0x00);
    CpmDirectory& dir = t.session.directory();
    dir.ShowAll();
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
    Put(t, 0, FileEntry(5, "BIG", "DAT", 0, 128, {2, 3}));
    Put(t, 1, FileEntry(5, "BIG", "DAT", 1, 128, {4}));
    Put(t, 2, FileEntry(5, "BIG", "DAT", 2, 7, {5}));
    Put(t, 3, FileEntry(21, "BIG", "DAT", 0, 0, {}));
    Put(t, 4, FileEntry(4, "BIG", "DAT", 0, 1, {6}));
    Put(t, 5, FileEntry(6, "OTHER", "", 0, 1, {7}));
    Put(t, 6, DirEntry::Filled(0x40));
    Put(t, 7, DirEntry::Filled(0x20));
    Put(t, 8, DirEntry::Filled(0x21));
    dir.BuildAllocationMap();
    dir.ShowDirectory("05", "????????", "???", ListMode::SHORT);
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
    EXPECT_EQ(dir.LastBlockRecords(), 7);
    EXPECT_EQ(dir.FileList(), (std::vector<std::string>{"05:BIG     .DAT"}));
}

TEST(Directory, BlockNumbersOutOfRangeAreIgnored) {
    TestImage t("IBM-3740");
    CpmDirectory& dir = t.session.directory();
    Put(t, 0, FileEntry(0, "BAD", "", 0, 128, {0, 242, 243, 255, 10}));
    dir.BuildAllocationMap();
    EXPECT_EQ(dir.CountUsedBlocks(), 2 + 2);
    dir.ShowDirectory("00", "BAD     ", "   ", ListMode::BLOCKLIST, true);
    EXPECT_EQ(dir.BlockList(), (std::vector<int>{242, 10}));

    TestImage w("PC-4104");
    CpmDirectory& wide = w.session.directory();
    Put(w, 0, FileEntry(0, "BAD", "", 0, 128, {0x8001, 2043, 2042, 0xFFFF, 100}, false));
    wide.BuildAllocationMap();
    EXPECT_EQ(wide.CountUsedBlocks(), 16 + 2);
    wide.ShowDirectory("00", "BAD     ", "   ", ListMode::BLOCKLIST, true);
    EXPECT_EQ(wide.BlockList(), (std::vector<int>{2042, 100}));
}

TEST(Directory, ExtentsOutOfDirectoryOrderAreReadInExtentOrder) {
    TestImage t("IBM-3740");
    CpmDirectory& dir = t.session.directory();
    Put(t, 0, FileEntry(0, "F", "", 1, 3, {20}));
    Put(t, 1,
        FileEntry(0, "F", "", 0, 128, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    dir.ShowDirectory("00", "F       ", "   ", ListMode::BLOCKLIST, true);
    const std::vector<int> blocks = dir.BlockList();
    ASSERT_EQ(blocks.size(), 17u);
    EXPECT_EQ(blocks.front(), 4);
    EXPECT_EQ(blocks.back(), 20);
    EXPECT_EQ(dir.LastBlockRecords(), 3);
}

TEST(Directory, ShortListingLayout) {
    TestImage t("IBM-3740");
    const char* names[] = {"E", "C", "A", "D", "B"};
    for (int i = 0; i < 5; ++i)
        Put(t, i, FileEntry(0, names[i], "TXT", 0, 0, {}));
    t.session.directory().ShowAll();
    const std::string text = t.out.Text();
    EXPECT_EQ(text.substr(0, text.find("Files Listed")),
              "00:E       .TXT  00:C       .TXT  00:A       .TXT  00:D       .TXT  \r\n"
              "00:B       .TXT  \r\n");
    t.session.directory().SetSorted(true);
    t.session.directory().ShowAll();
    EXPECT_EQ(t.out.Text().substr(0, 18), "00:A       .TXT  0");
    EXPECT_EQ(t.session.directory().FileList().front(), "00:A       .TXT");
    // The file list selects its first name.
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
    Put(t, 10, FileEntry(19, "PIP", "COM", 0, 0, {}));
    Put(t, 11, DirEntry::Filled(0x20));
    Put(t, 12, FileEntry(0x21, "", "", 0, 0, {}));
    t.session.directory().BuildAllocationMap();
}

TEST(Directory, GoldenListings) {
    TestImage t("IBM-3740");
    MakeListingImage(t);
    t.session.cmdDirectory(false);
    EXPECT_GOLDEN("cpm/short_listing", t.out.Text());
    t.session.cmdDirectory(true);
    EXPECT_GOLDEN("cpm/full_listing", t.out.Text());
    t.session.directory().SetSorted(true);
    t.session.cmdDirectory(true);
    const std::string sorted = t.out.Text();
    // Sorted: the password entry (status 19) after the files, the two BIG entries in disk
    // order, no entry numbers.
    EXPECT_EQ(sorted.find("Entry Number"), std::string::npos);
    const std::size_t first =
        sorted.find("BIG     .DAT\r\n 00 42 49 47 20 20 20 20 20 44 41 54 00");
    const std::size_t second =
        sorted.find("BIG     .DAT\r\n 00 42 49 47 20 20 20 20 20 44 41 54 01");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(sorted.find("PIP     .COM\r\n 03"), sorted.find("PIP     .COM\r\n 13"));
    EXPECT_EQ(Summary(sorted), Summary(t.out.Text()));

    TestImage wide("PC-1440");
    MakeListingImage(wide);
    wide.session.cmdDirectory(true);
    EXPECT_GOLDEN("cpm/full_listing_16bit", wide.out.Text().substr(0, 1200));
}

TEST(Directory, NothingWithoutAnImage) {
    StringSink out;
    ScriptedPrompts prompts;
    EventHook hook;
    BusyPointer busy;
    QuarrySession session(out, prompts, hook, busy);
    session.cmdDirectory(false);
    EXPECT_EQ(out.Text(), "");
    EXPECT_EQ(session.directory().FindFreeEntry(), -1);
    EXPECT_FALSE(session.directory().FileExists("00:PIP     .COM"));
}

} // namespace
