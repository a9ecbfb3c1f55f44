#include "HostNames.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostNames, ComponentsNeverLeaveTheFolder) {
    EXPECT_EQ(SafeComponent(".."), "__");
    EXPECT_EQ(SafeComponent("."), "_");
    EXPECT_EQ(SafeComponent(""), "_");
    EXPECT_EQ(SafeComponent("../../etc/passwd"), ".._.._etc_passwd");
    EXPECT_EQ(SafeComponent(std::string("a\0b", 3)), "a_b");
    EXPECT_EQ(SafeComponent("Café: a \"name\"?"), "Café: a \"name\"?");
}

// Two files of one name in one folder, and a name that a renaming would give but that the disk
// also holds: every claim gets a name of its own.
TEST(HostNames, LaterClaimsOfANameAreNumbered) {
    FolderNames names;
    EXPECT_EQ(names.Claim("SAME.SA"), "SAME.SA");
    EXPECT_EQ(names.Claim("SAME.SA"), "SAME~2.SA");
    EXPECT_EQ(names.Claim("SAME~3.SA"), "SAME~3.SA");
    EXPECT_EQ(names.Claim("SAME.SA"), "SAME~4.SA");
    EXPECT_EQ(names.Claim("same.sa"), "same.sa");
    EXPECT_EQ(names.Claim("_"), "_");
    EXPECT_EQ(names.Claim("_"), "_~2");
    EXPECT_EQ(names.Claim(".profile"), ".profile");
    EXPECT_EQ(names.Claim(".profile"), ".profile~2");
    EXPECT_EQ(names.Claim("a.b.c"), "a.b.c");
    EXPECT_EQ(names.Claim("a.b.c"), "a.b~2.c");
    EXPECT_TRUE(names.Holds("SAME~2.SA"));
    EXPECT_FALSE(names.Holds("SAME~5.SA"));

    SaveNames save;
    EXPECT_EQ(save.Claim("out/A", "X"), "X");
    EXPECT_EQ(save.Claim("out/B", "X"), "X");
    EXPECT_EQ(save.Claim("out/A", "X"), "X~2");
}
