// Damaged and hostile ImageDisk files: each defect gives a clean answer, never a crash, a hang
// or a read outside the tables.
#include "ImdFiles.h"

#include <gtest/gtest.h>

#include <random>

TEST(DamagedImd, EmptyOrUnendedHeaderOpensWithNoTracksAndEveryReadFails) {
    Drive d(ImdBuilder("Nothing here").Build());
    ASSERT_TRUE(d.result.accepted);
    EXPECT_EQ(d.reader().Tracks(), 0);
    for (const std::int32_t lsn : {0, 7}) {
        EXPECT_TRUE(d.Read(lsn).empty());
        EXPECT_EQ(d.Last().title, "Error reading LSN " + std::to_string(lsn));
    }
    const std::string text = "IMD 1.18: a header that never ends";
    Drive unended(ByteString(text.begin(), text.end()), "unended.imd");
    ASSERT_TRUE(unended.result.accepted);
    EXPECT_EQ(unended.reader().Comments(), text);
    EXPECT_EQ(unended.reader().Tracks(), 0);
}

TEST(DamagedImd, TrackIndexesBeyond255AreSkippedAndCylinder255FitsOnOneHead) {
    // Double-sided cylinders 0..130 give track indexes up to 261.
    ImdBuilder imd;
    for (int c = 0; c <= 130; ++c)
        for (int h = 0; h < 2; ++h)
            imd.AddTrack(Track256(c, h, 2));
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Tracks(), 256);
    EXPECT_EQ(r.SkippedTracks(), 6);
    EXPECT_TRUE(r.RO());
    EXPECT_EQ(r.NumberOfChanges(), 0);
    EXPECT_EQ(OffsetAt(r, 255, 1), RecordPosition(imd, 255, 1));
    r.rqCylinder(129); // beyond the 128 cylinders the tables hold
    EXPECT_EQ(r.rqCylinder(), 127);

    const ImdBuilder far = TracksOf({Track256(0, 0), Track256(255, 0)});
    ProcessedImd single(far, "far.imd");
    EXPECT_EQ(single.reader.Tracks(), 256);
    EXPECT_EQ(single.reader.SkippedTracks(), 0);
    EXPECT_TRUE(single.reader.RO()); // tracks 1..254 are missing
    EXPECT_EQ(OffsetAt(single.reader, 255, 3), RecordPosition(far, 1, 3));
}

TEST(DamagedImd, LogicalOffsetsBeyond32767AreCountedIn32Bits) {
    ImdBuilder imd;
    for (int c = 0; c < 10; ++c)
        imd.AddTrack(ImdTrack::Uniform(c, 0, 9, ImdSize::S512, ImdMode::Mfm250));
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    r.rqTrack(9);
    r.rqLogSectorSize(128);
    r.rqLogSector(35); // physical sector 8, last quarter
    const std::int32_t base = RecordPosition(imd, 9, 8);
    ASSERT_GT(base, 32767);
    EXPECT_EQ(r.PhySectorOffset(), base);
    EXPECT_EQ(r.LogSectorOffset(), base + 3 * 128);
}

TEST(DamagedImd, SizeCodesUseTheLowThreeBitsAndSevenHasNoData) {
    const ImdBuilder imd =
        TracksOf({ImdTrack::Uniform(0, 0, 3, ImdSize::NoData, ImdMode::Mfm500), Track256(1, 0)});
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
    // Track 1 is found right after the data-less records.
    EXPECT_EQ(OffsetAt(r, 1, 0), RecordPosition(imd, 1, 0));
    EXPECT_TRUE(d.Read(0).empty());
    EXPECT_EQ(d.Last().title, "Error reading LSN 0");

    ImdTrack high = Track256(0, 0);
    high.sizeCode = 0xF9; // code 1
    ProcessedImd image(TracksOf({high, Track256(1, 0)}));
    EXPECT_EQ(image.reader.Track(0).SizeCode, 1);
    EXPECT_TRUE(image.reader.Track(1).Present);
    EXPECT_FALSE(image.reader.RO());
}

