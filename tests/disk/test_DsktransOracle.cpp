// ImageDisk images written by libdsk's dsktrans from raw images (fixture imd_dsktrans): every
// logical sector read through the drive, and through the logical view of the container layer,
// equals the raw image's bytes at LSN x 256.
#include "DiskContainer.h"
#include "Golden.h"
#include "ImageDiskDrive.h"
#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using ByteString = std::vector<std::uint8_t>;

struct Expected {
    const char* name;
    std::int32_t heads;
    std::int32_t tracks;
    std::int32_t changes;
    std::int32_t compressed;
};

void PrintTo(const Expected& expected, std::ostream* out) {
    *out << expected.name;
}

class Dsktrans : public testing::TestWithParam<Expected> {};

} // namespace

TEST_P(Dsktrans, EveryLogicalSectorEqualsTheRawImage) {
    const Expected& expected = GetParam();
    const std::string base = FixtureDir() + "/" + expected.name;
    if (!std::filesystem::exists(base + ".imd"))
        GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed: no libdsk image " << base;
    const ByteString raw = ReadHostFile(base + ".raw");
    ASSERT_EQ(raw.size() % 256, 0u);

    ScriptedPrompts prompts;
    ImageDiskDrive drive(prompts, "VersaDOS File System");
    ASSERT_TRUE(drive.OpenImage(base + ".imd", expected.name).accepted);
    const classIMDfile& reader = *drive.Slot(1).Reader;
    EXPECT_EQ(reader.Heads(), expected.heads);
    EXPECT_EQ(reader.Tracks(), expected.tracks);
    EXPECT_EQ(reader.Comments().rfind("IMD LibDsk ", 0), 0u);
    EXPECT_EQ(reader.RO(), expected.compressed > 0);
    std::int32_t compressed = 0;
    for (std::int32_t t = 0; t < reader.Tracks(); ++t)
        for (std::int32_t s = 0; s < reader.Track(t).SectorCount; ++s)
            if (reader.SectorType(t, s) == 2) ++compressed;
    EXPECT_EQ(compressed, expected.compressed);
    EXPECT_EQ(drive.Slot(1).Reader->NumberOfChanges(), expected.changes);

    const std::int32_t sectors = static_cast<std::int32_t>(raw.size() / 256);
    for (std::int32_t lsn = 0; lsn < sectors; ++lsn) {
        ASSERT_TRUE(drive.ReadSector(lsn)) << "LSN " << lsn << ": " << prompts.messages.back().text;
        ASSERT_TRUE(std::equal(drive.SectorBuffer().begin(), drive.SectorBuffer().end(),
                               raw.begin() + static_cast<long>(lsn) * 256))
            << "LSN " << lsn << " differs from the raw image";
    }
    EXPECT_EQ(prompts.messages.size(), 1u); // the comment box only
    EXPECT_FALSE(drive.ReadSector(sectors));
    EXPECT_EQ(prompts.messages.back().title, "Error reading LSN " + std::to_string(sectors));

    // The same through the container layer, and for the mixed layout also as an extended .DSK
    // file (fixture containers), whose track 0 libdsk reads only as single density.
    for (const std::string& path :
         {base + ".imd", FixtureDir() + "/containers/" + expected.name + ".edsk"}) {
        if (!std::filesystem::exists(path)) continue;
        const OpenedContainer opened = OpenContainer(path);
        ASSERT_TRUE(opened.container) << opened.error;
        SectorSource& logical = opened.container->Logical();
        ByteString sector(256);
        for (std::int32_t lsn = 0; lsn < sectors; ++lsn) {
            ASSERT_TRUE(logical.ReadSector(lsn, sector)) << path << " LSN " << lsn;
            ASSERT_TRUE(std::equal(sector.begin(), sector.end(), raw.begin() + lsn * 256L))
                << path << " LSN " << lsn;
        }
        EXPECT_FALSE(logical.ReadSector(sectors, sector));
        EXPECT_EQ(opened.container->LogicalProblem(),
                  prompts.messages.back().text); // the drive's words for the same sector
    }
}

INSTANTIATE_TEST_SUITE_P(Libdsk, Dsktrans,
                         testing::Values(Expected{"dsk-ds256", 2, 154, 0, 572},
                                         Expected{"dsk-ss128", 1, 77, 0, 286},
                                         Expected{"dsk-mixed", 2, 154, 1, 572}),
                         [](const auto& info) { return std::string(info.param.name + 4); });
