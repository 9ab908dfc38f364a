// GIF files and BMP file images built in code for the GIF tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "KxGIFCodec.h"
#include "KxGraphQuantize.h"

namespace gif_files {

using Bytes = std::vector<uint8_t>;

// A file written a piece at a time: bytes, text, 16-bit values.
struct GifBuilder {
    Bytes bytes;
    GifBuilder& B(std::initializer_list<int> list) {
        for (int v : list) bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    GifBuilder& Text(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    GifBuilder& W(int v) { return B({v & 0xFF, (v >> 8) & 0xFF}); }
    GifBuilder& Append(const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // Signature, screen descriptor and a grey global table of 2^bits entries
    // (none for 0 bits).
    GifBuilder& Header(int width, int height, int globalBits, const std::string& version = "GIF89a") {
        Text(version).W(width).W(height);
        B({globalBits ? 0x80 | (globalBits - 1) << 4 | (globalBits - 1) : 0, 0, 0});
        for (int i = 0; i < (globalBits ? 1 << globalBits : 0); ++i) B({i, i, i});
        return *this;
    }
    GifBuilder& Control(int delayHundredths, int transparent = -1, int disposal = 0) {
        return B({0x21, 0xF9, 4, (transparent >= 0 ? 1 : 0) | disposal << 2, delayHundredths & 0xFF,
                  delayHundredths >> 8, transparent >= 0 ? transparent : 0, 0});
    }
    GifBuilder& Comment(const std::string& text) {
        B({0x21, 0xFE, static_cast<int>(text.size())}).Text(text);
        return B({0});
    }
    GifBuilder& Application(const std::string& id11, int blockSize, std::initializer_list<int> data) {
        B({0x21, 0xFF, blockSize}).Text(id11);
        B({static_cast<int>(data.size())}).B(data);
        return B({0});
    }
    // A 1x1 frame (or the size given) whose one pixel is index 0.
    GifBuilder& Frame(int width = 1, int height = 1, int left = 0, int top = 0, int packed = 0) {
        B({','}).W(left).W(top).W(width).W(height).B({packed});
        return B({2, 2, 0x44, 1, 0});
    }
    GifBuilder& Trailer() { return B({';'}); }
};

// A BMP file image of `bitCount` bits with `palette` (RGB values) and the
// top-down raster of indices.
inline Bytes MakeDib(int width, int height, int bitCount, const std::vector<uint32_t>& palette, const Bytes& raster) {
    velfw::DibHeader h = velfw::MakeDibHeader(width, height, bitCount);
    h.clrUsed = static_cast<uint32_t>(palette.size()) < static_cast<uint32_t>(velfw::DibPaletteSize(bitCount)) ? palette.size() : 0;
    Bytes dib = velfw::NewDibBlock(h);
    uint8_t* q = dib.data() + velfw::kBmpFileHeaderSize + velfw::kBmpInfoHeaderSize;
    for (uint32_t rgb : palette) {
        q[0] = static_cast<uint8_t>(rgb >> 16), q[1] = static_cast<uint8_t>(rgb >> 8), q[2] = static_cast<uint8_t>(rgb);
        q += 4;
    }
    const uint32_t offset = dib[10] | dib[11] << 8;
    const uint64_t stride = velfw::DibRowBytes(width, bitCount);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib.data() + offset + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const int bit = x * bitCount;
            row[bit / 8] |= static_cast<uint8_t>(raster[y * width + x] << (8 - bitCount - bit % 8));
        }
    }
    return dib;
}

// The top-down raster of indices of a BMP file image made by MakeDib or
// DecodeToDib.
inline Bytes DibRaster(const Bytes& dib, int& width, int& height) {
    const velfw::DibHeader h = velfw::ReadDibHeader(dib.data() + velfw::kBmpFileHeaderSize);
    width = h.width;
    height = h.height;
    const uint32_t offset = dib[10] | dib[11] << 8;
    const uint64_t stride = velfw::DibRowBytes(width, h.bitCount);
    const int bits = h.bitCount;
    Bytes raster(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = dib.data() + offset + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const int bit = x * bits;
            raster[y * width + x] = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
        }
    }
    return raster;
}

// The code stream of a top-down raster of 8-bit indices, by our encoder.
inline Bytes CodeStreamOf(int width, int height, const Bytes& raster) {
    const Bytes dib = MakeDib(width, height, 8, {}, raster);
    const uint32_t offset = dib[10] | dib[11] << 8;
    Bytes stream;
    kx::EncodeGifPixels(stream, {width, height, 8}, false, nullptr,
                        std::span<const uint8_t>(dib.data() + offset, dib.size() - offset));
    return stream;
}

// The two 4 x 2 frames of DuplicateBlackGif, top-down: 0 is black that
// shows, 255 black that is transparent, the others greys.
inline Bytes DuplicateBlackRaster(int frame) {
    return frame == 0 ? Bytes{0, 255, 0, 255, 255, 0, 1, 255} : Bytes{255, 255, 0, 0, 7, 7, 0, 255};
}

// A GIF whose grey global table holds black twice, at 0 and at 255: 255 is
// the background and the first frame's transparent index, 0 the black that
// shows. Comments stand before both frames, one on each side of the first
// frame's control extension (user-input and reserved bits set, disposal 2,
// 7 hundredths); the second frame's control extension is all zeros; a
// comment follows the last frame. Laid out as our writer lays out a file,
// so a load and a save give it back byte for byte.
inline Bytes DuplicateBlackGif() {
    GifBuilder b;
    b.Header(4, 2, 8);
    b.bytes[11] = 255;  // the background
    std::fill_n(b.bytes.begin() + 13 + 255 * 3, 3, uint8_t{0});
    b.Comment("made for the duplicate colours").B({0x21, 0xF9, 4, 0xE0 | 0x02 | 2 << 2 | 0x01, 7, 0, 255, 0});
    b.Comment("the first frame's").B({','}).W(0).W(0).W(4).W(2).B({0});
    b.Append(CodeStreamOf(4, 2, DuplicateBlackRaster(0)));
    b.B({0x21, 0xF9, 4, 0, 0, 0, 0, 0}).Comment("before the second frame").B({','}).W(0).W(0).W(4).W(2).B({0});
    b.Append(CodeStreamOf(4, 2, DuplicateBlackRaster(1)));
    return b.Comment("after the last frame").Trailer().bytes;
}

}  // namespace gif_files
