// Text rules of the statistics page: placeholders, time format, paths. No
// Windows here.
#pragma once

#include <string>

namespace globals {

enum class ConnectionState { Connected, NotConnected, Unknown };
// "Connected", "Not connected" or "Unknown".
std::string ConnectionText(ConnectionState state);

// What the four placeholders of the template stand for.
struct StatsValues {
    std::string Connection;   // "SSSSSSSS"
    std::string CurrentTime;  // "TTTTTTTT"
    std::string StartTime;    // "UUUUUUUU"
    std::string Version;      // "VVVVVVVV"
};

// The placeholders are tried in the order S, T, U, V; the first one found
// has its first occurrence replaced and the rest of the line stays as it is.
std::string FillStatsLine(const std::string& line, const StatsValues& values);
// Every template line filled and ended with CR LF; the template may end its
// lines with CR LF, LF or a lone CR.
std::string StatsPageLines(const std::string& templateText, const StatsValues& values);

// A date-time is days since 30 December 1899; its fraction is the time of day.
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms);
// "hh:nn mm/dd/yyyy" with the given separators in place of ":" and "/"; empty
// for a value outside the years 100 to 9999.
std::string FormatStatsTime(double dateTime, const std::string& timeSeparator, const std::string& dateSeparator);

std::string StatsPagePath(const std::string& baseDir);      // BaseDir + "Velunor Stats.html"
std::string StatsTemplatePath(const std::string& baseDir);  // BaseDir + "reg.bin"
// The page's address for the browser: the path as it stands, nothing escaped.
std::string StatsPageUrl(const std::string& pagePath);

}  // namespace globals
