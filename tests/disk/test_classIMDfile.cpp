// The ImageDisk reader on images built record by record.
#include "ImdFiles.h"

#include <gtest/gtest.h>

namespace {

ByteString Text(const std::string& text) { return ByteString(text.begin(), text.end()); }

ImdBuilder SingleTrack(ImdSize size = ImdSize::S256, int count = 26, int first = 1) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, count, size, ImdMode::Mfm500, first));
    return imd;
}

} // namespace

TEST(ImdSignature, UpperAndLowerCaseBlankFourthByteAndShortFiles) {
    OpenedImd upper(Text("IMD 1.18\x1A"));
    EXPECT_TRUE(upper.reader.IsIMDfile());
    EXPECT_TRUE(upper.reader.IsIMD());

    OpenedImd lower(Text("imd 1.18\x1A"));
    EXPECT_TRUE(lower.reader.IsIMDfile());
    OpenedImd mixed(Text("iMd \x1A"));
    EXPECT_TRUE(mixed.reader.IsIMDfile());

    OpenedImd noBlank(Text("IMDX1.18\x1A"));
    EXPECT_FALSE(noBlank.reader.IsIMDfile());
    EXPECT_FALSE(noBlank.reader.IsIMD());
    OpenedImd other(Text("JMD 1.18\x1A"));
    EXPECT_FALSE(other.reader.IsIMDfile());
    OpenedImd shortFile(Text("IMD"));
    EXPECT_FALSE(shortFile.reader.IsIMDfile());
    OpenedImd empty(ByteString{});
    EXPECT_FALSE(empty.reader.IsIMDfile());
}

TEST(ImdSignature, NoFileNumberAnswersFalseAndProcessesNothing) {
    OpenedImd image(SingleTrack().Build());
    image.reader.FileNumber(0);
    EXPECT_FALSE(image.reader.IsIMDfile());
    image.reader.ProcessIMDfile();
    EXPECT_EQ(image.reader.Tracks(), 0);
    // A number under which no file is open is no file either.
    image.reader.FileNumber(7);
    EXPECT_FALSE(image.reader.IsIMDfile());
}

TEST(ImdHeader, CommentEndsAtTerminatorAndKeepsSignatureLine) {
    ImdBuilder imd("Line one\r\nLine two");
    imd.AddTrack(ImdTrack::Uniform(0, 0, 1, ImdSize::S256, ImdMode::Mfm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    EXPECT_EQ(image.reader.Comments(), "IMD 1.18: 01/02/2003 04:05:06\r\nLine one\r\nLine two");
    EXPECT_EQ(image.reader.DiskPreamble(), std::to_string(image.reader.Comments().size()));
    EXPECT_EQ(image.reader.Tracks(), 1);
}

TEST(ImdHeader, ByteAbove127OrBelow7EndsTheHeaderAndBelongsToIt) {
    // The header ends at 0xC8; the track record follows right after it.
    ByteString bytes = Text("IMD 1.18\r\nCaf");
    bytes.push_back(0xC8);
    const ByteString track = SingleTrack().Build();
    const std::size_t afterHeader = std::find(track.begin(), track.end(), 0x1A) - track.begin() + 1;
    bytes.insert(bytes.end(), track.begin() + static_cast<long>(afterHeader), track.end());
    OpenedImd high(bytes);
    ASSERT_TRUE(high.Process());
    EXPECT_EQ(high.reader.Comments(), "IMD 1.18\r\nCaf\xC8");
    EXPECT_EQ(high.reader.Tracks(), 1);
    EXPECT_EQ(high.reader.Track(0).SectorCount, 26);

    bytes[13] = 0x05;
    OpenedImd low(bytes);
    ASSERT_TRUE(low.Process());
    EXPECT_EQ(low.reader.Comments(), std::string("IMD 1.18\r\nCaf\x05"));
    EXPECT_EQ(low.reader.Tracks(), 1);
}

TEST(ImdSectors, NumberedFromOneAreAddressedFromZeroThroughTheSectorMap) {
    ImdBuilder imd = SingleTrack(ImdSize::S256, 26, 1);
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    for (int p = 0; p < 26; ++p) {
        r.rqPhySector(p);
        EXPECT_EQ(r.rqPhySector(), p);
        EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, static_cast<std::size_t>(p)));
        EXPECT_EQ(r.IMDSectorType(), 1);
        EXPECT_EQ(r.AMSector(), p);
    }
    // Sector 26 is not there: the Let is ignored.
    r.rqPhySector(26);
    EXPECT_EQ(r.rqPhySector(), 25);
    EXPECT_EQ(r.SectorMap(0, 0), 0);
    EXPECT_EQ(r.SectorMap(0, 25), 25);
}

