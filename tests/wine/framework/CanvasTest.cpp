#include <gtest/gtest.h>

#include <cstring>

#include "Graphics.h"

using namespace velfw;

namespace {

// A 32-bit pixel of a DIB read straight from its bits, as 0x00BBGGRR.
TColor BitsPixel(TDibBitmap& dib, int x, int y) {
    const uint8_t* p = dib.ScanLine(y) + static_cast<size_t>(x) * 4;  // blue, green, red, unused
    return static_cast<TColor>(p[0]) << 16 | static_cast<TColor>(p[1]) << 8 | p[2];
}

// A 32-bit DIB painted white, and its canvas.
TCanvas& WhiteDib(TDibBitmap& dib, int width, int height) {
    EXPECT_TRUE(dib.Create(width, height, 32));
    dib.Canvas().FillRect(RECT{0, 0, width, height}, clWhite);
    return dib.Canvas();
}

int CountPixels(TDibBitmap& dib, const RECT& r, TColor color) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += BitsPixel(dib, x, y) == color;
    return n;
}

}  // namespace

TEST(Canvas, DibBitsAreTheCanvasPixelsTopRowFirst) {
    TDibBitmap dib;
    ASSERT_TRUE(dib.Create(7, 3, 32));
    EXPECT_EQ(dib.Stride(), 28u);
    dib.Canvas().FillRect(RECT{0, 0, 7, 3}, clWhite);
    dib.Canvas().SetPixel(1, 0, clRed);
    EXPECT_EQ(BitsPixel(dib, 1, 0), clRed) << "row 0 is the top one";
    // Written through the bits, read through the canvas.
    uint8_t* row = dib.ScanLine(2);
    row[5 * 4 + 0] = 0xFF;  // blue
    row[5 * 4 + 1] = 0;
    row[5 * 4 + 2] = 0;
    EXPECT_EQ(dib.Canvas().Pixel(5, 2), clBlue);
    EXPECT_THROW(dib.ScanLine(3), Exception);
    EXPECT_THROW(dib.ScanLine(-1), Exception);
}

TEST(Canvas, DibDepthsAndBadSizes) {
    struct Case {
        int width, height, bits;
        bool made;
        size_t stride;
        int palette;
    } cases[] = {
        {9, 2, 1, true, 4, 2},  {9, 2, 4, true, 8, 16}, {9, 2, 8, true, 12, 256},
        {9, 2, 24, true, 28, 0}, {9, 2, 32, true, 36, 0},
        {0, 2, 8, false, 0, 0}, {9, -1, 8, false, 0, 0}, {9, 2, 16, false, 0, 0},
        {65536, 65536, 32, false, 0, 0},
    };
    for (const Case& c : cases) {
        TDibBitmap dib;
        EXPECT_EQ(dib.Create(c.width, c.height, c.bits), c.made) << c.width << "x" << c.height << "x" << c.bits;
        EXPECT_EQ(dib.Stride(), c.stride);
        EXPECT_EQ(dib.PaletteSize(), c.palette);
        EXPECT_EQ(dib.Empty(), !c.made);
        if (!c.made) {
            EXPECT_EQ(dib.Bits(), nullptr);
        }
    }
}

TEST(Canvas, PaletteIndexesBecomeColours) {
    TDibBitmap dib;
    ASSERT_TRUE(dib.Create(4, 2, 8));
    RGBQUAD colors[3] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}};  // black, red, green
    ASSERT_TRUE(dib.SetPalette(colors, 3));
    EXPECT_EQ(dib.PaletteEntry(1).rgbRed, 255);
    std::memset(dib.Bits(), 0, dib.Stride() * 2);
    dib.ScanLine(0)[2] = 1;
    dib.ScanLine(1)[3] = 2;
    EXPECT_EQ(dib.Canvas().Pixel(2, 0), clRed);
    EXPECT_EQ(dib.Canvas().Pixel(3, 1), TColor(0x00FF00));
    EXPECT_EQ(dib.Canvas().Pixel(0, 0), clBlack);
    std::vector<RGBQUAD> tooMany(257);
    EXPECT_FALSE(dib.SetPalette(tooMany.data(), 257));
    EXPECT_FALSE(dib.SetPalette(nullptr, 1));
    TDibBitmap deep;
    ASSERT_TRUE(deep.Create(2, 2, 24));
    EXPECT_FALSE(deep.SetPalette(colors, 1)) << "no colour table above 8 bits";
}

