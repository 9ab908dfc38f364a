#include <gtest/gtest.h>

#include <functional>

#include "MemoryFiles.h"

using namespace settings;

namespace {

const std::string kData = "c:\\Fav\\Velunor";
const std::string kWindow = kData + "\\Window1\\";

// A window folder as earlier saves and other programs leave it.
MemoryFiles SavedFolder() {
    MemoryFiles files;
    for (const char* folder : {"c:", "c:\\Fav", "c:\\Fav\\Velunor", "c:\\Fav\\Velunor\\Window1"})
        files.AddFolder(folder);
    files.AddFile(kWindow + "old.com.url", "http://old.com");
    files.AddFile(kWindow + "a.com.url", "http://a.com/old");
    files.AddFile(kWindow + "pinned.url", "http://pinned", true);
    files.AddFolder(kWindow + "sub");
    files.AddFile(kWindow + "sub\\inner.url", "http://inner");
    return files;
}

const std::vector<std::string> kNewList{"http://a.com", "  ", "http://b.com/", "http://a.com"};

}  // namespace

TEST(PageListSave, ClearFolderDeletesFilesAtAnyDepthAndKeepsFolders) {
    MemoryFiles files;
    files.AddFolder("c:");
    files.AddFolder("c:\\w");
    files.AddFile("c:\\w\\a.url", "a");
    files.AddFile("c:\\w\\ro.url", "ro", true);
    files.AddFile("c:\\w\\z.url", "z");
    files.AddFolder("c:\\w\\sub");
    files.AddFolder("c:\\w\\sub\\deeper");
    files.AddFile("c:\\w\\sub\\deeper\\d.url", "d");
    files.AddLink("c:\\w\\elsewhere");  // a junction: what it points at is not ours
    files.AddFolder("c:\\outside");
    files.AddFile("c:\\outside\\keep.txt", "k");

    EXPECT_FALSE(ClearFolder(files, "c:\\w"));  // the read-only file stays
    EXPECT_EQ(files.Under("c:\\w"), (std::map<std::string, std::string>{
                                        {"elsewhere", ""}, {"ro.url", "ro"}, {"sub", ""}, {"sub\\deeper", ""}}));
    EXPECT_TRUE(files.Has("c:\\outside\\keep.txt"));

    EXPECT_TRUE(ClearFolder(files, "c:\\w\\sub\\"));
    EXPECT_TRUE(ClearFolder(files, "c:\\missing\\"));
}

TEST(PageListSave, SaveReplacesTheFilesAndKeepsWhatCannotBeDeleted) {
    MemoryFiles files = SavedFolder();
    std::string failure;
    ASSERT_TRUE(SavePageList(files, kWindow, kNewList, failure)) << failure;
    // The sub-folder and its page are the user's, not the list's: they stay whole.
    EXPECT_EQ(files.Under(kWindow), (std::map<std::string, std::string>{{"a.com.url", "http://a.com"},
                                                                        {"b.com.url", "http://b.com/"},
                                                                        {"pinned.url", "http://pinned"},
                                                                        {"sub", ""},
                                                                        {"sub\\inner.url", "http://inner"}}));
    EXPECT_FALSE(files.Has(StagingFolder(kWindow)));
    EXPECT_FALSE(files.Has(AsideFolder(kWindow)));
}

TEST(PageListSave, AnEmptyListEmptiesTheFolder) {
    MemoryFiles files = SavedFolder();
    std::string failure;
    ASSERT_TRUE(SavePageList(files, kWindow, {}, failure)) << failure;
    EXPECT_EQ(files.Under(kWindow), (std::map<std::string, std::string>{
                                        {"pinned.url", "http://pinned"}, {"sub", ""}, {"sub\\inner.url", "http://inner"}}));
}

