// Keys and mouse buttons as a user presses them: injected with SendInput, so
// that they reach the window with the focus (a key) or under the pointer or
// holding the capture (a button) through the system's input queue and that
// program's own message loop, exactly as real input does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A key with the modifiers held while it is pressed ("Shift+Tab" is
// {VK_TAB, {VK_SHIFT}}).
struct KeyChord {
    WORD Key;
    std::vector<WORD> Modifiers;
    std::string Name;
};

// Presses and releases the chord: the modifiers go down in order, the key
// goes down and up, the modifiers come up in reverse. False when the system
// took fewer events than were sent.
bool SendChord(const KeyChord& chord);

// A mouse button: its down and up events, and the side button it is
// (XBUTTON1 or XBUTTON2) for the X events.
struct MouseButtonPress {
    DWORD Down;
    DWORD Up;
    DWORD SideButton;
    std::string Name;
};
extern const MouseButtonPress kLeftButton, kRightButton, kMiddleButton, kSideButton1, kSideButton2;
// All five, for the tests that press each.
extern const MouseButtonPress* const kMouseButtons[5];

// Presses and releases the button where the pointer is, without moving it.
// False when the system took fewer events than were sent.
bool SendButton(const MouseButtonPress& button);

// The window with the keyboard focus in the thread that owns `window`, or
// null when the system cannot say.
HWND FocusOfThread(HWND window);

// The window that holds the mouse capture in the thread that owns `window`,
// or null.
HWND CaptureOfThread(HWND window);

// Makes `window` (a top-level window of another process) the foreground
// window and waits up to `ms` until the system says it is.
bool BringToForeground(HWND window, DWORD ms);

// Moves the keyboard focus to `window` (any window of another process) by
// joining that thread's input for the call; true when it has the focus.
bool FocusWindowOfOtherProcess(HWND window);

}  // namespace testing_support
