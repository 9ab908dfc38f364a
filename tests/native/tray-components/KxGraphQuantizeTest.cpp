#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

#include "KxGraphQuantize.h"
#include "LibraryErrors.h"

using namespace kx;
using Bytes = std::vector<uint8_t>;

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// A 24-bit BMP block of `width` × `height` from a pixel function of the
// image's (top-down) row and column.
Bytes Block24(int32_t width, int32_t height, const std::function<Rgb(int, int)>& pixel) {
    Bytes block = velfw::NewDibBlock(velfw::MakeDibHeader(width, height, 24));
    const uint64_t stride = velfw::DibRowBytes(width, 24);
    uint8_t* bits = block.data() + velfw::kBmpFileHeaderSize + velfw::kBmpInfoHeaderSize;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = pixel(y, x);
            uint8_t* p = bits + (height - 1 - y) * stride + 3 * x;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    return block;
}

struct Bmp8 {
    explicit Bmp8(Bytes b) : bytes(std::move(b)), header(velfw::ReadDibHeader(&bytes[14])) {}
    RgbQuad Entry(int i) const {
        const uint8_t* p = &bytes[54 + 4 * i];
        return {p[0], p[1], p[2], p[3]};
    }
    // Palette index of the pixel at top-down row y, column x.
    uint8_t Index(int y, int x) const {
        const uint64_t stride = velfw::DibRowBytes(header.width, 8);
        return bytes[1078 + (header.height - 1 - y) * stride + x];
    }
    Bytes bytes;
    velfw::DibHeader header;
};

Bmp8 Reduce(Bytes block, TColorReduction method) { return Bmp8(ReduceDib24To8(block, method)); }

uint32_t Le32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }

}  // namespace

TEST(KxGraphQuantize, LevelTablesTakeTheLowerLevelOnATie) {
    struct Case {
        const std::array<uint8_t, 256>& table;
        int value;
        int level;
    } cases[] = {
        {T7, 64, 1}, {T8, 18, 0}, {T6, 25, 0}, {T6, 26, 1}, {T4, 42, 0}, {T4, 43, 1},
        {T4, 255, 3}, {T6, 0, 0}, {T7, 255, 6}, {T8, 237, 6}, {T8, 238, 7},
    };
    for (const auto& c : cases) EXPECT_EQ(c.table[c.value], c.level) << c.value;
}

TEST(KxGraphQuantize, BmpStreamOfAnEightBitImage) {
    Bytes block = Block24(3, 2, [](int y, int x) { return Rgb{uint8_t(100 * x), uint8_t(50 * y), 7}; });
    for (auto method : {crPopularity, crMedianCut, crCube784, crCube666, crChannelPattern, crGrayscale}) {
        Bmp8 bmp = Reduce(block, method);
        EXPECT_EQ(bmp.bytes.size(), 1086u) << method;
        EXPECT_EQ(bmp.bytes[0], 'B');
        EXPECT_EQ(bmp.bytes[1], 'M');
        EXPECT_EQ(Le32(bmp.bytes, 2), 1086u);
        EXPECT_EQ(Le32(bmp.bytes, 10), 1078u);
        EXPECT_EQ(Le32(bmp.bytes, 14), 40u);
        EXPECT_EQ(bmp.header.width, 3);
        EXPECT_EQ(bmp.header.height, 2);
        EXPECT_EQ(bmp.header.bitCount, 8);
        EXPECT_EQ(bmp.header.sizeImage, 8u);
        const uint32_t important = method == crCube666   ? 216
                                   : method == crCube784 ? 224
                                   : method == crMedianCut ? 6
                                                           : 0;
        EXPECT_EQ(bmp.header.clrImportant, important) << method;
    }
}

