#include "PageListRules.h"

#include "SysUtils.h"

namespace globals {

std::optional<std::string> PageListFolder(const std::string& folder) {
    std::string dir = velfw::Trim(folder);
    if (dir.empty()) return std::nullopt;
    return velfw::IncludeTrailingBackslash(dir);
}

bool IsPageEntry(const std::string& name) { return name != "." && name != ".."; }

std::string WindowPagesFolder(const std::string& dataDir, int n) {
    return dataDir + "Window" + velfw::IntToStr(n) + "\\";
}

std::string LastSeenShortcutPath(const std::string& desktopDir) {
    return desktopDir + "\\Last Seen on Velunor.url";
}

}  // namespace globals
