#include "PageListSave.h"

#include <unordered_set>

#include "ShortcutNameRules.h"
#include "SysUtils.h"

namespace settings {

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

constexpr const char* kCommitMarkName = "committed";

std::string BesideFolder(const std::string& windowFolder, const char* suffix) {
    return velfw::ExcludeTrailingBackslash(windowFolder) + suffix + "\\";
}

std::string NoBackslash(const std::string& folder) { return velfw::ExcludeTrailingBackslash(folder); }

// What a UTF-8 path counts against the path limit: UTF-16 units.
size_t PathUnits(const std::string& utf8) {
    size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // every character's first byte
        if (byte >= 0xF0) ++units;           // beyond the first plane: two units
    }
    return units;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The window folder W with its staging folder N, aside folder O and commit
// mark C, and the steps between the states of the header's table.
class FolderSwap {
public:
    FolderSwap(IPageListFiles& files, const std::string& windowFolder)
        : files_(files),
          folder_(velfw::IncludeTrailingBackslash(windowFolder)),
          staging_(StagingFolder(folder_)),
          aside_(AsideFolder(folder_)),
          mark_(CommitMark(folder_)) {}

    bool Recover(std::string& failure) {
        const bool committed = files_.FolderExists(mark_);
        if (!committed && !files_.FolderExists(staging_) && !files_.FolderExists(aside_)) return true;
        if (!MakeWindowFolder(failure)) return false;
        return committed ? RollForward(failure) : RollBack(failure);
    }

    void Pages(std::vector<std::string>& addresses, std::vector<std::string>& folders) {
        addresses.clear();
        folders.assign(1, NoBackslash(folder_));
        std::vector<FolderEntry> entries;
        if (files_.ListEntries(folder_, entries))
            for (const FolderEntry& entry : entries) {
                std::string url;
                const bool shortcut = entry.Kind == EntryKind::File || entry.Kind == EntryKind::ReadOnlyFile;
                if (!shortcut || files_.ReadShortcut(folder_ + entry.Name, url)) addresses.push_back(url);
            }
        const std::string& beside = files_.FolderExists(mark_) ? staging_ : aside_;
        std::vector<std::string> names;
        if (!FilesOf(beside, names) || names.empty()) return;
        folders.push_back(NoBackslash(beside));
        for (const std::string& name : names) {
            std::string url;
            if (files_.ReadShortcut(beside + name, url)) addresses.push_back(url);
        }
    }

    bool Save(const std::vector<std::string>& entries, std::string& failure) {
        if (!MakeWindowFolder(failure) || !Recover(failure)) return false;

        std::vector<FolderEntry> current;
        if (!files_.ListEntries(folder_, current))
            return Fail("Unable to list folder: " + NoBackslash(folder_), failure);
        std::vector<std::string> old;
        std::vector<KeptEntry> kept;
        for (const FolderEntry& entry : current) {
            if (entry.Kind == EntryKind::File) {
                old.push_back(entry.Name);
                continue;
            }
            KeptEntry keptEntry{entry.Name, std::nullopt};
            std::string url;
            if (entry.Kind == EntryKind::ReadOnlyFile && files_.ReadShortcut(folder_ + entry.Name, url))
                keptEntry.Url = url;
            kept.push_back(std::move(keptEntry));
        }
        const ShortcutPlan plan =
            PlanShortcutFiles(entries, ShortcutNameRoom(PathUnits(staging_)), kept,
                              [this](const std::string& name) { return files_.PathSpelling(name); });
        if (!plan.Ok()) return Fail(plan.Failure, failure);

        // A page whose file already holds it is in both lists: it neither
        // leaves W nor is written again.
        std::unordered_set<std::string> unchanged;
        std::vector<std::string> written;
        {
            const std::unordered_set<std::string> oldNames(old.begin(), old.end());
            for (const ShortcutFile& file : plan.Files) {
                if (oldNames.count(file.FileName) && files_.HoldsShortcut(folder_ + file.FileName, file.Address))
                    unchanged.insert(file.FileName);
                else
                    written.push_back(file.FileName);
            }
        }
        std::vector<std::string> moved;
        for (const std::string& name : old)
            if (!unchanged.count(name)) moved.push_back(name);
        if (written.empty() && moved.empty()) return true;

        // States 2 and 3: any failure rolls back.
        if (!files_.MakeFolder(staging_))
            return Fail("Unable to create folder: " + NoBackslash(staging_), failure);
        for (const ShortcutFile& file : plan.Files)
            if (!unchanged.count(file.FileName) && !files_.WriteNewShortcut(staging_ + file.FileName, file.Address))
                return Undo("Unable to write to " + staging_ + file.FileName, failure);
        // Every new page on the disk before the mark can say the list is
        // saved; one flush of the set after all the writes.
        if (!files_.FlushFiles(staging_, written)) return Undo("Unable to flush " + NoBackslash(staging_), failure);
        if (!files_.MakeFolder(aside_)) return Undo("Unable to create folder: " + NoBackslash(aside_), failure);
        for (const std::string& name : moved)
            if (!files_.MoveEntry(folder_ + name, aside_ + name))
                return Undo("Unable to move " + folder_ + name, failure);

        // State 4: the new list wins from here on.
        if (!files_.MakeFolder(mark_)) return Undo("Unable to create folder: " + NoBackslash(mark_), failure);
        for (size_t i = 0; i < written.size(); ++i)
            if (!files_.MoveEntry(staging_ + written[i], folder_ + written[i]))
                return UndoCommitted({written.begin(), written.begin() + static_cast<std::ptrdiff_t>(i)},
                                     "Unable to move " + staging_ + written[i], failure);
        std::string reason;
        return Finish(reason) || Fail(NewListSaved(reason), failure);
    }

private:
    bool MakeWindowFolder(std::string& failure) {
        if (files_.FolderExists(folder_) || files_.MakeFolder(folder_)) return true;
        return Fail("Unable to create folder: " + NoBackslash(folder_), failure);
    }