TEST(KxGraphQuantize, FixedPalettesAndMappings) {
    struct Case {
        TColorReduction method;
        Rgb pixel;
        int row, column;
        uint8_t index;
    } cases[] = {
        {crCube666, {255, 0, 0}, 0, 0, 180},   {crCube666, {26, 25, 255}, 0, 0, 41},
        {crCube784, {255, 255, 255}, 0, 0, 223}, {crCube784, {64, 18, 43}, 0, 0, 33},
        {crGrayscale, {255, 255, 255}, 0, 0, 255}, {crGrayscale, {100, 0, 0}, 0, 0, 30},
        // The channel follows (stored row + column) mod 3; the top row is stored row 1.
        {crChannelPattern, {200, 100, 40}, 1, 0, 50},  {crChannelPattern, {200, 100, 40}, 1, 1, 89},
        {crChannelPattern, {200, 100, 40}, 1, 2, 138}, {crChannelPattern, {200, 100, 40}, 0, 0, 89},
    };
    for (const auto& c : cases) {
        Bytes block = Block24(3, 2, [&](int, int) { return c.pixel; });
        Bmp8 bmp = Reduce(block, c.method);
        EXPECT_EQ(bmp.Index(c.row, c.column), c.index) << c.method << " " << c.row << "," << c.column;
    }
    ColorTable t{};
    Palette666(t);
    EXPECT_EQ(t[180], (RgbQuad{0, 0, 255, 0}));
    EXPECT_EQ(t[215], (RgbQuad{255, 255, 255, 0}));
    EXPECT_EQ(t[216], (RgbQuad{128, 128, 128, 128}));
    Palette784(t);
    EXPECT_EQ(t[33], (RgbQuad{85, 0, 43, 0}));
    EXPECT_EQ(t[224], (RgbQuad{128, 128, 128, 128}));
    PaletteChannels(t);
    EXPECT_EQ(t[1], (RgbQuad{0, 0, 4, 0}));
    EXPECT_EQ(t[65], (RgbQuad{0, 4, 0, 0}));
    EXPECT_EQ(t[129], (RgbQuad{4, 0, 0, 0}));
    EXPECT_EQ(t[200], (RgbQuad{}));
}

TEST(KxGraphQuantize, MedianCutOfFewColours) {
    Bmp8 one = Reduce(Block24(4, 3, [](int, int) { return Rgb{200, 100, 50}; }), crMedianCut);
    EXPECT_EQ(one.header.clrImportant, 1u);
    EXPECT_EQ(one.Entry(0), (RgbQuad{63, 111, 207, 0}));
    EXPECT_EQ(one.Entry(1), (RgbQuad{}));
    Bmp8 dark = Reduce(Block24(2, 2, [](int, int) { return Rgb{10, 12, 3}; }), crMedianCut);
    EXPECT_EQ(dark.Entry(0), (RgbQuad{}));
    // Two colours: two boxes, each pixel the index of its own.
    Bmp8 two = Reduce(Block24(5, 5, [](int y, int x) { return (x + y) % 2 ? Rgb{255, 255, 255} : Rgb{40, 40, 200}; }),
                      crMedianCut);
    EXPECT_EQ(two.header.clrImportant, 2u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            RgbQuad q = two.Entry(two.Index(y, x));
            EXPECT_EQ(q.red, (x + y) % 2 ? 255 : 47);
        }
}

TEST(KxGraphQuantize, PopularityKeepsExactColoursWhenFewerThanWanted) {
    const Rgb colours[] = {{1, 2, 3}, {200, 10, 10}, {0, 0, 0}};
    Bmp8 bmp = Reduce(Block24(7, 3, [&](int y, int x) { return colours[(x + 2 * y) % 3]; }), crPopularity);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            RgbQuad q = bmp.Entry(bmp.Index(y, x));
            const Rgb& c = colours[(x + 2 * y) % 3];
            EXPECT_EQ(q, (RgbQuad{c.b, c.g, c.r, 0}));
        }
    EXPECT_EQ(bmp.Entry(3), (RgbQuad{128, 128, 128, 0}));
    EXPECT_EQ(bmp.Entry(255), (RgbQuad{128, 128, 128, 0}));
}

TEST(KxGraphQuantize, PopularityCoarsensMasksUntilTheColoursFit) {
    // 3000 colours differing in the low blue bit fit once blue is masked;
    // 4200 differing in the low blue and red bits need red masked as well.
    struct Case {
        int count;
        bool redMasked;
    } cases[] = {{3000, false}, {4200, true}};
    for (const auto& c : cases) {
        auto colour = [&](int i) {
            if (!c.redMasked) return Rgb{uint8_t((i >> 1) & 255), uint8_t(i >> 9), uint8_t(i & 1)};
            const int rest = i >> 2;
            return Rgb{uint8_t(((i >> 1) & 1) | (rest % 128) << 1), uint8_t(rest / 128), uint8_t(i & 1)};
        };
        const int width = 100;
        Bmp8 bmp = Reduce(Block24(width, c.count / width, [&](int y, int x) { return colour(y * width + x); }), crPopularity);
        std::set<int> redLowBits;
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(bmp.Entry(i).blue & 1, 0) << i;
            redLowBits.insert(bmp.Entry(i).red & 1);
        }
        EXPECT_EQ(redLowBits.count(1) == 0, c.redMasked);
        // Colours that differ only in masked bits share an index.
        EXPECT_EQ(bmp.Index(0, 0), bmp.Index(0, 1));
    }
}

