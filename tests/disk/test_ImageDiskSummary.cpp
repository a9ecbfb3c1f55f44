// The ImageDisk summary report on built images (golden texts in tests/golden/disk/).
#include "Golden.h"
#include "ImageDiskSummary.h"
#include "ImdFiles.h"

#include <gtest/gtest.h>

namespace {

std::string Summary(const ByteString& bytes) {
    Drive d(bytes, "summary.imd");
    StringSink sink;
    ImageDiskSummary(sink, d.slot());
    return sink.Text();
}

} // namespace

TEST(ImageDiskSummary, EightInchFloppyWithDamage) {
    ImdBuilder imd = EightInch(3);
    imd.RawHeader(ImdBuilder("Kestrel test disk\r\nsecond comment line").Build());
    imd.Tracks().erase(imd.Tracks().begin() + 3); // cylinder 1, head 1 is missing
    imd.Tracks()[0].Compress(4, 0xE5);
    imd.Tracks()[2].MakeUnavailable(7).SetType(9,
                                               static_cast<std::uint8_t>(ImdRecord::DeletedData));
    imd.Tracks()[3]
        .SetType(1, static_cast<std::uint8_t>(ImdRecord::CompressedError))
        .Compress(2, 0);
    EXPECT_GOLDEN("disk/summary_eight_inch", Summary(imd.Build()));
}

TEST(ImageDiskSummary, FourFormatsEmptyAndCutOffImages) {
    ImdBuilder imd("Four formats");
    imd.AddTrack(ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500));
    for (int c = 1; c < 3; ++c)
        imd.AddTrack(ImdTrack::Uniform(c, 0, 16, ImdSize::S256, ImdMode::Mfm300));
    imd.AddTrack(ImdTrack::Uniform(3, 0, 8, ImdSize::S512, ImdMode::Mfm250));
    for (int c = 4; c < 6; ++c)
        imd.AddTrack(ImdTrack::Uniform(c, 0, 9, ImdSize::S512, ImdMode::Mfm250));
    EXPECT_GOLDEN("disk/summary_four_formats", Summary(imd.Build()));

    EXPECT_GOLDEN("disk/summary_empty", Summary(ImdBuilder("Empty").Build()));
    ByteString cut = TracksOf({Track256(0, 0, 16), Track256(0, 1, 16)}, "Cut off").Build();
    cut.resize(cut.size() - 300);
    EXPECT_GOLDEN("disk/summary_cut_off", Summary(cut));
}

TEST(ImageDiskSummary, OfADiskHeldAsASectorSourceAndNothingWithoutAReader) {
    ScriptedPrompts prompts;
    const std::string path =
        WriteTempImage(TracksOf({Track256(0, 0, 16)}, "As a sector source").Build(), "source.imd");
    std::unique_ptr<SectorSource> disk = OpenImageDiskDrive(path, prompts, "Kestrel", "Kestrel");
    ASSERT_TRUE(disk);
    StringSink viaSource, viaSlot;
    ImageDiskSummary(viaSource, *disk);
    ImageDiskSummary(viaSlot, dynamic_cast<ImageDiskDrive&>(*disk).Slot(1));
    EXPECT_EQ(viaSource.Text(), viaSlot.Text());
    EXPECT_NE(viaSource.Text().find("Tracks: 1\r\n"), std::string::npos);

    StringSink none;
    ImageDiskSummary(none, MemorySectors(ByteString(512), 256));
    ImageDiskSummary(none, DriveSlot{});
    EXPECT_EQ(none.Text(), "");
}
