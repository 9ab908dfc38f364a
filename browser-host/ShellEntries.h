// Entries of the shell's libraries (shell32.dll, hhctrl.ocx),
// each library loaded on its first use and the entry called by name or
// ordinal: a missing library or entry gives the entry's "missing" result.
#pragma once

#include <windows.h>

#include <string>

namespace browser {

// HtmlHelpA of hhctrl.ocx; null when the library or the entry is missing.
HWND HtmlHelp(HWND caller, const std::string& file, UINT command, DWORD_PTR data);
// The shell's shared memory blocks (shell32.dll, ordinals 521 to 523).
void* LockSharedBlock(HANDLE handle, DWORD processId);
BOOL UnlockSharedBlock(void* block);
BOOL FreeSharedBlock(HANDLE handle, DWORD processId);

// Unit shutdown: frees every library that was loaded.
void DoneShellEntriesUnit();

}  // namespace browser
