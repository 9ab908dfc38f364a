// List boxes with extended selection, edits, check boxes and radio buttons:
// what the program sets and what the user does end in the same state, which
// the system's own messages read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestForms.h"

using namespace velfw;

namespace {

class StdCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        Application->Initialize();
        form = new TForm(nullptr);
        form->SetBounds(10, 10, 400, 300);
    }
    void TearDown() override {
        delete form;
        DoneFormsUnit();
    }
    std::vector<std::string> WindowItems(TListBox* list) {
        std::vector<std::string> items;
        HWND wnd = list->Handle();
        const int n = static_cast<int>(::SendMessageA(wnd, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[256] = {};
            ::SendMessageA(wnd, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    TForm* form = nullptr;
};

}  // namespace

TEST_F(StdCtrlsTest, ListBoxKeepsItemsInTheirOrderAndSelectsSeveral) {
    auto* list = PlaceControl<TListBox>(form, form, 0, 0, 200, 100);
    // Set up before the window exists, carried into it.
    for (const char* item : {"c", "a", "B", "a"}) list->Items().Add(item);
    list->SetSelected(1, true);
    list->SetSelected(3, true);
    form->Show();
    EXPECT_EQ(WindowItems(list), (std::vector<std::string>{"c", "a", "B", "a"}));
    EXPECT_TRUE(::GetWindowLongA(list->Handle(), GWL_STYLE) & LBS_EXTENDEDSEL);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(3));
    EXPECT_FALSE(list->Selected(0));
    EXPECT_FALSE(list->Selected(7));

    list->SetItemIndex(2);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_TRUE(list->Selected(2));

    list->Items().Delete(0);
    list->Items().Add("d");
    EXPECT_EQ(WindowItems(list), (std::vector<std::string>{"a", "B", "a", "d"}));
    EXPECT_EQ(list->SelCount(), 0);
    // The focus rectangle went back to the first item, which nobody picked.
    EXPECT_EQ(list->ItemIndex(), -1);
    list->Items().Clear();
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_TRUE(WindowItems(list).empty());
}

TEST_F(StdCtrlsTest, ListBoxScrollsByTopIndexAndReportsSelectionChanges) {
    auto* list = PlaceControl<TListBox>(form, form, 0, 0, 200, 60);
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    for (int i = 0; i < 30; ++i) list->Items().Add("page " + std::to_string(i));
    form->Show();
    list->SetTopIndex(12);
    EXPECT_EQ(list->TopIndex(), 12);
    // A click on the list as the user makes it.
    const LPARAM at = MAKELPARAM(10, 5);
    ::PostMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
    Application->ProcessMessages();
    EXPECT_EQ(list->ItemIndex(), 12);
    EXPECT_TRUE(list->Selected(12));
    EXPECT_GE(clicks, 1);
    // A Ctrl+click takes it out of the selection; the focus rectangle stays.
    ::PostMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
    ::PostMessageA(list->Handle(), WM_LBUTTONUP, MK_CONTROL, at);
    Application->ProcessMessages();
    EXPECT_FALSE(list->Selected(12));
    EXPECT_EQ(::SendMessageA(list->Handle(), LB_GETCARETINDEX, 0, 0), 12);
    EXPECT_EQ(list->ItemIndex(), -1);
}

namespace {

// The list-box messages a window receives, counted on their way in.
class ListMessages {
public:
    explicit ListMessages(HWND wnd) : wnd_(wnd) {
        ::SetPropA(wnd, kProp, this);
        previous_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListMessages::Proc)));
    }
    ~ListMessages() {
        ::SetWindowLongPtrA(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        ::RemovePropA(wnd_, kProp);
    }
    int inserted = 0, deleted = 0, resets = 0, redrawOff = 0, redrawOn = 0;

private:
    static constexpr char kProp[] = "TestListMessages";
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
        auto* self = static_cast<ListMessages*>(::GetPropA(wnd, kProp));
        switch (msg) {
            case LB_ADDSTRING:
            case LB_INSERTSTRING:
                ++self->inserted;
                break;
            case LB_DELETESTRING: ++self->deleted; break;
            case LB_RESETCONTENT: ++self->resets; break;
            case WM_SETREDRAW: ++(w ? self->redrawOn : self->redrawOff); break;
            default: break;
        }
        return ::CallWindowProcA(self->previous_, wnd, msg, w, l);
    }
    HWND wnd_;
    WNDPROC previous_ = nullptr;
};

}  // namespace

