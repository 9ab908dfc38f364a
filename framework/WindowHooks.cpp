#include "WindowHooks.h"

namespace velfw {

void TWindowHook::Install(TWinControl& control) {
    Remove();
    control_ = &control;
    saved_ = control.WindowProc;
    below_ = control.topHook_;
    if (below_) below_->above_ = this;
    control.topHook_ = this;
    control.WindowProc = [this](TMessage& m) { proc_(m); };
}

void TWindowHook::Remove() {
    if (!control_) return;
    if (above_) {
        // A later hook called us as its saved procedure: it now calls ours.
        above_->saved_ = std::move(saved_);
        above_->below_ = below_;
    } else {
        control_->WindowProc = std::move(saved_);
        control_->topHook_ = below_;
    }
    if (below_) below_->above_ = above_;
    Forget();
}

void TWindowHook::Forget() {
    control_ = nullptr;
    below_ = above_ = nullptr;
    saved_ = nullptr;
}

void TWindowHook::CallSaved(TMessage& message) {
    if (saved_) saved_(message);
}

}  // namespace velfw
