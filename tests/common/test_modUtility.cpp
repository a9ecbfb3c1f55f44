#include "DisplaySink.h"
#include "EventHook.h"
#include "modUtility.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

TEST(FieldReaders, BigEndianValuesAndRanges) {
    const std::array<std::uint8_t, 8> b = {0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFE};
    EXPECT_EQ(GetLong(b, 0), -2147483647 - 1);
    EXPECT_EQ(GetLong(b, 4), -2);
    EXPECT_EQ(GetWord(b, 4), 65535);
    EXPECT_EQ(GetWord(b, 3), 0x00FF);
    EXPECT_EQ(Get3Bytes(b, 5), 0xFFFFFE);
    EXPECT_EQ(GetByte(b, 7), 0xFE);
    EXPECT_EQ(MakeLong(0x12, 0x34, 0x56, 0x78), 0x12345678);
    EXPECT_EQ(MakeLong(255, 255, 255, 255), -1);
    EXPECT_EQ(LowByte(0x1234), 0x34);
}

TEST(FieldReaders, OutOfRangeIsAnExceptionNotUndefinedBehaviour) {
    const std::array<std::uint8_t, 4> b = {1, 2, 3, 4};
    EXPECT_THROW(GetByte(b, 4), std::out_of_range);
    EXPECT_THROW(GetByte(b, -1), std::out_of_range);
    EXPECT_THROW(GetWord(b, 3), std::out_of_range);
    EXPECT_THROW(Get3Bytes(b, 2), std::out_of_range);
    EXPECT_THROW(GetLong(b, 1), std::out_of_range);
    EXPECT_NO_THROW(GetLong(b, 0));
    EXPECT_THROW(MakeLong(256, 0, 0, 0), std::out_of_range);
    EXPECT_THROW(MakeLong(0, 0, 0, -1), std::out_of_range);
}

TEST(NumberFormatting, HexWidthsAreMinimaNeverCuts) {
    EXPECT_EQ(Hex2(0), "00");
    EXPECT_EQ(Hex2(15), "0F");
    EXPECT_EQ(Hex2(255), "FF");
    EXPECT_EQ(Hex2(300), "12C");
    EXPECT_EQ(Hex4(4095), "0FFF");
    EXPECT_EQ(Hex4(0x12345), "12345");
    EXPECT_EQ(Hex8(0), "00000000");
    EXPECT_EQ(Hex8(-1), "FFFFFFFF");
    EXPECT_EQ(Hex8(-2147483647 - 1), "80000000");
    EXPECT_EQ(Hex8(0xABCDEF), "00ABCDEF");
}

TEST(NumberFormatting, PadDecKeepsAtLeastOneSpace) {
    EXPECT_EQ(PadDec(5, 3), "  5");
    EXPECT_EQ(PadDec(123, 3), " 123");
    EXPECT_EQ(PadDec(12345, 3), " 12345");
    EXPECT_EQ(PadDec(0, 1), " 0");
    EXPECT_EQ(PadDec(999999999, 4), " 999999999");
    EXPECT_EQ(PadDec(1000000000, 12), "1000000000");
    // Negative numbers keep their sign and align like the others.
    EXPECT_EQ(PadDec(-5, 4), "  -5");
    EXPECT_EQ(PadDec(-123, 3), " -123");
}

TEST(CharacterNames, KestrelNamesControlsAndExpandsCompression) {
    EXPECT_EQ(CharName(0, false), "<nul>");
    EXPECT_EQ(CharName(9, false), "<tab>");
    EXPECT_EQ(CharName(10, false), "<lf>");
    EXPECT_EQ(CharName(13, true), "<cr>");
    EXPECT_EQ(CharName(26, false), "<sub>");
    EXPECT_EQ(CharName(31, false), "<us>");
    EXPECT_EQ(CharName('A', true), "A");
    EXPECT_EQ(CharName(126, false), "~");
    EXPECT_EQ(CharName(127, false), "<7F>");
    EXPECT_EQ(CharName(255, false), "<FF>");
    EXPECT_EQ(CharName(160, true), std::string(32, ' '));
    EXPECT_EQ(CharName(128, true), "");
    EXPECT_EQ(CharName(127, true), std::string(127, ' '));
}

TEST(CharacterNames, TamarinBreaksLinesOnLineFeed) {
    const auto t = CharNameStyle::Tamarin;
    EXPECT_EQ(CharName(9, false, t), "\t");
    EXPECT_EQ(CharName(10, false, t), "\r\n");
    EXPECT_EQ(CharName(13, false, t), "\r");
    EXPECT_EQ(CharName(12, false, t), "<ff>");
    EXPECT_EQ(CharName(200, false, t), "<C8>");
    EXPECT_EQ(PrintableChar(31), '.');
    EXPECT_EQ(PrintableChar(32), ' ');
    EXPECT_EQ(PrintableChar(127), '.');
}

