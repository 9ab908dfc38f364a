// Where page lists and shortcuts live; no Windows here.
#pragma once

#include <optional>
#include <string>

namespace globals {

// The section and key of an Internet Shortcut that hold its address.
inline constexpr const char* ShortcutSection = "InternetShortcut";
inline constexpr const char* ShortcutKey = "url";

// The folder argument trimmed of blanks and control characters and ended with
// a backslash; none when nothing is left (an empty name would list the root
// of the current drive).
std::optional<std::string> PageListFolder(const std::string& folder);
// Every folder entry but "." and ".." is one page.
bool IsPageEntry(const std::string& name);
// DataDir + "Window" + n + "\".
std::string WindowPagesFolder(const std::string& dataDir, int n);
// DesktopDir + "\Last Seen on Velunor.url".
std::string LastSeenShortcutPath(const std::string& desktopDir);

}  // namespace globals
