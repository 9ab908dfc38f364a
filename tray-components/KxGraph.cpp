#include "KxGraph.h"

#include "KxUtils.h"
#include "LibraryErrors.h"
#include "WinHandles.h"

namespace kx {

using velfw::DibHeader;
using velfw::kBmpFileHeaderSize;
using velfw::TBitmap;
using velfw::TPixelFormat;

namespace {

// The bitmap's own information header when it is a DIB section.
bool OwnDibHeader(HBITMAP bitmap, DibHeader& own) {
    DIBSECTION section{};
    if (::GetObjectA(bitmap, sizeof section, &section) != static_cast<int>(sizeof section)) return false;
    if (section.dsBmih.biSize < velfw::kBmpInfoHeaderSize) return false;
    own.xPelsPerMeter = section.dsBmih.biXPelsPerMeter;
    own.yPelsPerMeter = section.dsBmih.biYPelsPerMeter;
    own.clrUsed = section.dsBmih.biClrUsed;
    own.clrImportant = section.dsBmih.biClrImportant;
    return true;
}

// A BMP file image of the bitmap at `bits` per pixel, read by the system
// (which also writes the colour table).
std::vector<uint8_t> BuildDibBlock(TBitmap& bitmap, int bits) {
    if (bitmap.Empty()) throw velfw::EInvalidGraphic();
    BITMAP description{};
    if (!::GetObjectA(bitmap.Handle(), sizeof description, &description)) throw velfw::EInvalidGraphic();
    DibHeader own;
    const bool hasOwn = OwnDibHeader(bitmap.Handle(), own);
    const DibHeader header =
        velfw::MakeDibHeader(description.bmWidth, std::abs(int64_t{description.bmHeight}), bits, hasOwn ? &own : nullptr);
    std::vector<uint8_t> block = velfw::NewDibBlock(header);
    // The system reads pixels only from a bitmap that no DC holds, and the
    // bitmap keeps its own selected: read a copy.
    velfw::UniqueGdiObject copy(::CopyImage(
        bitmap.Handle(), IMAGE_BITMAP, 0, 0,
        bitmap.HandleType() == velfw::TBitmapHandleType::bmDIB ? LR_CREATEDIBSECTION : 0));
    velfw::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!copy || !dc) throw velfw::EInvalidGraphic();
    HPALETTE palette = bits <= 8 ? bitmap.Palette() : nullptr;
    const velfw::RealizedPalette selected(dc.get(), palette, false);
    auto* info = reinterpret_cast<BITMAPINFO*>(block.data() + kBmpFileHeaderSize);
    const int lines = ::GetDIBits(dc.get(), static_cast<HBITMAP>(copy.get()), 0, static_cast<UINT>(header.height),
                                  block.data() + kBmpFileHeaderSize + velfw::DibInfoSize(bits), info, DIB_RGB_COLORS);
    if (lines == 0) throw velfw::EInvalidGraphic();
    // The system may rewrite the header's counts; the file keeps ours.
    velfw::WriteDibHeader(block.data() + kBmpFileHeaderSize, header);
    return block;
}

// 24-bit pixels turned to their grey levels, in place.
void GrayPixels24(std::vector<uint8_t>& block24) {
    const DibHeader header = velfw::ReadDibHeader(block24.data() + kBmpFileHeaderSize);
    const uint64_t row = velfw::DibRowBytes(header.width, 24);
    uint8_t* pixels = block24.data() + kBmpFileHeaderSize + velfw::kBmpInfoHeaderSize;
    for (int64_t y = 0; y < header.height; ++y) {
        uint8_t* p = pixels + y * row;
        for (int32_t x = 0; x < header.width; ++x, p += 3) {
            const auto level = static_cast<uint8_t>((77 * p[2] + 150 * p[1] + 29 * p[0]) >> 8);
            p[0] = p[1] = p[2] = level;
        }
    }
}

}  // namespace

std::vector<uint8_t> ConvertBitmapToDibStream(TBitmap& bitmap, TPixelFormat format, TColorReduction method) {
    if (bitmap.Empty()) throw velfw::EInvalidGraphic();
    if (bitmap.PixelFormat() == format && method != crGrayscale) {
        std::vector<uint8_t> out;
        bitmap.SaveToStream(out);
        return out;
    }
    const int bits = velfw::BitsOfFormat(format);
    switch (bits) {
        case 1:
        case 4: return BuildDibBlock(bitmap, bits);
        case 8: {
            std::vector<uint8_t> block24 = BuildDibBlock(bitmap, 24);
            return ReduceDib24To8(block24, method);
        }
        case 24: {
            std::vector<uint8_t> block24 = BuildDibBlock(bitmap, 24);
            if (method == crGrayscale) GrayPixels24(block24);
            return block24;
        }
        default: ReportUnsupported();
    }
}

std::vector<uint8_t> ReduceBitmapColorsStream(TBitmap& bitmap, int colors) {
    const TPixelFormat target = colors <= 2    ? TPixelFormat::pf1bit
                                : colors <= 16  ? TPixelFormat::pf4bit
                                : colors <= 256 ? TPixelFormat::pf8bit
                                                : TPixelFormat::pf24bit;
    return ConvertBitmapToDibStream(bitmap, target, DefaultColorReduction);
}

}  // namespace kx
