// Arbitrary bytes as a BMP file. What the reader accepts, written again
// by the framework's writer, reads back to the same picture: size, depth,
// row order, colours and rows. A caller's narrower rules accept only what
// the defaults accept, and read it the same way.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BmpFormat.h"

namespace {

bool SamePicture(const velfw::BmpFileLayout& a, const velfw::BmpFileLayout& b) {
    return a.Width == b.Width && a.Height == b.Height && a.TopDown == b.TopDown && a.BitsPerPixel == b.BitsPerPixel &&
           a.PaletteEntries == b.PaletteEntries && a.BitsSize == b.BitsSize;
}

const uint8_t* TableOf(const uint8_t* file, const velfw::BmpFileLayout& l) {
    return file + velfw::kBmpFileHeaderSize + l.InfoHeaderSize;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    velfw::BmpFileLayout layout;
    const velfw::BmpFault fault = velfw::ReadBmpFileLayout(file, layout);

    // Rules from the last bytes: a set of depths, a largest side, a row order.
    velfw::BmpFileRules rules;
    if (size >= 3) {
        rules.Depths = velfw::kDibSectionDepths & (uint64_t{data[size - 1]} << 1 | uint64_t{data[size - 2]} << 24);
        rules.LargestSide = 1 + data[size - 3] * 257;
        rules.TopDown = (data[size - 1] & 1) != 0;
    }
    velfw::BmpFileLayout narrow;
    if (velfw::ReadBmpFileLayout(file, narrow, rules) == velfw::BmpFault::None &&
        (fault != velfw::BmpFault::None || !SamePicture(narrow, layout) || narrow.BitsOffset != layout.BitsOffset))
        abort();
    if (fault != velfw::BmpFault::None) return 0;

    // Every part the layout names lies inside the data.
    if (layout.BitsOffset + layout.BitsSize > size ||
        velfw::kBmpFileHeaderSize + layout.InfoHeaderSize + 4ull * layout.PaletteEntries > layout.BitsOffset)
        abort();

    velfw::DibHeader header = velfw::MakeDibHeader(layout.Width, layout.Height, layout.BitsPerPixel);
    if (layout.TopDown) header.height = -header.height;
    const uint32_t depthEntries = static_cast<uint32_t>(velfw::DibPaletteSize(layout.BitsPerPixel));
    header.clrUsed = layout.PaletteEntries < depthEntries ? layout.PaletteEntries : 0;
    std::vector<uint8_t> copy = velfw::NewDibBlock(header);
    if (header.sizeImage != layout.BitsSize) abort();
    const size_t bitsAt = velfw::kBmpFileHeaderSize + velfw::DibInfoSize(layout.BitsPerPixel);
    std::memcpy(copy.data() + velfw::kBmpFileHeaderSize + velfw::kBmpInfoHeaderSize, TableOf(data, layout),
                4 * layout.PaletteEntries);
    std::memcpy(copy.data() + bitsAt, data + layout.BitsOffset, layout.BitsSize);

    velfw::BmpFileLayout again;
    if (velfw::ReadBmpFileLayout(copy, again) != velfw::BmpFault::None || !SamePicture(again, layout) ||
        std::memcmp(TableOf(copy.data(), again), TableOf(data, layout), 4 * layout.PaletteEntries) != 0 ||
        std::memcmp(copy.data() + again.BitsOffset, data + layout.BitsOffset, layout.BitsSize) != 0)
        abort();
    return 0;
}
