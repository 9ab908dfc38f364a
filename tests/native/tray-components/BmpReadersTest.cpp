// The three readers of a BMP image from outside (a bitmap loaded from a
// file, a GIF frame encoded from one, the 24-bit image reduced to 8 bits)
// judge it alike and read its colours and rows from the same place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "BmpFormat.h"
#include "BmpTestFiles.h"
#include "ErrorOf.h"
#include "GifTestFiles.h"
#include "KxGIFModel.h"
#include "KxGraphQuantize.h"
#include "LibraryErrors.h"

using bmp_files::BmpFields;
using gif_files::Bytes;
using velfw::BmpFault;

namespace {

// The row bytes from `offset` on made distinct, padding included.
void StampRows(Bytes& file, size_t offset) {
    for (size_t k = offset; k < file.size(); ++k) file[k] = static_cast<uint8_t>((k - offset) * 37 + 11);
}

// The colour table entries made distinct (blue, green, red, 0).
void StampTable(Bytes& file, size_t entries) {
    for (size_t i = 0; i < entries && 54 + 4 * i + 3 < file.size(); ++i) {
        file[54 + 4 * i] = static_cast<uint8_t>(i), file[55 + 4 * i] = static_cast<uint8_t>(3 * i + 1);
        file[56 + 4 * i] = static_cast<uint8_t>(255 - i), file[57 + 4 * i] = 0;
    }
}

// The indices of the picture whose rows start at `offset` (the file's own
// offset field is not read), top row first.
Bytes RasterAt(Bytes file, size_t offset) {
    file[10] = static_cast<uint8_t>(offset), file[11] = static_cast<uint8_t>(offset >> 8);
    file[12] = file[13] = 0;
    int w = 0, h = 0;
    return gif_files::DibRaster(file, w, h);
}

// What GifFrameCore::EncodeFromDib makes of the file: its error text, or
// the frame decoded again with its colour table.
struct Encoded {
    std::string error;
    Bytes raster;
    kx::TGifRgbTable colors;
};
Encoded EncodeAndDecode(const Bytes& file) {
    kx::GifImageCore image;
    kx::GifFrameCore frame(image);
    Encoded e;
    e.error = testing_support::ErrorOf<velfw::EInvalidGraphicOperation>([&] { frame.EncodeFromDib(file); });
    if (!e.error.empty()) return e;
    e.colors = frame.ImageItem->FrameColors;
    int w = 0, h = 0;
    e.raster = gif_files::DibRaster(frame.DecodeToDib(), w, h);
    return e;
}

}  // namespace