TEST(Dates, VersaDOSDaysAndUnixSecondsAtTheirEdges) {
    EXPECT_EQ(VersaDOSDate(1), "01/01/80");
    EXPECT_EQ(VersaDOSDate(0), "12/31/79");
    EXPECT_EQ(VersaDOSDate(60), "02/29/80");
    EXPECT_EQ(VersaDOSDate(366), "12/31/80");
    EXPECT_EQ(VersaDOSDate(7306), "01/01/00");
    EXPECT_EQ(VersaDOSDate(65535), "06/05/59");
    EXPECT_EQ(VersaDOSDate(-1000000000), "\?\?/\?\?/\?\?");
    EXPECT_EQ(UnixToDateTime(0), "01/01/70 00:00:00");
    EXPECT_EQ(UnixToDateTime(86399), "01/01/70 23:59:59");
    EXPECT_EQ(UnixToDateTime(951782400), "02/29/00 00:00:00");
    EXPECT_EQ(UnixToDateTime(2147483647), "01/19/38 03:14:07");
    EXPECT_EQ(UnixToDateTime(-1), "12/31/69 23:59:59");
    EXPECT_EQ(UnixToDateTime(1000000000000000LL), "\?\?/\?\?/\?\?");
}

TEST(Dump, LinesOfSixteenWithCharacterColumn) {
    std::vector<std::uint8_t> data(32, 0);
    data[16] = 'A';
    data[17] = 'B';
    data[18] = 'C';
    data[19] = 0x0D;
    data[20] = 0x0A;
    StringSink sink;
    DumpBuffer(sink, data, 32);
    const std::string second = "0010  41 42 43 0D 0A 00 00 00 00 00 00 00 00 00 00 00 ABC.............\r\n";
    EXPECT_EQ(sink.Text().substr(sink.Text().size() - second.size()), second);
    EXPECT_EQ(second.size(), 70u + 2u);
    EXPECT_EQ(sink.Text().size(), 2 * second.size());
}

TEST(Dump, TamarinBlockHeaderCarriesTheFileOffset) {
    std::vector<std::uint8_t> block(1024, 0x41);
    StringSink sink;
    DumpBuffer(sink, block, 1024, 2, 1024);
    const std::string text = sink.Text();
    EXPECT_EQ(text.substr(0, 20), "00000800/0002:0000  ");
    EXPECT_EQ(text.find("\r\n"), 84u);
    EXPECT_NE(text.find("00000BF0/0002:03F0  41"), std::string::npos);
}

TEST(Dump, PartialLastLineHasNoCharacterColumn) {
    const std::vector<std::uint8_t> data = {0x30, 0x31, 0x32};
    StringSink sink;
    DumpBuffer(sink, data, 3);
    EXPECT_EQ(sink.Text(), "0000  30 31 32 ");
    EXPECT_THROW(DumpBuffer(sink, data, 4), std::out_of_range);
}

TEST(Dump, OtherLayoutsShareTheLineAndDifferInPrefix) {
    std::vector<std::uint8_t> sector(32, 0xE5);
    const std::string text =
        DumpLines(sector, [](std::size_t i) { return Hex8(7) + ":" + Hex2(i) + "  "; });
    EXPECT_EQ(text.substr(0, 13), "00000007:00  ");
    EXPECT_NE(text.find("00000007:10  E5 E5"), std::string::npos);
    EXPECT_EQ(DumpLine("X", std::vector<std::uint8_t>(16, 'z')),
              "X" + std::string("7A ") + "7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A " +
                  std::string(16, 'z') + "\r\n");
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

TEST(Dump, AppendingFormsMatchTheStringForms) {
    for (std::int64_t n : {0LL, 9LL, 0xABCLL, 0x12345LL, -1LL, 0x123456789LL}) {
        std::string text = "x";
        AppendHex(text, n, 4);
        EXPECT_EQ(text, "x" + Hex4(n));
        text.clear();
        AppendHex(text, n, 8);
        EXPECT_EQ(text, Hex8(n));
    }
    std::vector<std::uint8_t> data(70);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 37);
    std::string appended = "head ";
    AppendDumpLines(appended, data, [](std::string& out, std::size_t i) {
        AppendHex(out, static_cast<std::int64_t>(i), 4);
        out += "  ";
    });
    EXPECT_EQ(appended, "head " + DumpLines(data, [](std::size_t i) { return Hex4(i) + "  "; }));
    EXPECT_EQ(appended.substr(appended.size() - 24), "0040  40 65 8A AF D4 F9 ");
}
