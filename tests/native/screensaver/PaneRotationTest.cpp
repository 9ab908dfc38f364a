#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "PaneRotation.h"

using namespace saver;

namespace {

// The form as the rules see it: a fake clock, scripted browsers, and a
// record of what was asked.
class FakeHost : public IPaneHost {
public:
    uint32_t now = 0;
    std::array<long, 4> ready{};
    std::array<BodyState, 4> body{BodyState::Scrollable, BodyState::Scrollable, BodyState::Scrollable,
                                  BodyState::Scrollable};
    bool taller = true;
    bool failCreate = false, failNavigate = false, failScroll = false, failStats = false, failReady = false;
    std::string stats = "C:\\Velunor\\Velunor Stats.html";
    std::array<std::vector<std::string>, 4> shown;  // addresses each pane navigated to
    std::vector<std::string> lastSeen;
    std::vector<std::string> log;
    std::array<int, 4> creates{}, scrolls{}, fetches{};
    std::array<int32_t, 4> scrolledBy{};

    uint32_t TickCount() override { return now; }
    long ReadyState(int n) override {
        if (failReady) throw std::runtime_error("The browser is gone");
        return ready[n];
    }
    BodyState FetchBody(int n, std::string& failure) override {
        ++fetches[n];
        if (body[n] == BodyState::Failed) failure = "The document has no body";
        return body[n];
    }
    bool BodyTallerThanPane(int) override { return taller; }
    void ScrollBodyBy(int n, int32_t step) override {
        if (failScroll) throw std::runtime_error("Access is denied");
        ++scrolls[n];
        scrolledBy[n] += step;
    }
    std::string LocationURL(int n) override { return shown[n].empty() ? "" : shown[n].back(); }
    bool CreateBrowser(int n) override {
        if (failCreate) return false;
        ++creates[n];
        ready[n] = 1;
        return true;
    }
    void Navigate(int n, const std::string& address) override {
        if (failNavigate) throw std::runtime_error("Navigation refused");
        shown[n].push_back(address);
    }
    void SaveLastSeen(const std::string& address) override { lastSeen.push_back(address); }
    std::string StatsPage() override {
        if (failStats) throw std::runtime_error("no template");
        return stats;
    }
    void Log(int n, const std::string& line) override { log.push_back("W" + std::to_string(n) + " " + line); }
};

const std::string kStats = "C:\\Velunor\\Velunor Stats.html";
const std::string kBlank1 = "C:\\Velunor\\blank1.htm";
const std::string kBlank2 = "C:\\Velunor\\blank2.htm";

// Panes driven tick by tick, 30 ms apart, as the saver's timer does. A pane
// with a completion delay completes each page that long after navigating.
struct Rig {
    FakeHost host;
    globals::TDisplaySettings settings;
    uint32_t startTicks = 0;
    std::string baseDir = "C:\\Velunor\\";
    PaneRotation rotation{host, settings, startTicks, baseDir};
    std::array<PaneRecord, 4> panes{};
    std::array<velfw::TStringList, 4> lists;
    std::array<int, 4> completeAfter{-1, -1, -1, -1};
    std::array<size_t, 4> completedCount{};

    Rig() {
        settings.UseDurations = false;
        settings.PageSeconds = 10;
        settings.MaxMinutes = 30;
        settings.ScrollInterval = 15;
        settings.ScrollStep = 1;
        settings.ScrollEnabled = true;
    }
    void Start(int n, std::vector<std::string> pages, int maxCycles = 3) {
        for (auto& p : pages) lists[n].Add(p);
        PaneRecord& p = panes[n];
        p.InUse = true;
        p.CyclesLeft = settings.UseDurations ? maxCycles : -1;
        p.urlsIndex = 0;
        rotation.SetNewURL(n, p, lists[n][0]);
    }
    void Tick() {
        for (int n = 1; n <= 3; ++n) {
            PaneRecord& p = panes[n];
            if (!p.InUse) continue;
            if (completeAfter[n] >= 0 && completedCount[n] < host.shown[n].size() && p.WaitForURLTimeOut &&
                TicksSince(p.WaitForURL, host.now) >= static_cast<uint32_t>(completeAfter[n])) {
                completedCount[n] = host.shown[n].size();
                host.ready[n] = kReadyStateComplete;
                rotation.SetupBrowser(n, p);
            }
            rotation.Tick(n, p, lists[n]);
        }
    }
    // Ticks every 30 ms until `ms` have passed.
    void Run(uint32_t ms) {
        const uint32_t end = host.now + ms;
        while (TicksSince(host.now, end) >= 30 && TicksSince(host.now, end) < 0x80000000u) {
            host.now += 30;
            Tick();
        }
    }
    size_t Shown(int n) const { return host.shown[n].size(); }
};

std::vector<std::string> Take(const std::vector<std::string>& v, size_t n) {
    return std::vector<std::string>(v.begin(), v.begin() + static_cast<long>(std::min(n, v.size())));
}

}  // namespace

