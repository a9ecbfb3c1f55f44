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

constexpr std::int32_t kNowhere = -1;

} // namespace

// Each row: a disk, a logical sector and where it lies (cylinder, head, physical index), or
// kNowhere. The layouts dsktrans writes are also read sector by sector in the libdsk oracle.
TEST(LsnMapping, LayoutsOfOneTwoAndThreeAreasAndSectorsThatLieNowhere) {
    const DriveSlot mixed16 = Slot(2, 16, 128, 1, 16, 256);
    const DriveSlot mixedSingle = Slot(1, 26, 128, 1, 26, 256);
    const DriveSlot flat256 = Slot(2, 16, 256, 0, 16, 256);
    // Tracks 0-1: 26 x 128 (13 logical each), tracks 2-3: 16 x 256, then 8 x 256.
    const DriveSlot three = Slot(1, 26, 128, 2, 8, 256, 16, 256, 2);
    const DriveSlot noMain = Slot(2, 26, 128, 1, 0, 0);
    const DriveSlot oneSector = Slot(1, 1, 256, 0, 1, 256);
    const DriveSlot empty = Slot(1, 0, 0, 0, 0, 0);
    const DriveSlot one128 = Slot(1, 1, 128, 0, 1, 128); // one 128-byte sector holds none
    DriveSlot noHeads = Slot(2, 16, 256, 0, 16, 256);
    noHeads.Heads = 0;
    const struct {
        const DriveSlot& slot;
        std::int32_t lsn, cylinder, head, index;
    } rows[] = {{mixed16, 7, 0, 0, 14},
                {mixed16, 8, 0, 1, 0},
                {mixed16, 24, 1, 0, 0},
                {mixedSingle, 13, 1, 0, 0},
                {mixedSingle, 4000, 154, 0, 9},
                {flat256, 15, 0, 0, 15},
                {flat256, 16, 0, 1, 0},
                {flat256, 33, 1, 0, 1},
                {three, 13, 1, 0, 0},
                {three, 25, 1, 0, 24},
                {three, 26, 2, 0, 0},
                {three, 57, 3, 0, 15},
                {three, 58, 4, 0, 0},
                {three, 67, 5, 0, 1},
                {noMain, 12, 0, 0, 24},
                {noMain, 13, kNowhere, 0, 0},
                {flat256, -1, kNowhere, 0, 0},
                {oneSector, 255, 255, 0, 0},
                {oneSector, 256, kNowhere, 0, 0},
                {noHeads, 0, kNowhere, 0, 0},
                {empty, 0, kNowhere, 0, 0},
                {one128, 3, kNowhere, 0, 0}};
    for (const auto& row : rows) {
        const LsnLocation where = MapLSN(row.slot, row.lsn);
        if (row.cylinder == kNowhere) {
            EXPECT_FALSE(where.found) << "LSN " << row.lsn;
            EXPECT_FALSE(where.problem.empty()) << "LSN " << row.lsn;
            continue;
        }
        ASSERT_TRUE(where.found) << row.lsn << ": " << where.problem;
        EXPECT_EQ(where.cylinder, row.cylinder) << "LSN " << row.lsn;
        EXPECT_EQ(where.head, row.head) << "LSN " << row.lsn;
        EXPECT_EQ(where.index, row.index) << "LSN " << row.lsn;
        EXPECT_EQ(where.track, row.cylinder * row.slot.Heads + row.head) << "LSN " << row.lsn;
    }
}

// Each row: the track formats of a disk (sectors, size code, mode; 0 sectors: the track is
// missing) and the areas they divide into. A missing track changes nothing; the mode alone does.
TEST(LsnMapping, TrackFormatsSplitIntoAreasAtEachChange) {
    const TrackFormat fm128{true, 26, 0, 0}, mfm256{true, 26, 1, 3}, fm256{true, 26, 1, 0},
        missing{};
    const struct {
        std::vector<TrackFormat> tracks;
        AreaSplit split;
    } rows[] = {
        {{fm128, mfm256, mfm256}, {1, 1, 0, {1, 0, 0}}},
        {{missing, mfm256, mfm256}, {0, 0, 0, {1, 1, 1}}},
        {{fm128, missing, mfm256}, {1, 2, 0, {2, 0, 0}}},
        {{fm256, mfm256, fm128, fm128}, {2, 1, 1, {2, 0, 1}}},
        {{fm128, fm256, mfm256, fm128}, {3, 1, 1, {2, 0, 1}}},
        {{}, {0, 0, 0, {0, 0, 0}}},
    };
    for (const auto& row : rows) {
        const AreaSplit split = SplitAreas(row.tracks);
        EXPECT_EQ(split.changes, row.split.changes) << row.tracks.size();
        EXPECT_EQ(split.area1Tracks, row.split.area1Tracks);
        EXPECT_EQ(split.area2Tracks, row.split.area2Tracks);
        EXPECT_EQ(split.formatTrack, row.split.formatTrack);
    }
}
