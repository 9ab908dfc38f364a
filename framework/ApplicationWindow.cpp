#include "ApplicationWindow.h"

#include "Forms.h"

namespace velfw {

namespace {

// Owner chains are short (a box, its form, the application window); the
// bound only keeps a broken chain from looping.
constexpr int kMaxOwnerDepth = 32;

bool OwnedBy(HWND window, HWND owner) {
    HWND w = window;
    for (int depth = 0; depth < kMaxOwnerDepth && w; ++depth) {
        w = ::GetWindow(w, GW_OWNER);
        if (w == owner) return true;
    }
    return false;
}

struct OwnedWindowSearch {
    HWND owner;
    DWORD thread;
    bool enabledOnly;
    bool firstOnly;
    std::vector<HWND> found;
};

// Top-level windows come in their order on the screen, uppermost first.
BOOL CALLBACK CollectOwnedWindow(HWND window, LPARAM lp) {
    auto& search = *reinterpret_cast<OwnedWindowSearch*>(lp);
    if (::GetWindowThreadProcessId(window, nullptr) != search.thread || !::IsWindowVisible(window)) return TRUE;
    if (search.enabledOnly && !::IsWindowEnabled(window)) return TRUE;
    if (!OwnedBy(window, search.owner)) return TRUE;
    search.found.push_back(window);
    return search.firstOnly ? FALSE : TRUE;
}

std::vector<HWND> ShownOwnedWindows(HWND owner, bool enabledOnly, bool firstOnly) {
    OwnedWindowSearch search{owner, ::GetWindowThreadProcessId(owner, nullptr), enabledOnly, firstOnly, {}};
    ::EnumWindows(CollectOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND WindowToActivate(HWND applicationWindow) {
    if (!applicationWindow) return nullptr;
    const std::vector<HWND> found = ShownOwnedWindows(applicationWindow, true, true);
    return found.empty() ? nullptr : found.front();
}

TApplicationWindow::TApplicationWindow() : TUtilityWindow(kApplicationWindowClass, TUtilityWindowKind::ApplicationWindow) {}

void TApplicationWindow::HideForms() {
    hidden_ = ShownOwnedWindows(Handle(), false, false);
    for (HWND w : hidden_) ::ShowWindow(w, SW_HIDE);
}

void TApplicationWindow::ShowForms() {
    for (HWND w : hidden_) {
        if (!::IsWindow(w)) continue;
        // A form the program hid in the meantime stays hidden.
        if (TWinControl* control = TWinControl::FromHandle(w); control && !control->Visible()) continue;
        ::ShowWindow(w, SW_SHOWNA);
    }
    hidden_.clear();
}

void TApplicationWindow::ActivateForm() {
    if (HWND target = WindowToActivate(Handle())) ::SetActiveWindow(target);
}

bool TApplicationWindow::HandleMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_SYSCOMMAND:
            // The taskbar's click on the button. Done here rather than by the
            // default, which on some systems hides and shows the owned
            // windows by itself and so would leave the restore by another
            // copy of the program nothing to show.
            if ((m.WParam & 0xFFF0) == SC_MINIMIZE || (m.WParam & 0xFFF0) == SC_RESTORE) {
                ::ShowWindow(Handle(), (m.WParam & 0xFFF0) == SC_MINIMIZE ? SW_MINIMIZE : SW_RESTORE);
                m.Result = 0;
                return true;
            }
            return false;
        case WM_SIZE:
            // The taskbar's commands and a plain ShowWindow from another
            // process (a second copy restoring this one) both end up here.
            if (m.WParam == SIZE_MINIMIZED && !minimized_) {
                minimized_ = true;
                HideForms();
            } else if (m.WParam == SIZE_RESTORED && minimized_) {
                minimized_ = false;
                ShowForms();
                // Also when this window stayed active while minimized (the
                // hidden form left it the activation): no WM_ACTIVATE comes then.
                ::PostMessageA(Handle(), CM_ACTIVATEFORM, 0, 0);
            }
            return false;
        case WM_ACTIVATE:
        case WM_SETFOCUS:
            // Handed on from inside the activation, the focus would come back
            // here when the system finishes it.
            if (m.Msg == WM_SETFOCUS || LOWORD(m.WParam) != WA_INACTIVE)
                ::PostMessageA(Handle(), CM_ACTIVATEFORM, 0, 0);
            return false;
        case CM_ACTIVATEFORM:
            if ((::GetActiveWindow() == Handle() || ::GetFocus() == Handle()) && !::IsIconic(Handle())) ActivateForm();
            m.Result = 0;
            return true;
        case WM_CLOSE:
            // "Close" on the taskbar button closes the program as closing its
            // main form does; the default would destroy this window and every
            // form it owns under the program's feet.
            if (Application && Application->MainForm()) Application->MainForm()->Close();
            m.Result = 0;
            return true;
        default:
            return false;
    }
}

}  // namespace velfw
