// The icon (and cursor) resource file: a 6-byte header, 16-byte directory
// entries and the images they point to, each a bitmap-info header, its
// colour table, the colour bits and the mask bits. Every offset and size is
// checked against the data before anything is read. No Windows here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>


namespace velfw {

constexpr uint32_t kIconHeaderSize = 6;
constexpr uint32_t kIconEntrySize = 16;

struct IconFileHeader {
    uint16_t reserved = 0;
    uint16_t type = 0;  // 1 icon, 2 cursor
    uint16_t count = 0;
};

struct IconDirEntry {
    uint8_t width = 0, height = 0, colorCount = 0, reserved = 0;
    uint16_t planes = 0;    // a cursor's hot-spot X
    uint16_t bitCount = 0;  // a cursor's hot-spot Y
    uint32_t bytesInRes = 0;
    uint32_t imageOffset = 0;  // from the start of the file
    // The colour count as a 16-bit value: the count byte and the reserved one.
    uint16_t ColorCountWord() const { return static_cast<uint16_t>(colorCount | reserved << 8); }
};

enum class IconFileFault {
    None,
    Truncated,       // the data ends inside the header, the directory or an image
    NoImages,        // a count of 0
    ImageOutside,    // an image before the end of the directory or beyond the data
    BadImageHeader,  // not an uncompressed bitmap-info header of a known bit count
    BadHeight,       // zero, negative or odd: it must hold the colour and the mask halves
    TooLarge,        // sizes beyond what the image (or 32 bits) can hold
};

struct IconDirectory {
    IconFileHeader header;
    std::vector<IconDirEntry> entries;
};

// Where one image's parts lie in the file; all within it.
struct IconImageLayout {
    int32_t width = 0;
    int32_t height = 0;  // of the picture: half the header's height
    uint16_t bitCount = 0;
    uint64_t headerOffset = 0;  // the bitmap-info header
    uint32_t headerSize = 0;
    uint32_t paletteEntries = 0;  // four bytes each, after the header
    uint64_t colorOffset = 0, colorBytes = 0;
    uint64_t maskOffset = 0, maskBytes = 0;
};

std::optional<IconFileHeader> ReadIconFileHeader(std::span<const uint8_t> file);
// The header and every directory entry; a count of 0 is refused.
IconFileFault ReadIconDirectory(std::span<const uint8_t> file, IconDirectory& out);

// The screen's colour value the directory entries are matched against:
// 1 << (planes × bits) within 16 bits (the shift taken modulo 32), and 0 for
// 24 bits.
uint16_t ScreenColorValue(int planes, int bitsPerPixel);
// The entry that suits a screen of that colour value: an exact colour count,
// else the first that does not exceed it (or a later, richer one), else the
// first. The directory must not be empty.
size_t ChooseIconEntry(const std::vector<IconDirEntry>& entries, uint16_t screenColors);

// `count` directory entries of 16 bytes each; none when `directory` is shorter.
IconFileFault ReadIconEntries(std::span<const uint8_t> directory, uint32_t count, std::vector<IconDirEntry>& out);

// Checks `entry`'s image within `file` and gives its parts.
IconFileFault LocateIconImage(std::span<const uint8_t> file, const IconDirEntry& entry, IconImageLayout& out);
// The same for an image on its own (offsets from its start): the header, its
// colour table, the colour bits and the mask bits all within `image`.
IconFileFault LocateIconImageBlock(std::span<const uint8_t> image, IconImageLayout& out);
// Every image of an icon or cursor file checked; `usedBytes` is where the
// last of them ends (a clipboard block may be longer than its file).
IconFileFault CheckIconFile(std::span<const uint8_t> file, uint64_t& usedBytes);

// The 16-bit bit count at offset 14 of the entry's image, when the image
// reaches that far inside the file.
std::optional<uint16_t> IconImageBitCount(std::span<const uint8_t> file, const IconDirEntry& entry);

}  // namespace velfw
