// A hidden window of our own that only carries messages (a hand-over between
// threads, timers, DDE, broadcasts of the shell). It owns its handle, passes
// every message to its owner and lets nothing the owner raises unwind into
// the system: a failure is reported and the message counts as answered.
#pragma once

#include <windows.h>

#include <functional>

#include "Controls.h"

namespace velfw {

// True when the handler answered the message (its answer in Result); false
// sends it on to the default procedure.
using TUtilityHandler = std::function<bool(TMessage& message)>;

enum class TUtilityWindowKind {
    MessageOnly,     // reached only through its handle
    HiddenTopLevel,  // also gets what is broadcast to every top-level window
};

class TUtilityWindow {
public:
    // The class is registered at its first use. Raises when the window
    // cannot be made.
    TUtilityWindow(const char* className, TUtilityWindowKind kind, TUtilityHandler handler = nullptr);
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;
    virtual ~TUtilityWindow();

    // Null once the window has gone (destroyed from outside, or its thread ended).
    HWND Handle() const { return handle_; }

protected:
    // Windows of their own kind answer here; the default asks the handler.
    // The owner may free this object from inside: the procedure touches
    // nothing of it afterwards.
    virtual bool HandleMessage(TMessage& message);

private:
    friend LRESULT CALLBACK UtilityWindowProc(HWND, UINT, WPARAM, LPARAM);

    HWND handle_ = nullptr;
    TUtilityHandler handler_;
};

}  // namespace velfw
