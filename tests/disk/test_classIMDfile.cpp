// The ImageDisk reader on images built record by record.
#include "ImdFiles.h"

#include <gtest/gtest.h>

namespace {

ByteString Text(const std::string& text) {
    return ByteString(text.begin(), text.end());
}

ImdBuilder SingleTrack(ImdSize size = ImdSize::S256, int count = 26) {
    return TracksOf({ImdTrack::Uniform(0, 0, count, size, ImdMode::Mfm500)});
}

} // namespace

TEST(ImdSignature, CaseBlankFourthByteShortFilesAndFileNumbers) {
    const auto check = [](const char* bytes, bool accepted) {
        OpenedImd image(Text(bytes));
        EXPECT_EQ(image.reader.IsIMDfile(), accepted) << bytes;
        EXPECT_EQ(image.reader.IsIMD(), accepted) << bytes;
    };
    for (const char* bytes : {"IMD 1.18\x1A", "imd 1.18\x1A", "iMd \x1A"})
        check(bytes, true);
    for (const char* bytes : {"IMDX1.18\x1A", "JMD 1.18\x1A", "IMD", ""})
        check(bytes, false);
    // No file number, or one under which no file is open, is no image and processes nothing.
    OpenedImd image(SingleTrack().Build());
    image.reader.FileNumber(0);
    EXPECT_FALSE(image.reader.IsIMDfile());
    image.reader.ProcessIMDfile();
    EXPECT_EQ(image.reader.Tracks(), 0);
    image.reader.FileNumber(7);
    EXPECT_FALSE(image.reader.IsIMDfile());
}

TEST(ImdHeader, CommentEndsAtTerminatorOrAtAByteAbove127OrBelow7) {
    ImdBuilder imd = SingleTrack();
    imd.RawHeader(Text("IMD 1.18: 01/02/2003 04:05:06\r\nLine one\r\nLine two\x1A"));
    ProcessedImd image(imd);
    EXPECT_EQ(image.reader.Comments(), "IMD 1.18: 01/02/2003 04:05:06\r\nLine one\r\nLine two");
    EXPECT_EQ(image.reader.Tracks(), 1);

    // The ending byte belongs to the header; the track record follows right after it.
    for (const std::uint8_t end : {0xC8, 0x05}) {
        ByteString header = Text("IMD 1.18\r\nCaf");
        header.push_back(end);
        ProcessedImd ended(imd.RawHeader(header));
        EXPECT_EQ(ended.reader.Comments(), std::string(header.begin(), header.end()));
        ASSERT_EQ(ended.reader.Tracks(), 1);
        EXPECT_EQ(ended.reader.Track(0).SectorCount, 26);
    }
}

TEST(ImdSectors, NumberedFromOneAreAddressedFromZeroThroughTheSectorMap) {
    const ImdBuilder imd = SingleTrack();
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    for (int p = 0; p < 26; ++p) {
        EXPECT_EQ(OffsetAt(r, 0, p), RecordPosition(imd, 0, static_cast<std::size_t>(p)));
        EXPECT_EQ(r.IMDSectorType(), 1);
        EXPECT_EQ(r.AMSector(), p);
    }
    r.rqPhySector(26); // not on the track: ignored
    EXPECT_EQ(r.rqPhySector(), 25);
    EXPECT_EQ(r.SectorMap(0, 0), 0);
    EXPECT_EQ(r.SectorMap(0, 25), 25);

    // Interleaved numbering (file order 3 1 4 2) is found by number, or by slot without the map.
    ImdTrack track = Track256(0, 0);
    const std::uint8_t numbers[] = {3, 1, 4, 2};
    for (std::size_t i = 0; i < 4; ++i)
        track.sectors[i].number = numbers[i];
    const ImdBuilder interleaved = TracksOf({track});
    ProcessedImd other(interleaved, "interleaved.imd");
    classIMDfile& o = other.reader;
    EXPECT_EQ(OffsetAt(o, 0, 0), RecordPosition(interleaved, 0, 1));
    EXPECT_EQ(OffsetAt(o, 0, 3), RecordPosition(interleaved, 0, 2));
    o.UseSectorMap(false);
    EXPECT_FALSE(o.UseSectorMap());
    EXPECT_EQ(o.PhySectorOffset(), RecordPosition(interleaved, 0, 3));
}

