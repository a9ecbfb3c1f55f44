// The ImageDisk drive: opening, areas, logical sector reads and closing.
#include "Golden.h"
#include "ImdFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

TEST(ImageDiskDriveOpen, RefusedAndMissingFiles) {
    Drive d(ByteString{'P', 'K', 3, 4, 0, 0}, "archive.zip");
    EXPECT_FALSE(d.result.accepted);
    ASSERT_EQ(d.prompts.messages.size(), 1u);
    EXPECT_EQ(d.Last().title, "Open IMD Error ");
    EXPECT_EQ(d.Last().text, "Not an IMD file");
    EXPECT_FALSE(d.slot().IsImageDisk);
    EXPECT_FALSE(d.slot().Reader);
    EXPECT_FALSE(d.drive.HasImage());
    EXPECT_EQ(d.slot().FileName, d.path);
    EXPECT_EQ(d.slot().FileTitle, "archive.zip");
    EXPECT_EQ(d.drive.Caption(), "VersaDOS File System " + d.path);
    EXPECT_TRUE(d.Read(0).empty());
    EXPECT_EQ(d.Last().title, "Error reading LSN 0");

    // A missing file gives the host error to the caller and shows nothing.
    const auto missing = d.drive.OpenImage(TempDir("missing") + "/none.imd", "none.imd");
    EXPECT_FALSE(missing.accepted);
    EXPECT_EQ(missing.openError.number, 53);
    EXPECT_EQ(d.prompts.messages.size(), 2u);
    EXPECT_FALSE(d.drive.HasImage());
}

// OpenImage sets ReadOnly before the test, so the box says READ ONLY (with the comment, as the
// info command's verbose run shows); a slot that starts writable shows the reader's own verdict.
TEST(ImageDiskDriveOpen, CommentBoxSaysReadOnlyFromTheMenuAndTheReadersVerdictOtherwise) {
    Drive d(EightInch(2).Build());
    ASSERT_EQ(d.prompts.messages.size(), 1u);
    EXPECT_EQ(d.Last().title, "IMD File will Open READ ONLY");
    EXPECT_TRUE(d.slot().ReadOnly);
    ImdBuilder compressed = EightInch(1);
    compressed.Tracks()[1].Compress(5, 0);
    const std::pair<ImdBuilder, bool> cases[] = {{EightInch(1), false}, {compressed, true}};
    for (const auto& [imd, readOnly] : cases) {
        d.drive.OpenImage(WriteTempImage(imd.Build(), "again.imd"), "again.imd");
        d.drive.Slot(1).ReadOnly = false;
        ASSERT_TRUE(d.drive.OpenImageDisk(1));
        EXPECT_EQ(d.Last().title,
                  readOnly ? "IMD File will Open READ ONLY" : "IMD File will Open Read/Write");
        EXPECT_EQ(d.slot().ReadOnly, readOnly);
    }
}

TEST(ImageDiskDriveOpen, CommentBytesAbove127ReachTheBoxAsCharacters) {
    Drive d(TracksOf({Track256(0, 0, 1)}, "Disque \xE9t\xE9").Build());
    ASSERT_TRUE(d.result.accepted);
    // The header ends at the first byte above 127, which belongs to it.
    EXPECT_EQ(d.reader().Comments(), "IMD 1.18: 01/02/2003 04:05:06\r\nDisque \xE9");
    EXPECT_EQ(d.prompts.messages[0].text, "IMD 1.18: 01/02/2003 04:05:06\r\nDisque \xC3\xA9");
}

