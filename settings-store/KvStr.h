// Character and substring primitives the date-mask rewriting uses. Positions
// are 0-based. No Windows here; the strings grow as needed, so an insertion
// never runs past a buffer.
#pragma once

#include <cstddef>
#include <string>

namespace kv {

// Removes the character at `pos`; at or past the end nothing changes.
std::string& StrChDelete(std::string& s, size_t pos);
// Inserts `ch` before the character at `pos`; at or past the end it is appended.
std::string& StrChInsert(std::string& s, char ch, size_t pos);
// The first `ch` in `s`; false (and `pos` untouched) when there is none.
bool StrChPos(const std::string& s, char ch, size_t& pos);
// The start of the first `sub` in `s`; false when either is empty or there is none.
bool StrStPos(const std::string& s, const std::string& sub, size_t& pos);

}  // namespace kv
