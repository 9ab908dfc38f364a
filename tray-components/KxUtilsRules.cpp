#include "KxUtilsRules.h"

#include <algorithm>
#include <limits>

#include "MaxMin.h"

namespace kx {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero, as GDI's
// MulDiv does; c is positive here.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = c / 2;
    return static_cast<int32_t>(product >= 0 ? (product + half) / c : (product - half) / c);
}

uint32_t Component(uint32_t color, int shift) { return (color >> shift) & 0xFF; }

}  // namespace

TransparentCopy ChooseTransparentCopy(uint32_t transparentColor, bool monochrome,
                                      const std::function<uint32_t()>& bottomLeft) {
    if (transparentColor == kColorNone) return {};
    if (monochrome) return {true, kColorWhite};
    if (transparentColor == kColorDefault) return {true, bottomLeft ? bottomLeft() : kColorWhite};
    return {true, transparentColor};
}

StretchRects FillDefaultSizes(StretchRects r, int32_t bitmapWidth, int32_t bitmapHeight) {
    if (r.DstW <= 0) r.DstW = bitmapWidth;
    if (r.DstH <= 0) r.DstH = bitmapHeight;
    if (r.SrcW <= 0 || r.SrcH <= 0) {
        r.SrcX = 0;
        r.SrcY = 0;
        r.SrcW = bitmapWidth;
        r.SrcH = bitmapHeight;
    }
    return r;
}

ImageCell ImageCellOf(int32_t sourceWidth, int32_t sourceHeight, int32_t cols, int32_t rows, int32_t index) {
    cols = IntMax(cols, 1);
    rows = IntMax(rows, 1);
    index = IntMax(index, 0);
    ImageCell cell;
    cell.Width = IntMax(sourceWidth, 0) / cols;
    cell.Height = IntMax(sourceHeight, 0) / rows;
    cell.X = ClampToInt32(static_cast<int64_t>(index % cols) * cell.Width);
    cell.Y = ClampToInt32(static_cast<int64_t>(index / cols) * cell.Height);
    return cell;
}

std::vector<ColorBand> PlanGradientBands(const Rect& r, uint32_t startColor, uint32_t endColor,
                                         GradientDirection direction, uint8_t colors) {
    std::vector<ColorBand> bands;
    if (r.Right <= r.Left || r.Bottom <= r.Top) return bands;
    if (colors < 2) {
        bands.push_back({r, startColor});
        return bands;
    }
    const bool reversed = direction == GradientDirection::BottomToTop || direction == GradientDirection::RightToLeft;
    const bool vertical = direction == GradientDirection::TopToBottom || direction == GradientDirection::BottomToTop;
    const uint32_t base = reversed ? endColor : startColor;
    const uint32_t far = reversed ? startColor : endColor;
    const int32_t length = vertical ? RectHeight(r) : RectWidth(r);
    const int32_t count = IntMax(2, IntMin(colors, length));
    const int32_t band = length / count;
    const int32_t origin = vertical ? r.Top : r.Left;

    auto narrowed = [&](int32_t from, int32_t to) {
        Rect area = r;
        (vertical ? area.Top : area.Left) = from;
        (vertical ? area.Bottom : area.Right) = to;
        return area;
    };

    if (band > 0) {
        for (int32_t i = 0; i < count; ++i) {
            uint32_t color = 0;
            for (int shift : {0, 8, 16}) {
                const int32_t from = static_cast<int32_t>(Component(base, shift));
                const int32_t delta = static_cast<int32_t>(Component(far, shift)) - from;
                const uint32_t value = static_cast<uint32_t>(from + MulDivRound(i, delta, count - 1)) & 0xFF;
                color |= value << shift;
            }
            bands.push_back({narrowed(origin + i * band, origin + i * band + band), color});
        }
    }
    const int32_t rest = length % count;
    if (rest > 0) {
        const int32_t farEdge = vertical ? r.Bottom : r.Right;
        bands.push_back({narrowed(farEdge - rest, farEdge), far});
    }
    return bands;
}

}  // namespace kx
