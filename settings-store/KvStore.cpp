#include "KvStore.h"

#include <vector>

#include "Forms.h"
#include "KvKeyName.h"

namespace kv {

using velfw::RegistryKey;
using velfw::RegistryRead;

namespace {

std::string Fmt(const char* pattern, const std::string& name) {
    std::string s = pattern;
    size_t at = s.find("%s");
    if (at != std::string::npos) s.replace(at, 2, name);
    return s;
}

void DeleteKeyTree(HKEY parent, const std::string& name) {
    RegistryKey key;
    if (key.Open(parent, name, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
        DWORD count = 0, maxLen = 0;
        if (::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            std::vector<char> buf(maxLen + 2);
            for (DWORD i = count; i-- > 0;) {
                DWORD len = static_cast<DWORD>(buf.size());
                if (::RegEnumKeyExA(key.Get(), i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                    DeleteKeyTree(key.Get(), std::string(buf.data(), len));
            }
        }
    }
    // An erase reports nothing: a key that cannot go (one of its sub-keys
    // stayed, or access is refused) stays as it is, and so does the rest.
    ::RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

std::string TKvRegistryStore::GetKeyName() const {
    if (!keyName_.empty()) return keyName_;
    return DefaultKeyName(velfw::TApplication::ExeName());
}

void TKvRegistryStore::SetKeyName(const std::string& name) {
    if (name == keyName_) return;
    keyName_ = StripOuterBackslashes(name);
}

HKEY TKvRegistryStore::RootKey() const {
    return RegistryRoot == rrLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

HKEY TKvRegistryStore::BaseFor(const std::string& section, std::string& relative) const {
    if (!section.empty() && section[0] == '\\') {
        relative = section.substr(1);
        return RootKey();
    }
    relative = section;
    return storeKey_.Get();
}

void TKvRegistryStore::OpenStorage() {
    const std::string name = GetKeyName();
    // The accessor is made on the current user's branch first, so a key of
    // this name always exists there whatever the root.
    RegistryKey().Create(HKEY_CURRENT_USER, name, KEY_ALL_ACCESS);
    storeKey_.Close();
    // A key that cannot be opened is not an error: reads then give defaults.
    storeKey_.Create(RootKey(), name, KEY_ALL_ACCESS);
}

void TKvRegistryStore::CloseStorage() { storeKey_.Close(); }

std::string TKvRegistryStore::ReadString(const std::string& section, const std::string& item,
                                         const std::string& fallback) {
    std::string relative;
    HKEY base = BaseFor(section, relative);
    if (!base) return fallback;
    RegistryKey key;
    if (key.Open(base, relative, KEY_ALL_ACCESS) != ERROR_SUCCESS) return fallback;
    std::string text;
    switch (key.ReadString(item, text)) {
        case RegistryRead::Text: return text;
        case RegistryRead::Missing: return fallback;
        case RegistryRead::NoData: return std::string();  // an empty value of any type reads as empty text
        case RegistryRead::NotText: throw ERegistryException(Fmt("Invalid data type for '%s'", item));
        case RegistryRead::Failed: break;
    }
    throw ERegistryException(Fmt("Failed to get data for '%s'", item));
}

void TKvRegistryStore::WriteString(const std::string& section, const std::string& item, const std::string& value) {
    std::string relative;
    HKEY base = BaseFor(section, relative);
    RegistryKey key;
    if (!base || key.Create(base, relative, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        throw ERegistryException(Fmt("Failed to create key %s", section));
    if (!key.WriteString(item, value))
        throw ERegistryException(Fmt("Failed to set data for '%s'", item));
}

void TKvRegistryStore::EraseSection(const std::string& section) {
    std::string relative;
    HKEY base = BaseFor(section, relative);
    if (!base || relative.empty()) return;
    DeleteKeyTree(base, relative);
}

}  // namespace kv
