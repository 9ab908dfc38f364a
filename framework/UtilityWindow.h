// A hidden window of our own that only carries messages (a hand-over between
// threads, timers, DDE, broadcasts of the shell, the application's taskbar
// button). It is a window of the framework's procedure like any control's,
// so nothing its owner raises unwinds into the system: a failure is
// reported. It owns its handle and passes every message to its owner first;
// what the owner leaves takes the framework's routes (menu commands by id)
// and then the default procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "Controls.h"

namespace velfw {

// True when the handler answered the message (its answer in Result); false
// sends it on.
using TUtilityHandler = std::function<bool(TMessage& message)>;

enum class TUtilityWindowKind {
    MessageOnly,     // reached only through its handle
    HiddenTopLevel,  // also gets what is broadcast to every top-level window
    // A zero-size top-level window with a caption, a system menu and a
    // minimize box: the owner of the program's forms and, shown while the
    // main form is, its taskbar button (TApplicationWindow).
    ApplicationWindow,
};

class TUtilityWindow {
public:
    // The class is registered at its first use. Raises when the class cannot
    // be registered or the window made.
    TUtilityWindow(const char* className, TUtilityWindowKind kind, TUtilityHandler handler = nullptr);
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;
    virtual ~TUtilityWindow();

    // Null once the window has gone (destroyed from outside, or its thread ended).
    HWND Handle() const;
    void SetTitle(const std::string& title);

protected:
    // Windows of their own kind answer here; the default asks the handler.
    // The owner may free this object from inside: nothing of it is touched
    // afterwards.
    virtual bool HandleMessage(TMessage& message);

private:
    // The framework's control behind the window; it hands every message here first.
    class TWindowControl;
    TUtilityHandler handler_;
    std::unique_ptr<TWindowControl> control_;
};

}  // namespace velfw
