// The timer pool's triggers: which of them are due at a tick, and the one
// window-timer period that serves them all. No Windows here: the tick count
// and the window timer are behind ITimerPoolHost, so the rules run on a fake
// clock.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Classes.h"
#include "ScopeGuards.h"

namespace kv {

// (Sender, Handle, Interval, ElapsedTime)
using TTriggerEvent = std::function<void(velfw::TObject*, int32_t, uint32_t, int32_t)>;

constexpr int32_t kMinTimerInterval = 55;  // the shortest period the pool ever sets
constexpr int32_t kEarlyFireMs = 27;       // a trigger may fire this much before it is due
constexpr int32_t kMaxElapsedTime = 2147483647;

struct TKvTrigger {
    int32_t Handle = 0;
    int32_t ElapsedTime = 0;  // over all firings, saturating at kMaxElapsedTime
    uint32_t Interval = 0;
    uint32_t LastTime = 0;  // tick count of the last firing
    TTriggerEvent OnTrigger;
    bool Active = true;   // inactive triggers are neither counted nor fired
    bool Repeats = true;  // a one-shot trigger goes when it fires
};

class ITimerPoolHost {
public:
    virtual ~ITimerPoolHost() = default;
    virtual uint32_t TickCount() = 0;
    // Stops the window timer, then sets it with this period unless it is 0.
    virtual void RestartTimer(int32_t interval) = 0;
};

class TKvTriggerPool {
public:
    TKvTriggerPool(ITimerPoolHost& host, velfw::TObject* sender) : host_(host), sender_(sender) {}
    TKvTriggerPool(const TKvTriggerPool&) = delete;
    TKvTriggerPool& operator=(const TKvTriggerPool&) = delete;

    TTriggerEvent OnAllTriggers;

    // Adds a trigger counted from now; returns its handle (positive, unused).
    int32_t AddTrigger(uint32_t interval, bool repeats, TTriggerEvent onTrigger, bool active = true);
    // A handle no trigger has changes nothing.
    void RemoveTrigger(int32_t handle);
    int FindTrigger(int32_t handle) const;
    const std::vector<TKvTrigger>& Triggers() const { return triggers_; }
    int32_t ActiveCount() const { return activeCount_; }
    int32_t TimerInterval() const { return timerInterval_; }

    // Recomputes the period from the active triggers; 0 when there is none.
    void ComputeInterval();
    // Sets the window timer to the period when one is wanted, else stops it.
    void RestartTimer();
    // One window-timer tick: fires every due trigger, each followed by OnAllTriggers.
    void ServiceTriggers();
    // Stops the timer for good, before the triggers go.
    void Shutdown();

private:
    void Recount();

    ITimerPoolHost& host_;
    velfw::TObject* sender_;
    std::vector<TKvTrigger> triggers_;
    int32_t timerInterval_ = 0;
    int32_t activeCount_ = 0;
    int32_t lastHandle_ = 0;
    // An event may free the pool in the middle of a walk.
    velfw::LifeMark life_;
};

// Milliseconds from `lastTime` to `now` as the pool counts them, in 32 bits
// as tick counts are: the wrap-around difference, less one when `lastTime` is
// after `now` as signed values. Negative when `lastTime` lies ahead of `now`
// by less than half the tick range: a trigger stamped after the tick being
// served (by an event, or by a tick served inside one), which is not due.
int32_t TriggerElapsed(uint32_t lastTime, uint32_t now);

}  // namespace kv
