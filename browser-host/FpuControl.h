// The x87 control word, read and set directly: the browser control and the
// libraries it loads may change it behind our back.
#pragma once

#include <cstdint>

namespace browser {

inline uint16_t Get8087CW() {
    uint16_t cw = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    return cw;
}

inline void Set8087CW(uint16_t cw) { __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(cw)); }

// Every floating-point exception masked.
constexpr uint16_t kAllExceptionsMasked = 0x133F;

}  // namespace browser
