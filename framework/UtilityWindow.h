// A window of our own that only carries messages (a hand-over, timers,
// broadcasts): its class registered once, `self` kept in GWLP_USERDATA.
#pragma once

#include <windows.h>

#include <string>

#include "Classes.h"

namespace velfw {

// `parent` HWND_MESSAGE makes a message-only window, nullptr a hidden
// top-level one (which broadcasts reach). Raises when it cannot be made.
inline HWND AllocateUtilityWindow(const char* className, WNDPROC proc, HWND parent, void* self) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::string("Cannot register window class ") + className);
    HWND wnd = ::CreateWindowExA(0, className, "", parent ? 0 : WS_POPUP, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
    if (!wnd) throw Exception(std::string("Cannot create a window of class ") + className);
    ::SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return wnd;
}

}  // namespace velfw
