#include "SystemVBlockMap.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <vector>

namespace {

// A made-up map with four entries per indirect block (10 direct blocks, 4 single, 16 double and
// 64 triple): indirect block a holds entries a * 10 + slot, so every address spells the slots
// that led to it.
struct FakeMap {
    BlockMap map{4};
    std::map<std::int32_t, int> reads;
    std::set<std::int32_t> unreadable;
    std::int64_t holeBlocks = 0; // of the last Find
    BlockMap::Lookup Find(const std::array<std::int32_t, 13>& addr, std::int64_t index,
                          std::int32_t& address) {
        return map.Find(
            addr, index, address,
            [this](std::int32_t a, std::vector<std::int32_t>& entries) {
                ++reads[a];
                if (unreadable.count(a)) return false;
                // Block 6 holds a hole at slot 1 and 2.
                entries = {a * 10, a == 6 ? 0 : a * 10 + 1, a == 6 ? 0 : a * 10 + 2, a * 10 + 3};
                return true;
            },
            &holeBlocks);
    }
};

} // namespace

TEST(BlockMap, DirectSingleDoubleAndTripleIndirect) {
    FakeMap fake;
    EXPECT_EQ(fake.map.Capacity(), 10 + 4 + 16 + 64);
    const std::array<std::int32_t, 13> addr{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 7, 8, 9};
    // Direct 0 and 9; single 10 and 13 (block 7); double 14, 19, 29 (8 -> 80.. -> 800..);
    // triple 30 and 93 (9 -> 90 -> 900 -> 9000).
    const std::pair<std::int64_t, std::int32_t> expected[] = {{0, 1},    {9, 10},    {10, 70},
                                                              {13, 73},  {14, 800},  {19, 811},
                                                              {29, 833}, {30, 9000}, {93, 9333}};
    std::int32_t address = -1;
    for (const auto& [index, want] : expected) {
        EXPECT_EQ(fake.Find(addr, index, address), BlockMap::Lookup::Found) << index;
        EXPECT_EQ(address, want) << index;
        if (index == 9) {
            EXPECT_TRUE(fake.reads.empty()) << "direct blocks need no indirect block";
        }
    }
    EXPECT_EQ(fake.Find(addr, 94, address), BlockMap::Lookup::Beyond);
    EXPECT_EQ(fake.Find(addr, -1, address), BlockMap::Lookup::Beyond);
}

TEST(BlockMap, IndirectBlocksAreReadOncePerWalkAndHolesCoverWholeSubtrees) {
    FakeMap fake;
    std::array<std::int32_t, 13> addr{};
    addr[10] = 7;
    addr[11] = 0; // the whole double indirect range is a hole
    addr[12] = 9;
    std::int32_t address = -1;
    for (std::int64_t i = 0; i < 94; ++i)
        ASSERT_EQ(fake.Find(addr, i, address), BlockMap::Lookup::Found);
    // Blocks 7, 9, 90..93 and 900..933, each once; the missing block 8 never.
    EXPECT_EQ(fake.reads.size(), 22u);
    for (const auto& [block, count] : fake.reads)
        EXPECT_EQ(count, 1) << "block " << block << " is kept while its range is walked";
    fake.Find(addr, 20, address);
    EXPECT_EQ(address, 0) << "a block under the missing double indirect block is a hole";
    EXPECT_EQ(fake.holeBlocks, 30 - 20) << "the rest of its range, at once";
    addr[10] = 6;
    fake.Find(addr, 11, address);
    EXPECT_EQ(fake.holeBlocks, 2) << "a run of 0 entries";

    fake.unreadable.insert(91);
    fake.map.Reset();
    EXPECT_EQ(fake.Find(addr, 30 + 16, address), BlockMap::Lookup::Failed)
        << "slot 1 of the triple indirect block names the unreadable block 91";
}
