// The larger and the smaller of two signed 32-bit integers.
#pragma once

#include <cstdint>

namespace kx {

constexpr int32_t IntMax(int32_t a, int32_t b) { return b < a ? a : b; }
constexpr int32_t IntMin(int32_t a, int32_t b) { return b > a ? a : b; }

}  // namespace kx