// The areas of disks with one, two and four formats; the summary golden texts show the areas of
// three formats.
TEST(ImageDiskDriveAreas, OneFormatFillsAllThreeAreasAndOnlyThreeAreasAreRead) {
    ImdBuilder imd;
    for (int t = 0; t < 4; ++t)
        imd.AddTrack(ImdTrack::Uniform(t / 2, t % 2, 16, ImdSize::S256, ImdMode::Mfm250));
    Drive d(imd.Build());
    const DriveSlot& s = d.slot();
    EXPECT_EQ(s.MultiArea + s.Area1Tracks + s.Area2Tracks, 0);
    EXPECT_EQ(s.Cylinders, 2);
    EXPECT_EQ(s.Heads, 2);
    for (std::size_t a = 0; a < 3; ++a) {
        EXPECT_EQ(s.SectorsPerTrack[a], 16);
        EXPECT_EQ(s.SectorSize[a], 256);
        EXPECT_EQ(s.RateCode[a], 6);
        EXPECT_EQ(s.Density[a], 2);
        EXPECT_EQ(s.TrackPreamble[a], 21);
    }

    // One change: track 0 is area 1, the rest the main area; area 2 is empty with track 0's format.
    Drive eight(EightInch(3).Build());
    const DriveSlot& e = eight.slot();
    EXPECT_EQ(e.MultiArea, 1);
    EXPECT_EQ(e.Area1Tracks, 1);
    EXPECT_EQ(e.Area2Tracks, 0);
    EXPECT_EQ(e.SectorSize, (std::array<std::int32_t, 3>{256, 128, 128}));
    EXPECT_EQ(e.Density, (std::array<std::int32_t, 3>{2, 1, 1}));
    EXPECT_EQ(eight.prompts.messages.size(), 1u);

    Drive four(TracksOf({ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500),
                         ImdTrack::Uniform(1, 0, 16, ImdSize::S256, ImdMode::Mfm300),
                         ImdTrack::Uniform(2, 0, 8, ImdSize::S512, ImdMode::Mfm250),
                         ImdTrack::Uniform(3, 0, 9, ImdSize::S512, ImdMode::Mfm250)})
                   .Build(),
               "four.imd");
    ASSERT_EQ(four.prompts.messages.size(), 2u);
    EXPECT_EQ(four.Last().title, "Disk defines more than 3 areas");
    EXPECT_EQ(four.Last().text, "Set up first three areas of IMD file");
    EXPECT_EQ(four.slot().Area1Tracks, 1);
    EXPECT_EQ(four.slot().Area2Tracks, 1);
    EXPECT_EQ(four.slot().SectorsPerTrack[0], 8);
}

TEST(ImageDiskDriveAreas, AMissingFirstTrackTakesTheFormatOfTheFirstTrackPresent) {
    Drive d(TracksOf({Track256(1, 0, 16), Track256(2, 0, 16), Track256(3, 0, 16)}).Build());
    EXPECT_EQ(d.slot().SectorsPerTrack[0], 16);
    EXPECT_EQ(d.Read(16), SectorBytes(1, 0, 1, 256));
    EXPECT_TRUE(d.Read(0).empty());
    EXPECT_EQ(d.Last().title, "Error reading LSN 0");
    EXPECT_EQ(d.Last().text, "The image holds no track at cylinder 0, head 0");
}

TEST(ImageDiskDriveRead, CompressedSectorsReadAsFillAndUnavailableAsZeros) {
    ImdBuilder imd = EightInch(1);
    imd.Tracks()[0].Compress(3, 0xE5).MakeUnavailable(4);
    imd.Tracks()[1].Compress(1, 0x4E).MakeUnavailable(2);
    Drive d(imd.Build());
    EXPECT_EQ(d.prompts.messages[0].title, "IMD File will Open READ ONLY");
    EXPECT_TRUE(d.reader().RO());
    ByteString fillThenZeros(128, 0xE5);
    fillThenZeros.resize(256, 0);
    EXPECT_EQ(d.Read(1), fillThenZeros);
    EXPECT_EQ(d.Read(13), ByteString(256, 0x4E));
    EXPECT_EQ(d.Read(14), ByteString(256, 0));
}

