#include <gtest/gtest.h>

#include "WizardRules.h"

using namespace settings;

namespace {
using P = WizardPage;
constexpr std::optional<WizardPage> kNone = std::nullopt;

const char* NameOf(WizardPage page) {
    static const char* const names[] = {"Begin", "List1", "List2", "List3", "Advanced", "Durations", "Finish"};
    return names[static_cast<int>(page)];
}
}  // namespace

TEST(WizardRules, NextAndBackOnEveryPageForOneTwoAndThreeWindows) {
    struct Case {
        WizardPage on;
        int windows;
        std::optional<WizardPage> next;
        std::optional<WizardPage> back;
    };
    const Case cases[] = {
        {P::Begin, 1, P::List1, kNone},      {P::Begin, 2, P::List1, kNone},      {P::Begin, 3, P::List1, kNone},
        {P::List1, 1, P::Finish, P::Begin},  {P::List1, 2, P::List2, P::Begin},   {P::List1, 3, P::List2, P::Begin},
        {P::List2, 1, P::Finish, P::List1},  {P::List2, 2, P::Finish, P::List1},  {P::List2, 3, P::List3, P::List1},
        {P::List3, 1, P::Finish, P::List2},  {P::List3, 2, P::Finish, P::List2},  {P::List3, 3, P::Finish, P::List2},
        {P::Advanced, 1, kNone, kNone},      {P::Advanced, 3, kNone, kNone},      {P::Durations, 2, kNone, kNone},
        {P::Finish, 1, kNone, kNone},        {P::Finish, 3, kNone, kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextPage(c.on, c.windows), c.next) << NameOf(c.on) << " with " << c.windows;
        EXPECT_EQ(BackPage(c.on), c.back) << NameOf(c.on);
    }
}

TEST(WizardRules, ListTabsShowForTheWindowsInUse) {
    struct Case {
        int windows;
        bool list2;
        bool list3;
    };
    const Case cases[] = {{1, false, false}, {2, true, false}, {3, true, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(TabVisible(P::List2, c.windows), c.list2) << c.windows;
        EXPECT_EQ(TabVisible(P::List3, c.windows), c.list3) << c.windows;
        for (WizardPage always : {P::Begin, P::List1, P::Advanced, P::Durations, P::Finish})
            EXPECT_TRUE(TabVisible(always, c.windows)) << NameOf(always) << " with " << c.windows;
    }
}

TEST(WizardRules, ChoosingAWindowCountShowsBeginSetup) {
    WizardState state{1, P::Begin};
    ChooseWindowCount(state, 2);
    EXPECT_EQ(state.WindowCount, 2);
    EXPECT_EQ(state.ActivePage, P::Begin);
    EXPECT_TRUE(TabVisible(P::List2, state.WindowCount));
}

TEST(WizardRules, LeavingAListWithoutAPageByTabIsRefused) {
    struct Case {
        WizardPage leaving;
        ActiveLists lists;
        int refusedWindow;  // 0: allowed
    };
    const Case cases[] = {
        {P::List1, {}, 1},
        {P::List2, {{{"http://a"}, {}, {}}}, 2},
        {P::List3, {{{"http://a"}, {"http://b"}, {}}}, 3},
        {P::List1, {{{"  \t"}, {}, {}}}, 1},  // a blank entry is no page
        {P::List1, {{{"", " http://a "}, {}, {}}}, 0},
        {P::List2, {{{}, {"x"}, {}}}, 0},  // only the page being left counts
        {P::Begin, {}, 0},
        {P::Advanced, {}, 0},
        {P::Finish, {}, 0},
    };
    for (const Case& c : cases) {
        auto refusal = RefuseTabChange(c.leaving, c.lists);
        if (c.refusedWindow == 0) {
            EXPECT_FALSE(refusal) << NameOf(c.leaving);
            continue;
        }
        ASSERT_TRUE(refusal) << NameOf(c.leaving);
        EXPECT_EQ(refusal->Window, c.refusedWindow);
        EXPECT_EQ(refusal->Page, c.leaving);
        EXPECT_EQ(refusal->Message, "You must have at least one page in your Page List for Window " +
                                        std::to_string(c.refusedWindow) + ".");
    }
    // Next moves on from an empty list: it never asks.
    EXPECT_EQ(NextPage(P::List1, 1), P::Finish);
}

TEST(WizardRules, SavingNeedsAPageInWindowOneAndInEveryWindowInUse) {
    const std::vector<std::string> page{"http://a"};
    const std::vector<std::string> blank{" "};
    const std::vector<std::string> none;
    struct Case {
        int windows;
        ActiveLists lists;
        int refusedWindow;  // 0: saves
        WizardPage shown;
    };
    const Case cases[] = {
        {1, {page, none, none}, 0, P::Begin},   // lists 2 and 3 unused: no check
        {3, {none, none, none}, 1, P::List1},   // window 1 first
        {1, {blank, page, page}, 1, P::List1},  // a blank entry writes no file
        {2, {page, none, none}, 2, P::List2},
        {2, {page, blank, none}, 2, P::List2},
        {2, {page, page, none}, 0, P::Begin},
        {3, {page, page, none}, 3, P::List3},
        {3, {page, page, {"", "http://c"}}, 0, P::Begin},
    };
    for (const Case& c : cases) {
        auto refusal = RefuseSave(c.windows, c.lists);
        if (c.refusedWindow == 0) {
            EXPECT_FALSE(refusal) << c.windows;
            continue;
        }
        ASSERT_TRUE(refusal) << c.windows;
        EXPECT_EQ(refusal->Window, c.refusedWindow);
        EXPECT_EQ(refusal->Page, c.shown);
        EXPECT_EQ(refusal->Message, EmptyListMessage(c.refusedWindow));
    }
}

TEST(WizardRules, PageTimeLabelIsAlwaysInSeconds) {
    EXPECT_EQ(PageTimeLabel(10), "10 seconds");
    EXPECT_EQ(PageTimeLabel(45), "45 seconds");
    EXPECT_EQ(PageTimeLabel(120), "120 seconds");
}

TEST(WizardRules, MarkersInButtonCaptionsBecomeLineBreaks) {
    struct Case {
        std::string designed;
        std::string shown;
    };
    const Case cases[] = {
        {kRemoveButtonCaption, "Click here to &remove\rhighlighted entry from  page\rlist"},
        {kAddButtonCaption, "Click here to &add highlighted\r page to the active page list"},
        {"Click here to a&dd it to the active page list", "Click here to a&dd it to the active page list"},
        {"a\\n\\nb", "a\r\rb"},
        {"\\n", "\r"},
        {"back\\\\n", "back\\\r"},  // a doubled backslash keeps one
        {"new\\t\\N", "new\\t\\N"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MultiLineCaption(c.designed), c.shown) << c.designed;
}
