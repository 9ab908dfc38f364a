#include "PageListSave.h"

#include <set>

#include "ShortcutNameRules.h"
#include "SysUtils.h"

namespace wizard {

bool ClearFolder(IPageListFiles& files, const std::string& folder) {
    if (!files.FolderExists(folder)) return true;
    std::vector<FolderEntry> entries;
    if (!files.ListEntries(folder, entries)) return false;
    const std::string base = velfw::IncludeTrailingBackslash(folder);
    bool cleared = true;
    for (const FolderEntry& entry : entries) {
        switch (entry.Kind) {
        case EntryKind::Folder:
            // A sub-folder that cannot be cleared ends the listing of this one.
            if (!ClearFolder(files, base + entry.Name)) return false;
            break;
        case EntryKind::Link: break;
        case EntryKind::File:
        case EntryKind::ReadOnlyFile:
            if (!files.RemoveFile(base + entry.Name)) cleared = false;
            break;
        }
    }
    return cleared;
}

namespace {

std::string BesideFolder(const std::string& windowFolder, const char* suffix) {
    return velfw::ExcludeTrailingBackslash(windowFolder) + suffix + "\\";
}

std::string NoBackslash(const std::string& folder) { return velfw::ExcludeTrailingBackslash(folder); }

// One save of one folder, with what it has moved so far so it can undo it.
class FolderSwap {
public:
    FolderSwap(IPageListFiles& files, const std::string& windowFolder)
        : files_(files),
          folder_(velfw::IncludeTrailingBackslash(windowFolder)),
          staging_(StagingFolder(folder_)),
          aside_(AsideFolder(folder_)) {}

    bool Run(const std::vector<std::string>& entries, std::string& failure) {
        const ShortcutPlan plan = PlanShortcutFiles(entries, ShortcutNameRoom(staging_.size()));
        if (!plan.Ok()) return Fail(plan.Failure, failure);
        if (!files_.FolderExists(folder_) && !files_.MakeFolder(folder_))
            return Fail("Unable to create folder: " + NoBackslash(folder_), failure);
        // A staging or aside folder left by a save that never ended is cleared.
        for (const std::string& beside : {staging_, aside_}) {
            if (!files_.FolderExists(beside)) {
                if (!files_.MakeFolder(beside)) return Undo("Unable to create folder: " + NoBackslash(beside), failure);
            } else if (!ClearFolder(files_, beside)) {
                return Undo("Unable to clear folder: " + NoBackslash(beside), failure);
            }
        }

        for (const ShortcutFile& file : plan.Files)
            if (!files_.WriteNewShortcut(staging_ + file.FileName, file.Address))
                return Undo("Unable to write to " + staging_ + file.FileName, failure);

        std::vector<FolderEntry> current;
        if (!files_.ListEntries(folder_, current))
            return Undo("Unable to list folder: " + NoBackslash(folder_), failure);
        std::set<std::string> planned;
        for (const ShortcutFile& file : plan.Files) planned.insert(velfw::UpperCase(file.FileName));
        for (const FolderEntry& entry : current)
            if (entry.Kind != EntryKind::File && planned.count(velfw::UpperCase(entry.Name)))
                return Undo("Unable to replace " + folder_ + entry.Name, failure);

        for (const FolderEntry& entry : current) {
            if (entry.Kind != EntryKind::File) continue;
            if (!files_.MoveEntry(folder_ + entry.Name, aside_ + entry.Name))
                return Undo("Unable to move " + folder_ + entry.Name, failure);
            movedAside_.push_back(entry.Name);
        }
        for (const ShortcutFile& file : plan.Files) {
            if (!files_.MoveEntry(staging_ + file.FileName, folder_ + file.FileName))
                return Undo("Unable to move " + staging_ + file.FileName, failure);
            movedIn_.push_back(file.FileName);
        }

        // Saved: the old files go, and the files of sub-folders as well.
        ClearFolder(files_, aside_);
        files_.RemoveEmptyFolder(aside_);
        files_.RemoveEmptyFolder(staging_);
        for (const FolderEntry& entry : current)
            if (entry.Kind == EntryKind::Folder) ClearFolder(files_, folder_ + entry.Name);
        return true;
    }

private:
    static bool Fail(const std::string& reason, std::string& failure) {
        failure = reason;
        return false;
    }

    // Puts the old files back and drops what was staged. An old file that
    // cannot go back stays in the aside folder, which is then kept.
    bool Undo(const std::string& reason, std::string& failure) {
        for (const std::string& name : movedIn_) files_.RemoveFile(folder_ + name);
        bool restored = true;
        for (auto name = movedAside_.rbegin(); name != movedAside_.rend(); ++name)
            if (!files_.MoveEntry(aside_ + *name, folder_ + *name)) restored = false;
        ClearFolder(files_, staging_);
        files_.RemoveEmptyFolder(staging_);
        failure = reason;
        if (restored)
            files_.RemoveEmptyFolder(aside_);
        else
            failure += ". The previous pages are kept in " + NoBackslash(aside_);
        return false;
    }

    IPageListFiles& files_;
    const std::string folder_;
    const std::string staging_;
    const std::string aside_;
    std::vector<std::string> movedAside_;
    std::vector<std::string> movedIn_;
};

}  // namespace

std::string StagingFolder(const std::string& windowFolder) { return BesideFolder(windowFolder, ".new"); }
std::string AsideFolder(const std::string& windowFolder) { return BesideFolder(windowFolder, ".old"); }

bool SavePageList(IPageListFiles& files, const std::string& windowFolder, const std::vector<std::string>& entries,
                  std::string& failure) {
    FolderSwap swap(files, windowFolder);
    return swap.Run(entries, failure);
}

std::string PageListFailureMessage(const std::string& failure) { return "Unable to save Page Lists. " + failure; }

}  // namespace wizard
