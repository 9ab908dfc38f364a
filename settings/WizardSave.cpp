#include "WizardSave.h"

#include "PageListRules.h"

namespace wizard {

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

}  // namespace wizard