TEST(ImdTracks, TablesAreSizedFromTheFinalHeadCount) {
    // Head 1 first appears after cylinder 1 head 0: a single-sided count would index cylinder 1
    // as track 1 and leave no room for track 3.
    const ImdBuilder imd =
        TracksOf({Track256(0, 0), Track256(1, 0), Track256(0, 1), Track256(1, 1, 9)});
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Heads(), 2);
    EXPECT_EQ(r.Tracks(), 4);
    EXPECT_EQ(r.Cylinders(), 2);
    EXPECT_EQ(r.MaxSectors(), 9);
    const std::size_t fileOrder[] = {0, 2, 1, 3};
    for (std::int32_t t = 0; t < 4; ++t) {
        EXPECT_EQ(r.Track(t).Cylinder, t / 2);
        EXPECT_EQ(r.Track(t).Head, t % 2);
        EXPECT_EQ(OffsetAt(r, t, 1), RecordPosition(imd, fileOrder[t], 1));
    }
}

TEST(ImdTracks, MissingTracksMakeTheImageReadOnlyButAreNoFormatChange) {
    ImdBuilder imd;
    for (int t = 0; t < 8; ++t)
        if (t != 5) imd.AddTrack(Track256(t / 2, t % 2, 8));
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    EXPECT_TRUE(r.RO());
    EXPECT_EQ(r.Tracks(), 8);
    EXPECT_FALSE(r.Track(5).Present);
    EXPECT_EQ(r.NumberOfChanges(), 0);
    EXPECT_EQ(OffsetAt(r, 5, 0), -1);
    EXPECT_EQ(r.LogSectorOffset(), -1);
    EXPECT_EQ(r.IMDSectorType(), 0);
    EXPECT_EQ(r.SPT(), 0);
}

TEST(ImdTracks, ASecondRecordOfATrackReplacesTheFirstAndReprocessingRebuilds) {
    const ImdBuilder imd = TracksOf({Track256(0, 0, 8).MakeUnavailable(8),
                                     ImdTrack::Uniform(0, 0, 3, ImdSize::S128, ImdMode::Fm500)});
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Tracks(), 1);
    EXPECT_EQ(r.Track(0).SectorCount, 3);
    EXPECT_EQ(r.SectorPosition(0, 7), 0);
    EXPECT_EQ(OffsetAt(r, 0, 2), RecordPosition(imd, 1, 2));

    r.ProcessIMDfile();
    EXPECT_EQ(r.Tracks(), 1);
    EXPECT_EQ(r.Comments(), "IMD 1.18: 01/02/2003 04:05:06\r\nTest image");
    EXPECT_THROW(r.Track(1), std::out_of_range);
    EXPECT_THROW(r.SectorType(0, 8), std::out_of_range);
}

