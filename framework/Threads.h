// A worker thread. It is never suspended from outside: a paused worker parks
// on an event at its next wait, so it never stops while holding something
// another thread needs. Freeing the object joins the worker.
#pragma once

#include <windows.h>

#include <atomic>

#include "Classes.h"
#include "WinHandles.h"

namespace velfw {

class TThread : public TObject {
public:
    // The worker starts at once, paused when `createSuspended`.
    explicit TThread(bool createSuspended);
    // Terminates and joins. A derived class whose Execute uses its own
    // members calls Join first in its destructor.
    ~TThread() override;

    void Resume();
    void Suspend();
    bool Suspended() const { return suspended_; }
    // Asks the worker to end: every wait of it returns at once from now on.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Ends the worker (terminating it) and waits for it. Idempotent.
    void Join();
    // Interrupts the worker's current wait (a changed interval, say).
    void Wake() { ::SetEvent(wake_.get()); }

protected:
    // Runs on the worker; catches nothing itself, the entry does.
    virtual void Execute() = 0;
    // The worker's one wait: parks while paused, then waits `ms` (for ever
    // when 0, until woken). True when the time ran out with the worker
    // running and not terminated.
    bool Sleep(DWORD ms);

private:
    static DWORD WINAPI ThreadEntry(void* self);

    UniqueKernelHandle runGate_;  // manual-reset: set while the worker may run
    UniqueKernelHandle wake_;     // auto-reset: ends the current wait early
    UniqueKernelHandle stop_;     // manual-reset: set once terminated
    UniqueKernelHandle thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{false};
};

}  // namespace velfw
