#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "KxUtilsRules.h"

using namespace kx;

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBtnFace = 0x8000000F;  // a system colour, resolved by the caller
constexpr uint32_t kMagenta = 0xFF00FF;

TEST(ChooseTransparentCopy, DecidesColourAndWhetherToMask) {
    struct Case {
        const char* name;
        uint32_t requested;
        bool monochrome;
        bool masked;
        uint32_t color;
        bool readsPixel;
    };
    const Case cases[] = {
        {"none copies plainly", kColorNone, false, false, 0, false},
        {"none copies a monochrome bitmap plainly too", kColorNone, true, false, 0, false},
        {"default takes the bottom-left pixel", kColorDefault, false, true, kMagenta, true},
        {"monochrome always keeps white", kColorDefault, true, true, kColorWhite, false},
        {"monochrome ignores the colour given", kRed, true, true, kColorWhite, false},
        {"a colour is kept", kRed, false, true, kRed, false},
        {"a system colour is left to resolve", kBtnFace, false, true, kBtnFace, false},
    };
    for (const auto& c : cases) {
        bool read = false;
        const auto copy = ChooseTransparentCopy(c.requested, c.monochrome, [&] {
            read = true;
            return kMagenta;
        });
        EXPECT_EQ(copy.Masked, c.masked) << c.name;
        if (c.masked) {
            EXPECT_EQ(copy.Color, c.color) << c.name;
        }
        EXPECT_EQ(read, c.readsPixel) << c.name;
    }
}

TEST(FillDefaultSizes, MissingSizesComeFromTheBitmap) {
    struct Case {
        const char* name;
        StretchRects in, out;
    };
    const Case cases[] = {
        {"given sizes stay", {5, 6, 30, 40, 1, 2, 3, 4}, {5, 6, 30, 40, 1, 2, 3, 4}},
        {"no destination width", {5, 6, 0, 40, 1, 2, 3, 4}, {5, 6, 16, 40, 1, 2, 3, 4}},
        {"negative destination height", {5, 6, 30, -1, 1, 2, 3, 4}, {5, 6, 30, 12, 1, 2, 3, 4}},
        {"no source width: the whole bitmap", {5, 6, 30, 40, 7, 8, 0, 4}, {5, 6, 30, 40, 0, 0, 16, 12}},
        {"negative source height: the whole bitmap", {5, 6, 30, 40, 7, 8, 3, -2}, {5, 6, 30, 40, 0, 0, 16, 12}},
    };
    for (const auto& c : cases) {
        const auto r = FillDefaultSizes(c.in, 16, 12);
        EXPECT_EQ(std::vector<int32_t>({r.DstX, r.DstY, r.DstW, r.DstH, r.SrcX, r.SrcY, r.SrcW, r.SrcH}),
                  std::vector<int32_t>({c.out.DstX, c.out.DstY, c.out.DstW, c.out.DstH, c.out.SrcX, c.out.SrcY,
                                        c.out.SrcW, c.out.SrcH}))
            << c.name;
    }
}

TEST(ImageCellOf, CutsCellsRowByRow) {
    struct Case {
        const char* name;
        int32_t w, h, cols, rows, index;
        ImageCell cell;
    };
    constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
    const Case cases[] = {
        {"third of four", 40, 10, 4, 1, 2, {10, 10, 20, 0}},
        {"negative index is the first", 40, 10, 4, 1, -1, {10, 10, 0, 0}},
        {"no columns or rows: one cell", 40, 10, 0, 0, 0, {40, 10, 0, 0}},
        {"second row", 40, 20, 4, 2, 5, {10, 10, 10, 10}},
        {"uneven width drops the rest", 42, 10, 4, 1, 3, {10, 10, 30, 0}},
        {"narrower than its columns", 3, 10, 4, 1, 2, {0, 10, 0, 0}},
        {"far past the strip stays in 32 bits", 40, 1000, 1, 1, kMax32, {40, 1000, 0, kMax32}},
    };
    for (const auto& c : cases) {
        const auto cell = ImageCellOf(c.w, c.h, c.cols, c.rows, c.index);
        EXPECT_EQ(std::vector<int32_t>({cell.Width, cell.Height, cell.X, cell.Y}),
                  std::vector<int32_t>({c.cell.Width, c.cell.Height, c.cell.X, c.cell.Y}))
            << c.name;
    }
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom && inner.Left < inner.Right && inner.Top < inner.Bottom;
}

TEST(PlanGradientBands, ThirtyTwoBandsOfThreeAndTheRestInTheEndColour) {
    const Rect r{10, 20, 60, 120};  // 100 high
    const auto bands = PlanGradientBands(r, kBlack, kColorWhite, GradientDirection::TopToBottom, 32);
    ASSERT_EQ(bands.size(), 33u);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(bands[i].Area.Top, 20 + 3 * i);
        EXPECT_EQ(RectHeight(bands[i].Area), 3);
    }
    EXPECT_EQ(bands[0].Color, kBlack);
    EXPECT_EQ(bands[31].Color, kColorWhite);
    EXPECT_EQ(bands[32].Area.Top, 116);
    EXPECT_EQ(bands[32].Area.Bottom, 120);
    EXPECT_EQ(bands[32].Color, kColorWhite);
    for (const auto& b : bands) {
        EXPECT_TRUE(Inside(b.Area, r));
        EXPECT_EQ(b.Area.Left, r.Left);
        EXPECT_EQ(b.Area.Right, r.Right);
    }
}

