// Saving a window's page list without ever losing it: every file is written
// into a staging folder beside the window folder first, the old files are
// moved aside, the staged ones moved in, and on any failure everything goes
// back. No Windows here: the file system is behind IPageListFiles.
#pragma once

#include <string>
#include <vector>

namespace wizard {

enum class EntryKind {
    File,
    ReadOnlyFile,  // cannot be deleted, so it stays
    Folder,
    Link,  // a junction or symbolic link: never followed
};

struct FolderEntry {
    std::string Name;
    EntryKind Kind = EntryKind::File;
};

// What saving asks of the file system. Paths are whole; folders end in a
// backslash. Every call reports failure by its result, never by throwing.
class IPageListFiles {
public:
    virtual ~IPageListFiles() = default;
    virtual bool FolderExists(const std::string& folder) = 0;
    virtual bool MakeFolder(const std::string& folder) = 0;  // the last level only
    virtual bool RemoveEmptyFolder(const std::string& folder) = 0;
    // Every entry but "." and ".."; false when the folder cannot be listed.
    virtual bool ListEntries(const std::string& folder, std::vector<FolderEntry>& entries) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Fails when `to` exists: nothing is ever overwritten by a move.
    virtual bool MoveEntry(const std::string& from, const std::string& to) = 0;
    // A new Internet Shortcut holding `url`; fails when the file exists.
    virtual bool WriteNewShortcut(const std::string& path, const std::string& url) = 0;
};

// Deletes every file of `folder` and of its sub-folders at any depth and keeps
// the folders; links are left alone. False when a file could not be deleted
// (the folder's other files are still tried) or a folder could not be listed.
// A folder that does not exist is clear.
bool ClearFolder(IPageListFiles& files, const std::string& folder);

// Beside "...\Window1\": "...\Window1.new\" for the staged files and
// "...\Window1.old\" for the old ones while they are swapped.
std::string StagingFolder(const std::string& windowFolder);
std::string AsideFolder(const std::string& windowFolder);

// Rewrites `windowFolder` (created again when missing) with one shortcut per
// page of `entries`. Read-only files and sub-folders stay, the sub-folders
// emptied of files. On failure the folder keeps its old pages and `failure`
// says why.
bool SavePageList(IPageListFiles& files, const std::string& windowFolder, const std::vector<std::string>& entries,
                  std::string& failure);

inline constexpr const char* kUnableToSaveChanges = "Unable to save changes.";
// "Unable to save Page Lists. " followed by the reason.
std::string PageListFailureMessage(const std::string& failure);

}  // namespace wizard
