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
// The folder a path is in, without a trailing backslash ("c:\a\b\" and
// "c:\a\b" give "c:\a"); empty when the path has no folder part.
std::string ParentFolder(const std::string& path);

}  // namespace globals