TEST(PlanGradientBands, DirectionsAndDegenerateCases) {
    const Rect r{0, 0, 7, 3};
    struct Case {
        const char* name;
        Rect rect;
        GradientDirection direction;
        uint8_t colors;
        std::vector<ColorBand> bands;
    };
    const Case cases[] = {
        {"one colour is a solid fill", r, GradientDirection::TopToBottom, 1, {{r, kRed}}},
        {"no colours is a solid fill", r, GradientDirection::LeftToRight, 0, {{r, kRed}}},
        {"empty rectangle draws nothing", {5, 5, 5, 9}, GradientDirection::TopToBottom, 8, {}},
        {"upside-down rectangle draws nothing", {5, 9, 8, 5}, GradientDirection::TopToBottom, 8, {}},
        // Three bands black to white: the middle one rounds half up, as MulDiv does.
        {"top to bottom",
         r,
         GradientDirection::TopToBottom,
         3,
         {{{0, 0, 7, 1}, kBlack}, {{0, 1, 7, 2}, 0x808080}, {{0, 2, 7, 3}, kColorWhite}}},
        // Counting down from white the half rounds away from zero as well.
        {"bottom to top starts from the end colour",
         r,
         GradientDirection::BottomToTop,
         3,
         {{{0, 0, 7, 1}, kColorWhite}, {{0, 1, 7, 2}, 0x7F7F7F}, {{0, 2, 7, 3}, kBlack}}},
        {"left to right, one pixel over in the end colour",
         r,
         GradientDirection::LeftToRight,
         2,
         {{{0, 0, 3, 3}, kBlack}, {{3, 0, 6, 3}, kColorWhite}, {{6, 0, 7, 3}, kColorWhite}}},
        {"right to left, the rest in the start colour",
         r,
         GradientDirection::RightToLeft,
         2,
         {{{0, 0, 3, 3}, kColorWhite}, {{3, 0, 6, 3}, kBlack}, {{6, 0, 7, 3}, kBlack}}},
        {"more colours than pixels: one per pixel", r, GradientDirection::TopToBottom, 200,
         {{{0, 0, 7, 1}, kBlack}, {{0, 1, 7, 2}, 0x808080}, {{0, 2, 7, 3}, kColorWhite}}},
        {"one pixel high: no band, only the end strip", {0, 0, 7, 1}, GradientDirection::TopToBottom, 32,
         {{{0, 0, 7, 1}, kColorWhite}}},
    };
    for (const auto& c : cases) {
        const uint32_t start = c.colors < 2 ? kRed : kBlack;
        const auto bands = PlanGradientBands(c.rect, start, kColorWhite, c.direction, c.colors);
        ASSERT_EQ(bands.size(), c.bands.size()) << c.name;
        for (size_t i = 0; i < bands.size(); ++i) {
            const auto& got = bands[i].Area;
            const auto& want = c.bands[i].Area;
            EXPECT_EQ(std::vector<int32_t>({got.Left, got.Top, got.Right, got.Bottom}),
                      std::vector<int32_t>({want.Left, want.Top, want.Right, want.Bottom}))
                << c.name << " band " << i;
            EXPECT_EQ(bands[i].Color, c.bands[i].Color) << c.name << " band " << i;
        }
    }
}

TEST(PlanGradientBands, ComponentsRunSeparately) {
    // Red falls while blue rises; green stays.
    const auto bands = PlanGradientBands({0, 0, 1, 5}, 0x0040FF, 0xFF4000, GradientDirection::TopToBottom, 5);
    ASSERT_EQ(bands.size(), 5u);
    EXPECT_EQ(bands[0].Color, 0x0040FFu);
    // Halfway both ways: red 255 - 127.5 gives 127, blue 0 + 127.5 gives 128.
    EXPECT_EQ(bands[2].Color, 0x80407Fu);
    EXPECT_EQ(bands[4].Color, 0xFF4000u);
}

TEST(SameBytes, ComparesTheFirstCountBytes) {
    const unsigned char a[] = {1, 2, 3, 4, 5, 6, 7};
    const unsigned char b[] = {1, 2, 3, 4, 5, 6, 9};
    EXPECT_TRUE(SameBytes(a, b, 6));
    EXPECT_FALSE(SameBytes(a, b, 7));  // differs in the tail past the last whole four bytes
    EXPECT_TRUE(SameBytes(a, b, 0));
    EXPECT_TRUE(SameBytes(nullptr, nullptr, -1));
}

}  // namespace