TEST(PageListSave, AFailedSaveLeavesTheOldFolderAsItWas) {
    struct Case {
        const char* what;
        std::function<void(MemoryFiles&)> fault;
        const char* reason;
    };
    const Case cases[] = {
        {"the first write",
         [](MemoryFiles& f) {
             f.failWrite = [](const std::string& p) { return p.find("a.com") != std::string::npos; };
         },
         "Unable to write to c:\\Fav\\Velunor\\Window1.new\\a.com.url"},
        {"the last write",
         [](MemoryFiles& f) {
             f.failWrite = [](const std::string& p) { return p.find("b.com") != std::string::npos; };
         },
         "Unable to write to c:\\Fav\\Velunor\\Window1.new\\b.com.url"},
        {"flushing the staged files",
         [](MemoryFiles& f) { f.failFlush = [](const std::string&) { return true; }; },
         "Unable to flush c:\\Fav\\Velunor\\Window1.new"},
        {"moving an old file aside",
         [](MemoryFiles& f) {
             f.failMove = [](const std::string& from, const std::string&) {
                 return from.find("old.com") != std::string::npos;
             };
         },
         "Unable to move c:\\Fav\\Velunor\\Window1\\old.com.url"},
        {"moving the first staged file in, after the commit",
         [](MemoryFiles& f) {
             f.failMove = [](const std::string& from, const std::string&) {
                 return from.find(".new\\a.com") != std::string::npos;
             };
         },
         "Unable to move c:\\Fav\\Velunor\\Window1.new\\a.com.url"},
        {"moving the last staged file in, after the commit",
         [](MemoryFiles& f) {
             f.failMove = [](const std::string& from, const std::string&) {
                 return from.find(".new\\b.com") != std::string::npos;
             };
         },
         "Unable to move c:\\Fav\\Velunor\\Window1.new\\b.com.url"},
        {"a leftover staging file that cannot be deleted",
         [](MemoryFiles& f) {
             f.AddFolder(StagingFolder(kWindow));
             f.AddFile(StagingFolder(kWindow) + "stuck.url", "http://stuck", true);
         },
         "Unable to clear folder: c:\\Fav\\Velunor\\Window1.new"},
    };
    for (const Case& c : cases) {
        MemoryFiles files = SavedFolder();
        c.fault(files);
        const auto before = files.Snapshot();
        std::string failure;
        EXPECT_FALSE(SavePageList(files, kWindow, kNewList, failure)) << c.what;
        EXPECT_EQ(failure, c.reason) << c.what;
        EXPECT_EQ(files.Snapshot(), before) << c.what;  // no staging or aside folder left either
    }
}

TEST(PageListSave, OldFilesThatCannotGoBackAreKeptAsideUntilARetryPutsThemBack) {
    MemoryFiles files = SavedFolder();
    bool blocked = true;
    files.failMove = [&blocked](const std::string& from, const std::string& to) {
        return from.find(".new\\b.com") != std::string::npos || (blocked && to == kWindow + "old.com.url");
    };
    std::string failure;
    EXPECT_FALSE(SavePageList(files, kWindow, kNewList, failure));
    EXPECT_EQ(failure,
              "Unable to move c:\\Fav\\Velunor\\Window1.new\\b.com.url. "
              "Unable to move back, and kept in c:\\Fav\\Velunor\\Window1.old: old.com.url");
    EXPECT_EQ(files.UrlOf(AsideFolder(kWindow) + "old.com.url"), "http://old.com");
    EXPECT_EQ(files.UrlOf(kWindow + "a.com.url"), "http://a.com/old");

    // A retry that fails the same way deletes nothing: the page stays aside.
    failure.clear();
    EXPECT_FALSE(SavePageList(files, kWindow, {"http://c.com"}, failure));
    EXPECT_EQ(failure, "Unable to move back, and kept in c:\\Fav\\Velunor\\Window1.old: old.com.url");
    EXPECT_EQ(files.UrlOf(AsideFolder(kWindow) + "old.com.url"), "http://old.com");

    // Once the page can go back, the retry saves the list it is given.
    blocked = false;
    ASSERT_TRUE(SavePageList(files, kWindow, {"http://c.com"}, failure)) << failure;
    EXPECT_EQ(files.Under(kWindow),
              (std::map<std::string, std::string>{{"c.com.url", "http://c.com"},
                                                  {"pinned.url", "http://pinned"},
                                                  {"sub", ""},
                                                  {"sub\\inner.url", "http://inner"}}));
    EXPECT_FALSE(files.Has(StagingFolder(kWindow)));
    EXPECT_FALSE(files.Has(AsideFolder(kWindow)));
}

