#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "MaxMin.h"
#include "PictureRules.h"
#include "StrUtils.h"

using namespace kx;

namespace {

constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();

TEST(MaxMin, PicksBySignedComparison) {
    struct Case {
        int32_t a, b, max, min;
    };
    const Case cases[] = {
        {-1, 0, 0, -1},
        {0, -1, 0, -1},
        {7, 7, 7, 7},
        {kMin32, kMax32, kMax32, kMin32},
        {kMax32, kMin32, kMax32, kMin32},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntMax(c.a, c.b), c.max) << c.a << ", " << c.b;
        EXPECT_EQ(IntMin(c.a, c.b), c.min) << c.a << ", " << c.b;
    }
}

TEST(RemoveChar, DropsEveryOccurrence) {
    struct Case {
        const char* in;
        char ch;
        const char* out;
    };
    const Case cases[] = {
        {"&Help", '&', "Help"},
        {"&&", '&', ""},
        {"Help", '&', "Help"},
        {"", '&', ""},
        {"&Launch &Velunor&", '&', "Launch Velunor"},
        {"a\rb\r", '\r', "ab"},
    };
    for (const auto& c : cases) EXPECT_EQ(RemoveChar(c.in, c.ch), c.out) << c.in;
}

TEST(ScanlineBytes, PadsToFourBytes) {
    struct Case {
        int64_t bits;
        int64_t bytes;
    };
    const Case cases[] = {
        {1, 4}, {32, 4}, {33, 8}, {16 * 4, 8}, {17 * 24, 52}, {0, 0}, {-33, 0},
        // Width times bit count of a hostile header must not wrap.
        {std::numeric_limits<int64_t>::max(), (std::numeric_limits<int64_t>::max() / 32 + 1) * 4},
    };
    for (const auto& c : cases) EXPECT_EQ(ScanlineBytes(c.bits), c.bytes) << c.bits;
}

TEST(PaletteEntryCount, OnlyPalettedDepthsHaveTables) {
    const std::pair<int32_t, int32_t> cases[] = {{1, 2}, {4, 16}, {8, 256}, {0, 0}, {2, 0}, {16, 0}, {24, 0}, {32, 0}, {-8, 0}};
    for (const auto& [bits, entries] : cases) EXPECT_EQ(PaletteEntryCount(bits), entries) << bits;
}

}  // namespace
