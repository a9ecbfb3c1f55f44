// The raw drive: geometry from the image length, sectors at LSN × 512 + partition offset,
// the end of the image, and one host read per run of sectors.
#include "FatTestSupport.h"
#include "Golden.h"
#include "RawDrive.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::string MakeImage(const std::string& name, std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<std::uint8_t>((i / 512 * 7 + i) & 0xFF);
    const std::string path = TempDir("rawdrive") + "/" + name;
    WriteHostFile(path, bytes);
    return path;
}

} // namespace

TEST(RawDrive, GeometryComesFromTheImageLengthAlone) {
    // Length, then tracks, heads and sectors per track.
    const std::array<std::int64_t, 4> cases[] = {
        {0, 80, 2, 36},       {163840, 40, 1, 8},   {184320, 40, 1, 9},   {327680, 40, 2, 8},
        {368640, 40, 2, 9},   {737280, 80, 2, 9},   {1228800, 80, 2, 15}, {1474560, 80, 2, 18},
        {1720320, 80, 2, 21}, {1474561, 80, 2, 18}, {512, 80, 2, 18}};
    for (const auto& [length, tracks, heads, sectors] : cases) {
        const RawGeometry g = RawGeometryFor(length);
        EXPECT_EQ((std::array<std::int64_t, 3>{g.Tracks, g.Heads, g.SectorsPerTrack}),
                  (std::array{tracks, heads, sectors}))
            << length;
    }

    RawDrive drive;
    ASSERT_FALSE(drive.OpenDrive(MakeImage("empty.img", 0)));
    EXPECT_EQ(drive.Slot().SectorsPerTrack, 36);
    EXPECT_EQ(drive.Slot().FileTitle, "empty.img");
    std::array<std::uint8_t, 512> sector{};
    EXPECT_FALSE(drive.ReadSector(0, sector)); // nothing to read in an empty image
}

TEST(RawDrive, SectorsLieAtLsnTimes512PlusTheOffsetUpToTheEnd) {
    const std::string path = MakeImage("disk.img", 40 * 512 + 100);
    const std::vector<std::uint8_t> file = ReadHostFile(path);
    RawDrive drive;
    drive.SetPartitionOffset(700); // an offset need not be a whole number of sectors
    ASSERT_FALSE(drive.OpenDrive(path));
    std::array<std::uint8_t, 512> sector{};
    ASSERT_TRUE(drive.ReadSector(3, sector));
    EXPECT_TRUE(std::equal(sector.begin(), sector.end(), file.begin() + 3 * 512 + 700));
    EXPECT_EQ(drive.SectorBuffer(), sector);
    // Several sectors in one read give the same bytes as one at a time.
    std::vector<std::uint8_t> run(4 * 512);
    ASSERT_TRUE(drive.ReadSectors(2, 4, run));
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(drive.ReadSector(2 + i, sector));
        EXPECT_TRUE(std::equal(sector.begin(), sector.end(), run.begin() + i * 512)) << i;
    }

    // The last, partial sector reads with zeros after the end of the file.
    drive.SetPartitionOffset(0);
    sector.fill(0xEE);
    ASSERT_TRUE(drive.ReadSector(40, sector));
    EXPECT_TRUE(std::equal(sector.begin(), sector.begin() + 100, file.begin() + 40 * 512));
    EXPECT_TRUE(std::all_of(sector.begin() + 100, sector.end(), [](auto b) { return b == 0; }));
    // A sector wholly beyond the end, or a run that reaches beyond it, is not read.
    EXPECT_FALSE(drive.ReadSector(41, sector));
    EXPECT_TRUE(drive.ReadSectors(37, 4, run));
    EXPECT_FALSE(drive.ReadSectors(38, 4, run));
    EXPECT_FALSE(drive.ReadSector(-1, sector));
    // Positions beyond 2 GB are computed in 64 bits: no wrap to the start of the file.
    EXPECT_FALSE(drive.ReadSector(0x7FFFFFFF, sector));
    // A boot sector beyond the end of the image reads as zeros.
    drive.SetPartitionOffset(1 << 20);
    EXPECT_FALSE(drive.ReadBootSector());
    EXPECT_TRUE(std::all_of(drive.BootSector().begin(), drive.BootSector().end(),
                            [](auto b) { return b == 0; }));
}

TEST(RawDrive, OpenFailuresAndClose) {
    RawDrive drive;
    EXPECT_EQ(drive.OpenDrive(TempDir("rawdrive-missing") + "/none.img").number,
              RunTimeError::FileNotFound);
    EXPECT_FALSE(drive.Slot().IsOpen);
    EXPECT_TRUE(drive.OpenDrive(TempDir("rawdrive-folder"))); // a folder is no image
    EXPECT_FALSE(drive.Slot().IsOpen);

    ASSERT_FALSE(drive.OpenDrive(MakeImage("c.img", 1024)));
    drive.SetPartitionOffset(512);
    drive.CloseDrive();
    EXPECT_FALSE(drive.Slot().IsOpen);
    EXPECT_EQ(drive.Slot().FileName, "");
    EXPECT_EQ(drive.PartitionOffset(), 512); // the offset outlives the image
    std::array<std::uint8_t, 512> sector{};
    EXPECT_FALSE(drive.ReadSector(0, sector));
}