TEST(PageListSave, AMissingWindowFolderIsCreatedAgain) {
    MemoryFiles files = SavedFolder();
    const std::string window3 = kData + "\\Window3\\";
    std::string failure;
    ASSERT_TRUE(SavePageList(files, window3, {"http://c.com"}, failure)) << failure;
    EXPECT_EQ(files.Under(window3), (std::map<std::string, std::string>{{"c.com.url", "http://c.com"}}));

    EXPECT_FALSE(SavePageList(files, "c:\\Gone\\Velunor\\Window1\\", {"http://c.com"}, failure));
    EXPECT_EQ(failure, "Unable to create folder: c:\\Gone\\Velunor\\Window1");
    EXPECT_EQ(PageListFailureMessage(failure),
              "Unable to save Page Lists. Unable to create folder: c:\\Gone\\Velunor\\Window1");
}

namespace {

// The pages of the window folder as a list loads them: its own entries.
std::map<std::string, std::string> Pages(const MemoryFiles& files) {
    std::map<std::string, std::string> pages;
    for (const auto& [name, url] : files.Under(kWindow))
        if (name.find('\\') == std::string::npos) pages[name] = url;
    return pages;
}

// A save that ended with its new page n staged and both old pages aside,
// after the commit mark was made when `committed`.
void LeaveHalfDone(MemoryFiles& f, bool committed) {
    f.AddFolder(StagingFolder(kWindow));
    if (committed) f.AddFolder(CommitMark(kWindow));
    f.AddFile(StagingFolder(kWindow) + "n.url", "http://n");
    f.AddFolder(AsideFolder(kWindow));
    f.MoveEntry(kWindow + "old.com.url", AsideFolder(kWindow) + "old.com.url");
    f.MoveEntry(kWindow + "a.com.url", AsideFolder(kWindow) + "a.com.url");
}

// Saves `list` on a fresh `start()` killed before each of the first `steps`
// steps in turn, recovers, and hands each recovered folder to `check`.
void KillAtEveryStepAndRecover(const std::function<MemoryFiles()>& start, const std::vector<std::string>& list,
                               int steps, const std::function<void(MemoryFiles&)>& check) {
    std::string failure;
    for (int k = 1; k <= steps; ++k) {
        SCOPED_TRACE("ended before step " + std::to_string(k) + " of " + std::to_string(steps));
        MemoryFiles files = start();
        files.deadFrom = k;
        EXPECT_FALSE(SavePageList(files, kWindow, list, failure));
        files.deadFrom = 0;
        ASSERT_TRUE(RecoverPageList(files, kWindow, failure)) << failure;
        check(files);
    }
}

}  // namespace

TEST(PageListSave, ASaveEndedAtAnyStepIsRecoveredAsTheOldOrTheNewList) {
    MemoryFiles whole = SavedFolder();
    const auto oldPages = Pages(whole);
    std::string failure;
    ASSERT_TRUE(SavePageList(whole, kWindow, kNewList, failure)) << failure;
    const auto newPages = Pages(whole);
    const auto saved = whole.Snapshot();
    const int steps = whole.steps;

    bool sawOld = false, sawNew = false;
    ASSERT_NO_FATAL_FAILURE(KillAtEveryStepAndRecover(SavedFolder, kNewList, steps, [&](MemoryFiles& files) {
        const auto pages = Pages(files);
        EXPECT_TRUE(pages == oldPages || pages == newPages);
        sawOld = sawOld || pages == oldPages;
        sawNew = sawNew || pages == newPages;
        EXPECT_FALSE(files.Has(StagingFolder(kWindow)));
        EXPECT_FALSE(files.Has(AsideFolder(kWindow)));

        ASSERT_TRUE(SavePageList(files, kWindow, kNewList, failure)) << failure;
        EXPECT_EQ(files.Snapshot(), saved);
    }));
    EXPECT_TRUE(sawOld && sawNew);
}

