#include "OgFirst.h"

#include "Forms.h"
#include "WinHandles.h"

namespace tray {

namespace {

velfw::UniqueKernelHandle g_mutex;
bool g_firstInstance = false;

std::string WindowTextOf(HWND window, int capacity) {
    std::string text(static_cast<size_t>(capacity), '\0');
    const int n = ::GetWindowTextA(window, text.data(), capacity);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

}  // namespace

std::string GetMutexName() {
    HWND app = velfw::Application ? velfw::Application->Handle() : nullptr;
    return "PREVINST:" + (app ? WindowTextOf(app, 513) : std::string());
}

void InitOgFirstUnit() {
    // The mutex is named from the application window's default title, so the
    // window is made now, before the main block sets the title.
    if (velfw::Application) velfw::Application->Initialize();
    const std::string name = GetMutexName();
    ::SetLastError(0);
    g_mutex.reset(::CreateMutexA(nullptr, TRUE, name.c_str()));
    g_firstInstance = g_mutex && ::GetLastError() == 0;
}

void DoneOgFirstUnit() {
    g_mutex.reset();
    g_firstInstance = false;
}

bool IsFirstInstance() { return g_firstInstance; }

void ActivateFirstInstance() {
    HWND own = velfw::Application ? velfw::Application->Handle() : nullptr;
    if (!own) return;
    char className[256] = {};
    if (!::GetClassNameA(own, className, sizeof className)) return;
    const std::string title = WindowTextOf(own, 256);

    HWND first = ::FindWindowExA(nullptr, nullptr, className, title.c_str());
    if (!first) return;
    DWORD process = 0;
    ::GetWindowThreadProcessId(first, &process);
    // A newer window lies above older ones: the first found is normally our own.
    if (process != ::GetCurrentProcessId()) return;
    HWND other = ::FindWindowExA(nullptr, first, className, title.c_str());
    if (!other) return;
    if (::IsIconic(other)) {
        ::ShowWindow(other, SW_RESTORE);
        return;
    }
    // The pop-up is read before the foreground moves: the other copy makes
    // its window active as soon as it gets to it, and from then on that
    // window is its own last active pop-up, so a read after the move would
    // find the open about box only when this copy happened to be quicker.
    HWND target = other;
    HWND popup = ::GetLastActivePopup(other);
    if (popup && popup != other && ::IsWindowVisible(popup) && ::IsWindowEnabled(popup)) target = popup;
    ::SetForegroundWindow(other);
    ::BringWindowToTop(target);
}

}  // namespace tray
