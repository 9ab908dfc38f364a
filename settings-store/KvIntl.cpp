#include "KvIntl.h"

#include <windows.h>

#include <vector>

#include "WinHandles.h"

namespace kv {

TKvIntlSup* IntlSettings = nullptr;

namespace {

// Longer than any field takes (the country name, 255 characters, is the longest).
constexpr DWORD kProfileBuffer = 1024;
// A registry value larger than this is not a date format.
constexpr DWORD kMaxRegistryValue = 1024;

std::string ReadIntl(const std::string& key, const char* fallback) {
    char buffer[kProfileBuffer] = {};
    const DWORD length = ::GetProfileStringA("intl", key.c_str(), fallback, buffer, kProfileBuffer);
    return std::string(buffer, length);
}

std::string LocaleValue(LCTYPE type) {
    char buffer[16] = {};
    const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer) : std::string();
}

}  // namespace

std::optional<std::string> TSystemIntlSource::ProfileString(const std::string& key) {
    // The profile read cannot tell a missing key from an empty value by
    // itself: a missing key is the one that gives back either default.
    const std::string value = ReadIntl(key, "");
    if (!value.empty()) return value;
    if (ReadIntl(key, "\x7F") == "\x7F") return std::nullopt;
    return value;
}

std::optional<std::string> TSystemIntlSource::RegistryShortDate() {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    velfw::UniqueRegKey key(raw);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key.get(), "sShortDate", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size > kMaxRegistryValue)
        return std::nullopt;
    // One byte more than the value, so the text ends even when the stored
    // value lacks its terminator.
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (::RegQueryValueExA(key.get(), "sShortDate", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
            ERROR_SUCCESS ||
        type != REG_SZ || read > size)
        return std::nullopt;
    return std::string(buffer.data());
}

bool TSystemIntlSource::TwelveHourClockWithMarkerAfter() {
    // "0" is the 12-hour clock, and a marker position of "0" puts AM/PM after the time.
    return LocaleValue(LOCALE_ITIME) == "0" && LocaleValue(LOCALE_ITIMEMARKPOSN) != "1";
}

void InitKvIntlUnit() {
    if (IntlSettings) return;
    TSystemIntlSource source;
    IntlSettings = new TKvIntlSup(source);
}

void DoneKvIntlUnit() {
    delete IntlSettings;
    IntlSettings = nullptr;
}

}  // namespace kv
