// The damage map of an IBM-3740 image (26 records a track, skew 6) written by cpmtools and
// wrapped as ImageDisk with chosen sectors unreadable: the report names exactly the files whose
// records those sectors held, found by content, so the skew is checked against cpmtools' own.
#include "CpmDamage.h"
#include "DiskFormat.h"
#include "ImdBuilder.h"
#include "QuarryTest.h"

#include <gtest/gtest.h>

TEST(CpmDamage, NamesTheFilesWhoseRecordsTheDamagedSectorsHold) {
    if (!Cpmtools::Installed()) GTEST_SKIP() << "cpmtools is not installed";
    const Cpmtools cpm;
    DiskFormat f;
    f.SetDiskFormat("IBM-3740");
    const std::string folder = TempDir("quarry-damage");
    const std::string image = folder + "/cpmtools.img";
    WriteFileBytes(image, ByteVector(static_cast<std::size_t>(f.ImageSize), 0xE5));
    const std::vector<std::pair<std::string, ByteVector>> files = {
        {"0:ONE.BIN", PatternBytes(3000, 11)}, {"3:TWO.DAT", PatternBytes(2000, 12)}};
    for (const auto& [name, data] : files) {
        WriteFileBytes(folder + "/host", data);
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        ASSERT_EQ(cpm.Put("IBM-3740", image, folder + "/host", lower), "");
    }
    const ByteVector flat = ReadFileBytes(image);
    // The 128-byte sector that holds a piece of a file, or the name of a directory entry.
    auto sectorOf = [&](const ByteVector& bytes, std::size_t at, std::size_t length) {
        for (std::size_t s = 0; s * 128 < flat.size(); ++s)
            for (std::size_t i = 0; i + length <= 128; i += length)
                if (std::equal(bytes.begin() + at, bytes.begin() + at + length,
                               flat.begin() + s * 128 + i))
                    return static_cast<int>(s);
        return -1;
    };
    const int one9 = sectorOf(files[0].second, 9 * 128, 128);
    const int twoLast = sectorOf(files[1].second, 15 * 128, 2000 - 15 * 128);
    const ByteVector twoName = {'T', 'W', 'O', ' ', ' ', ' ', ' ', ' ', 'D', 'A', 'T'};
    const int directory = sectorOf(twoName, 0, twoName.size());
    ASSERT_GE(one9, 0);
    ASSERT_GE(twoLast, 0);
    ASSERT_GE(directory, 0);

    struct Case {
        std::vector<std::pair<int, ImdRecord>> damaged;
        std::vector<std::string> lines;
        std::string hit; // the file Quarry cannot take off the damaged image
        bool otherWhole; // whether the other file comes off whole (not when its entry shares
                         // the damaged directory record)
    };
    const std::vector<Case> cases = {
        {{{one9, ImdRecord::DataError}},
         {"Files hit: 1",
          "  0:ONE.BIN: " + PieceOfFile(files[0].second, flat, std::size_t(one9) * 128, 128)},
         "00:ONE     .BIN",
         true},
        {{{twoLast, ImdRecord::Unavailable}, {directory, ImdRecord::DataError}},
         {"Damaged sectors: 2", "Structures hit: 1", "  directory: bytes ",
          "  3:TWO.DAT: bytes 0-1999 of 2000"},
         "03:TWO     .DAT",
         false},
    };
    for (const Case& c : cases) {
        ImdBuilder imd = ImdFromFlat(flat, 1, 26, ImdSize::S128, ImdMode::Fm500);
        for (const auto& [sector, type] : c.damaged)
            DamageSector(imd, sector, 26, type);
        imd.Write(folder + "/damaged.imd");
        StringSink sink;
        ScriptedPrompts prompts;
        EventHook hook;
        ASSERT_TRUE(ShowQuarryDamage(folder + "/damaged.imd", "", sink, prompts, hook));
        for (const std::string& line : c.lines)
            EXPECT_NE(sink.Text().find(line), std::string::npos) << line << "\n" << sink.Text();

        // Quarry reads the ImageDisk file itself: nothing of the hit file is made up from the
        // zeros the container keeps for a lost sector (its upload fails, or its damaged entry
        // is gone), a file it does not hit comes out whole, and the lost sector is named once.
        TestImage q("IBM-3740");
        q.Open(folder + "/damaged.imd");
        ASSERT_NE(q.session.image().Container(), nullptr);
        EXPECT_EQ(q.Upload(c.hit), ByteVector());
        const std::string other = c.hit[1] == '0' ? "03:TWO     .DAT" : "00:ONE     .BIN";
        if (c.otherWhole) {
            EXPECT_EQ(q.Upload(other), files[c.hit[1] == '0' ? 1 : 0].second);
        }
        EXPECT_TRUE(q.session.image().MetUnreadSectors());
        int said = 0;
        for (const ShownMessage& m : q.prompts.messages)
            said += m.text.find("could not be read; its bytes are left out") != std::string::npos;
        EXPECT_EQ(said, 1);
    }
    // The undamaged image read through the same code: one line.
    StringSink whole;
    ScriptedPrompts prompts;
    EventHook hook;
    ASSERT_TRUE(ShowQuarryDamage(image, "", whole, prompts, hook));
    EXPECT_EQ(whole.Text(), "No damaged sectors.\r\n");
}
