// What this process holds: private bytes, kernel handles, GDI and USER
// objects. Header-only, so the saver's test build and the benchmark helper
// can read it without the test runner.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <string>

namespace testing_support {

struct ProcessHoldings {
    unsigned long long PrivateBytes = 0;
    unsigned long Handles = 0;
    unsigned long Gdi = 0;
    unsigned long User = 0;

    std::string Text() const {
        return "private=" + std::to_string(PrivateBytes) + " handles=" + std::to_string(Handles) +
               " gdi=" + std::to_string(Gdi) + " user=" + std::to_string(User);
    }
};

inline ProcessHoldings CurrentHoldings() {
    ProcessHoldings h;
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc))
        // Wine leaves PrivateUsage at 0; on Windows the two are the same figure.
        h.PrivateBytes = pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
    // Looked up: the headers hide it from a build for Windows XP.
    using GetProcessHandleCountFunction = BOOL(WINAPI*)(HANDLE, DWORD*);
    auto getHandles = reinterpret_cast<GetProcessHandleCountFunction>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount"));
    DWORD handles = 0;
    if (getHandles && getHandles(::GetCurrentProcess(), &handles)) h.Handles = handles;
    h.Gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    h.User = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    return h;
}

}  // namespace testing_support
