#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ControlsRules.h"
#include "GraphicsRules.h"

using namespace velfw;

TEST(ControlsRules, MnemonicIsTheLetterAfterASingleAmpersand) {
    struct Case {
        char key;
        const char* caption;
        bool accel;
    } cases[] = {
        {'s', "&Save", true},
        {'S', "&save", true},
        {'a', "&Save", false},
        {'v', "Sa&ve", true},
        {'s', "Save", false},
        {'&', "Fish && Chips", false},
        {'c', "Fish && &Chips", true},
        {'c', "Fish &&Chips", false},  // "&&C" is a literal ampersand before C
        {'x', "Ends with &", false},
        {'o', "&One &Two", true},      // the first mark counts
        {'t', "&One &Two", false},
        {'s', "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAccel(c.key, c.caption), c.accel) << c.caption << " / " << c.key;
}

TEST(ControlsRules, TabIndexWrapsBothWays) {
    struct Case {
        int count, current;
        bool forward;
        int next;
    } cases[] = {
        {3, 0, true, 1}, {3, 2, true, 0}, {3, 0, false, 2}, {3, 1, false, 0},
        {3, -1, true, 0}, {3, -1, false, 2}, {3, 7, true, 0},
        {1, 0, true, 0}, {1, 0, false, 0},
        {0, -1, true, -1}, {0, 0, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextTabIndex(c.count, c.current, c.forward), c.next) << c.count << "," << c.current << "," << c.forward;
}

TEST(ControlsRules, IdPoolReusesFreedIdsAndStopsAtTheEnd) {
    TIdPool pool(10, 12);
    EXPECT_EQ(pool.Allocate(), 10u);
    EXPECT_EQ(pool.Allocate(), 11u);
    EXPECT_EQ(pool.Allocate(), 12u);
    EXPECT_EQ(pool.Allocate(), 0u) << "the range is used up";
    pool.Release(11);
    EXPECT_FALSE(pool.InUse(11));
    EXPECT_EQ(pool.Allocate(), 11u) << "a freed id comes back";
    pool.Release(10);
    pool.Release(10);  // twice is harmless
    pool.Release(99);  // never handed out
    EXPECT_EQ(pool.Count(), 2u);
    EXPECT_EQ(pool.Allocate(), 10u);
    TIdPool empty(5, 4);
    EXPECT_EQ(empty.Allocate(), 0u);
    TIdPool top(0xFFFFFFFEu, 0xFFFFFFFFu);  // no wrap past the largest number
    EXPECT_EQ(top.Allocate(), 0xFFFFFFFEu);
    EXPECT_EQ(top.Allocate(), 0xFFFFFFFFu);
    EXPECT_EQ(top.Allocate(), 0u);
}

TEST(ControlsRules, DefaultApplicationTitleFollowsTheProgramFileName) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"C:\\Program Files\\Velunor\\KAVIst.exe", "Kavist"},
        {"KAVIst.exe", "Kavist"},
        {"c:\\a.b\\KAVIST2.EXE", "Kavist2"},      // a dot in the folder does not count
        {"c:\\x\\Velunor.Test.scr", "Velunor"},    // cut at the first dot, not the last
        {"c:\\x\\kavist", "kavist"},                // the first character keeps its case
        {"c:\\x\\A\xC4" "B.exe", "A\xC4" "b"},  // ANSI letters beyond ASCII are left alone
        {"c:\\x\\.hidden", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(velfw::DefaultApplicationTitle(c.path), c.title) << c.path;
}

TEST(GraphicsRules, DibRowsArePaddedTo32BitsAndBadSizesHaveNone) {
    struct Case {
        int width, bits;
        size_t stride;
    } cases[] = {
        {1, 1, 4}, {32, 1, 4}, {33, 1, 8},
        {7, 4, 4}, {9, 4, 8},
        {3, 8, 4}, {5, 8, 8},
        {1, 24, 4}, {3, 24, 12}, {5, 24, 16},
        {1, 32, 4}, {10, 32, 40},
        {0, 8, 0}, {-4, 8, 0},
        {4, 0, 0}, {4, 2, 0}, {4, 16, 0}, {4, 64, 0},
        {0x7FFFFFFF, 32, 0},  // a row past what GDI can address
    };
    for (const Case& c : cases) EXPECT_EQ(DibStride(c.width, c.bits), c.stride) << c.width << " x " << c.bits;
}

TEST(GraphicsRules, DibImageSizeRefusesOverflow) {
    EXPECT_EQ(DibImageSize(3, 2, 24), 24u);
    EXPECT_EQ(DibImageSize(3, 0, 24), 0u);
    EXPECT_EQ(DibImageSize(3, -1, 24), 0u);
    EXPECT_EQ(DibImageSize(65536, 65536, 32), 0u) << "16 GB does not fit";
    EXPECT_EQ(DibPaletteSize(1), 2);
    EXPECT_EQ(DibPaletteSize(4), 16);
    EXPECT_EQ(DibPaletteSize(8), 256);
    EXPECT_EQ(DibPaletteSize(24), 0);
    EXPECT_EQ(DibPaletteSize(32), 0);
}

namespace {

// A BMP file of the given header fields, its colour table and rows zeroed.
std::vector<uint8_t> BmpFile(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                             uint32_t clrUsed = 0, uint32_t bitsOffset = 0, int64_t rowBytes = -1) {
    const uint32_t entries = clrUsed ? clrUsed : static_cast<uint32_t>(velfw::DibPaletteSize(bits));
    const uint32_t start = 14 + 40 + 4 * entries;
    const size_t size = rowBytes >= 0 ? static_cast<size_t>(rowBytes) : velfw::DibImageSize(width, height < 0 ? -height : height, bits);
    std::vector<uint8_t> f(start + size, 0);
    auto put32 = [&f](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<uint32_t>(f.size()));
    put32(10, bitsOffset ? bitsOffset : start);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    f[26] = 1;
    f[28] = static_cast<uint8_t>(bits);
    put32(30, compression);
    put32(46, clrUsed);
    return f;
}

}  // namespace

TEST(BmpFileLayout, ReadsOnlyWhatLiesInsideTheData) {
    using velfw::BmpFault;
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        BmpFault fault;
    } cases[] = {
        {"8-bit bottom-up", BmpFile(5, 3, 8), BmpFault::None},
        {"24-bit top-down", BmpFile(5, -3, 24), BmpFault::None},
        {"1-bit with 2 colours used", BmpFile(33, 2, 1, 0, 2), BmpFault::None},
        {"RLE compressed", BmpFile(5, 3, 8, 1), BmpFault::Unsupported},
        {"16 bits", BmpFile(5, 3, 16), BmpFault::Unsupported},
        {"width 0", BmpFile(0, 3, 24), BmpFault::BadSize},
        {"negative width", BmpFile(-5, 3, 24), BmpFault::BadSize},
        {"height of the smallest int", BmpFile(1, INT32_MIN, 24, 0, 0, 0, 0), BmpFault::BadSize},
        {"more colours than the depth has", BmpFile(5, 3, 4, 0, 17), BmpFault::NotBitmap},
        {"rows cut short", BmpFile(5, 3, 24, 0, 0, 0, 20), BmpFault::Truncated},
        {"rows said to start inside the table", BmpFile(5, 3, 8, 0, 0, 60), BmpFault::Truncated},
        {"rows said to start past the end", BmpFile(5, 3, 24, 0, 0, 0xFFFFFFF0u), BmpFault::Truncated},
        {"huge size in a tiny file", BmpFile(65536, 65536, 32, 0, 0, 0, 0), BmpFault::BadSize},
    };
    for (const Case& c : cases) {
        velfw::BmpFileLayout layout;
        EXPECT_EQ(velfw::ReadBmpFileLayout(c.file, layout), c.fault) << c.what;
    }
    std::vector<uint8_t> notBmp = BmpFile(5, 3, 8);
    notBmp[0] = 'X';
    velfw::BmpFileLayout layout;
    EXPECT_EQ(velfw::ReadBmpFileLayout(notBmp, layout), BmpFault::NotBitmap);
    EXPECT_EQ(velfw::ReadBmpFileLayout(std::span<const uint8_t>(notBmp.data(), 10), layout), BmpFault::NotBitmap);
    const auto file = BmpFile(5, -3, 8);
    ASSERT_EQ(velfw::ReadBmpFileLayout(file, layout), BmpFault::None);
    EXPECT_EQ(layout.Width, 5);
    EXPECT_EQ(layout.Height, 3);
    EXPECT_TRUE(layout.TopDown);
    EXPECT_EQ(layout.PaletteEntries, 256u);
    EXPECT_EQ(layout.BitsOffset, 14u + 40u + 1024u);
    EXPECT_EQ(layout.BitsSize, 24u);
}
