#include "WindowGuard.h"

#include "WideText.h"
#include "WinHandles.h"

namespace saver {

namespace {

// A hung window must not keep the saver from ending.
constexpr UINT kSystemTimeoutMs = 2000;

// What the guard asks of a new window's process: when it started, and its end.
constexpr DWORD kLookAndEnd = PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE;

}  // namespace

std::function<HANDLE(DWORD, DWORD)> OpenGuardedProcess = [](DWORD access, DWORD processId) {
    return ::OpenProcess(access, FALSE, processId);
};

std::string StoredTitle(HWND window) {
    wchar_t wide[512] = {};
    const int n = ::InternalGetWindowText(window, wide, 512);
    return n > 0 ? velfw::WideToAnsi(wide, static_cast<size_t>(n)) : std::string();
}

bool HasStoredTitle(HWND window) {
    wchar_t first[2] = {};
    return ::InternalGetWindowText(window, first, 2) > 0;
}

std::optional<uint64_t> ProcessCreationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

BOOL CALLBACK EnumTopWindowsProc(HWND window, LPARAM lp) {
    try {
        auto* list = reinterpret_cast<TTopWindowList*>(lp);
        // The cheapest test first: most top-level windows are hidden, and
        // every question about another process's window is a round trip to
        // the system. The title is only asked whether it is there.
        if (list->Count <= TTopWindowList::kCapacity - 1 && ::IsWindowVisible(window) &&
            ::GetParent(window) == nullptr && HasStoredTitle(window))
            list->Add(window);
    } catch (...) {
        // One window that cannot be looked at is left out; the listing goes on.
    }
    return TRUE;
}

void ListTopWindows(TTopWindowList& list) {
    list.Count = 0;
    ::EnumWindows(EnumTopWindowsProc, reinterpret_cast<LPARAM>(&list));
}

DWORD KillProcess(HANDLE process) {
    if (!::TerminateProcess(process, 0)) return ::GetLastError();
    return 0;
}

void DealWithNewWindows(const TTopWindowList& initial, TTopWindowList& current, std::optional<uint64_t> saverCreated) {
    ListTopWindows(current);
    for (void* handle : NewWindows(initial, current)) {
        HWND window = static_cast<HWND>(handle);
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        WindowProcessFacts facts;
        facts.OwnProcess = processId == ::GetCurrentProcessId();
        velfw::UniqueKernelHandle process;
        bool canEnd = false;
        if (!facts.OwnProcess && processId != 0) {
            process.reset(OpenGuardedProcess(kLookAndEnd, processId));
            canEnd = static_cast<bool>(process);
            // A program that may not be ended (another user's) still gets
            // its WM_QUIT; it is never ended through a later open.
            if (!process) process.reset(OpenGuardedProcess(PROCESS_QUERY_LIMITED_INFORMATION, processId));
            const std::optional<uint64_t> created = process ? ProcessCreationTime(process.get()) : std::nullopt;
            facts.CreationKnown = created.has_value();
            facts.ProcessCreated = created.value_or(0);
        }
        if (ActionForNewWindow(facts, saverCreated) == NewWindowAction::QuitAndTerminate) {
            ::PostMessageA(window, WM_QUIT, 0, 0);
            if (canEnd) KillProcess(process.get());
        } else {
            // Posted: a window that does not answer cannot hold the tick up.
            ::PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }
}

void CloseErrorWindow(HWND window) {
    if (!window || !::IsWindow(window)) return;
    if (!IsErrorWindowTitle(StoredTitle(window))) return;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, kSystemTimeoutMs, &result);
}

}  // namespace saver
