#include "WinePaths.h"

#include <vector>

#include "RegistryKey.h"
#include "WideText.h"

namespace testing_support {

std::string FromUnixPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

TempFolder::TempFolder(const std::string& tag) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    path_ = std::string(temp) + "velunor-" + tag + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    RemoveTree(path_);
    ::CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

namespace {

// By wide names: a file named in a script the ANSI code page lacks goes too.
void RemoveTreeW(const std::wstring& path) {
    DWORD attr = ::GetFileAttributesW(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return;
    if (attr & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A junction or link goes, never what it points at.
        if (attr & FILE_ATTRIBUTE_DIRECTORY) ::RemoveDirectoryW(path.c_str());
        else ::DeleteFileW(path.c_str());
        return;
    }
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name != L"." && name != L"..") RemoveTreeW(path + L"\\" + name);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) { RemoveTreeW(velfw::AnsiToWide(path)); }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    return WriteFileBytes(velfw::AnsiToWide(path), bytes);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
    return ok && written == bytes.size();
}

bool AnsiCannotSpell(const std::wstring& name) {
    BOOL usedDefault = FALSE;
    char ansi[MAX_PATH * 2] = {};
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), static_cast<int>(name.size()),
                                        ansi, sizeof ansi, nullptr, &usedDefault);
    return n <= 0 || usedDefault;
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    ::CloseHandle(f);
    return out;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void DeleteRegTree(HKEY root, const std::string& key) {
    velfw::RegistryKey k;
    if (k.Open(root, key, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
        char name[512];
        while (true) {
            DWORD len = sizeof name;
            if (::RegEnumKeyExA(k.Get(), 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            DeleteRegTree(k.Get(), name);
        }
        k.Close();
    }
    ::RegDeleteKeyA(root, key.c_str());
}

bool SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value, DWORD type) {
    velfw::RegistryKey k;
    if (k.Create(root, key, KEY_ALL_ACCESS) != ERROR_SUCCESS) return false;
    return ::RegSetValueExA(k.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    return SetRegBytes(root, key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

bool SetRegBytes(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
    velfw::RegistryKey k;
    if (k.Create(root, key, KEY_ALL_ACCESS) != ERROR_SUCCESS) return false;
    return ::RegSetValueExA(k.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

std::string GetRegString(HKEY root, const std::string& key, const std::string& name) {
    velfw::RegistryKey k;
    if (k.Open(root, key, KEY_READ) != ERROR_SUCCESS) return "<no key>";
    char text[256] = {};
    DWORD size = sizeof text - 1, type = 0;
    const LONG rc = ::RegQueryValueExA(k.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return "<missing>";
    return text;
}

}  // namespace testing_support
