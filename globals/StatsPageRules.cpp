#include "StatsPageRules.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "SysUtils.h"

namespace globals {

namespace {

constexpr int64_t MsPerDay = 86400000;
// 1 January 0100 and 31 December 9999 as date-times.
constexpr double MinDateTime = -657434.0;
constexpr double MaxDateTime = 2958466.0;
// 30 December 1899 counted from 1 March of year 0, the base of the civil
// calendar arithmetic below.
constexpr int64_t DateTimeEpochFromMarch0 = 693899;

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

std::string TwoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

}  // namespace

std::string ConnectionText(ConnectionState state) {
    switch (state) {
        case ConnectionState::Connected: return "Connected";
        case ConnectionState::NotConnected: return "Not connected";
        case ConnectionState::Unknown: break;
    }
    return "Unknown";
}

std::string FillStatsLine(const std::string& line, const StatsValues& values) {
    const std::pair<const char*, const std::string*> placeholders[] = {
        {"SSSSSSSS", &values.Connection},
        {"TTTTTTTT", &values.CurrentTime},
        {"UUUUUUUU", &values.StartTime},
        {"VVVVVVVV", &values.Version},
    };
    for (const auto& [placeholder, value] : placeholders) {
        const size_t at = line.find(placeholder);
        if (at == std::string::npos) continue;
        return line.substr(0, at) + *value + line.substr(at + 8);
    }
    return line;
}

std::string StatsPageLines(const std::string& templateText, const StatsValues& values) {
    std::string out;
    for (const std::string& line : velfw::SplitLines(templateText)) {
        out += FillStatsLine(line, values);
        out += "\r\n";
    }
    return out;
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms) {
    const double days = static_cast<double>(DaysFromCivil(year, month, day) - DateTimeEpochFromMarch0);
    const double time = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms;
    return days + time / static_cast<double>(MsPerDay);
}

std::string FormatStatsTime(double dateTime, const std::string& timeSeparator, const std::string& dateSeparator) {
    if (!std::isfinite(dateTime) || dateTime < MinDateTime || dateTime >= MaxDateTime) return std::string();
    // Rounded to the millisecond first, so 23:59:59.9999 is the next midnight.
    const int64_t total = std::llround(dateTime * static_cast<double>(MsPerDay));
    const int64_t days = total / MsPerDay;
    const int64_t ms = (total < 0 ? -total : total) % MsPerDay;
    int year = 0, month = 0, day = 0;
    CivilFromDays(days + DateTimeEpochFromMarch0, year, month, day);
    if (year > 9999) return std::string();
    const int minutes = static_cast<int>(ms / 60000);
    char yearText[16];
    std::snprintf(yearText, sizeof yearText, "%04d", year);
    return TwoDigits(minutes / 60) + timeSeparator + TwoDigits(minutes % 60) + " " + TwoDigits(month) + dateSeparator +
           TwoDigits(day) + dateSeparator + yearText;
}

std::string StatsPagePath(const std::string& baseDir) { return baseDir + "Velunor Stats.html"; }

std::string StatsTemplatePath(const std::string& baseDir) { return baseDir + "reg.bin"; }

std::string StatsPageUrl(const std::string& pagePath) { return "file://" + pagePath; }

}  // namespace globals
