#include "PageListFiles.h"

#include "Globals.h"
#include "PageListRules.h"
#include "SysUtils.h"
#include "WideText.h"
#include "WinHandles.h"

namespace settings {

bool WriteAllBytes(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, size, &written, nullptr) || written == 0 || written > size) return false;
        data += written;
        size -= written;
    }
    return true;
}

FileWriteFunction WriteFileData = WriteAllBytes;
SaveStepFunction BeforeSaveStep;

std::string ShortcutFileText(const std::string& url) {
    return std::string("[") + globals::ShortcutSection + "]\r\n" + globals::ShortcutKey + "=" + url + "\r\n";
}

EntryKind EntryKindOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
    if (attributes & FILE_ATTRIBUTE_READONLY) return EntryKind::ReadOnlyFile;
    return EntryKind::File;
}

namespace {

std::string NoBackslash(const std::string& folder) { return velfw::ExcludeTrailingBackslash(folder); }

std::wstring Wide(const std::string& path) { return velfw::Utf8ToWide(path); }

void Step(const std::string& what) {
    if (BeforeSaveStep) BeforeSaveStep(what);
}

}  // namespace

bool TFilePageListFiles::FolderExists(const std::string& folder) {
    const DWORD attributes = ::GetFileAttributesW(Wide(NoBackslash(folder)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool TFilePageListFiles::MakeFolder(const std::string& folder) {
    Step("make folder " + NoBackslash(folder));
    return ::CreateDirectoryW(Wide(NoBackslash(folder)).c_str(), nullptr) != FALSE;
}

bool TFilePageListFiles::RemoveEmptyFolder(const std::string& folder) {
    Step("remove folder " + NoBackslash(folder));
    return ::RemoveDirectoryW(Wide(NoBackslash(folder)).c_str()) != FALSE;
}

bool TFilePageListFiles::ListEntries(const std::string& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW found = {};
    velfw::UniqueFindHandle find(
        ::FindFirstFileW(Wide(velfw::IncludeTrailingBackslash(folder) + "*.*").c_str(), &found));
    if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::string name = velfw::WideToUtf8(found.cFileName);
        if (name == "." || name == "..") continue;
        entries.push_back({name, EntryKindOf(found.dwFileAttributes)});
    } while (::FindNextFileW(find.get(), &found));
    // A listing cut short by an error would leave files behind unseen.
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

bool TFilePageListFiles::RemoveFile(const std::string& path) {
    Step("delete " + path);
    return ::DeleteFileW(Wide(path).c_str()) != FALSE;
}

bool TFilePageListFiles::MoveEntry(const std::string& from, const std::string& to) {
    Step("move " + from + " to " + to);
    return ::MoveFileW(Wide(from).c_str(), Wide(to).c_str()) != FALSE;
}

bool TFilePageListFiles::WriteNewShortcut(const std::string& path, const std::string& url) {
    const std::string text = ShortcutFileText(url);
    if (text.size() > MAXDWORD) return false;
    bool written = false;
    {
        Step("create " + path);
        velfw::UniqueFileHandle file(
            ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        Step("write " + path);  // an empty file if the save ends here
        written = WriteFileData(file.get(), text.data(), static_cast<DWORD>(text.size()));
    }
    // A file cut short holds half an address: it must not stay behind.
    if (!written) ::DeleteFileW(Wide(path).c_str());
    return written;
}

// A flush right after each write waits for the disk once a file; flushed
// together after all the writes, the files' data has mostly been written out
// by then (under Wine it took half the time of a flush per file). The cache
// belongs to the file, not to the handle, so a handle opened now flushes
// what an earlier one wrote.
bool TFilePageListFiles::FlushFiles(const std::string& folder, const std::vector<std::string>& names) {
    if (names.empty()) return true;
    Step("flush " + NoBackslash(folder));
    const std::wstring base = Wide(velfw::IncludeTrailingBackslash(folder));
    for (const std::string& name : names) {
        velfw::UniqueFileHandle file(::CreateFileW((base + Wide(name)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !::FlushFileBuffers(file.get())) return false;
    }
    return true;
}

bool TFilePageListFiles::HoldsShortcut(const std::string& path, const std::string& url) {
    const std::string text = ShortcutFileText(url);
    velfw::UniqueFileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart != static_cast<LONGLONG>(text.size()))
        return false;
    // One byte more than the text: a file that grew since its size was read
    // does not compare equal.
    std::string bytes(text.size() + 1, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return false;
    return read == text.size() && bytes.compare(0, read, text) == 0;
}

bool TFilePageListFiles::ReadShortcut(const std::string& path, std::string& url) {
    return globals::ReadShortcutUrl(Wide(path), url);
}

std::string TFilePageListFiles::PathSpelling(const std::string& ansiText) { return velfw::AnsiToUtf8(ansiText); }

}  // namespace settings
