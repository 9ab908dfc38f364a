#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "BmpFormat.h"
#include "BmpTestFiles.h"

using namespace velfw;

TEST(BmpFormat, DibRowsArePaddedTo32BitsAndBadSizesHaveNone) {
    struct Case {
        int width, bits;
        size_t stride;
    } cases[] = {
        {1, 1, 4}, {32, 1, 4}, {33, 1, 8},
        {7, 4, 4}, {9, 4, 8},
        {3, 8, 4}, {5, 8, 8},
        {1, 24, 4}, {3, 24, 12}, {5, 24, 16},
        {1, 32, 4}, {10, 32, 40},
        {0, 8, 0}, {-4, 8, 0},
        {4, 0, 0}, {4, 2, 0}, {4, 16, 0}, {4, 64, 0},
        {0x7FFFFFFF, 32, 0},  // a row past what GDI can address
    };
    for (const Case& c : cases) EXPECT_EQ(DibStride(c.width, c.bits), c.stride) << c.width << " x " << c.bits;
}

TEST(BmpFormat, DibImageSizeRefusesOverflow) {
    EXPECT_EQ(DibImageSize(3, 2, 24), 24u);
    EXPECT_EQ(DibImageSize(3, 0, 24), 0u);
    EXPECT_EQ(DibImageSize(3, -1, 24), 0u);
    EXPECT_EQ(DibImageSize(65536, 65536, 32), 0u) << "16 GB does not fit";
    EXPECT_EQ(DibPaletteSize(1), 2);
    EXPECT_EQ(DibPaletteSize(4), 16);
    EXPECT_EQ(DibPaletteSize(8), 256);
    EXPECT_EQ(DibPaletteSize(24), 0);
    EXPECT_EQ(DibPaletteSize(32), 0);
}

namespace {

// A BMP file of the given header fields, its colour table and rows zeroed.
std::vector<uint8_t> BmpFile(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                             uint32_t clrUsed = 0, uint32_t bitsOffset = 0, int64_t rowBytes = -1) {
    return bmp_files::BmpFile({.width = width,
                               .height = height,
                               .bits = bits,
                               .compression = compression,
                               .clrUsed = clrUsed,
                               .bitsOffset = bitsOffset ? int64_t{bitsOffset} : -1,
                               .rowBytes = rowBytes});
}

}  // namespace

TEST(BmpFileLayout, ReadsOnlyWhatLiesInsideTheData) {
    using velfw::BmpFault;
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        BmpFault fault;
    } cases[] = {
        {"8-bit bottom-up", BmpFile(5, 3, 8), BmpFault::None},
        {"24-bit top-down", BmpFile(5, -3, 24), BmpFault::None},
        {"1-bit with 2 colours used", BmpFile(33, 2, 1, 0, 2), BmpFault::None},
        {"RLE compressed", BmpFile(5, 3, 8, 1), BmpFault::Unsupported},
        {"16 bits", BmpFile(5, 3, 16), BmpFault::Unsupported},
        {"width 0", BmpFile(0, 3, 24), BmpFault::Empty},
        {"negative width", BmpFile(-5, 3, 24), BmpFault::BadSize},
        {"height of the smallest int", BmpFile(1, INT32_MIN, 24, 0, 0, 0, 0), BmpFault::BadSize},
        {"rows cut short", BmpFile(5, 3, 24, 0, 0, 0, 20), BmpFault::Truncated},
        {"rows said to start inside the table", BmpFile(5, 3, 8, 0, 0, 60), BmpFault::Truncated},
        {"rows said to start past the end", BmpFile(5, 3, 24, 0, 0, 0xFFFFFFF0u), BmpFault::Truncated},
        {"huge size in a tiny file", BmpFile(65536, 65536, 32, 0, 0, 0, 0), BmpFault::BadSize},
    };
    for (const Case& c : cases) {
        velfw::BmpFileLayout layout;
        EXPECT_EQ(velfw::ReadBmpFileLayout(c.file, layout), c.fault) << c.what;
    }
    // Ending inside the information header: the signature and a known
    // header size make it a bitmap that is cut short.
    const std::vector<uint8_t> whole = BmpFile(5, 3, 8);
    for (size_t size : {18u, 30u, 53u}) {
        velfw::BmpFileLayout layout;
        EXPECT_EQ(velfw::ReadBmpFileLayout(std::span<const uint8_t>(whole.data(), size), layout), BmpFault::Truncated)
            << size;
    }
    std::vector<uint8_t> notBmp = BmpFile(5, 3, 8);
    notBmp[0] = 'X';
    velfw::BmpFileLayout layout;
    EXPECT_EQ(velfw::ReadBmpFileLayout(notBmp, layout), BmpFault::NotBitmap);
    EXPECT_EQ(velfw::ReadBmpFileLayout(std::span<const uint8_t>(notBmp.data(), 10), layout), BmpFault::NotBitmap);
    const auto file = BmpFile(5, -3, 8);
    ASSERT_EQ(velfw::ReadBmpFileLayout(file, layout), BmpFault::None);
    EXPECT_EQ(layout.Width, 5);
    EXPECT_EQ(layout.Height, 3);
    EXPECT_TRUE(layout.TopDown);
    EXPECT_EQ(layout.PaletteEntries, 256u);
    EXPECT_EQ(layout.BitsOffset, 14u + 40u + 1024u);
    EXPECT_EQ(layout.BitsSize, 24u);
}

TEST(BmpFormat, RowBytesPadToFourBytes) {
    struct Case {
        int64_t bits;
        int64_t bytes;
    };
    const Case cases[] = {
        {1, 4}, {32, 4}, {33, 8}, {16 * 4, 8}, {17 * 24, 52}, {0, 0}, {-33, 0},
        // Width times bit count of a hostile header must not wrap.
        {std::numeric_limits<int64_t>::max(), (std::numeric_limits<int64_t>::max() / 32 + 1) * 4},
    };
    for (const auto& c : cases) EXPECT_EQ(DibRowBytes(c.bits, 1), static_cast<uint64_t>(c.bytes)) << c.bits;
    struct WidthCase {
        int64_t width;
        int bits;
        uint64_t bytes;
    };
    const WidthCase widths[] = {
        {3, 24, 12}, {9, 4, 8}, {5, 8, 8}, {4, 16, 8}, {4, 0, 0}, {4, -8, 0},
        {0x7FFFFFFF, 32, 0x7FFFFFFFull * 4},
        // More than 64 bits can count: the most, never a wrapped small size.
        {std::numeric_limits<int64_t>::max(), 32, std::numeric_limits<uint64_t>::max()},
    };
    for (const auto& c : widths) EXPECT_EQ(DibRowBytes(c.width, c.bits), c.bytes) << c.width << " x " << c.bits;
}

TEST(BmpFormat, OnlyPalettedDepthsHaveTables) {
    const std::pair<int32_t, int32_t> cases[] = {{1, 2}, {4, 16}, {8, 256}, {0, 0}, {2, 0}, {16, 0}, {24, 0}, {32, 0}, {-8, 0}};
    for (const auto& [bits, entries] : cases) EXPECT_EQ(DibPaletteSize(bits), entries) << bits;
}
