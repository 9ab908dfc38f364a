#include "SettingsRegistry.h"

#include "RegistryKey.h"

namespace testing_support {

const std::string kVelunorKey = std::string(kKaviKey) + "\\" + globals::kInstallSection;

bool ReadRegistryTree(HKEY root, const std::string& key, RegistryTree& tree) {
    velfw::RegistryKey opened;
    if (opened.Open(root, key, KEY_READ) != ERROR_SUCCESS) return false;
    const HKEY k = opened.Get();
    tree = RegistryTree();
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLen = sizeof name;
        DWORD type = 0, size = 0;
        if (::RegEnumValueA(k, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::string bytes(size, '\0');
        nameLen = sizeof name;
        if (::RegEnumValueA(k, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
            ERROR_SUCCESS)
            continue;
        bytes.resize(size);
        tree.values[std::string(name, nameLen)] = {type, bytes};
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD len = sizeof name;
        if (::RegEnumKeyExA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.emplace_back(name, len);
    }
    opened.Close();
    for (const std::string& sub : subkeys) ReadRegistryTree(root, key + "\\" + sub, tree.keys[sub]);
    return true;
}

bool WriteRegistryTree(HKEY root, const std::string& key, const RegistryTree& tree) {
    velfw::RegistryKey opened;
    if (opened.Create(root, key, KEY_ALL_ACCESS) != ERROR_SUCCESS) return false;
    const HKEY k = opened.Get();
    bool ok = true;
    for (const auto& [name, value] : tree.values)
        ok = ::RegSetValueExA(k, name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                              static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS &&
             ok;
    opened.Close();
    for (const auto& [name, sub] : tree.keys) ok = WriteRegistryTree(root, key + "\\" + name, sub) && ok;
    return ok;
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, std::string key) : root_(root), key_(std::move(key)) {
    existed_ = ReadRegistryTree(root_, key_, saved_);
    DeleteRegTree(root_, key_);
}

ScopedRegistryKey::~ScopedRegistryKey() {
    DeleteRegTree(root_, key_);
    if (existed_) WriteRegistryTree(root_, key_, saved_);
}

void SettingsRegistry::Setting(const std::string& name, const std::string& value) {
    SetRegString(HKEY_LOCAL_MACHINE, kKaviKey, name, value);
}

void SettingsRegistry::InstallValue(const std::string& name, const std::string& value) {
    SetRegString(HKEY_LOCAL_MACHINE, kVelunorKey, name, value);
}

void SettingsRegistry::Clear() { DeleteRegTree(HKEY_LOCAL_MACHINE, kKaviKey); }

InstallFolder::InstallFolder(SettingsRegistry& registry) : TempFolder("install") {
    // Without a trailing backslash: the programs add it.
    registry.InstallValue("Base", Path());
}

bool InstallFolder::CopyIn(const std::string& unixPath, const std::string& name) const {
    return ::CopyFileA(FromUnixPath(unixPath).c_str(), (*this / name).c_str(), FALSE) != FALSE;
}

}  // namespace testing_support
