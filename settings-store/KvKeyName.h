// Key-name rules of the registry store; no Windows here.
#pragma once

#include <string>

namespace kv {

// The name without any leading or trailing backslashes (inner ones stay).
std::string StripOuterBackslashes(const std::string& name);
// "Software\" + the program's file name without folder and extension.
std::string DefaultKeyName(const std::string& programPath);

}  // namespace kv
