// The wizard's decisions: which page Next and Back lead to, which tabs show,
// when leaving a page list is refused, and the texts derived from control
// values. No Windows here: the form gathers its state, asks, and carries out.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace settings {

// The pages of PageControl1 in tab order.
enum class WizardPage { Begin, List1, List2, List3, Advanced, Durations, Finish };

inline constexpr int kPageCount = 7;
inline constexpr int kMaxWindows = 3;

// The page-list page of window 1 to 3, and back.
WizardPage ListPage(int window);
std::optional<int> ListWindow(WizardPage page);

// "Page List 1" always shows; 2 and 3 only for windows in use.
bool TabVisible(WizardPage page, int windowCount);
// None on the pages without that button (Next: Advanced, Durations, Finish;
// Back: Begin too).
std::optional<WizardPage> NextPage(WizardPage on, int windowCount);
std::optional<WizardPage> BackPage(WizardPage on);

struct WizardState {
    int WindowCount = 1;
    WizardPage ActivePage = WizardPage::Begin;
};

// A window-count radio button: the count, and back to "Begin Setup" (the
// lists of windows no longer in use are kept, and saved).
void ChooseWindowCount(WizardState& state, int count);

// The active lists of windows 1 to 3, as their list boxes hold them.
using ActiveLists = std::array<std::vector<std::string>, kMaxWindows>;

// A list has a page when one entry is more than blanks: a blank entry writes
// no file, so a window would be saved with nothing to show.
bool HasPage(const std::vector<std::string>& list);

struct EmptyListRefusal {
    int Window = 0;
    WizardPage Page = WizardPage::Begin;  // the page to show with the message
    std::string Message;
};

// The user picks another tab: leaving a page list without a page is refused.
// Next and Back never ask.
std::optional<EmptyListRefusal> RefuseTabChange(WizardPage leaving, const ActiveLists& lists);
// Saving: window 1 always needs a page, windows 2 and 3 when in use.
std::optional<EmptyListRefusal> RefuseSave(int windowCount, const ActiveLists& lists);
std::string EmptyListMessage(int window);

// LInterScreen: always seconds, 120 included.
std::string PageTimeLabel(int seconds);

// The multi-line buttons are designed with backslash-n markers; the button
// style breaks lines at carriage returns.
std::string MultiLineCaption(const std::string& designed);

inline constexpr const char* kAddButtonCaption = "Click here to &add highlighted\\n page to the active page list";
inline constexpr const char* kRemoveButtonCaption = "Click here to &remove\\nhighlighted entry from  page\\nlist";

inline constexpr const char* kDiscardTitle = "Confirm";
inline constexpr const char* kDiscardQuestion = "Are you sure you want to exit now and discard your changes?";

}  // namespace settings
