// Debian's giflib as the reference our GIF code streams are held against,
// and the smallest GIF file wrapper around a code stream. Test and bench
// only; the product never links giflib.
#pragma once

#include <cstdint>
#include <vector>

namespace giflib_reference {

using Bytes = std::vector<uint8_t>;

// One frame covering the screen, with a global table of 2^colorBits
// entries. `raster` is top-down, one byte per pixel.
Bytes EncodeFile(int width, int height, int colorBits, bool interlaced, const Bytes& raster);

// The first frame's pixels, top-down, one byte per pixel; false when giflib
// refuses the file.
bool DecodeFile(const Bytes& file, int& width, int& height, Bytes& raster);

// A GIF file holding `codeStream` as its only frame.
Bytes WrapCodeStream(int width, int height, int colorBits, bool interlaced, const Bytes& codeStream);

// The code stream (minimum code size, sub-blocks, terminator) of the first
// frame of a file written by EncodeFile or WrapCodeStream.
Bytes ExtractCodeStream(const Bytes& file);

// Between a top-down raster of one byte per pixel and the bottom-up, padded
// rows of 1, 4 or 8 bits that the codec works on.
Bytes ToDib(const Bytes& raster, int width, int height, int bitCount);
Bytes FromDib(const Bytes& dib, int width, int height, int bitCount);

}  // namespace giflib_reference
