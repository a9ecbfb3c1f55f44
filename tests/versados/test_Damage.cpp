// The damage map of a VersaDOS volume from the builder, wrapped as ImageDisk with chosen
// logical sectors unreadable: the report names the files and byte ranges the builder put
// there, and the volume's own structures.
#include "Golden.h"
#include "ImdBuilder.h"
#include "KestrelFixture.h"
#include "KestrelSession.h"
#include "VersaDOSDamage.h"

#include <gtest/gtest.h>

TEST(VersaDOSDamage, NamesTheFilesAndRangesOfTheDamagedSectors) {
    VersaDOSBuilder builder;
    BuiltCatalog& util = builder.AddCatalog(7, "UTIL");
    BuiltFile contiguous{.name = "AB", .extension = "SA"};
    contiguous.contiguous = ByteString(3 * 256, 0x41);
    util.files.push_back(contiguous);
    // 12 records of 80 bytes, 3 to a one-sector block, 2 blocks to a FAB: 4 blocks, 2 FABs.
    BuiltFile sequential{.name = "SQ", .extension = "TX", .fileType = 1};
    for (int r = 0; r < 12; ++r)
        sequential.records.push_back(ByteString(80, static_cast<std::uint8_t>('a' + r)));
    sequential.recordLength = 80;
    sequential.recordsPerBlock = 3;
    sequential.segmentsPerFAB = 2;
    util.files.push_back(sequential);
    const ByteString sectors = builder.Build();
    const BuiltFile& ab = builder.catalogs[0].files[0];
    ASSERT_EQ(builder.fabSectors.size(), 2u);

    struct Case {
        std::vector<std::pair<int, ImdRecord>> damaged;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {{}, {"No damaged sectors.\r\n"}},
        {{{ab.fileStart + 1, ImdRecord::DataError}},
         {"disk bytes " + std::to_string((ab.fileStart + 1) * 256) + "-",
          "Files hit: 1\r\n  0007.UTIL.AB.SA: bytes 256-511 of 768\r\n"}},
        {{{builder.fabSectors[1], ImdRecord::DataError}, {builder.sdbSector, ImdRecord::DataError}},
         {"  catalog list (SDB): bytes 0-255 of 256\r\n",
          "Files hit: 1\r\n  0007.UTIL.SQ.TX: bytes 512-1023 of 1024\r\n"}},
        {{{builder.fabSectors[1], ImdRecord::Unavailable}},
         {"Files hit: 1\r\n  0007.UTIL.SQ.TX: bytes from 512 on are unknown (their map is "
          "damaged)\r\n"}},
    };
    const std::string path = TempDir("versados_damage") + "/damaged.imd";
    for (const Case& c : cases) {
        WriteDamagedLogicalImage(sectors, c.damaged, path);
        StringSink sink;
        ScriptedPrompts prompts;
        EventHook hook;
        ASSERT_TRUE(ShowKestrelDamage(path, sink, prompts, hook));
        for (const std::string& line : c.lines)
            EXPECT_NE(sink.Text().find(line), std::string::npos) << line << "\n" << sink.Text();
    }

    // Save All of the last image: the file whose FAB is lost is saved, said and counted.
    ScriptedPrompts prompts;
    EventHook hook;
    KestrelSession session(prompts, hook);
    StringSink report;
    ASSERT_EQ(session.Open(path, KestrelImageOpener(), report), OpenOutcome::Opened);
    session.LoadCatalog();
    const DamageScan scan = ScanKestrelDamage(path, hook);
    const SaveAllSummary summary = session.SaveAll(
        TempDir("versados_damage_save"), report, 0, [&scan](const CatalogFile& row) {
            return SavedDamageText(scan, DamageMapName(row.userNumber, row.catalogName, row.entry),
                                   false);
        });
    EXPECT_EQ(summary.damaged, 1u);
    EXPECT_NE(report.Text().find("SQ.TX (0007.UTIL.SQ.TX: saved with damaged bytes from 512 on "
                                 "unknown)\r\n"),
              std::string::npos)
        << report.Text();
    EXPECT_NE(report.Text().find("Failed - 0  With damaged bytes - 1\r\n"), std::string::npos);
}