TEST(ImdRecords, TypesFillsPayloadsAndReadOnly) {
    using R = ImdRecord;
    // Compressed and unavailable records make the image read-only; deleted and error data do not.
    ImdBuilder imd =
        TracksOf({ImdTrack::Uniform(0, 0, 4, ImdSize::S128, ImdMode::Fm500)
                      .Compress(2, 0xE5)
                      .MakeUnavailable(3)
                      .SetType(4, static_cast<std::uint8_t>(R::CompressedDeletedError))});
    imd.Tracks()[0].Sector(4).fill = 0x41;
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    EXPECT_TRUE(r.RO());
    r.rqTrack(0);
    const std::uint8_t types[] = {1, 2, 0, 8};
    const std::uint8_t fills[] = {0, 0xE5, 0, 0x41};
    for (int p = 0; p < 4; ++p) {
        r.rqPhySector(p);
        EXPECT_EQ(r.IMDSectorType(), types[p]) << p;
        EXPECT_EQ(r.IMDSectorFill(), fills[p]) << p;
        EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, static_cast<std::size_t>(p)));
    }

    const ImdBuilder data = TracksOf({Track256(0, 0, 3)
                                          .SetType(1, static_cast<std::uint8_t>(R::DeletedData))
                                          .SetType(2, static_cast<std::uint8_t>(R::DataError))
                                          .SetType(3, static_cast<std::uint8_t>(R::DeletedError))});
    ProcessedImd withData(data, "data.imd");
    EXPECT_FALSE(withData.reader.RO());
    EXPECT_EQ(OffsetAt(withData.reader, 0, 2), RecordPosition(data, 0, 2));
    EXPECT_EQ(withData.reader.IMDSectorType(), 7);
}

TEST(ImdRequests, TrackCylinderAndHeadStayConsistentAndInRange) {
    ImdBuilder imd;
    for (int t = 0; t < 6; ++t)
        imd.AddTrack(Track256(t / 2, t % 2));
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    r.rqTrack(5);
    EXPECT_EQ(r.rqTrack(), 5);
    EXPECT_EQ(r.rqCylinder(), 2);
    EXPECT_EQ(r.rqHead(), 1);
    r.rqTrack(6); // beyond the tables
    r.rqTrack(-1);
    EXPECT_EQ(r.rqTrack(), 5);
    r.rqCylinder(1);
    EXPECT_EQ(r.rqTrack(), 3);
    r.rqCylinder(3); // only 3 cylinders
    EXPECT_EQ(r.rqCylinder(), 1);
    r.rqHead(0);
    EXPECT_EQ(r.rqTrack(), 2);
    r.rqHead(2); // no head 2: it would name a track of the next cylinder
    EXPECT_EQ(r.rqHead(), 0);
    EXPECT_EQ(r.rqTrack(), 2);

    ProcessedImd single(TracksOf({Track256(0, 0), Track256(1, 0)}), "single.imd");
    single.reader.rqCylinder(0);
    single.reader.rqHead(1); // no head 1 on a single-sided disk
    EXPECT_EQ(single.reader.rqTrack(), 0);
}

TEST(ImdRequests, LogicalSectorSizeAcceptsBytesCodesAndFollow) {
    ProcessedImd image(SingleTrack(ImdSize::S512, 9));
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    EXPECT_EQ(r.rqLogSectorSize(), 2); // follows the track: 512 bytes
    // Each request, then the size code it leaves; invalid requests keep the previous one.
    const std::pair<int, int> steps[] = {{128, 0}, {8192, 6},  {3, 3},  {100, 3},
                                         {7, 3},   {16384, 3}, {255, 2}};
    for (const auto& [request, code] : steps) {
        r.rqLogSectorSize(request);
        EXPECT_EQ(r.rqLogSectorSize(), code) << request;
    }
}

TEST(ImdRequests, LogicalSectorsSmallerOrLargerThanThePhysicalOnes) {
    const ImdBuilder imd = SingleTrack();
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    r.rqLogSectorSize(128); // two per physical sector
    r.rqLogSector(5);
    EXPECT_EQ(r.rqLogSector(), 5);
    EXPECT_EQ(r.rqPhySector(), 2);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, 2));
    EXPECT_EQ(r.LogSectorOffset(), RecordPosition(imd, 0, 2) + 128);
    r.rqLogSector(4);
    EXPECT_EQ(r.LogSectorOffset(), RecordPosition(imd, 0, 2));
    r.rqLogSector(52); // physical 26: not on the track
    r.rqLogSector(-1);
    r.rqPhySector(-4);
    EXPECT_EQ(r.rqLogSector(), 4);
    r.rqPhySector(7);
    EXPECT_EQ(r.rqLogSector(), 14);

    r.rqLogSectorSize(1024); // four physical sectors each
    r.rqLogSector(3);
    EXPECT_EQ(r.rqPhySector(), 12);
    EXPECT_EQ(r.LogSectorOffset(), RecordPosition(imd, 0, 12));
    r.rqLogSector(7); // physical 28
    EXPECT_EQ(r.rqLogSector(), 3);
    r.rqPhySector(9);
    EXPECT_EQ(r.rqLogSector(), 2);
    r.rqLogSectorSize(255);
    r.rqLogSector(20);
    EXPECT_EQ(r.rqPhySector(), 20);
    EXPECT_EQ(r.LogSectorOffset(), RecordPosition(imd, 0, 20));
}

