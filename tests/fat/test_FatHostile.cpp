// Deliberately broken volumes, one defect each: they are read as far as they can be, and never
// crash, hang, read outside the data area, or write outside the chosen folder.
#include "FatImageBuilder.h"
#include "FatTestSupport.h"
#include "Golden.h"
#include "HeadlessPaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

bool InsideFolder(const std::string& folder, const std::string& path) {
    const std::string root = fs::weakly_canonical(folder).string() + "/";
    return fs::weakly_canonical(path).string().rfind(root, 0) == 0;
}

// Every file below folder, as paths.
std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    return files;
}

} // namespace

// One volume of broken chains: loops under a file and a directory, reserved and stray values,
// and directories that start outside the data area.
TEST(FatHostile, ChainsEndAtMarksLoopsAndStrayValues) {
    FatImageBuilder image;
    image.SetFat(2, 3);
    image.SetFat(3, 2);     // a loop
    image.SetFat(4, 0xFF8); // a reserved value ends the chain like the end marker
    image.SetFat(5, 0xFF7); // the bad-cluster mark
    image.SetFat(6, 1);     // below 2
    image.SetFat(7, 0);     // a free cluster
    image.SetFat(8, 3000);  // beyond ClusterCount (2880)
    image.SetFat(9, 2870);  // a cluster whose sectors lie past the end of the volume
    image.SetFat(10, 11);
    image.SetFat(11, 10); // a loop under a directory
    FatImageBuilder::ShortEntry(image.RootEntry(0), "LOOP    BIN", 0x20, 2, 100000);
    FatImageBuilder::ShortEntry(image.RootEntry(1), "CIRCLE     ", 0x10, 10, 0);
    FatImageBuilder::ShortEntry(image.RootEntry(2), "ONE        ", 0x10, 1, 0);
    FatImageBuilder::ShortEntry(image.RootEntry(3), "FAR        ", 0x10, 4000, 0);
    FatImageBuilder::ShortEntry(image.RootEntry(4), "ONE     BIN", 0x20, 1, 100000);
    FatImageBuilder::ShortEntry(image.RootEntry(5), "FF0     BIN", 0x20, 0xFF0, 100000);
    for (int c : {10, 11})
        for (int i = 0; i < 16; ++i)
            FatImageBuilder::ShortEntry(image.ClusterEntry(c, i),
                                        "F" + std::to_string(c * 100 + i) + "    TXT", 0x20, 0, 0);
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    const FatVolume& v = rig.explorer.Volume();
    EXPECT_EQ(v.ClusterChain(2), (std::vector<std::int32_t>{2, 3}));
    for (std::int32_t start = 4; start <= 9; ++start)
        EXPECT_EQ(v.ClusterChain(start), std::vector<std::int32_t>{start}) << start;
    // Start clusters that are no data clusters give no chain at all: nothing before the data
    // area is read.
    for (const std::int32_t start : {0, 1, 0xFFF, 2880})
        EXPECT_TRUE(v.ClusterChain(start).empty()) << start;

    rig.explorer.ShowRow(*rig.explorer.FindRow("LOOP.BIN"), DisplayOption::Dump, rig.sink);
    const std::string dump = rig.sink.Text();
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 64); // two clusters, then the loop ends
    // A chain that ends before the file's size fails the save, which says what the chain held
    // and keeps nothing; so do chains that start outside the data area.
    const std::string dir = TempDir("fat-loop");
    const SaveResult loop = rig.explorer.SaveRow(*rig.explorer.FindRow("LOOP.BIN"), dir + "/l");
    EXPECT_EQ(loop.Problem, "its cluster chain holds 1024 of its 100000 bytes; nothing was saved");
    EXPECT_FALSE(fs::exists(dir + "/l"));
    EXPECT_EQ(rig.explorer.SaveAllFiles(dir, rig.sink).Failed,
              3); // LOOP, ONE and FF0; no file saved
    EXPECT_NE(rig.sink.Text().find("ONE.BIN (its cluster chain holds 0 of its 100000 bytes"),
              std::string::npos);
    EXPECT_TRUE(FilesBelow(dir).empty());

    EXPECT_FALSE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("ONE")));
    EXPECT_FALSE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("FAR")));
    EXPECT_EQ(rig.MessageTitles(), "Directory|Directory");
    EXPECT_EQ(rig.prompts.messages[1].text,
              "FAR starts at cluster 4000, which is not a data cluster of this volume");
    EXPECT_EQ(rig.explorer.Path().Depth(), 0);
    EXPECT_EQ(rig.explorer.List().Lines.size(), 7u);
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("CIRCLE")));
    EXPECT_EQ(rig.explorer.Table().Count(), 32);

    // FAT16: values from 0xFFF8 up end a chain.
    FatImageBuilder sixteen({.totalSectors = 8000, .sectorsPerFat = 32, .fatType = 16});
    sixteen.SetFat(2, 0xFFF8);
    sixteen.SetFat(3, 0xFFF7);
    sixteen.SetFat(4, 5);
    sixteen.SetFat(5, 4);
    ASSERT_EQ(rig.OpenBytes(sixteen.Bytes()), OpenOutcome::Opened);
    EXPECT_EQ(rig.explorer.Volume().ClusterChain(2), (std::vector<std::int32_t>{2}));
    EXPECT_EQ(rig.explorer.Volume().ClusterChain(3), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(rig.explorer.Volume().ClusterChain(4), (std::vector<std::int32_t>{4, 5}));
}