TEST(ImageDiskDriveRead, FailuresShowTheLsnAndWhy) {
    Drive d(TracksOf({Track256(0, 0).SetType(2, 9),
                      ImdTrack::Uniform(1, 0, 4, ImdSize::S512, ImdMode::Mfm500)})
                .Build());
    EXPECT_TRUE(d.Read(1).empty());
    EXPECT_EQ(d.Last().title, "Error reading LSN 1");
    EXPECT_EQ(d.Last().text, "Sector 1 at cylinder 0, head 0 has the unknown record type 9");
    EXPECT_TRUE(d.Read(4).empty());
    EXPECT_EQ(d.Last().text,
              "The sectors at cylinder 1, head 0 hold 512 bytes; logical sectors are read from "
              "128- or 256-byte sectors");
    EXPECT_TRUE(d.Read(-3).empty());
    EXPECT_EQ(d.Last().title, "Error reading LSN -3");
}

TEST(ImageDiskDriveRead, AFileCutShortAfterOpeningGivesTheRunTimeError) {
    Drive d(EightInch(40).Build());
    ASSERT_GT(std::filesystem::file_size(d.path), 2 * ImageFile::WindowSize);
    std::filesystem::resize_file(d.path, ImageFile::WindowSize + 100);
    // Logical sector 1000 lies in the middle of the file, outside the bytes read so far.
    EXPECT_TRUE(d.Read(1000).empty());
    EXPECT_EQ(d.Last().title, "Error reading LSN 1000");
    EXPECT_EQ(d.Last().text, "62 Input past end of file");
}

TEST(ImageDiskDriveClose, CloseReleasesEverythingAndAnotherImageReplacesTheFirst) {
    Drive d(EightInch(1).Build());
    const std::string second = WriteTempImage(EightInch(2).Build(), "second.imd");
    ASSERT_TRUE(d.drive.OpenImage(second, "second.imd").accepted);
    EXPECT_EQ(d.drive.Caption(), "VersaDOS File System " + second);
    EXPECT_EQ(d.slot().FileTitle, "second.imd");
    EXPECT_EQ(d.reader().Tracks(), 4);
    EXPECT_EQ(d.Read(39), SectorBytes(1, 0, 1, 256));

    d.drive.CloseDrive(1);
    EXPECT_FALSE(d.drive.HasImage());
    EXPECT_EQ(d.drive.Caption(), "VersaDOS File System");
    EXPECT_TRUE(d.slot().FileName.empty());
    EXPECT_TRUE(d.slot().FileTitle.empty());
    EXPECT_FALSE(d.slot().Reader);
    EXPECT_TRUE(d.Read(0).empty());
    EXPECT_EQ(d.Last().text, "No ImageDisk image is open");
    EXPECT_THROW(d.drive.Slot(4), std::out_of_range);
    EXPECT_THROW(d.drive.Slot(-1), std::out_of_range);
    EXPECT_NO_THROW(d.drive.CloseDrive(0));
}

// Its messages for missing and refused files are in the info command's tests.
TEST(ImageDiskDriveOpen, OpenerGivesASectorSourceWhoseRunsReadLikeReadSector) {
    ScriptedPrompts prompts;
    const std::string image = WriteTempImage(EightInch(2).Build(), "good.imd");
    std::unique_ptr<SectorSource> disk =
        OpenImageDiskDrive(image, prompts, "System V/68 File System", "Tamarin");
    ASSERT_TRUE(disk);
    EXPECT_EQ(prompts.messages.back().title, "IMD File will Open READ ONLY");
    const auto& drive = dynamic_cast<const ImageDiskDrive&>(*disk);
    EXPECT_EQ(drive.Caption(), "System V/68 File System " + image);
    EXPECT_EQ(drive.Slot(1).FileTitle, "good.imd");
    ByteString three(3 * 256), one(256);
    ASSERT_TRUE(disk->ReadSectors(12, 3, three)); // the last of track 0 and two of track 1
    for (std::int32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(disk->ReadSector(12 + i, one));
        EXPECT_TRUE(std::equal(one.begin(), one.end(), three.begin() + 256 * i)) << i;
    }
    ASSERT_TRUE(disk->ReadSector(39, one));
    EXPECT_EQ(one, SectorBytes(1, 0, 1, 256));
    EXPECT_FALSE(disk->ReadSector(13 + 3 * 26, one));
    EXPECT_FALSE(
        OpenImageDiskDrive(TempDir("opener") + "/none.imd", prompts, "Kestrel", "Kestrel"));
}
