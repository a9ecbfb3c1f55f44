// The insertion rows of the system area: their editing rules, and Insert All refusing rows that
// would write outside the system area. The window's tests drive the rest through the tab.
#include "QuarryTest.h"

#include "SystemTracks.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemTracks, RowEditingRules) {
    // The window's tests type locations, sector numbers and counts into the boxes; here what
    // they do not: text that is no number, hexadecimal and negative counts.
    InsertionRow row;
    LocationChanged(row, "0x81");
    LocationChanged(row, "junk");
    EXPECT_EQ(row.location, 0);
    EXPECT_EQ(row.sectorNumber, 1);
    NumberOfSectorsChanged(row, "&H10");
    EXPECT_EQ(row.numberOfSectors, 16);
    NumberOfSectorsChanged(row, "-3");
    EXPECT_EQ(row.numberOfSectors, 1);
    row.fileSize = 4000;
    SectorNumberChanged(row, "18");
    const RowTexts texts = RowBoxes(row);
    EXPECT_EQ(texts.fileSize, "0xFA0");
    EXPECT_EQ(texts.location, "0x880");
    EXPECT_EQ(texts.sectorNumber, "18");
    EXPECT_EQ(texts.numberOfSectors, "1");
}

TEST(SystemTracks, InsertAllRefusalsWriteNothing) {
    TestImage t("IBM-3740");
    const ByteVector before = t.Bytes();
    std::vector<InsertionRow> rows(2);
    rows[0] = {t.HostFile("a.bin", ByteVector(4000, 1)), 4000, 0x81, 2, 40, true};
    rows[1] = {t.HostFile("b.bin", ByteVector(10, 2)), 10, 0, 1, 1, false};
    EXPECT_EQ(InsertAll(t.session, t.out, rows), 0);
    ASSERT_EQ(t.prompts.messages.size(), 1u);
    EXPECT_EQ(t.prompts.messages[0].title, "Error processing Image File");
    EXPECT_EQ(t.prompts.messages[0].text,
              "File must be inserted on sector boundary (128 0x80)\r\n");
    rows[0] = {rows[0].fileName, 4000, 0, 30, 30, true};
    EXPECT_EQ(InsertAll(t.session, t.out, rows), 0);
    EXPECT_EQ(t.prompts.messages[1].text, "Must start below Data Area\r\nMust not overlap Data "
                                          "Area\r\nMust be as big as input file\r\n");
    EXPECT_EQ(t.Bytes(), before);

    // A file that grew after its row was checked is not copied over the data area.
    rows[0] = {rows[0].fileName, 100, 51 * 128, 52, 1, true};
    EXPECT_EQ(InsertAll(t.session, t.out, rows), 0);
    EXPECT_EQ(t.prompts.messages[2].title, "Unable to Process File");
    EXPECT_EQ(t.Bytes(), before);
}

} // namespace
