// open_window <title> [seconds] [owned]: shows a visible top-level window
// (untitled when the title is empty) and serves it until it is closed or the
// time is up (default 60 s). With "owned" the window is a pop-up owned by a
// hidden window of the program, as a dialog is. Writes "<title>.closed" beside
// itself when it is asked to close, so a test can tell a polite close from a
// termination. A WM_QUIT posted to it is ignored (window and loop stay), as
// a program that does not take it would: only a termination ends it early.
// Its own ends exit with 1 (closed) or 4 (time up), a termination with the
// code the terminating program gave.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string g_marker;
bool g_destroyed = false;

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        HANDLE f = ::CreateFileA(g_marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
        ::DestroyWindow(wnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        g_destroyed = true;
        return 0;
    }
    return ::DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string title = argv[1];
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 60;
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, n);
    g_marker = self.substr(0, self.find_last_of('\\') + 1) + title + ".closed";

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "VelunorTestWindow";
    ::RegisterClassA(&wc);
    HWND owner = nullptr;
    if (argc > 3 && std::string(argv[3]) == "owned") {
        owner = ::CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        if (!owner) return 3;
    }
    // An owned window is a pop-up, as a dialog is: the system reports its
    // owner as its parent only then.
    const DWORD style = owner ? WS_POPUP | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
    HWND wnd = ::CreateWindowExA(0, wc.lpszClassName, title.c_str(), style | WS_VISIBLE, 50, 50, 300, 200, owner,
                                 nullptr, wc.hInstance, nullptr);
    if (!wnd) return 3;
    const DWORD start = ::GetTickCount();
    MSG msg;
    for (;;) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (g_destroyed) return 1;
        if (::GetTickCount() - start > seconds * 1000) return 4;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}
