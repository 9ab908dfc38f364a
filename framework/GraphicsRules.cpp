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

namespace velfw {

namespace {

uint32_t Le32(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint32_t>(d[at]) | static_cast<uint32_t>(d[at + 1]) << 8 |
           static_cast<uint32_t>(d[at + 2]) << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}
uint16_t Le16(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

}  // namespace

BmpFault ReadBmpFileLayout(std::span<const uint8_t> data, BmpFileLayout& out) {
    out = BmpFileLayout{};
    if (data.size() < kBmpFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return BmpFault::NotBitmap;
    const uint32_t bitsOffset = Le32(data, 10);
    const uint32_t infoSize = Le32(data, kBmpFileHeaderSize);
    // The later versions only append fields (masks, colour space) to the 40 bytes.
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        return BmpFault::NotBitmap;
    if (data.size() < kBmpFileHeaderSize + static_cast<uint64_t>(infoSize)) return BmpFault::Truncated;
    const auto width = static_cast<int32_t>(Le32(data, 18));
    const auto height = static_cast<int32_t>(Le32(data, 22));
    const uint16_t bits = Le16(data, 28);
    const uint32_t compression = Le32(data, 30);
    const uint32_t clrUsed = Le32(data, 46);
    if (compression != 0 || !IsSupportedDibDepth(bits)) return BmpFault::Unsupported;
    // -height of the smallest int has no positive value.
    if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min()) return BmpFault::BadSize;
    const int32_t rows = height < 0 ? -height : height;
    const size_t size = DibImageSize(width, rows, bits);
    if (size == 0) return BmpFault::BadSize;
    const uint32_t maxEntries = static_cast<uint32_t>(DibPaletteSize(bits));
    if (clrUsed > maxEntries) return BmpFault::NotBitmap;
    const uint32_t entries = clrUsed != 0 ? clrUsed : maxEntries;
    const uint64_t paletteEnd = kBmpFileHeaderSize + static_cast<uint64_t>(infoSize) + 4ull * entries;
    if (paletteEnd > data.size()) return BmpFault::Truncated;
    // Writers leave the offset 0 now and then; the rows then follow the table.
    const uint64_t start = bitsOffset != 0 ? bitsOffset : paletteEnd;
    if (start < paletteEnd || start > data.size() || data.size() - start < size) return BmpFault::Truncated;
    out.Width = width;
    out.Height = rows;
    out.TopDown = height < 0;
    out.BitsPerPixel = bits;
    out.InfoHeaderSize = infoSize;
    out.PaletteEntries = entries;
    out.BitsOffset = static_cast<size_t>(start);
    out.BitsSize = size;
    return BmpFault::None;
}

}  // namespace velfw
