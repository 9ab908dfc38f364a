#include "SettingsSave.h"

#include "DisplaySettingsRegistry.h"
#include "PageListFiles.h"
#include "WideText.h"

namespace settings {

bool ClearFolder(const std::string& folder) {
    TFilePageListFiles files;
    return ClearFolder(files, velfw::AnsiToUtf8(folder));
}

bool SavePageList(const std::string& folder, const std::vector<std::string>& entries, std::string& failure) {
    TFilePageListFiles files;
    std::string reason;
    if (SavePageList(files, velfw::AnsiToUtf8(folder), entries, reason)) return true;
    failure = velfw::Utf8ToAnsi(reason);
    return false;
}

std::vector<UnrecoveredPageList> RecoverPageLists(const std::string& dataDir) {
    TFilePageListFiles files;
    std::vector<UnrecoveredPageList> unrecovered = RecoverPageLists(files, velfw::AnsiToUtf8(dataDir));
    for (UnrecoveredPageList& list : unrecovered) list.Message = velfw::Utf8ToAnsi(list.Message);
    return unrecovered;
}

SaveOutcome SaveSettingsAndPageLists(const SaveRequest& request, const globals::TDisplaySettings& settings) {
    TFilePageListFiles files;
    SaveRequest inFileSpelling = request;
    inFileSpelling.DataDir = velfw::AnsiToUtf8(request.DataDir);
    SaveOutcome outcome = SaveChanges(
        inFileSpelling, [&settings] { return globals::WriteDisplaySettingsToRegistry(settings); }, files);
    for (std::string& message : outcome.Messages) message = velfw::Utf8ToAnsi(message);
    return outcome;
}

}  // namespace settings
