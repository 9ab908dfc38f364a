// Reduction of 24-bit device-independent pixels to 8-bit palette images. No
// Windows here: the bitmap side reads the pixels into a BMP file image made
// by velfw::NewDibBlock and hands it to ReduceDib24To8.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "BmpFormat.h"

namespace kx {

enum TColorReduction { crPopularity, crMedianCut, crCube784, crCube666, crChannelPattern, crGrayscale };

// The reduction the picture units use when they must make an 8-bit image.
extern TColorReduction DefaultColorReduction;

struct RgbQuad {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    bool operator==(const RgbQuad&) const = default;
};
using ColorTable = std::array<RgbQuad, 256>;

// The level tables: T[v] is the index of the level nearest to v, the lower
// index on a tie.
extern const std::array<uint8_t, 4> L4;
extern const std::array<uint8_t, 6> L6;
extern const std::array<uint8_t, 7> L7;
extern const std::array<uint8_t, 8> L8;
extern const std::array<uint8_t, 256> T4, T6, T7, T8;

// The 8-bit methods: Src holds 24-bit rows, Dst receives 8-bit rows and may
// be the same memory. Colour counts outside 1..256 raise
// EInvalidGraphicOperation.
void PopularityReduce(const velfw::DibHeader& header, ColorTable& table, const uint8_t* src, uint8_t* dst, int wanted,
                      uint8_t redMask, uint8_t greenMask, uint8_t blueMask);
void MedianCutReduce(const velfw::DibHeader& header, const uint8_t* src, uint8_t* dst, int& colors, ColorTable& table);
void Palette784(ColorTable& table);
void MapImage784(const velfw::DibHeader& header, const uint8_t* src, uint8_t* dst);
void Palette666(ColorTable& table);
void MapImage666(const velfw::DibHeader& header, const uint8_t* src, uint8_t* dst);
void PaletteChannels(ColorTable& table);
void MapImageChannels(const velfw::DibHeader& header, const uint8_t* src, uint8_t* dst);
void PaletteGray(ColorTable& table);
void MapImageGray(const velfw::DibHeader& header, const uint8_t* src, uint8_t* dst);

// The 8-bit BMP file image of a 24-bit one (a block of NewDibBlock filled
// with pixels), reduced by `method`. The reduction works in the 24-bit
// block's pixel area. A block that is not a 24-bit image raises
// EInvalidGraphic.
std::vector<uint8_t> ReduceDib24To8(std::vector<uint8_t>& block24, TColorReduction method);

}  // namespace kx
