// Settings store on the registry: a section is a sub-key of the store's key,
// an item a string value in it.
#pragma once

#include <windows.h>

#include <string>

#include "KvFiler.h"
#include "RegistryKey.h"

namespace kv {

class ERegistryException : public velfw::Exception {
public:
    using velfw::Exception::Exception;
};

enum TKvRegistryRoot : unsigned char { rrCurrentUser = 0, rrLocalMachine = 1 };

class TKvRegistryStore : public TKvAbstractStore {
public:
    using TKvAbstractStore::TKvAbstractStore;

    std::string GetKeyName() const;
    void SetKeyName(const std::string& name);
    TKvRegistryRoot RegistryRoot = rrCurrentUser;  // takes effect at the next opening

    void OpenStorage() override;
    void CloseStorage() override;
    std::string ReadString(const std::string& section, const std::string& item, const std::string& fallback) override;
    void WriteString(const std::string& section, const std::string& item, const std::string& value) override;
    void EraseSection(const std::string& section) override;

    bool HasStoreKey() const { return static_cast<bool>(storeKey_); }

private:
    HKEY RootKey() const;
    // The key a section lives below, and the section's name relative to it.
    HKEY BaseFor(const std::string& section, std::string& relative) const;

    std::string keyName_;
    velfw::RegistryKey storeKey_;
};

}  // namespace kv
