// The insertion rows of the system area: their rules, the Image Part pieces and Insert All.
#include "QuarryTest.h"

#include "SystemTracks.h"
#include "modFile.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemTracks, RowEditingRules) {
    InsertionRow row;
    LocationChanged(row, "0x880");
    EXPECT_EQ(row.sectorNumber, 18);
    LocationChanged(row, "0x81");
    EXPECT_EQ(row.location, 0x81);
    EXPECT_EQ(row.sectorNumber, 2);
    LocationChanged(row, "junk");
    EXPECT_EQ(row.location, 0);
    EXPECT_EQ(row.sectorNumber, 1);
    SectorNumberChanged(row, "18");
    EXPECT_EQ(row.location, 0x880);
    SectorNumberChanged(row, "0");
    EXPECT_EQ(row.sectorNumber, 1);
    EXPECT_EQ(row.location, 0);
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

TEST(SystemTracks, ValidationColours) {
    DiskFormat ibm;
    InsertionRow row;
    row.fileSize = 4000;
    row.inUse = true;
    ApplyImagePart(row, ibm, PieceKind::BDOS);
    EXPECT_EQ(row.sectorNumber, 18);
    EXPECT_EQ(row.numberOfSectors, 28);
    EXPECT_EQ(RowBoxes(row).location, "0x880");
    RowMarks marks = ValidateRow(row, ibm);
    EXPECT_FALSE(marks.location.Bad());
    EXPECT_FALSE(marks.sectorNumber.Bad());
    EXPECT_TRUE(marks.numberOfSectors.Red()); // 4000 bytes need 32 records

    NumberOfSectorsChanged(row, "32");
    marks = ValidateRow(row, ibm);
    EXPECT_FALSE(marks.numberOfSectors.Bad()); // records 18..49 end below record 52
    NumberOfSectorsChanged(row, "36");
    marks = ValidateRow(row, ibm);
    EXPECT_TRUE(marks.numberOfSectors.Red()); // would reach into the data area
    EXPECT_TRUE(marks.sectorNumber.Red());

    LocationChanged(row, "0x81");
    NumberOfSectorsChanged(row, "32");
    EXPECT_TRUE(ValidateRow(row, ibm).location.Red());
}

TEST(SystemTracks, ImagePartMenu) {
    DiskFormat f;
    EXPECT_FALSE(ImagePartEnabled(f, PieceKind::Magic));
    EXPECT_FALSE(ImagePartEnabled(f, PieceKind::DCM));
    EXPECT_TRUE(ImagePartEnabled(f, PieceKind::Boot));
    f.SetDiskFormat("J48-SSDD");
    EXPECT_TRUE(ImagePartEnabled(f, PieceKind::Magic));
    EXPECT_TRUE(ImagePartEnabled(f, PieceKind::DCM));
    InsertionRow row;
    ApplyImagePart(row, f, PieceKind::Magic);
    EXPECT_EQ(row.sectorNumber, 1);
    EXPECT_EQ(row.location, 0);
    EXPECT_EQ(row.numberOfSectors, 1);
    ApplyImagePart(row, f, PieceKind::Boot);
    EXPECT_EQ(row.sectorNumber, 3);
    EXPECT_EQ(row.location, 256);
    f.SetDiskFormat("PC-4104");
    EXPECT_TRUE(ImagePartEnabled(f, PieceKind::Magic));
    EXPECT_FALSE(ImagePartEnabled(f, PieceKind::DCM));
}

TEST(SystemTracks, RowList) {
    SystemTracks tracks;
    EXPECT_EQ(tracks.Rows().size(), 1u);
    for (int i = 1; i < SystemTracks::MaxRows; ++i)
        ASSERT_TRUE(tracks.AddRow());
    EXPECT_FALSE(tracks.AddRow());
    EXPECT_EQ(tracks.Rows().size(), 256u);
    tracks.Select(3);
    tracks.SelectedRow().fileName = "/tmp/boot.bin";
    tracks.SelectedRow().inUse = true;
    ScriptedPrompts prompts;
    prompts.messageAnswers = {Answer::Cancel};
    EXPECT_FALSE(tracks.RemoveFile(prompts));
    EXPECT_TRUE(tracks.Rows()[3].inUse);
    EXPECT_TRUE(tracks.RemoveFile(prompts));
    EXPECT_EQ(prompts.messages[0].title, "Removing binary File from List");
    EXPECT_EQ(prompts.messages[0].text, "OK to remove  /tmp/boot.bin");
    EXPECT_FALSE(tracks.Rows()[3].inUse);
    EXPECT_EQ(tracks.Rows()[3].fileName, "");

    const std::string folder = TestImage::Folder("rows");
    WriteFileBytes(folder + "/ccp.bin", ByteVector(2000, 1));
    NoSettings settings;
    modFile files(ProgramCopy::Quarry, prompts, settings);
    prompts.fileAnswers.push_back({folder + "/ccp.bin", false});
    ASSERT_TRUE(tracks.ChooseFile(0, files, prompts));
    EXPECT_EQ(tracks.Rows()[0].fileSize, 2000);
    EXPECT_EQ(prompts.fileRequests.back().mode, FileDialogRequest::Mode::Open);
    WriteFileBytes(folder + "/ccp.bin", ByteVector(3000, 1));
    tracks.Refresh(prompts);
    EXPECT_EQ(tracks.Rows()[0].fileSize, 3000);
}

