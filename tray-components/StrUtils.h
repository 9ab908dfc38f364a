// Removal of one character from a string (menu captions without '&').
#pragma once

#include <string>

namespace kx {

std::string RemoveChar(const std::string& s, char ch);

}  // namespace kx
