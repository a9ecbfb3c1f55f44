#include "DisplaySink.h"
#include "EventHook.h"
#include "modUtility.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

TEST(FieldReaders, BigEndianValuesAndOutOfRangeIsAnException) {
    const std::array<std::uint8_t, 8> b = {0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFE};
    EXPECT_EQ(GetLong(b, 0), -2147483647 - 1);
    EXPECT_EQ(GetLong(b, 4), -2);
    EXPECT_EQ(GetWord(b, 4), 65535);
    EXPECT_EQ(Get3Bytes(b, 5), 0xFFFFFE);
    EXPECT_EQ(MakeLong(255, 255, 255, 255), -1);
    EXPECT_EQ(LowByte(0x1234), 0x34);

    EXPECT_THROW(GetByte(b, 8), std::out_of_range);
    EXPECT_THROW(GetByte(b, -1), std::out_of_range);
    EXPECT_THROW(GetWord(b, 7), std::out_of_range);
    EXPECT_THROW(Get3Bytes(b, 6), std::out_of_range);
    EXPECT_THROW(GetLong(b, 5), std::out_of_range);
    EXPECT_NO_THROW(GetLong(b, 4));
    EXPECT_THROW(MakeLong(256, 0, 0, 0), std::out_of_range);
    EXPECT_THROW(MakeLong(0, 0, 0, -1), std::out_of_range);
}

// The ordinary widths are in every report's golden text; these are the edges.
TEST(NumberFormatting, HexWidthsAreMinimaAndPadDecKeepsAtLeastOneSpace) {
    EXPECT_EQ(Hex2(300), "12C");
    EXPECT_EQ(Hex4(0x12345), "12345");
    EXPECT_EQ(Hex8(-1), "FFFFFFFF");
    EXPECT_EQ(Hex8(-2147483647 - 1), "80000000");
    for (std::int64_t n : {0LL, 0xABCLL, 0x12345LL, -1LL, 0x123456789LL}) {
        std::string text = "x";
        AppendHex(text, n, 4);
        EXPECT_EQ(text, "x" + Hex4(n));
    }
    EXPECT_EQ(PadDec(123, 3), " 123");
    EXPECT_EQ(PadDec(999999999, 4), " 999999999");
    EXPECT_EQ(PadDec(1000000000, 12), "1000000000");
    EXPECT_EQ(PadDec(-5, 4), "  -5");
    EXPECT_EQ(PadDec(-123, 3), " -123");
}

TEST(CharacterNames, KestrelNamesControlsAndTamarinBreaksLines) {
    const auto t = CharNameStyle::Tamarin;
    const std::pair<std::string, std::string> cases[] = {
        {CharName(0, false), "<nul>"},    {CharName(13, true), "<cr>"},
        {CharName(31, false), "<us>"},    {CharName(126, false), "~"},
        {CharName(127, false), "<7F>"},   {CharName(255, false), "<FF>"},
        {CharName(128, true), ""},        {CharName(160, true), std::string(32, ' ')},
        {CharName(9, false, t), "\t"},    {CharName(10, false, t), "\r\n"},
        {CharName(13, false, t), "\r"},   {CharName(12, false, t), "<ff>"},
        {CharName(200, false, t), "<C8>"}};
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(got, expected);
    EXPECT_EQ(PrintableChar(31), '.');
    EXPECT_EQ(PrintableChar(32), ' ');
    EXPECT_EQ(PrintableChar(127), '.');
}

TEST(Dates, VersaDOSDaysAndUnixSecondsAtTheirEdges) {
    EXPECT_EQ(VersaDOSDate(1), "01/01/80");
    EXPECT_EQ(VersaDOSDate(0), "12/31/79");
    EXPECT_EQ(VersaDOSDate(60), "02/29/80");
    EXPECT_EQ(VersaDOSDate(7306), "01/01/00");
    EXPECT_EQ(VersaDOSDate(65535), "06/05/59");
    EXPECT_EQ(VersaDOSDate(-1000000000), "\?\?/\?\?/\?\?");
    EXPECT_EQ(UnixToDateTime(86399), "01/01/70 23:59:59");
    EXPECT_EQ(UnixToDateTime(951782400), "02/29/00 00:00:00");
    EXPECT_EQ(UnixToDateTime(2147483647), "01/19/38 03:14:07");
    EXPECT_EQ(UnixToDateTime(-1), "12/31/69 23:59:59");
    EXPECT_EQ(UnixToDateTime(1000000000000000LL), "\?\?/\?\?/\?\?");
}

// Whole dump lines are in the golden block and file dumps; a short tail and a count beyond the
// buffer are not.
TEST(Dump, PartialLastLineHasNoCharacterColumnAndCountIsChecked) {
    const std::vector<std::uint8_t> data = {0x30, 0x31, 0x32};
    StringSink sink;
    DumpBuffer(sink, data, 3);
    EXPECT_EQ(sink.Text(), "0000  30 31 32 ");
    EXPECT_THROW(DumpBuffer(sink, data, 4), std::out_of_range);
}

TEST(Delay, WaitsWhileProcessingEvents) {
    struct CountingHook : EventHook {
        int calls = 0;
        void ProcessEvents() override { ++calls; }
    } hook;
    const double waited = Delay(0.05, hook);
    EXPECT_GE(waited, 0.05);
    EXPECT_LT(waited, 1.0);
    EXPECT_GT(hook.calls, 0);
}
