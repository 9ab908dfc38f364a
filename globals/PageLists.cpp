// Page lists (folders of Internet Shortcut files) and the shortcuts
// themselves, through the system's private-profile functions.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "Globals.h"
#include "PageListRules.h"
#include "WideText.h"
#include "WinHandles.h"

namespace globals {

namespace {

// The profile functions cut a value at the buffer's size without saying so:
// the buffer grows until the value fits. The wide function takes a file name
// the ANSI code page cannot spell and reads the file's ANSI text as the ANSI
// function would; the value goes back to ANSI as it came.
std::string ReadProfileString(const wchar_t* section, const wchar_t* key, const std::wstring& file) {
    constexpr size_t MaxValue = 16u << 20;
    std::vector<wchar_t> buf(2048);
    for (;;) {
        DWORD n = ::GetPrivateProfileStringW(section, key, L"", buf.data(), static_cast<DWORD>(buf.size()),
                                             file.c_str());
        if (n + 1 < buf.size() || buf.size() >= MaxValue)
            return velfw::WideToAnsi(buf.data(), std::min<size_t>(n, buf.size()));
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

bool ReadShortcutUrl(const std::wstring& fileName, std::string& url) {
    try {
        url = ReadProfileString(velfw::AnsiToWide(ShortcutSection).c_str(), velfw::AnsiToWide(ShortcutKey).c_str(),
                                fileName);
        return true;
    } catch (...) {
        // Out of memory for the value: the read failed, the caller leaves the page out.
        return false;
    }
}

bool ReadShortcutUrl(const std::string& fileName, std::string& url) {
    return ReadShortcutUrl(velfw::AnsiToWide(fileName), url);
}

bool WriteShortcutUrl(const std::string& fileName, const std::string& url) {
    return ::WritePrivateProfileStringA(ShortcutSection, ShortcutKey, url.c_str(), fileName.c_str()) != FALSE;
}

bool SaveLastSeenShortcut(const std::string& url) { return WriteShortcutUrl(LastSeenShortcutPath(DesktopDir), url); }

bool LoadPageList(velfw::TStringList& list, const std::string& folder) {
    list.Clear();
    const std::optional<std::string> dir = PageListFolder(folder);
    if (!dir || !DirectoryExists(*dir)) return false;
    // Listed and read by their wide names: a page named in a script the ANSI
    // code page lacks would otherwise read as "???.url", a file that is not there.
    const std::wstring wideDir = velfw::AnsiToWide(*dir);
    WIN32_FIND_DATAW entry = {};
    velfw::UniqueFindHandle find(::FindFirstFileW((wideDir + L"*.*").c_str(), &entry));
    if (!find) return false;
    bool result = false;
    do {
        const std::wstring name = entry.cFileName;
        if (!IsPageEntry(velfw::WideToUtf8(name))) continue;
        std::string url;
        if (ReadShortcutUrl(wideDir + name, url)) {
            list.Add(url);
            result = true;
        }
    } while (::FindNextFileW(find.get(), &entry));
    return result;
}

bool LoadWindowPages(int n) {
    if (n < 1 || n > 3) return false;
    return LoadPageList(PageLists[static_cast<size_t>(n)], WindowPagesFolder(DataDir, n));
}

}  // namespace globals
