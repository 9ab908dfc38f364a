#include "StrUtils.h"

#include <algorithm>

namespace kx {

std::string RemoveChar(const std::string& s, char ch) {
    std::string result = s;
    result.erase(std::remove(result.begin(), result.end(), ch), result.end());
    return result;
}

}  // namespace kx
