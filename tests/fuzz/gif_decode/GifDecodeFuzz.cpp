// Arbitrary bytes as a code stream: decoding ends, stays inside the pixel
// buffer and never reads past the data.
#include <vector>

#include "BmpFormat.h"
#include "FuzzInput.h"
#include "KxGIFCodec.h"
#include "LibraryErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int bitCounts[] = {1, 4, 8};
    kx::GifPixelFormat f{in.Range(0, 300), in.Range(0, 300), bitCounts[in.Byte() % 3]};
    const bool interlaced = in.Byte() & 1;
    const int colorBits = in.Range(1, 8);
    // The exact buffer, so that the sanitizer sees any write beyond it.
    std::vector<uint8_t> pixels(velfw::DibRowBytes(f.width, f.bitCount) * f.height);
    auto code = in.Rest();
    std::vector<uint8_t> source(code.begin(), code.end());
    try {
        kx::DecodeGifPixels(source, f, interlaced, nullptr, pixels, colorBits);
    } catch (const velfw::EReadError&) {
        // an empty code stream
    }
    return 0;
}
