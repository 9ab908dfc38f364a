#include <gtest/gtest.h>

#include <vector>

#include "PidlRules.h"

using namespace browser;

namespace {

// A list with items of the given sizes (each filled with its own number) and
// the terminating zero.
std::vector<uint8_t> MakeList(std::initializer_list<uint16_t> sizes) {
    std::vector<uint8_t> b;
    for (uint16_t s : sizes) {
        b.push_back(static_cast<uint8_t>(s & 0xFF));
        b.push_back(static_cast<uint8_t>(s >> 8));
        b.insert(b.end(), s - 2u, static_cast<uint8_t>(s));
    }
    b.push_back(0);
    b.push_back(0);
    return b;
}

}  // namespace

TEST(PidlRules, SizeAndItemsOfWellFormedLists) {
    auto two = MakeList({20, 14});
    EXPECT_EQ(PidlSizeInBuffer(two.data(), two.size()), 36u);
    EXPECT_EQ(PidlItemOffsets(two.data(), two.size()), (std::vector<size_t>{0, 20}));

    auto empty = MakeList({});
    EXPECT_EQ(PidlSizeInBuffer(empty.data(), empty.size()), 2u);
    EXPECT_TRUE(PidlItemOffsets(empty.data(), empty.size()).empty());

    auto minimal = MakeList({2, 2});
    EXPECT_EQ(PidlSizeInBuffer(minimal.data(), minimal.size()), 6u);

    auto big = MakeList({300});  // a size with both bytes in use
    EXPECT_EQ(PidlSizeInBuffer(big.data(), big.size()), 302u);

    // Bytes after the terminator are not part of the list.
    two.insert(two.end(), {9, 9, 9});
    EXPECT_EQ(PidlSizeInBuffer(two.data(), two.size()), 36u);
}

TEST(PidlRules, MalformedListsStayInsideTheBuffer) {
    auto list = MakeList({20, 14});
    for (size_t cut = 0; cut < list.size(); ++cut) {
        // A copy of exactly `cut` bytes, so the sanitizer sees any read past it.
        std::vector<uint8_t> part(list.begin(), list.begin() + static_cast<long>(cut));
        EXPECT_FALSE(PidlSizeInBuffer(part.data(), part.size())) << cut;
        EXPECT_TRUE(PidlItemOffsets(part.data(), part.size()).empty()) << cut;
    }
    std::vector<uint8_t> one = {1, 0, 0, 0};  // an item too short for its own size
    EXPECT_FALSE(PidlSizeInBuffer(one.data(), one.size()));
    std::vector<uint8_t> over = {0xFF, 0xFF, 0, 0};  // an item longer than the buffer
    EXPECT_FALSE(PidlSizeInBuffer(over.data(), over.size()));
    EXPECT_FALSE(PidlSizeInBuffer(nullptr, 10));
}
