// Damaged and hostile ImageDisk files: each defect gives a clean answer, never a crash, a hang
// or a read outside the tables.
#include "ImageDiskDrive.h"
#include "ImdFiles.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Drive {
    ScriptedPrompts prompts;
    ImageDiskDrive drive{prompts, "System V/68 File System"};
    ImageDiskDrive::OpenResult result;
    explicit Drive(const ByteString& bytes, const std::string& name = "bad.imd") {
        const std::string path = WriteTempImage(bytes, name);
        result = drive.OpenImage(path, name);
    }
    bool Read(std::int32_t lsn) { return drive.ReadSector(lsn); }
    const ShownMessage& Last() const { return prompts.messages.back(); }
};

ImdTrack Track256(int cylinder, int head, int count = 4) {
    return ImdTrack::Uniform(cylinder, head, count, ImdSize::S256, ImdMode::Mfm500);
}

} // namespace

TEST(DamagedImd, EmptyImageOpensWithNoTracksAndEveryReadFails) {
    Drive d(ImdBuilder("Nothing here").Build());
    ASSERT_TRUE(d.result.accepted);
    const classIMDfile& r = *d.drive.Slot(1).Reader;
    EXPECT_EQ(r.Tracks(), 0);
    EXPECT_EQ(r.Cylinders(), 0);
    EXPECT_EQ(d.drive.Slot(1).SectorsPerTrack[0], 0);
    EXPECT_FALSE(d.Read(0));
    EXPECT_EQ(d.Last().title, "Error reading LSN 0");
    EXPECT_FALSE(d.Read(7));
    EXPECT_EQ(d.Last().title, "Error reading LSN 7");
}

TEST(DamagedImd, HeaderWithoutTerminatorHasNoTracks) {
    const std::string text = "IMD 1.18: a header that never ends";
    Drive d(ByteString(text.begin(), text.end()));
    ASSERT_TRUE(d.result.accepted);
    EXPECT_EQ(d.drive.Slot(1).Reader->Comments(), text);
    EXPECT_EQ(d.drive.Slot(1).Reader->Tracks(), 0);
}

TEST(DamagedImd, RecordsBeyondTrackIndex255AreSkipped) {
    // Double-sided cylinders 0..130 give track indexes up to 261.
    ImdBuilder imd;
    for (int c = 0; c <= 130; ++c)
        for (int h = 0; h < 2; ++h)
            imd.AddTrack(Track256(c, h, 2));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Tracks(), 256);
    EXPECT_EQ(r.SkippedTracks(), 6);
    EXPECT_TRUE(r.RO());
    EXPECT_EQ(r.NumberOfChanges(), 0);
    r.rqTrack(255);
    r.rqPhySector(1);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 255, 1));
    r.rqCylinder(129); // beyond the 128 cylinders the tables hold
    EXPECT_EQ(r.rqCylinder(), 127);
}

TEST(DamagedImd, CylinderValuesUpTo255OnOneHeadFitTheTables) {
    ImdBuilder imd;
    imd.AddTrack(Track256(0, 0));
    imd.AddTrack(Track256(255, 0));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    EXPECT_EQ(image.reader.Tracks(), 256);
    EXPECT_EQ(image.reader.SkippedTracks(), 0);
    EXPECT_TRUE(image.reader.RO()); // tracks 1..254 are missing
    image.reader.rqTrack(255);
    image.reader.rqPhySector(3);
    EXPECT_EQ(image.reader.PhySectorOffset(), RecordPosition(imd, 1, 3));
}

