#include "Threads.h"

namespace velfw {

TThread::TThread(bool createSuspended) : suspended_(createSuspended) {
    runGate_.reset(::CreateEventA(nullptr, TRUE, createSuspended ? FALSE : TRUE, nullptr));
    wake_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    stop_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!runGate_ || !wake_ || !stop_) throw Exception("Cannot create the thread's events");
    DWORD id = 0;
    thread_.reset(::CreateThread(nullptr, 0, ThreadEntry, this, 0, &id));
    if (!thread_) throw Exception("Cannot create a thread");
}

TThread::~TThread() { Join(); }

DWORD WINAPI TThread::ThreadEntry(void* self) {
    try {
        static_cast<TThread*>(self)->Execute();
    } catch (...) {
        // Nothing may leave a thread entry; the worker just ends.
    }
    return 0;
}

void TThread::Resume() {
    suspended_ = false;
    ::SetEvent(runGate_.get());
}

void TThread::Suspend() {
    suspended_ = true;
    ::ResetEvent(runGate_.get());
    Wake();
}

void TThread::Terminate() {
    terminated_ = true;
    ::SetEvent(stop_.get());
}

void TThread::Join() {
    if (!thread_) return;
    Terminate();
    ::WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

bool TThread::Sleep(DWORD ms) {
    HANDLE gate[2] = {stop_.get(), runGate_.get()};
    if (::WaitForMultipleObjects(2, gate, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return false;
    HANDLE wait[2] = {stop_.get(), wake_.get()};
    const DWORD r = ::WaitForMultipleObjects(2, wait, FALSE, ms == 0 ? INFINITE : ms);
    return r == WAIT_TIMEOUT && !terminated_ && !suspended_;
}

}  // namespace velfw
