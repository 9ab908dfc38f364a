// Settings store on the registry: a section is a sub-key of the store's key,
// an item a string value in it.
#pragma once

#include <windows.h>

#include <string>

#include "KvFiler.h"
#include "WinHandles.h"

namespace kv {

class ERegistryException : public velfw::Exception {
public:
    using velfw::Exception::Exception;
};

// The registry's value query, replaceable for tests: a query can fail for
// reasons a test cannot bring about on a real key (a value that keeps growing,
// a key deleted between the open and the read).
using RegistryQueryFunction = LONG(WINAPI*)(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                           LPDWORD size);
extern RegistryQueryFunction QueryRegistryValue;

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
    velfw::UniqueRegKey storeKey_;
};

}  // namespace kv
