// The product's settings key for one test: what was there is saved, the key
// starts empty, and at the end the saved tree is put back exactly.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ProductKey.h"
#include "WinePaths.h"

namespace testing_support {

// A registry tree held in memory: values with their types, and subkeys.
struct RegistryTree {
    struct Value {
        DWORD type;
        std::string bytes;
    };
    std::map<std::string, Value> values;
    std::map<std::string, RegistryTree> keys;
};

// False when the key does not exist.
bool ReadRegistryTree(HKEY root, const std::string& key, RegistryTree& tree);
bool WriteRegistryTree(HKEY root, const std::string& key, const RegistryTree& tree);

// Deletes a key for the life of the object and restores it (or its absence)
// afterwards.
class ScopedRegistryKey {
public:
    ScopedRegistryKey(HKEY root, std::string key);
    ~ScopedRegistryKey();
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

private:
    HKEY root_;
    std::string key_;
    bool existed_ = false;
    RegistryTree saved_;
};

inline constexpr const char* kKaviKey = globals::kProductKey;  // HKLM: the display settings
extern const std::string kVelunorKey;                           // HKLM: the install values

// The product key of HKLM emptied for the test and restored afterwards, with
// writers for the values the programs read.
class SettingsRegistry {
public:
    SettingsRegistry() = default;
    void Setting(const std::string& name, const std::string& value);  // below kKaviKey
    void InstallValue(const std::string& name, const std::string& value);  // below kVelunorKey
    // Empties the key again in the middle of a test.
    void Clear();

private:
    ScopedRegistryKey kavi_{HKEY_LOCAL_MACHINE, kKaviKey};
};

// A throwaway install folder, registered as the product's ("Base") in the
// test's settings.
class InstallFolder : public TempFolder {
public:
    explicit InstallFolder(SettingsRegistry& registry);
    // Copies a file of the build or the source tree (a Unix path) into the folder.
    bool CopyIn(const std::string& unixPath, const std::string& name) const;
};

}  // namespace testing_support
