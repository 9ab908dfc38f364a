#include "WizardRules.h"

#include "SysUtils.h"

namespace settings {

WizardPage ListPage(int window) {
    return static_cast<WizardPage>(static_cast<int>(WizardPage::List1) + window - 1);
}

std::optional<int> ListWindow(WizardPage page) {
    switch (page) {
    case WizardPage::List1: return 1;
    case WizardPage::List2: return 2;
    case WizardPage::List3: return 3;
    default: return std::nullopt;
    }
}

bool TabVisible(WizardPage page, int windowCount) {
    auto window = ListWindow(page);
    return !window || *window == 1 || *window <= windowCount;
}

std::optional<WizardPage> NextPage(WizardPage on, int windowCount) {
    switch (on) {
    case WizardPage::Begin: return windowCount >= 1 ? WizardPage::List1 : WizardPage::Finish;
    case WizardPage::List1: return windowCount >= 2 ? WizardPage::List2 : WizardPage::Finish;
    case WizardPage::List2: return windowCount == 3 ? WizardPage::List3 : WizardPage::Finish;
    case WizardPage::List3: return WizardPage::Finish;
    default: return std::nullopt;
    }
}

std::optional<WizardPage> BackPage(WizardPage on) {
    switch (on) {
    case WizardPage::List1: return WizardPage::Begin;
    case WizardPage::List2: return WizardPage::List1;
    case WizardPage::List3: return WizardPage::List2;
    default: return std::nullopt;
    }
}

void ChooseWindowCount(WizardState& state, int count) {
    state.WindowCount = count;
    state.ActivePage = WizardPage::Begin;
}

bool HasPage(const std::vector<std::string>& list) {
    for (const std::string& entry : list)
        if (!velfw::Trim(entry).empty()) return true;
    return false;
}

std::string EmptyListMessage(int window) {
    return "You must have at least one page in your Page List for Window " + velfw::IntToStr(window) + ".";
}

namespace {
EmptyListRefusal RefusalFor(int window) { return {window, ListPage(window), EmptyListMessage(window)}; }
}  // namespace

std::optional<EmptyListRefusal> RefuseTabChange(WizardPage leaving, const ActiveLists& lists) {
    auto window = ListWindow(leaving);
    if (!window || HasPage(lists[*window - 1])) return std::nullopt;
    return RefusalFor(*window);
}

std::optional<EmptyListRefusal> RefuseSave(int windowCount, const ActiveLists& lists) {
    for (int window = 1; window <= kMaxWindows; ++window) {
        const bool inUse = window == 1 || window <= windowCount;
        if (inUse && !HasPage(lists[window - 1])) return RefusalFor(window);
    }
    return std::nullopt;
}

std::string PageTimeLabel(int seconds) { return velfw::IntToStr(seconds) + " seconds"; }

std::string MultiLineCaption(const std::string& designed) {
    std::string caption = designed;
    for (size_t at = caption.find("\\n"); at != std::string::npos; at = caption.find("\\n", at + 1))
        caption.replace(at, 2, "\r");
    return caption;
}

}  // namespace settings
