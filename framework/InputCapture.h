// What a full-screen program takes from the desktop and must give back: the
// cursor (hidden) and the mouse (captured). Each undo runs once, whatever
// path the program leaves by.
#pragma once

#include <windows.h>

namespace velfw {

class CursorHider {
public:
    CursorHider() = default;
    CursorHider(const CursorHider&) = delete;
    CursorHider& operator=(const CursorHider&) = delete;
    ~CursorHider() { ShowAgain(); }
    void Hide();      // one decrement of the system's cursor display count
    void ShowAgain(); // one increment, only after a Hide
    bool Hidden() const { return hidden_; }

private:
    bool hidden_ = false;
};

class MouseCapture {
public:
    MouseCapture() = default;
    MouseCapture(const MouseCapture&) = delete;
    MouseCapture& operator=(const MouseCapture&) = delete;
    ~MouseCapture() { Release(); }
    void Take(HWND window);
    void Release();  // only when this window still holds the capture
    bool Taken() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;
};

}  // namespace velfw