TEST(PaneRotation, PageThatNeverCompletesIsGivenUpAfterTwentySeconds) {
    Rig rig;
    rig.host.now = 1000;
    rig.Start(2, {"a", "b"});
    PaneRecord& p = rig.panes[2];
    rig.host.now = 1000 + 20000;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 1u) << "exactly 20 s is not yet more than the limit";
    rig.host.now = 1000 + 20001;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    ASSERT_EQ(rig.Shown(2), 2u);
    EXPECT_EQ(rig.host.shown[2][1], "b");
    EXPECT_EQ(p.urlsIndex, 1);
    EXPECT_TRUE(p.WaitForURLTimeOut);
    EXPECT_EQ(p.WaitForURL, 21001u);
}

TEST(PaneRotation, CompletedPageStaysItsSecondsAndFramesRestartThem) {
    Rig rig;
    rig.Start(2, {"a", "b"});
    PaneRecord& p = rig.panes[2];
    rig.host.now = 19000;  // completes 19 s after navigating
    rig.rotation.SetupBrowser(2, p);
    EXPECT_TRUE(p.urlsReady);
    EXPECT_FALSE(p.WaitForURLTimeOut);
    rig.host.now = 29000;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 1u);
    rig.host.now = 25000;  // a frame completes later
    rig.rotation.SetupBrowser(2, p);
    rig.host.now = 29001;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 1u) << "the frame restarted the page time";
    rig.host.now = 35001;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 2u);
    EXPECT_EQ(rig.host.log.front(), "W2 Doc Complete");
}

TEST(PaneRotation, PaneOneShowsStatisticsAfterEachPassOthersStartAgain) {
    Rig rig;
    rig.completeAfter = {-1, 500, 500, 500};
    rig.Start(1, {"a", "b", "c"});
    rig.Start(2, {"d", "e", "f"});
    rig.Start(3, {"g"});
    rig.Run(9 * 11000);
    EXPECT_EQ(Take(rig.host.shown[1], 8), (std::vector<std::string>{"a", "b", "c", kStats, "a", "b", "c", kStats}));
    EXPECT_EQ(Take(rig.host.shown[2], 7), (std::vector<std::string>{"d", "e", "f", "d", "e", "f", "d"}));
    // A one-page list reloads the page in a fresh browser each time.
    EXPECT_EQ(Take(rig.host.shown[3], 3), (std::vector<std::string>{"g", "g", "g"}));
    EXPECT_EQ(rig.host.creates[3], static_cast<int>(rig.Shown(3)));
    EXPECT_EQ(rig.panes[1].CyclesLeft, -1);
    EXPECT_FALSE(rig.panes[1].HasBeenBlanked);
    // A page is replaced about 10 s after completing, each in a fresh browser.
    EXPECT_GE(rig.Shown(2), 9u);
    EXPECT_LE(rig.Shown(2), 10u);
}

TEST(PaneRotation, LastSeenShortcutFollowsPaneOneOnly) {
    Rig rig;
    rig.completeAfter = {-1, 100, 100, -1};
    rig.Start(1, {"a"});
    rig.Start(2, {"d"});
    rig.Run(3 * 10200);
    EXPECT_EQ(rig.host.lastSeen, rig.host.shown[1]);
    EXPECT_EQ(Take(rig.host.lastSeen, 3), (std::vector<std::string>{"a", kStats, "a"}));
}

TEST(PaneRotation, BlankingAfterTheSetPasses) {
    Rig rig;
    rig.settings.UseDurations = true;
    rig.completeAfter = {-1, 100, 100, -1};
    rig.Start(1, {"a", "b"}, 1);
    rig.Start(2, {"d"}, 1);
    rig.Run(8 * 10200);
    EXPECT_EQ(Take(rig.host.shown[1], 6), (std::vector<std::string>{"a", "b", kStats, kBlank1, kBlank2, kBlank1}));
    EXPECT_EQ(Take(rig.host.shown[2], 5), (std::vector<std::string>{"d", kStats, kBlank1, kBlank2, kBlank1}));
    EXPECT_TRUE(rig.panes[1].HasBeenBlanked);
    EXPECT_TRUE(rig.panes[1].StatsShown);
}

