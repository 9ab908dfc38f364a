// The decisions of the transparent drawing helpers: which colour a copy keeps
// transparent, the rectangles of a stretched copy, the cell of an image strip
// and the bands of a gradient fill. No Windows here; the drawing itself
// (device contexts, bitmaps, brushes) is the caller's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace kx {

struct Point {
    int32_t X = 0, Y = 0;
};

struct Rect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Coordinates computed in 64 bits, brought back as far as 32 bits reach.
constexpr int32_t ClampToInt32(int64_t v) {
    return v < std::numeric_limits<int32_t>::min()   ? std::numeric_limits<int32_t>::min()
           : v > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                     : static_cast<int32_t>(v);
}

constexpr int32_t RectWidth(const Rect& r) { return r.Right - r.Left; }
constexpr int32_t RectHeight(const Rect& r) { return r.Bottom - r.Top; }

// Colours are 0x00BBGGRR; the top bit marks a system colour, which the caller
// resolves to RGB (the framework's ColorToRGB) before it reaches GDI.
constexpr uint32_t kColorNone = 0x1FFFFFFF;     // as transparent colour: copy plainly
constexpr uint32_t kColorDefault = 0x20000000;  // as transparent colour: the bottom-left pixel
constexpr uint32_t kPaletteRelative = 0x02000000;
constexpr uint32_t kColorWhite = 0xFFFFFF;
constexpr uint32_t kColorSilver = 0xC0C0C0;

// How a bitmap is drawn with a transparent colour.
struct TransparentCopy {
    bool Masked = false;  // false: a plain stretch copy in the canvas's copy mode
    uint32_t Color = 0;   // the colour left transparent; may still be a system colour
};

// `bottomLeft` reads the bitmap's pixel at (0, height - 1); it is called only
// when that pixel decides. A monochrome bitmap always keeps white transparent.
TransparentCopy ChooseTransparentCopy(uint32_t transparentColor, bool monochrome,
                                      const std::function<uint32_t()>& bottomLeft);

// Destination and source of a stretched copy.
struct StretchRects {
    int32_t DstX = 0, DstY = 0, DstW = 0, DstH = 0;
    int32_t SrcX = 0, SrcY = 0, SrcW = 0, SrcH = 0;
};

// A destination size of 0 or less becomes the bitmap's; a source of no size
// becomes the whole bitmap.
StretchRects FillDefaultSizes(StretchRects r, int32_t bitmapWidth, int32_t bitmapHeight);

// One cell of an image strip of Cols x Rows cells: its size and its top-left
// in the source. A graphic that cannot be cut is drawn at (-X, -Y) instead.
struct ImageCell {
    int32_t Width = 0, Height = 0;
    int32_t X = 0, Y = 0;
};

// Cols and Rows of 0 or less count as 1, an Index below 0 as 0. A cell past
// the end of a very long strip is placed as far as 32 bits reach.
ImageCell ImageCellOf(int32_t sourceWidth, int32_t sourceHeight, int32_t cols, int32_t rows, int32_t index);

enum class GradientDirection { TopToBottom = 0, BottomToTop = 1, LeftToRight = 2, RightToLeft = 3 };

struct ColorBand {
    Rect Area;
    uint32_t Color = 0;  // RGB
};

// The fills of a gradient over `r`, in painting order: equal bands from the
// start edge, then the rest of the length (height or width divided by the
// band count) in the colour of the far end. Colours are resolved RGB values.
std::vector<ColorBand> PlanGradientBands(const Rect& r, uint32_t startColor, uint32_t endColor,
                                         GradientDirection direction, uint8_t colors);

// Passes a message text through unchanged; the picture units' texts go
// through here so that one place could translate them.
inline std::string ResourceText(const std::string& s) { return s; }

// Memory helpers of the picture units; a count of 0 or less touches nothing.
inline bool SameBytes(const void* a, const void* b, int64_t count) {
    return count <= 0 || std::memcmp(a, b, static_cast<size_t>(count)) == 0;
}
inline void CopyBytes(void* dst, const void* src, int64_t count) {
    if (count > 0) std::memmove(dst, src, static_cast<size_t>(count));
}

}  // namespace kx
