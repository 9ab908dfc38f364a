// Icon and cursor files built in code for the tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BmpFormat.h"
#include "IconFileFormat.h"

namespace icon_files {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    Put16(b, v);
    Put16(b, v >> 16);
}

// Overwrites the 32-bit value at `at`, to damage a file in one place.
inline void Set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Image {
    int32_t width = 16, height = 16;  // of the picture; the header holds twice the height
    uint16_t bitCount = 4;
    uint16_t hotX = 0, hotY = 0;      // written as planes and bit count of a cursor's entry
    uint8_t colorCount = 16;
};

// An icon (type 1) or cursor (type 2) resource file of the given images.
inline Bytes IconFile(const std::vector<Image>& images, uint16_t type = 1) {
    Bytes out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, static_cast<uint32_t>(images.size()));
    std::vector<Bytes> bodies;
    for (const Image& im : images) {
        Bytes body;
        Put32(body, 40);
        Put32(body, static_cast<uint32_t>(im.width));
        Put32(body, static_cast<uint32_t>(im.height * 2));
        Put16(body, 1);
        Put16(body, im.bitCount);
        body.resize(40);
        body.resize(body.size() + 4 * size_t(velfw::DibPaletteSize(im.bitCount)));
        const uint64_t rows = static_cast<uint64_t>(im.height);
        body.resize(body.size() + size_t(velfw::DibRowBytes(im.width, im.bitCount)) * rows +
                    size_t(velfw::DibRowBytes(im.width, 1)) * rows, 0x5A);
        bodies.push_back(body);
    }
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& im = images[i];
        out.push_back(static_cast<uint8_t>(im.width));
        out.push_back(static_cast<uint8_t>(im.height));
        out.push_back(im.colorCount);
        out.push_back(0);
        Put16(out, type == 2 ? im.hotX : 1);
        Put16(out, type == 2 ? im.hotY : im.bitCount);
        Put32(out, static_cast<uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const Bytes& b : bodies) out.insert(out.end(), b.begin(), b.end());
    return out;
}

}  // namespace icon_files
