// Any bytes loaded as a GIF file either fail with the library's exception or
// give an image that saves and reloads with the same frames. The first save
// settles what a file may leave open (a frame of size 0 takes the screen's
// size, which saving recomputes), so from the second on saves are equal.
#include <cstdlib>
#include <vector>

#include "Classes.h"
#include "KxGIFFormat.h"

namespace {

// Frames this large are not decoded here: the size check before the
// allocation is what the fuzzer should reach, not a slow decode.
constexpr uint64_t kMostDecodedPixels = uint64_t{1} << 22;

void DecodeSmallFrames(kx::GifImageCore& image) {
    for (auto& frame : image.FrameList) {
        const auto& item = *frame->ImageItem;
        if (static_cast<uint64_t>(item.PixelWidth) * static_cast<uint64_t>(item.PixelHeight) > kMostDecodedPixels)
            continue;
        try {
            frame->DecodeToDib();
        } catch (const velfw::Exception&) {
            // A frame without colour table or with a size its data cannot back.
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kx::GifImageCore image;
    try {
        kx::LoadGif(image, {data, size}, false);
    } catch (const velfw::Exception&) {
        return 0;
    }
    DecodeSmallFrames(image);
    if (image.FrameList.empty()) return 0;
    std::vector<uint8_t> saved = kx::WriteGif(image, false);
    for (int round = 0; round < 2; ++round) {
        kx::GifImageCore again;
        kx::LoadGif(again, saved, false);
        if (again.FrameCount() != image.FrameCount()) abort();
        std::vector<uint8_t> next = kx::WriteGif(again, false);
        if (round == 1 && next != saved) abort();
        saved = std::move(next);
    }
    return 0;
}
