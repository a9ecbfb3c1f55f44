// Directories: entries and their classes, long names, the root's "." row, sub-directories over
// several clusters, the path stack, and the directory texts.
#include "FatImageBuilder.h"
#include "FatTestSupport.h"
#include "Golden.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ListTexts(const FatExplorer& explorer) {
    std::vector<std::string> lines;
    for (const ListLine& line : explorer.List().Lines)
        lines.push_back(line.Text);
    return lines;
}

} // namespace

// The names, long names and sizes of the root are in the golden listing and raw root of the
// osprey cases; files and the names users see are compared with mtools in the oracle tests.
TEST(FatDirectories, RootOfTheOracleFloppy) {
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(OspreyImages() + "/fat12.img"));
    EXPECT_EQ(ListTexts(rig.explorer),
              (std::vector<std::string>{"[.           ]", " README  .    ", " HELLO   .TXT ",
                                        " ONEPIE~1.TXT ", " ATWOPI~1.TXT ", " THISLO~1.TEX ",
                                        " EMPTY   .DAT ", " ONE-CL~1.BIN ", " ALLBYTES.BIN ",
                                        " BIG     .BIN ", " FRAGME~1.BIN ", "[LEVEL1  .   ]"}));
    // Ten files; the deleted ones and the label are not counted, nor is the "." row.
    EXPECT_EQ(rig.explorer.Table().FileCount(), 10);

    rig.explorer.ShowRow(*rig.explorer.FindRow("THISLO~1.TEX"), DisplayOption::Entry, rig.sink);
    EXPECT_GOLDEN("fat/fat12_entry_three_pieces", rig.sink.Text());
}

TEST(FatDirectories, DotRowsAndTheRootBound) {
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(OspreyImages() + "/fat12.img"));
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("LEVEL1")));
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("Level2")));
    EXPECT_EQ(rig.explorer.Path().PathText(), "/Level1/Level2");
    // "." stays where it is.
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow(".")));
    EXPECT_EQ(rig.explorer.Path().Depth(), 2);
    EXPECT_EQ(rig.explorer.List().Lines.size(), 4u);
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("..")));
    EXPECT_EQ(rig.explorer.DirectoryLabel(), "LEVEL1");
    // The ".." of a first-level directory holds cluster 0: the root again.
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("..")));
    EXPECT_EQ(rig.explorer.Path().Depth(), 0);
    EXPECT_EQ(rig.explorer.List().Lines.size(), 12u);
    // The root's own "." row reloads the root.
    ASSERT_TRUE(rig.explorer.EnterDirectory(0));
    EXPECT_EQ(rig.explorer.Path().Depth(), 0);
    // A file cannot be entered.
    EXPECT_FALSE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("BIG.BIN")));
    // Never above the root, whatever a hostile ".." says.
    PathStack path;
    path.ChangeDirectory(rig.explorer.Table(), 0);
    EXPECT_EQ(path.Depth(), 0);
}

// How entries are laid out in the list and the detail lines is in the golden listing.
TEST(FatDirectories, EntryClassesAttributesAndDates) {
    FatImageBuilder image;
    // MS-DOS 6.22's FORMAT and macOS write the label with the archive bit: 0x28.
    FatImageBuilder::ShortEntry(image.RootEntry(0), "MS-DOS_6   ", 0x28, 0, 0);
    FatImageBuilder::ShortEntry(image.RootEntry(1), "FILE    TXT", 0x20, 0, 0);
    FatImageBuilder::ShortEntry(image.RootEntry(2), "SYSTEM     ", 0x1F, 0, 0);
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    const DirectoryTable& table = rig.explorer.Table();
    EXPECT_TRUE(table.Row(1).IsVolumeLabel());
    EXPECT_TRUE(table.Row(3).IsDirectory()); // the volume bit of a long-name piece's low four
    EXPECT_EQ(rig.explorer.VolumeIdLabel(), "{MS-DOS_6   } ");
    // Shown and counted as the label, never as a file, and never saved.
    EXPECT_EQ(table.FileCount(), 1);
    EXPECT_EQ(rig.explorer.List().Lines.size(), 3u);
    EXPECT_EQ(rig.explorer.SaveAllFiles(TempDir("fat-label"), rig.sink).Saved, 1);
    EXPECT_EQ(AttributeLetters(0x27), "RSHA");
    EXPECT_EQ(AttributeLetters(0x02), "  H ");
    EXPECT_EQ(DateTimeText(0xFFFF, 0xFFFF), " 15/31/2107 31:63:62");
}