TEST(BmpReaders, JudgeColourCountsAndOffsetsAlike) {
    struct Case {
        const char* what;
        Bytes file;
        BmpFault fault;         // of the loaded bitmap
        uint32_t entries = 0;   // colours the pixels index
        size_t rowsAt = 0;      // where every reader takes the rows from
        std::string gifError;   // of the GIF frame encoded from it
        bool reduced = false;   // the 24-bit reduction takes it
    } cases[] = {
        // A count above the depth's is cut to it, rows at the offset.
        {"4-bit, 17 colours said", bmp_files::BmpFile({.width = 3, .height = 2, .bits = 4, .clrUsed = 17}),
         BmpFault::None, 16, 54 + 4 * 17, ""},
        {"8-bit, 300 colours said", bmp_files::BmpFile({.width = 5, .height = 3, .bits = 8, .clrUsed = 300}),
         BmpFault::None, 256, 54 + 4 * 300, ""},
        {"1-bit, 1000 colours said, 2 written",
         bmp_files::BmpFile({.width = 9, .height = 2, .bits = 1, .clrUsed = 1000, .tableEntries = 2}), BmpFault::None,
         2, 54 + 8, ""},
        // An offset of 0: the rows follow the table the header declares.
        {"4-bit, offset 0", bmp_files::BmpFile({.width = 3, .height = 2, .bits = 4, .bitsOffset = 0}), BmpFault::None,
         16, 54 + 64, ""},
        {"8-bit of 3 colours, offset 0",
         bmp_files::BmpFile({.width = 5, .height = 3, .bits = 8, .clrUsed = 3, .bitsOffset = 0}), BmpFault::None, 3,
         54 + 12, ""},
        {"4-bit, 17 colours said, offset 0",
         bmp_files::BmpFile({.width = 3, .height = 2, .bits = 4, .clrUsed = 17, .bitsOffset = 0}), BmpFault::None, 16,
         54 + 4 * 17, ""},
        {"24-bit, offset 0", bmp_files::BmpFile({.width = 3, .height = 2, .bits = 24, .bitsOffset = 0}),
         BmpFault::None, 0, 54, "GIF image encoding error", true},
        // A 24-bit image may carry a table that none of its pixels index.
        {"24-bit with a table of 2", bmp_files::BmpFile({.width = 3, .height = 2, .bits = 24, .clrUsed = 2}),
         BmpFault::None, 0, 54 + 8, "GIF image encoding error", true},
        {"24-bit with a table of 2, offset 0",
         bmp_files::BmpFile({.width = 3, .height = 2, .bits = 24, .clrUsed = 2, .bitsOffset = 0}), BmpFault::None, 0,
         54 + 8, "GIF image encoding error", true},
        // What one reader does not take.
        {"24-bit top-down", bmp_files::BmpFile({.width = 3, .height = -2, .bits = 24}), BmpFault::None, 0, 54,
         "GIF image encoding error", false},
        {"wider than a GIF", bmp_files::BmpFile({.width = 65536, .height = 1, .bits = 8}), BmpFault::None, 256,
         54 + 1024, "GIF image encoding error"},
        {"rows inside the table", bmp_files::BmpFile({.width = 5, .height = 3, .bits = 8, .bitsOffset = 60}),
         BmpFault::Truncated, 0, 0, "GIF image encoding error"},
        {"24-bit rows inside the table", bmp_files::BmpFile({.width = 3, .height = 2, .bits = 24, .bitsOffset = 50}),
         BmpFault::Truncated, 0, 0, "GIF image encoding error"},
        {"no pixels", bmp_files::BmpFile({.width = 5, .height = 0, .bits = 8}), BmpFault::Empty, 0, 0,
         "No GIF Data to write"},
        {"24-bit of no pixels", bmp_files::BmpFile({.width = 0, .height = 2, .bits = 24}), BmpFault::Empty, 0, 0,
         "GIF image encoding error"},
    };
    Bytes unsigned24 = bmp_files::BmpFile({.width = 3, .height = 2, .bits = 24});
    unsigned24[0] = 'X';
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fault == BmpFault::None) {
            StampTable(c.file, c.entries);
            StampRows(c.file, c.rowsAt);
        }
        velfw::BmpFileLayout layout;
        const BmpFault fault = velfw::ReadBmpFileLayout(c.file, layout);
        EXPECT_EQ(fault, c.fault);
        if (fault != c.fault) continue;
        if (c.fault == BmpFault::None) {
            EXPECT_EQ(layout.PaletteEntries, c.entries);
            EXPECT_EQ(layout.BitsOffset, c.rowsAt);
        }

        const Encoded e = EncodeAndDecode(c.file);
        EXPECT_EQ(e.error, c.gifError);
        if (e.error.empty()) {
            const Bytes raster = RasterAt(c.file, c.rowsAt);
            EXPECT_EQ(e.raster, raster);
            // The table holds the colours the pixels index, no more.
            const uint32_t used = std::max<uint32_t>(c.entries, *std::max_element(raster.begin(), raster.end()) + 1u);
            EXPECT_EQ(e.colors.Count, 1 << kx::BitsToHold(static_cast<int32_t>(used)));
            for (uint32_t i = 0; i < c.entries && i < static_cast<uint32_t>(e.colors.Count); ++i)
                EXPECT_EQ(e.colors.ColorAt(static_cast<int>(i)),
                          static_cast<kx::TColor>(c.file[56 + 4 * i] | c.file[55 + 4 * i] << 8 | c.file[54 + 4 * i] << 16))
                    << "colour " << i;
        }

        Bytes block = c.file;
        if (!c.reduced) {
            EXPECT_THROW(kx::ReduceDib24To8(block, kx::crGrayscale), velfw::EInvalidGraphic);
            continue;
        }
        const Bytes grey = kx::ReduceDib24To8(block, kx::crGrayscale);
        velfw::BmpFileLayout out;
        ASSERT_EQ(velfw::ReadBmpFileLayout(grey, out), BmpFault::None);
        EXPECT_EQ(out.PaletteEntries, 256u);
        const uint64_t stride24 = velfw::DibRowBytes(layout.Width, 24), stride8 = velfw::DibRowBytes(layout.Width, 8);
        for (int y = 0; y < layout.Height; ++y)
            for (int x = 0; x < layout.Width; ++x) {
                const uint8_t* p = &c.file[c.rowsAt + y * stride24 + 3 * x];
                EXPECT_EQ(grey[out.BitsOffset + y * stride8 + x], (77 * p[2] + 150 * p[1] + 29 * p[0]) >> 8)
                    << x << "," << y;
            }
    }
    // A block without the signature is no image to any of them.
    velfw::BmpFileLayout layout;
    EXPECT_EQ(velfw::ReadBmpFileLayout(unsigned24, layout), BmpFault::NotBitmap);
    EXPECT_THROW(kx::ReduceDib24To8(unsigned24, kx::crGrayscale), velfw::EInvalidGraphic);
    unsigned24[28] = 8;
    EXPECT_EQ(EncodeAndDecode(unsigned24).error, "GIF image encoding error");
}
