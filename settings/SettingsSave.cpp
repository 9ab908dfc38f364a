#include "SettingsSave.h"

#include "DisplaySettingsRegistry.h"
#include "PageListFiles.h"
#include "WideText.h"

namespace settings {

bool ClearFolder(const std::string& folder) {
    TFilePageListFiles files;
    return settings::ClearFolder(files, velfw::AnsiToUtf8(folder));
}

bool SavePageList(const std::string& folder, const std::vector<std::string>& entries, std::string& failure) {
    TFilePageListFiles files;
    std::string reason;
    if (settings::SavePageList(files, velfw::AnsiToUtf8(folder), entries, reason)) return true;
    failure = velfw::Utf8ToAnsi(reason);
    return false;
}

std::vector<settings::UnrecoveredPageList> RecoverPageLists(const std::string& dataDir) {
    TFilePageListFiles files;
    std::vector<settings::UnrecoveredPageList> unrecovered = settings::RecoverPageLists(files, velfw::AnsiToUtf8(dataDir));
    for (settings::UnrecoveredPageList& list : unrecovered) list.Message = velfw::Utf8ToAnsi(list.Message);
    return unrecovered;
}

settings::SaveOutcome SaveSettingsAndPageLists(const settings::SaveRequest& request,
                                             const globals::TDisplaySettings& settings) {
    TFilePageListFiles files;
    settings::SaveRequest inFileSpelling = request;
    inFileSpelling.DataDir = velfw::AnsiToUtf8(request.DataDir);
    settings::SaveOutcome outcome = settings::SaveChanges(
        inFileSpelling, [&settings] { return globals::WriteDisplaySettingsToRegistry(settings); }, files);
    for (std::string& message : outcome.Messages) message = velfw::Utf8ToAnsi(message);
    return outcome;
}

}  // namespace settings
