#include <gtest/gtest.h>

#include <ostream>
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
    friend std::ostream& operator<<(std::ostream& os, const Fired& f) {
        return os << "{" << f.handle << ", " << f.interval << ", " << f.elapsed << "}";
    }
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
        int32_t elapsed;
    } rows[] = {
        {0x7FFFFFF0u, 0x80000010u, 31},  // past the sign: the wrap-around difference less one
        {0xFFFFFFF0u, 0x00000010u, 32},  // past the wrap: the plain difference
        {0, 100, 100},
        {0x7FFFFFFFu, 0x80000000u, 0},
        {0x00000000u, 0x7FFFFFFFu, 0x7FFFFFFF},  // the longest time that still reads as past
    };
    for (const auto& r : rows) EXPECT_EQ(TriggerElapsed(r.last, r.now), r.elapsed) << std::hex << r.last;
    // A last firing stamped after `now` reads as negative, however far ahead
    // within half the range, across the sign and across the wrap alike.
    const struct {
        uint32_t last, now;
    } ahead[] = {
        {1001, 1000}, {1005, 1000}, {0x80000000u, 0x7FFFFFFFu}, {0x00000010u, 0xFFFFFFF0u},
        {0x7FFFFFFFu + 1000u, 1000},
    };
    for (const auto& r : ahead) EXPECT_LT(TriggerElapsed(r.last, r.now), 0) << std::hex << r.last << " " << r.now;

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

// A last firing a little after the tick being served (a trigger added by an
// event once the clock had moved on, or stamped by a service nested in an
// event) is not due, and counts from that stamp once the clock gets there.
TEST(TimerPool, ALastFiringAheadOfTheTickIsNotDue) {
    const struct {
        uint32_t added;   // when the trigger is added: its LastTime
        uint32_t served;  // the tick served before the clock reaches it
        uint32_t interval;
    } rows[] = {
        {1005, 1000, 100},
        {1005, 1000, 10},  // fires early by more than its interval, but not before its stamp
        {1005, 1000, 0},
        {0x80000003u, 0x7FFFFFFEu, 100},     // across the sign
        {0x00000004u, 0xFFFFFFF0u, 100},     // across the wrap
        {1000 + 3600000u, 1000, 60000},      // an hour behind a box
    };
    for (const auto& r : rows) {
        Rig rig;
        rig.clock.now = r.added;
        const int32_t h = rig.Add(r.interval);
        rig.clock.now = r.served;
        rig.pool.ServiceTriggers();
        EXPECT_TRUE(rig.fired.empty()) << std::hex << r.added << " served at " << r.served;
        EXPECT_EQ(rig.pool.Triggers()[0].LastTime, r.added);
        EXPECT_EQ(rig.pool.Triggers()[0].ElapsedTime, 0);
        rig.clock.now = r.added + r.interval;
        rig.pool.ServiceTriggers();
        EXPECT_EQ(rig.fired, (std::vector<Fired>{{h, r.interval, static_cast<int32_t>(r.interval)}}))
            << std::hex << r.added;
    }
}

TEST(TimerPool, ATriggerAddedByAnEventWaitsItsInterval) {
    Rig rig;
    int32_t added = 0;
    rig.pool.AddTrigger(100, false, [&](velfw::TObject*, int32_t, uint32_t, int32_t) {
        rig.clock.now += 30;  // the event took a while
        added = rig.Add(200);
    });
    rig.clock.now += 100;
    rig.pool.ServiceTriggers();
    EXPECT_TRUE(rig.fired.empty()) << "added 30 ms after the tick: not due on it";
    rig.clock.now += 200;
    rig.pool.ServiceTriggers();
    EXPECT_EQ(rig.fired, (std::vector<Fired>{{added, 200, 200}}));
}

TEST(TimerPool, TriggersServedByANestedTickAreNotFiredAgainByTheOuterOne) {
    Rig rig;
    bool nested = false;
    rig.pool.AddTrigger(100, true, [&](velfw::TObject*, int32_t, uint32_t, int32_t) {
        if (nested) return;
        nested = true;
        // As a modal box's loop would serve the window timer meanwhile.
        rig.clock.now += 150;
        rig.pool.ServiceTriggers();
    });
    const int32_t b = rig.Add(100);
    rig.clock.now += 100;
    const uint32_t outer = rig.clock.now;
    rig.pool.ServiceTriggers();
    EXPECT_EQ(rig.fired, (std::vector<Fired>{{b, 100, 250}})) << "once, by the nested tick";
    EXPECT_EQ(rig.pool.Triggers()[1].LastTime, outer + 150);
    rig.clock.now = outer + 250;
    rig.pool.ServiceTriggers();
    EXPECT_EQ(rig.fired.back(), (Fired{b, 100, 350}));
}

// An event may free the pool (its owner goes, say): the walk stops there.
TEST(TimerPool, AnEventThatFreesThePoolEndsTheWalk) {
    for (const bool fromAllTriggers : {false, true}) {
        FakeClock clock;
        velfw::TObject sender;
        auto* pool = new TKvTriggerPool(clock, &sender);
        int laterFirings = 0;
        // Touches nothing of its own once the pool is gone: it may be the pool's.
        const TTriggerEvent freeIt = [&pool](velfw::TObject*, int32_t, uint32_t, int32_t) {
            TKvTriggerPool* doomed = pool;
            pool = nullptr;
            delete doomed;
        };
        if (fromAllTriggers) pool->OnAllTriggers = freeIt;
        pool->AddTrigger(100, true, fromAllTriggers ? TTriggerEvent{} : freeIt);
        for (int k = 0; k < 3; ++k)
            pool->AddTrigger(100, k == 1, [&](velfw::TObject*, int32_t, uint32_t, int32_t) { ++laterFirings; });
        clock.now += 100;
        pool->ServiceTriggers();
        EXPECT_EQ(pool, nullptr);
        EXPECT_EQ(laterFirings, 0) << (fromAllTriggers ? "OnAllTriggers" : "OnTrigger");
        delete pool;
    }
}
