#include <gtest/gtest.h>

#include <stdexcept>

#include "KvTimerRules.h"

using namespace kv;

namespace {

class FakeClock : public ITimerPoolHost {
public:
    uint32_t now = 1000;
    std::vector<int32_t> restarts;  // each period set; 0 for a stop
    uint32_t TickCount() override { return now; }
    void RestartTimer(int32_t interval) override { restarts.push_back(interval); }
};

struct Fired {
    int32_t handle;
    uint32_t interval;
    int32_t elapsed;
    bool operator==(const Fired&) const = default;
};

struct Rig {
    FakeClock clock;
    velfw::TObject sender;
    TKvTriggerPool pool{clock, &sender};
    std::vector<Fired> fired, all;

    Rig() {
        pool.OnAllTriggers = [this](velfw::TObject* s, int32_t h, uint32_t i, int32_t e) {
            EXPECT_EQ(s, &sender);
            all.push_back({h, i, e});
        };
    }
    int32_t Add(uint32_t interval, bool repeats = true) {
        return pool.AddTrigger(interval, repeats,
                               [this](velfw::TObject*, int32_t h, uint32_t i, int32_t e) { fired.push_back({h, i, e}); });
    }
};

}  // namespace

TEST(TimerPool, PeriodSuitsEveryActiveTrigger) {
    const struct {
        std::vector<uint32_t> intervals;
        int32_t period;
    } rows[] = {
        {{200}, 200}, {{200, 300}, 100}, {{100, 155}, 55}, {{30}, 55}, {{}, 0},
        {{1000, 1500, 2500}, 500}, {{0}, 55}, {{4294967295u}, 2147483647},
    };
    for (const auto& r : rows) {
        Rig rig;
        for (uint32_t i : r.intervals) rig.Add(i);
        EXPECT_EQ(rig.pool.TimerInterval(), r.period) << r.intervals.size() << " triggers";
    }
}

TEST(TimerPool, PeriodFollowsTheTimeLeftAndOnlyActiveTriggers) {
    Rig rig;
    rig.pool.AddTrigger(500, true, nullptr, false);
    EXPECT_EQ(rig.pool.TimerInterval(), 0) << "inactive triggers are not counted";
    EXPECT_EQ(rig.clock.restarts, std::vector<int32_t>{0});
    rig.Add(1000);
    rig.clock.now += 800;  // 200 ms left
    rig.pool.ComputeInterval();
    EXPECT_EQ(rig.pool.TimerInterval(), 100) << "200, then lowered to divide the inactive 500 as well";
    rig.clock.now += 5000;  // overdue: nothing left, so the shortest period
    rig.pool.ComputeInterval();
    EXPECT_EQ(rig.pool.TimerInterval(), 55);
}

TEST(TimerPool, ElapsedTimeAcrossTheSignBoundaryAndTheWrap) {
    const struct {
        uint32_t last, now;
        int64_t elapsed;
    } rows[] = {
        {0x7FFFFFF0u, 0x80000010u, 31},  // past the sign: the wrap-around difference less one
        {0xFFFFFFF0u, 0x00000010u, 32},  // past the wrap: the plain difference
        {0, 100, 100},
        {0x80000000u, 0x7FFFFFFFu, 4294967295LL},
        {0x7FFFFFFFu, 0x80000000u, 0},
    };
    for (const auto& r : rows) EXPECT_EQ(TriggerElapsed(r.last, r.now), r.elapsed) << std::hex << r.last;

    Rig rig;
    rig.clock.now = 0x7FFFFFF0u;
    const int32_t h = rig.Add(20);
    rig.clock.now = 0x80000010u;
    rig.pool.ServiceTriggers();
    EXPECT_EQ(rig.fired, (std::vector<Fired>{{h, 20, 31}}));
}

TEST(TimerPool, TriggersFireUpTo27MsEarly) {
    for (uint32_t ago : {70u, 72u, 73u, 80u}) {
        Rig rig;
        rig.Add(100);
        rig.clock.now += ago;
        rig.pool.ServiceTriggers();
        EXPECT_EQ(rig.fired.size(), ago >= 73 ? 1u : 0u) << ago;
    }
}

TEST(TimerPool, OneShotGoesAndTheNextIsServedOnTheSameTick) {
    Rig rig;
    const int32_t once = rig.Add(100, false);
    const int32_t next = rig.Add(100);
    const int32_t later = rig.Add(1000);
    rig.clock.now += 100;
    rig.clock.restarts.clear();
    rig.pool.ServiceTriggers();
    EXPECT_EQ(rig.fired, (std::vector<Fired>{{once, 100, 100}, {next, 100, 100}}));
    EXPECT_EQ(rig.all, rig.fired);
    EXPECT_EQ(rig.pool.FindTrigger(once), -1);
    EXPECT_EQ(rig.pool.FindTrigger(later), 1);
    EXPECT_EQ(rig.clock.restarts.size(), 1u) << "the removal restarted the timer";
}

TEST(TimerPool, EventsMayChangeTheListWhileItIsServed) {
    Rig rig;
    int32_t a = 0, b = 0;
    a = rig.pool.AddTrigger(100, false, [&](velfw::TObject*, int32_t h, uint32_t i, int32_t e) {
        rig.fired.push_back({h, i, e});
        rig.pool.RemoveTrigger(b);
        for (int k = 0; k < 50; ++k) rig.Add(100);  // moves the list's storage
    });
    b = rig.Add(100);
    rig.clock.now += 100;
    rig.pool.ServiceTriggers();
    ASSERT_FALSE(rig.fired.empty());
    EXPECT_EQ(rig.fired[0], (Fired{a, 100, 100}));
    EXPECT_EQ(rig.pool.FindTrigger(a), -1);
    EXPECT_EQ(rig.pool.FindTrigger(b), -1);
}

TEST(TimerPool, AFailingEventStopsTheTick) {
    Rig rig;
    rig.pool.AddTrigger(100, true, [](velfw::TObject*, int32_t, uint32_t, int32_t) { throw std::runtime_error("x"); });
    rig.Add(100);
    rig.clock.now += 100;
    EXPECT_THROW(rig.pool.ServiceTriggers(), std::runtime_error);
    EXPECT_TRUE(rig.fired.empty());
    EXPECT_TRUE(rig.all.empty());
}

TEST(TimerPool, ElapsedTimeSaturates) {
    Rig rig;
    rig.clock.now = 0;
    const int32_t h = rig.Add(100);
    rig.clock.now = 0x7FFFFFFFu;
    rig.pool.ServiceTriggers();
    rig.clock.now += 100;
    rig.pool.ServiceTriggers();
    ASSERT_EQ(rig.fired.size(), 2u);
    EXPECT_EQ(rig.fired[1], (Fired{h, 100, kMaxElapsedTime}));
}

TEST(TimerPool, PoolWithoutTriggersNeverSetsATimer) {
    Rig rig;
    rig.pool.RemoveTrigger(12345);
    rig.pool.ServiceTriggers();
    rig.pool.Shutdown();
    EXPECT_EQ(rig.clock.restarts, std::vector<int32_t>{0});
    EXPECT_TRUE(rig.all.empty());

    Rig other;
    const int32_t h = other.Add(200);
    other.pool.RemoveTrigger(h + 1);
    EXPECT_EQ(other.pool.Triggers().size(), 1u);
    other.pool.Shutdown();
    EXPECT_EQ(other.clock.restarts, (std::vector<int32_t>{200, 0}));
    EXPECT_TRUE(other.pool.Triggers().empty());
}
