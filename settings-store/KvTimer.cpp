#include "KvTimer.h"

#include "KvExcpt.h"

namespace kv {

namespace {
constexpr UINT_PTR kPoolTimerId = 1;
constexpr char kPoolWindowClass[] = "TVelunorTimerPoolWindow";
}  // namespace

TKvTimerPool::TKvTimerPool(velfw::TComponent* owner) : TKvComponent(owner), pool_(*this, this) {
    pool_.OnAllTriggers = [this](velfw::TObject* sender, int32_t handle, uint32_t interval, int32_t elapsed) {
        if (OnAllTriggers) OnAllTriggers(sender, handle, interval, elapsed);
    };
    window_ = std::make_unique<velfw::TUtilityWindow>(
        kPoolWindowClass, velfw::TUtilityWindowKind::MessageOnly,
        [this](velfw::TMessage& message) { return HandleWindowMessage(message); });
}

TKvTimerPool::~TKvTimerPool() {
    // The timer stops before the triggers and the window go.
    pool_.Shutdown();
}

void TKvTimerPool::RestartTimer(int32_t interval) {
    HWND wnd = WindowHandle();
    if (wnd) ::KillTimer(wnd, kPoolTimerId);
    if (interval == 0) return;
    // Without its window a timer would belong to the thread and never reach the pool.
    if (!wnd || !::SetTimer(wnd, kPoolTimerId, static_cast<UINT>(interval), nullptr)) throw ENoTimersAvailable();
}

bool TKvTimerPool::HandleWindowMessage(velfw::TMessage& message) {
    if (message.Msg != WM_TIMER) return false;
    // A failure in a trigger's event is reported at the window's edge; the
    // rest of that tick's triggers wait for the next one.
    ServiceTriggers();
    message.Result = 0;
    return true;
}

}  // namespace kv
