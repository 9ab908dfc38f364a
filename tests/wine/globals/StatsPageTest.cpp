#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "Globals.h"
#include "StatsPage.h"
#include "PageTestFiles.h"
#include "ScopeGuards.h"

using namespace globals;
using testing_support::MakeFolder;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

namespace {

std::string LocaleSetting(LCTYPE type) {
    char buf[64] = {};
    int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<size_t>(n - 1)) : std::string();
}

// The install folder, the clock, the connection, the start time and the
// version text of a test, put back afterwards.
class StatsPageTest : public ::testing::Test {
protected:
    std::string Page() const { return dir_ / "Velunor Stats.html"; }
    std::string Template() const { return dir_ / "reg.bin"; }
    std::string PageUrl() const { return "file://" + BaseDir + "Velunor Stats.html"; }
    // Makes the page (from the template bytes, when given) and gives its bytes.
    std::string PageFrom(const char* templateBytes) {
        if (templateBytes) WriteBytes(Template(), templateBytes);
        std::string url;
        WriteStatsPage(url);
        EXPECT_EQ(url, PageUrl());
        return ReadFileBytes(Page());
    }
    // "hh:nn mm/dd/yyyy" with the user's separators.
    static std::string Time(const char* hh, const char* nn, const char* mm, const char* dd, const char* yyyy) {
        std::string t = LocaleSetting(LOCALE_STIME), d = LocaleSetting(LOCALE_SDATE);
        return std::string(hh) + t + nn + " " + mm + d + dd + d + yyyy;
    }

    TempFolder dir_{"pagelists"};

private:
    velfw::ScopedValue<std::string> base_{BaseDir, dir_.Path() + "\\"};
    velfw::ScopedValue<double> start_{SaverStartTime, EncodeDateTime(2026, 12, 9, 13, 58, 30, 0)};
    velfw::ScopedValue<std::string> version_{VersionText, "(1.0.1.129)"};
    velfw::ScopedValue<ConnectionStateFunction> connection_{QueryConnectionState,
                                                            [] { return ConnectionState::Connected; }};
    velfw::ScopedValue<ClockFunction> clock_{CurrentDateTime, [] { return EncodeDateTime(2026, 12, 9, 14, 5, 10, 0); }};
};

}  // namespace

TEST_F(StatsPageTest, PlaceholdersAreFilledOnePerLine) {
    const std::string tail(1500, 'z');
    const std::string templateBytes =
        "<html><body>\r\n"
        "<p>Internet: SSSSSSSS (checked)</p>\r\n"
        "<p>Now TTTTTTTT - UUUUUUUU</p>\r\n"
        "<p>Since UUUUUUUU</p>\r\n"
        "<p>VVVVVVVV VVVVVVVV</p>\r\n"
        "<p>ssssssss tttttttt uuuuuuuu vvvvvvvv</p>\r\n"
        "<p>VVVVVVVV SSSSSSSS</p>\r\n"
        "SSSSSSSS" + tail + "\r\n"
        "</body></html>\r\n";
    EXPECT_EQ(PageFrom(templateBytes.c_str()),
              "\r\n"
              "<html><body>\r\n"
              "<p>Internet: Connected (checked)</p>\r\n"
              "<p>Now " + Time("14", "05", "12", "09", "2026") + " - UUUUUUUU</p>\r\n"
              "<p>Since " + Time("13", "58", "12", "09", "2026") + "</p>\r\n"
              "<p>(1.0.1.129) VVVVVVVV</p>\r\n"
              "<p>ssssssss tttttttt uuuuuuuu vvvvvvvv</p>\r\n"
              "<p>VVVVVVVV Connected</p>\r\n"
              "Connected" + tail + "\r\n"
              "</body></html>\r\n");
}

TEST_F(StatsPageTest, TemplateWithLineFeedsGivesCrLfLines) {
    EXPECT_EQ(PageFrom("<p>SSSSSSSS</p>\n<p>VVVVVVVV</p>\n\nlast line without an end"),
              "\r\n<p>Connected</p>\r\n<p>(1.0.1.129)</p>\r\n\r\nlast line without an end\r\n");
}

