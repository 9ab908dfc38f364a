// The shell's item-ID list read from a byte buffer: items that each begin
// with their size (16 bits, the two size bytes included), ended by a 16-bit
// zero. Every read stays inside the buffer. No Windows here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "ByteOrder.h"

namespace browser {

// Size of the list at the start of the buffer, terminator included; none when
// the buffer ends before the terminator or an item is too short to hold its
// own size.
std::optional<size_t> PidlSizeInBuffer(const uint8_t* data, size_t length);

// Offsets of the items of a well-formed list, in order; empty for a bad list.
std::vector<size_t> PidlItemOffsets(const uint8_t* data, size_t length);

// The size field of the item at `offset` (the caller knows it lies inside).
inline size_t PidlItemSize(const uint8_t* data, size_t offset) {
    return velfw::ReadLe16(data + offset);
}

}  // namespace browser
