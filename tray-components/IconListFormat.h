// The icon list's stream form: a 32-bit count, then per entry a 32-bit size
// and that many bytes of icon file (size 0 for an empty slot). No Windows
// here: the reader is fuzzed and tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "Classes.h"

namespace kx {

// Reads the stream form from `stream`, handing each entry to `add` as it is
// read: empty for an empty slot (a size of 0 or less), else the icon bytes.
// Sizes are never trusted: a size beyond what the stream still holds, or a
// stream that ends inside a count or size, raises the read error after the
// entries handed over so far; nothing is allocated beyond the stream's bytes.
// A count of 0 or less reads no entries.
void ReadIconListStream(velfw::TStream& stream, const std::function<void(std::vector<uint8_t>&& icon)>& add);

// One entry of the stream form: its size, then its bytes (none for an empty one).
void WriteIconListEntry(velfw::TStream& stream, std::span<const uint8_t> icon);

}  // namespace kx
