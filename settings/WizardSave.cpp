#include "WizardSave.h"

#include "PageListRules.h"

namespace settings {

std::vector<UnrecoveredPageList> RecoverPageLists(IPageListFiles& files, const std::string& dataDir) {
    std::vector<UnrecoveredPageList> unrecovered;
    for (int window = 1; window <= kMaxWindows; ++window) {
        const std::string folder = globals::WindowPagesFolder(dataDir, window);
        std::string failure;
        if (RecoverPageList(files, folder, failure)) continue;
        UnrecoveredPageList list;
        list.Window = window;
        std::vector<std::string> folders;
        PagesOnDisk(files, folder, list.Pages, folders);
        std::string where;
        for (const std::string& path : folders) where += (where.empty() ? "" : " and ") + path;
        list.Message = "Unable to recover the Page List for Window " + std::to_string(window) + ". " + failure +
                       ". Its pages are in " + where;
        unrecovered.push_back(std::move(list));
    }
    return unrecovered;
}

SaveOutcome SaveChanges(const SaveRequest& request, const std::function<bool()>& writeDisplaySettings,
                        IPageListFiles& files) {
    SaveOutcome outcome;
    outcome.Refusal = RefuseSave(request.WindowCount, request.Lists);
    if (outcome.Refusal) return outcome;

    if (!writeDisplaySettings()) outcome.Messages.push_back(kUnableToSaveChanges);
    for (int window = 1; window <= kMaxWindows; ++window) {
        std::string failure;
        if (!SavePageList(files, globals::WindowPagesFolder(request.DataDir, window), request.Lists[window - 1],
                          failure))
            outcome.Messages.push_back(PageListFailureMessage(failure));
    }
    outcome.EndProgram = outcome.Messages.empty();
    return outcome;
}

}  // namespace settings
