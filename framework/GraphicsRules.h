// Layout of device-independent bitmaps: no Windows needed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velfw {

// The depths a DIB section is made with.
bool IsSupportedDibDepth(int bitsPerPixel);

// Bytes from one row to the next (rows are padded to 32 bits), or 0 when the
// size or depth is not one a bitmap can have or the row would not fit memory.
size_t DibStride(int width, int bitsPerPixel);

// Bytes of all rows, or 0 as above (also when the total would overflow).
size_t DibImageSize(int width, int height, int bitsPerPixel);

// Entries of the colour table: 2^bits for 1, 4 and 8 bits, none above.
int DibPaletteSize(int bitsPerPixel);

}  // namespace velfw

#include <span>

namespace velfw {

// A BMP file ("BM", a 14-byte file header, a bitmap-info header of 40 bytes
// or one of its longer versions, the colour table and the pixel rows) as
// found in the data: every part lies inside it.
struct BmpFileLayout {
    int32_t Width = 0;
    int32_t Height = 0;  // always positive
    bool TopDown = false;
    int BitsPerPixel = 0;
    uint32_t InfoHeaderSize = 0;
    uint32_t PaletteEntries = 0;  // four bytes each, after the info header
    size_t BitsOffset = 0;        // from the start of the data
    size_t BitsSize = 0;          // all rows
};

enum class BmpFault {
    None,
    NotBitmap,    // no "BM" signature or an unknown info header
    Unsupported,  // compressed, or a depth a DIB section is not made with here
    BadSize,      // a width or height of 0, negative width, or too large
    Truncated,    // the colour table or the rows end beyond the data
};

BmpFault ReadBmpFileLayout(std::span<const uint8_t> data, BmpFileLayout& out);

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;

}  // namespace velfw
