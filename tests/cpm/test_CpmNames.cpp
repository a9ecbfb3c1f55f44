// Host names to CP/M names and back, and the matching of names against patterns.
#include "CpmNames.h"
#include "cli/QuarryCommands.h"

#include <gtest/gtest.h>

namespace {

TEST(CpmNames, PathAndNameParts) {
    EXPECT_EQ(StripPath("C:\\DOS\\PIP.COM"), "PIP.COM");
    EXPECT_EQ(StripPath("/home/user/my_file.text"), "my_file.text");
    EXPECT_EQ(StripPath("7:PIP.COM"), "PIP.COM");
    EXPECT_EQ(StripPath("PIP.COM"), "PIP.COM");
    EXPECT_EQ(GetBaseName("/a.b/readme"), "readme");
    EXPECT_EQ(GetExtension("/a.b/readme"), "");
    EXPECT_EQ(GetBaseName("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(GetExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(GetBaseName(".profile"), ".profile");
    EXPECT_EQ(GetExtension(".profile"), "");
    EXPECT_EQ(GetBaseName("7:PIP.COM"), "PIP");
    EXPECT_EQ(GetUserPrefix("5:X"), "05");
    EXPECT_EQ(GetUserPrefix("12:X"), "12");
    EXPECT_EQ(GetUserPrefix("21:X"), "21");
    EXPECT_EQ(GetUserPrefix("A:X"), "");
    EXPECT_EQ(GetUserPrefix("123:X"), "");
    EXPECT_EQ(GetUserPrefix("PIP.COM"), "");
    EXPECT_TRUE(IsDigit('0'));
    EXPECT_TRUE(IsDigit('9'));
    EXPECT_FALSE(IsDigit('a'));
    EXPECT_EQ(RemoveChars("my_file [1]!.c", CpmRemovedChars), "myfile1c");
}

TEST(CpmNames, MakeCpmNameExamples) {
    CpmNameResult r = MakeCpmName("my_file.text", 0);
    EXPECT_EQ(r.name, "00:MYFILE  .TEX");
    EXPECT_FALSE(r.valid);
    r = MakeCpmName("readme", 0);
    EXPECT_EQ(r.name, "00:README  .   ");
    EXPECT_TRUE(r.valid);
    r = MakeCpmName(".profile", 0);
    EXPECT_EQ(r.name, "00:PROFILE .   ");
    EXPECT_TRUE(r.valid);
    r = MakeCpmName("7:PIP.COM", 3);
    EXPECT_EQ(r.name, "07:PIP     .COM");
    EXPECT_TRUE(r.valid);
    r = MakeCpmName("21:PIP.COM", 3);
    EXPECT_EQ(r.name, "00:PIP     .COM");
    r = MakeCpmName("pip.com", 12);
    EXPECT_EQ(r.name, "12:PIP     .COM");
    r = MakeCpmName("averylongname.c", 0);
    EXPECT_EQ(r.name, "00:AVERYLON.C  ");
    EXPECT_FALSE(r.valid);
    // Characters no CP/M name holds make the name invalid and leave the suggestion.
    r = MakeCpmName("caf\xc3\xa9.txt", 0);
    EXPECT_EQ(r.name, "00:CAF     .TXT");
    EXPECT_FALSE(r.valid);
    r = MakeCpmName("a\tb.txt", 0);
    EXPECT_FALSE(r.valid);
    // The name as it is shown is valid as it stands.
    r = MakeCpmName("03:STAT    .COM", 0);
    EXPECT_EQ(r.name, "03:STAT    .COM");
    EXPECT_TRUE(r.valid);
}

TEST(CpmNames, Matching) {
    const std::string all = "??:????????.???";
    EXPECT_TRUE(MatchName(all, "00:PIP     .COM"));
    EXPECT_TRUE(MatchName(all, "15:PIP     .COM"));
    const std::string user5 = "05:????????.???";
    EXPECT_TRUE(MatchName(user5, "05:PIP     .COM"));
    EXPECT_TRUE(MatchName(user5, "21:PIP     .COM")); // password entry of user 5
    EXPECT_FALSE(MatchName(user5, "04:PIP     .COM"));
    EXPECT_FALSE(MatchName(user5, "06:PIP     .COM"));
    EXPECT_FALSE(MatchName(user5, "229:PIP     .COM"));
    EXPECT_TRUE(MatchName("00:P?P     .COM", "00:PAP     .COM"));
    EXPECT_FALSE(MatchName("00:P?P     .COM", "00:PAQ     .COM"));
    // A "?" on disk matches anything when listing...
    EXPECT_TRUE(MatchName("00:AB      .COM", "00:A?      .COM"));
    // ...but a selected file is matched literally, in both directions.
    EXPECT_FALSE(MatchName("00:AB      .COM", "00:A?      .COM", true));
    EXPECT_FALSE(MatchName("00:A?      .COM", "00:AB      .COM", true));
    EXPECT_TRUE(MatchName("00:A?      .COM", "00:A?      .COM", true));
    EXPECT_TRUE(MatchName("00:A?      .COM", "16:A?      .COM", true));
    EXPECT_FALSE(MatchName("00:A       .COM", "00:A", true));
}

TEST(CpmNames, HostNames) {
    HostNameResult h = HostNameFor("00:PIP     .COM");
    EXPECT_EQ(h.shown, "PIP.COM");
    EXPECT_EQ(h.host, "PIP.COM");
    h = HostNameFor("00:A*B C   .T?T");
    EXPECT_EQ(h.shown, "A*B C.T?T");
    EXPECT_EQ(h.host, "ABC.TT");
    h = HostNameFor("00:..\\/ab\x01 .   ");
    EXPECT_EQ(h.host, "..ab.");
}

TEST(CpmNames, CommandLineFileNames) {
    EXPECT_EQ(ParseCpmFileArgument("pip.com"), "00:pip     .com");
    EXPECT_EQ(ParseCpmFileArgument("3:STAT.COM"), "03:STAT    .COM");
    EXPECT_EQ(ParseCpmFileArgument("15:A"), "15:A       .   ");
    EXPECT_EQ(ParseCpmFileArgument("07:PIP     .COM"), "07:PIP     .COM");
    EXPECT_FALSE(ParseCpmFileArgument("16:PIP.COM"));
    EXPECT_FALSE(ParseCpmFileArgument("x:PIP.COM"));
    EXPECT_FALSE(ParseCpmFileArgument("TOOLONGNAME.COM"));
    EXPECT_FALSE(ParseCpmFileArgument("PIP.COMX"));
    EXPECT_FALSE(ParseCpmFileArgument(".COM"));
}

} // namespace
