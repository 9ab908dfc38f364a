// The private messages of the saver's form. No program of the product sends
// them; what ends a showing from outside (a test, the demo, a benchmark)
// takes them from here.
#pragma once

#include <windows.h>

namespace saver {

// Reserved by the form, which does nothing with it.
constexpr UINT kIgnoredMessage = WM_USER + 1;
// Ends the saver as a key would.
constexpr UINT kEndSaverMessage = WM_USER + 2;

}  // namespace saver
