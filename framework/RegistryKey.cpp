#include "RegistryKey.h"

#include <vector>

namespace velfw {

RegistryQueryFunction QueryRegistryValue = ::RegQueryValueExA;

namespace {

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// A value that grows between the size query and the read is read again with
// its new size; one that keeps growing is given up.
constexpr int kReadAttempts = 4;

}  // namespace

LONG RegistryKey::Open(HKEY parent, const std::string& path, REGSAM access) {
    HKEY opened = nullptr;
    const LONG rc = ::RegOpenKeyExA(parent, path.c_str(), 0, access, &opened);
    if (rc == ERROR_SUCCESS) key_.reset(opened);
    return rc;
}

LONG RegistryKey::Create(HKEY parent, const std::string& path, REGSAM access, DWORD options) {
    HKEY opened = nullptr;
    const LONG rc = ::RegCreateKeyExA(parent, path.c_str(), 0, nullptr, options, access, nullptr, &opened, nullptr);
    if (rc == ERROR_SUCCESS) key_.reset(opened);
    return rc;
}

RegistryRead RegistryKey::ReadString(const std::string& name, std::string& text, DWORD* type) const {
    DWORD found = 0, size = 0;
    LONG rc = QueryRegistryValue(key_.get(), name.c_str(), nullptr, &found, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return RegistryRead::Missing;
    if (rc != ERROR_SUCCESS) return RegistryRead::Failed;
    if (!IsText(found)) return size == 0 ? RegistryRead::NoData : RegistryRead::NotText;
    std::vector<char> data;
    DWORD got = 0;
    if (size != 0) {
        // The stored text need not end with a NUL: one byte more than
        // reported, and the text ends at the first NUL within what was read.
        for (int attempt = 0;; ++attempt) {
            if (attempt == kReadAttempts) return RegistryRead::Failed;
            data.assign(static_cast<size_t>(size) + 1, '\0');
            got = size;
            rc = QueryRegistryValue(key_.get(), name.c_str(), nullptr, &found, reinterpret_cast<BYTE*>(data.data()),
                                    &got);
            if (rc != ERROR_MORE_DATA) break;
            size = got;
        }
        if (rc != ERROR_SUCCESS) return RegistryRead::Failed;
        if (!IsText(found)) return RegistryRead::NotText;
    }
    size_t length = 0;
    while (length < got && data[length] != '\0') ++length;
    text.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
    if (type) *type = found;
    return RegistryRead::Text;
}

bool RegistryKey::WriteString(const std::string& name, const std::string& text) const {
    return ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::string& name) const {
    return ::RegDeleteValueA(key_.get(), name.c_str()) == ERROR_SUCCESS;
}

}  // namespace velfw
