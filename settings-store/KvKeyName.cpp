#include "KvKeyName.h"

#include "SysUtils.h"

namespace kv {

std::string StripOuterBackslashes(const std::string& name) {
    size_t first = 0, last = name.size();
    while (first < last && name[first] == '\\') ++first;
    while (last > first && name[last - 1] == '\\') --last;
    return name.substr(first, last - first);
}

std::string DefaultKeyName(const std::string& programPath) {
    return "Software\\" + velfw::ChangeFileExt(velfw::ExtractFileName(programPath), "");
}

}  // namespace kv