TEST(PaneRotation, StatisticsAfterEachPassAndOnceAtBlanking) {
    Rig rig;
    rig.settings.UseDurations = true;
    rig.completeAfter = {-1, 100, -1, -1};
    rig.Start(1, {"a"}, 3);
    rig.Run(9 * 10200);
    EXPECT_EQ(Take(rig.host.shown[1], 8),
              (std::vector<std::string>{"a", kStats, "a", kStats, "a", kStats, kBlank1, kBlank2}));
}

TEST(PaneRotation, BlankedPagesIgnoreTheNavigationLimit) {
    Rig rig;
    rig.settings.UseDurations = true;
    rig.settings.PageSeconds = 30;  // longer than the 20 s limit; blank pages never complete here
    rig.Start(2, {"d"}, 1);
    rig.rotation.SetupBrowser(2, rig.panes[2]);  // "d" completes at once
    rig.Run(30030);
    ASSERT_EQ(Take(rig.host.shown[2], 2), (std::vector<std::string>{"d", kStats}));
    rig.Run(25000);
    EXPECT_EQ(rig.Shown(2), 2u) << "a blanked pane waits its page time, not 20 s";
    rig.Run(6000);
    EXPECT_EQ(rig.Shown(2), 3u);
}

TEST(PaneRotation, MinutesLimitBlanksOnlyAfterAPass) {
    Rig rig;
    rig.settings.UseDurations = true;
    rig.settings.MaxMinutes = 10;
    rig.completeAfter = {-1, 100, 100, -1};
    std::vector<std::string> longList;
    for (int i = 0; i < 70; ++i) longList.push_back("p" + std::to_string(i));  // about 12 minutes a pass
    rig.Start(1, longList, 15);
    rig.Start(2, {"d", "e"}, 15);
    rig.Run(11 * kMinuteMs);
    EXPECT_FALSE(rig.panes[1].HasBeenBlanked) << "a pane that has not finished a pass is never blanked";
    EXPECT_TRUE(rig.panes[2].HasBeenBlanked);
    // Pane 2 was blanked at the first tick after 10 minutes, in the middle of a page.
    rig.Run(2 * kMinuteMs);
    EXPECT_TRUE(rig.panes[1].FinishedOneCycle);
    EXPECT_TRUE(rig.panes[1].HasBeenBlanked);
}

TEST(PaneRotation, MinutesLimitStrikesInTheMiddleOfAPage) {
    Rig rig;
    rig.settings.UseDurations = true;
    rig.settings.MaxMinutes = 10;
    rig.Start(2, {"d"});
    PaneRecord& p = rig.panes[2];
    p.FinishedOneCycle = true;
    rig.host.now = 10 * kMinuteMs - 1;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_FALSE(p.HasBeenBlanked);
    rig.host.now = 10 * kMinuteMs;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_TRUE(p.HasBeenBlanked);
    EXPECT_EQ(rig.host.shown[2].back(), kStats);
    EXPECT_EQ(p.urlsIndex, 1);
}

TEST(PaneRotation, TickCountWrap) {
    Rig rig;
    rig.startTicks = 0xFFFF0000u;
    rig.host.now = 0xFFFFF000u;
    rig.Start(2, {"a", "b"});
    PaneRecord& p = rig.panes[2];
    rig.host.now = 0xFFFFF000u + 20000u;  // wrapped past zero
    ASSERT_LT(rig.host.now, 0xFFFFF000u);
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 1u);
    rig.host.now += 1;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 2u);

    // Page time across the wrap.
    rig.host.now = 0xFFFFFFF0u;
    rig.rotation.SetupBrowser(2, p);
    rig.host.now = 0xFFFFFFF0u + 10000u;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 2u);
    rig.host.now += 1;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 3u);

    // Minutes since the start across the wrap.
    rig.settings.UseDurations = true;
    rig.settings.MaxMinutes = 1;
    p.FinishedOneCycle = true;
    rig.rotation.SetupBrowser(2, p);
    rig.host.now = 0xFFFF0000u + kMinuteMs - 1;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_FALSE(p.HasBeenBlanked);
    rig.host.now += 1;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_TRUE(p.HasBeenBlanked);
}

