// Saving a window's page list so that no crash, kill or failure ever loses
// it. No Windows here: the file system is behind IPageListFiles.
//
// Beside the window folder W ("...\Window1\") a save uses
//   N  "...\Window1.new\"            the new pages, written there first;
//   O  "...\Window1.old\"            the old pages, moved there from W;
//   C  "...\Window1.new\committed\"  an empty folder made once every new page
//                                    is in N and every old one in O: from
//                                    then on the new list wins.
// Entries of W that stay whatever is saved (read-only files, sub-folders with
// everything in them, links) are never moved or emptied. Moves are renames,
// never overwrite, and go one file at a time, so a save can end between any
// two steps. The states it passes through, in order, and what recovery makes
// of each:
//   1. no N, no O: W holds its list.                         Nothing to do.
//   2. N being written, no O: W still holds every old page;  Roll back: N's
//      N holds copies of new pages only.                     files deleted,
//                                                            N removed.
//   3. N complete, O made, old files moving W -> O: every    Roll back: O's
//      old page is in W or O, and no new page is in W.       files moved back
//                                                            into W, then as 2,
//                                                            then O removed.
//   4. C made, new files moving N -> W: O holds every old    Roll forward: the
//      page, every file of W that moves is a new page, the   rest of N moved
//      others are in N.                                      in, O's files
//                                                            deleted, C, N, O
//                                                            removed.
//   5. every new page in W; O's files being deleted.         Roll forward (as 4).
//   6. C removed, then N, then O: both empty.                Roll back (as 3,
//                                                            with nothing left
//                                                            to move).
// A failure before C rolls back at once; a failure while new files move in
// first moves them back to N, removes C and then rolls back. Recovery runs
// before a save touches W, and when the settings program starts, before it
// reads the lists. O is emptied only once C says W holds the new list, so
// the old pages are never deleted while they may be the only copy of the
// list; when they cannot be put back they stay in O and the failure says so.
// A file that cannot be moved does not stop the others: recovery moves what
// it can and names what it left. Until a recovery succeeds, the window's pages
// are those of W and of O (before C) or of N (after it): PagesOnDisk.
#pragma once

#include <string>
#include <vector>

namespace settings {

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
// backslash. Paths and entry names are in the file layer's spelling (UTF-8 on
// disk), in which a name read from the disk comes back as the disk spells it;
// addresses are ANSI, as the shortcut files hold them. Failure texts are in
// the path spelling too. Every call reports failure by its result, never by
// throwing.
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
    // A new Internet Shortcut holding `url`; fails when the file exists. The
    // bytes may still be in the system's cache until FlushFiles.
    virtual bool WriteNewShortcut(const std::string& path, const std::string& url) = 0;
    // Every named file of `folder` on the disk itself, not only in the cache.
    virtual bool FlushFiles(const std::string& folder, const std::vector<std::string>& names) = 0;
    // True when the file holds exactly what WriteNewShortcut writes for `url`.
    virtual bool HoldsShortcut(const std::string& path, const std::string& url) = 0;
    // The address an existing shortcut holds; false when it cannot be read.
    virtual bool ReadShortcut(const std::string& path, std::string& url) = 0;
    // An ANSI text (a file name made from an address, an address in a
    // failure) in the path spelling.
    virtual std::string PathSpelling(const std::string& ansiText) = 0;
};

// Deletes every file of `folder` and of its sub-folders at any depth and keeps
// the folders; links are left alone. False when a file could not be deleted
// (the folder's other files are still tried) or a folder could not be listed.
// A folder that does not exist is clear.
bool ClearFolder(IPageListFiles& files, const std::string& folder);

// N and O of a window folder (see above), and the commit mark C.
std::string StagingFolder(const std::string& windowFolder);
std::string AsideFolder(const std::string& windowFolder);
std::string CommitMark(const std::string& windowFolder);

// Brings a save that ended half way (see above) to its end or back to its
// start, from what the disk holds. True when nothing of a save is left
// beside the folder; otherwise `failure` says why and everything stays.
bool RecoverPageList(IPageListFiles& files, const std::string& windowFolder, std::string& failure);

// The pages of a window whose recovery failed, as recovery would restore
// them, in the order a list loads them: every entry of the window folder
// (one that is no shortcut an empty address), then the shortcuts set aside
// in O (no commit mark) or staged in N (after it). `folders` gets the
// folders that hold them, the window folder first.
void PagesOnDisk(IPageListFiles& files, const std::string& windowFolder, std::vector<std::string>& addresses,
                 std::vector<std::string>& folders);

// Rewrites `windowFolder` (created again when missing) with one shortcut per
// page of `entries`. Read-only files and sub-folders (with all they hold)
// stay; a read-only shortcut that holds a page's address counts as that
// page's file, and one that holds another address keeps its name, so the
// page gets another. A file that already holds its page byte for byte stays
// where it is, so a save costs what the list changed plus one read a page.
// On failure the folder keeps its old pages and `failure` says why; a
// failure after the commit point says the new list is saved.
bool SavePageList(IPageListFiles& files, const std::string& windowFolder, const std::vector<std::string>& entries,
                  std::string& failure);

inline constexpr const char* kUnableToSaveChanges = "Unable to save changes.";
// "Unable to save Page Lists. " followed by the reason.
std::string PageListFailureMessage(const std::string& failure);

}  // namespace settings
