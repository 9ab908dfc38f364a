// The user's international settings as the library keeps them, and the date
// masks derived from the two date formats. No Windows here: WIN.INI [intl],
// the registry's short date and the locale's clock come from an IIntlSource.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kv {

class IIntlSource {
public:
    virtual ~IIntlSource() = default;
    // A key of the profile section "intl"; nothing when the key is missing.
    virtual std::optional<std::string> ProfileString(const std::string& key) = 0;
    // "sShortDate" of the user's "Control Panel\International" key, when that
    // key and a string value of that name exist.
    virtual std::optional<std::string> RegistryShortDate() = 0;
    // The locale uses the 12-hour clock with the AM/PM marker after the time.
    virtual bool TwelveHourClockWithMarkerAfter() = 0;
};

constexpr size_t kLiteralSlotSize = 6;
using TKvLiteralSlot = std::array<char, kLiteralSlotSize>;  // zero-padded; six characters have no terminator

class TKvIntlSup {
public:
    // The presets, then everything read once from `source`.
    explicit TKvIntlSup(IIntlSource& source);

    std::string CurrencyLeft = "$";  // with a trailing blank for placement 2
    std::string CurrencyRight;       // with a leading blank for placement 3
    char DecimalMark = '.';
    char GroupMark = ',';
    uint8_t CurrencyDecimals = 2;
    char ListMark = ',';
    char DateMark = '/';
    char TrueLetter = 'T';
    char FalseLetter = 'F';
    char YesLetter = 'Y';
    char NoLetter = 'N';
    std::string AmText;
    std::string PmText;
    char TimeMark = ':';
    std::string CountryName;
    uint8_t CurrencyPlacement = 0;
    std::array<TKvLiteralSlot, 3> LiteralSlots{};
    // Placeholders: w day name, n month name, f g h the three literals.
    std::string LongDateMask;
    uint8_t NegCurrencyFormat = 0;
    std::string ShortDateMask;
    bool HourLeadingZero = false;
    bool TwelveHourClock = false;

    // The text of slot 0..2 up to its first zero.
    std::string LiteralText(int slot) const;

    // Moves the next quoted literal of LongDateMask into slot 0..2, leaving
    // one `letter` in the mask per character kept.
    void ExtractLiteral(char letter, int slot);

private:
    void ReadIntlSettings(IIntlSource& source);
};

// The value of `key`, at most size - 1 characters, or `fallback` when missing.
std::string IntlString(IIntlSource& source, const std::string& key, const std::string& fallback, size_t size);
// The first character of the value, or `fallback` when missing or empty.
char IntlChar(IIntlSource& source, const std::string& key, char fallback);
// The profile's integer reading: leading decimal digits, 0 when there are none
// or the value is negative, `fallback` when the key is missing.
int32_t IntlInt(IIntlSource& source, const std::string& key, int32_t fallback);

}  // namespace kv
