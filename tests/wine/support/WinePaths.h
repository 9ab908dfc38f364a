// Helpers the Wine tests share: paths of the build's programs, temp folders,
// registry clean-up.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// A Unix path of the build as a Windows path (Wine maps Z: to /).
std::string FromUnixPath(const std::string& unixPath);

// A fresh, empty folder below the temp folder; removed by the destructor.
class TempFolder {
public:
    explicit TempFolder(const std::string& tag);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }  // no trailing backslash
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// A file named by its wide spelling, as one named in another script is made.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// A page's file name in Japanese, as a browser names a favourite with a
// Japanese title; and whether the ANSI code page here has no spelling for a
// name (so that only the wide file functions find the file).
inline const std::wstring kJapanesePageName = L"\u30DA\u30FC\u30B8.url";
bool AnsiCannotSpell(const std::wstring& name);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);

// Deletes a registry key with everything below it.
void DeleteRegTree(HKEY root, const std::string& key);
bool SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                  DWORD type = REG_SZ);
// A string value's text; "<no key>" or "<missing>" (also for another type)
// when there is none.
std::string GetRegString(HKEY root, const std::string& key, const std::string& name);
bool SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
// A value of any type holding exactly `bytes` (no terminator added).
bool SetRegBytes(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes);

}  // namespace testing_support
