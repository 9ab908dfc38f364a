// The save button's course: refuse a window in use without a page, write the
// display settings, rewrite all three page-list folders, and end the program
// only when all of it was saved, so a failed save can be retried or discarded
// with the user's edits still on the form. No Windows here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PageListSave.h"
#include "WizardRules.h"

namespace settings {

struct SaveRequest {
    int WindowCount = 1;
    ActiveLists Lists;    // every list is saved, also of windows not in use
    std::string DataDir;  // ends in a backslash
};

struct SaveOutcome {
    std::optional<EmptyListRefusal> Refusal;  // nothing was written
    std::vector<std::string> Messages;        // to show one after the other
    bool EndProgram = false;
};

// A window whose half-done save could not be finished or undone at start.
struct UnrecoveredPageList {
    int Window = 0;
    std::string Message;             // for the user, in the file layer's spelling
    std::vector<std::string> Pages;  // every page it has on disk: the list to show
};

// Finishes or undoes, in each of the three window folders below `dataDir`,
// a save that ended half way, and says of each one that stays half done
// which window it is, why, and where its pages are.
std::vector<UnrecoveredPageList> RecoverPageLists(IPageListFiles& files, const std::string& dataDir);

// `writeDisplaySettings` writes the registry values and says whether all were
// written.
SaveOutcome SaveChanges(const SaveRequest& request, const std::function<bool()>& writeDisplaySettings,
                        IPageListFiles& files);

}  // namespace settings
