#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ErrorOf.h"
#include "Forms.h"
#include "KvExcpt.h"
#include "OpenStringTables.h"
#include "KvTimer.h"
#include "MessageBoxes.h"
#include "MessagePump.h"
#include "TestForms.h"

using namespace kv;
using namespace testing_support;

namespace {

struct Firing {
    int32_t handle;
    uint32_t interval;
    int32_t elapsed;
    bool operator==(const Firing&) const = default;
};

class TimerPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitApplicationWithoutBoxes();
        pool = new TKvTimerPool(nullptr);
        pool->TickSource = [this] { return now; };
    }
    void TearDown() override {
        delete pool;
    }
    // One tick as the window timer delivers it, on the pool's own window.
    void Tick() { ::SendMessageA(pool->WindowHandle(), WM_TIMER, 1, 0); }
    TTriggerEvent Record(std::vector<Firing>& into) {
        return [&into](velfw::TObject*, int32_t h, uint32_t i, int32_t e) { into.push_back({h, i, e}); };
    }

    OpenStringTables tables;
    uint32_t now = 1000;
    TKvTimerPool* pool = nullptr;
    ReportedFailures reports;
};

}  // namespace

TEST_F(TimerPoolTest, RealWindowTimerFiresARepeatingTrigger) {
    pool->TickSource = [] { return static_cast<uint32_t>(::GetTickCount()); };
    std::vector<Firing> fired, all;
    pool->OnAllTriggers = Record(all);
    const int32_t handle = pool->AddTrigger(100, true, Record(fired));
    EXPECT_EQ(pool->TimerInterval(), 100);
    ASSERT_TRUE(PumpUntil([&] { return fired.size() >= 3; }, 5000));
    EXPECT_EQ(fired[0].handle, handle);
    EXPECT_EQ(fired[0].interval, 100u);
    EXPECT_GE(fired[2].elapsed, fired[1].elapsed);
    EXPECT_EQ(std::vector<Firing>(all.begin(), all.begin() + 3), std::vector<Firing>(fired.begin(), fired.begin() + 3));

    pool->RemoveTrigger(handle);
    EXPECT_EQ(pool->TimerInterval(), 0);
    const size_t count = fired.size();
    PumpFor(300);
    EXPECT_EQ(fired.size(), count) << "the timer goes with its last trigger";
}

TEST_F(TimerPoolTest, OneShotAndTheTriggerAfterItFireOnTheSameTick) {
    std::vector<Firing> fired;
    const int32_t once = pool->AddTrigger(100, false, Record(fired));
    const int32_t after = pool->AddTrigger(200, true, Record(fired));
    pool->AddTrigger(100, true, Record(fired), false);  // inactive: never fires
    now += 200;
    Tick();
    EXPECT_EQ(fired, (std::vector<Firing>{{once, 100, 200}, {after, 200, 200}}));
    EXPECT_EQ(pool->FindTrigger(once), -1);
    EXPECT_EQ(pool->ActiveCount(), 1);
}

TEST_F(TimerPoolTest, EarlyFiringWindowAndRemovingAnUnknownHandle) {
    std::vector<Firing> fired;
    const int32_t handle = pool->AddTrigger(100, true, Record(fired));
    now += 70;
    Tick();
    EXPECT_TRUE(fired.empty()) << "70 ms is more than 27 ms early";
    now += 10;
    Tick();
    EXPECT_EQ(fired, (std::vector<Firing>{{handle, 100, 80}}));
    pool->RemoveTrigger(handle + 100);
    EXPECT_EQ(pool->Triggers().size(), 1u);
}

TEST_F(TimerPoolTest, FailingEventIsReportedAndEndsTheTick) {
    std::vector<Firing> fired;
    pool->AddTrigger(100, true, [](velfw::TObject*, int32_t, uint32_t, int32_t) { throw velfw::Exception("trigger failed"); });
    pool->AddTrigger(100, true, Record(fired));
    now += 100;
    Tick();
    EXPECT_EQ(reports.messages, std::vector<std::string>{"trigger failed"});
    EXPECT_TRUE(fired.empty());
}

TEST_F(TimerPoolTest, NoWindowMeansNoTimer) {
    EXPECT_EQ(pool->About(), "v3.08");
    ::DestroyWindow(pool->WindowHandle());
    EXPECT_EQ(pool->WindowHandle(), nullptr);
    EXPECT_EQ(ErrorOf<ENoTimersAvailable>([&] { pool->AddTrigger(100, true, nullptr); }),
              "No Window's timers are available");
    EXPECT_EQ(pool->Triggers().size(), 1u);
    EXPECT_EQ(pool->TimerInterval(), 100);
}

