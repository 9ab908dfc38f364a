#include "DisplaySettingsRegistry.h"

#include <vector>

#include "WinHandles.h"

namespace globals {

ValueRead RegistryDisplayValues::Read(const std::string& name, std::string& text) {
    text.clear();
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return ValueRead::Text;  // a missing value reads as empty text
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return ValueRead::Failed;
    std::vector<char> data(static_cast<size_t>(size) + 1, '\0');
    DWORD got = size;
    rc = ::RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return ValueRead::Failed;
    // The stored text may or may not end with its terminator.
    size_t length = got < data.size() ? got : data.size() - 1;
    text.assign(data.data(), length);
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return ValueRead::Text;
}

RegistryReadResult ReadDisplaySettingsFromRegistry(TDisplaySettings& settings, ReadOptions options) {
    RegistryReadResult result;
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\KAVI", 0, KEY_READ, &raw) != ERROR_SUCCESS) return result;
    velfw::UniqueRegKey key(raw);
    result.KeyOpened = true;
    RegistryDisplayValues values(key.get());
    result.PageTimeRead = ReadDisplaySettings(values, settings, options);
    return result;
}

bool RegistryDisplayValueSink::Write(const std::string& name, const std::string& text) {
    return ::RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool WriteDisplaySettingsToRegistry(const TDisplaySettings& settings) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\KAVI", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    velfw::UniqueRegKey key(raw);
    RegistryDisplayValueSink sink(key.get());
    return WriteDisplaySettings(sink, settings);
}

}  // namespace globals
