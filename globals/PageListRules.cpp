#include "PageListRules.h"

#include "SysUtils.h"

namespace globals {

std::optional<std::string> PageListFolder(const std::string& folder) {
    std::string dir = vcl::Trim(folder);
    if (dir.empty()) return std::nullopt;
    return vcl::IncludeTrailingBackslash(dir);
}

bool IsPageEntry(const std::string& name) { return name != "." && name != ".."; }

std::string WindowPagesFolder(const std::string& dataDir, int n) {
    return dataDir + "Window" + vcl::IntToStr(n) + "\\";
}

std::string LastSeenShortcutPath(const std::string& desktopDir) {
    return desktopDir + "\\Last Seen on Velunor.url";
}

}  // namespace globals
