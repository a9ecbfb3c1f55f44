// Host names to CP/M names and back, and the matching of names against patterns.
#include "CpmNames.h"
#include "cli/QuarryCommands.h"

#include <gtest/gtest.h>

namespace {

TEST(CpmNames, PathAndNameParts) {
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
        {"21:PIP.COM", 3, "00:PIP     .COM", false},
        {"*.?", 0, "00:        .   ", false},
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

TEST(CpmNames, TypedNamesAreTakenAsTheyStandOrRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"pip.com", "05:PIP     .COM"},
        {"15:A", "15:A       .   "},
        {"03:STAT    .COM", "03:STAT    .COM"},
        {"X\\Y~.{}", "05:X\\Y~    .{} "},
        {"*.*", "\"*\" cannot be in a CP/M name"},
        {"?", "\"?\" cannot be in a CP/M name"},
        {" ", "blanks cannot be in a CP/M name"},
        {"A B.C", "blanks cannot be in a CP/M name"},
        {"0:_.!", "\"_\" cannot be in a CP/M name"},
        {"A.B!", "\"!\" cannot be in a CP/M name"},
        {"A/B", "\"/\" cannot be in a CP/M name"},
        {"A.B.C", "\".\" cannot be in a CP/M name"},
        {"", "the name is empty"},
        {"3:.COM", "the name is empty"},
        {"16:X.Y", "user number 16 is above 15"},
        {"123:X.Y", "user number 123 is above 15"},
        {"A:X.Y", "\"A\" is no user number (0 to 15)"},
        {"caf\xc3\xa9", "only printable ASCII characters can be in a CP/M name"},
        {"NINECHARS", "the name is longer than 8 characters"},
        {"A.TEXT", "the type is longer than 3 characters"}};
    for (const auto& [typed, expected] : cases) {
        const CpmNameResult r = CheckCpmName(typed, 5);
        EXPECT_EQ(r.valid ? r.name : r.reason, expected) << typed;
    }
    // A host file's name carries no user: ":" is dropped like the other delimiters.
    EXPECT_EQ(HostCpmName("./15:EVIL.COM", 2).name, "02:15EVIL  .COM");
}

TEST(CpmNames, Patterns) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {{"*.COM", "00:PIP     .COM", true},  {"*.com", "00:pip     .COM", true},
                          {"*.COM", "03:PIP     .COM", false}, {"3:*.*", "03:READ    .   ", true},
                          {"*:*.*", "15:A       .B  ", true},  {"P?P.*", "00:PAP     .C  ", true},
                          {"PIP", "00:PIP     .COM", false},   {"PIP*", "00:PIPX    .   ", true},
                          {"AB*.C*", "00:ABCDEFGH.CXY", true}, {"*.C", "00:A       .CO ", false}};
    for (const Case& c : cases)
        EXPECT_EQ(PatternMatches(ParseCpmPattern(c.pattern).value(), c.name), c.matches)
            << c.pattern << " / " << c.name;
    for (const char* bad : {"16:*.*", "x:*.*", "NINECHARS", "A.TEXT", "A.B.C"})
        EXPECT_FALSE(ParseCpmPattern(bad)) << bad;
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

} // namespace
