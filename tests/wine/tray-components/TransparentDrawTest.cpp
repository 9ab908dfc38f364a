#include <gtest/gtest.h>

#include <functional>

#include "Graphics.h"
#include "KxUtils.h"

using namespace velfw;

namespace {

constexpr TColor kBack1 = 0x00FF00, kBack2 = 0x804000;  // a checkered background
constexpr TColor kInk = clRed;
constexpr TColor kHole = clFuchsia;

TColor Background(int x, int y) { return (x + y) % 2 ? kBack1 : kBack2; }

// A 24 x 24 destination painted checkered.
void CheckeredDestination(TDibBitmap& dest) {
    ASSERT_TRUE(dest.Create(24, 24, 32));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) dest.Canvas().SetPixel(x, y, Background(x, y));
}

// A 4 x 4 source in ink with holes on the diagonal (the bottom-left one too)
// and one white pixel.
void SourceWithHoles(TBitmap& source) {
    ASSERT_TRUE(source.SetSize(4, 4));
    source.Canvas().FillRect(RECT{0, 0, 4, 4}, kInk);
    for (int i = 0; i < 4; ++i) source.Canvas().SetPixel(i, 3 - i, kHole);
    source.Canvas().SetPixel(2, 2, clWhite);
}

// Every destination pixel: inside the drawn area the source pixel it comes
// from (scale times), or the background where that one is `transparent`;
// outside it the background untouched.
void ExpectCopy(TDibBitmap& dest, TBitmap& source, int left, int top, int scale,
                const std::function<bool(TColor)>& transparent) {
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            TColor want = Background(x, y);
            const int sx = (x - left) / scale, sy = (y - top) / scale;
            if (x >= left && y >= top && sx < source.Width() && sy < source.Height()) {
                const TColor pixel = source.Canvas().Pixel(sx, sy);
                if (!transparent(pixel)) want = pixel;
            }
            ASSERT_EQ(dest.Canvas().Pixel(x, y), want) << "at " << x << ", " << y;
        }
}

