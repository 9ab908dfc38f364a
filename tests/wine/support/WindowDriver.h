// Driving another process's windows as a user would, for black-box tests of
// the settings program: controls are read with messages the system marshals
// between processes, acted on with posted messages, and every wait is
// bounded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A top-level window of process `processId` titled exactly `title`, waited
// for up to `ms`; null when none came.
HWND WaitForTopWindow(DWORD processId, const std::string& title, DWORD ms);
// Every top-level window of the process titled exactly `title`.
std::vector<HWND> TopWindowsTitled(DWORD processId, const std::string& title);

// Child windows at any depth, in the order the system lists them.
std::vector<HWND> ChildWindows(HWND parent);
// The first child at any depth whose text is `text` (and, when given, whose
// class is `className`); null when there is none.
HWND FindChild(HWND parent, const std::string& text, const std::string& className = "");
// The `index`th child at any depth of class `className`; null past the last.
HWND FindChildOfClass(HWND parent, const std::string& className, size_t index = 0);

std::string WindowText(HWND wnd);
std::string ClassOf(HWND wnd);
std::vector<std::string> ListItems(HWND listBox);
std::vector<bool> ListSelection(HWND listBox);
bool IsChecked(HWND button);
int CurrentTab(HWND tabs);
int TabCount(HWND tabs);
// The captions of the tabs shown, in their order.
std::vector<std::string> TabCaptions(HWND tabs);
bool IsShown(HWND wnd);
// How many pixels of `wnd`'s place on the screen show `colour` exactly.
int ScreenPixelsOf(HWND wnd, COLORREF colour);

// Acting: each returns once the target process has handled the message (or
// the wait ran out, which is false).
bool ClickButton(HWND button);
enum class MouseButton { Left, Right };
// A click in the middle of `wnd` with the system's mouse input, as the user's
// mouse makes it: it reaches whatever window is on top there. The click is
// handled in the target's own time: wait for its effect.
bool ClickWithMouse(HWND wnd, MouseButton button = MouseButton::Left);
bool SetWindowTextOf(HWND wnd, const std::string& text);
bool SelectListItem(HWND listBox, int index, bool selected);
// A key pressed and released at `wnd`. Keys are posted (they go through the
// program's message loop), so they may still be queued when this returns:
// wait for their effect.
bool PressKey(HWND wnd, WORD key);
// Steps the tab control's selection to tab `index` with the arrow keys, as a
// user picks a tab; false when the program refused a step.
bool StepToTab(HWND tabs, int index);

// Waits up to `ms` for a message box of the process, answers it with the
// button `answer` (IDYES, IDNO, IDOK...) and returns its text; empty (and a
// test failure) when no box came or it would not go.
std::string AnswerMessageBox(DWORD processId, int answer, DWORD ms);

}  // namespace testing_support
