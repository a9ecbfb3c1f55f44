// The format table, its derived values, record addressing through the skew, and how an image's
// size chooses its format.
#include "QuarryTest.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Derived {
    const char* name;
    int blockSize;
    bool eightBit;
    int pointers, blocksPerExtent, extentsPerEntry, entries, directoryBlocks, dataTracks;
    std::int64_t bytesAfterLastBlock;
};

const std::vector<Derived> Expected{
    {"IBM-3740", 1024, true, 16, 16, 1, 64, 2, 75, 768},
    {"PC-1440", 2048, false, 8, 8, 1, 256, 4, 158, 0},
    {"PC-4104", 2048, false, 8, 8, 1, 1024, 16, 454, 0},
    {"PC-8190", 4096, false, 8, 4, 2, 2048, 16, 908, 0},
    {"J48-SSSD", 1024, true, 16, 16, 1, 64, 2, 75, 768},
    {"J48-SSDD", 2048, true, 16, 8, 2, 64, 1, 75, 0},
    {"J50-SSSD", 1024, true, 16, 16, 1, 64, 2, 75, 768},
    {"J50-SSDD", 2048, true, 16, 8, 2, 64, 1, 75, 768},
    {"J50-DSSD", 2048, true, 16, 8, 2, 64, 1, 152, 0},
    {"J50-DSDD", 4096, true, 16, 4, 4, 128, 1, 152, 2048},
};

TEST(DiskFormat, DerivedValuesOfEveryRow) {
    ASSERT_EQ(FormatTable().size(), Expected.size());
    for (std::size_t i = 0; i < Expected.size(); ++i) {
        const Derived& d = Expected[i];
        SCOPED_TRACE(d.name);
        DiskFormat f;
        f.SetDiskFormat(d.name);
        EXPECT_EQ(f.Index(), static_cast<int>(i));
        EXPECT_EQ(f.BlockSize, d.blockSize);
        EXPECT_EQ(f.EightBitBlocks, d.eightBit);
        EXPECT_EQ(f.PointersPerEntry, d.pointers);
        EXPECT_EQ(f.BlocksPerExtent, d.blocksPerExtent);
        EXPECT_EQ(f.ExtentsPerEntry, d.extentsPerEntry);
        EXPECT_EQ(f.DirectoryEntries(), d.entries);
        for (int b = 0; b < 17; ++b)
            EXPECT_EQ(f.IsDirectoryBlock(b), b < d.directoryBlocks) << b;
        EXPECT_EQ((f.ImageSize - f.DataAreaOffset) / (f.SPT * 128), d.dataTracks);
        EXPECT_EQ(f.ImageSize - f.DataAreaOffset -
                      static_cast<std::int64_t>(f.Blocks()) * f.BlockSize,
                  d.bytesAfterLastBlock);
    }
}

TEST(DiskFormat, SelectionByNameOrKey) {
    DiskFormat f;
    EXPECT_EQ(f.Name(), "IBM-3740");
    f.SetDiskFormat("j50-dsdd");
    EXPECT_EQ(f.Index(), 9);
    f.SetDiskFormat("PC1440");
    f.SetDiskFormat("JADEDSDD50");
    EXPECT_EQ(f.Index(), 9);
    f.SetDiskFormat("ibm3740");
    EXPECT_EQ(f.Name(), "IBM-3740");
    // An unknown name keeps the previous parameters.
    f.SetDiskFormat("PC-8190");
    f.SetDiskFormat("no such disk");
    EXPECT_EQ(f.Name(), "PC-8190");
    EXPECT_EQ(f.BlockSize, 4096);
    EXPECT_FALSE(f.EightBitBlocks);
    EXPECT_EQ(f.ExtentsPerEntry, 2);
}

