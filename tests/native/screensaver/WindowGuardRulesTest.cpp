#include <gtest/gtest.h>

#include "WindowGuardRules.h"

using namespace saver;

namespace {
void* W(uintptr_t n) { return reinterpret_cast<void*>(n); }
}  // namespace

TEST(WindowGuardRules, ListKeepsAtMost513Windows) {
    TTopWindowList list;
    for (uintptr_t i = 1; i <= 600; ++i) list.Add(W(i));
    EXPECT_EQ(list.Count, 513);
    EXPECT_TRUE(list.Contains(W(513)));
    EXPECT_FALSE(list.Contains(W(514)));
}

TEST(WindowGuardRules, NewWindowsOnlyWhenTheListGrew) {
    TTopWindowList initial, current;
    for (uintptr_t i : {1, 2, 3}) initial.Add(W(i));
    for (uintptr_t i : {1, 2, 4}) current.Add(W(i));
    EXPECT_TRUE(NewWindows(initial, current).empty()) << "one window closed while another opened";
    current.Add(W(5));
    EXPECT_EQ(NewWindows(initial, current), (std::vector<void*>{W(4), W(5)}));
    TTopWindowList fewer;
    fewer.Add(W(9));
    EXPECT_TRUE(NewWindows(initial, fewer).empty());
}

TEST(WindowGuardRules, OnlyProcessesStartedAfterTheSaverAreEnded) {
    const std::optional<uint64_t> saver = 1000, unknown;
    struct Case {
        WindowProcessFacts facts;
        std::optional<uint64_t> saverCreated;
        NewWindowAction expected;
    } cases[] = {
        {{true, true, 2000}, saver, NewWindowAction::Close},   // the saver's own process, never itself
        {{false, true, 2000}, saver, NewWindowAction::QuitAndTerminate},
        {{false, true, 500}, saver, NewWindowAction::Close},   // was running before: a reminder, the shell
        {{false, true, 1000}, saver, NewWindowAction::Close},
        {{false, false, 0}, saver, NewWindowAction::Close},    // cannot tell: leave the process alone
        // The saver's own start unread: nothing counts as started after it.
        {{false, true, 2000}, unknown, NewWindowAction::Close},
        {{false, true, 1}, unknown, NewWindowAction::Close},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActionForNewWindow(c.facts, c.saverCreated), c.expected)
            << c.facts.OwnProcess << " " << c.facts.CreationKnown << " " << c.facts.ProcessCreated << " "
            << c.saverCreated.value_or(0);
}

TEST(WindowGuardRules, ErrorWindowTitles) {
    EXPECT_TRUE(IsErrorWindowTitle("Script Error"));
    EXPECT_TRUE(IsErrorWindowTitle("an error occurred"));
    EXPECT_TRUE(IsErrorWindowTitle("Unhandled ExCePtIoN"));
    EXPECT_FALSE(IsErrorWindowTitle("Erro r"));
    EXPECT_FALSE(IsErrorWindowTitle(""));
    EXPECT_FALSE(IsErrorWindowTitle("Reminder"));
}

TEST(WindowGuardRules, MouseMovesThatEndTheSaver) {
    struct Case {
        int x, y;
        bool ends;
    } cases[] = {{103, 103, true}, {103, 100, false}, {102, 150, false}, {150, 101, false},
                 {97, 97, true},   {102, 102, false}, {100, 100, false}};
    for (const Case& c : cases) {
        MouseReference ref;
        EXPECT_FALSE(MouseMoveEndsSaver(ref, 100, 100)) << "the first position is the reference";
        EXPECT_EQ(MouseMoveEndsSaver(ref, c.x, c.y), c.ends) << c.x << "," << c.y;
    }
    MouseReference ref;
    MouseMoveEndsSaver(ref, 100, 100);
    MouseMoveEndsSaver(ref, 102, 150);
    EXPECT_EQ(ref.X, 100) << "a small move leaves the reference where it is";
    EXPECT_TRUE(MouseMoveEndsSaver(ref, 103, 103));
}
