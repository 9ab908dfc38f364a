// Wide text (a BSTR, a wide string, the system's wide functions) in the ANSI
// code page the programs use or in UTF-8, and back; and the owner of a BSTR.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace velfw {

// A NUL-terminated wide string (a BSTR, say); empty for none.
std::string WideToAnsi(const wchar_t* text);
// The first `length` units of a wide string.
std::string WideToAnsi(const wchar_t* text, size_t length);
std::wstring AnsiToWide(const std::string& text);

// UTF-8 spells every name the file system can hold, where the ANSI code page
// does not (a file named in Japanese on a Western system).
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
std::string AnsiToUtf8(const std::string& text);
// A character without an ANSI spelling becomes the code page's default one.
std::string Utf8ToAnsi(const std::string& text);

// A BSTR freed when it goes; Release hands it to whoever frees it then (a
// VARIANT, the caller of a COM method).
class OleString {
public:
    OleString() = default;
    explicit OleString(const std::string& text);
    OleString(const OleString&) = delete;
    OleString& operator=(const OleString&) = delete;
    OleString(OleString&& other) noexcept : text_(other.Release()) {}
    OleString& operator=(OleString&& other) noexcept;
    ~OleString();

    BSTR Get() const { return text_; }
    BSTR Release();

private:
    BSTR text_ = nullptr;
};

}  // namespace velfw