TEST(KxGraphQuantize, PopularityGivesEachLeftoverColourItsNearestEntry) {
    // 256 colours of three or more pixels fill the palette; the colours of
    // one pixel each are left over and must take the entry nearest to them
    // in all three components, the lower index on a tie.
    const Rgb first{250, 250, 250};  // the most pixels: index 0
    const Rgb last{5, 5, 5};         // the fewest of the 256: index 255
    struct Leftover {
        const char* what;
        Rgb colour;
        Rgb nearest;
        Rgb farther;  // nearer when one component is left out
        bool tie = false;  // `farther` as near: the lower index of the two
    } leftovers[] = {
        {"red decides", {60, 100, 140}, {60, 102, 140}, {200, 100, 140}},
        {"green decides", {100, 60, 180}, {100, 60, 183}, {100, 210, 180}},
        {"blue decides", {180, 140, 60}, {182, 140, 60}, {180, 140, 220}},
        {"a tie", {30, 200, 90}, {26, 200, 90}, {34, 200, 90}, true},
        {"the first entry", {247, 252, 249}, first, first},
        {"the last entry", {7, 4, 8}, last, last},
    };
    auto distance2 = [](Rgb a, Rgb b) {
        return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
    };
    auto same = [](Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
    std::vector<Rgb> popular{first, last};
    for (const Leftover& l : leftovers)
        for (Rgb c : {l.nearest, l.farther})
            if (std::none_of(popular.begin(), popular.end(), [&](Rgb p) { return same(p, c); })) popular.push_back(c);
    // The rest on a grid, none of them near a leftover colour.
    const int levels[] = {0, 43, 85, 128, 170, 213, 255};
    for (int r : levels)
        for (int g : levels)
            for (int b : levels) {
                const Rgb c{uint8_t(r), uint8_t(g), uint8_t(b)};
                if (popular.size() < 256 &&
                    std::all_of(std::begin(leftovers), std::end(leftovers),
                                [&](const Leftover& l) { return distance2(c, l.colour) > 24 * 24; }))
                    popular.push_back(c);
            }
    ASSERT_EQ(popular.size(), 256u);

    // Top-down: the leftovers first, then each popular colour three times
    // (`last` twice); `first` fills the last row.
    constexpr int kWidth = 16;
    std::vector<Rgb> pixels;
    for (const Leftover& l : leftovers) pixels.push_back(l.colour);
    for (const Rgb& c : popular)
        for (int n = same(c, first) ? 20 : same(c, last) ? 2 : 3; n > 0; --n) pixels.push_back(c);
    while (pixels.size() % kWidth) pixels.push_back(first);
    const int height = static_cast<int>(pixels.size() / kWidth);
    Bmp8 bmp = Reduce(Block24(kWidth, height, [&](int y, int x) { return pixels[y * kWidth + x]; }), crPopularity);

    auto entryOf = [](Rgb c) { return RgbQuad{c.b, c.g, c.r, 0}; };
    EXPECT_EQ(bmp.Entry(0), entryOf(first));
    EXPECT_EQ(bmp.Entry(255), entryOf(last));
    for (size_t i = 0; i < std::size(leftovers); ++i) {
        const Leftover& l = leftovers[i];
        const int y = static_cast<int>(i) / kWidth, x = static_cast<int>(i) % kWidth;
        Rgb expected = l.nearest;
        if (l.tie) {
            int lower = 256;
            for (int k = 0; k < 256 && lower == 256; ++k)
                if (bmp.Entry(k) == entryOf(l.nearest) || bmp.Entry(k) == entryOf(l.farther)) lower = k;
            ASSERT_LT(lower, 256);
            expected = bmp.Entry(lower) == entryOf(l.nearest) ? l.nearest : l.farther;
        }
        EXPECT_EQ(bmp.Entry(bmp.Index(y, x)), entryOf(expected)) << l.what;
    }
    EXPECT_EQ(bmp.Index(0, 4), 0) << "the first entry";
    EXPECT_EQ(bmp.Index(0, 5), 255) << "the last entry";
    // The popular colours keep their own.
    for (size_t i = std::size(leftovers); i < pixels.size(); ++i)
        ASSERT_EQ(bmp.Entry(bmp.Index(static_cast<int>(i) / kWidth, static_cast<int>(i) % kWidth)), entryOf(pixels[i]))
            << i;
}

TEST(KxGraphQuantize, InPlaceReductionMatchesASeparateOutput) {
    std::mt19937 rng(4);
    for (int width : {1, 3, 17}) {
        const int height = 9;
        Bytes block = Block24(width, height, [&](int, int) {
            return Rgb{uint8_t(rng() % 64 * 4), uint8_t(rng()), uint8_t(rng() % 3 * 100)};
        });
        const velfw::DibHeader h = velfw::ReadDibHeader(&block[14]);
        const uint64_t out8 = velfw::DibRowBytes(width, 8) * height;
        using Method = std::function<void(const uint8_t*, uint8_t*, ColorTable&)>;
        const Method methods[] = {
            [&](const uint8_t* s, uint8_t* d, ColorTable& t) { PopularityReduce(h, t, s, d, 40, 0xFF, 0xFF, 0xFF); },
            [&](const uint8_t* s, uint8_t* d, ColorTable& t) {
                int colors = 30;
                MedianCutReduce(h, s, d, colors, t);
            },
            [&](const uint8_t* s, uint8_t* d, ColorTable&) { MapImage784(h, s, d); },
            [&](const uint8_t* s, uint8_t* d, ColorTable&) { MapImage666(h, s, d); },
            [&](const uint8_t* s, uint8_t* d, ColorTable&) { MapImageChannels(h, s, d); },
            [&](const uint8_t* s, uint8_t* d, ColorTable&) { MapImageGray(h, s, d); },
        };
        for (const Method& m : methods) {
            Bytes pixels(block.begin() + 54, block.end());
            Bytes separate(out8);
            ColorTable t1{}, t2{};
            m(pixels.data(), separate.data(), t1);
            m(pixels.data(), pixels.data(), t2);
            EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + out8), separate) << width;
            EXPECT_EQ(t1, t2);
        }
    }
}

