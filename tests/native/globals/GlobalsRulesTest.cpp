#include <gtest/gtest.h>

#include "GlobalsRules.h"

using namespace globals;

TEST(GlobalsRules, VersionText) {
    EXPECT_EQ(FormatVersionText(1, 0, 1, 129), "(1.0.1.129)");
    EXPECT_EQ(FormatVersionText(65535, 0, 0, 65535), "(65535.0.0.65535)");
}

TEST(GlobalsRules, InstallValues) {
    EXPECT_EQ(InstallFolder("c:\\Apps\\Velunor", "d\\"), "c:\\Apps\\Velunor\\");
    EXPECT_EQ(InstallFolder("c:\\Apps\\Velunor\\", "d\\"), "c:\\Apps\\Velunor\\");
    EXPECT_EQ(InstallFolder("", "c:\\Program Files\\Velunor\\"), "c:\\Program Files\\Velunor\\");
    EXPECT_EQ(InstallMark("", "B"), 'B');
    EXPECT_EQ(InstallMark("Abc", "B"), 'A');
    EXPECT_EQ(InstallMark("W", "C"), 'W');
}

TEST(GlobalsRules, ParentFolder) {
    EXPECT_EQ(ParentFolder("c:\\a\\b\\"), "c:\\a");
    EXPECT_EQ(ParentFolder("c:\\a"), "c:");
    EXPECT_EQ(ParentFolder("\\Velunor"), "");
    EXPECT_EQ(ParentFolder("Velunor"), "");
}
