// The timer pool: any number of timed triggers served from one window timer
// on a hidden window of its own. Which triggers are due, and the period that
// serves them all, are decided in KvTimerRules; this side owns the window,
// sets the timer and reads the tick count.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "KvBase.h"
#include "KvTimerRules.h"
#include "UtilityWindow.h"

namespace kv {

class TKvTimerPool : public TKvComponent, private ITimerPoolHost {
public:
    explicit TKvTimerPool(velfw::TComponent* owner);
    ~TKvTimerPool() override;

    // Fired after each trigger's own event, with the same arguments.
    TTriggerEvent OnAllTriggers;
    // Where the pool reads the time; tests set a clock of their own.
    std::function<uint32_t()> TickSource = [] { return static_cast<uint32_t>(::GetTickCount()); };

    // Raises ENoTimersAvailable when the window timer cannot be set; the
    // trigger stays and the pool keeps its period.
    int32_t AddTrigger(uint32_t interval, bool repeats, TTriggerEvent onTrigger, bool active = true) {
        return pool_.AddTrigger(interval, repeats, std::move(onTrigger), active);
    }
    void RemoveTrigger(int32_t handle) { pool_.RemoveTrigger(handle); }
    int FindTrigger(int32_t handle) const { return pool_.FindTrigger(handle); }
    const std::vector<TKvTrigger>& Triggers() const { return pool_.Triggers(); }
    int32_t ActiveCount() const { return pool_.ActiveCount(); }
    int32_t TimerInterval() const { return pool_.TimerInterval(); }
    // The hidden window the timer is set on; null once it has gone.
    HWND WindowHandle() const { return window_ ? window_->Handle() : nullptr; }

    // One tick of the window timer: fires every due trigger.
    virtual void ServiceTriggers() { pool_.ServiceTriggers(); }

private:
    uint32_t TickCount() override { return TickSource(); }
    void RestartTimer(int32_t interval) override;
    bool HandleWindowMessage(velfw::TMessage& message);

    TKvTriggerPool pool_;
    std::unique_ptr<velfw::TUtilityWindow> window_;
};

}  // namespace kv