TEST(FatHostile, SaveAllNamesCannotLeaveTheTarget) {
    struct Name {
        std::u16string longName;
        const char* shortName;
        std::string host; // "" when the host cannot take the name
    };
    const Name names[] = {
        {u"../../escape.txt", "ESCAPE  TXT", ".._.._escape.txt"},
        {u".", "DOT     TXT", "_"},
        {u"/etc/passwd", "PASSWD     ", "_etc_passwd"},
        {u"tab\there\x01\x1b[2J", "CONTROL TXT", "tab\there\x01\x1b[2J"},
        {u"line\nbreak\r", "BREAK   TXT", "line\nbreak\r"},
        // 255 characters: the longest long name, 255 bytes on the host.
        {std::u16string(254, u'a') + u"z", "LONGEST TXT", std::string(254, 'a') + "z"},
        // A long name that climbs in its last characters.
        {std::u16string(240, u'b') + u"/../../../x", "CLIMB   TXT",
         std::string(240, 'b') + "_.._.._.._x"},
        // 255 characters of three UTF-8 bytes each: too long for a host name, so that file fails.
        {std::u16string(255, u'\u20AC'), "EURO    TXT", ""}};
    FatImageBuilder image;
    image.FileData({2}, "data");
    int n = 0;
    for (const Name& name : names)
        n = image.RootLongName(n, name.longName, name.shortName, 2, 4);
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "A/B     TXT", 0x20, 2, 4);
    // A directory whose long name is "..", holding a file named ".." and one that climbs.
    n = image.RootLongName(n, u"..", "UP         ", 7, 0);
    image.RootEntry(n - 1)[11] = 0x10;
    image.Chain({7});
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 0), ".          ", 0x10, 7, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 1), "..         ", 0x10, 0, 0);
    FatImageBuilder::LongPiece(image.ClusterEntry(7, 2), 0x41, u"../../up.txt");
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 3), "UP      TXT", 0x20, 8, 3);
    FatImageBuilder::LongPiece(image.ClusterEntry(7, 4), 0x41, u"..");
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 5), "DOTDOT     ", 0x20, 2, 4);
    // Directories that lead back to UP itself and to the root.
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 6), "SELF       ", 0x10, 7, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(7, 7), "ROOT       ", 0x10, 0, 0);
    image.FileData({8}, "up!");
    // Names that come out the same on the host: the same 8.3 name twice, "__" beside "..".
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "DUP     TXT", 0x20, 2, 4);
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "DUP     TXT", 0x20, 8, 3);
    n = image.RootLongName(n, u"__", "UNDER   TXT", 2, 4);
    // 70 directories one inside the other, with a file in each.
    FatImageBuilder::ShortEntry(image.RootEntry(n++), "DEEP       ", 0x10, 20, 0);
    for (int c = 20; c < 90; ++c) {
        FatImageBuilder::ShortEntry(image.ClusterEntry(c, 0), "D          ", 0x10, c + 1, 0);
        FatImageBuilder::ShortEntry(image.ClusterEntry(c, 1), "F       TXT", 0x20, 2, 4);
        image.Chain({c});
    }

    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes(), "../hostile.img"), OpenOutcome::Opened);
    const std::string base = TempDir("fat-hostile");
    const std::string target = base + "/target";
    fs::create_directories(target);
    SaveAllResult result = rig.explorer.SaveAllTree(target, rig.sink);
    // The root's 11 names and UP's 2 are saved, the euro name fails; 63 levels of DEEP are
    // saved and the 64th is refused with its file.
    EXPECT_EQ(result.Saved, 11 + 2 + 63);
    EXPECT_EQ(result.Failed, 2);
    EXPECT_NE(result.Problem.find("DEEP/D/D/"), std::string::npos);
    EXPECT_NE(result.Problem.find(": more than 64 directories deep; files not saved: 1"),
              std::string::npos);
    const std::string folder = target + "/.._hostile/";
    const std::string text = rig.sink.Text();
    EXPECT_NE(text.find("Failed - " + folder + "\xE2\x82\xAC"), std::string::npos);
    EXPECT_NE(text.find("Saved - " + folder +
                        "DUP~2.TXT (renamed: another file here is named DUP.TXT)\r\n"),
              std::string::npos);
    for (const char* loop : {"__/SELF: ", "__/ROOT: "})
        EXPECT_NE(text.find(std::string("Skipped - ") + folder + loop), std::string::npos) << loop;
    EXPECT_TRUE(text.ends_with(" Total Files  - 78  Saved - 76  Failed - 2"));
    // Save All of one directory names its folder by the path.
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("UP")));
    EXPECT_EQ(rig.explorer.Path().Level(1).DisplayName, "..");
    EXPECT_EQ(rig.explorer.SaveAllFiles(target, rig.sink).Saved, 2);

    const std::vector<std::string> files = FilesBelow(base);
    EXPECT_EQ(files.size(), 76u);
    for (const std::string& file : files)
        EXPECT_TRUE(InsideFolder(target, file)) << file;
    for (const Name& name : names)
        EXPECT_TRUE(name.host.empty() || fs::exists(folder + name.host)) << name.host;
    for (const char* host : {"A_B.TXT", "__/__", "__/.._.._up.txt", "DUP.TXT", "__~2"})
        EXPECT_TRUE(fs::exists(folder + host)) << host;
    EXPECT_EQ(ReadHostFile(folder + "DUP~2.TXT"), ReadHostFile(folder + "__/.._.._up.txt"));
}

