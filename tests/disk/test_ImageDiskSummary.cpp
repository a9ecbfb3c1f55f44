// The ImageDisk summary report on built images (golden texts in tests/golden/disk/).
#include "Golden.h"
#include "ImageDiskDrive.h"
#include "ImageDiskSummary.h"
#include "ImdFiles.h"

#include <gtest/gtest.h>

namespace {

std::string Summary(const ByteString& bytes, const std::string& name) {
    ScriptedPrompts prompts;
    ImageDiskDrive drive(prompts, "VersaDOS File System");
    drive.OpenImage(WriteTempImage(bytes, name), name);
    StringSink sink;
    ImageDiskSummary(sink, drive.Slot(1));
    return sink.Text();
}

} // namespace

TEST(ImageDiskSummary, EightInchFloppyWithDamage) {
    ImdBuilder imd("Kestrel test disk\r\nsecond comment line");
    for (int t = 0; t < 6; ++t) {
        if (t == 3) continue; // cylinder 1, head 1 is missing
        if (t == 0) {
            imd.AddTrack(
                ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500).Compress(4, 0xE5));
            continue;
        }
        ImdTrack track = ImdTrack::Uniform(t / 2, t % 2, 26, ImdSize::S256, ImdMode::Mfm500);
        if (t == 2)
            track.MakeUnavailable(7).SetType(9, static_cast<std::uint8_t>(ImdRecord::DeletedData));
        if (t == 4)
            track.SetType(1, static_cast<std::uint8_t>(ImdRecord::CompressedError)).Compress(2, 0);
        imd.AddTrack(track);
    }
    const std::string text = Summary(imd.Build(), "damaged.imd");
    EXPECT_NE(text.find("  Missing tracks: 1: track 3 (cylinder 1, head 1)\r\n"),
              std::string::npos);
    EXPECT_GOLDEN("disk/summary_eight_inch", text);
}

TEST(ImageDiskSummary, FourFormatsListEveryChange) {
    ImdBuilder imd("Four formats");
    imd.AddTrack(ImdTrack::Uniform(0, 0, 26, ImdSize::S128, ImdMode::Fm500));
    imd.AddTrack(ImdTrack::Uniform(1, 0, 16, ImdSize::S256, ImdMode::Mfm300));
    imd.AddTrack(ImdTrack::Uniform(2, 0, 16, ImdSize::S256, ImdMode::Mfm300));
    imd.AddTrack(ImdTrack::Uniform(3, 0, 8, ImdSize::S512, ImdMode::Mfm250));
    imd.AddTrack(ImdTrack::Uniform(4, 0, 9, ImdSize::S512, ImdMode::Mfm250));
    imd.AddTrack(ImdTrack::Uniform(5, 0, 9, ImdSize::S512, ImdMode::Mfm250));
    EXPECT_GOLDEN("disk/summary_four_formats", Summary(imd.Build(), "four.imd"));
}

TEST(ImageDiskSummary, EmptyAndCutOffImages) {
    EXPECT_GOLDEN("disk/summary_empty", Summary(ImdBuilder("Empty").Build(), "empty.imd"));
    ImdBuilder imd("Cut off");
    imd.AddTrack(ImdTrack::Uniform(0, 0, 16, ImdSize::S256, ImdMode::Mfm500));
    imd.AddTrack(ImdTrack::Uniform(0, 1, 16, ImdSize::S256, ImdMode::Mfm500));
    ByteString bytes = imd.Build();
    bytes.resize(bytes.size() - 300);
    EXPECT_GOLDEN("disk/summary_cut_off", Summary(bytes, "cut.imd"));
}

TEST(ImageDiskSummary, NothingWithoutAReader) {
    StringSink sink;
    ImageDiskSummary(sink, DriveSlot{});
    EXPECT_EQ(sink.Text(), "");
}

TEST(ImageDiskSummary, OfADiskHeldAsASectorSource) {
    ScriptedPrompts prompts;
    ImdBuilder imd("As a sector source");
    imd.AddTrack(ImdTrack::Uniform(0, 0, 16, ImdSize::S256, ImdMode::Mfm500));
    const std::string path = WriteTempImage(imd.Build(), "source.imd");
    std::unique_ptr<SectorSource> disk = OpenImageDiskDrive(path, prompts, "Kestrel", "Kestrel");
    ASSERT_TRUE(disk);
    StringSink viaSource, viaSlot;
    ImageDiskSummary(viaSource, *disk);
    ImageDiskSummary(viaSlot, dynamic_cast<ImageDiskDrive&>(*disk).Slot(1));
    EXPECT_EQ(viaSource.Text(), viaSlot.Text());
    EXPECT_NE(viaSource.Text().find("Tracks: 1\r\n"), std::string::npos);

    StringSink none;
    ImageDiskSummary(none, MemorySectors(ByteString(512), 256));
    EXPECT_EQ(none.Text(), "");
}
