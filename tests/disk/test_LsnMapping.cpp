// Where logical sectors lie on ImageDisk disks of one, two and three areas.
#include "LsnMapping.h"

#include <gtest/gtest.h>

namespace {

DriveSlot Slot(int heads, int spt1, int size1, int area1Tracks, int spt0, int size0, int spt2 = 0,
               int size2 = 0, int area2Tracks = 0) {
    DriveSlot slot;
    slot.Heads = heads;
    slot.SectorsPerTrack = {spt0, spt1, spt2};
    slot.SectorSize = {size0, size1, size2};
    slot.Area1Tracks = area1Tracks;
    slot.Area2Tracks = area2Tracks;
    slot.MultiArea = area1Tracks > 0 ? 1 : 0;
    return slot;
}

// The mapping as first written for the VersaDOS floppies, whose track 0 has twice as many
// sectors of 128 bytes: half = SectorsPerTrack[1] / 2; below it index = (lsn mod spt0) x 2 and
// track = lsn / spt0; else n = lsn + half, index = n mod spt0, track = n / spt0.
void FirstMapping(const DriveSlot& slot, std::int32_t lsn, std::int32_t& track,
                  std::int32_t& index) {
    const std::int32_t half = slot.SectorsPerTrack[1] / 2;
    const std::int32_t spt0 = slot.SectorsPerTrack[0];
    if (lsn < half) {
        index = (lsn % spt0) * 2;
        track = lsn / spt0;
    } else {
        index = (lsn + half) % spt0;
        track = (lsn + half) / spt0;
    }
}

void ExpectAt(const DriveSlot& slot, std::int32_t lsn, std::int32_t cylinder, std::int32_t head,
              std::int32_t index) {
    const LsnLocation where = MapLSN(slot, lsn);
    ASSERT_TRUE(where.found) << lsn << ": " << where.problem;
    EXPECT_EQ(where.cylinder, cylinder) << "LSN " << lsn;
    EXPECT_EQ(where.head, head) << "LSN " << lsn;
    EXPECT_EQ(where.index, index) << "LSN " << lsn;
    EXPECT_EQ(where.track, cylinder * slot.Heads + head) << "LSN " << lsn;
}

} // namespace

TEST(LsnMapping, EightInchFloppyTrackZeroOf128ByteSectors) {
    const DriveSlot slot = Slot(2, 26, 128, 1, 26, 256);
    ExpectAt(slot, 0, 0, 0, 0);
    ExpectAt(slot, 1, 0, 0, 2);
    ExpectAt(slot, 12, 0, 0, 24);
    ExpectAt(slot, 13, 0, 1, 0);
    ExpectAt(slot, 38, 0, 1, 25);
    ExpectAt(slot, 39, 1, 0, 0);
    ExpectAt(slot, 13 + 153 * 26 - 1, 76, 1, 25);
}

TEST(LsnMapping, AgreesWithTheFirstMappingOnTheMixedFloppies) {
    for (const DriveSlot& slot : {Slot(2, 26, 128, 1, 26, 256), Slot(2, 16, 128, 1, 16, 256),
                                  Slot(1, 26, 128, 1, 26, 256)}) {
        for (std::int32_t lsn = 0; lsn < 5000; ++lsn) {
            std::int32_t track = 0, index = 0;
            FirstMapping(slot, lsn, track, index);
            const LsnLocation where = MapLSN(slot, lsn);
            ASSERT_TRUE(where.found);
            ASSERT_EQ(where.track, track) << lsn;
            ASSERT_EQ(where.index, index) << lsn;
        }
    }
}

TEST(LsnMapping, TrackZeroOf256ByteSectorsIsReadOneToOne) {
    const DriveSlot slot = Slot(2, 16, 256, 0, 16, 256);
    ExpectAt(slot, 0, 0, 0, 0);
    ExpectAt(slot, 1, 0, 0, 1);
    ExpectAt(slot, 15, 0, 0, 15);
    ExpectAt(slot, 16, 0, 1, 0);
    ExpectAt(slot, 33, 1, 0, 1);
}

TEST(LsnMapping, 128ByteSectorsThroughoutReadPairsOnEveryTrack) {
    const DriveSlot slot = Slot(1, 26, 128, 0, 26, 128);
    ExpectAt(slot, 0, 0, 0, 0);
    ExpectAt(slot, 12, 0, 0, 24);
    ExpectAt(slot, 13, 1, 0, 0);
    ExpectAt(slot, 14, 1, 0, 2);
    ExpectAt(slot, 26, 2, 0, 0);
}

TEST(LsnMapping, ThreeAreasFollowEachOther) {
    // Tracks 0-1: 26 x 128 (13 logical each), tracks 2-3: 16 x 256, then 8 x 256.
    const DriveSlot slot = Slot(1, 26, 128, 2, 8, 256, 16, 256, 2);
    ExpectAt(slot, 13, 1, 0, 0);
    ExpectAt(slot, 25, 1, 0, 24);
    ExpectAt(slot, 26, 2, 0, 0);
    ExpectAt(slot, 57, 3, 0, 15);
    ExpectAt(slot, 58, 4, 0, 0);
    ExpectAt(slot, 67, 5, 0, 1);
}

TEST(LsnMapping, NoSectorsNegativeAndBeyondCylinder255Fail) {
    EXPECT_FALSE(MapLSN(Slot(1, 0, 0, 0, 0, 0), 0).found);
    EXPECT_FALSE(MapLSN(Slot(1, 0, 0, 0, 0, 0), 0).problem.empty());
    // One 128-byte sector per track holds no logical sector.
    EXPECT_FALSE(MapLSN(Slot(1, 1, 128, 0, 1, 128), 3).found);
    // The main area without sectors is met only by sectors beyond area 1.
    const DriveSlot slot = Slot(2, 26, 128, 1, 0, 0);
    EXPECT_TRUE(MapLSN(slot, 12).found);
    EXPECT_FALSE(MapLSN(slot, 13).found);
    EXPECT_FALSE(MapLSN(Slot(2, 26, 256, 0, 26, 256), -1).found);
    EXPECT_TRUE(MapLSN(Slot(1, 1, 256, 0, 1, 256), 255).found);
    EXPECT_FALSE(MapLSN(Slot(1, 1, 256, 0, 1, 256), 256).found);
    DriveSlot noHeads = Slot(2, 26, 256, 0, 26, 256);
    noHeads.Heads = 0;
    EXPECT_FALSE(MapLSN(noHeads, 0).found);
}
