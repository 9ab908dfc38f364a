#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "WizardSave.h"

using namespace settings;

namespace {

const std::string kData = "c:\\Fav\\Velunor\\";
using Listing = std::map<std::string, std::string>;

// The data folder after earlier saves of three windows.
MemoryFiles ThreeSavedWindows() {
    MemoryFiles files;
    for (const char* folder : {"c:", "c:\\Fav", "c:\\Fav\\Velunor"}) files.AddFolder(folder);
    for (const char* window : {"Window1", "Window2", "Window3"}) {
        files.AddFolder(kData + window);
        files.AddFile(kData + window + "\\old.url", "http://old");
    }
    return files;
}

struct SaveRun {
    SaveOutcome outcome;
    int registryWrites = 0;
};

SaveRun Save(MemoryFiles& files, int windows, ActiveLists lists, bool registryOk = true) {
    SaveRun run;
    run.outcome = SaveChanges(
        {windows, std::move(lists), kData},
        [&] {
            ++run.registryWrites;
            return registryOk;
        },
        files);
    return run;
}

}  // namespace

TEST(WizardSave, AWindowInUseWithoutAPageStopsTheSaveBeforeAnythingIsWritten) {
    struct Case {
        int windows;
        ActiveLists lists;
        WizardPage shown;
    };
    const Case cases[] = {
        {1, {{{}, {"http://b"}, {"http://c"}}}, WizardPage::List1},
        {2, {{{"http://a"}, {" "}, {"http://c"}}}, WizardPage::List2},
        {3, {{{"http://a"}, {"http://b"}, {}}}, WizardPage::List3},
    };
    for (const Case& c : cases) {
        MemoryFiles files = ThreeSavedWindows();
        const auto before = files.Snapshot();
        const SaveRun run = Save(files, c.windows, c.lists);
        ASSERT_TRUE(run.outcome.Refusal) << c.windows;
        EXPECT_EQ(run.outcome.Refusal->Page, c.shown);
        EXPECT_FALSE(run.outcome.EndProgram);
        EXPECT_TRUE(run.outcome.Messages.empty());
        EXPECT_EQ(run.registryWrites, 0);
        EXPECT_EQ(files.Snapshot(), before);
    }
}

TEST(WizardSave, OneWindowWithEmptyListsTwoAndThreeSavesAndEmptiesThoseFolders) {
    MemoryFiles files = ThreeSavedWindows();
    const SaveRun run = Save(files, 1, {{{"http://a.com"}, {}, {}}});
    EXPECT_FALSE(run.outcome.Refusal);
    EXPECT_TRUE(run.outcome.Messages.empty());
    EXPECT_TRUE(run.outcome.EndProgram);
    EXPECT_EQ(run.registryWrites, 1);
    EXPECT_EQ(files.Under(kData + "Window1"), (Listing{{"a.com.url", "http://a.com"}}));
    EXPECT_EQ(files.Under(kData + "Window2"), Listing{});
    EXPECT_EQ(files.Under(kData + "Window3"), Listing{});
}

TEST(WizardSave, AFailureKeepsTheProgramOpenAndTheOtherListsAreStillSaved) {
    MemoryFiles files = ThreeSavedWindows();
    files.failWrite = [](const std::string& path) { return path.find("Window2.new") != std::string::npos; };
    const SaveRun run = Save(files, 3, {{{"http://a"}, {"http://b"}, {"http://c"}}}, false);
    EXPECT_FALSE(run.outcome.EndProgram);
    EXPECT_EQ(run.outcome.Messages,
              (std::vector<std::string>{
                  "Unable to save changes.",
                  "Unable to save Page Lists. Unable to write to c:\\Fav\\Velunor\\Window2.new\\b.url"}));
    EXPECT_EQ(files.Under(kData + "Window1"), (Listing{{"a.url", "http://a"}}));
    EXPECT_EQ(files.Under(kData + "Window2"), (Listing{{"old.url", "http://old"}}));
    EXPECT_EQ(files.Under(kData + "Window3"), (Listing{{"c.url", "http://c"}}));
}

TEST(WizardSave, AStartWhoseRecoveryFailsShowsEveryPageOnDiskAndNoSaveLosesOne) {
    // A save left half done: a and b still in Window1, c and d moved aside,
    // the new list staged, no commit mark; a folder named c.url in the way.
    MemoryFiles files = ThreeSavedWindows();
    const std::string window = kData + "Window1\\", aside = kData + "Window1.old\\", staging = kData + "Window1.new\\";
    files.RemoveFile(window + "old.url");
    files.AddFile(window + "a.url", "http://a");
    files.AddFile(window + "b.url", "http://b");
    files.AddFolder(aside);
    files.AddFile(aside + "c.url", "http://c");
    files.AddFile(aside + "d.url", "http://d");
    files.AddFolder(staging);
    files.AddFile(staging + "new.url", "http://new");
    files.AddFolder(window + "c.url");

    const std::vector<UnrecoveredPageList> unrecovered = RecoverPageLists(files, kData);
    ASSERT_EQ(unrecovered.size(), 1u);
    EXPECT_EQ(unrecovered[0].Window, 1);
    EXPECT_EQ(unrecovered[0].Message,
              "Unable to recover the Page List for Window 1. Unable to move back, and kept in "
              "c:\\Fav\\Velunor\\Window1.old: c.url. Its pages are in c:\\Fav\\Velunor\\Window1 and "
              "c:\\Fav\\Velunor\\Window1.old");
    // d went back; c waits aside.
    const std::vector<std::string> shown = unrecovered[0].Pages;
    EXPECT_EQ(shown, (std::vector<std::string>{"http://a", "http://b", "", "http://d", "http://c"}));

    // Saved untouched while the folder is still in the way: that window fails and nothing of it moves.
    const auto before = files.Under(kData + "Window1");
    const auto asideBefore = files.Under(kData + "Window1.old");
    SaveRun run = Save(files, 1, {{shown, {"http://two"}, {}}});
    EXPECT_FALSE(run.outcome.EndProgram);
    EXPECT_EQ(run.outcome.Messages, (std::vector<std::string>{"Unable to save Page Lists. Unable to move back, and "
                                                              "kept in c:\\Fav\\Velunor\\Window1.old: c.url"}));
    EXPECT_EQ(files.Under(kData + "Window1"), before);
    EXPECT_EQ(files.Under(kData + "Window1.old"), asideBefore);
    EXPECT_EQ(files.Under(kData + "Window2"), (Listing{{"two.url", "http://two"}}));

    // Once the folder is gone, the same list saves every page.
    ASSERT_TRUE(files.RemoveEmptyFolder(window + "c.url"));
    run = Save(files, 1, {{shown, {"http://two"}, {}}});
    EXPECT_TRUE(run.outcome.Messages.empty()) << run.outcome.Messages[0];
    EXPECT_TRUE(run.outcome.EndProgram);
    EXPECT_EQ(files.Under(kData + "Window1"),
              (Listing{{"a.url", "http://a"}, {"b.url", "http://b"}, {"c.url", "http://c"}, {"d.url", "http://d"}}));
    EXPECT_FALSE(files.Has(aside));
    EXPECT_FALSE(files.Has(staging));
    EXPECT_TRUE(RecoverPageLists(files, kData).empty());
}
