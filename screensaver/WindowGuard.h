// The window guard's Win32 side: listing the top-level windows the guard
// watches, dealing with the new ones, and closing error windows. The
// decisions are in WindowGuardRules.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "WindowGuardRules.h"

namespace saver {

// A window's title as the system stores it. Never sends WM_GETTEXT, which
// to a hung window of another thread of this process would wait for ever.
std::string StoredTitle(HWND window);
// Whether that title has at least one character, without copying it.
bool HasStoredTitle(HWND window);

// Opens a process by its id with the rights asked (OpenProcess without
// inheritance); null when the system refuses. Tests put their own in place.
extern std::function<HANDLE(DWORD access, DWORD processId)> OpenGuardedProcess;

// When the process was created (file-time units); none when the system
// cannot say.
std::optional<uint64_t> ProcessCreationTime(HANDLE process);

// Adds `window` to the list when it is a visible, titled window without a
// parent or owner; always goes on.
BOOL CALLBACK EnumTopWindowsProc(HWND window, LPARAM list);
// The watched windows as they are now, in the system's order.
void ListTopWindows(TTopWindowList& list);

// 0 when the process was terminated, else the system's last error code.
// Takes the handle its creation time was read from: a second open by the id
// could meet another program that has taken the id over meanwhile.
DWORD KillProcess(HANDLE process);

// Lists the windows anew into `current` and deals with each that was not in
// `initial`: a window of a program started after the saver (created at
// `saverCreated`, when known) gets WM_QUIT and its program is ended; any
// other is asked to close.
void DealWithNewWindows(const TTopWindowList& initial, TTopWindowList& current, std::optional<uint64_t> saverCreated);

// Tells `window` to close when its title marks it as an error window.
void CloseErrorWindow(HWND window);

}  // namespace saver