TEST(PageListSave, ASwapLeftHalfDoneIsFinishedOrUndoneBeforeTheNextSave) {
    struct Case {
        const char* what;
        std::function<void(MemoryFiles&)> leftover;
        std::map<std::string, std::string> pages;  // after recovery
    };
    const std::string staging = StagingFolder(kWindow), aside = AsideFolder(kWindow);
    const auto oldPages = Pages(SavedFolder());
    const Case cases[] = {
        {"every old page aside, none moved in, no mark", [](MemoryFiles& f) { LeaveHalfDone(f, false); }, oldPages},
        {"an aside folder alone",
         [&](MemoryFiles& f) {
             f.AddFolder(aside);
             f.MoveEntry(kWindow + "old.com.url", aside + "old.com.url");
         },
         oldPages},
        {"committed, half moved in",
         [](MemoryFiles& f) {
             LeaveHalfDone(f, true);
             f.AddFile(kWindow + "m.url", "http://m");
         },
         {{"m.url", "http://m"}, {"n.url", "http://n"}, {"pinned.url", "http://pinned"}, {"sub", ""}}},
    };
    for (const Case& c : cases) {
        MemoryFiles files = SavedFolder();
        c.leftover(files);
        std::string failure;
        ASSERT_TRUE(RecoverPageList(files, kWindow, failure)) << c.what << ": " << failure;
        EXPECT_EQ(Pages(files), c.pages) << c.what;
        EXPECT_FALSE(files.Has(staging)) << c.what;
        EXPECT_FALSE(files.Has(aside)) << c.what;
        // A save finds nothing left to recover and writes its list.
        ASSERT_TRUE(SavePageList(files, kWindow, {"http://z.com"}, failure)) << c.what << ": " << failure;
        EXPECT_EQ(Pages(files), (std::map<std::string, std::string>{
                                    {"pinned.url", "http://pinned"}, {"sub", ""}, {"z.com.url", "http://z.com"}}))
            << c.what;
    }
    MemoryFiles clean = SavedFolder();
    const auto before = clean.Snapshot();
    std::string failure;
    EXPECT_TRUE(RecoverPageList(clean, kWindow, failure));
    EXPECT_EQ(clean.Snapshot(), before);
    EXPECT_EQ(clean.steps, 0);
}

TEST(PageListSave, ReadOnlyFilesAndFoldersInTheWayKeepTheirNames) {
    struct Case {
        const char* what;
        std::function<void(MemoryFiles&)> inTheWay;
        std::map<std::string, std::string> pages;
    };
    const Case cases[] = {
        {"a read-only file holding the address: it is the page",
         [](MemoryFiles& f) { f.AddFile(kWindow + "B.COM.url", "http://b.com/", true); },
         {{"B.COM.url", "http://b.com/"}}},
        {"a read-only file holding another address",
         [](MemoryFiles& f) { f.AddFile(kWindow + "B.COM.url", "http://B", true); },
         {{"B.COM.url", "http://B"}, {"b.com (2).url", "http://b.com/"}}},
        {"a folder with the name", [](MemoryFiles& f) { f.AddFolder(kWindow + "b.com.url"); },
         {{"b.com.url", ""}, {"b.com (2).url", "http://b.com/"}}},
    };
    for (const Case& c : cases) {
        MemoryFiles files = SavedFolder();
        c.inTheWay(files);
        std::string failure;
        ASSERT_TRUE(SavePageList(files, kWindow, kNewList, failure)) << c.what << ": " << failure;
        auto expected = c.pages;
        expected.insert({{"a.com.url", "http://a.com"}, {"pinned.url", "http://pinned"}, {"sub", ""}});
        EXPECT_EQ(Pages(files), expected) << c.what;
        // And the next save of the same list finds the same names.
        ASSERT_TRUE(SavePageList(files, kWindow, kNewList, failure)) << c.what << ": " << failure;
        EXPECT_EQ(Pages(files), expected) << c.what;
    }
}

