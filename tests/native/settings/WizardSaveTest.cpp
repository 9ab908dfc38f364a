#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "WizardSave.h"

using namespace wizard;

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
