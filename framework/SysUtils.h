// String and number helpers with the class library's rules. No Windows here:
// this file also builds natively for the sanitizer run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velfw {

// Blanks and control characters (code <= 32) are trimmed, as the library does.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string UpperCase(const std::string& s);  // ASCII letters only
bool SameText(const std::string& a, const std::string& b);
bool StartsText(const std::string& prefix, const std::string& s);

std::string IntToStr(long long value);
// Decimal (optional sign) or "$"/"0x" hexadecimal, 32-bit signed; nothing else.
std::optional<int32_t> TryStrToInt(const std::string& s);
// Decimal only (optional sign), 32-bit signed: numbers a user or the system
// writes as text, where "0x2" is not a number.
std::optional<int32_t> TryDecimalToInt(const std::string& s);
// Decimal, signed or unsigned up to the full 32 bits: handles and process ids
// as the system writes them.
std::optional<uint32_t> TryDecimalToUint32(const std::string& s);
int32_t StrToIntDef(const std::string& s, int32_t fallback);

std::string IncludeTrailingBackslash(const std::string& path);
std::string ExcludeTrailingBackslash(const std::string& path);
std::string ExtractFileName(const std::string& path);  // after the last '\', '/' or ':'
std::string ExtractFilePath(const std::string& path);  // up to and including it
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// Lines split on CR LF, LF or a lone CR; a final line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace velfw