TEST(PageListSave, NamesFitThePathLimitOrTheSaveIsRefused) {
    // The staging folder, four characters longer, sets the room.
    const std::string deep = "c:\\" + std::string(230, 'd') + "\\";
    MemoryFiles files;
    files.AddFolder("c:");
    files.AddFolder(deep);
    std::string failure;
    ASSERT_TRUE(SavePageList(files, deep, {"http://" + std::string(100, 'p')}, failure)) << failure;
    const auto saved = files.Under(deep);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved.begin()->first, std::string(259 - (deep.size() + 4) - 4, 'p') + ".url");

    const std::string deeper = "c:\\" + std::string(252, 'd') + "\\";
    files.AddFolder(deeper);
    files.AddFile(deeper + "x.url", "http://x");
    const auto before = files.Snapshot();
    EXPECT_FALSE(SavePageList(files, deeper, {"http://p"}, failure));
    EXPECT_EQ(failure, "The folder's path leaves no room for a file name for http://p");
    EXPECT_EQ(files.Snapshot(), before);
}

TEST(PageListSave, RecoveryMovesEveryFileItCanNamesWhatItLeftAndKnowsWhereThePagesAre) {
    struct Case {
        const char* what;
        std::function<void(MemoryFiles&)> leftover;  // with what blocks it
        const char* failure;
        std::vector<std::string> pagesOnDisk;  // the window folder's entries, then those beside it
        std::vector<std::string> folders;
        std::map<std::string, std::string> recovered;  // once nothing blocks it
    };
    const std::string staging = StagingFolder(kWindow), aside = AsideFolder(kWindow);
    const Case cases[] = {
        {"no mark: two of three old pages cannot go back",
         [&](MemoryFiles& f) {
             LeaveHalfDone(f, false);
             f.AddFile(aside + "z.url", "http://z");
             f.AddFolder(kWindow + "a.com.url");  // in the way of two of them
             f.AddFolder(kWindow + "z.url");
         },
         "Unable to move back, and kept in c:\\Fav\\Velunor\\Window1.old: a.com.url, z.url",
         {"", "http://old.com", "http://pinned", "", "", "http://a.com/old", "http://z"},
         {"c:\\Fav\\Velunor\\Window1", "c:\\Fav\\Velunor\\Window1.old"},
         {{"a.com.url", "http://a.com/old"},
          {"old.com.url", "http://old.com"},
          {"pinned.url", "http://pinned"},
          {"sub", ""},
          {"z.url", "http://z"}}},
        {"committed: one new page cannot move in",
         [&](MemoryFiles& f) {
             LeaveHalfDone(f, true);
             f.AddFile(staging + "m.url", "http://m");
             f.AddFolder(kWindow + "n.url");
         },
         "Unable to move into c:\\Fav\\Velunor\\Window1, and kept in c:\\Fav\\Velunor\\Window1.new: n.url",
         {"http://m", "", "http://pinned", "", "http://n"},
         {"c:\\Fav\\Velunor\\Window1", "c:\\Fav\\Velunor\\Window1.new"},
         {{"m.url", "http://m"}, {"n.url", "http://n"}, {"pinned.url", "http://pinned"}, {"sub", ""}}},
    };
    for (const Case& c : cases) {
        MemoryFiles files = SavedFolder();
        c.leftover(files);
        std::string failure;
        EXPECT_FALSE(RecoverPageList(files, kWindow, failure)) << c.what;
        EXPECT_EQ(failure, c.failure) << c.what;
        // Nothing of the list is deleted while it is not whole again.
        std::vector<std::string> addresses, folders;
        PagesOnDisk(files, kWindow, addresses, folders);
        EXPECT_EQ(addresses, c.pagesOnDisk) << c.what;
        EXPECT_EQ(folders, c.folders) << c.what;

        for (const auto& [name, url] : Pages(files)) {
            if (url.empty() && name != "sub") {
                ASSERT_TRUE(files.RemoveEmptyFolder(kWindow + name)) << c.what;
            }
        }
        ASSERT_TRUE(RecoverPageList(files, kWindow, failure)) << c.what << ": " << failure;
        EXPECT_EQ(Pages(files), c.recovered) << c.what;
        EXPECT_FALSE(files.Has(staging)) << c.what;
        EXPECT_FALSE(files.Has(aside)) << c.what;
    }
}

