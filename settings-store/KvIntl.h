// The user's international settings, read once at start-up from WIN.INI
// [intl], the user's registry and the locale. The derivation of the fields
// and the date masks is in KvIntlRules; this side reads the system.
#pragma once

#include <optional>
#include <string>

#include "KvIntlRules.h"

namespace kv {

// The system's sources: the profile section "intl", the user's
// "Control Panel\International" key and the user's locale.
class TSystemIntlSource : public IIntlSource {
public:
    std::optional<std::string> ProfileString(const std::string& key) override;
    std::optional<std::string> RegistryShortDate() override;
    bool TwelveHourClockWithMarkerAfter() override;
};

// The program's settings, made by InitKvIntlUnit (after the string tables,
// whose letters it reads) and freed by DoneKvIntlUnit.
extern TKvIntlSup* IntlSettings;
void InitKvIntlUnit();
void DoneKvIntlUnit();

}  // namespace kv