// A directory larger than FAT allows stops at 65536 entries and says so (the oracle FAT16
// volume has a directory of more than 1023 rows that is read whole).
TEST(FatHostile, DirectoriesStopAt65536Entries) {
    FatImageBuilder huge({.totalSectors = 40000, .sectorsPerFat = 160, .fatType = 16});
    FatImageBuilder::ShortEntry(huge.RootEntry(0), "HUGE       ", 0x10, 2, 0);
    std::vector<int> chain;
    for (int c = 2; c < 2 + 4200; ++c)
        chain.push_back(c);
    huge.Chain(chain);
    for (int c : chain)
        for (int i = 0; i < 16; ++i)
            FatImageBuilder::ShortEntry(huge.ClusterEntry(c, i), "X          ", 0x20, 0, 0);
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(huge.Bytes()), OpenOutcome::Opened);
    ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("HUGE")));
    EXPECT_EQ(rig.explorer.Table().Count(), 65537);
    EXPECT_EQ(rig.MessageTitles(), "Directory");
}

TEST(FatHostile, BrokenBootSectorValues) {
    // No sectors per cluster, no FATs, no root entries: opens, lists nothing, walks nothing.
    FatImageBuilder image;
    image.Bytes()[13] = 0;
    image.Bytes()[16] = 0;
    image.Bytes()[17] = 0;
    image.Bytes()[18] = 0;
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    EXPECT_EQ(rig.explorer.List().Lines.size(), 1u);
    EXPECT_TRUE(rig.explorer.Volume().ClusterChain(2).empty());
    rig.explorer.ShowFat0(rig.sink);
    EXPECT_EQ(rig.sink.Text(), "");
    rig.explorer.ShowRawRootDirectory(rig.sink);
    EXPECT_EQ(rig.sink.Text(), " Raw Root Directory\r\n\r\n\r\n");
    // A huge FAT size and root beyond the image: zeros where nothing can be read.
    FatImageBuilder far;
    far.Bytes()[22] = 0xFF;
    far.Bytes()[23] = 0xFF;
    ExplorerRig rig2;
    ASSERT_EQ(rig2.OpenBytes(far.Bytes()), OpenOutcome::Opened);
    EXPECT_LE(rig2.explorer.Volume().Fat(0).size(), 131072u);
    EXPECT_EQ(rig2.explorer.List().Lines.size(), 1u);
}