// Track 1 changes the mode only, track 3 the count only, track 4 the size only. That a missing
// track is no change is in the summary golden texts.
TEST(ImdChanges, ModeCountAndSizeChangesAreListedAndTheCursorRewinds) {
    const auto track = [](int c, ImdMode mode, int count = 26, ImdSize size = ImdSize::S128) {
        return ImdTrack::Uniform(c, 0, count, size, mode);
    };
    const ImdMode fm = ImdMode::Fm500, mfm = ImdMode::Mfm500;
    ProcessedImd image(TracksOf({track(0, fm), track(1, mfm), track(2, mfm), track(3, mfm, 16),
                                 track(4, mfm, 16, ImdSize::S256)}));
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.NumberOfChanges(), 3);
    for (const int change : {1, 3, 4, 0, 0})
        EXPECT_EQ(r.Changes(), change);
    EXPECT_EQ(r.NumberOfChanges(), 3);
    EXPECT_EQ(r.Changes(), 1);
    EXPECT_TRUE(r.IsChange(3));
    EXPECT_FALSE(r.IsChange(2));
}

TEST(ImdAnswers, AddressMarksFromMapsOnlyWhenAskedFor) {
    const ImdBuilder imd =
        TracksOf({Track256(0, 0, 2), Track256(1, 0, 2).WithCylinderMap(40).WithHeadMap(1)});
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Track(1).PreambleLength, 5 + 3 * 2);
    EXPECT_TRUE(r.Track(1).HasCylinderMap);
    EXPECT_TRUE(r.Track(1).HasHeadMap);
    EXPECT_EQ(OffsetAt(r, 1, 1), RecordPosition(imd, 1, 1));
    EXPECT_EQ(r.AMCylinder(), 1);
    EXPECT_EQ(r.AMHead(), 0);
    r.UseCylinderMap(true);
    r.UseHeadMap(true);
    EXPECT_EQ(r.AMCylinder(), 40);
    EXPECT_EQ(r.AMHead(), 1);
    EXPECT_EQ(r.AMSector(), 1);
    EXPECT_EQ(r.TrackPreamble(), "11");
    r.rqTrack(0);
    EXPECT_EQ(r.AMCylinder(), 0); // no map on track 0
    EXPECT_EQ(r.TrackPreamble(), "7");
    r.UseSectorMap(false);
    r.rqPhySector(1);
    r.rqTrack(1);
    r.rqPhySector(5); // not on the track: ignored, sector 1 stays requested
    EXPECT_EQ(r.AMSector(), 1);
}

TEST(ImdAnswers, ModeGivesDensityAndTransferRate) {
    ImdBuilder imd;
    for (int mode = 0; mode <= 6; ++mode) {
        ImdTrack track = Track256(mode, 0, 1);
        track.mode = static_cast<std::uint8_t>(mode);
        imd.AddTrack(track);
    }
    ProcessedImd image(imd);
    classIMDfile& r = image.reader;
    const int density[] = {1, 1, 1, 2, 2, 2, 0};
    const int rate[] = {8, 7, 6, 8, 7, 6, 0};
    for (int mode = 0; mode <= 6; ++mode) {
        r.rqTrack(mode);
        EXPECT_EQ(r.Density(), density[mode]) << mode;
        EXPECT_EQ(r.TransferRate(), rate[mode]) << mode;
    }
}
