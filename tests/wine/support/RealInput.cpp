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

const MouseButtonPress kLeftButton{MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 0, "left"};
const MouseButtonPress kRightButton{MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 0, "right"};
const MouseButtonPress kMiddleButton{MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 0, "middle"};
const MouseButtonPress kSideButton1{MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON1, "side button 1"};
const MouseButtonPress kSideButton2{MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON2, "side button 2"};
const MouseButtonPress* const kMouseButtons[5] = {&kLeftButton, &kRightButton, &kMiddleButton, &kSideButton1,
                                                  &kSideButton2};

bool SendButton(const MouseButtonPress& button) {
    INPUT events[2] = {};
    for (INPUT& in : events) {
        in.type = INPUT_MOUSE;
        in.mi.mouseData = button.SideButton;
    }
    events[0].mi.dwFlags = button.Down;
    events[1].mi.dwFlags = button.Up;
    return ::SendInput(2, events, sizeof(INPUT)) == 2;
}

namespace {

bool ThreadInfoOf(HWND window, GUITHREADINFO& info) {
    info = {};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return thread && ::GetGUIThreadInfo(thread, &info);
}

}  // namespace

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info;
    return ThreadInfoOf(window, info) ? info.hwndFocus : nullptr;
}

HWND CaptureOfThread(HWND window) {
    GUITHREADINFO info;
    return ThreadInfoOf(window, info) ? info.hwndCapture : nullptr;
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
