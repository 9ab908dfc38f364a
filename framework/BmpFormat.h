// BMP files and device-independent bitmaps: the size of their rows and
// colour tables, their headers, reading a file image in place and building
// one. No Windows here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velfw {

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;

// The depths a DIB section is made with.
bool IsSupportedDibDepth(int bitsPerPixel);

// Bytes of one row of `width` pixels of `bitCount` bits (rows are padded to
// 32 bits); 0 for a width or bit count of 0 or less. 64-bit, since the
// sizes come from file headers.
uint64_t DibRowBytes(int64_t width, int bitCount);

// The row of a DIB section, or 0 when the size or depth is not one a bitmap
// can have or the row would not fit memory.
size_t DibStride(int width, int bitsPerPixel);

// Bytes of all rows of a DIB section, or 0 as above (also when the total
// would overflow).
size_t DibImageSize(int width, int height, int bitsPerPixel);

// Entries of the colour table: 2^bits for 1, 4 and 8 bits, none for any
// other count.
int DibPaletteSize(int bitsPerPixel);

// The bitmap information header.
struct DibHeader {
    uint32_t size = kBmpInfoHeaderSize;  // as read; the writer always writes the 40-byte header
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

// The 40 bytes at `at`.
DibHeader ReadDibHeader(const uint8_t* at);
void WriteDibHeader(uint8_t* at, const DibHeader& header);

// The 14-byte file header: "BM", the file's size and where its rows start.
void WriteBmpFileHeader(uint8_t* at, uint32_t fileSize, uint32_t bitsOffset);

// The two headers at the start of a BMP file image.
struct BmpHeaders {
    uint32_t BitsOffset = 0;  // where the rows start, from the start of the file
    DibHeader Info;
};
// False when the data ends before the two headers do; `out.Info.size` is
// still read when the data reaches that far (0 otherwise).
bool ReadBmpHeaders(std::span<const uint8_t> data, BmpHeaders& out);

// A BMP file ("BM", a 14-byte file header, a bitmap-info header of 40 bytes
// or one of its longer versions, the colour table and the pixel rows) as a
// DIB section can be made of it: every part lies inside the data.
struct BmpFileLayout {
    int32_t Width = 0;
    int32_t Height = 0;  // always positive
    bool TopDown = false;
    int BitsPerPixel = 0;
    uint32_t InfoHeaderSize = 0;
    uint32_t PaletteEntries = 0;  // the colours the pixels index, four bytes each, after the info header
    size_t BitsOffset = 0;        // from the start of the data
    size_t BitsSize = 0;          // all rows
};

enum class BmpFault {
    None,
    NotBitmap,    // no "BM" signature or an unknown info header
    Unsupported,  // compressed, or a depth or row order the caller does not take
    Empty,        // a width or height of 0: no pixels
    BadSize,      // a negative width, or too large
    Truncated,    // the colour table or the rows end beyond the data
};

constexpr uint64_t DibDepthBit(int bitsPerPixel) { return uint64_t{1} << bitsPerPixel; }
constexpr uint64_t kDibSectionDepths =
    DibDepthBit(1) | DibDepthBit(4) | DibDepthBit(8) | DibDepthBit(24) | DibDepthBit(32);

// What a caller takes of the bitmaps a BMP file can hold; the defaults take
// every one a DIB section is made of.
struct BmpFileRules {
    uint64_t Depths = kDibSectionDepths;  // DibDepthBit of each bit count taken, within kDibSectionDepths
    int32_t LargestSide = INT32_MAX;      // of width and height
    bool TopDown = true;                  // rows stored top first are taken
};

// The one judgement of a BMP file image from outside. A colour count above
// what the depth indexes is cut to it, as GDI does (the pixels reach no
// more); a bits offset of 0 puts the rows right after the colour table the
// header declares.
BmpFault ReadBmpFileLayout(std::span<const uint8_t> data, BmpFileLayout& out, const BmpFileRules& rules = {});

// The header of a `bitCount` image of a bitmap of that size. Resolutions and
// colour counts come from the bitmap's own header when it has one, the
// counts cut to what the bit count can hold. Sizes too large for a BMP file
// raise EOutOfMemory.
DibHeader MakeDibHeader(int64_t width, int64_t height, int bitCount, const DibHeader* own = nullptr);
// Bytes of the information header with its colour table.
uint32_t DibInfoSize(int bitCount);
// `size` when a block of image data that large may be made: BMP sizes are
// 32-bit fields, and GDI takes sizes as 32-bit ints. Larger sizes raise
// EOutOfMemory.
uint64_t CheckedImageSize(uint64_t size);
// `size` zero bytes; EOutOfMemory when the size is refused as above or the
// memory is not there.
std::vector<uint8_t> ZeroedImageBlock(uint64_t size);
// A zero-filled BMP file image for `header`: file header, information
// header, room for the colour table and the pixels.
std::vector<uint8_t> NewDibBlock(const DibHeader& header);

}  // namespace velfw