TEST(KxGraphQuantize, RefusedSizesCountsAndBlocks) {
    Bytes block = Block24(2, 2, [](int, int) { return Rgb{1, 2, 3}; });
    const velfw::DibHeader h = velfw::ReadDibHeader(&block[14]);
    ColorTable t{};
    uint8_t* px = block.data() + 54;
    for (int wanted : {0, 257, -1}) {
        EXPECT_THROW(PopularityReduce(h, t, px, px, wanted, 0xFF, 0xFF, 0xFF), velfw::EInvalidGraphicOperation);
        int colors = wanted;
        EXPECT_THROW(MedianCutReduce(h, px, px, colors, t), velfw::EInvalidGraphicOperation);
    }
    EXPECT_THROW(velfw::MakeDibHeader(0x7FFFFFFF, 2, 24), velfw::EOutOfMemory);
    EXPECT_THROW(velfw::MakeDibHeader(40000, 40000, 24), velfw::EOutOfMemory);
    EXPECT_THROW(velfw::MakeDibHeader(int64_t{1} << 40, 1, 8), velfw::EOutOfMemory);
    EXPECT_EQ(velfw::MakeDibHeader(20000, -20000, 8).height, 20000);

    velfw::DibHeader own;
    own.clrUsed = 1000;
    own.clrImportant = 3;
    own.xPelsPerMeter = 2835;
    velfw::DibHeader eight = velfw::MakeDibHeader(2, 2, 8, &own), four = velfw::MakeDibHeader(2, 2, 4, &own), deep = velfw::MakeDibHeader(2, 2, 24, &own);
    EXPECT_EQ(eight.clrUsed, 256u);
    EXPECT_EQ(four.clrUsed, 16u);
    EXPECT_EQ(deep.clrUsed, 0u);
    EXPECT_EQ(deep.clrImportant, 0u);
    EXPECT_EQ(eight.clrImportant, 3u);
    EXPECT_EQ(eight.xPelsPerMeter, 2835);

    Bytes shortBlock(block.begin(), block.end() - 1);
    EXPECT_THROW(ReduceDib24To8(shortBlock, crPopularity), velfw::EInvalidGraphic);
    Bytes sixteen = velfw::NewDibBlock(velfw::MakeDibHeader(2, 2, 16));
    EXPECT_THROW(ReduceDib24To8(sixteen, crPopularity), velfw::EInvalidGraphic);
    Bytes tiny(20);
    EXPECT_THROW(ReduceDib24To8(tiny, crGrayscale), velfw::EInvalidGraphic);
}
