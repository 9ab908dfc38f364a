// Icons made in code from icon files, for the tests that draw and list them.
#pragma once

#include <algorithm>
#include <memory>

#include "IconFiles.h"
#include "Icons.h"

namespace testing_support {

inline std::unique_ptr<velfw::TIcon> MakeIcon(int size = 16, uint16_t bits = 4) {
    auto icon = std::make_unique<velfw::TIcon>();
    icon->LoadFromBytes(icon_files::IconFile({{size, size, bits, 0, 0, uint8_t(bits == 4 ? 16 : 0)}}));
    return icon;
}

// A size x size icon of 16 colours drawn wholly in `rgb` (entry 1), or only
// its right half when `leftTransparent` (the mask clear there).
inline std::unique_ptr<velfw::TIcon> SolidIcon(int size, COLORREF rgb, bool leftTransparent = false) {
    icon_files::Bytes file = icon_files::IconFile({{size, size, 4, 0, 0, 16}});
    const size_t palette = 6 + 16 + 40, colour = palette + 16 * 4;
    const size_t colourRow = size_t(velfw::DibRowBytes(size, 4)), maskRow = size_t(velfw::DibRowBytes(size, 1));
    const size_t mask = colour + colourRow * size_t(size);
    std::fill(file.begin() + palette, file.end(), 0);
    file[palette + 4] = GetBValue(rgb), file[palette + 5] = GetGValue(rgb), file[palette + 6] = GetRValue(rgb);
    // Where the mask is set the screen shows through, XOR-ed with the colour bits: those stay 0 there.
    const int opaqueFrom = leftTransparent ? size / 2 : 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (x >= opaqueFrom) file[colour + colourRow * y + x / 2] |= x % 2 ? 0x01 : 0x10;
            else file[mask + maskRow * y + x / 8] |= 0x80 >> (x % 8);
        }
    auto icon = std::make_unique<velfw::TIcon>();
    icon->LoadFromBytes(file);
    return icon;
}

}  // namespace testing_support