// Definitions that share IBM-3740's size: the one whose directory reads as CP/M's is taken;
// where two read alike and name blocks, the user is asked with every candidate, best first.
TEST(DiskFormat, DetectionBySaneDirectory) {
    FormatCatalog catalog;
    catalog.AddText("diskdef rival-2k\n seclen 128\n tracks 77\n sectrk 26\n blocksize 2048\n"
                    " maxdir 64\n skew 0\n boottrk 2\nend\n"
                    "diskdef rival-3\n seclen 128\n tracks 77\n sectrk 26\n blocksize 1024\n"
                    " maxdir 64\n skew 0\n boottrk 3\nend\n",
                    "rivals");
    FormatCatalog::SetCurrent(catalog);
    for (const auto& [format, size] :
         {std::pair{"rival-3", 3000}, {"IBM-3740", 3000}, {"rival-2k", 5000}}) {
        TestImage t(format);
        ASSERT_TRUE(t.Add(t.HostFile("f", PatternBytes(size, 1)), "F.DAT"));
        if (t.session.Format().Name() == "rival-3") {
            // Where the others look for a directory, its boot track holds two files and an
            // entry no directory holds: the fewest such entries count before the most files.
            ByteVector bytes = t.Bytes();
            const DirEntry planted[] = {MakeEntry(0, "00:A       .B  ", 0, 8, {5}),
                                        MakeEntry(0, "00:C       .D  ", 0, 8, {6}),
                                        MakeEntry(0x40, "00:E       .F  ", 0, 0, {})};
            for (std::size_t i = 0; i < std::size(planted); ++i)
                std::copy(planted[i].bytes.begin(), planted[i].bytes.end(),
                          bytes.begin() + static_cast<std::ptrdiff_t>(6656 + 32 * i));
            WriteFileBytes(t.path, bytes);
        }
        t.Reopen();
        EXPECT_EQ(t.session.Format().Name(), format);
        EXPECT_TRUE(t.prompts.messages.empty()) << Said(t.prompts.messages.front());
    }
    // A file of one block of 0xE5 bytes reads alike under IBM-3740 and rival-2k: nothing tells
    // them apart.
    TestImage t("IBM-3740");
    ASSERT_TRUE(t.Add(t.HostFile("f", ByteVector(1024, 0xE5)), "F.DAT"));
    std::vector<std::string> asked;
    const auto answer = [&](std::optional<std::string> chosen) {
        return [&asked, chosen](const std::vector<std::string>& names) {
            asked = names;
            return chosen;
        };
    };
    ASSERT_TRUE(t.session.DetectDiskFormat(answer("rival-2k")));
    EXPECT_EQ(asked, (std::vector<std::string>{"IBM-3740", "rival-2k", "rival-3"}));
    EXPECT_EQ(t.session.Format().Name(), "rival-2k");
    EXPECT_FALSE(t.session.DetectDiskFormat(answer(std::nullopt)));
    EXPECT_FALSE(t.session.image().ImageOpen());
    FormatCatalog::SetCurrent(FormatCatalog(FormatCatalog::DefaultFiles()));
}

TEST(DiskFormat, RecordAddressingThroughTheSkew) {
    DiskFormat f;
    EXPECT_EQ(f.FilePosition(0), 6656);
    EXPECT_EQ(f.FilePosition(128), 6656 + 6 * 128);
    EXPECT_EQ(f.FilePosition(26 * 128), 6656 + 3328);
    EXPECT_EQ(f.FilePosition(130), 6656 + 6 * 128 + 2);
    f.SetDiskFormat("J50-SSDD");
    EXPECT_EQ(f.FilePosition(50 * 128), 9728 + 6400);
    EXPECT_EQ(f.FilePosition(7 * 128 + 5), 9728 + 7 * 128 + 5);
    // Every record of a skewed track lands on a distinct sector of the same track.
    f.SetDiskFormat("J50-DSSD");
    std::vector<bool> seen(26, false);
    for (int r = 26; r < 52; ++r) {
        const std::int64_t at = f.ImageOffset(r * 128) - 26 * 128;
        ASSERT_GE(at, 0);
        ASSERT_LT(at, 26 * 128);
        seen[static_cast<std::size_t>(at / 128)] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 26);
}

