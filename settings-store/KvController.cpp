#include "KvController.h"

#include "KvBaseRules.h"

namespace kv {

namespace {

std::function<int32_t()> g_currentYear;  // unset: the local clock

int32_t CurrentYear() {
    if (g_currentYear) return g_currentYear();
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now.wYear;
}

}  // namespace

TKvController::TKvController(velfw::TComponent* owner)
    : TKvComponent(owner), entryCommands_(std::make_unique<TKvCommandProcessor>()), epoch_(CenturyOfToday()) {
    timerPool_ = new TKvTimerPool(this);
    timerPool_->OnAllTriggers = [this](velfw::TObject* sender, int32_t handle, uint32_t interval, int32_t elapsed) {
        DoTimerTrigger(sender, handle, interval, elapsed);
    };
    // The form's controls that have no controller yet take this one.
    AnnounceInsertion();
}

TKvController::~TKvController() {
    entryCommands_.reset();
    delete timerPool_;
}

int32_t TKvController::Epoch() const {
    int32_t epoch = epoch_;
    if (OnGetEpoch) OnGetEpoch(const_cast<TKvController*>(this), epoch);
    return epoch;
}

void TKvController::SetEpoch(int32_t epoch) { epoch_ = EpochAfterWrite(epoch_, epoch); }

bool TKvController::IsSpecialControl(HWND wnd) {
    if (!OnIsSpecialControl) return false;
    bool special = false;
    OnIsSpecialControl(this, velfw::TWinControl::FromHandle(wnd), special);
    return special;
}

void TKvController::DoTimerTrigger(velfw::TObject* sender, int32_t handle, uint32_t interval, int32_t elapsedTime) {
    if (OnTimerTrigger) OnTimerTrigger(sender, handle, interval, elapsedTime);
}

void SetCurrentYearSource(std::function<int32_t()> source) { g_currentYear = std::move(source); }

int32_t CenturyOfToday() { return CenturyOf(CurrentYear()); }

HBITMAP LoadModuleBitmap(const std::string& name) { return ::LoadBitmapA(::GetModuleHandleA(nullptr), name.c_str()); }

std::string UniqueComponentName(velfw::TComponent* form, const std::string& base) {
    return UniqueComponentName(base, [form](const std::string& name) { return form->FindComponent(name) != nullptr; });
}

}  // namespace kv
