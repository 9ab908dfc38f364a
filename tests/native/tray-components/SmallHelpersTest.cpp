#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "MaxMin.h"
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

}  // namespace
