#include <gtest/gtest.h>

#include "IconFileFormat.h"
#include "IconFiles.h"

using namespace velfw;
using namespace icon_files;

namespace {

IconDirEntry Entry(uint8_t colorCount, uint8_t reserved = 0) {
    IconDirEntry e;
    e.colorCount = colorCount;
    e.reserved = reserved;
    return e;
}

}  // namespace

TEST(IconFileFormat, DirectoryEntries) {
    Bytes file = IconFile({Image{16, 16, 4}, Image{32, 32, 8, 0, 0, 0}});
    IconDirectory dir;
    ASSERT_EQ(ReadIconDirectory(file, dir), IconFileFault::None);
    EXPECT_EQ(dir.header.type, 1);
    ASSERT_EQ(dir.entries.size(), 2u);
    EXPECT_EQ(dir.entries[1].width, 32);
    EXPECT_EQ(dir.entries[1].bitCount, 8);
    EXPECT_EQ(dir.entries[0].imageOffset, 6u + 32u);
    EXPECT_EQ(dir.entries[1].imageOffset, dir.entries[0].imageOffset + dir.entries[0].bytesInRes);

    struct Case {
        const char* what;
        Bytes file;
        IconFileFault fault;
    } cases[] = {
        {"shorter than the header", {0, 0, 1, 0, 1}, IconFileFault::Truncated},
        {"count 0", {0, 0, 1, 0, 0, 0}, IconFileFault::NoImages},
        {"directory beyond the data", Bytes(file.begin(), file.begin() + 6 + 31), IconFileFault::Truncated},
        {"count 65535", [&] { Bytes b = file; b[4] = b[5] = 0xFF; return b; }(), IconFileFault::Truncated},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadIconDirectory(c.file, dir), c.fault) << c.what;
}

TEST(IconFileFormat, ImageLayout) {
    Bytes file = IconFile({Image{16, 16, 4}});
    IconDirectory dir;
    ASSERT_EQ(ReadIconDirectory(file, dir), IconFileFault::None);
    IconImageLayout l;
    ASSERT_EQ(LocateIconImage(file, dir.entries[0], l), IconFileFault::None);
    EXPECT_EQ(l.width, 16);
    EXPECT_EQ(l.height, 16);
    EXPECT_EQ(l.paletteEntries, 16u);
    EXPECT_EQ(l.colorOffset, 22u + 40 + 64);
    EXPECT_EQ(l.colorBytes, 8u * 16);
    EXPECT_EQ(l.maskOffset, l.colorOffset + 128);
    EXPECT_EQ(l.maskBytes, 4u * 16);
    EXPECT_EQ(l.maskOffset + l.maskBytes, file.size());
}

TEST(IconFileFormat, DamagedImagesAreRefused) {
    const Bytes good = IconFile({Image{16, 16, 4}});
    const size_t entry = 6, image = 22;
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        IconFileFault fault;
    } cases[] = {
        {"image inside the directory (a negative skip)", entry + 12, 10, IconFileFault::ImageOutside},
        {"image at offset 0", entry + 12, 0, IconFileFault::ImageOutside},
        {"image beyond the data", entry + 8, 0x1000, IconFileFault::ImageOutside},
        {"offset and size overflowing 32 bits", entry + 8, 0xFFFFFFF0, IconFileFault::ImageOutside},
        {"smaller than a header", entry + 8, 39, IconFileFault::Truncated},
        {"odd height", image + 8, 31, IconFileFault::BadHeight},
        {"negative height", image + 8, static_cast<uint32_t>(-32), IconFileFault::BadHeight},
        {"zero height", image + 8, 0, IconFileFault::BadHeight},
        {"zero width", image + 4, 0, IconFileFault::BadImageHeader},
        {"negative width", image + 4, 0x80000000, IconFileFault::BadImageHeader},
        {"a PNG image", image, 0x474E5089, IconFileFault::BadImageHeader},
        {"compressed", image + 16, 1, IconFileFault::BadImageHeader},
        {"three bits per pixel", image + 12, 0x00030001, IconFileFault::BadImageHeader},
        {"wider than the data", image + 4, 17, IconFileFault::Truncated},
        {"sizes beyond 32 bits", image + 4, 0x7FFFFFFF, IconFileFault::TooLarge},
    };
    for (const auto& c : cases) {
        Bytes file = good;
        Set32(file, c.at, c.value);
        IconDirectory dir;
        ASSERT_EQ(ReadIconDirectory(file, dir), IconFileFault::None) << c.what;
        IconImageLayout l;
        EXPECT_EQ(LocateIconImage(file, dir.entries[0], l), c.fault) << c.what;
    }
    IconDirectory dir;
    ReadIconDirectory(good, dir);
    EXPECT_EQ(IconImageBitCount(good, dir.entries[0]), 4);
    Bytes cut(good.begin(), good.end() - 1);
    EXPECT_EQ(IconImageBitCount(cut, dir.entries[0]), std::nullopt);
}

