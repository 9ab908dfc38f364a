// The threaded timer against the real Win32 thread, event and message calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <vector>

#include "MessageBoxes.h"
#include "MessagePump.h"
#include "ThdTimer.h"

using velfw::TThreadedTimer;

using testing_support::BoxOwner;
using testing_support::MessageBoxCloser;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

struct TickLog {
    std::vector<DWORD> starts, ends;
    bool inside = false;
    bool overlapped = false;
    bool wrongThread = false;
    DWORD mainThread = ::GetCurrentThreadId();
    void Bind(TThreadedTimer& t, DWORD work = 0) {
        t.OnTimer = [this, work](velfw::TObject*) {
            if (inside) overlapped = true;
            if (::GetCurrentThreadId() != mainThread) wrongThread = true;
            inside = true;
            starts.push_back(::GetTickCount());
            if (work) ::Sleep(work);
            ends.push_back(::GetTickCount());
            inside = false;
        };
    }
};

}  // namespace

TEST(ThdTimer, DefaultsOfANewTimer) {
    TThreadedTimer t(nullptr);
    EXPECT_FALSE(t.Enabled());
    EXPECT_FALSE(t.AllowZero);
    EXPECT_EQ(t.Interval(), 1000u);
    EXPECT_EQ(t.ThreadPriority(), velfw::TThreadPriority::tpNormal);
    t.SetThreadPriority(velfw::TThreadPriority::tpHigher);
    EXPECT_EQ(t.ThreadPriority(), velfw::TThreadPriority::tpHigher);
}

TEST(ThdTimer, FirstTickComesOneIntervalAfterEnabling) {
    TThreadedTimer t(nullptr);
    t.SetInterval(200);
    TickLog log;
    log.Bind(t);
    DWORD start = ::GetTickCount();
    t.SetEnabled(true);
    t.SetEnabled(true);  // a second switch-on changes nothing
    ASSERT_TRUE(PumpUntil([&] { return !log.starts.empty(); }, 3000));
    DWORD first = log.starts[0] - start;
    EXPECT_GE(first, 180u);
    EXPECT_LT(first, 1000u);
    EXPECT_FALSE(log.wrongThread);
}

TEST(ThdTimer, SlowHandlerDelaysTheNextTickAndTicksNeverOverlap) {
    TThreadedTimer t(nullptr);
    t.SetInterval(30);
    TickLog log;
    log.Bind(t, 50);
    t.SetEnabled(true);
    PumpFor(1200);
    t.SetEnabled(false);
    EXPECT_FALSE(log.overlapped);
    ASSERT_GE(log.starts.size(), 4u);
    // About 80 ms apart: the wait starts only after the handler has finished.
    for (size_t i = 1; i < log.starts.size(); ++i) EXPECT_GE(log.starts[i] - log.ends[i - 1], 20u) << i;
    EXPECT_LE(log.starts.size(), 16u);  // 1200 / 80 = 15 at best
}

TEST(ThdTimer, ChangingTheIntervalRestartsTheWait) {
    TThreadedTimer t(nullptr);
    t.SetInterval(400);
    TickLog log;
    log.Bind(t);
    DWORD start = ::GetTickCount();
    t.SetEnabled(true);
    PumpFor(250);
    t.SetInterval(500);
    EXPECT_TRUE(t.Enabled());
    ASSERT_TRUE(PumpUntil([&] { return !log.starts.empty(); }, 3000));
    // Not at 400 ms: the new wait of 500 ms began at the change.
    EXPECT_GE(log.starts[0] - start, 650u);
}

TEST(ThdTimer, IntervalZeroRunsOnlyWhenAllowed) {
    TThreadedTimer t(nullptr);
    t.SetInterval(0);
    TickLog log;
    log.Bind(t);
    t.SetEnabled(true);
    EXPECT_TRUE(t.Enabled());
    PumpFor(300);
    EXPECT_TRUE(log.starts.empty());

    TThreadedTimer z(nullptr);
    z.AllowZero = true;
    z.SetInterval(0);
    TickLog zlog;
    zlog.Bind(z);
    z.SetEnabled(true);
    PumpFor(300);
    z.SetEnabled(false);
    EXPECT_GT(zlog.starts.size(), 20u);
    EXPECT_FALSE(zlog.overlapped);
}

TEST(ThdTimer, DisablingStopsTicksAndEnablingResumesThem) {
    TThreadedTimer t(nullptr);
    t.SetInterval(20);
    TickLog log;
    log.Bind(t);
    t.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return log.starts.size() >= 3; }, 3000));
    t.SetEnabled(false);
    size_t seen = log.starts.size();
    PumpFor(200);
    EXPECT_EQ(log.starts.size(), seen);
    t.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return log.starts.size() >= seen + 3; }, 3000));
}

TEST(ThdTimer, DestroyingAnEnabledTimerEndsItsThreadPromptlyWithoutATick) {
    {
        auto t = std::make_unique<TThreadedTimer>(nullptr);
        t->SetInterval(10000);
        t->SetEnabled(true);
        DWORD start = ::GetTickCount();
        t.reset();
        EXPECT_LT(::GetTickCount() - start, 1000u);
    }
    // With a worker that is very likely inside a hand-over at the moment of
    // destruction: the destructor must serve it and no handler may run.
    for (int round = 0; round < 20; ++round) {
        auto t = std::make_unique<TThreadedTimer>(nullptr);
        bool destroying = false, tickedWhileDestroying = false;
        t->AllowZero = true;
        t->SetInterval(0);
        t->OnTimer = [&](velfw::TObject*) {
            if (destroying) tickedWhileDestroying = true;
        };
        t->SetEnabled(true);
        PumpFor(static_cast<DWORD>(round % 3));
        destroying = true;
        t.reset();
        EXPECT_FALSE(tickedWhileDestroying) << round;
    }
}

TEST(ThdTimer, TimerFreedByItsOwnHandlerDoesNotDeadlock) {
    auto* t = new TThreadedTimer(nullptr);
    t->SetInterval(20);
    bool freed = false;
    t->OnTimer = [&](velfw::TObject* sender) {
        delete static_cast<TThreadedTimer*>(sender);
        freed = true;
    };
    t->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return freed; }, 3000));
}

TEST(ThdTimer, FailingHandlerDoesNotStopLaterTicks) {
    TThreadedTimer t(nullptr);
    t.SetInterval(20);
    int calls = 0;
    t.OnTimer = [&](velfw::TObject*) {
        ++calls;
        if (calls % 2) throw std::runtime_error("handler fails");
        throw velfw::Exception("handler fails again");
    };
    t.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return calls >= 5; }, 3000));
}

namespace {
const char kBoxCaption[] = "ThdTimerTest modal box";
}  // namespace

TEST(ThdTimer, TicksArriveWhileAModalBoxIsUp) {
    TThreadedTimer t(nullptr);
    t.SetInterval(30);
    int ticksWhileBoxUp = 0;
    t.OnTimer = [&](velfw::TObject*) {
        if (::FindWindowA(nullptr, kBoxCaption)) ++ticksWhileBoxUp;
    };
    // Left up for a second, so that ticks can come.
    MessageBoxCloser closer(BoxOwner::Thread(::GetCurrentThreadId()), 10000, 1000);
    t.SetEnabled(true);
    ::MessageBoxA(nullptr, "The timer ticks behind this box.", kBoxCaption, MB_OK);
    t.SetEnabled(false);
    EXPECT_TRUE(closer.Finish());
    EXPECT_EQ(closer.Text(), "The timer ticks behind this box.");
    EXPECT_GE(ticksWhileBoxUp, 5);
}
