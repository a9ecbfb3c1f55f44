#include "KestrelFixture.h"
#include "VersaDOSSamples.h"

#include <gtest/gtest.h>

TEST(Catalog, ListsCatalogsAndFilesOverChainedBlocks) {
    VersaDOSBuilder b = SampleVolume();
    b.catalogsPerSDB = 2; // the four catalogs take two SDBs
    b.filesPerPDB = 3;    // PROJECT's seven files take three PDBs
    KestrelFixture k(b.Build());
    ASSERT_TRUE(k.Open());
    ASSERT_EQ(k.listSDB.size(), 4u);
    EXPECT_EQ(k.listSDB[0].text, ":0007.UTIL.");
    EXPECT_EQ(k.listSDB[1].text, ":0000.PROJECT.");
    EXPECT_EQ(k.listSDB[2].text, ":0009.UTIL.");
    EXPECT_EQ(k.listSDB[3].text, ":0007..");
    EXPECT_EQ(k.listSDB[0].data, b.catalogs[0].firstPDB);

    EXPECT_EQ(k.catalog.SelectCatalog(static_cast<std::int32_t>(k.listSDB[1].data), k.listPDB), 0);
    ASSERT_EQ(k.listPDB.size(), 7u);
    EXPECT_EQ(k.listPDB[0].text, "PART1   .SA");
    EXPECT_EQ(k.listPDB[6].text, "PART7   .SA");
    EXPECT_EQ(k.listPDB[6].data, 6);
    EXPECT_TRUE(k.prompts.messages.empty());
}

TEST(Catalog, EmptyEntriesAreSkipped) {
    ByteString image = SampleVolume().Build();
    KestrelFixture probe(image);
    probe.Open();
    const std::size_t pdb = static_cast<std::size_t>(probe.listSDB[0].data) * 256;
    // A file entry whose name starts with a zero byte is not listed, whatever else it holds.
    image[pdb + 16 + 50] = 0;
    // An SDB whose entries all have PDB sector 0 adds nothing.
    for (int i = 0; i < 15; ++i)
        VersaDOSBuilder::PutLong(image, 3 * 256 + 16 + 16 * i + 10, 0);
    KestrelFixture k(image);
    k.volume.IsVersaDOSVolume();
    EXPECT_EQ(k.catalog.LoadCatalog(k.volume, k.listSDB), -1);
    EXPECT_TRUE(k.listSDB.empty());
    k.catalog.SelectCatalog(probe.listSDB[0].data, k.listPDB);
    ASSERT_EQ(k.listPDB.size(), 3u);
    EXPECT_EQ(k.listPDB[0].text, "README  .SA");
    EXPECT_EQ(k.listPDB[1].text, "TABLE   .DB");
}

TEST(Catalog, LoopingAndOverlongChainsStopWithOneMessage) {
    VersaDOSBuilder b = SampleVolume();
    b.catalogsPerSDB = 1;
    b.filesPerPDB = 2;
    ByteString image = b.Build();
    // The last SDB links back to the first; PROJECT's third PDB links back to its first.
    const std::int32_t firstSDB = b.sdbSector;
    VersaDOSBuilder::PutLong(image, static_cast<std::size_t>(firstSDB + 3) * 256, firstSDB);
    const std::int32_t projectPDB = b.catalogs[1].firstPDB;
    const std::size_t third = static_cast<std::size_t>(projectPDB + 8) * 256;
    VersaDOSBuilder::PutLong(image, third, projectPDB);
    KestrelFixture k(image);
    ASSERT_TRUE(k.Open());
    EXPECT_EQ(k.listSDB.size(), 4u);
    ASSERT_EQ(k.prompts.messages.size(), 1u);
    EXPECT_EQ(k.prompts.messages[0].title, "Damaged Catalog");
    EXPECT_NE(k.prompts.messages[0].text.find("SDB chain returns to sector 0x00000003"),
              std::string::npos);

    k.catalog.SelectCatalog(projectPDB, k.listPDB);
    EXPECT_EQ(k.listPDB.size(), 6u); // three PDBs of two, read once each
    EXPECT_EQ(k.prompts.messages.size(), 2u);
}

TEST(Catalog, TablesNeverGrowBeyondTheirBound) {
    // A PDB that links to itself with a fresh copy would be caught as a loop; a chain of
    // distinct PDBs with more than 1024 files is cut at 1024.
    VersaDOSBuilder b;
    b.totalSectors = 5000;
    BuiltCatalog& big = b.AddCatalog(1, "BIG");
    for (int i = 0; i < 1030; ++i) {
        BuiltFile f;
        f.name = "F" + std::to_string(i);
        f.extension = "SA";
        f.fileType = 1;
        big.files.push_back(f);
    }
    KestrelFixture k(b.Build());
    ASSERT_TRUE(k.Open());
    EXPECT_EQ(k.catalog.SelectCatalog(static_cast<std::int32_t>(k.listSDB[0].data), k.listPDB), 0);
    EXPECT_EQ(k.listPDB.size(), 1024u);
    ASSERT_EQ(k.prompts.messages.size(), 1u);
    EXPECT_NE(k.prompts.messages[0].text.find("More than 1024 files"), std::string::npos);
    k.catalog.BuildCatalogTable(k.listSDB);
    EXPECT_EQ(k.catalog.CatalogTable().size(), 1024u);
}

TEST(Catalog, PDBAtTheLargestSectorNumbersListsNothing) {
    // A PDB's four sectors from 0x7FFFFFFE or 0x7FFFFFFF run past the largest sector number.
    KestrelFixture k(SampleVolume().Build());
    ASSERT_TRUE(k.Open());
    for (std::int32_t sector : {INT32_MAX - 1, INT32_MAX}) {
        k.catalog.SelectCatalog(sector, k.listPDB);
        EXPECT_TRUE(k.listPDB.empty());
    }
}
