#include "SystemVBlockMap.h"
#include "TamarinFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Indirect blocks of a made-up map: block a holds entries a * 10 + slot, so every address
// spells the slots that led to it.
struct FakeIndirect {
    std::map<std::int32_t, int> reads;
    std::set<std::int32_t> unreadable;
    bool operator()(std::int32_t address, std::vector<std::int32_t>& entries) {
        ++reads[address];
        if (unreadable.count(address)) return false;
        entries.resize(4);
        for (int i = 0; i < 4; ++i)
            entries[static_cast<std::size_t>(i)] = address * 10 + i;
        return true;
    }
};

} // namespace

TEST(BlockMap, DirectSingleDoubleAndTripleIndirect) {
    // Four entries per indirect block keep the numbers small: 10 direct blocks, 4 single,
    // 16 double and 64 triple.
    BlockMap map(4);
    EXPECT_EQ(map.Capacity(), 10 + 4 + 16 + 64);
    const std::array<std::int32_t, 13> addr{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 7, 8, 9};
    FakeIndirect fake;
    auto read = [&](std::int32_t a, std::vector<std::int32_t>& e) { return fake(a, e); };
    // Direct 0 and 9; single 10 and 13 (block 7); double 14, 19, 29 (8 -> 80.. -> 800..);
    // triple 30 and 93 (9 -> 90 -> 900 -> 9000).
    const std::pair<std::int64_t, std::int32_t> expected[] = {{0, 1},    {9, 10},    {10, 70},
                                                              {13, 73},  {14, 800},  {19, 811},
                                                              {29, 833}, {30, 9000}, {93, 9333}};
    std::int32_t address = -1;
    for (const auto& [index, want] : expected) {
        EXPECT_EQ(map.Find(addr, index, address, read), BlockMap::Lookup::Found) << index;
        EXPECT_EQ(address, want) << index;
        if (index == 9) {
            EXPECT_TRUE(fake.reads.empty()) << "direct blocks need no indirect block";
        }
    }
    EXPECT_EQ(map.Find(addr, 94, address, read), BlockMap::Lookup::Beyond);
    EXPECT_EQ(map.Find(addr, -1, address, read), BlockMap::Lookup::Beyond);
}

TEST(BlockMap, IndirectBlocksAreReadOncePerWalkAndHolesCoverWholeSubtrees) {
    BlockMap map(4);
    std::array<std::int32_t, 13> addr{};
    addr[10] = 7;
    addr[11] = 0; // the whole double indirect range is a hole
    addr[12] = 9;
    FakeIndirect fake;
    auto read = [&](std::int32_t a, std::vector<std::int32_t>& e) { return fake(a, e); };
    std::int32_t address = -1;
    for (std::int64_t i = 0; i < 94; ++i)
        ASSERT_EQ(map.Find(addr, i, address, read), BlockMap::Lookup::Found);
    EXPECT_EQ(fake.reads[7], 1);
    EXPECT_EQ(fake.reads.count(8), 0u);
    EXPECT_EQ(fake.reads[9], 1) << "the triple indirect block is kept while its range is walked";
    EXPECT_EQ(fake.reads[90], 1);
    EXPECT_EQ(fake.reads[900], 1);
    map.Find(addr, 20, address, read);
    EXPECT_EQ(address, 0) << "a block under the missing double indirect block is a hole";

    fake.unreadable.insert(91);
    map.Reset();
    EXPECT_EQ(map.Find(addr, 30 + 16, address, read), BlockMap::Lookup::Failed)
        << "slot 1 of the triple indirect block names the unreadable block 91";
}

TEST(BlockMap, ThroughTheVolume) {
    const SampleInodes& n = TheSample().n;
    TamarinFixture t;
    ASSERT_TRUE(t.Open());
    modTamarin68& v = t.volume;
    // /bin/ls has 11 blocks: ten direct ones and entry 0 of the single indirect block.
    int blocks = 0;
    for (bool restart = true; v.ReadNextFileBlock(n.ls, restart); restart = false)
        ++blocks;
    EXPECT_EQ(blocks, 11);
    EXPECT_EQ(v.BlockIndex(), 11);
    EXPECT_EQ(v.BytesRead(), 11 * 1024);
    EXPECT_EQ(v.FileSize(), 11000);
    EXPECT_EQ(v.IndirectEntries().size(), 256u);
    EXPECT_NE(v.IndirectEntries()[0], 0);
    EXPECT_EQ(v.IndirectEntries()[1], 0);
    EXPECT_FALSE(v.WalkFailed());

    // Refusals: out of range, free, and the end of the file.
    for (std::int32_t none : {0, -3, 129, n.freed})
        EXPECT_FALSE(v.ReadNextFileBlock(none, true));
    EXPECT_FALSE(v.ReadNextFileBlock(n.empty, true)) << "a file of size 0 has no block";

    // The sparse file reaches its triple indirect block.
    std::int64_t delivered = 0;
    std::string last;
    for (bool restart = true; v.ReadNextFileBlock(n.sparse, restart); restart = false) {
        ++delivered;
        last.assign(v.DataBlock().begin(), v.DataBlock().begin() + 24);
    }
    EXPECT_EQ(delivered, 10 + 256 + 65536 + 1);
    EXPECT_EQ(last, "triple indirect: the end");
    EXPECT_TRUE(t.prompts.messages.empty());
}