TEST(SystemTracks, InsertAll) {
    TestImage t("IBM-3740");
    const std::string boot = t.HostFile("boot.bin", PatternBytes(100, 1));
    const std::string bdos = t.HostFile("bdos.bin", PatternBytes(3500, 2));
    std::vector<InsertionRow> rows(3);
    rows[0] = {boot, 100, 0, 1, 1, true};
    rows[1] = {bdos, 3500, 0, 1, 1, true};
    ApplyImagePart(rows[1], t.session.Format(), PieceKind::BDOS);
    rows[2] = {t.folder + "/gone.bin", 10, 0x1000, 33, 1, true};
    ASSERT_EQ(InsertAll(t.session, rows), 2);
    const ByteVector image = t.Bytes();
    const ByteVector b1 = PatternBytes(100, 1), b2 = PatternBytes(3500, 2);
    EXPECT_TRUE(std::equal(b1.begin(), b1.end(), image.begin()));
    EXPECT_EQ(image[100], 0xE5);
    EXPECT_TRUE(std::equal(b2.begin(), b2.end(), image.begin() + 0x880));
    EXPECT_EQ(image[0x880 + 3500], 0xE5);
    ASSERT_EQ(t.prompts.messages.size(), 2u);
    EXPECT_EQ(t.prompts.messages[0].title, "Unable to Process File");
    EXPECT_EQ(t.prompts.messages[0].text, "File NOT processed - " + t.folder + "/gone.bin");
    EXPECT_TRUE(rows[2].missing);
    EXPECT_EQ(t.prompts.messages[1].title, "Processed Image File");
    EXPECT_EQ(t.prompts.messages[1].text, "Files Added - \r\n" + boot + "\r\n" + bdos + "\r\n");
    EXPECT_EQ(t.session.image().FileSize(), 256256);
}

TEST(SystemTracks, InsertAllRefusalsWriteNothing) {
    TestImage t("IBM-3740");
    const ByteVector before = t.Bytes();
    std::vector<InsertionRow> rows(2);
    rows[0] = {t.HostFile("a.bin", ByteVector(4000, 1)), 4000, 0x81, 2, 40, true};
    rows[1] = {t.HostFile("b.bin", ByteVector(10, 2)), 10, 0, 1, 1, false};
    EXPECT_EQ(InsertAll(t.session, rows), 0);
    ASSERT_EQ(t.prompts.messages.size(), 1u);
    EXPECT_EQ(t.prompts.messages[0].title, "Error processing Image File");
    EXPECT_EQ(t.prompts.messages[0].text,
              "File must be inserted on sector boundary (128 0x80)\r\n");
    rows[0] = {rows[0].fileName, 4000, 0, 30, 30, true};
    EXPECT_EQ(InsertAll(t.session, rows), 0);
    EXPECT_EQ(t.prompts.messages[1].text, "Must start below Data Area\r\nMust not overlap Data "
                                          "Area\r\nMust be as big as input file\r\n");
    EXPECT_EQ(t.Bytes(), before);

    // A file that grew after its row was checked is not copied over the data area.
    rows[0] = {rows[0].fileName, 100, 51 * 128, 52, 1, true};
    EXPECT_EQ(InsertAll(t.session, rows), 0);
    EXPECT_EQ(t.prompts.messages[2].title, "Unable to Process File");
    EXPECT_EQ(t.Bytes(), before);

    TestImage r("IBM-3740");
    r.session.image().SetReadOnlyRequested(true);
    r.session.DetectDiskFormat();
    std::vector<InsertionRow> one{{r.HostFile("a.bin", ByteVector(10, 1)), 10, 0, 1, 1, true}};
    EXPECT_EQ(InsertAll(r.session, one), 0);
    EXPECT_EQ(r.prompts.messages.back().text, "Writable Image File NOT Open");
}

} // namespace
