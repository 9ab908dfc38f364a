// Guards for what a scope sets up and must undo however it ends: a step run
// at the exit, and a variable put back. Free of Windows, so that the rule
// code uses them too; the owners of Windows handles are in WinHandles.h.
// An undo step runs while an exception may be unwinding: it must not raise.
#pragma once

#include <memory>
#include <utility>

namespace velfw {

// Runs `step` when the scope ends.
template <typename Step>
class ScopeExit {
public:
    explicit ScopeExit(Step step) : step_(std::move(step)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { step_(); }

private:
    Step step_;
};

// Keeps the value `variable` has (or sets it to `value` for the scope) and
// puts the kept value back when the scope ends: a busy flag, a mode changed
// while a menu is shown.
template <typename T>
class ScopedValue {
public:
    explicit ScopedValue(T& variable) : variable_(variable), saved_(variable) {}
    ScopedValue(T& variable, T value) : variable_(variable), saved_(std::exchange(variable, std::move(value))) {}
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;
    ~ScopedValue() { variable_ = std::move(saved_); }

private:
    T& variable_;
    T saved_;
};

// Whether its owner still lives. An owner whose handlers may free it (an
// event, a hint, a message handler) takes a watch before it runs one and
// reads nothing of itself afterwards unless the watch says it lives. The
// owner's destructor ends it first where its own teardown may run handlers;
// otherwise it ends with the owner.
class LifeMark {
public:
    class Watch {
    public:
        bool Alive() const { return *alive_; }

    private:
        friend class LifeMark;
        explicit Watch(std::shared_ptr<const bool> alive) : alive_(std::move(alive)) {}
        std::shared_ptr<const bool> alive_;
    };

    LifeMark() = default;
    LifeMark(const LifeMark&) = delete;
    LifeMark& operator=(const LifeMark&) = delete;
    ~LifeMark() { End(); }

    void End() { *alive_ = false; }
    Watch Watched() const { return Watch(alive_); }

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velfw