// The trigger's event frees the pool (as freeing its owner would) from the
// window timer's own tick: nothing of the pool is read after that.
TEST_F(TimerPoolTest, AnEventThatFreesThePoolEndsItsTick) {
    HWND wnd = pool->WindowHandle();
    std::vector<Firing> all;
    pool->OnAllTriggers = Record(all);
    bool freedInEvent = false;
    pool->AddTrigger(100, true, [&](velfw::TObject*, int32_t, uint32_t, int32_t) {
        TKvTimerPool* doomed = pool;
        pool = nullptr;
        delete doomed;
        freedInEvent = true;
    });
    int firedAfterwards = 0;
    for (int k = 0; k < 3; ++k)
        pool->AddTrigger(100, k == 1, [&](velfw::TObject*, int32_t, uint32_t, int32_t) { ++firedAfterwards; });
    now += 100;
    ASSERT_TRUE(PumpUntil([&] { return freedInEvent; }, 5000)) << "the window timer served the triggers";
    PumpFor(300);
    EXPECT_EQ(firedAfterwards, 0);
    EXPECT_TRUE(all.empty()) << "the pool's events went with it";
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_TRUE(reports.messages.empty());
}

// An event that takes a while and adds a trigger: the new trigger is stamped
// after the tick being served, and waits its interval from that stamp.
TEST_F(TimerPoolTest, ATriggerAddedByAnEventWaitsItsInterval) {
    pool->TickSource = [] { return static_cast<uint32_t>(::GetTickCount()); };
    std::vector<Firing> added;
    bool eventRan = false;
    pool->AddTrigger(100, false, [&](velfw::TObject*, int32_t, uint32_t, int32_t) {
        eventRan = true;
        ::Sleep(30);
        pool->AddTrigger(200, true, Record(added));
    });
    ASSERT_TRUE(PumpUntil([&] { return eventRan; }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return added.size() >= 2; }, 5000));
    for (const Firing& f : added) {
        EXPECT_GE(f.elapsed, 173) << "not before its interval";
        EXPECT_LT(f.elapsed, 10000) << "counted from when it was added";
    }
}

// An event shows a modal box; the box's message loop serves the pool's window
// timer meanwhile, and those nested ticks fire and stamp the triggers after
// the one that shows the box. When the box has gone, the outer tick goes on
// with those triggers: they are not due again.
TEST_F(TimerPoolTest, TriggersServedBehindAModalBoxAreNotFiredAgainAfterIt) {
    const char kCaption[] = "KvTimerTest modal box";
    pool->TickSource = [] { return static_cast<uint32_t>(::GetTickCount()); };
    bool boxShown = false;
    pool->AddTrigger(100, true, [&](velfw::TObject*, int32_t, uint32_t, int32_t) {
        if (boxShown) return;
        boxShown = true;
        ::MessageBoxA(nullptr, "The pool ticks behind this box.", kCaption, MB_OK);
    });
    std::vector<Firing> behind;
    int firedBehindTheBox = 0;
    pool->AddTrigger(100, true, [&](velfw::TObject*, int32_t h, uint32_t i, int32_t e) {
        behind.push_back({h, i, e});
        if (::FindWindowA(nullptr, kCaption)) ++firedBehindTheBox;
    });
    {
        // Left up for a second, so that ticks come behind it.
        MessageBoxCloser closer(BoxOwner::Thread(::GetCurrentThreadId()), 10000, 1000);
        ASSERT_TRUE(PumpUntil([&] { return boxShown; }, 5000));
        EXPECT_TRUE(closer.Finish());
    }
    PumpFor(300);
    ASSERT_GT(firedBehindTheBox, 0) << "the box's loop served the timer";
    for (const Firing& f : behind) EXPECT_LT(f.elapsed, 60000) << "no firing counted as 2^32 ms";
}

TEST(TimerPoolLifetime, APoolWithoutTriggersNeverSetsATimer) {
    auto* owner = new velfw::TComponent(nullptr);
    auto* pool = new TKvTimerPool(owner);
    EXPECT_EQ(pool->TimerInterval(), 0);
    HWND wnd = pool->WindowHandle();
    EXPECT_TRUE(::IsWindow(wnd));
    EXPECT_FALSE(::KillTimer(wnd, 1)) << "no timer was set";
    delete owner;  // frees the pool with it
    EXPECT_FALSE(::IsWindow(wnd));
}