TEST(TransparentDraw, ExactlyTheTransparentPixelsShowTheBackground) {
    struct Case {
        const char* what;
        TColor named;
        int left, top, width, height, scale;
        std::function<bool(TColor)> transparent;
    } cases[] = {
        {"default: the bottom-left pixel", clDefault, 3, 5, 4, 4, 1, [](TColor c) { return c == kHole; }},
        {"stretched four times", kHole, 2, 1, 16, 16, 4, [](TColor c) { return c == kHole; }},
        {"a named colour", clWhite, 0, 0, 4, 4, 1, [](TColor c) { return c == clWhite; }},
        // A destination size of 0 draws at the bitmap's own size.
        {"none: a plain copy", clNone, 6, 6, 0, 0, 1, [](TColor) { return false; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TDibBitmap dest;
        CheckeredDestination(dest);
        TBitmap source;
        SourceWithHoles(source);
        kx::PaintBitmapTransparentRect(dest.Canvas(), source, c.named, c.left, c.top, c.width, c.height, 0, 0, 0, 0);
        ExpectCopy(dest, source, c.left, c.top, c.scale, c.transparent);
    }
}

TEST(TransparentDraw, MonochromeBitmapsLeaveWhiteTransparentWhateverColourIsNamed) {
    TBitmap source;
    SourceWithHoles(source);
    // Turned monochrome, the pixels of the brush colour (ink) are set (white).
    source.Canvas().Brush().SetColor(kInk);
    source.SetMonochrome(true);
    ASSERT_TRUE(source.Monochrome());
    ASSERT_EQ(source.Canvas().Pixel(0, 0), RGB(255, 255, 255));
    ASSERT_EQ(source.Canvas().Pixel(0, 3), RGB(0, 0, 0));
    for (TColor named : {clDefault, kInk, clBlack}) {
        TDibBitmap dest;
        CheckeredDestination(dest);
        kx::PaintBitmapTransparent(dest.Canvas(), 4, 4, source, named);
        ExpectCopy(dest, source, 4, 4, 1, [](TColor c) { return c == clWhite; });
    }
}

TEST(TransparentDraw, CellOfAStripIsCutOut) {
    TBitmap strip(40, 10);
    for (int i = 0; i < 4; ++i) strip.Canvas().FillRect(RECT{i * 10, 0, i * 10 + 10, 10}, 0x101010 * (i + 1));
    strip.SetTransparent(true);
    struct Case {
        int cols, rows, index;
        int width, height;
        TColor color;
    } cases[] = {{4, 1, 2, 10, 10, 0x303030}, {4, 1, -1, 10, 10, 0x101010}, {0, 0, 0, 40, 10, 0x101010}};
    for (const Case& c : cases) {
        TBitmap cell;
        kx::CopyImageCell(&strip, &cell, c.cols, c.rows, c.index);
        EXPECT_EQ(cell.Width(), c.width);
        EXPECT_EQ(cell.Height(), c.height);
        EXPECT_EQ(cell.Canvas().Pixel(0, 0), c.color);
        EXPECT_EQ(cell.Canvas().Pixel(9, 9), c.color);
        EXPECT_TRUE(cell.Transparent());
    }
}

TEST(TransparentDraw, GradientBandsStayInsideTheRectangle) {
    TDibBitmap dest;
    ASSERT_TRUE(dest.Create(10, 110, 32));
    dest.Canvas().FillRect(RECT{0, 0, 10, 110}, clWhite);
    kx::PaintGradientBands(dest.Canvas(), RECT{2, 5, 8, 105}, clBlack, clBlue, kx::GradientDirection::TopToBottom, 32);
    EXPECT_EQ(dest.Canvas().Pixel(2, 4), clWhite);
    EXPECT_EQ(dest.Canvas().Pixel(2, 105), clWhite);
    EXPECT_EQ(dest.Canvas().Pixel(1, 50), clWhite);
    EXPECT_EQ(dest.Canvas().Pixel(2, 5), clBlack);
    // 32 bands of 3 pixels, then 4 pixels in the end colour.
    EXPECT_EQ(dest.Canvas().Pixel(7, 100), clBlue);
    EXPECT_EQ(dest.Canvas().Pixel(7, 101), clBlue);
    EXPECT_EQ(dest.Canvas().Pixel(7, 98), clBlue) << "the last band is the end colour";
    EXPECT_NE(dest.Canvas().Pixel(7, 95), clBlue);
}

TEST(TransparentDraw, DisabledImageEmbossesThePixelsOfTheOutlineColour) {
    // A 4 x 3 image with the marked pixels at (0, 0) and (2, 1): the outline colour in a colour
    // image, black in a monochrome one, whatever outline colour is named for it.
    constexpr TColor kBackColor = 0x00FFFF, kHighlight = 0xFFFFFF, kShadow = 0x808080;
    struct Case {
        const char* what;
        bool monochrome;
        TColor outline, marked, other;
    } cases[] = {
        {"colour, black outline", false, clBlack, clBlack, clRed},
        {"colour, blue outline", false, clBlue, clBlue, clBlack},
        {"monochrome, black outline", true, clBlack, clBlack, clWhite},
        {"monochrome, red outline", true, clRed, clBlack, clWhite},
    };
    const auto marked = [](int x, int y) { return (x == 0 && y == 0) || (x == 2 && y == 1); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap image(4, 3);
        image.Canvas().FillRect(RECT{0, 0, 4, 3}, c.other);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                if (marked(x, y)) image.Canvas().SetPixel(x, y, c.marked);
        if (c.monochrome) image.SetMonochrome(true);
        else image.Canvas().SetPixel(3, 0, clWhite);
        for (bool highlight : {false, true}) {
            auto result = kx::BuildDisabledImage(image, c.outline, kBackColor, kHighlight, kShadow, highlight);
            ASSERT_NE(result, nullptr);
            ASSERT_EQ(result->Width(), 4);
            ASSERT_EQ(result->Height(), 3);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x) {
                    // The shadow on the marked pixels over the highlight one down and to the right.
                    const TColor want = marked(x, y)                                   ? kShadow
                                        : highlight && x > 0 && y > 0 && marked(x - 1, y - 1) ? kHighlight
                                                                                              : kBackColor;
                    EXPECT_EQ(result->Canvas().Pixel(x, y), want) << "at " << x << ", " << y << " " << highlight;
                }
        }
    }
}

TEST(TransparentDraw, ZeroedBlocks) {
    EXPECT_EQ(kx::AllocZeroedBlock(0), nullptr);
    EXPECT_EQ(kx::AllocZeroedBlock(-5), nullptr);
    void* p = kx::AllocZeroedBlock(64);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(kx::SameBytes(p, std::string(64, '\0').data(), 64));
    kx::ReleaseBlock(p);
    EXPECT_EQ(p, nullptr);
    EXPECT_THROW(kx::AllocZeroedBlock(int64_t{1} << 62), Exception);
}

}  // namespace
