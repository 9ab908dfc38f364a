#include <gtest/gtest.h>

#include <map>

#include "KvIntlRules.h"
#include "KvStr.h"
#include "StringTables.h"

using namespace kv;

namespace {

class FakeIntl : public IIntlSource {
public:
    std::map<std::string, std::string> profile;
    std::optional<std::string> registryShortDate;
    bool twelveHour = false;

    std::optional<std::string> ProfileString(const std::string& key) override {
        const auto it = profile.find(key);
        return it == profile.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::optional<std::string> RegistryShortDate() override { return registryShortDate; }
    bool TwelveHourClockWithMarkerAfter() override { return twelveHour; }
};

TKvIntlSup Read(std::map<std::string, std::string> profile) {
    FakeIntl source;
    source.profile = std::move(profile);
    return TKvIntlSup(source);
}

}  // namespace

TEST(IntlSettings, DefaultsWhenNothingIsSet) {
    ScopedLibraryStrings strings;
    const TKvIntlSup intl = Read({});
    EXPECT_EQ(intl.ShortDateMask, "MM/dd/yy");
    EXPECT_EQ(intl.LongDateMask, "wwww, nnnn dd, yyyy");
    EXPECT_EQ(intl.CurrencyLeft, "$");
    EXPECT_EQ(intl.CurrencyRight, "$");
    EXPECT_EQ(std::string({intl.DecimalMark, intl.GroupMark, intl.ListMark, intl.DateMark, intl.TimeMark}), ".,,/:");
    EXPECT_EQ(std::string({intl.YesLetter, intl.NoLetter, intl.TrueLetter, intl.FalseLetter}), "YNTF");
    EXPECT_EQ(intl.CurrencyDecimals, 2);
    EXPECT_EQ(intl.AmText, "AM");
    EXPECT_EQ(intl.PmText, "PM");
    EXPECT_EQ(intl.CountryName, "");
    EXPECT_FALSE(intl.HourLeadingZero);
    EXPECT_FALSE(intl.TwelveHourClock);
    for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(intl.LiteralText(slot), "");
}

TEST(IntlSettings, LongDateMasksAndTheirLiterals) {
    const struct {
        const char* format;
        const char* mask;
        const char* slots[3];
    } rows[] = {
        {"dddd d' de 'MMMM' de 'yyyy", "wwww dffffnnnnggggyyyy", {" de ", " de ", ""}},
        {"dd.MM.yy", "dd. MM. yy", {"", "", ""}},
        {"d. MMMM yyyy.", "d. nnnn yyyy. ", {"", "", ""}},
        {"'abcdefgh' d", "ffffff d", {"abcdef", "", ""}},  // six kept, two dropped
        {"'abcdef' 'x' 'y' 'z'", "ffffff g h 'z'", {"abcdef", "x", "y"}},
        {"MMMM 'dangling", "nnnn dangling", {"", "", ""}},  // the opening quote goes, the slot stays empty
        {"'' d", " d", {"", "", ""}},
        {"ddd,ddd,d", "www, ddd, d", {"", "", ""}},  // only the first run is renamed
    };
    for (const auto& r : rows) {
        const TKvIntlSup intl = Read({{"sLongDate", r.format}});
        EXPECT_EQ(intl.LongDateMask, r.mask) << r.format;
        for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(intl.LiteralText(slot), r.slots[slot]) << r.format;
    }
    const TKvIntlSup six = Read({{"sLongDate", "'abcdef'"}});
    EXPECT_EQ(six.LiteralSlots[0], (TKvLiteralSlot{'a', 'b', 'c', 'd', 'e', 'f'})) << "six fill the slot";
}

TEST(IntlSettings, FieldsStayWithinTheirBounds) {
    // 39 characters of ",d": every comma gains a blank, so the mask grows past 39.
    std::string longFormat;
    while (longFormat.size() < 60) longFormat += ",d";
    const TKvIntlSup intl = Read({{"sLongDate", longFormat},
                                  {"sShortDate", std::string(40, 'y')},
                                  {"sCurrency", "ABCDEFG"},
                                  {"iCurrency", "2"},
                                  {"s1159", "morning"},
                                  {"sCountry", std::string(300, 'c')}});
    EXPECT_EQ(intl.LongDateMask.size(), 39u + 20u);
    EXPECT_EQ(intl.LongDateMask.substr(0, 6), ", d, d");
    EXPECT_EQ(intl.ShortDateMask, std::string(29, 'y'));
    EXPECT_EQ(intl.CurrencyLeft, "ABCDE ");
    EXPECT_EQ(intl.CurrencyRight, "ABCDE");
    EXPECT_EQ(intl.AmText, "morni");
    EXPECT_EQ(intl.CountryName.size(), 255u);
    EXPECT_EQ(Read({{"sCurrency", "ABCDE"}, {"iCurrency", "3"}}).CurrencyRight, " ABCDE");
}

TEST(IntlSettings, CurrencyPlacementAndMarks) {
    const struct {
        const char* placement;
        const char* left;
        const char* right;
    } rows[] = {{"0", "DM", "DM"}, {"1", "DM", "DM"}, {"2", "DM ", "DM"}, {"3", "DM", " DM"}, {"x", "DM", "DM"}};
    for (const auto& r : rows) {
        const TKvIntlSup intl = Read({{"sCurrency", "DM"}, {"iCurrency", r.placement}});
        EXPECT_EQ(intl.CurrencyLeft, r.left) << r.placement;
        EXPECT_EQ(intl.CurrencyRight, r.right) << r.placement;
    }
    const TKvIntlSup same = Read({{"sDecimal", ","}, {"sThousand", ","}});
    EXPECT_EQ(same.DecimalMark, '.');
    EXPECT_EQ(same.GroupMark, ',');
    const TKvIntlSup german = Read({{"sDecimal", ","}, {"sThousand", "."}, {"sDate", "."}, {"sShortDate", "dd.MM.yyyy"},
                                    {"iCurrDigits", "-3"}, {"iTLZero", "1"}, {"sList", ""}});
    EXPECT_EQ(german.DecimalMark, ',');
    EXPECT_EQ(german.GroupMark, '.');
    EXPECT_EQ(german.ShortDateMask, "dd/MM/yyyy");
    EXPECT_EQ(german.CurrencyDecimals, 0);
    EXPECT_TRUE(german.HourLeadingZero);
    EXPECT_EQ(german.ListMark, ',') << "an empty value takes the default";
}

TEST(IntlSettings, ShortDateFromTheRegistryFirst) {
    FakeIntl source;
    source.profile["sShortDate"] = "yy-MM-dd";
    EXPECT_EQ(TKvIntlSup(source).ShortDateMask, "yy-MM-dd");
    source.registryShortDate = "d MMM yyyy";
    source.twelveHour = true;
    const TKvIntlSup intl(source);
    EXPECT_EQ(intl.ShortDateMask, "d nnn yyyy");
    EXPECT_TRUE(intl.TwelveHourClock);
}

TEST(IntlSettings, LettersFromTheLibraryOnlyWhenOneCharacterLong) {
    ScopedLibraryStrings strings(MakeStringTable({{30368, u"J"}, {30369, u""}, {30370, u"True"}, {30371, u"X"}}));
    const TKvIntlSup intl = Read({});
    EXPECT_EQ(std::string({intl.YesLetter, intl.NoLetter, intl.TrueLetter, intl.FalseLetter}), "JNTX");
}

TEST(StringPrimitives, CharactersAndSubstrings) {
    const struct {
        const char* s;
        size_t pos;
        const char* deleted;
        const char* inserted;  // '*' inserted at pos
    } rows[] = {
        {"abc", 0, "bc", "*abc"}, {"abc", 2, "ab", "ab*c"}, {"abc", 3, "abc", "abc*"},
        {"abc", 99, "abc", "abc*"}, {"", 0, "", "*"},
    };
    for (const auto& r : rows) {
        std::string d = r.s, i = r.s;
        EXPECT_EQ(StrChDelete(d, r.pos), r.deleted) << r.s << " " << r.pos;
        EXPECT_EQ(StrChInsert(i, '*', r.pos), r.inserted) << r.s << " " << r.pos;
    }

    size_t pos = 77;
    EXPECT_FALSE(StrChPos("dd MMMM yy", '\'', pos));
    EXPECT_FALSE(StrChPos("", 'a', pos));
    EXPECT_EQ(pos, 77u) << "untouched when not found";
    EXPECT_TRUE(StrChPos("a'b'", '\'', pos));
    EXPECT_EQ(pos, 1u);

    const struct {
        const char* s;
        const char* sub;
        bool found;
        size_t at;
    } subs[] = {
        {"dd MMMM yy", "MMM", true, 3}, {"MMM", "MMM", true, 0}, {"MM", "MMM", false, 0},
        {"abc", "", false, 0},          {"", "a", false, 0},     {"abcabc", "ca", true, 2},
    };
    for (const auto& r : subs) {
        pos = 77;
        EXPECT_EQ(StrStPos(r.s, r.sub, pos), r.found) << r.s << " / " << r.sub;
        EXPECT_EQ(pos, r.found ? r.at : 77u) << r.s << " / " << r.sub;
    }
}
