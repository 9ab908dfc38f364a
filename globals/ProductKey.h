// Where the product keeps its settings: the display settings are values of
// this key below HKEY_LOCAL_MACHINE, the install values those of its
// sub-key kInstallSection.
#pragma once

namespace globals {

inline constexpr char kProductKey[] = "Software\\KAVI";
inline constexpr char kInstallSection[] = "Velunor";

}  // namespace globals
