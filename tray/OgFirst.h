// One copy of the tray launcher at a time: a named mutex claimed while the
// program's units start, and the way a second copy brings the first forward.
#pragma once

#include <windows.h>

#include <string>

namespace tray {

// "PREVINST:" and the application window's text as it is now.
std::string GetMutexName();

// Claims the mutex (initially owned), after making the application window
// it is named from; the copy is the first only when the mutex was created
// and did not exist before.
void InitOgFirstUnit();
void DoneOgFirstUnit();
bool IsFirstInstance();

// In a second copy: restores or brings forward the first copy's application
// window, or the box that copy has open.
void ActivateFirstInstance();

}  // namespace tray
