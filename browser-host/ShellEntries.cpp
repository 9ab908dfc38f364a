#include "ShellEntries.h"

#include "FpuControl.h"
#include "WinHandles.h"

namespace browser {

namespace {

// One library of the shell, loaded once it is first needed.
struct ShellLibrary {
    const char* name;
    velfw::UniqueModule module;
};

ShellLibrary g_hhctrl{"hhctrl.ocx", {}};
ShellLibrary g_shell32{"shell32.dll", {}};

HMODULE Loaded(ShellLibrary& lib) {
    if (lib.module) return lib.module.get();
    // No file-error boxes while loading, and the library may not keep the
    // control word it likes.
    UINT oldMode = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
    uint16_t cw = Get8087CW();
    HMODULE m = ::LoadLibraryA(lib.name);
    Set8087CW(cw);
    ::SetErrorMode(oldMode);
    // Values up to 32 are error codes of the old loader, not modules.
    if (reinterpret_cast<UINT_PTR>(m) <= 32) return nullptr;
    lib.module.reset(m);
    return m;
}

// The entry (a name, or an ordinal made with MAKEINTRESOURCE), looked up at
// every call; null when the library or the entry is missing.
template <typename F>
F Entry(ShellLibrary& lib, LPCSTR entry) {
    HMODULE m = Loaded(lib);
    return m ? reinterpret_cast<F>(::GetProcAddress(m, entry)) : nullptr;
}

}  // namespace

HWND HtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data) {
    using HtmlHelpAFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    auto entry = Entry<HtmlHelpAFunction>(g_hhctrl, "HtmlHelpA");
    return entry ? entry(caller, file.c_str(), command, data) : nullptr;
}

void* LockSharedBlock(HANDLE handle, DWORD processId) {
    using LockFunction = void*(WINAPI*)(HANDLE, DWORD);
    auto entry = Entry<LockFunction>(g_shell32, MAKEINTRESOURCEA(521));
    return entry ? entry(handle, processId) : nullptr;
}

BOOL UnlockSharedBlock(void* block) {
    using UnlockFunction = BOOL(WINAPI*)(void*);
    auto entry = Entry<UnlockFunction>(g_shell32, MAKEINTRESOURCEA(522));
    return entry ? entry(block) : FALSE;
}

BOOL FreeSharedBlock(HANDLE handle, DWORD processId) {
    using FreeFunction = BOOL(WINAPI*)(HANDLE, DWORD);
    auto entry = Entry<FreeFunction>(g_shell32, MAKEINTRESOURCEA(523));
    return entry ? entry(handle, processId) : FALSE;
}

void DoneShellEntriesUnit() {
    for (ShellLibrary* lib : {&g_hhctrl, &g_shell32}) lib->module.reset();
}

}  // namespace browser
