// The damage map of a FAT floppy made by mkfs.fat and mcopy, wrapped as ImageDisk with chosen
// sectors unreadable: the report names exactly the files whose bytes those sectors held, found
// by content, and the FAT and root directory by the boot sector's layout.
#include "FatDamage.h"
#include "FatTestSupport.h"
#include "Golden.h"
#include "ImdBuilder.h"

#include <gtest/gtest.h>

namespace {

ByteString Pattern(std::size_t size, unsigned seed) {
    ByteString bytes(size);
    unsigned value = seed * 2654435761u;
    for (std::uint8_t& b : bytes) {
        value = value * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(value >> 16);
    }
    return bytes;
}

} // namespace

TEST(FatDamage, NamesTheFilesAndStructuresTheDamagedSectorsHold) {
    if (!HaveTool("mkfs.fat") || !HaveTool("mcopy")) GTEST_SKIP() << "dosfstools or mtools missing";
    const std::string dir = TempDir("fat_damage");
    const std::string raw = dir + "/floppy.img";
    // 360K: 40 cylinders, 2 heads, 9 sectors of 512 bytes; two sectors per cluster.
    RunCommand("mkfs.fat -C " + Quote(raw) + " 360 >/dev/null");
    const std::vector<std::pair<std::string, ByteString>> files = {
        {"/A.BIN", Pattern(3000, 1)}, {"/SUB/LONG NAME.BIN", Pattern(5000, 2)}};
    RunCommand("mmd -i " + Quote(raw) + " ::/SUB");
    for (const auto& [name, bytes] : files) {
        WriteHostFile(dir + "/piece", bytes);
        int status = 0;
        RunCommand("mcopy -i " + Quote(raw) + " " + Quote(dir + "/piece") + " " +
                       Quote("::" + name),
                   &status);
        ASSERT_EQ(status, 0) << name;
    }
    const ByteString flat = ReadHostFile(raw);
    const int fatSectors = flat[22] | flat[23] << 8;
    const int rootSector = 1 + 2 * fatSectors;

    // Which sector holds which piece of a file, by content alone.
    auto sectorOf = [&](const ByteString& file, std::size_t piece) {
        for (std::size_t s = 0; s * 512 < flat.size(); ++s)
            if (std::equal(file.begin() + piece * 512,
                           file.begin() + std::min(file.size(), piece * 512 + 512),
                           flat.begin() + s * 512))
                return static_cast<int>(s);
        return -1;
    };
    const int a1 = sectorOf(files[0].second, 1);
    const int b9 = sectorOf(files[1].second, 9); // the short last piece
    ASSERT_GE(a1, 0);
    ASSERT_GE(b9, 0);
    const std::string aPiece = PieceOfFile(files[0].second, flat, std::size_t(a1) * 512, 512);
    const std::string bPiece = PieceOfFile(files[1].second, flat, std::size_t(b9) * 512, 512);
    ASSERT_EQ(bPiece, "bytes 4608-4999 of 5000");

    // The listing of /SUB as the undamaged image gives it (mtools wrote it).
    ExplorerRig whole;
    ASSERT_TRUE(whole.Open(raw));
    std::string problem;
    whole.explorer.GoToPath("/SUB", true, problem);
    std::string subListing;
    for (const ListLine& line : whole.explorer.List().Lines)
        subListing += line.Text + "\n";

    struct Case {
        std::vector<std::pair<int, ImdRecord>> damaged;
        std::vector<std::string> lines; // in the report
        std::vector<std::string> absent;
        bool filesRead = false; // the files list and save as mtools wrote them
    };
    // The first FAT sector holds every chain of this volume.
    const std::string lostA = "  /A.BIN: bytes 1024-2999 of 3000";
    const std::vector<Case> cases = {
        {{}, {"No damaged sectors."}, {"Files hit"}},
        {{{a1, ImdRecord::DataError}},
         {"data error", "Files hit: 1", "  /A.BIN: " + aPiece},
         {"LONG NAME"}},
        {{{1 + fatSectors, ImdRecord::Unavailable}},
         {"  FAT copy: bytes 0-511 of " + std::to_string(fatSectors * 512), "Files hit: 0"},
         {}},
        {{{b9, ImdRecord::Unavailable}, {rootSector, ImdRecord::DataError}},
         {"Damaged sectors: 2", "  root directory: bytes 0-511 of ", "Files hit: 1",
          "  /SUB/LONG NAME.BIN: " + bPiece},
         {"A.BIN"}},
        {{{1, ImdRecord::Unavailable}},
         {"  FAT: bytes 0-511 of ", "Files hit: 0",
          "FAT 0 sectors read from a copy: sector 0 from FAT 1"},
         {"A.BIN"},
         true},
        {{{1, ImdRecord::Unavailable}, {1 + fatSectors, ImdRecord::DataError}},
         {"Files hit: 2", lostA, "  /SUB/LONG NAME.BIN: bytes 1024-4999 of 5000"},
         {"read from a copy"}},
    };
    for (const Case& c : cases) {
        ImdBuilder imd = ImdFromFlat(flat, 2, 9, ImdSize::S512, ImdMode::Mfm250);
        for (const auto& [sector, type] : c.damaged)
            DamageSector(imd, sector, 9, type);
        imd.Write(dir + "/floppy.imd");
        StringSink sink;
        ScriptedPrompts prompts;
        EventHook hook;
        ASSERT_TRUE(ShowOspreyDamage(dir + "/floppy.imd", 0, sink, prompts, hook));
        for (const std::string& line : c.lines)
            EXPECT_NE(sink.Text().find(line), std::string::npos) << line << "\n" << sink.Text();
        for (const std::string& text : c.absent)
            EXPECT_EQ(sink.Text().find(text), std::string::npos) << text << "\n" << sink.Text();
        if (!c.filesRead) continue;
        ExplorerRig rig;
        ASSERT_TRUE(rig.Open(dir + "/floppy.imd"));
        for (const auto& [name, bytes] : files) {
            const std::optional<int> row = rig.explorer.GoToPath(name, false, problem);
            ASSERT_TRUE(row) << problem;
            ASSERT_TRUE(rig.explorer.SaveRow(*row, dir + "/saved").Saved()) << name;
            EXPECT_EQ(ReadHostFile(dir + "/saved"), bytes) << name;
        }
        std::string listing;
        for (const ListLine& line : rig.explorer.List().Lines)
            listing += line.Text + "\n";
        EXPECT_EQ(listing, subListing);
    }
}
