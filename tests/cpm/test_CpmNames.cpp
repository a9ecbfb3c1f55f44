// Host names to CP/M names and back, and the matching of names against patterns.
#include "CpmNames.h"
#include "cli/QuarryCommands.h"

#include <gtest/gtest.h>

namespace {

TEST(CpmNames, PathAndNameParts) {
    EXPECT_EQ(StripPath("C:\\DOS\\PIP.COM"), "PIP.COM");
    EXPECT_EQ(StripPath("/home/user/my_file.text"), "my_file.text");
    EXPECT_EQ(StripPath("7:PIP.COM"), "PIP.COM");
    EXPECT_EQ(GetBaseName("/a.b/readme"), "readme");
    EXPECT_EQ(GetExtension("/a.b/readme"), "");
    EXPECT_EQ(GetBaseName("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(GetExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(GetBaseName(".profile"), ".profile");
    EXPECT_EQ(GetExtension(".profile"), "");
    EXPECT_EQ(GetBaseName("7:PIP.COM"), "PIP");
    EXPECT_EQ(GetUserPrefix("5:X"), "05");
    EXPECT_EQ(GetUserPrefix("21:X"), "21");
    EXPECT_EQ(GetUserPrefix("A:X"), "");
    EXPECT_EQ(GetUserPrefix("123:X"), "");
    EXPECT_EQ(GetUserPrefix("PIP.COM"), "");
    EXPECT_EQ(RemoveChars("my_file [1]!.c", CpmRemovedChars), "myfile1c");
}

TEST(CpmNames, MakeCpmNameExamples) {
    struct Case {
        const char* host;
        int user;
        const char* name;
        bool valid;
    };
    const Case cases[] = {
        {"my_file.text", 0, "00:MYFILE  .TEX", false},
        {"readme", 0, "00:README  .   ", true},
        {".profile", 0, "00:PROFILE .   ", true},
        {"7:PIP.COM", 3, "07:PIP     .COM", true},
        {"21:PIP.COM", 3, "00:PIP     .COM", true},
        {"pip.com", 12, "12:PIP     .COM", true},
        {"averylongname.c", 0, "00:AVERYLON.C  ", false},
        // Characters no CP/M name holds make the name invalid and leave the suggestion.
        {"caf\xc3\xa9.txt", 0, "00:CAF     .TXT", false},
        {"a\tb.txt", 0, "00:AB      .TXT", false},
        // The name as it is shown is valid as it stands.
        {"03:STAT    .COM", 0, "03:STAT    .COM", true}};
    for (const Case& c : cases) {
        const CpmNameResult r = MakeCpmName(c.host, c.user);
        EXPECT_EQ(r.name, c.name) << c.host;
        EXPECT_EQ(r.valid, c.valid) << c.host;
    }
}

TEST(CpmNames, Matching) {
    struct Case {
        const char* pattern;
        const char* name;
        bool literal, matches;
    };
    const Case cases[] = {
        {"??:????????.???", "15:PIP     .COM", false, true},
        {"05:????????.???", "05:PIP     .COM", false, true},
        {"05:????????.???", "21:PIP     .COM", false, true}, // password entry of user 5
        {"05:????????.???", "04:PIP     .COM", false, false},
        {"05:????????.???", "229:PIP     .COM", false, false},
        {"00:P?P     .COM", "00:PAP     .COM", false, true},
        {"00:P?P     .COM", "00:PAQ     .COM", false, false},
        // A "?" on disk matches anything when listing, but a selected file is matched literally.
        {"00:AB      .COM", "00:A?      .COM", false, true},
        {"00:AB      .COM", "00:A?      .COM", true, false},
        {"00:A?      .COM", "00:AB      .COM", true, false},
        {"00:A?      .COM", "16:A?      .COM", true, true},
        {"00:A       .COM", "00:A", true, false}};
    for (const Case& c : cases)
        EXPECT_EQ(MatchName(c.pattern, c.name, c.literal), c.matches)
            << c.pattern << " / " << c.name << (c.literal ? " literal" : "");
}

TEST(CpmNames, HostNames) {
    HostNameResult h = HostNameFor("00:PIP     .COM");
    EXPECT_EQ(h.shown, "PIP.COM");
    EXPECT_EQ(h.host, "PIP.COM");
    h = HostNameFor("00:A*B C   .T?T");
    EXPECT_EQ(h.shown, "A*B C.T?T");
    EXPECT_EQ(h.host, "ABC.TT");
    EXPECT_EQ(HostNameFor("00:..\\/ab\x01 .   ").host, "..ab.");
}

TEST(CpmNames, CommandLineFileNames) {
    const std::pair<const char*, const char*> cases[] = {{"pip.com", "00:pip     .com"},
                                                         {"3:STAT.COM", "03:STAT    .COM"},
                                                         {"15:A", "15:A       .   "},
                                                         {"07:PIP     .COM", "07:PIP     .COM"},
                                                         {"16:PIP.COM", ""},
                                                         {"x:PIP.COM", ""},
                                                         {"TOOLONGNAME.COM", ""},
                                                         {"PIP.COMX", ""},
                                                         {".COM", ""}};
    for (const auto& [argument, name] : cases)
        EXPECT_EQ(ParseCpmFileArgument(argument).value_or(""), name) << argument;
}

} // namespace
