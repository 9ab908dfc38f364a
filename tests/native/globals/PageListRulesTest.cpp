#include <gtest/gtest.h>

#include "PageListRules.h"

using namespace globals;

TEST(PageListRules, FolderArgumentIsTrimmedAndEndsWithABackslash) {
    struct Case {
        const char* given;
        const char* folder;
    };
    const Case cases[] = {
        {"c:\\Fav\\Velunor\\Window1\\", "c:\\Fav\\Velunor\\Window1\\"},
        {"c:\\Fav\\Velunor\\Window1", "c:\\Fav\\Velunor\\Window1\\"},
        {"c:\\Fav\\Velunor\\Window1   ", "c:\\Fav\\Velunor\\Window1\\"},
        {" \t c:\\Fav\\My Pages\\ \r\n", "c:\\Fav\\My Pages\\"},
        {"Window1", "Window1\\"},
    };
    for (const Case& c : cases) {
        auto folder = PageListFolder(c.given);
        ASSERT_TRUE(folder.has_value()) << c.given;
        EXPECT_EQ(*folder, c.folder) << c.given;
    }
}

TEST(PageListRules, EmptyFolderArgumentNamesNoFolder) {
    // Otherwise it would become "\", the root of the current drive.
    EXPECT_FALSE(PageListFolder("").has_value());
    EXPECT_FALSE(PageListFolder("  \t\r\n").has_value());
    EXPECT_TRUE(PageListFolder("\\").has_value());
}

TEST(PageListRules, EntriesOtherThanDotAndDotDotArePages) {
    EXPECT_FALSE(IsPageEntry("."));
    EXPECT_FALSE(IsPageEntry(".."));
    EXPECT_TRUE(IsPageEntry("..."));
    EXPECT_TRUE(IsPageEntry(".url"));
    EXPECT_TRUE(IsPageEntry("a.url"));
    EXPECT_TRUE(IsPageEntry("sub"));
}

TEST(PageListRules, Paths) {
    EXPECT_EQ(WindowPagesFolder("c:\\Fav\\Velunor\\", 1), "c:\\Fav\\Velunor\\Window1\\");
    EXPECT_EQ(WindowPagesFolder("c:\\Fav\\Velunor\\", 3), "c:\\Fav\\Velunor\\Window3\\");
    EXPECT_EQ(LastSeenShortcutPath("c:\\Users\\me\\Desktop"), "c:\\Users\\me\\Desktop\\Last Seen on Velunor.url");
    // Without a desktop folder the shortcut goes to the root of the current drive.
    EXPECT_EQ(LastSeenShortcutPath(""), "\\Last Seen on Velunor.url");
}
