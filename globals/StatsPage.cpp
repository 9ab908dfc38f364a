#include "StatsPage.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Globals.h"
#include "WinHandles.h"

namespace globals {

ConnectionStateFunction QueryConnectionState = SystemConnectionState;
ClockFunction CurrentDateTime = SystemDateTime;

ConnectionState SystemConnectionState() {
    velfw::UniqueModule library(::LoadLibraryA("wininet.dll"));
    if (!library) return ConnectionState::Unknown;
    using ConnectedStateProc = BOOL(WINAPI*)(LPDWORD flags, DWORD reserved);
    auto proc = reinterpret_cast<ConnectedStateProc>(::GetProcAddress(library.get(), "InternetGetConnectedState"));
    if (!proc) return ConnectionState::Unknown;
    DWORD flags = 0;
    return proc(&flags, 0) ? ConnectionState::Connected : ConnectionState::NotConnected;
}

double SystemDateTime() {
    SYSTEMTIME t = {};
    ::GetLocalTime(&t);
    return EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

void GetConnectionState(std::string& text) {
    try {
        text = ConnectionText(QueryConnectionState ? QueryConnectionState() : ConnectionState::Unknown);
    } catch (...) {
        text = ConnectionText(ConnectionState::Unknown);
    }
}

namespace {

// The user's locale setting, whatever its length; the fallback when the
// system has none.
std::string LocaleText(LCTYPE type, const char* fallback) {
    int size = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 1) return fallback;
    std::vector<char> buf(static_cast<size_t>(size));
    int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf.data(), size);
    if (n <= 1) return fallback;
    return std::string(buf.data(), static_cast<size_t>(n - 1));
}

bool IsFile(const std::string& path) {
    DWORD attr = ::GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteAll(HANDLE file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
        if (!::WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    velfw::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    text.clear();
    char buf[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) return false;
        if (got == 0) return true;
        text.append(buf, got);
    }
}

}  // namespace

void WriteStatsPage(std::string& url) {
    const std::string page = StatsPagePath(BaseDir);
    url = StatsPageUrl(page);
    try {
        // A page that cannot be deleted (locked, read-only) cannot be created
        // either; the pane then shows whatever the old one holds.
        if (IsFile(page)) ::DeleteFileA(page.c_str());
        velfw::UniqueFileHandle out(::CreateFileA(page.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) return;
        // The page always starts with an empty line.
        if (!WriteAll(out.get(), "\r\n")) return;
        const std::string templatePath = StatsTemplatePath(BaseDir);
        if (!IsFile(templatePath)) return;
        std::string templateText;
        if (!ReadWholeFile(templatePath, templateText)) return;

        const std::string timeSeparator = LocaleText(LOCALE_STIME, ":");
        const std::string dateSeparator = LocaleText(LOCALE_SDATE, "/");
        StatsValues values;
        GetConnectionState(values.Connection);
        values.CurrentTime = FormatStatsTime(CurrentDateTime ? CurrentDateTime() : SystemDateTime(), timeSeparator,
                                             dateSeparator);
        values.StartTime = FormatStatsTime(SaverStartTime, timeSeparator, dateSeparator);
        values.Version = VersionText;
        WriteAll(out.get(), StatsPageLines(templateText, values));
    } catch (...) {
        // The caller navigates to the page whatever it came to hold.
    }
}

}  // namespace globals