    static bool Fail(const std::string& reason, std::string& failure) {
        failure = reason;
        return false;
    }

    // After this save's commit mark: the next recovery, at a save or the
    // start, finishes its list. (A recovery of an earlier save says nothing
    // of the kind: the list on the form is not the one on disk.)
    std::string NewListSaved(const std::string& reason) const { return reason + ". The new list is saved"; }
    std::string KeptStaged(const std::string& reason) const {
        return NewListSaved(reason) + "; its pages not in " + NoBackslash(folder_) + " are kept in " +
               NoBackslash(staging_);
    }

    // Moves every file named from `from` to `to`; those that cannot go stay
    // and are named in `left`, and the others still move.
    void MoveFiles(const std::vector<std::string>& names, const std::string& from, const std::string& to,
                   std::vector<std::string>& left) {
        for (const std::string& name : names)
            if (!files_.MoveEntry(from + name, to + name)) left.push_back(name);
    }

    // The files (not folders) of `folder`; false when it cannot be listed.
    bool FilesOf(const std::string& folder, std::vector<std::string>& names) {
        names.clear();
        if (!files_.FolderExists(folder)) return true;
        std::vector<FolderEntry> entries;
        if (!files_.ListEntries(folder, entries)) return false;
        for (const FolderEntry& entry : entries)
            if (entry.Kind == EntryKind::File || entry.Kind == EntryKind::ReadOnlyFile) names.push_back(entry.Name);
        return true;
    }

    bool RemoveIfThere(const std::string& folder, std::string& failure) {
        if (!files_.FolderExists(folder) || files_.RemoveEmptyFolder(folder)) return true;
        return Fail("Unable to remove folder: " + NoBackslash(folder), failure);
    }

    // States 2, 3 and 6 back to 1: the old pages into W again, the staged
    // copies deleted.
    bool RollBack(std::string& failure) {
        std::vector<std::string> aside, left;
        if (!FilesOf(aside_, aside)) return Fail("Unable to list folder: " + NoBackslash(aside_), failure);
        MoveFiles(aside, aside_, folder_, left);
        // The staged copies go only once the old list is whole again.
        if (!left.empty())
            return Fail("Unable to move back, and kept in " + NoBackslash(aside_) + ": " + Joined(left), failure);
        if (!ClearFolder(files_, staging_)) return Fail("Unable to clear folder: " + NoBackslash(staging_), failure);
        return RemoveIfThere(staging_, failure) && RemoveIfThere(aside_, failure);
    }

    // States 4 and 5 on to 1: the rest of the new pages in, the old ones gone.
    bool RollForward(std::string& failure) {
        std::vector<std::string> staged, left;
        if (!FilesOf(staging_, staged)) return Fail("Unable to list folder: " + NoBackslash(staging_), failure);
        MoveFiles(staged, staging_, folder_, left);
        if (!left.empty())
            return Fail("Unable to move into " + NoBackslash(folder_) + ", and kept in " + NoBackslash(staging_) +
                            ": " + Joined(left),
                        failure);
        return Finish(failure);
    }

    // Every new page is in W.
    bool Finish(std::string& failure) {
        // The mark goes only after the old pages: without it, what O still
        // held would be moved back in beside the new ones.
        if (!ClearFolder(files_, aside_)) return Fail("Unable to clear folder: " + NoBackslash(aside_), failure);
        return RemoveIfThere(mark_, failure) && RemoveIfThere(staging_, failure) && RemoveIfThere(aside_, failure);
    }

    bool Undo(const std::string& reason, std::string& failure) {
        std::string undone;
        if (!RollBack(undone)) return Fail(reason + ". " + undone, failure);
        return Fail(reason, failure);
    }

    // Back from state 4 to 3: the new pages already moved in go back to N.
    // Only those: the pages that stayed in W belong to the old list as well.
    bool UndoCommitted(const std::vector<std::string>& movedIn, const std::string& reason, std::string& failure) {
        for (const std::string& name : movedIn)
            if (!files_.MoveEntry(folder_ + name, staging_ + name)) return Fail(KeptStaged(reason), failure);
        if (!files_.RemoveEmptyFolder(mark_)) return Fail(KeptStaged(reason), failure);
        return Undo(reason, failure);
    }

    IPageListFiles& files_;
    const std::string folder_;
    const std::string staging_;
    const std::string aside_;
    const std::string mark_;
};

}  // namespace

std::string StagingFolder(const std::string& windowFolder) { return BesideFolder(windowFolder, ".new"); }
std::string AsideFolder(const std::string& windowFolder) { return BesideFolder(windowFolder, ".old"); }
std::string CommitMark(const std::string& windowFolder) {
    return StagingFolder(windowFolder) + kCommitMarkName + "\\";
}

bool RecoverPageList(IPageListFiles& files, const std::string& windowFolder, std::string& failure) {
    FolderSwap swap(files, windowFolder);
    return swap.Recover(failure);
}

void PagesOnDisk(IPageListFiles& files, const std::string& windowFolder, std::vector<std::string>& addresses,
                 std::vector<std::string>& folders) {
    FolderSwap swap(files, windowFolder);
    swap.Pages(addresses, folders);
}

bool SavePageList(IPageListFiles& files, const std::string& windowFolder, const std::vector<std::string>& entries,
                  std::string& failure) {
    FolderSwap swap(files, windowFolder);
    return swap.Save(entries, failure);
}

std::string PageListFailureMessage(const std::string& failure) { return "Unable to save Page Lists. " + failure; }

}  // namespace settings
