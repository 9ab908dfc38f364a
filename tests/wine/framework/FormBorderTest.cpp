#include <gtest/gtest.h>

#include <string>

#include "Forms.h"
#include "TestForms.h"

using namespace velfw;

namespace {

class FormBorder : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        Application->Initialize();
    }
    void TearDown() override { DoneFormsUnit(); }
};

}  // namespace

// The caption buttons a form gets from its border style and border icons.
TEST_F(FormBorder, BorderIconsAsTheBorderStyleAllows) {
    constexpr LONG kButtons = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    constexpr TBorderIcons kDefault = biSystemMenu | biMinimize | biMaximize;
    struct Case {
        TFormBorderStyle style;
        TBorderIcons icons;
        LONG buttons;
        bool help;
        const char* what;
    } cases[] = {
        {TFormBorderStyle::bsSizeable, kDefault, kButtons, false, "sizeable, the default icons"},
        {TFormBorderStyle::bsSingle, kDefault, kButtons, false, "single"},
        {TFormBorderStyle::bsSingle, biSystemMenu | biMinimize, WS_SYSMENU | WS_MINIMIZEBOX, false, "no maximize"},
        {TFormBorderStyle::bsSingle, biSystemMenu | biHelp, WS_SYSMENU, true, "help without boxes"},
        {TFormBorderStyle::bsSingle, kDefault | biHelp, kButtons, false, "help only where no box is"},
        {TFormBorderStyle::bsSingle, 0, 0, false, "none"},
        {TFormBorderStyle::bsDialog, kDefault, WS_SYSMENU, false, "a dialog frame has no boxes"},
        {TFormBorderStyle::bsDialog, biSystemMenu | biHelp, WS_SYSMENU, true, "dialog with help"},
        {TFormBorderStyle::bsDialog, 0, 0, false, "dialog without icons"},
        {TFormBorderStyle::bsToolWindow, kDefault, WS_SYSMENU, false, "tool window"},
        {TFormBorderStyle::bsNone, kDefault | biHelp, 0, false, "no caption, no icons"},
    };
    for (const Case& c : cases) {
        TForm form(nullptr);
        form.BorderStyle = c.style;
        form.BorderIcons = c.icons;
        const LONG style = ::GetWindowLongA(form.Handle(), GWL_STYLE);
        const LONG exStyle = ::GetWindowLongA(form.Handle(), GWL_EXSTYLE);
        EXPECT_EQ(style & kButtons, c.buttons) << c.what;
        EXPECT_EQ((exStyle & WS_EX_CONTEXTHELP) != 0, c.help) << c.what;
    }
}
