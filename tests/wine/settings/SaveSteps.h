// What the settings program's test build shows of a page-list save, named
// once for the test build and the tests that run it.
#pragma once

#include <windows.h>

namespace testing_support {

// The file that gets one line for every step of a save ("move <from> to
// <to>", "make folder <path>"...), in the order they are taken.
inline constexpr const char* kSaveStepLogVariable = "VELUNOR_SAVE_STEP_LOG";
// "<k>": the process ends before it takes step k (1 is the first), at once
// and without cleaning up, as when it is killed.
inline constexpr const char* kSaveEndAtVariable = "VELUNOR_SAVE_END_AT";
inline constexpr UINT kEndedAtStepExitCode = 86;

}  // namespace testing_support
