#include "KvIntl.h"

#include <windows.h>

#include "RegistryKey.h"

namespace kv {

TKvIntlSup* IntlSettings = nullptr;

namespace {

// Longer than any field takes (the country name, 255 characters, is the longest).
constexpr DWORD kProfileBuffer = 1024;
// A registry text longer than this is not a date format.
constexpr size_t kMaxRegistryValue = 1024;

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
    velfw::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, "Control Panel\\International", KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return std::nullopt;
    std::string text;
    DWORD type = 0;
    if (key.ReadString("sShortDate", text, &type) != velfw::RegistryRead::Text || type != REG_SZ ||
        text.size() > kMaxRegistryValue)
        return std::nullopt;
    return text;
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
