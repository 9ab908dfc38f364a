#include "DisplaySettingsRegistry.h"

#include "ProductKey.h"

namespace globals {

using velfw::RegistryRead;

ValueRead RegistryDisplayValues::Read(const std::string& name, std::string& text) {
    text.clear();
    switch (key_.ReadString(name, text)) {
        case RegistryRead::Text:
        case RegistryRead::Missing: return ValueRead::Text;  // a missing value reads as empty text
        default: return ValueRead::Failed;
    }
}

RegistryReadResult ReadDisplaySettingsFromRegistry(TDisplaySettings& settings, ReadOptions options) {
    RegistryReadResult result;
    velfw::RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ) != ERROR_SUCCESS) return result;
    result.KeyOpened = true;
    RegistryDisplayValues values(key);
    result.PageTimeRead = ReadDisplaySettings(values, settings, options);
    return result;
}

bool RegistryDisplayValueSink::Write(const std::string& name, const std::string& text) {
    return key_.WriteString(name, text);
}

bool WriteDisplaySettingsToRegistry(const TDisplaySettings& settings) {
    velfw::RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, kProductKey, KEY_SET_VALUE) != ERROR_SUCCESS) return false;
    RegistryDisplayValueSink sink(key);
    return WriteDisplaySettings(sink, settings);
}

}  // namespace globals
