#include "ParseOffset.h"

#include <gtest/gtest.h>

// Offsets inside large disks lie beyond 32 bits: 600 MiB, 4 GiB and up to 2^50 are numbers.
TEST(ParseOffset, DecimalHexAndSuffixes) {
    const std::pair<const char*, std::int64_t> cases[] = {{"256256", 256256},
                                                          {"&H3E900", 256256},
                                                          {"0x3e900", 256256},
                                                          {"  32256  ", 32256},
                                                          {"\t7\t", 7},
                                                          {"&hff", 255},
                                                          {"250K", 256000},
                                                          {"1M", 1048576},
                                                          {"600M", 629145600},
                                                          {"629145600", 629145600},
                                                          {"&HFFFFFFFF", 4294967295},
                                                          {"0", 0},
                                                          {"1125899906842624", MaxOffset},
                                                          {"1073741824M", MaxOffset},
                                                          {"0x4000000000000", MaxOffset}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseOffset(text), value) << text;
}

// Values above 2^50 are refused, not wrapped.
TEST(ParseOffset, RejectsWhatIsNotANumber) {
    for (const char* text : {"", "   ", "0x", "12Q", "31.5k", "1K2", "-5", "+0", "-&h1", "7 blocks",
                             "abc1", "0h10", "1125899906842625", "1073741825M", "1099511627777K",
                             "99999999999999999999", "0x8000000000000000"})
        EXPECT_EQ(ParseOffset(text), -1) << '"' << text << '"';
}