// Good floppies with bytes flipped at random (a fixed seed) through Osprey's whole headless
// path, and every deleted entry of the root listed, entered or recovered: every walk ends, the
// image file is unchanged and nothing is saved outside the folders.
TEST(FatHostile, MutatedImagesNeverCrashOrHang) {
    const std::vector<std::uint8_t> good[] = {ReadHostFile(OspreyImages() + "/fat12.img"),
                                              ReadHostFile(OspreyImages() + "/deleted12.img")};
    ASSERT_FALSE(good[0].empty() || good[1].empty());
    std::mt19937 random(20240601);
    const std::string dir = TempDir("fat-mutation");
    const std::string image = dir + "/m.img", saves = dir + "/saves", target = dir + "/target";
    for (int round = 0; round < 80; ++round) {
        std::vector<std::uint8_t> bytes = good[round % 4 == 3];
        // Flip bytes where the structures are: boot sector, FATs, root and the first clusters.
        for (int k = 0; k < 40; ++k)
            bytes[random() % (60 * 512)] = static_cast<std::uint8_t>(random());
        WriteHostFile(image, bytes);
        fs::create_directories(saves);
        fs::create_directories(target);
        OspreyPath(image, saves, target);
        ExplorerRig rig;
        rig.explorer.SetShowDeleted(true);
        for (std::size_t k = 0; rig.Open(image) && k < rig.explorer.List().Lines.size(); ++k) {
            const int row = rig.explorer.List().Lines[k].Row;
            if (rig.explorer.Table().Row(row).Deleted && !rig.explorer.EnterDirectory(row))
                rig.explorer.RecoverRow(row, 'X', saves + "/deleted", rig.sink);
        }
        ASSERT_EQ(ReadHostFile(image), bytes) << round;
        for (const std::string& file : FilesBelow(dir))
            EXPECT_TRUE(file == image || InsideFolder(saves, file) || InsideFolder(target, file))
                << file;
    }
}

