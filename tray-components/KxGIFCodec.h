// The LZW code streams of GIF images (minimum code size, data sub-blocks,
// terminator) to and from the pixel rows of a bottom-up device-independent
// bitmap of 1, 4 or 8 bits per pixel. No Windows here: the picture class
// hands in plain buffers.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kx {

// What the bitmap information header says about the pixel buffer.
struct GifPixelFormat {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 8;  // 1, 4 or 8
};

enum GifProgressStage { gpsStarting = 0, gpsRunning = 1, gpsEnding = 2 };

// Stage, percentage (0..100) and a message (the failure's text at a failed
// end). The callback may raise (an EAbort, say) to stop the work: the ending
// is then reported with 0 percent and that text, and the exception passes on.
using GifProgress = std::function<void(GifProgressStage stage, int percent, const std::string& message)>;

struct GifDecodeResult {
    bool corrupted = false;  // the data was damaged or ran out; what came before is kept
};

// The row after `row` in the GIF interlaced order (0, 8, 16...; 4, 12...;
// 2, 6...; 1, 3...), with `pass` (0..3) carried between calls. A result at or
// beyond `height` ends the image.
int32_t NextInterlacedRow(int32_t row, int32_t height, int& pass);

// Decodes `source` (a code stream) into `pixels`, which holds stride × height
// bytes zero-filled by the caller; the image's top row is the buffer's last.
// `colorBits` (1..8) is the frame's colour-table size: pixel values are kept
// within it. A missing minimum-code-size byte raises EReadError; a buffer that
// does not fit the format raises EInvalidGraphicOperation.
GifDecodeResult DecodeGifPixels(std::span<const uint8_t> source, const GifPixelFormat& format, bool interlaced,
                                const GifProgress& progress, std::span<uint8_t> pixels, int colorBits);

// Appends the code stream of `pixels` (laid out as for decoding) to `dest`.
void EncodeGifPixels(std::vector<uint8_t>& dest, const GifPixelFormat& format, bool interlaced,
                     const GifProgress& progress, std::span<const uint8_t> pixels);

}  // namespace kx
