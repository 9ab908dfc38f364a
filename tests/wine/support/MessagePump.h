// Serving the test thread's messages for a while, with every wait bounded.
#pragma once

#include <windows.h>

namespace testing_support {

// Serves the thread's messages for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// Serves messages until `done` holds or `ms` have passed; true when it holds.
template <typename F>
bool PumpUntil(F done, DWORD ms) {
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= ms) return false;
        PumpFor(5);
    }
    return true;
}

}  // namespace testing_support
