#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "Menus.h"
#include "MessagePump.h"
#include "MessageRoutes.h"
#include "RecordingMenuItem.h"
#include "ShownMenus.h"
#include "TestForms.h"

using namespace velfw;

namespace {

// Notes every reflected message it receives.
class TReflectProbe : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<UINT> reflected;

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) {
            reflected.push_back(m.Msg);
            if (m.Msg == CN_MEASUREITEM) reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = 33;
            m.Result = 7;
            return;
        }
        TWinControl::WndProc(m);
    }
};

class MessageRoutes : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        form = new TForm(nullptr);
        form->SetBounds(10, 10, 300, 200);
        child = PlaceControl<TReflectProbe>(form, form, 0, 0, 100, 100);
        other = PlaceControl<TReflectProbe>(form, form, 100, 0, 100, 100);
        form->HandleNeeded();
    }
    void TearDown() override {
        delete form;
        DoneFormsUnit();
    }
    LRESULT SendToForm(UINT msg, WPARAM wParam, LPARAM lParam) {
        return ::SendMessageA(form->Handle(), msg, wParam, lParam);
    }
    TForm* form = nullptr;
    TReflectProbe* child = nullptr;
    TReflectProbe* other = nullptr;
};

}  // namespace

TEST_F(MessageRoutes, ParentMessagesAboutAChildReachThatChild) {
    HWND wnd = child->Handle();
    const auto fromChild = reinterpret_cast<LPARAM>(wnd);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTBOX;
    draw.hwndItem = wnd;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_LISTBOX;
    measure.CtlID = static_cast<UINT>(::GetDlgCtrlID(wnd));
    COMPAREITEMSTRUCT compare{};
    compare.CtlType = ODT_LISTBOX;
    compare.hwndItem = wnd;
    DELETEITEMSTRUCT del{};
    del.CtlType = ODT_LISTBOX;
    del.hwndItem = wnd;
    NMHDR hdr{wnd, 0, 0};
    struct Case {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), fromChild},
        {WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr)},
        {WM_HSCROLL, SB_LINEDOWN, fromChild},
        {WM_VSCROLL, SB_THUMBTRACK, fromChild},
        {WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)},
        {WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)},
        {WM_COMPAREITEM, 0, reinterpret_cast<LPARAM>(&compare)},
        {WM_DELETEITEM, 0, reinterpret_cast<LPARAM>(&del)},
        {WM_CTLCOLORSTATIC, 0, fromChild},
        {WM_CTLCOLORSCROLLBAR, 0, fromChild},
    };
    for (const Case& c : cases) {
        child->reflected.clear();
        EXPECT_EQ(SendToForm(c.msg, c.wParam, c.lParam), 7) << std::hex << c.msg;
        EXPECT_EQ(child->reflected, std::vector<UINT>{CN_BASE + c.msg}) << std::hex << c.msg;
    }
    EXPECT_EQ(measure.itemHeight, 33u) << "the child answers into the sender's structure";
    EXPECT_TRUE(other->reflected.empty()) << "the sibling hears nothing";
    EXPECT_NE(::GetDlgCtrlID(child->Handle()), ::GetDlgCtrlID(other->Handle())) << "children are told apart by id";
}

TEST_F(MessageRoutes, ScrollBarsOfTheWindowItselfAreNotReflected) {
    child->reflected.clear();
    SendToForm(WM_VSCROLL, SB_LINEDOWN, 0);
    SendToForm(WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(form->Handle()));
    EXPECT_TRUE(child->reflected.empty());
}