TEST_F(StatsPageTest, MissingTemplateGivesAnEmptyLine) {
    WriteBytes(Page(), "an older page that is much longer than one line\r\n");
    EXPECT_EQ(PageFrom(nullptr), "\r\n");

    // A folder named like the template is no template either.
    ASSERT_TRUE(MakeFolder(Template()));
    EXPECT_EQ(PageFrom(nullptr), "\r\n");
}

TEST_F(StatsPageTest, PageIsRewrittenFromScratch) {
    WriteBytes(Page(), std::string(10000, 'o'));
    EXPECT_EQ(PageFrom("VVVVVVVV\r\n"), "\r\n(1.0.1.129)\r\n");
}

TEST_F(StatsPageTest, LockedPageRaisesNothing) {
    WriteBytes(Template(), "SSSSSSSS\r\n");
    WriteBytes(Page(), "old page\r\n");
    HANDLE lock = ::CreateFileA(Page().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::string url;
    EXPECT_NO_THROW(WriteStatsPage(url));
    EXPECT_EQ(url, PageUrl());
    ::CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(Page()), "old page\r\n");

    // An install folder that does not exist: the address all the same.
    BaseDir = dir_ / "missing\\";
    url.clear();
    EXPECT_NO_THROW(WriteStatsPage(url));
    EXPECT_EQ(url, "file://" + dir_ / "missing\\Velunor Stats.html");
}

TEST_F(StatsPageTest, TimeUsesTheLocaleSeparators) {
    const std::string savedTime = LocaleSetting(LOCALE_STIME), savedDate = LocaleSetting(LOCALE_SDATE);
    ASSERT_TRUE(::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, "."));
    ASSERT_TRUE(::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, "-"));
    const bool applied = LocaleSetting(LOCALE_STIME) == "." && LocaleSetting(LOCALE_SDATE) == "-";

    const std::string bytes = PageFrom("TTTTTTTT\r\nUUUUUUUU\r\n");
    ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, savedTime.c_str());
    ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, savedDate.c_str());
    ASSERT_TRUE(applied);
    EXPECT_EQ(bytes, "\r\n14.05 12-09-2026\r\n13.58 12-09-2026\r\n");
    EXPECT_EQ(LocaleSetting(LOCALE_STIME), savedTime);
    EXPECT_EQ(LocaleSetting(LOCALE_SDATE), savedDate);
}

TEST_F(StatsPageTest, ConnectionTextForEachAnswer) {
    struct Case {
        ConnectionStateFunction query;
        const char* text;
    };
    const Case cases[] = {
        {[] { return ConnectionState::Connected; }, "Connected"},
        {[] { return ConnectionState::NotConnected; }, "Not connected"},
        {[] { return ConnectionState::Unknown; }, "Unknown"},
        {[]() -> ConnectionState { throw std::runtime_error("no network library"); }, "Unknown"},
        {nullptr, "Unknown"},
    };
    for (const Case& c : cases) {
        QueryConnectionState = c.query;
        std::string text = "before";
        GetConnectionState(text);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(PageFrom("<b>SSSSSSSS</b>\r\n"), std::string("\r\n<b>") + c.text + "</b>\r\n");
    }
}

TEST(StatsPageSystem, RealSeamsAnswer) {
    const std::string texts[] = {"Connected", "Not connected", "Unknown"};
    std::string text;
    GetConnectionState(text);
    EXPECT_NE(std::find(std::begin(texts), std::end(texts), text), std::end(texts)) << text;

    SYSTEMTIME before = {}, after = {};
    ::GetLocalTime(&before);
    const double now = SystemDateTime();
    ::GetLocalTime(&after);
    const double low = EncodeDateTime(before.wYear, before.wMonth, before.wDay, before.wHour, before.wMinute,
                                      before.wSecond, before.wMilliseconds);
    const double high = EncodeDateTime(after.wYear, after.wMonth, after.wDay, after.wHour, after.wMinute,
                                       after.wSecond, after.wMilliseconds);
    EXPECT_GE(now, low);
    EXPECT_LE(now, high);
}