TEST(ImdSectors, InterleavedNumberingIsFoundByNumberOrBySlotWithoutTheMap) {
    ImdBuilder imd;
    ImdTrack track = ImdTrack::Uniform(0, 0, 4, ImdSize::S256, ImdMode::Mfm500, 1);
    const std::uint8_t numbers[] = {3, 1, 4, 2}; // file order
    for (std::size_t i = 0; i < 4; ++i)
        track.sectors[i].number = numbers[i];
    imd.AddTrack(track);
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    r.rqPhySector(0); // sector number 1 lies in slot 1
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, 1));
    r.rqPhySector(3); // sector number 4 lies in slot 2
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, 2));
    r.UseSectorMap(false);
    EXPECT_FALSE(r.UseSectorMap());
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, 3));
}

TEST(ImdTracks, TablesAreSizedFromTheFinalHeadCount) {
    // Head 1 first appears after cylinder 1 head 0: a single-sided count would index cylinder 1
    // as track 1 and leave no room for track 3.
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 4, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(1, 0, 4, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(0, 1, 4, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(1, 1, 9, ImdSize::S256, ImdMode::Mfm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Heads(), 2);
    EXPECT_EQ(r.Tracks(), 4);
    EXPECT_EQ(r.Cylinders(), 2);
    EXPECT_EQ(r.MaxSectors(), 9);
    EXPECT_FALSE(r.RO());
    const std::size_t fileOrder[] = {0, 2, 1, 3}; // track index -> record in the file
    for (std::int32_t t = 0; t < 4; ++t) {
        EXPECT_TRUE(r.Track(t).Present);
        EXPECT_EQ(r.Track(t).Cylinder, t / 2);
        EXPECT_EQ(r.Track(t).Head, t % 2);
        r.rqTrack(t);
        EXPECT_EQ(r.rqCylinder(), t / 2);
        EXPECT_EQ(r.rqHead(), t % 2);
        r.rqPhySector(1);
        EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, fileOrder[t], 1));
    }
}

TEST(ImdTracks, MissingHeadOneTrackMakesTheImageReadOnlyButIsNoFormatChange) {
    ImdBuilder imd;
    for (int cylinder = 0; cylinder < 4; ++cylinder)
        for (int head = 0; head < 2; ++head)
            if (!(cylinder == 2 && head == 1))
                imd.AddTrack(ImdTrack::Uniform(cylinder, head, 8, ImdSize::S256, ImdMode::Mfm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_TRUE(r.RO());
    EXPECT_EQ(r.Tracks(), 8);
    EXPECT_FALSE(r.Track(5).Present);
    EXPECT_EQ(r.NumberOfChanges(), 0);
    r.rqTrack(5);
    r.rqPhySector(0);
    EXPECT_EQ(r.PhySectorOffset(), -1);
    EXPECT_EQ(r.LogSectorOffset(), -1);
    EXPECT_EQ(r.IMDSectorType(), 0);
    EXPECT_EQ(r.SPT(), 0);
}

TEST(ImdTracks, CompletePlainImageIsWritable) {
    OpenedImd image(SingleTrack().Build());
    ASSERT_TRUE(image.Process());
    EXPECT_FALSE(image.reader.RO());
    EXPECT_FALSE(image.reader.Truncated());
    EXPECT_EQ(image.reader.SkippedTracks(), 0);
}

TEST(ImdRecords, CompressedAndUnavailableSectorsReportTypeFillAndReadOnly) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 4, ImdSize::S128, ImdMode::Fm500)
                     .Compress(2, 0xE5)
                     .MakeUnavailable(3)
                     .SetType(4, static_cast<std::uint8_t>(ImdRecord::CompressedDeletedError)));
    imd.Tracks()[0].Sector(4).fill = 0x41;
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
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
}

TEST(ImdRecords, DeletedAndErrorDataRecordsCarryDataAndKeepTheImageWritable) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 3, ImdSize::S256, ImdMode::Mfm500)
                     .SetType(1, static_cast<std::uint8_t>(ImdRecord::DeletedData))
                     .SetType(2, static_cast<std::uint8_t>(ImdRecord::DataError))
                     .SetType(3, static_cast<std::uint8_t>(ImdRecord::DeletedError)));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    EXPECT_FALSE(image.reader.RO());
    image.reader.rqTrack(0);
    image.reader.rqPhySector(2);
    EXPECT_EQ(image.reader.PhySectorOffset(), RecordPosition(imd, 0, 2));
    EXPECT_EQ(image.reader.IMDSectorType(), 7);
}