TEST_F(MessageRoutes, MenuCommandsAndOwnerDrawnItemsGoToTheirItemById) {
    std::vector<std::string> log;
    TMenuItemHandlers h;
    h.OnClick = [&] { log.push_back("click"); };
    h.OnMeasureItem = [&](MEASUREITEMSTRUCT& m) {
        log.push_back("measure");
        m.itemWidth = 120;
        m.itemHeight = 20;
        return true;
    };
    h.OnDrawItem = [&](DRAWITEMSTRUCT&) {
        log.push_back("draw");
        return true;
    };
    auto item = std::make_unique<TCommandId>(h);
    const UINT id = item->Id();
    ASSERT_NE(id, 0u);
    TCommandId second(TMenuItemHandlers{});
    EXPECT_NE(second.Id(), id);

    SendToForm(WM_COMMAND, MAKEWPARAM(id, 0), 0);  // from a menu
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = id;
    EXPECT_EQ(SendToForm(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
    EXPECT_EQ(measure.itemWidth, 120u);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = id;
    EXPECT_EQ(SendToForm(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
    // Another type with the same number is no menu item's.
    draw.CtlType = ODT_BUTTON;
    draw.hwndItem = nullptr;
    SendToForm(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(log, (std::vector<std::string>{"click", "measure", "draw"}));

    // The id goes with its owner, and can be handed out again.
    item.reset();
    log.clear();
    SendToForm(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_TRUE(log.empty());
    TCommandId reused(TMenuItemHandlers{});
    EXPECT_EQ(reused.Id(), id);
}

TEST_F(MessageRoutes, AMenuItemMayFreeItselfWhenClicked) {
    auto* item = new TCommandId();
    int clicks = 0;
    *item = TCommandId(TMenuItemHandlers{[&] {
        ++clicks;
        delete item;
    }, nullptr, nullptr});
    SendToForm(WM_COMMAND, MAKEWPARAM(item->Id(), 0), 0);
    EXPECT_EQ(clicks, 1);
}

namespace {

// The windows of this process of the window class the plain popup menu's owner has.
std::vector<HWND> PopupOwners() {
    std::vector<HWND> found;
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "TPopupMenuOwner", nullptr); w;
         w = ::FindWindowExA(nullptr, w, "TPopupMenuOwner", nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(w, &process);
        if (process == ::GetCurrentProcessId()) found.push_back(w);
    }
    return found;
}

}  // namespace

// A plain popup menu clicked with the mouse: the chosen item's command comes
// back to a window of the application's, one for all its menus, that goes
// when the application does; a later application makes its own.
TEST_F(MessageRoutes, PlainPopupMenuChoiceComesBackThroughTheApplicationsWindow) {
    velfw::TPopupMenu menu(nullptr);
    std::string clicked;
    testing_support::AddRecordingItem(&menu, menu.Items(), "Open", "", clicked);
    testing_support::AddRecordingItem(&menu, menu.Items(), "Close", "", clicked);
    const auto choose = [&](int position) {
        clicked.clear();
        HMENU handle = menu.Handle();
        EXPECT_TRUE(testing_support::ShowAndDrive(menu, 300, 200, nullptr, [&](HWND) {
            testing_support::ClickItem(handle, position, testing_support::kLeftButton);
        }));
        testing_support::PumpUntil([&] { return !clicked.empty(); }, 2000);
    };
    choose(1);
    EXPECT_EQ(clicked, "Close ");
    choose(0);
    EXPECT_EQ(clicked, "Open ");
    const std::vector<HWND> owners = PopupOwners();
    ASSERT_EQ(owners.size(), 1u) << "one owner for every showing";

    delete form;
    form = nullptr;
    DoneFormsUnit();
    EXPECT_FALSE(::IsWindow(owners[0])) << "freed with the application";
    // A menu shown all the same is closed, so that the test cannot hang in it.
    const UINT_PTR safety = ::SetTimer(nullptr, 0, 500, testing_support::CloseLeftOverMenu);
    EXPECT_THROW(menu.Popup(300, 200), Exception) << "no application to own it";
    ::KillTimer(nullptr, safety);

    testing_support::InitApplicationWithoutBoxes();
    choose(0);
    EXPECT_EQ(clicked, "Open ");
    EXPECT_EQ(PopupOwners().size(), 1u);
}

TEST_F(MessageRoutes, PostedPointerMessagesAreNotRead) {
    int draws = 0;
    TCommandId item(TMenuItemHandlers{nullptr, nullptr, [&](DRAWITEMSTRUCT&) { return ++draws > 0; }});
    // A pointer another process could post means nothing here; whether the
    // system refuses the post or delivers it, nobody reads it.
    ::PostMessageA(form->Handle(), WM_DRAWITEM, 0, 0x10);
    ::PostMessageA(form->Handle(), WM_NOTIFY, 0, 0x10);
    Application->ProcessMessages();
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(child->reflected.empty());
}

TEST_F(MessageRoutes, RegisteredMessagesReachTheSubscribersOfThatWindow) {
    int formHeard = 0, childHeard = 0;
    {
        TRegisteredMessage onForm(form, "TaskbarCreated", [&](TMessage&) { ++formHeard; });
        TRegisteredMessage onChild(child, "TaskbarCreated", [&](TMessage&) { ++childHeard; });
        EXPECT_EQ(onForm.Msg(), ::RegisterWindowMessageA("TaskbarCreated"));
        SendToForm(onForm.Msg(), 0, 0);
        EXPECT_EQ(formHeard, 1);
        EXPECT_EQ(childHeard, 0);
    }
    SendToForm(::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(formHeard, 1) << "no longer subscribed";
}

TEST_F(MessageRoutes, ContextMenuAsksTheControlThenItsParent) {
    std::vector<std::string> log;
    POINT childAt{-5, -5};
    bool childTakes = false;
    child->OnContextPopup = [&](TObject*, POINT p, bool& handled) {
        log.push_back("child");
        childAt = p;
        handled = childTakes;
    };
    form->OnContextPopup = [&](TObject*, POINT, bool& handled) {
        log.push_back("form");
        handled = true;
    };
    POINT screen{5, 6};
    ::ClientToScreen(child->Handle(), &screen);
    const auto wnd = reinterpret_cast<WPARAM>(child->Handle());
    ::SendMessageA(child->Handle(), WM_CONTEXTMENU, wnd, MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(log, (std::vector<std::string>{"child", "form"}));
    EXPECT_EQ(childAt.x, 5);
    EXPECT_EQ(childAt.y, 6);
    log.clear();
    childTakes = true;
    ::SendMessageA(child->Handle(), WM_CONTEXTMENU, wnd, MAKELPARAM(-1, -1));  // from the keyboard
    EXPECT_EQ(log, (std::vector<std::string>{"child"}));
    EXPECT_EQ(childAt.x, -1);
    EXPECT_EQ(childAt.y, -1);
}