TEST(PaneRotation, ZeroPageTimeMovesOnAtTheNextTick) {
    Rig rig;
    rig.settings.PageSeconds = 0;
    rig.settings.UseDurations = true;
    rig.completeAfter = {-1, -1, 0, -1};
    rig.Start(2, {"a", "b"}, 1);
    rig.Run(30);  // completes at this tick...
    EXPECT_EQ(rig.Shown(2), 1u);
    rig.Run(30);  // ...and is replaced at the next
    EXPECT_EQ(rig.Shown(2), 2u);
    rig.Run(30 * 3);  // b completes and goes, the statistics page comes and completes
    ASSERT_EQ(rig.host.shown[2].back(), kStats);
    rig.completeAfter[2] = -1;
    const size_t before = rig.Shown(2);
    rig.Run(30 * 4);  // blank pages follow each other at every tick
    EXPECT_EQ(rig.Shown(2), before + 4);
    EXPECT_TRUE(rig.panes[2].HasBeenBlanked);
}

TEST(PaneRotation, ScrollsByTheStepOnlyWhenCompleteAndDue) {
    Rig rig;
    rig.settings.ScrollStep = 3;
    rig.Start(2, {"a"});
    PaneRecord& p = rig.panes[2];
    p.LastScrollTick = 1000;
    rig.host.now = 2000;
    rig.host.ready[2] = 3;  // interactive: not yet
    rig.rotation.CheckScroll(2, p);
    EXPECT_EQ(rig.host.fetches[2], 0);
    rig.host.ready[2] = kReadyStateComplete;
    rig.host.now = 1015;
    rig.rotation.CheckScroll(2, p);
    EXPECT_EQ(rig.host.scrolls[2], 0) << "15 ms is not more than the interval";
    rig.host.now = 1016;
    rig.rotation.CheckScroll(2, p);
    EXPECT_EQ(rig.host.scrolls[2], 1);
    EXPECT_EQ(rig.host.scrolledBy[2], 3);
    EXPECT_EQ(p.CurrentStep, 3);
    EXPECT_EQ(p.LastScrollTick, 1016u);
    EXPECT_TRUE(p.urlsReady) << "a body found by scrolling marks the page ready";
    rig.host.now = 1020;
    rig.rotation.CheckScroll(2, p);
    EXPECT_EQ(rig.host.scrolls[2], 1);
}

TEST(PaneRotation, ScrollingTurnedOffStillFetchesTheBody) {
    Rig rig;
    rig.settings.ScrollEnabled = false;
    rig.Start(2, {"a"});
    PaneRecord& p = rig.panes[2];
    rig.host.ready[2] = kReadyStateComplete;
    rig.host.now = 100;
    rig.rotation.CheckScroll(2, p);
    EXPECT_EQ(rig.host.fetches[2], 1);
    EXPECT_EQ(rig.host.scrolls[2], 0);
    EXPECT_TRUE(p.urlsReady);
    EXPECT_EQ(p.LastScrollTick, 100u);
}

TEST(PaneRotation, ScrollFailuresAreLogged) {
    Rig rig;
    rig.startTicks = 500;
    rig.Start(2, {"http://a/"});
    PaneRecord& p = rig.panes[2];
    rig.host.ready[2] = kReadyStateComplete;
    rig.host.now = 1000;
    rig.host.body[2] = BodyState::NoScrollInfo;
    rig.rotation.CheckScroll(2, p);
    rig.host.now = 2000;
    rig.host.body[2] = BodyState::Failed;
    rig.rotation.CheckScroll(2, p);
    rig.host.now = 3000;
    rig.host.body[2] = BodyState::Scrollable;
    rig.host.failScroll = true;
    rig.rotation.CheckScroll(2, p);
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"W2 In Scroll No Body2 @ 500",
                                                      "W2 In Scroll Exception The document has no body @ 1500",
                                                      "W2 Access is denied. Set ScrollTop @ (2500 in http://a/)"}));
    EXPECT_EQ(p.LastScrollTick, 3000u);
}

TEST(PaneRotation, BodyFoundByScrollingWhileLoading) {
    Rig rig;
    rig.Start(2, {"a", "b"});
    PaneRecord& p = rig.panes[2];
    rig.host.ready[2] = kReadyStateComplete;  // no completion event came
    rig.host.now = 100;
    rig.rotation.CheckScroll(2, p);
    EXPECT_TRUE(p.urlsReady);
    EXPECT_TRUE(p.WaitForURLTimeOut);
    rig.host.now = 10000;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 1u);
    rig.host.now = 10001;  // the page time counts from the navigation
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 2u);
}

