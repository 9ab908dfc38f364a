#include "ClipIconRules.h"

#include <vector>

namespace kx {

using velfw::ChooseIconEntry;
using velfw::IconDirEntry;
using velfw::IconFileFault;
using velfw::kIconEntrySize;
using velfw::ReadIconEntries;

IconFileFault PlanIconImageRead(std::span<const uint8_t> directory, uint32_t count, uint32_t headerSize,
                                uint64_t available, uint16_t screenColors, IconImageRead& out) {
    out = {};
    if (count == 0) return IconFileFault::NoImages;
    std::vector<IconDirEntry> entries;
    const IconFileFault fault = ReadIconEntries(directory, count, entries);
    if (fault != IconFileFault::None) return fault;
    const size_t chosen = ChooseIconEntry(entries, screenColors);
    const IconDirEntry& e = entries[chosen];
    const uint64_t directoryEnd = uint64_t{headerSize} + uint64_t{kIconEntrySize} * count;
    if (e.imageOffset < directoryEnd) return IconFileFault::ImageOutside;
    const uint64_t skip = e.imageOffset - directoryEnd;
    if (skip > available || e.bytesInRes > available - skip) return IconFileFault::ImageOutside;
    if (e.bytesInRes < 40) return IconFileFault::Truncated;  // not even a bitmap-info header
    out.entry = chosen;
    out.skip = skip;
    out.size = e.bytesInRes;
    return IconFileFault::None;
}

}  // namespace kx
