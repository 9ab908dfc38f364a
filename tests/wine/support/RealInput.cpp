#include "RealInput.h"

#include "MessagePump.h"

namespace testing_support {

namespace {

INPUT KeyEvent(WORD key, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    // The arrows and the Windows keys are extended keys on a real keyboard.
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
        case VK_INSERT:
        case VK_DELETE:
        case VK_LWIN:
        case VK_RWIN:
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
    }
    return in;
}

}  // namespace

bool SendChord(const KeyChord& chord) {
    std::vector<INPUT> events;
    for (WORD m : chord.Modifiers) events.push_back(KeyEvent(m, false));
    events.push_back(KeyEvent(chord.Key, false));
    events.push_back(KeyEvent(chord.Key, true));
    for (auto it = chord.Modifiers.rbegin(); it != chord.Modifiers.rend(); ++it) events.push_back(KeyEvent(*it, true));
    const UINT sent = ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    return sent == events.size();
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (!thread || !::GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

bool BringToForeground(HWND window, DWORD ms) {
    if (::GetForegroundWindow() != window) ::SetForegroundWindow(window);
    return PumpUntil([&] { return ::GetForegroundWindow() == window; }, ms);
}

bool FocusWindowOfOtherProcess(HWND window) {
    const DWORD own = ::GetCurrentThreadId();
    const DWORD other = ::GetWindowThreadProcessId(window, nullptr);
    if (!other || !::AttachThreadInput(own, other, TRUE)) return false;
    ::SetFocus(window);
    const bool focused = ::GetFocus() == window;
    ::AttachThreadInput(own, other, FALSE);
    return focused && PumpUntil([&] { return FocusOfThread(window) == window; }, 2000);
}

}  // namespace testing_support
