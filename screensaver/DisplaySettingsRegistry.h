// The display settings' values as the registry holds them: string values
// directly under HKEY_LOCAL_MACHINE "Software\KAVI", opened for reading only.
#pragma once

#include <windows.h>

#include "DisplaySettings.h"

namespace saver {

class RegistryDisplayValues : public IDisplayValueSource {
public:
    explicit RegistryDisplayValues(HKEY key) : key_(key) {}
    ValueRead Read(const std::string& name, std::string& text) override;

private:
    HKEY key_;
};

struct RegistryReadResult {
    bool KeyOpened = false;
    bool PageTimeRead = false;
};

// Reads the settings into `settings`; when the key cannot be opened nothing
// is read and the presets stand.
RegistryReadResult ReadDisplaySettingsFromRegistry(DisplaySettings& settings, ReadOptions options = {});

}  // namespace saver
