#include "KvTimerRules.h"

#include <algorithm>

namespace kv {

namespace {
int64_t AsSigned(uint32_t tick) { return static_cast<int32_t>(tick); }
}  // namespace

int32_t TriggerElapsed(uint32_t lastTime, uint32_t now) {
    uint32_t elapsed = now - lastTime;
    if (AsSigned(lastTime) > AsSigned(now)) --elapsed;
    return static_cast<int32_t>(elapsed);
}

int32_t TKvTriggerPool::AddTrigger(uint32_t interval, bool repeats, TTriggerEvent onTrigger, bool active) {
    do {
        lastHandle_ = lastHandle_ == INT32_MAX ? 1 : lastHandle_ + 1;
    } while (FindTrigger(lastHandle_) >= 0);
    TKvTrigger trigger;
    trigger.Handle = lastHandle_;
    trigger.Interval = interval;
    trigger.LastTime = host_.TickCount();
    trigger.OnTrigger = std::move(onTrigger);
    trigger.Active = active;
    trigger.Repeats = repeats;
    triggers_.push_back(std::move(trigger));
    Recount();
    ComputeInterval();
    RestartTimer();
    return lastHandle_;
}

void TKvTriggerPool::RemoveTrigger(int32_t handle) {
    const int index = FindTrigger(handle);
    if (index < 0) return;
    triggers_.erase(triggers_.begin() + index);
    Recount();
    ComputeInterval();
    RestartTimer();
}

int TKvTriggerPool::FindTrigger(int32_t handle) const {
    for (size_t i = 0; i < triggers_.size(); ++i)
        if (triggers_[i].Handle == handle) return static_cast<int>(i);
    return -1;
}

void TKvTriggerPool::Recount() {
    activeCount_ = static_cast<int32_t>(
        std::count_if(triggers_.begin(), triggers_.end(), [](const TKvTrigger& t) { return t.Active; }));
}

void TKvTriggerPool::ComputeInterval() {
    // 64 bits throughout: intervals are unsigned 32-bit and remaining times may be negative.
    const uint32_t now = host_.TickCount();
    int64_t candidate = -1;  // none yet
    for (const TKvTrigger& t : triggers_) {
        if (!t.Active) continue;
        if (candidate < 0 || candidate > int64_t{t.Interval}) candidate = t.Interval;
        const int64_t since = AsSigned(t.LastTime) <= AsSigned(now) ? AsSigned(now) - AsSigned(t.LastTime)
                                                                    : int64_t{kMaxElapsedTime};
        const int64_t remaining = std::max<int64_t>(0, int64_t{t.Interval} - since);
        candidate = std::min(candidate, remaining);
    }
    if (candidate < 0) {
        timerInterval_ = 0;
        return;
    }
    candidate = std::max<int64_t>(candidate, kMinTimerInterval);
    // Lower the period until it divides every interval, so each trigger
    // falls on a tick; 55 ms is as low as it goes.
    bool lowered = true;
    while (lowered && candidate > kMinTimerInterval) {
        lowered = false;
        for (const TKvTrigger& t : triggers_) {
            const int64_t rest = int64_t{t.Interval} % candidate;
            if (rest != 0) {
                candidate -= rest;
                lowered = true;
                break;
            }
        }
    }
    candidate = std::clamp<int64_t>(candidate, kMinTimerInterval, INT32_MAX);
    timerInterval_ = static_cast<int32_t>(candidate);
}

void TKvTriggerPool::RestartTimer() { host_.RestartTimer(timerInterval_ != 0 && activeCount_ > 0 ? timerInterval_ : 0); }

void TKvTriggerPool::ServiceTriggers() {
    const uint32_t now = host_.TickCount();
    const velfw::LifeMark::Watch watch = life_.Watched();
    // The list may change under the events: its length is read at every step.
    for (int i = 0; i < static_cast<int>(triggers_.size()); ++i) {
        TKvTrigger& t = triggers_[static_cast<size_t>(i)];
        if (!t.Active) continue;
        const int32_t elapsed = TriggerElapsed(t.LastTime, now);
        // Stamped after this tick was read: not due, however short its interval.
        if (elapsed < 0 || elapsed < int64_t{t.Interval} - kEarlyFireMs) continue;
        t.LastTime = now;
        t.ElapsedTime = static_cast<int32_t>(std::min<int64_t>(int64_t{t.ElapsedTime} + elapsed, kMaxElapsedTime));
        // A copy: the record may be removed, and the events may change the list.
        const TKvTrigger fired = t;
        if (!fired.Repeats) {
            RemoveTrigger(fired.Handle);
            --i;
        }
        if (fired.OnTrigger) fired.OnTrigger(sender_, fired.Handle, fired.Interval, fired.ElapsedTime);
        if (!watch.Alive()) return;
        if (OnAllTriggers) OnAllTriggers(sender_, fired.Handle, fired.Interval, fired.ElapsedTime);
        if (!watch.Alive()) return;
    }
}

void TKvTriggerPool::Shutdown() {
    timerInterval_ = 0;
    RestartTimer();
    triggers_.clear();
    activeCount_ = 0;
}

}  // namespace kv
