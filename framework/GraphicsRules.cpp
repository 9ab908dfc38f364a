#include "GraphicsRules.h"

#include <limits>

namespace velfw {

namespace {
// GDI takes sizes as 32-bit ints and refuses images near 2 GB anyway.
constexpr uint64_t kMaxImageBytes = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
}  // namespace

bool IsSupportedDibDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1: case 4: case 8: case 24: case 32: return true;
        default: return false;
    }
}

size_t DibStride(int width, int bitsPerPixel) {
    if (width <= 0 || !IsSupportedDibDepth(bitsPerPixel)) return 0;
    const uint64_t bits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel);
    const uint64_t stride = (bits + 31) / 32 * 4;
    return stride > kMaxImageBytes ? 0 : static_cast<size_t>(stride);
}

size_t DibImageSize(int width, int height, int bitsPerPixel) {
    const size_t stride = DibStride(width, bitsPerPixel);
    if (stride == 0 || height <= 0) return 0;
    const uint64_t total = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    return total > kMaxImageBytes ? 0 : static_cast<size_t>(total);
}

int DibPaletteSize(int bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 ? 1 << bitsPerPixel : 0;
}

}  // namespace velfw
