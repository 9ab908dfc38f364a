#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ErrorOf.h"
#include "Forms.h"
#include "KvExcpt.h"
#include "OpenStringTables.h"
#include "KvTimer.h"
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
