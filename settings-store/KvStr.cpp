#include "KvStr.h"

namespace kv {

std::string& StrChDelete(std::string& s, size_t pos) {
    if (pos < s.size()) s.erase(pos, 1);
    return s;
}

std::string& StrChInsert(std::string& s, char ch, size_t pos) {
    s.insert(pos < s.size() ? pos : s.size(), 1, ch);
    return s;
}

bool StrChPos(const std::string& s, char ch, size_t& pos) {
    const size_t at = s.find(ch);
    if (at == std::string::npos) return false;
    pos = at;
    return true;
}

bool StrStPos(const std::string& s, const std::string& sub, size_t& pos) {
    if (s.empty() || sub.empty() || sub.size() > s.size()) return false;
    const size_t at = s.find(sub);
    if (at == std::string::npos) return false;
    pos = at;
    return true;
}

}  // namespace kv