TEST(DamagedImd, CutOffRecordsKeepWhatCameBefore) {
    const ImdBuilder imd = TracksOf({Track256(0, 0), Track256(1, 0)});
    ByteString bytes = imd.Build();
    bytes.resize(bytes.size() - 100); // into the data of the last sector of track 1
    Drive d(bytes);
    ASSERT_TRUE(d.result.accepted);
    classIMDfile& r = *d.drive.Slot(1).Reader;
    EXPECT_TRUE(r.Truncated());
    EXPECT_TRUE(r.RO());
    EXPECT_EQ(r.Tracks(), 2);
    EXPECT_EQ(r.SectorPosition(1, 3), 0);
    EXPECT_EQ(OffsetAt(r, 1, 3), -1);
    EXPECT_FALSE(d.Read(6).empty());
    EXPECT_TRUE(d.Read(7).empty());
    EXPECT_EQ(d.Last().title, "Error reading LSN 7");
    EXPECT_EQ(d.Last().text, "Sector 3 at cylinder 1, head 0 is not in the image");
    EXPECT_EQ(r.SectorMap(1, 2), 2); // still normalised: numbers 1..4 became 0..3

    // A track header or map cut off ends the tracks.
    const std::size_t first = TracksOf({Track256(0, 0)}).Build().size();
    for (const std::size_t extra : {1, 3, 5, 7}) {
        OpenedImd cut(ByteString(bytes.begin(), bytes.begin() + static_cast<long>(first + extra)),
                      "cut.imd");
        ASSERT_TRUE(cut.Process());
        EXPECT_EQ(cut.reader.Tracks(), 1) << extra;
        EXPECT_TRUE(cut.reader.Truncated()) << extra;
        EXPECT_TRUE(cut.reader.RO()) << extra;
    }
}

TEST(DamagedImd, TracksWithoutSectorsOrWithAWrongCountFailCleanly) {
    Drive d(TracksOf({Track256(0, 0, 0), Track256(1, 0, 0)}).Build());
    ASSERT_TRUE(d.result.accepted);
    EXPECT_EQ(d.reader().MaxSectors(), 0);
    EXPECT_TRUE(d.reader().RO());
    EXPECT_TRUE(d.Read(0).empty()); // no division by zero
    EXPECT_EQ(d.Last().text, "Track 0 has no 256-byte logical sectors");

    // A count byte larger than the records runs into the next track.
    ImdTrack first = Track256(0, 0, 2);
    first.countOverride = 200;
    ProcessedImd image(TracksOf({first, Track256(1, 0, 2)}));
    EXPECT_TRUE(image.reader.RO());
    EXPECT_GE(image.reader.Tracks(), 1);
}

TEST(DamagedImd, UnknownRecordTypesTakeNoPayload) {
    const ImdBuilder imd = TracksOf({Track256(0, 0, 3).SetType(2, 0x55), Track256(1, 0, 3)});
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    EXPECT_FALSE(r.RO());
    for (const std::int32_t track : {0, 1})
        EXPECT_EQ(OffsetAt(r, track, 2), RecordPosition(imd, static_cast<std::size_t>(track), 2));
}

TEST(DamagedImd, LastHeadOneTrackAbsentFromADoubleSidedImage) {
    Drive d(TracksOf({Track256(0, 0), Track256(0, 1), Track256(1, 0)}).Build());
    ASSERT_TRUE(d.result.accepted);
    EXPECT_EQ(d.reader().Tracks(), 3);
    EXPECT_EQ(d.slot().Cylinders, 2);
    EXPECT_FALSE(d.Read(11).empty());
    EXPECT_TRUE(d.Read(12).empty());
    EXPECT_EQ(d.Last().text, "The image holds no track at cylinder 1, head 1");
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
    ImdBuilder good = EightInch(3);
    for (std::size_t t = 1; t < 6; ++t)
        good.Tracks()[t].Compress(3, 0xE5);
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
