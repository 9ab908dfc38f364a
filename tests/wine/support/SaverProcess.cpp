#include "SaverProcess.h"

#include <cstdio>

#include "MessagePump.h"

namespace testing_support {

SaverProcess::SaverProcess(const std::string& program, const std::string& arguments) {
    // Built by appending: the compiler misreads the chained operator+ as an overlapping copy.
    std::string cmd = "\"";
    cmd.append(program).append("\" ").append(arguments);
    // On a busy host Wine now and then fails a start while it sets the new
    // process up, before any of the program's code has run (its process
    // creation waits for no more than that): a start is tried up to three
    // times, and each failure is told on the test's output.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            process_ = pi.hProcess;
            id_ = pi.dwProcessId;
            ::CloseHandle(pi.hThread);
            startError_.clear();
            return;
        }
        const DWORD error = ::GetLastError();
        char text[256] = {};
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                         sizeof text, nullptr);
        startError_ = cmd + ": error " + std::to_string(error) + " " + text;
        std::fprintf(stderr, "start %d failed: %s\n", attempt, startError_.c_str());
        if (attempt < 3) ::Sleep(500);
    }
}

SaverProcess::~SaverProcess() {
    if (!process_) return;
    if (Running()) {
        ::TerminateProcess(process_, 99);
        ::WaitForSingleObject(process_, 5000);
    }
    ::CloseHandle(process_);
}

bool SaverProcess::WaitForExit(DWORD ms, DWORD* code) {
    if (!process_) return false;
    DWORD start = ::GetTickCount();
    // Keep this thread's windows served while the saver may talk to them.
    while (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        if (::GetTickCount() - start > ms) return false;
        PumpFor(20);
    }
    if (code) ::GetExitCodeProcess(process_, code);
    return true;
}

bool SaverProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

namespace {
struct Collect {
    DWORD pid;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectWindow(HWND wnd, LPARAM lp) {
    auto* c = reinterpret_cast<Collect*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid == c->pid) c->found.push_back(wnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> SaverProcess::TopWindows() const {
    Collect c{id_, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

HWND SaverProcess::WaitForWindow(const std::string& className, DWORD ms) const {
    DWORD start = ::GetTickCount();
    do {
        for (HWND w : TopWindows()) {
            char name[256] = {};
            ::GetClassNameA(w, name, sizeof name);
            if (className == name) return w;
        }
        PumpFor(20);
    } while (::GetTickCount() - start < ms);
    return nullptr;
}

}  // namespace testing_support
