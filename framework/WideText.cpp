#include "WideText.h"

#include <climits>
#include <cwchar>
#include <utility>

namespace velfw {

namespace {

std::string FromWide(UINT codePage, const wchar_t* text, size_t length) {
    if (!text || length == 0 || length > INT_MAX) return {};
    const int units = static_cast<int>(length);
    const int n = ::WideCharToMultiByte(codePage, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n), '\0');
    const int written = ::WideCharToMultiByte(codePage, 0, text, units, s.data(), n, nullptr, nullptr);
    s.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return s;
}

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int bytes = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    const int written = ::MultiByteToWideChar(codePage, 0, text.data(), bytes, w.data(), n);
    w.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return w;
}

}  // namespace

std::string WideToAnsi(const wchar_t* text) { return text ? WideToAnsi(text, std::wcslen(text)) : std::string(); }

std::string WideToAnsi(const wchar_t* text, size_t length) { return FromWide(CP_ACP, text, length); }

std::wstring AnsiToWide(const std::string& text) { return ToWide(CP_ACP, text); }

std::string WideToUtf8(const std::wstring& text) { return FromWide(CP_UTF8, text.data(), text.size()); }

std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }

std::string AnsiToUtf8(const std::string& text) { return WideToUtf8(AnsiToWide(text)); }

std::string Utf8ToAnsi(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    return WideToAnsi(wide.data(), wide.size());
}

OleString::OleString(const std::string& text) : text_(::SysAllocString(AnsiToWide(text).c_str())) {}

OleString& OleString::operator=(OleString&& other) noexcept {
    if (this != &other) {
        ::SysFreeString(text_);
        text_ = other.Release();
    }
    return *this;
}

OleString::~OleString() { ::SysFreeString(text_); }

BSTR OleString::Release() { return std::exchange(text_, nullptr); }

}  // namespace velfw