// The ten formats derived from their disk definitions: the parameter blocks and layouts Quarry
// has always used (image size, SPT, BSH, BLM, EXM, DSM, DRM, AL0, AL1, CKS, OFF, data-area
// offset), and their system pieces (Boot, BIOS, CCP, BDOS, Magic and DCM as first record +
// records; the J formats share theirs).
TEST(DiskFormat, ParameterBlocksAndSystemPieces) {
    const char* const J = "2+1 3+8 27+16 43+28 0+1 12+8";
    const std::array<const char*, 3> expected[] = {
        {"IBM-3740", "256256 26 3 7 0 242 63 192 0 16 2 6656", "0+1 45+7 1+16 17+28 0+0 0+0"},
        {"PC-1440", "1474560 72 4 15 0 710 255 240 0 64 2 18432", "5+1 16+12 28+16 44+28 4+1 8+8"},
        {"PC-4104", "4202496 72 4 15 0 2042 1023 255 255 256 2 18432",
         "5+1 16+12 28+16 44+28 4+1 0+0"},
        {"PC-8190", "8386560 72 5 31 1 2042 2047 255 255 512 2 18432",
         "5+1 16+12 28+16 44+28 4+1 0+0"},
        {"J48-SSSD", "259072 26 3 7 0 242 63 192 0 16 2 9472", J},
        {"J48-SSDD", "470272 48 4 15 1 224 63 128 0 16 2 9472", J},
        {"J50-SSSD", "259328 26 3 7 0 242 63 192 0 16 2 9728", J},
        {"J50-SSDD", "489728 50 4 15 1 233 63 128 0 16 2 9728", J},
        {"J50-DSSD", "515584 26 4 15 1 246 63 128 0 16 2 9728", J},
        {"J50-DSDD", "982528 50 5 31 3 236 127 128 0 32 2 9728", J}};
    for (const auto& [format, block, pieces] : expected) {
        DiskFormat f;
        f.SetDiskFormat(format);
        std::string shown;
        for (std::int64_t v :
             {f.ImageSize, std::int64_t{f.SPT}, std::int64_t{f.BSH}, std::int64_t{f.BLM},
              std::int64_t{f.EXM}, std::int64_t{f.DSM}, std::int64_t{f.DRM}, std::int64_t{f.AL0},
              std::int64_t{f.AL1}, std::int64_t{f.CKS}, std::int64_t{f.OFF}, f.DataAreaOffset})
            shown += (shown.empty() ? "" : " ") + std::to_string(v);
        EXPECT_EQ(shown, block) << format;
        shown.clear();
        for (PieceKind k : {PieceKind::Boot, PieceKind::BIOS, PieceKind::CCP, PieceKind::BDOS,
                            PieceKind::Magic, PieceKind::DCM})
            shown += std::string(shown.empty() ? "" : " ") + std::to_string(f.Piece(k).start) +
                     "+" + std::to_string(f.Piece(k).count);
        EXPECT_EQ(shown, pieces) << format;
    }
    EXPECT_EQ(FindPiece("bdos"), PieceKind::BDOS);
    EXPECT_EQ(FindPiece("DCM"), PieceKind::DCM);
    EXPECT_FALSE(FindPiece("kernel"));
}

TEST(DiskFormat, OpenFailuresAndReadOnly) {
    const std::string folder = TempDir("quarry-open");
    BareSession s;
    QuarrySession& session = s.session;
    session.image().SetName(folder + "/missing.img");
    EXPECT_FALSE(session.DetectDiskFormat());
    EXPECT_FALSE(session.image().ImageOpen());
    ASSERT_EQ(s.prompts.messages.size(), 2u);
    EXPECT_EQ(s.prompts.messages[0].title, "Error Getting File Size");
    EXPECT_EQ(s.prompts.messages[1].title, "Error Openning Image File");
    session.image().SetName(folder);
    EXPECT_FALSE(session.DetectDiskFormat());
    EXPECT_FALSE(session.image().ImageOpen());

    // Asked for read-only: nothing may be written.
    const std::string path = folder + "/ro.img";
    WriteFileBytes(path, ByteVector(256256, 0xE5));
    session.image().SetName(path);
    session.image().SetReadOnlyRequested(true);
    ASSERT_TRUE(session.DetectDiskFormat());
    EXPECT_TRUE(session.image().ReadOnly());
    EXPECT_FALSE(session.image().Writable());
    EXPECT_FALSE(session.image().WriteAt(0, ByteVector(1, 0), "t"));

    // A file the user may not write opens read-only, and says so (root can write anything).
    if (::geteuid() != 0) {
        ::chmod(path.c_str(), 0444);
        s.prompts.messages.clear();
        session.image().SetReadOnlyRequested(false);
        ASSERT_TRUE(session.DetectDiskFormat());
        EXPECT_TRUE(session.image().ReadOnly());
        ASSERT_FALSE(s.prompts.messages.empty());
        EXPECT_EQ(Said(s.prompts.messages[0]),
                  "File has no write access: Opened file as R/O - " + path);
    }
    session.CloseImage();
    EXPECT_FALSE(session.image().ImageOpen());
}

TEST(DiskFormat, WritesNeverGrowTheImage) {
    TestImage t("IBM-3740");
    CpmImage& image = t.session.image();
    // A format picked by hand for a smaller image: blocks past the end are refused.
    t.session.SelectDiskFormat("PC-1440");
    const ByteVector before = t.Bytes();
    EXPECT_FALSE(image.BlockInImage(700));
    EXPECT_FALSE(image.WriteBlock(700, ByteVector(2048, 0)));
    EXPECT_EQ(t.Bytes(), before);
    ASSERT_FALSE(t.prompts.messages.empty());
    EXPECT_EQ(t.prompts.messages.back().title, "Error Putting Sector From Image");
    // Reading there gives what an unwritten disk holds.
    ByteVector block(2048, 0);
    EXPECT_TRUE(image.ReadBlock(700, block));
    EXPECT_EQ(block, ByteVector(2048, 0xE5));
}

} // namespace
