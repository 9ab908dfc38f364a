#include "HostedWBRules.h"

#include <gtest/gtest.h>

#include "Classes.h"

using namespace browser;

TEST(HostedWBRules, DownloadControlFlagWords) {
    struct Row {
        TDownloadControlOptions set;
        uint32_t value;
    } rows[] = {
        {{}, 0},
        {{TDownloadControlOption::DLIMAGES, TDownloadControlOption::VIDEOS, TDownloadControlOption::BGSOUNDS}, 0x70},
        {{TDownloadControlOption::SILENT, TDownloadControlOption::NO_SCRIPTS}, 0x40000080},
        {{TDownloadControlOption::OFFLINE}, 0x80000000},
        {{TDownloadControlOption::URL_ENCODING_ENABLE_UTF8, TDownloadControlOption::FORCEOFFLINE}, 0x10040000},
        {TDownloadControlOptions::FromBits((1u << kDownloadControlOptionCount) - 1), 0xF007FFF0},
    };
    for (const Row& r : rows) EXPECT_EQ(DownloadControlValueOf(r.set), r.value) << std::hex << r.set.Bits();
}

TEST(HostedWBRules, HostFlagWordsNeverProduce0x8000) {
    struct Row {
        TUserInterfaceOptions set;
        uint32_t value;
    } rows[] = {
        {{}, 0},
        {{TUserInterfaceOption::NO3DBORDER, TUserInterfaceOption::SCROLL_NO}, 0xC},
        {{TUserInterfaceOption::ENABLE_FORMS_AUTOCOMPLETE}, 0x4000},
        {{TUserInterfaceOption::ENABLE_INPLACE_NAVIGATION}, 0x10000},
        {{TUserInterfaceOption::IME_ENABLE_RECONVERSION, TUserInterfaceOption::DIALOG}, 0x20001},
        {TUserInterfaceOptions::FromBits((1u << kUserInterfaceOptionCount) - 1), 0x37FFF},
    };
    for (const Row& r : rows) EXPECT_EQ(HostFlagsValueOf(r.set), r.value) << std::hex << r.set.Bits();
}

TEST(HostedWBRules, PageSetupMargins) {
    EXPECT_NEAR(PageSetupMargin("0.750000", '.', false), 19.05, 1e-9);
    EXPECT_NEAR(PageSetupMargin("0.750000", '.', true), 0.75, 1e-9);
    EXPECT_NEAR(PageSetupMargin(" 1 . 5 ", '.', true), 1.5, 1e-9);  // all blanks go
    EXPECT_NEAR(PageSetupMargin("0.5", ',', true), 0.5, 1e-9);       // read with the locale's separator
    EXPECT_NEAR(PageSetupMargin("0,5", ',', true), 0.5, 1e-9);
    EXPECT_THROW(PageSetupMargin("", '.', true), velfw::Exception);
    EXPECT_THROW(PageSetupMargin("abc", '.', true), velfw::Exception);
    EXPECT_THROW(PageSetupMargin("0.5.1", ',', true), velfw::Exception);
}

TEST(HostedWBRules, DdeCommandNames) {
    struct Row {
        const char* text;
        const char* name;
    } rows[] = {
        {"[ViewFolder(\"%l\", %I, %S)]", "ViewFolder"},
        {"[ExploreFolder(\"%l\", %I, %S)]", "ExploreFolder"},
        {"FindFolder(\"%l\", %I)", "FindFolder"},  // no bracket: the whole text
        {"[NoParen]", ""},
        {"", ""},
        {"x[Open(a)][Other(b)]", "Open"},
    };
    for (const Row& r : rows) EXPECT_EQ(DdeCommandName(r.text), r.name) << r.text;
}
