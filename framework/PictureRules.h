// Sizes of device-independent bitmap data, as icon images and the picture
// units lay them out.
#pragma once

#include <cstdint>

namespace kx {

// Bytes of one scan line of `bits` bits: scan lines are padded to 32 bits.
// 64-bit, since width times bit count comes from file headers; 0 for a count
// of 0 or less.
int64_t ScanlineBytes(int64_t bits);

// Colour-table entries of a bitmap: 2, 16, 256 for 1, 4, 8 bits per pixel, else 0.
int32_t PaletteEntryCount(int32_t bitCount);

}  // namespace kx
