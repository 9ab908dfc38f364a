// Guards for what a scope sets up and must undo however it ends: a step run
// at the exit, and a variable put back. Free of Windows, so that the rule
// code uses them too; the owners of Windows handles are in WinHandles.h.
// An undo step runs while an exception may be unwinding: it must not raise.
#pragma once

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

}  // namespace velfw