TEST(DamagedImd, SectorNumbersAbove255AreNotFound) {
    OpenedImd image(ImdBuilder().AddTrack(Track256(0, 0)).Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    r.rqLogSectorSize(128);
    r.rqPhySector(3);
    EXPECT_EQ(r.rqLogSector(), 6);
    r.rqLogSector(1000);
    EXPECT_EQ(r.rqLogSector(), 6);
    r.rqLogSector(-1);
    EXPECT_EQ(r.rqLogSector(), 6);
    r.rqPhySector(-4);
    EXPECT_EQ(r.rqPhySector(), 3);
}

TEST(DamagedImd, LogicalOffsetsBeyond32767AreCountedIn32Bits) {
    ImdBuilder imd;
    for (int c = 0; c < 10; ++c)
        imd.AddTrack(ImdTrack::Uniform(c, 0, 9, ImdSize::S512, ImdMode::Mfm250));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    r.rqTrack(9);
    r.rqLogSectorSize(128);
    r.rqLogSector(35); // physical sector 8, last quarter
    const std::int32_t base = RecordPosition(imd, 9, 8);
    ASSERT_GT(base, 32767);
    EXPECT_EQ(r.PhySectorOffset(), base);
    EXPECT_EQ(r.LogSectorOffset(), base + 3 * 128);
}

TEST(DamagedImd, SizeCodeSevenHasNoDataAndCannotBeRead) {
    ImdBuilder imd;
    ImdTrack track = ImdTrack::Uniform(0, 0, 3, ImdSize::NoData, ImdMode::Mfm500);
    imd.AddTrack(track);
    imd.AddTrack(Track256(1, 0));
    Drive d(imd.Build());
    ASSERT_TRUE(d.result.accepted);
    classIMDfile& r = *d.drive.Slot(1).Reader;
    EXPECT_EQ(r.Track(0).SizeCode, 7);
    r.rqTrack(0);
    EXPECT_EQ(r.PhySectorSize(), 0);
    r.rqLogSector(1); // no logical sectors in a sector without data
    EXPECT_EQ(r.rqLogSector(), 0);
    r.rqPhySector(2);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, 2));
    // The next track is found right after the data-less records.
    r.rqTrack(1);
    r.rqPhySector(0);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 1, 0));
    EXPECT_FALSE(d.Read(0));
    EXPECT_EQ(d.Last().title, "Error reading LSN 0");
}

TEST(DamagedImd, SizeByteUsesOnlyItsLowThreeBits) {
    ImdBuilder imd;
    ImdTrack track = Track256(0, 0);
    track.sizeCode = 0xF9; // code 1
    imd.AddTrack(track);
    imd.AddTrack(Track256(1, 0));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    EXPECT_EQ(image.reader.Track(0).SizeCode, 1);
    EXPECT_EQ(image.reader.Track(1).Present, true);
    EXPECT_FALSE(image.reader.RO());
}

TEST(DamagedImd, DataRecordCutOffKeepsWhatCameBefore) {
    ImdBuilder imd;
    imd.AddTrack(Track256(0, 0, 4));
    imd.AddTrack(Track256(1, 0, 4));
    ByteString bytes = imd.Build();
    bytes.resize(bytes.size() - 100); // into the data of the last sector of track 1
    Drive d(bytes);
    ASSERT_TRUE(d.result.accepted);
    classIMDfile& r = *d.drive.Slot(1).Reader;
    EXPECT_TRUE(r.Truncated());
    EXPECT_TRUE(r.RO());
    EXPECT_EQ(r.Tracks(), 2);
    EXPECT_EQ(r.SectorPosition(1, 3), 0);
    r.rqTrack(1);
    r.rqPhySector(3);
    EXPECT_EQ(r.PhySectorOffset(), -1);
    EXPECT_TRUE(d.Read(6));
    EXPECT_FALSE(d.Read(7));
    EXPECT_EQ(d.Last().title, "Error reading LSN 7");
    EXPECT_EQ(d.Last().text, "Sector 3 at cylinder 1, head 0 is not in the image");
    // Still normalised and compared: the sector numbers 1..4 became 0..3.
    EXPECT_EQ(r.SectorMap(1, 2), 2);
}

TEST(DamagedImd, TrackHeaderOrMapsCutOffEndTheTracks) {
    ImdBuilder imd;
    imd.AddTrack(Track256(0, 0, 4));
    const std::size_t full = imd.Build().size();
    imd.AddTrack(Track256(1, 0, 4));
    for (const std::size_t extra : {1, 3, 5, 7}) {
        ByteString bytes = imd.Build();
        bytes.resize(full + extra);
        OpenedImd image(bytes, "cut" + std::to_string(extra) + ".imd");
        ASSERT_TRUE(image.Process());
        EXPECT_EQ(image.reader.Tracks(), 1) << extra;
        EXPECT_TRUE(image.reader.Truncated()) << extra;
        EXPECT_TRUE(image.reader.RO()) << extra;
    }
}

