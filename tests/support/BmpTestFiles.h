// BMP files of any header fields, sound or not, built in code.
#pragma once

#include <cstdint>
#include <vector>

#include "BmpFormat.h"

namespace bmp_files {

struct BmpFields {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    // Colour-table entries written: -1 for the count the header gives (the
    // whole table of the depth when that is 0).
    int64_t tableEntries = -1;
    // The offset field as it stands; -1 for where the rows are written.
    int64_t bitsOffset = -1;
    // Bytes of rows written: -1 for all rows.
    int64_t rowBytes = -1;
};

// The two headers, the table and the rows, all zero but for the fields.
inline std::vector<uint8_t> BmpFile(const BmpFields& b) {
    const uint32_t entries = b.tableEntries >= 0 ? static_cast<uint32_t>(b.tableEntries)
                             : b.clrUsed        ? b.clrUsed
                                                : static_cast<uint32_t>(velfw::DibPaletteSize(b.bits));
    const uint32_t start = 14 + 40 + 4 * entries;
    const size_t size = b.rowBytes >= 0 ? static_cast<size_t>(b.rowBytes)
                                        : velfw::DibImageSize(b.width, b.height < 0 ? -b.height : b.height, b.bits);
    std::vector<uint8_t> f(start + size, 0);
    auto put32 = [&f](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<uint32_t>(f.size()));
    put32(10, b.bitsOffset >= 0 ? static_cast<uint32_t>(b.bitsOffset) : start);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(b.width));
    put32(22, static_cast<uint32_t>(b.height));
    f[26] = 1;
    f[28] = static_cast<uint8_t>(b.bits);
    put32(30, b.compression);
    put32(46, b.clrUsed);
    return f;
}

}  // namespace bmp_files
