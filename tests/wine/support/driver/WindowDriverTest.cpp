// The window driver against a form of framework controls in a process of its
// own: reading lists, checks, texts and tabs, clicking, typing, stepping
// tabs and answering message boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "SaverProcess.h"
#include "WinePaths.h"
#include "WindowDriver.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kBoxMs = 10000;

class WindowDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program.Started()) << program.StartError();
        form = WaitForTopWindow(program.Id(), "Driver Test Form", kStartMs);
        ASSERT_NE(form, nullptr);
        tabs = FindChildOfClass(form, "TVelunorPageControl");
        list = FindChildOfClass(form, "TVelunorListBox");
        ASSERT_NE(tabs, nullptr);
        ASSERT_NE(list, nullptr);
    }
    SaverProcess program{FromUnixPath(DRIVER_TEST_FORM_PATH), ""};
    HWND form = nullptr;
    HWND tabs = nullptr;
    HWND list = nullptr;
};

}  // namespace

TEST_F(WindowDriverTest, ReadsAndEditsTheControlsOfAnotherProcess) {
    EXPECT_EQ(TopWindowsTitled(program.Id(), "Driver Test Form").size(), 1u);
    EXPECT_EQ(TabCount(tabs), 2);
    EXPECT_EQ(CurrentTab(tabs), 0);
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"first", "second"}));

    HWND edit = FindChildOfClass(form, "TVelunorEdit");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(WindowText(edit), "http://");
    ASSERT_TRUE(SetWindowTextOf(edit, "  http://a b  "));
    ASSERT_TRUE(ClickButton(FindChild(form, "&Add")));
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"first", "second", "  http://a b  "}));
    EXPECT_EQ(WindowText(edit), "http://");
    EXPECT_NE(FindChild(form, "Last: added"), nullptr);

    ASSERT_TRUE(SelectListItem(list, 2, true));
    EXPECT_EQ(ListSelection(list), (std::vector<bool>{false, false, true}));
}

TEST_F(WindowDriverTest, StepsTabsClicksRadiosAndAnswersBoxes) {
    HWND one = FindChild(form, "One Window");
    HWND three = FindChild(form, "Three Window");
    ASSERT_NE(one, nullptr);
    EXPECT_FALSE(IsShown(one));
    ASSERT_TRUE(StepToTab(tabs, 1));
    EXPECT_TRUE(IsShown(one));
    EXPECT_TRUE(IsChecked(one));
    ASSERT_TRUE(ClickButton(three));
    EXPECT_TRUE(IsChecked(three));
    EXPECT_FALSE(IsChecked(one));
    HWND check = FindChild(form, "Turn off scrolling ");
    EXPECT_FALSE(IsChecked(check));
    ASSERT_TRUE(ClickButton(check));
    EXPECT_TRUE(IsChecked(check));

    // A Yes/No box answered No keeps the program; Yes ends it.
    ASSERT_TRUE(::PostMessageA(FindChild(form, "&Quit"), BM_CLICK, 0, 0));
    EXPECT_EQ(AnswerMessageBox(program.Id(), IDNO, kBoxMs), "Quit now?");
    EXPECT_FALSE(program.WaitForExit(200));
    ASSERT_TRUE(::PostMessageA(FindChild(form, "&Quit"), BM_CLICK, 0, 0));
    EXPECT_EQ(AnswerMessageBox(program.Id(), IDYES, kBoxMs), "Quit now?");
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(kStartMs, &code));
    EXPECT_EQ(code, 0u);
}

TEST(WindowDriver, ARefusedTabStepIsReportedAndItsBoxAnswered) {
    SaverProcess program(FromUnixPath(DRIVER_TEST_FORM_PATH), "empty");
    ASSERT_TRUE(program.Started()) << program.StartError();
    HWND form = WaitForTopWindow(program.Id(), "Driver Test Form", kStartMs);
    ASSERT_NE(form, nullptr);
    HWND tabs = FindChildOfClass(form, "TVelunorPageControl");
    EXPECT_TRUE(ListItems(FindChildOfClass(form, "TVelunorListBox")).empty());
    EXPECT_FALSE(StepToTab(tabs, 1));
    EXPECT_EQ(AnswerMessageBox(program.Id(), IDOK, kBoxMs), "The list is empty.");
    EXPECT_EQ(CurrentTab(tabs), 0);
}