TEST(DamagedImd, TrackWithoutSectorsFailsReadsWithoutDividingByZero) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 0, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(1, 0, 0, ImdSize::S256, ImdMode::Mfm500));
    Drive d(imd.Build());
    ASSERT_TRUE(d.result.accepted);
    EXPECT_EQ(d.drive.Slot(1).Reader->MaxSectors(), 0);
    EXPECT_TRUE(d.drive.Slot(1).Reader->RO());
    EXPECT_FALSE(d.Read(0));
    EXPECT_EQ(d.Last().text, "Track 0 has no 256-byte logical sectors");
}

TEST(DamagedImd, SectorCountByteLargerThanTheRecordsRunsIntoTheNextTrack) {
    ImdBuilder imd;
    ImdTrack first = Track256(0, 0, 2);
    first.countOverride = 200;
    imd.AddTrack(first);
    imd.AddTrack(Track256(1, 0, 2));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    EXPECT_TRUE(image.reader.RO());
    EXPECT_GE(image.reader.Tracks(), 1);
}

TEST(DamagedImd, UnknownRecordTypesTakeNoPayload) {
    ImdBuilder imd;
    imd.AddTrack(Track256(0, 0, 3).SetType(2, 0x55));
    imd.AddTrack(Track256(1, 0, 3));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_FALSE(r.RO());
    r.rqTrack(0);
    r.rqPhySector(2);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, 2));
    r.rqTrack(1);
    r.rqPhySector(2);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 1, 2));
}

// Random bytes after the signature, and good images with bytes flipped at random (fixed seeds):
// opening and reading every logical sector ends, with or without messages.
TEST(DamagedImd, GarbageAndMutatedImagesNeverCrashOrHang) {
    std::mt19937 random(20240613);
    for (int round = 0; round < 40; ++round) {
        ByteString bytes{'I', 'M', 'D', ' ', 0x1A};
        const std::size_t length = 64 + random() % 20000;
        for (std::size_t i = 0; i < length; ++i)
            bytes.push_back(static_cast<std::uint8_t>(random()));
        Drive d(bytes, "garbage.imd");
        ASSERT_TRUE(d.result.accepted);
        for (std::int32_t lsn = 0; lsn < 300; ++lsn)
            d.Read(lsn);
    }
    ImdBuilder good("Mutated");
    for (int t = 0; t < 6; ++t)
        good.AddTrack(t == 0 ? ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500)
                             : ImdTrack::Uniform(t / 2, t % 2, 26, ImdSize::S256, ImdMode::Mfm500)
                                   .Compress(3, 0xE5));
    const ByteString original = good.Build();
    for (int round = 0; round < 200; ++round) {
        ByteString bytes = original;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f)
            bytes[4 + random() % (bytes.size() - 4)] = static_cast<std::uint8_t>(random());
        if (round % 10 == 0) bytes.resize(4 + random() % (bytes.size() - 4));
        Drive d(bytes, "mutated.imd");
        ASSERT_TRUE(d.result.accepted);
        for (std::int32_t lsn = 0; lsn < 140; ++lsn)
            d.Read(lsn);
    }
}

TEST(DamagedImd, LastHeadOneTrackAbsentFromADoubleSidedImage) {
    ImdBuilder imd;
    for (int t = 0; t < 3; ++t)
        imd.AddTrack(Track256(t / 2, t % 2));
    Drive d(imd.Build());
    ASSERT_TRUE(d.result.accepted);
    EXPECT_EQ(d.drive.Slot(1).Reader->Tracks(), 3);
    EXPECT_EQ(d.drive.Slot(1).Cylinders, 2);
    EXPECT_TRUE(d.Read(11));
    EXPECT_FALSE(d.Read(12));
    EXPECT_EQ(d.Last().text, "The image holds no track at cylinder 1, head 1");
}
