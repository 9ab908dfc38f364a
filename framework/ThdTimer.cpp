#include "ThdTimer.h"

namespace velfw {

namespace {

const char kTimerWindowClass[] = "TThreadedTimerWindow";
constexpr UINT kTickMessage = WM_APP + 0x105;

const int kPriorities[] = {THREAD_PRIORITY_IDLE,   THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL,
                           THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                           THREAD_PRIORITY_TIME_CRITICAL};

}  // namespace

// ---- TTimerThread

TTimerThread::TTimerThread(TThreadedTimer* owner) : owner_(owner) {
    stopEvent_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    runGate_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent_ || !runGate_) throw Exception("Cannot create the timer's events");
    DWORD id = 0;
    thread_.reset(::CreateThread(nullptr, 0, ThreadEntry, this, 0, &id));
    if (!thread_) throw Exception("Cannot create the timer thread");
}

TTimerThread::~TTimerThread() {
    if (thread_) {
        Terminate();
        ::SetEvent(stopEvent_.get());
        Resume();
        WaitFor();
    }
}

DWORD WINAPI TTimerThread::ThreadEntry(void* self) {
    try {
        static_cast<TTimerThread*>(self)->Execute();
    } catch (...) {
        // Nothing may leave a thread entry.
    }
    return 0;
}

void TTimerThread::Execute() {
    // One wait per tick while the timer runs: every wait is a round trip to
    // the Wine server, and the timer runs for hours. The gate is waited on
    // only while suspended; the flag is set before the gate closes and
    // cleared before it opens, so a stale look at either is caught by the
    // next turn of the loop.
    while (!terminated_) {
        if (suspended_) {
            if (::WaitForSingleObject(runGate_.get(), INFINITE) != WAIT_OBJECT_0) return;
            continue;
        }
        DWORD r = ::WaitForSingleObject(stopEvent_.get(), Interval.load());
        // A tick only when the wait ran out while the timer was still on.
        if (r == WAIT_TIMEOUT && !terminated_ && !suspended_) owner_->HandOver();
    }
}

void TTimerThread::Resume() {
    suspended_ = false;
    ::SetEvent(runGate_.get());
}

void TTimerThread::Suspend() {
    suspended_ = true;
    ::ResetEvent(runGate_.get());
    // Wakes a waiting worker so that it parks on the gate at once.
    ::SetEvent(stopEvent_.get());
}

void TTimerThread::WaitFor() {
    HANDLE h = thread_.get();
    for (;;) {
        DWORD r = ::MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1) break;
        // Serves only the messages other threads send (the hand-over), none of
        // the posted ones.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

TThreadPriority TTimerThread::Priority() const {
    int p = ::GetThreadPriority(thread_.get());
    for (size_t i = 0; i < sizeof kPriorities / sizeof kPriorities[0]; ++i)
        if (kPriorities[i] == p) return static_cast<TThreadPriority>(i);
    return TThreadPriority::tpNormal;
}

void TTimerThread::SetPriority(TThreadPriority priority) {
    ::SetThreadPriority(thread_.get(), kPriorities[static_cast<int>(priority)]);
}

// ---- TThreadedTimer

TThreadedTimer::TThreadedTimer(TComponent* owner) : TComponent(owner) {
    // A sent message is served by any message retrieval of the main thread,
    // a modal loop's (message box, script alert) included.
    auto tick = [this](TMessage& m) {
        if (m.Msg != kTickMessage) return false;
        DoTimer();
        // The timer may be gone by now (freed by its own handler): touch nothing.
        return true;
    };
    window_ = std::make_unique<TUtilityWindow>(kTimerWindowClass, TUtilityWindowKind::MessageOnly, tick);
    thread_ = new TTimerThread(this);
}

TThreadedTimer::~TThreadedTimer() {
    enabled_ = false;  // the field only: a hand-over still in progress then does nothing
    thread_->Terminate();
    ::SetEvent(thread_->StopEvent());
    thread_->Resume();
    // Freed from inside its own tick: the worker is blocked in the hand-over
    // until this handler returns, so let it go now rather than wait for it.
    if (destroyedFlag_) {
        *destroyedFlag_ = true;
        if (::InSendMessage()) ::ReplyMessage(0);
    }
    thread_->WaitFor();
    delete thread_;
    thread_ = nullptr;
}

void TThreadedTimer::HandOver() {
    ::SendMessageA(window_->Handle(), kTickMessage, 0, 0);
}

void TThreadedTimer::DoTimer() {
    if (!enabled_ || !OnTimer || IsDestroying()) return;
    bool destroyed = false;
    destroyedFlag_ = &destroyed;
    TNotifyEvent handler = OnTimer;  // a copy: the handler may free the timer, and OnTimer with it
    try {
        handler(this);
    } catch (...) {
        // A failing handler does not stop the timer.
    }
    if (!destroyed) destroyedFlag_ = nullptr;
}

void TThreadedTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    if (!value) {
        thread_->Suspend();
    } else if (thread_->Interval > 0 || AllowZero) {
        ::SetEvent(thread_->StopEvent());
        thread_->Resume();
    }
}

void TThreadedTimer::SetInterval(uint32_t value) {
    if (value == thread_->Interval) return;
    bool was = enabled_;
    SetEnabled(false);
    thread_->Interval = value;
    SetEnabled(was);
}

}  // namespace velfw
