#include "IconFileFormat.h"

#include <algorithm>
#include <cstdint>

#include "BmpFormat.h"
#include "ByteOrder.h"

namespace velfw {

namespace {

bool KnownBitCount(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The image's bytes as the entry gives them, when they lie after the
// directory and inside the file.
bool ImageInside(std::span<const uint8_t> file, const IconDirEntry& entry, uint64_t& directoryEnd) {
    const auto header = ReadIconFileHeader(file);
    if (!header) return false;
    directoryEnd = kIconHeaderSize + uint64_t{kIconEntrySize} * header->count;
    return entry.imageOffset >= directoryEnd && uint64_t{entry.imageOffset} + entry.bytesInRes <= file.size();
}

}  // namespace

std::optional<IconFileHeader> ReadIconFileHeader(std::span<const uint8_t> file) {
    if (file.size() < kIconHeaderSize) return std::nullopt;
    return IconFileHeader{ReadLe16(&file[0]), ReadLe16(&file[2]), ReadLe16(&file[4])};
}

IconFileFault ReadIconEntries(std::span<const uint8_t> directory, uint32_t count, std::vector<IconDirEntry>& out) {
    out.clear();
    if (uint64_t{kIconEntrySize} * count > directory.size()) return IconFileFault::Truncated;
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = &directory[kIconEntrySize * i];
        IconDirEntry e;
        e.width = p[0];
        e.height = p[1];
        e.colorCount = p[2];
        e.reserved = p[3];
        e.planes = ReadLe16(p + 4);
        e.bitCount = ReadLe16(p + 6);
        e.bytesInRes = ReadLe32(p + 8);
        e.imageOffset = ReadLe32(p + 12);
        out.push_back(e);
    }
    return IconFileFault::None;
}

IconFileFault ReadIconDirectory(std::span<const uint8_t> file, IconDirectory& out) {
    out = {};
    const auto header = ReadIconFileHeader(file);
    if (!header) return IconFileFault::Truncated;
    out.header = *header;
    if (header->count == 0) return IconFileFault::NoImages;
    return ReadIconEntries(file.subspan(kIconHeaderSize), header->count, out.entries);
}

uint16_t ScreenColorValue(int planes, int bitsPerPixel) {
    const auto p = static_cast<uint16_t>(planes * bitsPerPixel);
    if (p == 24) return 0;
    return static_cast<uint16_t>(1u << (p % 32));
}

size_t ChooseIconEntry(const std::vector<IconDirEntry>& entries, uint16_t screenColors) {
    bool chosen = false;
    size_t choice = 0;
    uint16_t remembered = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint16_t colors = entries[i].ColorCountWord();
        if (colors == screenColors) return i;
        if (!chosen) {
            if (colors <= screenColors) {
                chosen = true;
                choice = i;
                remembered = colors;
            }
        } else if (colors > remembered) {
            choice = i;
        }
    }
    return choice;
}

IconFileFault LocateIconImage(std::span<const uint8_t> file, const IconDirEntry& entry, IconImageLayout& out) {
    out = {};
    uint64_t directoryEnd = 0;
    if (!ImageInside(file, entry, directoryEnd)) return IconFileFault::ImageOutside;
    const IconFileFault fault = LocateIconImageBlock(file.subspan(entry.imageOffset, entry.bytesInRes), out);
    if (fault != IconFileFault::None) return fault;
    out.headerOffset += entry.imageOffset;
    out.colorOffset += entry.imageOffset;
    out.maskOffset += entry.imageOffset;
    return IconFileFault::None;
}

IconFileFault LocateIconImageBlock(std::span<const uint8_t> image, IconImageLayout& out) {
    out = {};
    if (image.size() < kBmpInfoHeaderSize) return IconFileFault::Truncated;
    const DibHeader header = ReadDibHeader(image.data());
    const uint32_t headerSize = header.size;
    const int32_t width = header.width;
    const int32_t height = header.height;
    const uint32_t bitCount = header.bitCount;
    if (headerSize < kBmpInfoHeaderSize || headerSize > image.size() || header.compression != 0 ||
        !KnownBitCount(bitCount) || width <= 0)
        return IconFileFault::BadImageHeader;
    if (height <= 0 || height % 2 != 0) return IconFileFault::BadHeight;

    out.width = width;
    out.height = height / 2;
    out.bitCount = static_cast<uint16_t>(bitCount);
    out.headerSize = headerSize;
    out.paletteEntries = static_cast<uint32_t>(DibPaletteSize(static_cast<int>(bitCount)));
    const uint64_t rows = static_cast<uint64_t>(out.height);
    const uint64_t colorLine = DibRowBytes(width, static_cast<int>(bitCount));
    if (colorLine > UINT32_MAX / rows) return IconFileFault::TooLarge;
    out.colorBytes = colorLine * rows;
    out.maskBytes = DibRowBytes(width, 1) * rows;
    out.colorOffset = headerSize + 4ull * out.paletteEntries;
    out.maskOffset = out.colorOffset + out.colorBytes;
    // Every part is below 2^32 here, so the sums cannot wrap.
    if (out.maskOffset + out.maskBytes > image.size()) return IconFileFault::Truncated;
    return IconFileFault::None;
}

IconFileFault CheckIconFile(std::span<const uint8_t> file, uint64_t& usedBytes) {
    usedBytes = 0;
    IconDirectory dir;
    IconFileFault fault = ReadIconDirectory(file, dir);
    if (fault != IconFileFault::None) return fault;
    usedBytes = kIconHeaderSize + uint64_t{kIconEntrySize} * dir.entries.size();
    for (const IconDirEntry& entry : dir.entries) {
        IconImageLayout layout;
        fault = LocateIconImage(file, entry, layout);
        if (fault != IconFileFault::None) {
            usedBytes = 0;
            return fault;
        }
        usedBytes = std::max(usedBytes, uint64_t{entry.imageOffset} + entry.bytesInRes);
    }
    return IconFileFault::None;
}

std::optional<uint16_t> IconImageBitCount(std::span<const uint8_t> file, const IconDirEntry& entry) {
    uint64_t directoryEnd = 0;
    if (!ImageInside(file, entry, directoryEnd) || entry.bytesInRes < 16) return std::nullopt;
    return ReadLe16(&file[entry.imageOffset + 14]);
}

}  // namespace velfw
