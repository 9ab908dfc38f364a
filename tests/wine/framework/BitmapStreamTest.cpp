#include <gtest/gtest.h>

#include <vector>

#include "Graphics.h"

using namespace velfw;

namespace {

void Paint(TBitmap& b) {
    b.Canvas().FillRect(RECT{0, 0, b.Width(), b.Height()}, clWhite);
    b.Canvas().FillRect(RECT{0, 0, 3, 2}, clRed);
    b.Canvas().SetPixel(b.Width() - 1, b.Height() - 1, clBlue);
    b.Canvas().SetPixel(4, 0, clBlack);
}

TEST(BitmapStream, RoundTripKeepsSizeDepthAndPixels) {
    for (TPixelFormat format : {TPixelFormat::pfDevice, TPixelFormat::pf4bit, TPixelFormat::pf8bit,
                                TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
        TBitmap source;
        source.SetPixelFormat(format);
        ASSERT_TRUE(source.SetSize(7, 5));
        Paint(source);
        std::vector<uint8_t> file;
        source.SaveToStream(file);
        TBitmap copy;
        int changes = 0;
        copy.OnChange = [&changes] { ++changes; };
        ASSERT_TRUE(copy.LoadFromStream(file)) << static_cast<int>(format);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(copy.Width(), 7);
        EXPECT_EQ(copy.Height(), 5);
        EXPECT_EQ(copy.HandleType(), TBitmapHandleType::bmDIB);
        if (format != TPixelFormat::pfDevice) {
            EXPECT_EQ(copy.PixelFormat(), format);
        }
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(copy.Canvas().Pixel(x, y), source.Canvas().Pixel(x, y)) << x << ", " << y;
    }
}

TEST(BitmapStream, MonochromeRoundTrip) {
    TBitmap source(9, 3);
    Paint(source);
    source.Canvas().Brush().SetColor(clWhite);
    source.SetMonochrome(true);
    std::vector<uint8_t> file;
    source.SaveToStream(file);
    TBitmap copy;
    ASSERT_TRUE(copy.LoadFromStream(file));
    EXPECT_TRUE(copy.Monochrome());
    EXPECT_EQ(copy.Canvas().Pixel(0, 0), clBlack);
    EXPECT_EQ(copy.Canvas().Pixel(5, 2), clWhite);
}

TEST(BitmapStream, BadDataLeavesTheBitmapAsItWas) {
    TBitmap b(3, 3);
    b.Canvas().FillRect(RECT{0, 0, 3, 3}, clRed);
    std::vector<uint8_t> file;
    b.SaveToStream(file);
    file.resize(file.size() - 1);
    EXPECT_FALSE(b.LoadFromStream(file));
    EXPECT_FALSE(b.LoadFromStream(std::vector<uint8_t>{'B', 'M'}));
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed);
}

TEST(BitmapStream, ResizeKeepsTheTopLeftAndTheFormat) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf8bit);
    ASSERT_TRUE(b.SetSize(4, 4));
    b.Canvas().FillRect(RECT{0, 0, 4, 4}, clRed);
    ASSERT_TRUE(b.SetSize(6, 2));
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(b.Canvas().Pixel(3, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(5, 0), clWhite);
    EXPECT_NE(b.Palette(), nullptr);
}

}  // namespace

// A handle another DC holds cannot be selected into the bitmap's own DC: the
// bitmap refuses it and keeps its image, and the refused handle is freed
// (here once the other DC lets it go), as the caller handed it over.
TEST(BitmapHandle, ARefusedHandleIsFreedAndTheImageStays) {
    TBitmap b(4, 3);
    b.Canvas().FillRect(RECT{0, 0, 4, 3}, clRed);
    const UniqueMemoryDc other(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(other);
    HBITMAP given = ::CreateBitmap(2, 2, 1, 1, nullptr);
    ASSERT_NE(given, nullptr);
    HGDIOBJ first = ::SelectObject(other.get(), given);
    ASSERT_NE(first, nullptr);

    EXPECT_FALSE(b.SetHandle(given));
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed);

    ::SelectObject(other.get(), first);
    EXPECT_EQ(::GetObjectType(given), 0u) << "the refused handle is still there";
    if (::GetObjectType(given)) ::DeleteObject(given);
}
