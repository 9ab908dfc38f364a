// A timer whose timing comes from a worker thread of its own rather than the
// message queue's WM_TIMER; the tick itself always runs on the thread that
// created the timer (the program's main thread).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "UtilityWindow.h"
#include "WinHandles.h"

namespace velfw {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThreadedTimer;

// The worker: waits on StopEvent with Interval as the time-out and, when the
// wait times out, hands the tick to the main thread and waits until it has run.
class TTimerThread {
public:
    explicit TTimerThread(TThreadedTimer* owner);
    ~TTimerThread();

    std::atomic<uint32_t> Interval{1000};
    HANDLE StopEvent() const { return stopEvent_.get(); }

    // The off switch: the worker parks on a gate event between waits instead
    // of being suspended wherever it happens to be.
    void Resume();
    void Suspend();
    bool Suspended() const { return suspended_; }
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Waits until the worker has ended, still serving a hand-over in progress.
    void WaitFor();

    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority priority);

private:
    static DWORD WINAPI ThreadEntry(void* self);
    void Execute();

    TThreadedTimer* owner_;
    UniqueKernelHandle stopEvent_;  // auto-reset: restarts the wait without a tick
    UniqueKernelHandle runGate_;    // manual-reset: set while the worker may run
    UniqueKernelHandle thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{true};
};

class TThreadedTimer : public TComponent {
public:
    explicit TThreadedTimer(TComponent* owner);
    ~TThreadedTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    uint32_t Interval() const { return thread_->Interval; }
    void SetInterval(uint32_t value);
    bool AllowZero = false;
    TThreadPriority ThreadPriority() const { return thread_->Priority(); }
    void SetThreadPriority(TThreadPriority value) { thread_->SetPriority(value); }

    TNotifyEvent OnTimer;

    // Runs on the main thread at each tick.
    void DoTimer();

private:
    friend class TTimerThread;
    // Called by the worker: runs DoTimer on the main thread and returns after it.
    void HandOver();

    TTimerThread* thread_ = nullptr;
    bool enabled_ = false;
    std::unique_ptr<TUtilityWindow> window_;  // message-only window of the creating thread
    bool* destroyedFlag_ = nullptr;  // set while OnTimer runs; told when the handler frees the timer
};

}  // namespace velfw
