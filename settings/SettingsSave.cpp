#include "SettingsSave.h"

#include "DisplaySettingsRegistry.h"
#include "PageListFiles.h"
#include "PageListRules.h"

namespace settings {

bool ClearFolder(const std::string& folder) {
    TFilePageListFiles files;
    return wizard::ClearFolder(files, folder);
}

bool SavePageList(const std::string& folder, const std::vector<std::string>& entries, std::string& failure) {
    TFilePageListFiles files;
    return wizard::SavePageList(files, folder, entries, failure);
}

bool RecoverPageLists(const std::string& dataDir) {
    TFilePageListFiles files;
    bool recovered = true;
    for (int window = 1; window <= wizard::kMaxWindows; ++window) {
        std::string failure;
        if (!wizard::RecoverPageList(files, globals::WindowPagesFolder(dataDir, window), failure)) recovered = false;
    }
    return recovered;
}

wizard::SaveOutcome SaveSettingsAndPageLists(const wizard::SaveRequest& request,
                                             const globals::TDisplaySettings& settings) {
    TFilePageListFiles files;
    return wizard::SaveChanges(request, [&settings] { return globals::WriteDisplaySettingsToRegistry(settings); },
                               files);
}

}  // namespace settings