TEST(PaneRotation, CompletionWithoutABodyKeepsWaiting) {
    Rig rig;
    rig.Start(2, {"a", "b"});
    PaneRecord& p = rig.panes[2];
    rig.host.body[2] = BodyState::Failed;
    rig.host.now = 500;
    rig.rotation.SetupBrowser(2, p);
    EXPECT_FALSE(p.urlsReady);
    EXPECT_TRUE(p.WaitForURLTimeOut);
    EXPECT_EQ(p.urlsTime, 0u);

    rig.host.body[2] = BodyState::NoScrollInfo;
    p.LastScrollTick = 7;
    rig.rotation.SetupBrowser(2, p);
    EXPECT_TRUE(p.urlsReady);
    EXPECT_EQ(p.LastScrollTick, 7u);

    rig.host.body[2] = BodyState::Scrollable;
    rig.host.taller = false;
    rig.host.now = 600;
    rig.rotation.SetupBrowser(2, p);
    EXPECT_EQ(p.LastScrollTick, 7u) << "a page no taller than the pane does not restart the scroll time";
    rig.host.taller = true;
    rig.host.now = 700;
    rig.rotation.SetupBrowser(2, p);
    EXPECT_EQ(p.LastScrollTick, 700u);
    EXPECT_EQ(p.urlsTime, 700u);
}

TEST(PaneRotation, FailedNavigationAndFailedCreation) {
    Rig rig;
    rig.host.now = 100;
    rig.Start(1, {"a", "b"});
    PaneRecord& p = rig.panes[1];
    rig.host.failNavigate = true;
    rig.host.now = 20200;
    rig.rotation.CheckChangeUrl(1, p, rig.lists[1]);
    EXPECT_EQ(p.WaitForURL, 100u) << "a failed navigation leaves the times as they were";
    EXPECT_EQ(rig.host.lastSeen, (std::vector<std::string>{"a"}));
    rig.host.failNavigate = false;
    rig.host.failCreate = true;
    rig.host.now = 20300;
    rig.rotation.CheckChangeUrl(1, p, rig.lists[1]);
    EXPECT_EQ(p.urlsIndex, -1);
    EXPECT_EQ(p.WaitForURL, 20300u) << "without a browser the page is given up 20 s later";
    EXPECT_EQ(rig.host.lastSeen.back(), kStats);
}

TEST(PaneRotation, FailedStatisticsPageLeavesBlankingGoingOn) {
    Rig rig;
    rig.settings.UseDurations = true;
    rig.Start(2, {"d"}, 1);
    PaneRecord& p = rig.panes[2];
    rig.host.failStats = true;
    rig.host.now = 20001;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_TRUE(p.HasBeenBlanked);
    EXPECT_TRUE(p.StatsShown);
    EXPECT_EQ(rig.Shown(2), 1u);
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.host.shown[2].back(), kBlank1);
}

TEST(PaneRotation, EmptyStatisticsAddressGoesStraightToBlankPages) {
    Rig rig;
    rig.settings.UseDurations = true;
    rig.host.stats.clear();
    rig.Start(2, {"d"}, 1);
    PaneRecord& p = rig.panes[2];
    rig.host.now = 20001;
    rig.rotation.CheckChangeUrl(2, p, rig.lists[2]);
    EXPECT_EQ(rig.host.shown[2], (std::vector<std::string>{"d", kBlank1}));
    EXPECT_EQ(p.urlsIndex, 2);
}

TEST(PaneRotation, TickSkipsBusyAndUnusedPanesAndKeepsItsTwoChecksApart) {
    Rig rig;
    rig.host.now = 1000;
    rig.Start(2, {"a", "b"});
    PaneRecord& p = rig.panes[2];
    rig.host.ready[2] = kReadyStateComplete;
    rig.rotation.SetupBrowser(2, p);
    rig.host.now += 10001;  // the page time is over
    const int fetches = rig.host.fetches[2];

    p.PaneBusy = true;  // still inside the previous tick
    rig.rotation.Tick(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 1u);
    EXPECT_EQ(rig.host.fetches[2], fetches);
    p.PaneBusy = false;

    p.InUse = false;
    rig.rotation.Tick(2, p, rig.lists[2]);
    EXPECT_EQ(rig.Shown(2), 1u);
    p.InUse = true;

    // The scroll check fails outright; the page check still moves the pane on.
    rig.host.failReady = true;
    rig.rotation.Tick(2, p, rig.lists[2]);
    EXPECT_EQ(rig.host.shown[2].back(), "b");
    EXPECT_FALSE(p.PaneBusy);
}
