// The boot sector, the layout, the FAT type rule, FAT entries and the volume's report texts.
#include "FatImageBuilder.h"
#include "FatTestSupport.h"
#include "Golden.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

TEST(FatVolume, BootSectorFieldsAndLayoutOfTheOracleFloppy) {
    ExplorerRig rig;
    ASSERT_TRUE(rig.Open(OspreyImages() + "/fat12.img"));
    const VolumeLayout& layout = rig.explorer.Volume().Layout();
    // A 1.44 MB floppy: 2880 clusters, FAT12; two FATs of 9 sectors, 14 sectors of root.
    EXPECT_EQ((std::array{layout.TotalSectors, layout.ClusterCount, layout.Fat0Start,
                          layout.Fat1Start, layout.RootStart, layout.DataStart}),
              (std::array<std::int64_t, 6>{2880, 2880, 1, 10, 19, 33}));
    EXPECT_EQ(rig.explorer.Volume().FatType(), 12);
    // The boot sector's fields and FAT 0 are in the golden reports of the osprey cases.
}

TEST(FatVolume, LayoutRules) {
    // No room in the small count: the large count is used.
    FatGeometry g{.sectorsPerCluster = 4, .rootEntries = 512, .totalSectors = 70000};
    g.sectorsPerFat = 70;
    g.fatType = 16;
    FatImageBuilder image(g);
    BootSector boot = ParseBootSector(std::span(image.Bytes()).first(512));
    VolumeLayout layout = DeriveLayout(boot);
    EXPECT_EQ(layout.TotalSectors, 70000);
    EXPECT_EQ(layout.ClusterCount, 17500);
    EXPECT_EQ(layout.RootStart, 1 + 140);
    EXPECT_EQ(layout.DataStart, 141 + 32);

    // A root directory that does not fill its last sector still takes the whole sector.
    boot.RootEntries = 17;
    EXPECT_EQ(DeriveLayout(boot).DataStart, 141 + 2);
    // No sectors per cluster: no clusters at all (and no division by zero).
    boot.SectorsPerCluster = 0;
    EXPECT_EQ(DeriveLayout(boot).ClusterCount, 0);
    // A large count with bit 31 set is a huge volume, not a negative one.
    boot.SectorsPerCluster = 1;
    boot.LargeSectors = static_cast<std::int32_t>(0x80000000u);
    EXPECT_EQ(DeriveLayout(boot).TotalSectors, 0x80000000LL);
    EXPECT_EQ(FatTypeFor(DeriveLayout(boot).ClusterCount), 32);
    // Sector sizes other than 512 place the areas in sectors of that size.
    boot.BytesPerSector = 2048;
    EXPECT_EQ(DeriveLayout(boot).SectorBytes, 2048);
    boot.BytesPerSector = 100;
    EXPECT_EQ(DeriveLayout(boot).SectorBytes, 512);
}

