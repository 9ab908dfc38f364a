// Page lists (folders of Internet Shortcut files) and the shortcuts
// themselves, through the system's private-profile functions.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "Globals.h"
#include "PageListRules.h"
#include "WinHandles.h"

namespace globals {

namespace {

// The profile functions cut a value at the buffer's size without saying so:
// the buffer grows until the value fits.
std::string ReadProfileString(const char* section, const char* key, const std::string& file) {
    constexpr size_t MaxValue = 16u << 20;
    std::vector<char> buf(2048);
    for (;;) {
        DWORD n = ::GetPrivateProfileStringA(section, key, "", buf.data(), static_cast<DWORD>(buf.size()),
                                             file.c_str());
        if (n + 1 < buf.size() || buf.size() >= MaxValue) return std::string(buf.data(), std::min<size_t>(n, buf.size()));
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

bool ReadShortcutUrl(const std::string& fileName, std::string& url) {
    try {
        url = ReadProfileString(ShortcutSection, ShortcutKey, fileName);
        return true;
    } catch (...) {
        return false;
    }
}

bool WriteShortcutUrl(const std::string& fileName, const std::string& url) {
    try {
        return ::WritePrivateProfileStringA(ShortcutSection, ShortcutKey, url.c_str(), fileName.c_str()) != FALSE;
    } catch (...) {
        return false;
    }
}

bool SaveLastSeenShortcut(const std::string& url) { return WriteShortcutUrl(LastSeenShortcutPath(DesktopDir), url); }

bool LoadPageList(velfw::TStringList& list, const std::string& folder) {
    list.Clear();
    const std::optional<std::string> dir = PageListFolder(folder);
    if (!dir || !DirectoryExists(*dir)) return false;
    WIN32_FIND_DATAA entry = {};
    velfw::UniqueFindHandle find(::FindFirstFileA((*dir + "*.*").c_str(), &entry));
    if (!find) return false;
    bool result = false;
    do {
        const std::string name = entry.cFileName;
        if (!IsPageEntry(name)) continue;
        std::string url;
        if (ReadShortcutUrl(*dir + name, url)) {
            list.Add(url);
            result = true;
        }
    } while (::FindNextFileA(find.get(), &entry));
    return result;
}

bool LoadWindowPages(int n) {
    if (n < 1 || n > 3) return false;
    return LoadPageList(PageLists[static_cast<size_t>(n)], WindowPagesFolder(DataDir, n));
}

}  // namespace globals
