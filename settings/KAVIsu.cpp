// Entry of the settings program: one instance at a time, the wizard form and
// the message loop.
#include <windows.h>

#include "Forms.h"
#include "KAVIsup.h"
#include "KxCursors.h"

namespace kavisu {

namespace {

constexpr char kApplicationClass[] = "TApplication";
constexpr char kFormClass[] = "TVelunorForm";

BOOL CALLBACK BringFormForward(HWND wnd, LPARAM shown) {
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, kFormClass) != 0 || !::IsWindowVisible(wnd)) return TRUE;
    ::ShowWindow(wnd, SW_RESTORE);
    ::SetForegroundWindow(wnd);
    *reinterpret_cast<bool*>(shown) = true;
    return FALSE;
}

// The running instance's application window carries the title. Only a window
// of that class counts: a folder window of the same name in the file manager
// must not keep the program from starting.
bool BroughtRunningInstanceForward() {
    HWND running = ::FindWindowA(kApplicationClass, kSetupTitle);
    if (!running) return false;
    bool shown = false;
    ::EnumThreadWindows(::GetWindowThreadProcessId(running, nullptr), BringFormForward,
                        reinterpret_cast<LPARAM>(&shown));
    if (!shown) {
        ::ShowWindow(running, SW_RESTORE);
        ::SetForegroundWindow(running);
    }
    return true;
}

}  // namespace

int SettingsMain() {
    velfw::InitFormsUnit();
    kx::RegisterKxCursors(::GetModuleHandleA(nullptr));
    try {
        if (!BroughtRunningInstanceForward()) {
            velfw::Application->Initialize();
            velfw::Application->SetTitle(kSetupTitle);
            velfw::Application->CreateForm<TForm1>()->Show();
            velfw::Application->Run();
        }
    } catch (...) {
        velfw::ReportCurrentException();
    }
    velfw::DoneFormsUnit();
    return 0;
}

}  // namespace kavisu

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return kavisu::SettingsMain(); }
