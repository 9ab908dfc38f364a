// The window that stands for the program: it owns every form, so the forms
// have no taskbar button of their own, and while the main form is shown it is
// the program's button on the taskbar and its entry in the task switcher. It
// is a zero-size window: the user meets it only through what it does with
// the forms. Minimized, it hides them; restored, it shows them again; made
// active (a click on its button, another copy of the program), it hands the
// activation on to the form the user works in.
#pragma once

#include <windows.h>

#include <vector>

#include "UtilityWindow.h"

namespace velfw {

// The same for every program built on the framework: a second copy finds the
// first one's window by it and the title.
inline constexpr char kApplicationWindowClass[] = "TApplication";
// Posted by the application window to itself when it became active: the
// activation goes on to the form once the system has finished giving it.
constexpr UINT CM_ACTIVATEFORM = CM_BASE + 18;

class TApplicationWindow final : public TUtilityWindow {
public:
    TApplicationWindow();

protected:
    bool HandleMessage(TMessage& message) override;

private:
    void HideForms();
    void ShowForms();
    void ActivateForm();

    // The windows the minimize hid, shown again by the restore.
    std::vector<HWND> hidden_;
    bool minimized_ = false;
};

// The window of this thread that the activation of `applicationWindow` goes
// on to: the uppermost visible and enabled top-level window it owns, directly
// or through another (an open box before the form it disables); null when
// none is shown.
HWND WindowToActivate(HWND applicationWindow);

}  // namespace velfw
