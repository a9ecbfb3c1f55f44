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

struct At {
    std::int32_t lsn, cylinder, head, index;
};

void ExpectAt(const DriveSlot& slot, std::initializer_list<At> places) {
    for (const At& at : places) {
        const LsnLocation where = MapLSN(slot, at.lsn);
        ASSERT_TRUE(where.found) << at.lsn << ": " << where.problem;
        EXPECT_EQ(where.cylinder, at.cylinder) << "LSN " << at.lsn;
        EXPECT_EQ(where.head, at.head) << "LSN " << at.lsn;
        EXPECT_EQ(where.index, at.index) << "LSN " << at.lsn;
        EXPECT_EQ(where.track, at.cylinder * slot.Heads + at.head) << "LSN " << at.lsn;
    }
}

} // namespace

TEST(LsnMapping, MixedFloppiesWithATrackZeroOf128ByteSectors) {
    ExpectAt(Slot(2, 26, 128, 1, 26, 256), {{0, 0, 0, 0},
                                            {1, 0, 0, 2},
                                            {12, 0, 0, 24},
                                            {13, 0, 1, 0},
                                            {38, 0, 1, 25},
                                            {39, 1, 0, 0},
                                            {13 + 153 * 26 - 1, 76, 1, 25}});
    ExpectAt(Slot(2, 16, 128, 1, 16, 256), {{7, 0, 0, 14}, {8, 0, 1, 0}, {24, 1, 0, 0}});
    ExpectAt(Slot(1, 26, 128, 1, 26, 256), {{13, 1, 0, 0}, {4000, 154, 0, 9}});
}

TEST(LsnMapping, OneFormatThroughoutAndThreeAreas) {
    // 256-byte sectors one to one; 128-byte sectors in pairs on every track.
    ExpectAt(Slot(2, 16, 256, 0, 16, 256),
             {{0, 0, 0, 0}, {1, 0, 0, 1}, {15, 0, 0, 15}, {16, 0, 1, 0}, {33, 1, 0, 1}});
    ExpectAt(Slot(1, 26, 128, 0, 26, 128),
             {{0, 0, 0, 0}, {12, 0, 0, 24}, {13, 1, 0, 0}, {14, 1, 0, 2}, {26, 2, 0, 0}});
    // Tracks 0-1: 26 x 128 (13 logical each), tracks 2-3: 16 x 256, then 8 x 256.
    ExpectAt(Slot(1, 26, 128, 2, 8, 256, 16, 256, 2), {{13, 1, 0, 0},
                                                       {25, 1, 0, 24},
                                                       {26, 2, 0, 0},
                                                       {57, 3, 0, 15},
                                                       {58, 4, 0, 0},
                                                       {67, 5, 0, 1}});
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