TEST(FatVolume, FatTypeThresholdsAndTheSystemIdLabel) {
    const std::pair<std::int64_t, int> thresholds[] = {
        {0, 12}, {4079, 12}, {4080, 16}, {4084, 16}, {65519, 16}, {65520, 32}, {65525, 32}};
    for (const auto& [clusters, type] : thresholds)
        EXPECT_EQ(FatTypeFor(clusters), type) << clusters;

    // The system ID label: the ID in black when it names the type, else the type in blue.
    EXPECT_EQ(SetFatType(12, "FAT12   ").Text, "FAT12");
    EXPECT_FALSE(SetFatType(12, "FAT12   ").Blue);
    EXPECT_FALSE(SetFatType(16, " fat16  ").Blue);
    const SystemIdLabel other = SetFatType(12, "MSWIN4.1");
    EXPECT_EQ(other.Text, "Fat12");
    EXPECT_TRUE(other.Blue);
    EXPECT_EQ(SetFatType(16, "FAT12   ").Text, "Fat16");
    EXPECT_EQ(SetFatType(32, "        ").Text, "Fat32");

    // The serial number, label and system ID are there only when the extended signature says
    // so (DOS 3.31 has boot code there); the serial number is unsigned.
    const std::tuple<int, bool, bool> signatures[] = {
        {0x29, true, true}, {0x28, true, false}, {0x00, false, false}};
    for (const auto& [signature, serial, label] : signatures) {
        FatImageBuilder image;
        image.Bytes()[38] = static_cast<std::uint8_t>(signature);
        image.Bytes()[42] = 0xFA;
        ExplorerRig rig;
        ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
        rig.explorer.ShowBootSector(rig.sink);
        const std::string text = rig.sink.Text();
        EXPECT_EQ(text.find("Serial Number   = FA345678 (4197734008)") != std::string::npos,
                  serial);
        EXPECT_EQ(text.find("Volume Label        = BUILT") != std::string::npos, label);
        EXPECT_EQ(text.find("System ID") != std::string::npos, label);
        EXPECT_EQ(rig.explorer.VolumeIdLabel(), label ? "BUILT" : "");
        EXPECT_EQ(rig.explorer.SystemId().Text, label ? "FAT12" : "Fat12");
    }
}

TEST(FatVolume, Fat12And16EntriesAndTheEndMarker) {
    // FAT12 packs two entries in three bytes: each nibble must land in its own entry.
    const std::pair<int, int> entries[] = {{2, 0x003}, {3, 0xFFF}, {4, 0xABC}, {5, 0x123}};
    FatImageBuilder image;
    for (const auto& [cluster, value] : entries)
        image.SetFat(cluster, value);
    ExplorerRig rig;
    ASSERT_EQ(rig.OpenBytes(image.Bytes()), OpenOutcome::Opened);
    for (const auto& [cluster, value] : entries)
        EXPECT_EQ(rig.explorer.Volume().FatEntry(cluster), value) << cluster;
    EXPECT_EQ(rig.explorer.Volume().NextCluster(2880), 4095); // beyond ClusterCount: the end marker

    FatImageBuilder big({.totalSectors = 40000, .sectorsPerFat = 160, .fatType = 16});
    big.SetFat(20000, 0xBEEF); // beyond byte 32767 of the table
    ASSERT_EQ(rig.OpenBytes(big.Bytes()), OpenOutcome::Opened);
    EXPECT_EQ(rig.explorer.Volume().EndMarker(), 65535);
    EXPECT_EQ(rig.explorer.Volume().FatEntry(20000), 0xBEEF);
}

TEST(FatVolume, RefusalsOfTheOpeningChecks) {
    // 65520 clusters is refused as FAT32 before the boot signature is looked at.
    FatImageBuilder fat32({.totalSectors = 65520, .sectorsPerFat = 256, .fatType = 16});
    fat32.Bytes()[510] = 0;
    ExplorerRig rig;
    EXPECT_EQ(rig.OpenBytes(fat32.Bytes()), OpenOutcome::Refused);
    EXPECT_EQ(rig.MessageTitles(), "Bad FAT type");
    EXPECT_EQ(rig.sink.Text(), RawBootSector(ParseBootSector(std::span(fat32.Bytes()).first(512))));
    EXPECT_FALSE(rig.explorer.IsOpen());

    // Without the 0xAA55 signature the volume is refused and its boot sector shown.
    FatImageBuilder unsigned12;
    unsigned12.Bytes()[511] = 0x55;
    ExplorerRig rig2;
    rig2.sink.Append("stale text");
    EXPECT_EQ(rig2.OpenBytes(unsigned12.Bytes()), OpenOutcome::Refused);
    EXPECT_EQ(rig2.MessageTitles(), "Bad Boot Sector");
    EXPECT_EQ(rig2.prompts.messages[0].text, "No Boot Signature");
    EXPECT_EQ(rig2.sink.Text().rfind(" Raw Boot Sector 0\r\n\r\n00000000  EB 3C 90", 0), 0u);
    EXPECT_TRUE(rig2.explorer.List().Lines.empty());
}
