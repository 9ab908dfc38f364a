// Bitmaps turned into BMP file images of a smaller pixel format: the system
// reads 1- and 4-bit images itself, 8-bit ones are reduced from 24 bits by
// the reduction methods.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "Graphics.h"
#include "KxGraphQuantize.h"

namespace kx {

// The BMP file image of `bitmap` in `format` (1, 4, 8 or 24 bits). A bitmap
// without handle or whose pixels cannot be read raises EInvalidGraphic
// ("Bitmap image is not valid"); another format is reported as unsupported.
std::vector<uint8_t> ConvertBitmapToDibStream(velfw::TBitmap& bitmap, velfw::TPixelFormat format,
                                              TColorReduction method);
// The same in the smallest format that holds `colors` colours, by the
// default reduction.
std::vector<uint8_t> ReduceBitmapColorsStream(velfw::TBitmap& bitmap, int colors);

}  // namespace kx
