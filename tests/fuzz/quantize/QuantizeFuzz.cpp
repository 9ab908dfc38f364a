// Every reduction on random 24-bit images: the indices stay within the
// colours produced, and the BMP file image has the sizes its header gives.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzInput.h"
#include "KxGraphQuantize.h"
#include "LibraryErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int width = in.Range(1, 96), height = in.Range(1, 96);
    const int method = in.Byte() % 8;  // the six reductions, then the two methods with their own counts
    const int wanted = in.Range(0, 257);
    const uint8_t masks[3] = {in.Byte(), in.Byte(), in.Byte()};
    std::vector<uint8_t> block = velfw::NewDibBlock(velfw::MakeDibHeader(width, height, 24));
    auto rest = in.Rest();
    uint8_t* bits = block.data() + 54;
    const size_t area = block.size() - 54;
    for (size_t i = 0; i < area; ++i) bits[i] = rest.empty() ? 0 : rest[i % rest.size()];

    const velfw::DibHeader h = velfw::ReadDibHeader(block.data() + 14);
    kx::ColorTable table{};
    const uint64_t stride8 = velfw::DibRowBytes(width, 8);
    try {
        if (method < 6) {
            std::vector<uint8_t> bmp = kx::ReduceDib24To8(block, static_cast<kx::TColorReduction>(method));
            if (bmp.size() != 1078 + stride8 * height) abort();
            return 0;
        }
        int produced = wanted;
        if (method == 6) {
            kx::PopularityReduce(h, table, bits, bits, wanted, masks[0], masks[1], masks[2]);
        } else {
            kx::MedianCutReduce(h, bits, bits, produced, table);
            if (produced < 1 || produced > wanted) abort();
        }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (bits[y * stride8 + x] >= produced) abort();
    } catch (const velfw::EInvalidGraphicOperation&) {
        if (wanted >= 1 && wanted <= 256) abort();
    }
    return 0;
}