TEST(PageListSave, AFailureAfterTheCommitThatCannotBeUndoneSaysTheNewListIsSavedAndWhereItsPagesAre) {
    MemoryFiles files = SavedFolder();
    // b.com cannot move in, and a.com, already in, cannot go back to the staging folder.
    bool blocked = true;
    files.failMove = [&blocked](const std::string& from, const std::string& to) {
        return blocked && (from.find(".new\\b.com") != std::string::npos ||
                           (from == kWindow + "a.com.url" && to.find(".new\\") != std::string::npos));
    };
    std::string failure;
    EXPECT_FALSE(SavePageList(files, kWindow, kNewList, failure));
    EXPECT_EQ(failure,
              "Unable to move c:\\Fav\\Velunor\\Window1.new\\b.com.url. The new list is saved; its pages not in "
              "c:\\Fav\\Velunor\\Window1 are kept in c:\\Fav\\Velunor\\Window1.new");
    EXPECT_EQ(files.UrlOf(kWindow + "a.com.url"), "http://a.com");
    EXPECT_EQ(files.UrlOf(StagingFolder(kWindow) + "b.com.url"), "http://b.com/");

    blocked = false;
    ASSERT_TRUE(RecoverPageList(files, kWindow, failure)) << failure;
    const std::map<std::string, std::string> newPages{
        {"a.com.url", "http://a.com"}, {"b.com.url", "http://b.com/"}, {"pinned.url", "http://pinned"}, {"sub", ""}};
    EXPECT_EQ(Pages(files), newPages);

    // Every new page in, the old ones not deleted: the list is saved all the same.
    MemoryFiles stuck = SavedFolder();
    stuck.failRemove = [](const std::string& path) { return path.find(".old\\") != std::string::npos; };
    EXPECT_FALSE(SavePageList(stuck, kWindow, kNewList, failure));
    EXPECT_EQ(failure, "Unable to clear folder: c:\\Fav\\Velunor\\Window1.old. The new list is saved");
    EXPECT_EQ(Pages(stuck), newPages);
}

TEST(PageListSave, APageWhoseFileHoldsItStaysInPlaceThroughASaveAFailureAndAKill) {
    // 200 pages already saved; the new list drops one and adds one.
    const auto saved = [] {
        MemoryFiles files = SavedFolder();
        for (int i = 0; i < 200; ++i)
            files.AddFile(kWindow + "p" + std::to_string(i) + ".com.url", "http://p" + std::to_string(i) + ".com");
        return files;
    };
    std::vector<std::string> list = kNewList;
    for (int i = 1; i < 200; ++i) list.push_back("http://p" + std::to_string(i) + ".com");

    MemoryFiles whole = saved();
    std::string failure;
    ASSERT_TRUE(SavePageList(whole, kWindow, list, failure)) << failure;
    const auto newPages = Pages(whole);
    EXPECT_EQ(newPages.count("p0.com.url"), 0u);
    EXPECT_EQ(newPages.at("p199.com.url"), "http://p199.com");
    // What changed, not what stayed: a few steps, not some for each of the 199.
    EXPECT_LT(whole.steps, 30);

    // After the commit a page cannot move in: the pages that stayed are not
    // taken back with those that moved in, and the old list is whole again.
    MemoryFiles failing = saved();
    failing.failMove = [](const std::string& from, const std::string&) {
        return from.find(".new\\b.com") != std::string::npos;
    };
    const auto before = failing.Snapshot();
    EXPECT_FALSE(SavePageList(failing, kWindow, list, failure));
    EXPECT_EQ(failing.Snapshot(), before);

    const auto oldPages = Pages(saved());
    ASSERT_NO_FATAL_FAILURE(KillAtEveryStepAndRecover(saved, list, whole.steps, [&](MemoryFiles& files) {
        const auto pages = Pages(files);
        EXPECT_TRUE(pages == oldPages || pages == newPages);
    }));
}
