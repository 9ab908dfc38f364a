#include "KvIntlRules.h"

#include <algorithm>

#include "KvConst.h"
#include "KvStr.h"

namespace kv {

namespace {

// Buffer sizes of the fields, each with room for a terminator.
constexpr size_t kCharBuffer = 6, kCurrencyBuffer = 6, kTimeMarkerBuffer = 6, kCountryBuffer = 256,
                 kShortDateBuffer = 30, kLongDateBuffer = 40;

uint8_t Byte(int32_t value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// Turns the run of `from` that starts at the first `pattern` into `to`.
void RenameRun(std::string& mask, const std::string& pattern, char from, char to) {
    size_t pos = 0;
    if (!StrStPos(mask, pattern, pos)) return;
    for (; pos < mask.size() && mask[pos] == from; ++pos) mask[pos] = to;
}

}  // namespace

std::string IntlString(IIntlSource& source, const std::string& key, const std::string& fallback, size_t size) {
    const std::optional<std::string> value = source.ProfileString(key);
    const std::string& text = value ? *value : fallback;
    return text.substr(0, size > 0 ? size - 1 : 0);
}

char IntlChar(IIntlSource& source, const std::string& key, char fallback) {
    const std::string value = IntlString(source, key, "", kCharBuffer);
    return value.empty() ? fallback : value[0];
}

int32_t IntlInt(IIntlSource& source, const std::string& key, int32_t fallback) {
    const std::optional<std::string> value = source.ProfileString(key);
    if (!value) return fallback;
    size_t pos = 0;
    while (pos < value->size() && ((*value)[pos] == ' ' || (*value)[pos] == '\t')) ++pos;
    if (pos < value->size() && (*value)[pos] == '-') return 0;
    if (pos < value->size() && (*value)[pos] == '+') ++pos;
    int64_t number = 0;
    for (; pos < value->size() && (*value)[pos] >= '0' && (*value)[pos] <= '9'; ++pos)
        number = std::min<int64_t>(number * 10 + ((*value)[pos] - '0'), INT32_MAX);
    return static_cast<int32_t>(number);
}

TKvIntlSup::TKvIntlSup(IIntlSource& source) { ReadIntlSettings(source); }

std::string TKvIntlSup::LiteralText(int slot) const {
    const TKvLiteralSlot& s = LiteralSlots.at(static_cast<size_t>(slot));
    return std::string(s.data(), std::find(s.begin(), s.end(), '\0'));
}

void TKvIntlSup::ReadIntlSettings(IIntlSource& source) {
    DecimalMark = IntlChar(source, "sDecimal", '.');
    GroupMark = IntlChar(source, "sThousand", ',');
    CurrencyDecimals = Byte(IntlInt(source, "iCurrDigits", 2));
    if (GroupMark == DecimalMark) {
        DecimalMark = '.';
        GroupMark = ',';
    }
    NegCurrencyFormat = Byte(IntlInt(source, "iNegCurr", 0));
    ListMark = IntlChar(source, "sList", ',');
    CountryName = IntlString(source, "sCountry", "", kCountryBuffer);

    CurrencyLeft = IntlString(source, "sCurrency", "$", kCurrencyBuffer);
    CurrencyRight = CurrencyLeft;
    CurrencyPlacement = Byte(IntlInt(source, "iCurrency", 0));
    // The blank makes a sixth character, which the string holds.
    if (CurrencyPlacement == 2) CurrencyLeft += ' ';
    if (CurrencyPlacement == 3) StrChInsert(CurrencyRight, ' ', 0);

    HourLeadingZero = IntlInt(source, "iTLZero", 0) != 0;
    TwelveHourClock = source.TwelveHourClockWithMarkerAfter();
    TimeMark = IntlChar(source, "sTime", ':');
    DateMark = IntlChar(source, "sDate", '/');
    AmText = IntlString(source, "s1159", "AM", kTimeMarkerBuffer);
    PmText = IntlString(source, "s2359", "PM", kTimeMarkerBuffer);

    const std::optional<std::string> registryShortDate = source.RegistryShortDate();
    ShortDateMask = registryShortDate ? *registryShortDate : IntlString(source, "sShortDate", "MM/dd/yy", kShortDateBuffer);
    ShortDateMask = ShortDateMask.substr(0, kShortDateBuffer - 1);
    std::replace(ShortDateMask.begin(), ShortDateMask.end(), DateMark, '/');

    LongDateMask = IntlString(source, "sLongDate", "dddd, MMMM dd, yyyy", kLongDateBuffer);
    ExtractLiteral('f', 0);
    ExtractLiteral('g', 1);
    ExtractLiteral('h', 2);
    RenameRun(LongDateMask, "ddd", 'd', 'w');
    RenameRun(ShortDateMask, "MMM", 'M', 'n');
    RenameRun(LongDateMask, "MMM", 'M', 'n');

    // A blank after every ',' and '.' that lacks one; the mask may outgrow
    // its 39 characters here, which the string allows.
    for (size_t i = 0; i < LongDateMask.size(); ++i) {
        if ((LongDateMask[i] == ',' || LongDateMask[i] == '.') &&
            (i + 1 == LongDateMask.size() || LongDateMask[i + 1] != ' ')) {
            StrChInsert(LongDateMask, ' ', i + 1);
            ++i;
        }
    }

    const struct {
        char& letter;
        uint16_t id;
    } letters[] = {{YesLetter, SYesLetter}, {NoLetter, SNoLetter}, {TrueLetter, STrueLetter}, {FalseLetter, SFalseLetter}};
    for (const auto& l : letters) {
        const std::string text = LibraryString(l.id);
        if (text.size() == 1) l.letter = text[0];
    }
}

void TKvIntlSup::ExtractLiteral(char letter, int slot) {
    TKvLiteralSlot& target = LiteralSlots.at(static_cast<size_t>(slot));
    target.fill('\0');
    size_t pos = 0, closing = 0;
    if (!StrChPos(LongDateMask, '\'', pos)) return;
    StrChDelete(LongDateMask, pos);
    if (!StrChPos(LongDateMask, '\'', closing)) return;
    size_t taken = 0;
    while (pos < LongDateMask.size() && LongDateMask[pos] != '\'') {
        if (taken < kLiteralSlotSize) {
            target[taken++] = LongDateMask[pos];
            LongDateMask[pos++] = letter;
        } else {
            StrChDelete(LongDateMask, pos);  // a literal keeps six characters at most
        }
    }
    StrChDelete(LongDateMask, pos);
}

}  // namespace kv
