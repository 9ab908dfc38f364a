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
