#include <gtest/gtest.h>

#include "ClipIconRules.h"
#include "IconFiles.h"

using namespace kx;
using velfw::IconFileFault;
using namespace icon_files;

namespace {

// The directory of `file` and the bytes the stream holds after it.
struct Stream {
    Bytes directory;
    uint64_t available;
};
Stream AfterHeader(const Bytes& file, uint32_t count) {
    const size_t end = 6 + 16 * size_t{count};
    return {Bytes(file.begin() + 6, file.begin() + end), file.size() - end};
}

}  // namespace

TEST(PlanIconImageRead, ChoosesForTheScreenAndSkipsToTheImage) {
    // 16 x 16 with 16 colours, then 32 x 32 with 256 (colour count 0).
    const Bytes file = IconFile({Image{16, 16, 4}, Image{32, 32, 8, 0, 0, 0}});
    const Stream s = AfterHeader(file, 2);
    const uint32_t firstSize = 40 + 64 + 128 + 64;
    struct Case {
        const char* what;
        uint16_t screen;
        size_t entry;
        uint64_t skip;
    } cases[] = {
        {"8-bit screen: the 16-colour image", 256, 0, 0},
        {"24-bit screen: the first count of 0", 0, 1, firstSize},
        {"4-bit screen: the exact count", 16, 0, 0},
    };
    for (const auto& c : cases) {
        IconImageRead plan;
        ASSERT_EQ(PlanIconImageRead(s.directory, 2, 6, s.available, c.screen, plan), IconFileFault::None) << c.what;
        EXPECT_EQ(plan.entry, c.entry) << c.what;
        EXPECT_EQ(plan.skip, c.skip) << c.what;
        EXPECT_EQ(plan.skip + plan.size, c.entry == 0 ? firstSize : s.available) << c.what;
    }
}

TEST(PlanIconImageRead, RefusesEntriesThatLie) {
    const Bytes good = IconFile({Image{16, 16, 4}});
    struct Case {
        const char* what;
        size_t at;  // in the file; 0 changes nothing
        uint32_t value;
        uint32_t count, headerSize;
        int64_t cut;  // bytes taken off the stream's end
        IconFileFault fault;
    } cases[] = {
        {"count 0", 0, 0, 0, 6, 0, IconFileFault::NoImages},
        {"directory shorter than the count", 0, 0, 2, 6, 0, IconFileFault::Truncated},
        {"image inside the directory (a negative skip)", 6 + 12, 21, 1, 6, 0, IconFileFault::ImageOutside},
        {"image inside a longer header", 0, 0, 1, 7, 0, IconFileFault::ImageOutside},
        {"image ending past the stream", 0, 0, 1, 6, 1, IconFileFault::ImageOutside},
        {"size overflowing with the skip", 6 + 8, 0xFFFFFFFF, 1, 6, 0, IconFileFault::ImageOutside},
        {"offset far beyond the stream", 6 + 12, 0xFFFFFFF0, 1, 6, 0, IconFileFault::ImageOutside},
        {"too short for a bitmap-info header", 6 + 8, 39, 1, 6, 0, IconFileFault::Truncated},
    };
    for (const auto& c : cases) {
        Bytes file = good;
        if (c.at) Set32(file, c.at, c.value);
        Stream s = AfterHeader(file, 1);
        IconImageRead plan;
        EXPECT_EQ(PlanIconImageRead(s.directory, c.count, c.headerSize, s.available - c.cut, 16, plan), c.fault)
            << c.what;
        EXPECT_EQ(plan.size, 0u) << c.what;
    }
}
