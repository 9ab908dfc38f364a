// The page control: shown and hidden tabs, pages changed from code without
// events, and the user's changes (tab click, arrow keys, Ctrl+Tab) asking
// OnChanging first.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestForms.h"

using namespace velfw;

namespace {

class TPagesForm : public TForm {
public:
    TPagesForm() : TForm(nullptr) {
        SetBounds(10, 10, 500, 300);
        pages = PlaceControl<TPageControl>(this, this, 0, 0, 480, 260);
        for (const char* caption : {"A", "B", "C", "D"}) {
            auto* sheet = new TTabSheet(this);
            sheet->SetPageControl(pages);
            sheet->SetCaption(caption);
            auto* button = PlaceControl<TButton>(this, sheet, 10, 10, 80, 24);
            button->SetCaption(std::string("on ") + caption);
            sheets.push_back(sheet);
            buttons.push_back(button);
        }
        sheets[2]->SetTabVisible(false);
        pages->OnChanging = [this](TObject*, bool& allow) {
            log.push_back("changing from " + pages->ActivePage()->Caption());
            allow = allowChange;
        };
        pages->OnChange = [this](TObject*) { log.push_back("change to " + pages->ActivePage()->Caption()); };
        Show();
    }
    TPageControl* pages;
    std::vector<TTabSheet*> sheets;
    std::vector<TButton*> buttons;
    std::vector<std::string> log;
    bool allowChange = true;
};

class PageControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        Application->Initialize();
        form = new TPagesForm();
        Application->ProcessMessages();
    }
    void TearDown() override {
        SetCtrlShift(false, false);
        delete form;
        DoneFormsUnit();
    }
    static void SetCtrlShift(bool ctrl, bool shift) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    void CtrlTab(bool shift = false) {
        form->buttons[static_cast<size_t>(form->pages->ActivePageIndex())]->SetFocus();
        SetCtrlShift(true, shift);
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        Application->ProcessMessages();
        SetCtrlShift(false, false);
    }
    HWND Tabs() { return form->pages->Handle(); }
    int CurSel() { return static_cast<int>(::SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0)); }
    void ClickTab(int index) {
        RECT r{};
        ASSERT_TRUE(::SendMessageA(Tabs(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageA(Tabs(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(Tabs(), WM_LBUTTONUP, 0, at);
        Application->ProcessMessages();
    }
    std::string Active() { return form->pages->ActivePage() ? form->pages->ActivePage()->Caption() : "<none>"; }
    TPagesForm* form = nullptr;
};

}  // namespace

TEST_F(PageControlTest, OnlyShownTabsAreTabsAndOnlyTheActivePageIsVisible) {
    EXPECT_EQ(::SendMessageA(Tabs(), TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Active(), "A");
    EXPECT_EQ(form->pages->TabPage(2), form->sheets[3]);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(::IsWindowVisible(form->sheets[i]->Handle()) != FALSE, i == 0) << i;

    form->sheets[1]->SetTabVisible(false);
    EXPECT_EQ(::SendMessageA(Tabs(), TCM_GETITEMCOUNT, 0, 0), 2);
    form->sheets[1]->SetTabVisible(true);
    char text[16] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(::SendMessageA(Tabs(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, "B");
}

TEST_F(PageControlTest, ChangesFromCodeAskNothingAndFireNothing) {
    form->allowChange = false;
    form->pages->SetActivePage(form->sheets[3]);
    EXPECT_EQ(Active(), "D");
    EXPECT_EQ(CurSel(), 2);
    // A page whose tab is hidden is shown with no tab selected.
    form->pages->SetActivePage(form->sheets[2]);
    EXPECT_EQ(Active(), "C");
    EXPECT_EQ(CurSel(), -1);
    EXPECT_TRUE(::IsWindowVisible(form->sheets[2]->Handle()));
    EXPECT_FALSE(::IsWindowVisible(form->sheets[3]->Handle()));
    EXPECT_TRUE(form->log.empty());

    // Hiding the active page's tab leaves the page where it is.
    form->pages->SetActivePage(form->sheets[1]);
    form->sheets[1]->SetTabVisible(false);
    EXPECT_EQ(Active(), "B");
    EXPECT_EQ(CurSel(), -1);
}

TEST_F(PageControlTest, CtrlTabGoesRoundTheShownTabs) {
    CtrlTab();
    CtrlTab();  // C's tab is hidden
    CtrlTab();  // round to the first
    CtrlTab(true);
    EXPECT_EQ(form->log, (std::vector<std::string>{"changing from A", "change to B", "changing from B", "change to D",
                                                   "changing from D", "change to A", "changing from A",
                                                   "change to D"}));
    EXPECT_EQ(CurSel(), 2);
}

TEST_F(PageControlTest, TheUserChangeCanBeRefusedByEveryRoute) {
    struct Route {
        const char* name;
        std::function<void()> act;
    };
    const Route routes[] = {
        {"tab click", [this] { ClickTab(1); }},
        {"arrow key", [this] { ::PostMessageA(Tabs(), WM_KEYDOWN, VK_RIGHT, 1); Application->ProcessMessages(); }},
        {"ctrl+tab", [this] { CtrlTab(); }},
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        form->pages->SetActivePage(form->sheets[0]);
        form->log.clear();
        form->allowChange = false;
        route.act();
        EXPECT_EQ(Active(), "A");
        EXPECT_EQ(CurSel(), 0);
        EXPECT_EQ(form->log, std::vector<std::string>{"changing from A"});

        form->log.clear();
        form->allowChange = true;
        route.act();
        EXPECT_EQ(Active(), "B");
        EXPECT_EQ(CurSel(), 1);
        EXPECT_TRUE(::IsWindowVisible(form->sheets[1]->Handle()));
        EXPECT_FALSE(::IsWindowVisible(form->sheets[0]->Handle()));
        EXPECT_EQ(form->log, (std::vector<std::string>{"changing from A", "change to B"}));
    }
}

TEST_F(PageControlTest, AFreedPageLeavesThePageControl) {
    form->pages->SetActivePage(form->sheets[1]);
    delete form->sheets[1];
    form->sheets.erase(form->sheets.begin() + 1);
    form->buttons.erase(form->buttons.begin() + 1);
    EXPECT_EQ(form->pages->PageCount(), 3);
    EXPECT_EQ(Active(), "A");
    EXPECT_EQ(::SendMessageA(Tabs(), TCM_GETITEMCOUNT, 0, 0), 2);
}
