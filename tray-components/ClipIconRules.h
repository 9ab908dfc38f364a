// Which icon image a stream holds for the screen and where it lies, decided
// from the directory alone before any image byte is read. No Windows here.
#pragma once

#include <cstdint>
#include <span>

#include "IconFileFormat.h"

namespace kx {

struct IconImageRead {
    size_t entry = 0;    // the directory entry chosen
    uint64_t skip = 0;   // bytes between the end of the directory and the image
    uint32_t size = 0;   // bytes of the image
};

// `directory` holds the `count` entries that follow a header of `headerSize`
// bytes; `available` bytes of the stream follow the directory. An image that
// starts inside the header or directory, or ends beyond the stream, or is
// too short for its bitmap-info header is refused.
velfw::IconFileFault PlanIconImageRead(std::span<const uint8_t> directory, uint32_t count, uint32_t headerSize,
                                       uint64_t available, uint16_t screenColors, IconImageRead& out);

}  // namespace kx
