#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <limits>

#include "StatsPageRules.h"

using namespace globals;

namespace {

StatsValues Sample() {
    StatsValues v;
    v.Connection = "Connected";
    v.CurrentTime = "14:05 12/09/2026";
    v.StartTime = "13:58 12/09/2026";
    v.Version = "(1.0.1.129)";
    return v;
}

}  // namespace

TEST(StatsPageRules, ConnectionTexts) {
    EXPECT_EQ(ConnectionText(ConnectionState::Connected), "Connected");
    EXPECT_EQ(ConnectionText(ConnectionState::NotConnected), "Not connected");
    EXPECT_EQ(ConnectionText(ConnectionState::Unknown), "Unknown");
}

TEST(StatsPageRules, OnePlaceholderPerLineInTheirOrder) {
    struct Case {
        const char* line;
        const char* filled;
    };
    const Case cases[] = {
        {"<p>State: SSSSSSSS today</p>", "<p>State: Connected today</p>"},
        {"TTTTTTTT-UUUUUUUU", "14:05 12/09/2026-UUUUUUUU"},
        {"started UUUUUUUU.", "started 13:58 12/09/2026."},
        {"VVVVVVVV and VVVVVVVV", "(1.0.1.129) and VVVVVVVV"},
        // The order of the tests decides, not the place in the line.
        {"VVVVVVVV TTTTTTTT SSSSSSSS", "VVVVVVVV TTTTTTTT Connected"},
        {"UUUUUUUU TTTTTTTT", "UUUUUUUU 14:05 12/09/2026"},
        // Case-sensitive and exactly eight letters.
        {"ssssssss tttttttt uuuuuuuu vvvvvvvv", "ssssssss tttttttt uuuuuuuu vvvvvvvv"},
        {"SSSSSSS", "SSSSSSS"},
        {"SSSSSSSSS", "ConnectedS"},
        {"", ""},
        {"no placeholder here", "no placeholder here"},
    };
    for (const Case& c : cases) EXPECT_EQ(FillStatsLine(c.line, Sample()), c.filled) << c.line;
}

TEST(StatsPageRules, WholeTextAfterThePlaceholderIsKept) {
    const std::string tail(5000, 'x');
    EXPECT_EQ(FillStatsLine("<b>SSSSSSSS" + tail, Sample()), "<b>Connected" + tail);
    EXPECT_EQ(FillStatsLine("VVVVVVVV" + std::string(1500, 'y') + "!", Sample()),
              "(1.0.1.129)" + std::string(1500, 'y') + "!");
}

TEST(StatsPageRules, TemplateLinesEndWithCrLf) {
    struct Case {
        const char* templateText;
        const char* page;
    };
    const Case cases[] = {
        {"<html>\r\nSSSSSSSS\r\n</html>\r\n", "<html>\r\nConnected\r\n</html>\r\n"},
        {"<html>\nSSSSSSSS\n</html>\n", "<html>\r\nConnected\r\n</html>\r\n"},
        {"<html>\nSSSSSSSS\r\n</html>", "<html>\r\nConnected\r\n</html>\r\n"},
        {"a\r\n\r\nb\n\nc", "a\r\n\r\nb\r\n\r\nc\r\n"},
        {"", ""},
        {"\r\n", "\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(StatsPageLines(c.templateText, Sample()), c.page) << c.templateText;
}

TEST(StatsPageRules, TimeFormat) {
    struct Case {
        double dateTime;
        const char* timeSep;
        const char* dateSep;
        const char* text;
    };
    const Case cases[] = {
        {EncodeDateTime(2026, 12, 9, 14, 5, 0, 0), ":", "/", "14:05 12/09/2026"},
        {EncodeDateTime(2026, 12, 9, 14, 5, 59, 999), ":", "/", "14:05 12/09/2026"},
        {EncodeDateTime(2026, 12, 9, 14, 5, 0, 0), ".", "-", "14.05 12-09-2026"},
        {EncodeDateTime(2026, 12, 9, 14, 5, 0, 0), "", ". ", "1405 12. 09. 2026"},
        {EncodeDateTime(2027, 1, 1, 0, 0, 0, 0), ":", "/", "00:00 01/01/2027"},
        {EncodeDateTime(2024, 2, 29, 23, 59, 0, 0), ":", "/", "23:59 02/29/2024"},
        {EncodeDateTime(1999, 12, 31, 9, 7, 0, 0), ":", "/", "09:07 12/31/1999"},
        // Never set: the base date.
        {0.0, ":", "/", "00:00 12/30/1899"},
        // Before the base date the fraction is still the time of day.
        {-1.25, ":", "/", "06:00 12/29/1899"},
        {EncodeDateTime(100, 1, 1, 0, 0, 0, 0), ":", "/", "00:00 01/01/0100"},
        {EncodeDateTime(9999, 12, 31, 23, 59, 0, 0), ":", "/", "23:59 12/31/9999"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatStatsTime(c.dateTime, c.timeSep, c.dateSep), c.text) << c.text;
}

TEST(StatsPageRules, TimeRoundsToTheMillisecondFirst) {
    // 0.9999 ms before midnight is midnight of the next day.
    const double almostMidnight = EncodeDateTime(2026, 12, 9, 0, 0, 0, 0) + (86400000.0 - 0.4) / 86400000.0;
    EXPECT_EQ(FormatStatsTime(almostMidnight, ":", "/"), "00:00 12/10/2026");
}

TEST(StatsPageRules, TimeOutsideTheCalendarIsEmpty) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 1e300, -1e300, -700000.0, 2958466.0,
                          EncodeDateTime(9999, 12, 31, 23, 59, 59, 999) + 0.9 / 86400000.0};
    for (double v : bad) EXPECT_EQ(FormatStatsTime(v, ":", "/"), "") << v;
}

TEST(StatsPageRules, EncodeDateTimeCountsFromTheBaseDate) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 12, 0, 0, 0), 2.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2026, 12, 9, 0, 0, 0, 0), 46365.0);
}

TEST(StatsPageRules, PathsAndAddress) {
    EXPECT_EQ(StatsPagePath("c:\\Program Files\\Velunor\\"), "c:\\Program Files\\Velunor\\Velunor Stats.html");
    EXPECT_EQ(StatsTemplatePath("c:\\Program Files\\Velunor\\"), "c:\\Program Files\\Velunor\\reg.bin");
    EXPECT_EQ(StatsPageUrl(StatsPagePath("c:\\Program Files\\Velunor\\")),
              "file://c:\\Program Files\\Velunor\\Velunor Stats.html");
}

TEST(StatsPageRules, ShippedTemplateFillsEveryPlaceholder) {
    std::ifstream in(std::string(VELUNOR_PAGES_DIR) + "/reg.bin", std::ios::binary);
    ASSERT_TRUE(in) << VELUNOR_PAGES_DIR;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string page = StatsPageLines(text.str(), Sample());
    for (const char* placeholder : {"SSSSSSSS", "TTTTTTTT", "UUUUUUUU", "VVVVVVVV"})
        EXPECT_EQ(page.find(placeholder), std::string::npos) << placeholder << " left in the page";
    for (const std::string& value : {Sample().Connection, Sample().CurrentTime, Sample().StartTime, Sample().Version})
        EXPECT_NE(page.find(value), std::string::npos) << value;
}
