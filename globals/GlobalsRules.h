// Text rules of the shared start-up; no Windows here.
#pragma once

#include <cstdint>
#include <string>

namespace globals {

// "(%d.%d.%d.%d)" of a file version.
std::string FormatVersionText(uint16_t major, uint16_t minor, uint16_t release, uint16_t build);
// An install value that exists but is empty counts as missing.
std::string InstallValueOr(const std::string& value, const std::string& fallback);
// Folders of the install values always end with a backslash.
std::string InstallFolder(const std::string& value, const std::string& fallback);
// Marks are the first character of their value (the default's when empty).
char InstallMark(const std::string& value, const std::string& fallback);
// The folder levels of a path, shortest first ("c:\a\b" gives "c:\a", "c:\a\b").
std::string ParentFolder(const std::string& path);

}  // namespace globals