// Deleted entries with hostile first clusters and sizes, a long name whose pieces must be told
// from another name's by their checksum, and a deleted directory that holds itself: each gives
// its message or its bytes, never a crash, a hang or a read outside the data area.
TEST(FatHostile, DeletedEntriesAreRecoveredOrRefusedClearly) {
    FatImageBuilder image;
    const auto deleted = [&](int n, const std::string& name11, int attributes, int cluster,
                             std::uint32_t size) {
        FatImageBuilder::ShortEntry(image.RootEntry(n), name11, attributes, cluster, size);
        image.RootEntry(n)[0] = 0xE5;
    };
    deleted(0, "ZERO    BIN", 0x20, 0, 100);
    deleted(1, "ONE     BIN", 0x20, 1, 100);
    deleted(2, "FAR     BIN", 0x20, 4000, 100);
    deleted(3, "HUGE    BIN", 0x20, 10, 2000000);
    deleted(4, "EMPTY   BIN", 0x20, 0, 0);
    image.FileData({20, 21, 22, 23}, std::string(512, 'a') + std::string(512, 'L') +
                                         std::string(512, 'b') + std::string(512, 'c'));
    image.SetFat(20, 0);
    image.SetFat(22, 0);
    image.SetFat(23, 0);
    deleted(5, "SKIP    BIN", 0x20, 20, 1300); // 21 is held by a live file now
    deleted(6, "TAKEN   BIN", 0x20, 21, 100);
    // Pieces of "Recovered long name.txt"; before them a piece of another name.
    FatImageBuilder::LongPiece(image.RootEntry(7), 0x41, u"Other");
    const int next = image.RootLongName(8, u"Recovered long name.txt", "RECOVE~1TXT", 0, 0);
    std::array<std::uint8_t, 11> name11{};
    std::memcpy(name11.data(), "RECOVE~1TXT", 11);
    for (int n = 7; n < next; ++n) {
        image.RootEntry(n)[13] = n == 7 ? 0x55 : ShortNameChecksum(name11);
        image.RootEntry(n)[0] = 0xE5;
    }
    deleted(next, "LOOP       ", 0x10, 30, 0);
    deleted(next + 1, "NOWHERE    ", 0x10, 0, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(30, 0), ".          ", 0x10, 30, 0);
    FatImageBuilder::ShortEntry(image.ClusterEntry(30, 1), "LOOP       ", 0x10, 30, 0);
    image.ClusterEntry(30, 1)[0] = 0xE5;

    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    EXPECT_EQ(rig.explorer.List().Lines.size(), 1u); // the root's "." row alone
    rig.explorer.SetShowDeleted(true);
    const std::string out = TempDir("hostile-deleted");
    const struct {
        std::string name;
        char first;
        std::string problem, report;
    } cases[] = {
        {"?ERO.BIN", 'Z', "it starts at cluster 0, which is not a data cluster of this volume", ""},
        {"?NE.BIN", 'O', "it starts at cluster 1, which is not a data cluster of this volume", ""},
        {"?AR.BIN", 'F', "it starts at cluster 4000, which is not a data cluster of this volume",
         ""},
        {"?UGE.BIN", 'H',
         "its 2000000 bytes need 3907 clusters, but only 2838 are free from cluster 10 to the "
         "end of the volume",
         ""},
        {"?MPTY.BIN", 'e', "", "Recovered EMPTY.BIN: 0 bytes\r\n"},
        {"?KIP.BIN", 'S', "",
         "Recovered SKIP.BIN: 1300 bytes from clusters 20, 22-23\r\nPassed over, held by a live "
         "file now: cluster 21. If SKIP.BIN ran through it, the bytes after that are not its "
         "own\r\n"},
        {"?AKEN.BIN", 'T', "its first cluster 21 is now held by a live file", ""},
        {"Recovered long name.txt", 'R', "", "Recovered Recovered long name.txt: 0 bytes\r\n"},
    };
    for (const auto& c : cases) {
        const std::optional<int> row = rig.explorer.FindRow(c.name);
        ASSERT_TRUE(row) << c.name;
        const RecoveryResult result = rig.explorer.RecoverRow(*row, c.first, out + "/f", rig.sink);
        EXPECT_EQ(result.Plan.Problem, c.problem) << c.name;
        EXPECT_EQ(result.Saved(), c.problem.empty()) << c.name;
        EXPECT_EQ(fs::exists(out + "/f"), c.problem.empty()) << c.name;
        if (c.problem.empty()) {
            EXPECT_EQ(rig.sink.Text(), c.report) << c.name;
        }
        fs::remove(out + "/f");
    }
    EXPECT_EQ(
        rig.explorer.Table().Row(*rig.explorer.FindRow("Recovered long name.txt")).ChecksumFirst,
        'R');
    rig.explorer.ShowRow(*rig.explorer.FindRow("?KIP.BIN"), DisplayOption::Text, rig.sink);
    EXPECT_EQ(rig.sink.Text(),
              std::string(512, 'a') + std::string(512, 'b') + std::string(276, 'c'));
    EXPECT_FALSE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("?OWHERE")));
    EXPECT_EQ(rig.prompts.messages.back().text,
              "?OWHERE starts at cluster 0, which is not a data cluster of this volume");
    // The deleted directory that holds itself is entered as often as asked, one level each.
    for (int depth = 1; depth <= 3; ++depth) {
        ASSERT_TRUE(rig.explorer.EnterDirectory(*rig.explorer.FindRow("?OOP")));
        EXPECT_EQ(rig.explorer.Path().Depth(), depth);
        EXPECT_EQ(rig.explorer.List().Lines.size(), 2u);
    }
}