TEST(ImdRequests, TrackCylinderAndHeadStayConsistentAndInRange) {
    ImdBuilder imd;
    for (int t = 0; t < 6; ++t)
        imd.AddTrack(ImdTrack::Uniform(t / 2, t % 2, 4, ImdSize::S256, ImdMode::Mfm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
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
}

TEST(ImdRequests, HeadOneOnASingleSidedDiskIsIgnored) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 4, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(1, 0, 4, ImdSize::S256, ImdMode::Mfm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    image.reader.rqCylinder(0);
    image.reader.rqHead(1);
    EXPECT_EQ(image.reader.rqTrack(), 0);
}

TEST(ImdRequests, LogicalSectorSizeAcceptsBytesCodesAndFollow) {
    OpenedImd image(SingleTrack(ImdSize::S512, 9).Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    EXPECT_EQ(r.rqLogSectorSize(), 2); // follows the track: 512 bytes
    r.rqLogSectorSize(128);
    EXPECT_EQ(r.rqLogSectorSize(), 0);
    r.rqLogSectorSize(8192);
    EXPECT_EQ(r.rqLogSectorSize(), 6);
    r.rqLogSectorSize(3);
    EXPECT_EQ(r.rqLogSectorSize(), 3);
    r.rqLogSectorSize(100);
    r.rqLogSectorSize(7);
    r.rqLogSectorSize(16384);
    EXPECT_EQ(r.rqLogSectorSize(), 3);
    r.rqLogSectorSize(255);
    EXPECT_EQ(r.rqLogSectorSize(), 2);
}

TEST(ImdRequests, SmallerLogicalSectorsSplitThePhysicalSector) {
    ImdBuilder imd = SingleTrack(ImdSize::S256, 26);
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    r.rqLogSectorSize(128);
    r.rqLogSector(5);
    EXPECT_EQ(r.rqLogSector(), 5);
    EXPECT_EQ(r.rqPhySector(), 2);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 0, 2));
    EXPECT_EQ(r.LogSectorOffset(), RecordPosition(imd, 0, 2) + 128);
    r.rqLogSector(4);
    EXPECT_EQ(r.LogSectorOffset(), RecordPosition(imd, 0, 2));
    r.rqLogSector(52); // physical 26: not on the track
    EXPECT_EQ(r.rqLogSector(), 4);
    r.rqPhySector(7);
    EXPECT_EQ(r.rqLogSector(), 14);
}

TEST(ImdRequests, LargerLogicalSectorsSpanPhysicalSectors) {
    ImdBuilder imd = SingleTrack(ImdSize::S256, 26);
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    r.rqTrack(0);
    r.rqLogSectorSize(1024);
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

TEST(ImdChanges, SizeChangeAtTrackOneIsOneChangeAndTheCursorRewinds) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500));
    for (int c = 1; c < 4; ++c)
        imd.AddTrack(ImdTrack::Uniform(c, 0, 26, ImdSize::S256, ImdMode::Fm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.NumberOfChanges(), 1);
    EXPECT_EQ(r.Changes(), 1);
    EXPECT_EQ(r.Changes(), 0);
    EXPECT_EQ(r.Changes(), 0);
    EXPECT_EQ(r.NumberOfChanges(), 1);
    EXPECT_EQ(r.Changes(), 1);
    EXPECT_TRUE(r.IsChange(1));
    EXPECT_FALSE(r.IsChange(0));
}

TEST(ImdChanges, ModeSectorCountAndSizeEachMakeAChange) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500));
    imd.AddTrack(ImdTrack::Uniform(1, 0, 26, ImdSize::S128, ImdMode::Mfm500)); // mode
    imd.AddTrack(ImdTrack::Uniform(2, 0, 26, ImdSize::S128, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(3, 0, 16, ImdSize::S128, ImdMode::Mfm500)); // count
    imd.AddTrack(ImdTrack::Uniform(4, 0, 16, ImdSize::S256, ImdMode::Mfm500)); // size
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.NumberOfChanges(), 3);
    EXPECT_EQ(r.Changes(), 1);
    EXPECT_EQ(r.Changes(), 3);
    EXPECT_EQ(r.Changes(), 4);
    EXPECT_EQ(r.Changes(), 0);
    // Rebuilding gives the same answer.
    r.FindChanges();
    EXPECT_EQ(r.NumberOfChanges(), 3);
}

