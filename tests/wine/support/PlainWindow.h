// A top-level window of the test process with the default window procedure,
// destroyed with the object: something for another program to draw in, or a
// window of another program to hold the foreground.
#pragma once

#include <windows.h>

namespace testing_support {

class PlainWindow {
public:
    PlainWindow(const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                HBRUSH background = nullptr) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = background;
        wc.lpszClassName = className;
        ::RegisterClassA(&wc);
        wnd_ = ::CreateWindowExA(0, className, title, style, x, y, width, height, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    }
    ~PlainWindow() {
        if (::IsWindow(wnd_)) ::DestroyWindow(wnd_);
    }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND Handle() const { return wnd_; }

private:
    HWND wnd_ = nullptr;
};

}  // namespace testing_support
