#include "GlobalsRules.h"

#include <cstdio>

#include "SysUtils.h"

namespace globals {

std::string FormatVersionText(uint16_t major, uint16_t minor, uint16_t release, uint16_t build) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%u.%u.%u.%u)", static_cast<unsigned>(major), static_cast<unsigned>(minor),
                  static_cast<unsigned>(release), static_cast<unsigned>(build));
    return buf;
}

std::string InstallValueOr(const std::string& value, const std::string& fallback) {
    return value.empty() ? fallback : value;
}

std::string InstallFolder(const std::string& value, const std::string& fallback) {
    return velfw::IncludeTrailingBackslash(InstallValueOr(value, fallback));
}

char InstallMark(const std::string& value, const std::string& fallback) {
    std::string v = InstallValueOr(value, fallback);
    return v.empty() ? '\0' : v[0];
}

std::string ParentFolder(const std::string& path) {
    std::string p = velfw::ExcludeTrailingBackslash(path);
    size_t at = p.find_last_of("\\/");
    if (at == std::string::npos) return std::string();
    return p.substr(0, at);
}

}  // namespace globals