TEST(ImdChanges, AMissingTrackIsSkippedNotCountedAsTwoChanges) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500));
    imd.AddTrack(ImdTrack::Uniform(1, 0, 26, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(3, 0, 26, ImdSize::S256, ImdMode::Mfm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    EXPECT_EQ(image.reader.NumberOfChanges(), 1);
    EXPECT_EQ(image.reader.Changes(), 1);
    EXPECT_TRUE(image.reader.RO());
}

TEST(ImdAnswers, AddressMarksFromMapsOnlyWhenAskedFor) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 2, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(1, 0, 2, ImdSize::S256, ImdMode::Mfm500)
                     .WithCylinderMap(40)
                     .WithHeadMap(1));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Track(1).PreambleLength, 5 + 3 * 2);
    EXPECT_TRUE(r.Track(1).HasCylinderMap);
    EXPECT_TRUE(r.Track(1).HasHeadMap);
    r.rqTrack(1);
    r.rqPhySector(1);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 1, 1));
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
        ImdTrack track = ImdTrack::Uniform(mode, 0, 1, ImdSize::S256, ImdMode::Fm500);
        track.mode = static_cast<std::uint8_t>(mode);
        imd.AddTrack(track);
    }
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    const int density[] = {1, 1, 1, 2, 2, 2, 0};
    const int rate[] = {8, 7, 6, 8, 7, 6, 0};
    for (int mode = 0; mode <= 6; ++mode) {
        r.rqTrack(mode);
        EXPECT_EQ(r.Density(), density[mode]) << mode;
        EXPECT_EQ(r.TransferRate(), rate[mode]) << mode;
        EXPECT_EQ(r.DensityCode(), mode);
        EXPECT_EQ(r.TransferRateCode(), mode);
    }
}

TEST(ImdAnswers, FixedPreamblesAndPostambles) {
    OpenedImd image(SingleTrack().Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.SectorPreamble(), "1");
    EXPECT_EQ(r.DiskPostamble(), "0");
    EXPECT_EQ(r.TrackPostamble(), "0");
    EXPECT_EQ(r.SectorPostamble(), "0");
    EXPECT_FALSE(r.ErrorOnMissingData());
    r.ErrorOnMissingData(true);
    EXPECT_TRUE(r.ErrorOnMissingData());
    EXPECT_EQ(r.FileNumber(), 1);
}

TEST(ImdAnswers, CylindersOfAnOddTrackCountOnTwoHeads) {
    ImdBuilder imd;
    for (int t = 0; t < 5; ++t)
        imd.AddTrack(ImdTrack::Uniform(t / 2, t % 2, 2, ImdSize::S256, ImdMode::Mfm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    EXPECT_EQ(image.reader.Tracks(), 5);
    EXPECT_EQ(image.reader.Cylinders(), 3);
}

TEST(ImdTracks, ASecondRecordOfATrackReplacesTheFirst) {
    ImdBuilder imd;
    imd.AddTrack(ImdTrack::Uniform(0, 0, 8, ImdSize::S256, ImdMode::Mfm500).MakeUnavailable(8));
    imd.AddTrack(ImdTrack::Uniform(0, 0, 3, ImdSize::S128, ImdMode::Fm500));
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    classIMDfile& r = image.reader;
    EXPECT_EQ(r.Tracks(), 1);
    EXPECT_EQ(r.Track(0).SectorCount, 3);
    EXPECT_EQ(r.SectorPosition(0, 7), 0);
    r.rqTrack(0);
    r.rqPhySector(2);
    EXPECT_EQ(r.PhySectorOffset(), RecordPosition(imd, 1, 2));
}

TEST(ImdTracks, ProcessingAgainRebuildsTheSameIndex) {
    ImdBuilder imd = SingleTrack();
    OpenedImd image(imd.Build());
    ASSERT_TRUE(image.Process());
    image.reader.ProcessIMDfile();
    EXPECT_EQ(image.reader.Tracks(), 1);
    EXPECT_EQ(image.reader.Comments(), "IMD 1.18: 01/02/2003 04:05:06\r\nTest image");
    EXPECT_THROW(image.reader.Track(1), std::out_of_range);
    EXPECT_THROW(image.reader.SectorType(0, 26), std::out_of_range);
}
