// Any pixels encoded and decoded again come back as they were.
#include <cstdlib>
#include <vector>

#include "BmpFormat.h"
#include "FuzzInput.h"
#include "KxGIFCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int bitCounts[] = {1, 4, 8};
    kx::GifPixelFormat f{in.Range(1, 400), in.Range(1, 200), bitCounts[in.Byte() % 3]};
    const bool interlaced = in.Byte() & 1;
    const uint64_t stride = velfw::DibRowBytes(f.width, f.bitCount);
    std::vector<uint8_t> pixels(stride * f.height);
    // The fuzzer's bytes, repeated, are the pixels; a long run of equal
    // bytes makes long strings and table resets.
    auto rest = in.Rest();
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = rest.empty() ? 0 : rest[i % rest.size()];
    // Padding bits are not pixels: clear them so the comparison holds.
    const uint64_t used = static_cast<uint64_t>(f.width) * f.bitCount;
    for (int32_t y = 0; y < f.height; ++y) {
        uint8_t* row = pixels.data() + y * stride;
        if (used % 8) row[used / 8] &= static_cast<uint8_t>(0xFF00 >> (used % 8));
        for (uint64_t b = (used + 7) / 8; b < stride; ++b) row[b] = 0;
    }
    std::vector<uint8_t> stream;
    kx::EncodeGifPixels(stream, f, interlaced, nullptr, pixels);
    std::vector<uint8_t> back(pixels.size());
    if (kx::DecodeGifPixels(stream, f, interlaced, nullptr, back, f.bitCount).corrupted || back != pixels) abort();
    return 0;
}
