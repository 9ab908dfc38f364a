// A keyed string store opened and closed in a counted bracket.
#pragma once

#include <string>

#include "KvBase.h"

namespace kv {

class TKvAbstractStore : public TKvComponent {
public:
    using TKvComponent::TKvComponent;

    virtual void OpenStorage() = 0;
    virtual void CloseStorage() = 0;
    virtual std::string ReadString(const std::string& section, const std::string& item, const std::string& fallback) = 0;
    virtual void WriteString(const std::string& section, const std::string& item, const std::string& value) = 0;
    virtual void EraseSection(const std::string&) {}

    // The first Open opens the storage, the Close that balances it closes it.
    void Open();
    void Close();
    int OpenCount() const { return openCount_; }

private:
    int openCount_ = 0;
};

}  // namespace kv
