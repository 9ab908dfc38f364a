#include "ControlsRules.h"

#include <cctype>

namespace velfw {

bool IsAccel(char key, const std::string& caption) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // "&&" stands for one "&"
            continue;
        }
        return lower(caption[i + 1]) == lower(key);
    }
    return false;
}

int NextTabIndex(int count, int current, bool forward) {
    if (count <= 0) return -1;
    if (current < 0 || current >= count) return forward ? 0 : count - 1;
    return forward ? (current + 1) % count : (current + count - 1) % count;
}

unsigned TIdPool::Allocate() {
    unsigned id = first_;
    for (unsigned used : used_) {
        if (used != id) break;
        if (id == last_) return 0;
        ++id;
    }
    if (id < first_ || id > last_) return 0;
    used_.insert(id);
    return id;
}

void TIdPool::Release(unsigned id) { used_.erase(id); }

std::string DefaultApplicationTitle(const std::string& programPath) {
    const size_t slash = programPath.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    for (size_t i = 1; i < name.size(); ++i)
        name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    return name;
}

}  // namespace velfw