// Each change reaches the window as that change: a list of many is not
// built again for every item added, and a fill in an update is drawn once.
TEST_F(StdCtrlsTest, ListBoxSendsOnlyTheItemsThatChange) {
    auto* list = PlaceControl<TListBox>(form, form, 0, 0, 200, 100);
    form->Show();
    int changes = 0;
    list->Items().OnChange = [&](TStringList&) { ++changes; };
    constexpr int kItems = 300;
    {
        ListMessages seen(list->Handle());
        list->Items().BeginUpdate();
        list->Items().BeginUpdate();  // nested: the outer bracket ends it
        list->Items().Clear();
        for (int i = 0; i < kItems; ++i) list->Items().Add("page " + std::to_string(i));
        list->Items().EndUpdate();
        EXPECT_EQ(changes, 0);
        list->Items().EndUpdate();
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(seen.inserted, kItems);
        EXPECT_LE(seen.resets, 1);
        EXPECT_EQ(seen.redrawOff, 1);
        EXPECT_EQ(seen.redrawOn, 1);
    }
    EXPECT_EQ(static_cast<int>(::SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0)), kItems);

    ListMessages seen(list->Handle());
    list->SetTopIndex(100);
    for (int i = 0; i < 50; ++i) list->Items().Add("more " + std::to_string(i));
    list->Items().Delete(kItems + 10);
    list->Items().Delete(200);
    list->Items().Insert(150, "inserted");
    EXPECT_EQ(seen.inserted, 51);
    EXPECT_EQ(seen.deleted, 2);
    EXPECT_EQ(seen.resets, 0);
    EXPECT_EQ(changes, 1 + 53);
    EXPECT_EQ(list->TopIndex(), 100);  // the user's place in the list stays
    const std::vector<std::string> window = WindowItems(list);
    EXPECT_EQ(window, list->Items().Items());
    ASSERT_EQ(window.size(), static_cast<size_t>(kItems + 49));
    EXPECT_EQ(window[150], "inserted");
    EXPECT_EQ(window[201], "page 201");
    EXPECT_EQ(window.back(), "more 49");
}

TEST_F(StdCtrlsTest, RadioButtonsClearTheirSiblingsOnly) {
    auto* group = PlaceControl<TPanel>(form, form, 0, 0, 200, 100);
    auto* other = PlaceControl<TPanel>(form, form, 200, 0, 200, 100);
    std::vector<TRadioButton*> radios;
    std::vector<std::string> clicks;
    for (int i = 0; i < 3; ++i) {
        auto* radio = PlaceControl<TRadioButton>(form, group, 0, 20 * i, 150, 20);
        radio->SetCaption("&" + std::to_string(i + 1) + " Window");
        radio->OnClick = [&clicks, i](TObject*) { clicks.push_back("radio " + std::to_string(i + 1)); };
        radios.push_back(radio);
    }
    auto* elsewhere = PlaceControl<TRadioButton>(form, other, 0, 0, 150, 20);
    elsewhere->SetChecked(true);
    form->Show();
    clicks.clear();

    radios[0]->SetChecked(true);
    radios[1]->SetChecked(true);
    EXPECT_FALSE(radios[0]->Checked());
    EXPECT_TRUE(radios[1]->Checked());
    EXPECT_TRUE(elsewhere->Checked());
    EXPECT_EQ(::SendMessageA(radios[0]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageA(radios[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);

    // The user's click takes the same road.
    ::SendMessageA(radios[2]->Handle(), BM_CLICK, 0, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(radios[2]->Checked());
    EXPECT_FALSE(radios[1]->Checked());
    EXPECT_EQ(::SendMessageA(radios[1]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(clicks, (std::vector<std::string>{"radio 1", "radio 2", "radio 3"}));
}

TEST_F(StdCtrlsTest, CheckBoxTogglesOnClickAndFiresEitherWay) {
    auto* box = PlaceControl<TCheckBox>(form, form, 0, 0, 150, 20);
    box->SetCaption("Turn off scrolling ");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);
    form->Show();
    EXPECT_EQ(::SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    ::SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    Application->ProcessMessages();
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(::SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    box->SetChecked(false);  // no change, no click
    EXPECT_EQ(clicks, 2);
    char text[64] = {};
    ::SendMessageA(box->Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Turn off scrolling ");
}

TEST_F(StdCtrlsTest, EditReportsEveryChangeAndKeepsBlanks) {
    auto* edit = PlaceControl<TEdit>(form, form, 0, 0, 200, 21);
    std::vector<std::string> changes;
    edit->OnChange = [&](TObject*) { changes.push_back(edit->GetText()); };
    edit->SetText("http://");
    form->Show();
    edit->SetText("  http://a b  ");
    ::SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
    ::SendMessageA(edit->Handle(), WM_CHAR, 'x', 1);
    EXPECT_EQ(edit->GetText(), "x");
    EXPECT_EQ(changes, (std::vector<std::string>{"  http://a b  ", "x"}));
}

TEST_F(StdCtrlsTest, LabelTakesTheSizeOfItsLines) {
    auto* one = PlaceControl<TLabel>(form, form, 0, 0, 10, 10);
    auto* two = PlaceControl<TLabel>(form, form, 0, 40, 10, 10);
    one->SetCaption("Highlight an entry to the left ");
    two->SetCaption("Highlight an entry to the left \r\nand");
    two->Font().SetColor(clNavy);
    form->Show();
    EXPECT_GT(one->Width(), 100);
    EXPECT_EQ(two->Width(), one->Width());
    EXPECT_EQ(two->Height(), 2 * one->Height());
}