TEST(Canvas, PenWidthColourAndStyle) {
    TDibBitmap dib;
    TCanvas& c = WhiteDib(dib, 40, 40);
    c.Pen().SetColor(clRed);
    c.Pen().SetWidth(5);
    c.MoveTo(5, 20);
    c.LineTo(35, 20);
    // A 5-pixel line: rows 18 to 22 are red across the middle, 15 and 25 not.
    for (int y = 18; y <= 22; ++y) EXPECT_EQ(BitsPixel(dib, 20, y), clRed) << y;
    EXPECT_EQ(BitsPixel(dib, 20, 15), clWhite);
    EXPECT_EQ(BitsPixel(dib, 20, 25), clWhite);
    c.Pen().SetStyle(TPenStyle::psClear);
    c.Pen().SetWidth(1);
    c.MoveTo(5, 30);
    c.LineTo(35, 30);
    EXPECT_EQ(CountPixels(dib, RECT{0, 29, 40, 32}, clRed), 0) << "a clear pen draws nothing";
    // The rectangle: outline with the pen, inside with the brush.
    c.Pen().SetStyle(TPenStyle::psSolid);
    c.Pen().SetColor(clBlue);
    c.Brush().SetColor(clYellow);
    c.Rectangle(RECT{2, 2, 12, 12});
    EXPECT_EQ(BitsPixel(dib, 2, 5), clBlue);
    EXPECT_EQ(BitsPixel(dib, 6, 6), clYellow);
    EXPECT_EQ(BitsPixel(dib, 12, 6), clWhite) << "right edge is exclusive";
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Rectangle(RECT{20, 2, 30, 12});
    EXPECT_EQ(BitsPixel(dib, 25, 6), clWhite) << "a clear brush leaves the inside";
}

TEST(Canvas, TextIsDrawnInTheFontColourWithinItsExtent) {
    TDibBitmap dib;
    TCanvas& c = WhiteDib(dib, 200, 60);
    c.Font().SetName("Arial");
    c.Font().SetSize(12);
    c.Font().SetColor(clRed);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    const std::string text = "Velunor";
    const int w = c.TextWidth(text), h = c.TextHeight(text);
    ASSERT_GT(w, 10);
    ASSERT_GT(h, 5);
    c.TextOut(10, 10, text);
    const RECT box{10, 10, 10 + w, 10 + h};
    EXPECT_GT(CountPixels(dib, box, clRed), 10) << "red ink in the text's box";
    EXPECT_EQ(CountPixels(dib, RECT{0, 10 + h, 200, 60}, clRed), 0) << "nothing below it";
    EXPECT_EQ(CountPixels(dib, RECT{10 + w + 2, 0, 200, 60}, clRed), 0) << "nothing right of it";

    // A bigger font is wider; bold is at least as wide.
    c.Font().SetSize(24);
    const int big = c.TextWidth(text);
    EXPECT_GT(big, w);
    c.Font().SetStyle(fsBold);
    EXPECT_GE(c.TextWidth(text), big);

    // The DC is left as it was found: no font of ours stays selected.
    HGDIOBJ before = ::GetCurrentObject(c.Handle(), OBJ_FONT);
    c.TextOut(0, 0, "x");
    EXPECT_EQ(::GetCurrentObject(c.Handle(), OBJ_FONT), before);
}

TEST(Canvas, TextRectClipsAndFillsWithTheBrush) {
    TDibBitmap dib;
    TCanvas& c = WhiteDib(dib, 200, 40);
    c.Font().SetColor(clBlack);
    c.Brush().SetColor(clYellow);
    const RECT r{10, 5, 30, 35};
    c.TextRect(r, 10, 5, "WWWWWWWWWWWWWWWW");
    EXPECT_EQ(CountPixels(dib, RECT{30, 0, 200, 40}, clBlack), 0) << "clipped at the right edge";
    EXPECT_GT(CountPixels(dib, r, clYellow), 0) << "the background is the brush's";
    EXPECT_GT(CountPixels(dib, r, clBlack), 0);

    // DrawText measures with DT_CALCRECT and draws nothing then.
    RECT calc{0, 0, 0, 0};
    const int height = c.DrawText("two\nlines", calc, DT_CALCRECT);
    EXPECT_EQ(height, calc.bottom);
    EXPECT_GE(calc.bottom, 2 * c.TextHeight("x") - 1);
    EXPECT_GT(calc.right, 0);
}
