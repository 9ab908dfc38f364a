// Reduction of 24-bit device-independent pixels to 8-bit palette images, and
// the BMP file images the picture code exchanges. No Windows here: the
// bitmap side reads the pixels into a block made by NewDibBlock and hands it
// to ReduceDib24To8.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kx {

enum TColorReduction { crPopularity, crMedianCut, crCube784, crCube666, crChannelPattern, crGrayscale };

// The reduction the picture units use when they must make an 8-bit image.
extern TColorReduction DefaultColorReduction;

struct RgbQuad {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    bool operator==(const RgbQuad&) const = default;
};
using ColorTable = std::array<RgbQuad, 256>;

// The 40-byte bitmap information header.
struct DibHeader {
    int32_t width = 0;
    int32_t height = 0;  // positive: rows bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

// 2, 16, 256 for 1, 4, 8 bits; 0 for any other count.
uint32_t ColorCountOfBits(int bitCount);
// Bytes of a row of `width` pixels aligned to `alignment` bits; 64-bit.
uint64_t ScanLineBytes(int64_t width, int bitCount, int alignment);

// The level tables: T[v] is the index of the level nearest to v, the lower
// index on a tie.
extern const std::array<uint8_t, 4> L4;
extern const std::array<uint8_t, 6> L6;
extern const std::array<uint8_t, 7> L7;
extern const std::array<uint8_t, 8> L8;
extern const std::array<uint8_t, 256> T4, T6, T7, T8;

// The header of a `bitCount` image of a bitmap of that size. Resolutions and
// colour counts come from the bitmap's own header when it has one, the
// counts cut to what the bit count can hold. Sizes too large for a BMP file
// raise EOutOfMemory.
DibHeader MakeDibHeader(int64_t width, int64_t height, int bitCount, const DibHeader* own = nullptr);
// Bytes of the information header with its colour table.
uint32_t InfoSize(int bitCount);

// A zero-filled BMP file image for `header`: file header, information
// header, room for the colour table and the pixels.
std::vector<uint8_t> NewDibBlock(const DibHeader& header);
void WriteDibHeader(uint8_t* at, const DibHeader& header);
DibHeader ReadDibHeader(const uint8_t* at);

// The 8-bit methods: Src holds 24-bit rows, Dst receives 8-bit rows and may
// be the same memory. Colour counts outside 1..256 raise
// EInvalidGraphicOperation.
void PopularityReduce(const DibHeader& header, ColorTable& table, const uint8_t* src, uint8_t* dst, int wanted,
                      uint8_t redMask, uint8_t greenMask, uint8_t blueMask);
void MedianCutReduce(const DibHeader& header, const uint8_t* src, uint8_t* dst, int& colors, ColorTable& table);
void Palette784(ColorTable& table);
void MapImage784(const DibHeader& header, const uint8_t* src, uint8_t* dst);
void Palette666(ColorTable& table);
void MapImage666(const DibHeader& header, const uint8_t* src, uint8_t* dst);
void PaletteChannels(ColorTable& table);
void MapImageChannels(const DibHeader& header, const uint8_t* src, uint8_t* dst);
void PaletteGray(ColorTable& table);
void MapImageGray(const DibHeader& header, const uint8_t* src, uint8_t* dst);

// The 8-bit BMP file image of a 24-bit one (a block of NewDibBlock filled
// with pixels), reduced by `method`. The reduction works in the 24-bit
// block's pixel area. A block that is not a 24-bit image raises
// EInvalidGraphic.
std::vector<uint8_t> ReduceDib24To8(std::vector<uint8_t>& block24, TColorReduction method);

}  // namespace kx
