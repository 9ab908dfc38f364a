// Wide text (a BSTR, a wide string) in the ANSI code page the programs use,
// and back.
#pragma once

#include <string>

namespace velfw {

std::string WideToAnsi(const wchar_t* text);
std::wstring AnsiToWide(const std::string& text);

}  // namespace velfw
