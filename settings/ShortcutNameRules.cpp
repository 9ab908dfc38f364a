#include "ShortcutNameRules.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

#include "PageListEditRules.h"
#include "SysUtils.h"

namespace settings {

namespace {

constexpr std::string_view kPrefix = "HTTP://";
constexpr size_t kPrefixRestLimit = 1024;
// Characters no file name may hold (with those below 32).
constexpr std::string_view kNotInFileNames = ":><|/\\?*\"";

bool NotInFileNames(char c) {
    return static_cast<unsigned char>(c) < 32 || kNotInFileNames.find(c) != std::string_view::npos;
}

// The part the system compares with the device names: up to the first dot,
// without the blanks before it.
size_t DevicePartLength(const std::string& name) {
    return velfw::TrimRight(name.substr(0, name.find('.'))).size();
}

std::string MendDeviceName(const std::string& name) {
    if (!IsDeviceName(name)) return name;
    std::string mended = name;
    mended.insert(DevicePartLength(name), "-");
    return mended;
}

}  // namespace

std::string ShortcutNameStem(const std::string& address) {
    std::string name = address;
    if (velfw::UpperCase(name.substr(0, kPrefix.size())) == kPrefix)
        name = name.substr(kPrefix.size(), kPrefixRestLimit);
    std::replace_if(name.begin(), name.end(), NotInFileNames, '-');
    while (!name.empty() && name.back() == '-') name.pop_back();
    return name;
}

bool IsDeviceName(const std::string& name) {
    const std::string part = velfw::UpperCase(name.substr(0, DevicePartLength(name)));
    if (part == "CON" || part == "PRN" || part == "AUX" || part == "NUL") return true;
    return part.size() == 4 && (part.compare(0, 3, "COM") == 0 || part.compare(0, 3, "LPT") == 0) &&
           part[3] >= '1' && part[3] <= '9';
}

std::string FitShortcutName(const std::string& stem, size_t limit) {
    // The device mend adds a character; a name at the limit is cut once more.
    for (size_t cut = limit;; --cut) {
        std::string name = MendDeviceName(velfw::Trim(stem.substr(0, cut)));
        if (name.size() <= limit || cut == 0) return name;
    }
}

std::string ShortcutFileName(const std::string& address) {
    return FitShortcutName(ShortcutNameStem(velfw::Trim(address)), kMaxNameLength) + kShortcutExtension;
}

size_t ShortcutNameRoom(size_t folderLength) {
    return folderLength < kMaxPathLength ? kMaxPathLength - folderLength : 0;
}

ShortcutPlan PlanShortcutFiles(const std::vector<std::string>& entries, size_t nameRoom,
                               const std::vector<KeptEntry>& kept, const NameSpelling& spelling) {
    const auto spelled = [&spelling](const std::string& text) { return spelling ? spelling(text) : text; };
    ShortcutPlan plan;
    const size_t extension = std::string_view(kShortcutExtension).size();
    std::set<std::string> usedNames;  // upper case: the file system ignores letter case
    std::map<std::string, const KeptEntry*> keptNames;
    for (const KeptEntry& entry : kept) keptNames[velfw::UpperCase(entry.Name)] = &entry;
    std::set<std::string> savedAddresses;
    for (const std::string& entry : entries) {
        const std::string address = CleanTypedAddress(velfw::Trim(entry));
        if (address.empty() || !savedAddresses.insert(address).second) continue;
        const std::string stem = ShortcutNameStem(address);
        for (int copy = 1;; ++copy) {
            const std::string suffix = copy == 1 ? "" : " (" + velfw::IntToStr(copy) + ")";
            const size_t room = nameRoom < extension ? 0 : std::min(kMaxNameLength, nameRoom - extension);
            if (nameRoom < extension || room < suffix.size()) {
                plan.Failure = "The folder's path leaves no room for a file name for " + spelled(address);
                return plan;
            }
            std::string name = spelled(FitShortcutName(stem, room - suffix.size()) + suffix + kShortcutExtension);
            const std::string key = velfw::UpperCase(name);
            if (auto keptEntry = keptNames.find(key); keptEntry != keptNames.end()) {
                if (keptEntry->second->Url == address) break;  // already on disk
                continue;
            }
            if (usedNames.insert(key).second) {
                plan.Files.push_back({std::move(name), address});
                break;
            }
        }
    }
    return plan;
}

}  // namespace settings
