#include "UtilityWindow.h"

#include <string>
#include <utility>

namespace velfw {

LRESULT CALLBACK UtilityWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TUtilityWindow*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<TUtilityWindow*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = wnd;
        ::SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self && msg == WM_NCDESTROY) {
        // Gone without the object's say: it keeps no dead handle.
        ::SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        self = nullptr;
    }
    if (!self) return ::DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    bool answered = false;
    try {
        answered = self->HandleMessage(m);
    } catch (...) {
        ReportCurrentException();
        answered = true;
        m.Result = 0;
    }
    return answered ? m.Result : ::DefWindowProcA(wnd, msg, wParam, lParam);
}

TUtilityWindow::TUtilityWindow(const char* className, TUtilityWindowKind kind, TUtilityHandler handler)
    : handler_(std::move(handler)) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = UtilityWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::string("Cannot register window class ") + className);
    const bool messageOnly = kind == TUtilityWindowKind::MessageOnly;
    // The handle is taken at WM_NCCREATE, the first message that can carry `this`.
    ::CreateWindowExA(0, className, "", messageOnly ? 0 : WS_POPUP, 0, 0, 0, 0, messageOnly ? HWND_MESSAGE : nullptr,
                      nullptr, instance, this);
    if (!handle_) throw Exception(std::string("Cannot create a window of class ") + className);
}

TUtilityWindow::~TUtilityWindow() {
    if (HWND wnd = std::exchange(handle_, nullptr)) {
        // Messages still on their way find no owner.
        ::SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        ::DestroyWindow(wnd);
    }
}

bool TUtilityWindow::HandleMessage(TMessage& message) { return handler_ && handler_(message); }

}  // namespace velfw