TEST(IconFileFormat, ScreenColourValue) {
    struct Case {
        int planes, bits;
        uint16_t value;
    } cases[] = {{1, 1, 2}, {1, 4, 16}, {1, 8, 256}, {1, 15, 32768}, {1, 16, 0}, {1, 24, 0}, {1, 32, 1}, {3, 8, 0}, {4, 1, 16}};
    for (const auto& c : cases) EXPECT_EQ(ScreenColorValue(c.planes, c.bits), c.value) << c.planes << "x" << c.bits;
}

TEST(IconFileFormat, EntryChoice) {
    struct Case {
        const char* what;
        std::vector<IconDirEntry> entries;
        uint16_t screen;
        size_t chosen;
    } cases[] = {
        {"8-bit screen, 16 then 256 colours", {Entry(16), Entry(0)}, 256, 0},
        {"8-bit screen, 256 then 16 colours", {Entry(0), Entry(16)}, 256, 1},
        {"24-bit screen takes the first count of 0", {Entry(16), Entry(0), Entry(2)}, 0, 1},
        {"an exact count wins", {Entry(2), Entry(16), Entry(0, 1)}, 256, 2},
        {"a later richer entry replaces the first fit", {Entry(2), Entry(8), Entry(4)}, 16, 2},
        {"nothing fits: the first", {Entry(0, 1), Entry(0, 2)}, 16, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ChooseIconEntry(c.entries, c.screen), c.chosen) << c.what;
}

TEST(IconFileFormat, ImageBlockOnItsOwn) {
    const Bytes file = IconFile({Image{16, 16, 4}});
    const Bytes block(file.begin() + 22, file.end());
    IconImageLayout l;
    ASSERT_EQ(LocateIconImageBlock(block, l), IconFileFault::None);
    EXPECT_EQ(l.headerOffset, 0u);
    EXPECT_EQ(l.colorOffset, 40u + 64);
    EXPECT_EQ(l.maskOffset + l.maskBytes, block.size());

    struct Case {
        const char* what;
        size_t keep;
        size_t at;
        uint32_t value;
        IconFileFault fault;
    } cases[] = {
        {"the mask's last byte missing", block.size() - 1, 0, 40, IconFileFault::Truncated},
        {"shorter than its header", 39, 0, 40, IconFileFault::Truncated},
        {"a header size beyond the block", block.size(), 0, 0x10000, IconFileFault::BadImageHeader},
        {"odd height", block.size(), 8, 33, IconFileFault::BadHeight},
        {"negative height", block.size(), 8, static_cast<uint32_t>(-2), IconFileFault::BadHeight},
    };
    for (const auto& c : cases) {
        Bytes b(block.begin(), block.begin() + c.keep);
        Set32(b, c.at, c.value);
        EXPECT_EQ(LocateIconImageBlock(b, l), c.fault) << c.what;
    }
}

TEST(IconFileFormat, WholeFileCheck) {
    Bytes file = IconFile({Image{16, 16, 4}, Image{32, 32, 8, 0, 0, 0}});
    const size_t fileSize = file.size();
    file.resize(fileSize + 13, 0xEE);  // a clipboard block rounded up
    uint64_t used = 1;
    ASSERT_EQ(CheckIconFile(file, used), IconFileFault::None);
    EXPECT_EQ(used, fileSize);

    struct Case {
        const char* what;
        Bytes file;
        IconFileFault fault;
    } cases[] = {
        {"empty", {}, IconFileFault::Truncated},
        {"the second image cut short", Bytes(file.begin(), file.begin() + fileSize - 1), IconFileFault::ImageOutside},
        {"the second image's mask beyond its size",
         [&] { Bytes b = file; Set32(b, 6 + 16 + 8, 40 + 1024 + 32 * 32); return b; }(), IconFileFault::Truncated},
        {"the second entry pointing into the directory",
         [&] { Bytes b = file; Set32(b, 6 + 16 + 12, 6); return b; }(), IconFileFault::ImageOutside},
        {"count 0", [&] { Bytes b = file; b[4] = 0; return b; }(), IconFileFault::NoImages},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckIconFile(c.file, used), c.fault) << c.what;
        EXPECT_EQ(used, 0u) << c.what;
    }
}
