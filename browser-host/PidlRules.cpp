#include "PidlRules.h"

namespace browser {

namespace {

// Walks the list; calls `item` with each item's offset. The size of the
// whole list, or none when it is not well formed within the buffer.
template <typename F>
std::optional<size_t> WalkPidl(const uint8_t* data, size_t length, F item) {
    if (!data) return std::nullopt;
    size_t offset = 0;
    for (;;) {
        if (length - offset < 2) return std::nullopt;
        size_t size = PidlItemSize(data, offset);
        if (size == 0) return offset + 2;
        if (size < 2 || size > length - offset) return std::nullopt;
        item(offset);
        offset += size;
    }
}

}  // namespace

std::optional<size_t> PidlSizeInBuffer(const uint8_t* data, size_t length) {
    return WalkPidl(data, length, [](size_t) {});
}

std::vector<size_t> PidlItemOffsets(const uint8_t* data, size_t length) {
    std::vector<size_t> offsets;
    if (!WalkPidl(data, length, [&](size_t o) { offsets.push_back(o); })) offsets.clear();
    return offsets;
}

}  // namespace browser
