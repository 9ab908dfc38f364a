// Replacing a control's window procedure and giving it back. A hook sees
// every message of the control first (those of its window and those sent
// with Perform) and passes on what it does not handle to the procedure it
// replaced. Hooks on one control may be removed in any order, and a control
// that goes away first leaves its hooks harmless.
#pragma once

#include "Controls.h"

namespace velfw {

class TWindowHook {
public:
    // `proc` handles the hooked control's messages; it calls CallSaved for
    // what goes on to the replaced procedure.
    explicit TWindowHook(TWndMethod proc) : proc_(std::move(proc)) {}
    TWindowHook(const TWindowHook&) = delete;
    TWindowHook& operator=(const TWindowHook&) = delete;
    ~TWindowHook() { Remove(); }

    // Puts this hook in front of the control's current procedure; a hook
    // that is installed elsewhere is removed there first.
    void Install(TWinControl& control);
    // Gives the control back the procedure this hook replaced. Nothing when
    // not installed, or when the control is gone.
    void Remove();
    bool Installed() const { return control_ != nullptr; }
    TWinControl* Control() const { return control_; }

    void CallSaved(TMessage& message);

private:
    friend class TWinControl;
    void Forget();  // the control is going: drop it without touching it

    TWndMethod proc_;
    TWndMethod saved_;
    TWinControl* control_ = nullptr;
    TWindowHook* below_ = nullptr;  // installed on the same control before this one
    TWindowHook* above_ = nullptr;  // installed after this one
};

}  // namespace velfw
