#include "KvStore.h"

#include <vector>

#include "KvKeyName.h"

namespace kv {

RegistryQueryFunction QueryRegistryValue = ::RegQueryValueExA;

namespace {

std::string Fmt(const char* pattern, const std::string& name) {
    std::string s = pattern;
    size_t at = s.find("%s");
    if (at != std::string::npos) s.replace(at, 2, name);
    return s;
}

void DeleteKeyTree(HKEY parent, const std::string& name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &raw) == ERROR_SUCCESS) {
        velfw::UniqueRegKey key(raw);
        DWORD count = 0, maxLen = 0;
        if (::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            std::vector<char> buf(maxLen + 2);
            for (DWORD i = count; i-- > 0;) {
                DWORD len = static_cast<DWORD>(buf.size());
                if (::RegEnumKeyExA(key.get(), i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                    DeleteKeyTree(key.get(), std::string(buf.data(), len));
            }
        }
    }
    ::RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

std::string TKvRegistryStore::GetKeyName() const {
    if (!keyName_.empty()) return keyName_;
    char path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return DefaultKeyName(std::string(path, n));
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
    return storeKey_.get();
}

void TKvRegistryStore::OpenStorage() {
    const std::string name = GetKeyName();
    // The accessor is made on the current user's branch first, so a key of
    // this name always exists there whatever the root.
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &raw, nullptr) == ERROR_SUCCESS)
        ::RegCloseKey(raw);
    raw = nullptr;
    storeKey_.reset();
    // A key that cannot be opened is not an error: reads then give defaults.
    if (::RegCreateKeyExA(RootKey(), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &raw, nullptr) == ERROR_SUCCESS)
        storeKey_.reset(raw);
}

void TKvRegistryStore::CloseStorage() { storeKey_.reset(); }

std::string TKvRegistryStore::ReadString(const std::string& section, const std::string& item,
                                         const std::string& fallback) {
    std::string relative;
    HKEY base = BaseFor(section, relative);
    if (!base) return fallback;
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(base, relative.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return fallback;
    velfw::UniqueRegKey key(raw);

    DWORD type = 0, size = 0;
    LONG rc = QueryRegistryValue(key.get(), item.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return fallback;
    if (rc != ERROR_SUCCESS) throw ERegistryException(Fmt("Failed to get data for '%s'", item));
    if (size == 0) return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(Fmt("Invalid data type for '%s'", item));
    // The value may change between the two queries and need not end with a
    // NUL: read into a buffer one larger than reported and cut at the first NUL.
    std::vector<char> data;
    for (int attempt = 0; attempt < 4; ++attempt) {
        data.assign(static_cast<size_t>(size) + 1, '\0');
        DWORD got = size;
        rc = QueryRegistryValue(key.get(), item.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (rc != ERROR_SUCCESS) throw ERegistryException(Fmt("Failed to get data for '%s'", item));
        if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(Fmt("Invalid data type for '%s'", item));
        size_t len = 0;
        while (len < got && data[len] != '\0') ++len;
        return std::string(data.data(), len);
    }
    throw ERegistryException(Fmt("Failed to get data for '%s'", item));
}

void TKvRegistryStore::WriteString(const std::string& section, const std::string& item, const std::string& value) {
    std::string relative;
    HKEY base = BaseFor(section, relative);
    HKEY raw = nullptr;
    if (!base || ::RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                   nullptr, &raw, nullptr) != ERROR_SUCCESS)
        throw ERegistryException(Fmt("Failed to create key %s", section));
    velfw::UniqueRegKey key(raw);
    if (::RegSetValueExA(key.get(), item.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw ERegistryException(Fmt("Failed to set data for '%s'", item));
}

void TKvRegistryStore::EraseSection(const std::string& section) {
    std::string relative;
    HKEY base = BaseFor(section, relative);
    if (!base || relative.empty()) return;
    DeleteKeyTree(base, relative);
}

}  // namespace kv
