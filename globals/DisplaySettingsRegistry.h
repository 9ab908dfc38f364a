// The display settings' values as the registry holds them: string values
// directly under the product key of HKEY_LOCAL_MACHINE, opened with only the
// rights each direction needs.
#pragma once

#include "DisplaySettings.h"
#include "RegistryKey.h"

namespace globals {

class RegistryDisplayValues : public IDisplayValueSource {
public:
    explicit RegistryDisplayValues(const velfw::RegistryKey& key) : key_(key) {}
    ValueRead Read(const std::string& name, std::string& text) override;

private:
    const velfw::RegistryKey& key_;
};

struct RegistryReadResult {
    bool KeyOpened = false;
    bool PageTimeRead = false;
};

// Reads the settings into `settings`; when the key cannot be opened nothing
// is read and the presets stand.
RegistryReadResult ReadDisplaySettingsFromRegistry(TDisplaySettings& settings, ReadOptions options);

class RegistryDisplayValueSink : public IDisplayValueSink {
public:
    explicit RegistryDisplayValueSink(const velfw::RegistryKey& key) : key_(key) {}
    bool Write(const std::string& name, const std::string& text) override;

private:
    const velfw::RegistryKey& key_;
};

// Creates the key when it is missing and writes the settings program's
// values; false when the key cannot be opened or a write fails.
bool WriteDisplaySettingsToRegistry(const TDisplaySettings& settings);

}  // namespace globals
