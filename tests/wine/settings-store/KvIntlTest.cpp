#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "KvIntl.h"
#include "OpenStringTables.h"
#include "RegistryKey.h"

using namespace kv;

namespace {

const char kIntlKey[] = "Control Panel\\International";

// Writes WIN.INI [intl] keys and the registry's short date for one test and
// puts back what was there before.
class IntlSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(key_.Create(HKEY_CURRENT_USER, kIntlKey, KEY_QUERY_VALUE | KEY_SET_VALUE), ERROR_SUCCESS);
        DWORD size = sizeof savedDate_;
        hadDate_ =
            ::RegQueryValueExA(key_.Get(), "sShortDate", nullptr, &savedType_, savedDate_, &size) == ERROR_SUCCESS;
        savedSize_ = size;
        key_.DeleteValue("sShortDate");
    }
    void TearDown() override {
        for (const auto& [name, value] : savedProfile_)
            ::WriteProfileStringA("intl", name.c_str(), value ? value->c_str() : nullptr);
        key_.DeleteValue("sShortDate");
        if (hadDate_) ::RegSetValueExA(key_.Get(), "sShortDate", 0, savedType_, savedDate_, savedSize_);
        key_.Close();
    }
    // nullptr removes the key.
    void SetProfile(const std::string& name, const char* value) {
        if (!savedProfile_.count(name)) savedProfile_[name] = TSystemIntlSource().ProfileString(name);
        ASSERT_TRUE(::WriteProfileStringA("intl", name.c_str(), value));
    }
    void SetRegistryDate(DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExA(key_.Get(), "sShortDate", 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    OpenStringTables tables_;
    velfw::RegistryKey key_;
    bool hadDate_ = false;
    DWORD savedType_ = 0, savedSize_ = 0;
    BYTE savedDate_[256] = {};
    std::map<std::string, std::optional<std::string>> savedProfile_;
};

}  // namespace

TEST_F(IntlSettingsTest, ReadsTheProfileWrittenForIt) {
    SetProfile("sDecimal", ",");
    SetProfile("sThousand", ",");
    SetProfile("sCurrency", "DM");
    SetProfile("iCurrency", "3");
    SetProfile("sDate", ".");
    SetProfile("sCountry", "Testland");
    SetProfile("sShortDate", "dd.MM.yyyy");
    SetProfile("sLongDate", "dddd d' de 'MMMM' de 'yyyy");
    SetProfile("s1159", "vorm.");
    SetProfile("sList", nullptr);

    TSystemIntlSource source;
    EXPECT_EQ(source.ProfileString("sList"), std::nullopt);
    SetProfile("sList", "");
    EXPECT_EQ(source.ProfileString("sList"), std::optional<std::string>(""));

    InitKvIntlUnit();
    ASSERT_NE(IntlSettings, nullptr);
    const TKvIntlSup& s = *IntlSettings;
    EXPECT_EQ(s.DecimalMark, '.') << "the same mark for both goes back to the defaults";
    EXPECT_EQ(s.GroupMark, ',');
    EXPECT_EQ(s.ListMark, ',') << "an empty value keeps the default";
    EXPECT_EQ(s.CurrencyLeft, "DM");
    EXPECT_EQ(s.CurrencyRight, " DM");
    EXPECT_EQ(s.CountryName, "Testland");
    EXPECT_EQ(s.AmText, "vorm.");
    EXPECT_EQ(s.ShortDateMask, "dd/MM/yyyy");
    EXPECT_EQ(s.LongDateMask, "wwww dffffnnnnggggyyyy");
    EXPECT_EQ(s.LiteralText(0), " de ");
    EXPECT_EQ(s.YesLetter, 'Y');
    DoneKvIntlUnit();
    EXPECT_EQ(IntlSettings, nullptr);
}

// The system maps WIN.INI [intl] onto the same registry key, so a value that
// is not a string is missing for both reads and the default mask applies.
TEST_F(IntlSettingsTest, RegistryShortDateIsTakenOnlyAsAString) {
    SetProfile("sDate", "-");
    const struct {
        DWORD type;
        std::string data;
        const char* mask;
    } cases[] = {
        {REG_SZ, std::string("dd-MMM-yyyy") + '\0', "dd/nnn/yyyy"},
        {REG_SZ, "MM-dd-yy", "MM/dd/yy"},  // stored without its terminator
        {REG_SZ, std::string(40, 'd') + '\0', "ddddddddddddddddddddddddddddd"},  // cut to 29
        {REG_DWORD, std::string("\x01\x02\x03\x04", 4), "MM/dd/yy"},
        {REG_BINARY, "dd-MM-yy", "MM/dd/yy"},
    };
    for (const auto& c : cases) {
        SetRegistryDate(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        TSystemIntlSource source;
        EXPECT_EQ(TKvIntlSup(source).ShortDateMask, c.mask) << c.data;
    }
}
