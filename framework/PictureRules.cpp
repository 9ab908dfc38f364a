#include "PictureRules.h"

namespace kx {

int64_t ScanlineBytes(int64_t bits) {
    if (bits <= 0) return 0;
    return (bits / 32 + (bits % 32 != 0 ? 1 : 0)) * 4;  // no bits + 31 that could wrap
}

int32_t PaletteEntryCount(int32_t bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

}  // namespace kx
