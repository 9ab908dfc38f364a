#include <gtest/gtest.h>

#include "PageListEditRules.h"

using namespace settings;

namespace {
using Items = std::vector<std::string>;
}

TEST(PageListEditRules, AddOne) {
    struct Case {
        std::string typed;
        Items before;
        Items after;
    };
    const Case cases[] = {
        {"http://a.com", {}, {"http://a.com"}},
        {"   \t ", {"x"}, {"x"}},                                       // blanks only: nothing
        {"", {}, {}},                                                   // nothing typed
        {"http://", {}, {"http://"}},                                   // the unchanged text itself
        {"http://a.com", {"http://a.com"}, {"http://a.com", "http://a.com"}},  // no duplicate check
        {"  http://my site.com/a b  ", {}, {"  http://my site.com/a b  "}},     // as typed, inner blanks kept
        {"http://a.com/\r\nhttp://b.com", {}, {"http://a.com/http://b.com"}},  // a pasted line break
        {"\thttp://a.com\x01/x\x7f", {}, {"http://a.com/x\x7f"}},
        {"\r\n", {}, {}},
    };
    for (const Case& c : cases) {
        PageListBox active{c.before, {}, std::nullopt};
        std::string edit = c.typed;
        AddOne(edit, active);
        EXPECT_EQ(active.Items, c.after) << c.typed;
        EXPECT_EQ(edit, "http://") << c.typed;
        if (c.after.size() > c.before.size()) {
            EXPECT_EQ(active.ItemIndex, c.after.size() - 1) << c.typed;
            EXPECT_TRUE(active.Selected.back()) << c.typed;
        } else
            EXPECT_EQ(active.ItemIndex, std::nullopt) << c.typed;
    }
}

TEST(PageListEditRules, AddMovesSelectedCandidatesInReverseOrder) {
    PageListBox candidates{{"A", "x", "B", "C", "y"}, {true, false, true, true, false}, 3};
    PageListBox active{{"P"}, {false}, 0};
    AddSelected(candidates, active);
    EXPECT_EQ(active.Items, (Items{"P", "C", "B", "A"}));
    EXPECT_EQ(active.ItemIndex, 3u);  // the last one added, selected alone
    EXPECT_EQ(active.Selected, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(candidates.Items, (Items{"x", "y"}));
    EXPECT_EQ(candidates.Selected, (std::vector<bool>{false, false}));
    EXPECT_EQ(candidates.ItemIndex, std::nullopt);  // its entry went
}

TEST(PageListEditRules, RemoveMovesSelectedPagesBackInReverseOrder) {
    PageListBox active{{"typed", "A", "keep", "B"}, {true, true, false, true}, 2};
    PageListBox candidates{{"z"}, {true}, 0};
    RemoveSelected(active, candidates);
    EXPECT_EQ(candidates.Items, (Items{"z", "B", "A", "typed"}));
    EXPECT_EQ(candidates.ItemIndex, 0u);  // removing does not move the current item
    // The user's own selection of candidates stays; nothing else is selected.
    EXPECT_EQ(candidates.Selected, (std::vector<bool>{true}));
    EXPECT_EQ(active.Items, (Items{"keep"}));
    EXPECT_EQ(active.ItemIndex, 0u);  // still on "keep"
}

// The entries that stay close up in their order, those before the first
// moved one included; the indexes returned name the moved entries as they
// stood, last first.
TEST(PageListEditRules, MovedEntriesAreNamedAndTheRestKeepTheirOrder) {
    struct Case {
        Items items;
        std::vector<bool> selected;
        Items left;
        std::vector<size_t> moved;
    };
    const Case cases[] = {
        {{"a", "b", "c", "d", "e"}, {false, false, true, false, true}, {"a", "b", "d"}, {4, 2}},
        {{"a", "b", "c"}, {false, true}, {"a", "c"}, {1}},  // a selection shorter than the list
        {{"a", "b", "c"}, {true, true, true}, {}, {2, 1, 0}},
        {{"a", "b"}, {false, false}, {"a", "b"}, {}},
    };
    for (const Case& c : cases) {
        PageListBox from{c.items, c.selected, std::nullopt};
        PageListBox to{{"t"}, {true}, 0};
        EXPECT_EQ(RemoveSelected(from, to), c.moved);
        EXPECT_EQ(from.Items, c.left);
        EXPECT_EQ(to.Items.size(), 1 + c.moved.size());
        for (size_t k = 0; k < c.moved.size(); ++k) EXPECT_EQ(to.Items[1 + k], c.items[c.moved[k]]);
    }
}

TEST(PageListEditRules, NothingSelectedMovesNothing) {
    PageListBox candidates{{"A", "B"}, {}, std::nullopt};
    PageListBox active{{"P"}, {false}, 0};
    AddSelected(candidates, active);
    EXPECT_EQ(active.Items, (Items{"P"}));
    EXPECT_EQ(candidates.Items, (Items{"A", "B"}));
    EXPECT_EQ(active.ItemIndex, 0u);
}

TEST(PageListEditRules, RemoveListedDropsExactMatchesOnly) {
    Items candidates{"http://a", "HTTP://A", "http://b", "http://a", "http://a ", "http://c"};
    RemoveListed({"http://a", "http://c", "http://zz"}, candidates);
    EXPECT_EQ(candidates, (Items{"HTTP://A", "http://b", "http://a "}));
}
