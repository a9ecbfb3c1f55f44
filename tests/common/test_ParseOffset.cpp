#include "ParseOffset.h"

#include <gtest/gtest.h>

TEST(ParseOffset, DecimalHexAndSuffixes) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"256256", 256256},      {"&H3E900", 256256},
        {"0x3e900", 256256},     {"  32256  ", 32256},
        {"&hff", 255},           {"250K", 256000},
        {"1M", 1048576},         {"512M", 536870912},
        {"524288K", 536870912},  {"0", 0},
        {"536870919", 536870919}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseOffset(text), value) << text;
}

// Values that would leave 32 bits are refused, not wrapped.
TEST(ParseOffset, RejectsWhatIsNotANumber) {
    for (const char* text : {"", "   ", "0x", "12Q", "31.5k", "513M", "524289K", "1K2", "-5",
                             "0h10", "99999999999", "&HFFFFFFFF"})
        EXPECT_EQ(ParseOffset(text), -1) << '"' << text << '"';
}
