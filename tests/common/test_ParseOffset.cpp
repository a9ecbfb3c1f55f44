#include "ParseOffset.h"

#include <gtest/gtest.h>

TEST(ParseOffset, DecimalHexAndSuffixes) {
    EXPECT_EQ(ParseOffset("256256"), 256256);
    EXPECT_EQ(ParseOffset("&H3E900"), 256256);
    EXPECT_EQ(ParseOffset("0x3e900"), 256256);
    EXPECT_EQ(ParseOffset("&H7E00"), 32256);
    EXPECT_EQ(ParseOffset("0x7e00"), 32256);
    EXPECT_EQ(ParseOffset("  32256  "), 32256);
    EXPECT_EQ(ParseOffset("250K"), 256000);
    EXPECT_EQ(ParseOffset("63k"), 64512);
    EXPECT_EQ(ParseOffset("1M"), 1048576);
    EXPECT_EQ(ParseOffset("512M"), 536870912);
    EXPECT_EQ(ParseOffset("0"), 0);
    EXPECT_EQ(ParseOffset("&hff"), 255);
}

TEST(ParseOffset, RejectsWhatIsNotANumber) {
    EXPECT_EQ(ParseOffset(""), -1);
    EXPECT_EQ(ParseOffset("   "), -1);
    EXPECT_EQ(ParseOffset("0x"), -1);
    EXPECT_EQ(ParseOffset("12Q"), -1);
    EXPECT_EQ(ParseOffset("31.5k"), -1);
    EXPECT_EQ(ParseOffset("513M"), -1);
    EXPECT_EQ(ParseOffset("524289K"), -1);
    EXPECT_EQ(ParseOffset("524288K"), 536870912);
    EXPECT_EQ(ParseOffset("1K2"), -1);
    EXPECT_EQ(ParseOffset("-5"), -1);
    EXPECT_EQ(ParseOffset("0h10"), -1);
    // Values that would leave 32 bits are refused, not wrapped.
    EXPECT_EQ(ParseOffset("99999999999"), -1);
    EXPECT_EQ(ParseOffset("&HFFFFFFFF"), -1);
    EXPECT_EQ(ParseOffset("536870919"), 536870919);
}
