#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ControlsRules.h"

using namespace velfw;

TEST(ControlsRules, MnemonicIsTheLetterAfterASingleAmpersand) {
    struct Case {
        char key;
        const char* caption;
        bool accel;
    } cases[] = {
        {'s', "&Save", true},
        {'S', "&save", true},
        {'a', "&Save", false},
        {'v', "Sa&ve", true},
        {'s', "Save", false},
        {'&', "Fish && Chips", false},
        {'c', "Fish && &Chips", true},
        {'c', "Fish &&Chips", false},  // "&&C" is a literal ampersand before C
        {'x', "Ends with &", false},
        {'o', "&One &Two", true},      // the first mark counts
        {'t', "&One &Two", false},
        {'s', "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAccel(c.key, c.caption), c.accel) << c.caption << " / " << c.key;
}

TEST(ControlsRules, TabIndexWrapsBothWays) {
    struct Case {
        int count, current;
        bool forward;
        int next;
    } cases[] = {
        {3, 0, true, 1}, {3, 2, true, 0}, {3, 0, false, 2}, {3, 1, false, 0},
        {3, -1, true, 0}, {3, -1, false, 2}, {3, 7, true, 0},
        {1, 0, true, 0}, {1, 0, false, 0},
        {0, -1, true, -1}, {0, 0, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextTabIndex(c.count, c.current, c.forward), c.next) << c.count << "," << c.current << "," << c.forward;
}

TEST(ControlsRules, IdPoolReusesFreedIdsAndStopsAtTheEnd) {
    TIdPool pool(10, 12);
    EXPECT_EQ(pool.Allocate(), 10u);
    EXPECT_EQ(pool.Allocate(), 11u);
    EXPECT_EQ(pool.Allocate(), 12u);
    EXPECT_EQ(pool.Allocate(), 0u) << "the range is used up";
    pool.Release(11);
    EXPECT_FALSE(pool.InUse(11));
    EXPECT_EQ(pool.Allocate(), 11u) << "a freed id comes back";
    pool.Release(10);
    pool.Release(10);  // twice is harmless
    pool.Release(99);  // never handed out
    EXPECT_EQ(pool.Count(), 2u);
    EXPECT_EQ(pool.Allocate(), 10u);
    TIdPool empty(5, 4);
    EXPECT_EQ(empty.Allocate(), 0u);
    TIdPool top(0xFFFFFFFEu, 0xFFFFFFFFu);  // no wrap past the largest number
    EXPECT_EQ(top.Allocate(), 0xFFFFFFFEu);
    EXPECT_EQ(top.Allocate(), 0xFFFFFFFFu);
    EXPECT_EQ(top.Allocate(), 0u);
}

TEST(ControlsRules, DefaultApplicationTitleFollowsTheProgramFileName) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"C:\\Program Files\\Velunor\\KAVIst.exe", "Kavist"},
        {"KAVIst.exe", "Kavist"},
        {"c:\\a.b\\KAVIST2.EXE", "Kavist2"},      // a dot in the folder does not count
        {"c:\\x\\Velunor.Test.scr", "Velunor"},    // cut at the first dot, not the last
        {"c:\\x\\kavist", "kavist"},                // the first character keeps its case
        {"c:\\x\\A\xC4" "B.exe", "A\xC4" "b"},  // ANSI letters beyond ASCII are left alone
        {"c:\\x\\.hidden", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(velfw::DefaultApplicationTitle(c.path), c.title) << c.path;
}
