#include "ShellEntries.h"

#include "FpuControl.h"

namespace browser {

namespace {

// One library of the shell, loaded once it is first needed.
struct ShellLibrary {
    const char* name;
    HMODULE module;
};

ShellLibrary g_hhctrl{"hhctrl.ocx", nullptr};

HMODULE Loaded(ShellLibrary& lib) {
    if (lib.module) return lib.module;
    // No file-error boxes while loading, and the library may not keep the
    // control word it likes.
    UINT oldMode = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
    uint16_t cw = Get8087CW();
    HMODULE m = ::LoadLibraryA(lib.name);
    Set8087CW(cw);
    ::SetErrorMode(oldMode);
    // Values up to 32 are error codes of the old loader, not modules.
    if (reinterpret_cast<UINT_PTR>(m) <= 32) return nullptr;
    lib.module = m;
    return m;
}

}  // namespace

HWND HtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data) {
    using HtmlHelpAFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    HMODULE m = Loaded(g_hhctrl);
    if (!m) return nullptr;
    auto entry = reinterpret_cast<HtmlHelpAFunction>(::GetProcAddress(m, "HtmlHelpA"));
    if (!entry) return nullptr;
    return entry(caller, file.c_str(), command, data);
}

void DoneShellEntries() {
    for (ShellLibrary* lib : {&g_hhctrl}) {
        if (lib->module) ::FreeLibrary(lib->module);
        lib->module = nullptr;
    }
}

}  // namespace browser
