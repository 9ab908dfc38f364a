// Entries of the shell's libraries, loaded on first use and called by name:
// a missing library or entry gives the entry's "missing" result.
#pragma once

#include <windows.h>

#include <string>

namespace browser {

// HtmlHelpA of hhctrl.ocx; null when the library or the entry is missing.
HWND HtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data);

// Unit shutdown: frees every library that was loaded.
void DoneShellEntries();

}  // namespace browser
