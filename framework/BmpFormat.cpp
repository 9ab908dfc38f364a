#include "BmpFormat.h"

#include <algorithm>
#include <limits>
#include <new>

#include "ByteOrder.h"
#include "LibraryErrors.h"

namespace velfw {

namespace {

// GDI takes sizes as 32-bit ints and refuses images near 2 GB anyway; BMP
// sizes are 32-bit fields too.
constexpr uint64_t kMaxImageBytes = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());

// The later versions only append fields (masks, colour space) to the 40 bytes.
bool IsKnownInfoSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

uint64_t CheckedImageSize(uint64_t size) {
    if (size > kMaxImageBytes) throw EOutOfMemory();
    return size;
}

std::vector<uint8_t> ZeroedImageBlock(uint64_t size) {
    CheckedImageSize(size);
    try {
        return std::vector<uint8_t>(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

bool IsSupportedDibDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1: case 4: case 8: case 24: case 32: return true;
        default: return false;
    }
}

uint64_t DibRowBytes(int64_t width, int bitCount) {
    if (width <= 0 || bitCount <= 0) return 0;
    const uint64_t w = static_cast<uint64_t>(width), bits = static_cast<uint64_t>(bitCount);
    // 32-bit words, counted without forming width × bits, which a hostile
    // header can make wrap: whole groups of 32 pixels, then the rest.
    constexpr uint64_t kMostWords = std::numeric_limits<uint64_t>::max() / 4 - std::numeric_limits<uint32_t>::max();
    if (w / 32 > kMostWords / bits) return std::numeric_limits<uint64_t>::max();
    const uint64_t words = w / 32 * bits + (w % 32 * bits + 31) / 32;
    return words * 4;
}

size_t DibStride(int width, int bitsPerPixel) {
    if (!IsSupportedDibDepth(bitsPerPixel)) return 0;
    const uint64_t stride = DibRowBytes(width, bitsPerPixel);
    return stride > kMaxImageBytes ? 0 : static_cast<size_t>(stride);
}

size_t DibImageSize(int width, int height, int bitsPerPixel) {
    const size_t stride = DibStride(width, bitsPerPixel);
    if (stride == 0 || height <= 0) return 0;
    const uint64_t total = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    return total > kMaxImageBytes ? 0 : static_cast<size_t>(total);
}

int DibPaletteSize(int bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 ? 1 << bitsPerPixel : 0;
}

DibHeader ReadDibHeader(const uint8_t* p) {
    DibHeader h;
    h.size = ReadLe32(p);
    h.width = static_cast<int32_t>(ReadLe32(p + 4));
    h.height = static_cast<int32_t>(ReadLe32(p + 8));
    h.planes = ReadLe16(p + 12);
    h.bitCount = ReadLe16(p + 14);
    h.compression = ReadLe32(p + 16);
    h.sizeImage = ReadLe32(p + 20);
    h.xPelsPerMeter = static_cast<int32_t>(ReadLe32(p + 24));
    h.yPelsPerMeter = static_cast<int32_t>(ReadLe32(p + 28));
    h.clrUsed = ReadLe32(p + 32);
    h.clrImportant = ReadLe32(p + 36);
    return h;
}

void WriteDibHeader(uint8_t* p, const DibHeader& h) {
    WriteLe32(p, kBmpInfoHeaderSize);
    WriteLe32(p + 4, static_cast<uint32_t>(h.width));
    WriteLe32(p + 8, static_cast<uint32_t>(h.height));
    WriteLe16(p + 12, h.planes);
    WriteLe16(p + 14, h.bitCount);
    WriteLe32(p + 16, h.compression);
    WriteLe32(p + 20, h.sizeImage);
    WriteLe32(p + 24, static_cast<uint32_t>(h.xPelsPerMeter));
    WriteLe32(p + 28, static_cast<uint32_t>(h.yPelsPerMeter));
    WriteLe32(p + 32, h.clrUsed);
    WriteLe32(p + 36, h.clrImportant);
}

void WriteBmpFileHeader(uint8_t* p, uint32_t fileSize, uint32_t bitsOffset) {
    p[0] = 'B';
    p[1] = 'M';
    WriteLe32(p + 2, fileSize);
    WriteLe32(p + 6, 0);
    WriteLe32(p + 10, bitsOffset);
}

bool ReadBmpHeaders(std::span<const uint8_t> data, BmpHeaders& out) {
    out = BmpHeaders{};
    out.Info.size = 0;
    if (data.size() < kBmpFileHeaderSize + 4) return false;
    out.BitsOffset = ReadLe32(&data[10]);
    if (data.size() < kBmpFileHeaderSize + kBmpInfoHeaderSize) {
        out.Info.size = ReadLe32(&data[kBmpFileHeaderSize]);
        return false;
    }
    out.Info = ReadDibHeader(&data[kBmpFileHeaderSize]);
    return true;
}

BmpFault ReadBmpFileLayout(std::span<const uint8_t> data, BmpFileLayout& out, const BmpFileRules& rules) {
    out = BmpFileLayout{};
    BmpHeaders headers;
    const bool whole = ReadBmpHeaders(data, headers);
    if (data.size() < kBmpFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return BmpFault::NotBitmap;
    const DibHeader& h = headers.Info;
    if (!IsKnownInfoSize(h.size)) return BmpFault::NotBitmap;
    if (!whole || data.size() < kBmpFileHeaderSize + static_cast<uint64_t>(h.size)) return BmpFault::Truncated;
    if (h.compression != 0 || !IsSupportedDibDepth(h.bitCount) || (rules.Depths & DibDepthBit(h.bitCount)) == 0)
        return BmpFault::Unsupported;
    if (h.height < 0 && !rules.TopDown) return BmpFault::Unsupported;
    if (h.width == 0 || h.height == 0) return BmpFault::Empty;
    // -height of the smallest int has no positive value.
    if (h.width < 0 || h.height == std::numeric_limits<int32_t>::min()) return BmpFault::BadSize;
    const int32_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width > rules.LargestSide || rows > rules.LargestSide) return BmpFault::BadSize;
    const size_t size = DibImageSize(h.width, rows, h.bitCount);
    if (size == 0) return BmpFault::BadSize;
    // The table the header declares: a count of 0 is the whole table of a
    // paletted depth, and no count reaches past 256 entries (nor does GDI's).
    // Of it the pixels index no more than their depth can.
    const auto depthEntries = static_cast<uint32_t>(DibPaletteSize(h.bitCount));
    const uint32_t declared = h.clrUsed != 0 ? std::min<uint32_t>(h.clrUsed, 256) : depthEntries;
    const uint32_t entries = std::min(declared, depthEntries);
    const uint64_t tableAt = kBmpFileHeaderSize + static_cast<uint64_t>(h.size);
    const uint64_t paletteEnd = tableAt + 4ull * entries;
    if (paletteEnd > data.size()) return BmpFault::Truncated;
    // Writers leave the offset 0 now and then; the rows then follow the table.
    const uint64_t start = headers.BitsOffset != 0 ? headers.BitsOffset : tableAt + 4ull * declared;
    if (start < paletteEnd || start > data.size() || data.size() - start < size) return BmpFault::Truncated;
    out.Width = h.width;
    out.Height = rows;
    out.TopDown = h.height < 0;
    out.BitsPerPixel = h.bitCount;
    out.InfoHeaderSize = h.size;
    out.PaletteEntries = entries;
    out.BitsOffset = static_cast<size_t>(start);
    out.BitsSize = size;
    return BmpFault::None;
}

uint32_t DibInfoSize(int bitCount) { return kBmpInfoHeaderSize + 4 * static_cast<uint32_t>(DibPaletteSize(bitCount)); }

DibHeader MakeDibHeader(int64_t width, int64_t height, int bitCount, const DibHeader* own) {
    constexpr auto most = static_cast<int64_t>(kMaxImageBytes);
    if (width < 0 || width > most || height < -most || height > most) throw EOutOfMemory();
    if (height < 0) height = -height;
    DibHeader h;
    h.width = static_cast<int32_t>(width);
    h.height = static_cast<int32_t>(height);
    h.bitCount = static_cast<uint16_t>(bitCount);
    h.sizeImage = static_cast<uint32_t>(
        CheckedImageSize(CheckedImageSize(DibRowBytes(width, bitCount)) * static_cast<uint64_t>(height)));
    CheckedImageSize(uint64_t{kBmpFileHeaderSize} + DibInfoSize(bitCount) + h.sizeImage);
    if (own) {
        const auto entries = static_cast<uint32_t>(DibPaletteSize(bitCount));
        h.xPelsPerMeter = own->xPelsPerMeter;
        h.yPelsPerMeter = own->yPelsPerMeter;
        h.clrUsed = std::min(own->clrUsed, entries);
        h.clrImportant = std::min(own->clrImportant, entries);
    }
    return h;
}

std::vector<uint8_t> NewDibBlock(const DibHeader& header) {
    const uint32_t info = DibInfoSize(header.bitCount);
    const uint64_t size = uint64_t{kBmpFileHeaderSize} + info + header.sizeImage;
    std::vector<uint8_t> block = ZeroedImageBlock(size);
    WriteBmpFileHeader(block.data(), static_cast<uint32_t>(size), kBmpFileHeaderSize + info);
    WriteDibHeader(&block[kBmpFileHeaderSize], header);
    return block;
}

}  // namespace velfw
