// The page-list folders on disk: what saving a page list asks of the file
// system, done with the system's wide file functions on UTF-8 paths, so that
// a name read from the disk is moved or deleted under its own spelling.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "PageListSave.h"

namespace settings {

// Writes `size` bytes to an open file; false when not every byte was
// written. Replaceable so that tests can fail a write halfway through a save.
using FileWriteFunction = std::function<bool(HANDLE file, const char* data, DWORD size)>;
extern FileWriteFunction WriteFileData;
bool WriteAllBytes(HANDLE file, const char* data, DWORD size);

// Called with what the save is about to change on disk ("move <from> to
// <to>", "make folder <path>"...) before every step: every file written,
// moved or deleted and every folder made or removed. Replaceable so that
// tests can end the process at any one of them.
using SaveStepFunction = std::function<void(const std::string& step)>;
extern SaveStepFunction BeforeSaveStep;

// The bytes of a new Internet Shortcut holding `url`.
std::string ShortcutFileText(const std::string& url);

class TFilePageListFiles : public IPageListFiles {
public:
    bool FolderExists(const std::string& folder) override;
    bool MakeFolder(const std::string& folder) override;
    bool RemoveEmptyFolder(const std::string& folder) override;
    bool ListEntries(const std::string& folder, std::vector<FolderEntry>& entries) override;
    bool RemoveFile(const std::string& path) override;
    bool MoveEntry(const std::string& from, const std::string& to) override;
    bool WriteNewShortcut(const std::string& path, const std::string& url) override;
    bool FlushFiles(const std::string& folder, const std::vector<std::string>& names) override;
    bool HoldsShortcut(const std::string& path, const std::string& url) override;
    bool ReadShortcut(const std::string& path, std::string& url) override;
    std::string PathSpelling(const std::string& ansiText) override;
};

// How a listed entry is treated: a reparse point (junction, symbolic link,
// mount point) is never entered or deleted through, whatever else it is.
EntryKind EntryKindOf(DWORD attributes);

}  // namespace settings
