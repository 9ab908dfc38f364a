// A registry key that the object opens and closes, with the one string
// reader every unit uses. A failed open leaves the object as it was, and a
// read that finds no text leaves the caller's string as it was; each caller
// decides what a missing or mistyped value means to it.
#pragma once

#include <windows.h>

#include <string>

#include "WinHandles.h"

namespace velfw {

// The value query, replaceable for tests: a query can fail in ways a test
// cannot bring about on a real key (a value that keeps growing, a key
// deleted between the open and the read).
using RegistryQueryFunction = LONG(WINAPI*)(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                           LPDWORD size);
extern RegistryQueryFunction QueryRegistryValue;

enum class RegistryRead {
    Text,     // a REG_SZ or REG_EXPAND_SZ value, as stored (not expanded), up to its first NUL
    Missing,  // no value of that name
    NoData,   // a value of another type that holds no bytes
    NotText,  // a value of another type
    Failed,   // the system refused the read
};

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(RegistryKey&&) = default;
    RegistryKey& operator=(RegistryKey&&) = default;

    // Open an existing key, or open it creating it where it is missing; the
    // system's result code. On failure the object keeps what it held.
    LONG Open(HKEY parent, const std::string& path, REGSAM access);
    LONG Create(HKEY parent, const std::string& path, REGSAM access, DWORD options = REG_OPTION_NON_VOLATILE);
    void Close() { key_.reset(); }

    HKEY Get() const { return key_.get(); }
    explicit operator bool() const { return static_cast<bool>(key_); }

    // The value `name` ("" is the key's default value). `text` and `type`
    // are set only when the result is Text.
    RegistryRead ReadString(const std::string& name, std::string& text, DWORD* type = nullptr) const;
    // A REG_SZ value: the text and one NUL.
    bool WriteString(const std::string& name, const std::string& text) const;
    bool DeleteValue(const std::string& name) const;

private:
    UniqueRegKey key_;
};

}  // namespace velfw
