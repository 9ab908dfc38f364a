// Arbitrary bytes as an icon file: every part the parser locates lies inside
// the data.
#include <cstdlib>

#include "IconFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> file(data, size);
    velfw::IconDirectory dir;
    if (velfw::ReadIconDirectory(file, dir) != velfw::IconFileFault::None) return 0;
    const size_t chosen = velfw::ChooseIconEntry(dir.entries, velfw::ScreenColorValue(1, size % 33));
    if (chosen >= dir.entries.size()) abort();
    for (const auto& entry : dir.entries) {
        velfw::IconImageLayout l;
        if (velfw::LocateIconImage(file, entry, l) == velfw::IconFileFault::None) {
            if (l.headerOffset < 6 + 16ull * dir.entries.size() || l.maskOffset + l.maskBytes > size ||
                l.colorOffset + l.colorBytes != l.maskOffset || l.height <= 0 || l.width <= 0)
                abort();
            volatile uint8_t touch = data[l.maskOffset + l.maskBytes - 1];
            (void)touch;
        }
        if (auto bits = velfw::IconImageBitCount(file, entry)) (void)*bits;
    }
    return 0;
}
