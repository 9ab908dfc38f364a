// Popup menus shown for real and driven with the system's input while their
// loop runs on the test's thread, every wait bounded.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "Menus.h"
#include "MessagePump.h"
#include "RealInput.h"

namespace testing_support {

// The visible popup menu windows of this process, the newest first.
inline std::vector<HWND> OpenMenus() {
    std::vector<HWND> menus;
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32768", nullptr); w;
         w = ::FindWindowExA(nullptr, w, "#32768", nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(w, &process);
        if (process == ::GetCurrentProcessId() && ::IsWindowVisible(w)) menus.push_back(w);
    }
    return menus;
}

inline void CALLBACK CloseLeftOverMenu(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }

// Shows the menu on this thread (its loop runs here) while a thread of its own
// waits for the menu's window and hands it to `drive`, which acts as the
// user. `foreground`, when given, is made the foreground window first, as the
// tray icon does with the menu's owner: keys go to the foreground window's
// thread. Whatever is still open after a few seconds is closed, so no test
// hangs in the menu's loop. False when the menu never appeared.
inline bool ShowAndDrive(velfw::TPopupMenu& menu, int x, int y, HWND foreground,
                         const std::function<void(HWND menuWindow)>& drive) {
    if (foreground) ::SetForegroundWindow(foreground);
    std::atomic<bool> appeared = false;
    std::thread user([&] {
        HWND shown = nullptr;
        const auto menuShown = [&] {
            const std::vector<HWND> open = OpenMenus();
            return !open.empty() && (shown = open.front()) != nullptr;
        };
        if (!PumpUntil(menuShown, 5000)) return;
        appeared = true;
        ::Sleep(100);  // the menu's loop takes input from now on
        drive(shown);
    });
    const UINT_PTR safety = ::SetTimer(nullptr, 0, 8000, CloseLeftOverMenu);
    menu.Popup(x, y);
    ::KillTimer(nullptr, safety);
    user.join();
    return appeared;
}

// A click of `button` on the item at `position` of the shown menu `menu`.
inline void ClickItem(HMENU menu, int position, const MouseButtonPress& button) {
    RECT r = {};
    if (!::GetMenuItemRect(nullptr, menu, position, &r)) return;
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::Sleep(100);
    SendButton(button);
    ::Sleep(200);
}

}  // namespace testing_support