TEST(FatDirectories, LongNamePiecesJoinInReadingOrder) {
    FatImageBuilder image;
    int n = 0;
    // Three pieces stored last piece first: 0x43, 0x02, 0x01.
    n = image.RootLongName(n, u"The quick brown fox jumps over it.txt", "THEQUI~1TXT", 0, 0);
    // A deleted file keeps its pieces to itself and leaves the next name alone.
    FatImageBuilder::LongPiece(image.RootEntry(n++), 0x41, u"orphan.txt");
    std::span<std::uint8_t> deleted = image.RootEntry(n++);
    FatImageBuilder::ShortEntry(deleted, "GONE    TXT", 0x20, 0, 0);
    deleted[0] = 0xE5;
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "ORPHAN  TXT", 0x20, 0, 0);
    // A name with a character beyond the Basic Multilingual Plane, split between two pieces,
    // and accented letters.
    std::u16string emoji = u"123456789012";
    emoji += u"\U0001F600 smile.txt";
    n = image.RootLongName(n, emoji, "123456~1TXT", 0, 0);
    n = image.RootLongName(n, u"Café ünïcode.txt", "CAF_N~1 TXT", 0, 0);
    // A lone surrogate.
    n = image.RootLongName(n, std::u16string(u"bad") + char16_t(0xD800) + u".txt", "BAD~1   TXT", 0,
                           0);
    // Two names that differ only in case.
    n = image.RootLongName(n, u"Readme.txt", "README~1TXT", 0, 0);
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "README  TXT", 0x20, 0, 0);
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    const std::pair<const char*, const char*> longNames[] = {
        {"THEQUI~1.TXT", "The quick brown fox jumps over it.txt"},
        {"ORPHAN.TXT", "orphan.txt"},
        {"123456~1.TXT", "123456789012\xF0\x9F\x98\x80 smile.txt"},
        {"CAF_N~1.TXT", "Caf\xC3\xA9 \xC3\xBCn\xC3\xAF"
                        "code.txt"},
        {"BAD~1.TXT", "bad\xEF\xBF\xBD.txt"}};
    for (const auto& [name, longName] : longNames)
        EXPECT_EQ(rig.explorer.Table().Row(*rig.explorer.FindRow(name)).LongName, longName) << name;
    EXPECT_FALSE(rig.explorer.FindRow("GONE.TXT"));
    EXPECT_EQ(rig.explorer.Table().FileCount(), 7);
    EXPECT_TRUE(rig.explorer.FindRow("the QUICK brown fox jumps over it.txt"));
    // An exact name wins; a name that matches several only by case names none.
    EXPECT_EQ(EntryName(rig.explorer.Table().Row(*rig.explorer.FindRow("Readme.txt"))),
              "README~1.TXT");
    EXPECT_EQ(rig.explorer.Table().Row(*rig.explorer.FindRow("README.TXT")).LongName, "");
    std::string problem;
    EXPECT_FALSE(rig.explorer.GoToPath("/readme.TXT", false, problem));
    EXPECT_EQ(problem, "/readme.TXT: several entries differ only in case; give the exact name");
}

TEST(FatDirectories, SubdirectoryFollowsItsChainPastEndEntries) {
    FatImageBuilder image;
    FatImageBuilder::ShortEntry(image.RootEntry(0), "SUB        ", 0x10, 5, 0);
    image.Chain({5, 9, 7});
    FatImageBuilder::ShortEntry(image.ClusterEntry(5, 0), ".          ", 0x10, 5, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(5, 1), "..         ", 0x10, 0, 0);
    for (int i = 2; i < 16; ++i)
        FatImageBuilder::ShortEntry(image.ClusterEntry(5, i),
                                    "FILE" + std::to_string(10 + i) + "  TXT", 0x20, 0, 0);
    // The last entry of cluster 5 is in use: cluster 9 continues the directory.
    FatImageBuilder::ShortEntry(image.ClusterEntry(9, 0), "NEXT    TXT", 0x20, 0, 0);
    // Cluster 9 ends early, yet cluster 7 is read too (and listing stops at the end entry).
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 0), "LATE    TXT", 0x20, 0, 0);
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("SUB")));
    const DirectoryTable& table = rig.explorer.Table();
    EXPECT_EQ(table.Count(), 16 + 2 + 2);
    EXPECT_EQ(table.Row(18).Name, "LATE    ");
    EXPECT_EQ(table.RowsInUse(), 17);
    EXPECT_EQ(rig.explorer.List().Lines.size(), 17u);
    EXPECT_TRUE(rig.explorer.FindRow("NEXT.TXT"));
    EXPECT_FALSE(rig.explorer.FindRow("LATE.TXT"));
    EXPECT_EQ(table.FileCount(), 15);
}
