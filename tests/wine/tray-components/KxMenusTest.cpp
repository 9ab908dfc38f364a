#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "KxCursors.h"
#include "KxMenus.h"
#include "MessagePump.h"
#include "RecordingMenuItem.h"
#include "ScopeGuards.h"
#include "TestForms.h"
#include "TestIcons.h"

namespace {

using kx::TKxPopupMenu;
using velfw::TMenuItem;

// Whether a menu was up when the timer closed it: a menu nobody closes
// would hang the test.
bool g_menuShown = false;
HMENU g_trackedMenu = nullptr;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    g_menuShown = ::FindWindowA("#32768", nullptr) != nullptr && (!g_trackedMenu || ::IsMenu(g_trackedMenu));
    ::EndMenu();
}

struct MenuFixture : ::testing::Test {
    testing_support::ReportedFailures reports;
    TKxPopupMenu* menu = new TKxPopupMenu(nullptr);
    std::string clicked;
    ~MenuFixture() override {
        menu->Free();
        velfw::Application->SetHint("");
        velfw::Application->HelpFunction = nullptr;
        velfw::Application->HelpFile.clear();
    }
    // Help requests recorded instead of shown: command and data.
    std::vector<std::pair<UINT, ULONG_PTR>> helpAsked;
    void RecordHelp() {
        velfw::Application->HelpFile = "KAVI.HLP";
        velfw::Application->HelpFunction = [this](HWND, const std::string& file, UINT command, ULONG_PTR data) {
            EXPECT_EQ(file, "KAVI.HLP");
            helpAsked.push_back({command, data});
            return true;
        };
    }
    TMenuItem* Add(TMenuItem* parent, const char* caption, const char* hint = "") {
        return testing_support::AddRecordingItem(menu, parent, caption, hint, clicked);
    }
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) {
        return ::SendMessageA(kx::PopupList().Window(), msg, wParam, lParam);
    }
};

TEST_F(MenuFixture, CommandOfAnItemRunsItsClick) {
    TMenuItem* open = Add(menu->Items(), "&Open");
    TMenuItem* more = Add(menu->Items(), "More");
    TMenuItem* deep = Add(more, "Deep");
    ASSERT_NE(menu->Handle(), nullptr);
    Send(WM_COMMAND, open->Command(), 0);
    Send(WM_COMMAND, deep->Command(), 0);
    Send(WM_COMMAND, 0xEFFE, 0);  // nobody's
    EXPECT_EQ(clicked, "&Open Deep ");

    // A second menu of the list gets its own commands.
    auto* other = new TKxPopupMenu(nullptr);
    auto* item = new TMenuItem(other);
    bool otherClicked = false;
    item->OnClick = [&](velfw::TObject*) { otherClicked = true; };
    other->Items()->Add(item);
    Send(WM_COMMAND, item->Command(), 0);
    EXPECT_TRUE(otherClicked);
    other->Free();
    EXPECT_NE(kx::PopupList().Window(), nullptr) << "the window stays while a menu lives";
}

TEST_F(MenuFixture, SelectionSetsTheHintAndLeavingClearsIt) {
    TMenuItem* open = Add(menu->Items(), "Open", "Opens it");
    TMenuItem* more = Add(menu->Items(), "More", "More things");
    Add(more, "Deep", "Deep down");
    HMENU root = menu->Handle();
    Send(WM_MENUSELECT, MAKEWPARAM(open->Command(), MF_HILITE), reinterpret_cast<LPARAM>(root));
    EXPECT_EQ(velfw::Application->Hint(), "Opens it");
    Send(WM_MENUSELECT, MAKEWPARAM(1, MF_HILITE | MF_POPUP), reinterpret_cast<LPARAM>(root));
    EXPECT_EQ(velfw::Application->Hint(), "More things");
    Send(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(velfw::Application->Hint(), "");
    Send(WM_MENUSELECT, MAKEWPARAM(open->Command(), MF_HILITE), reinterpret_cast<LPARAM>(root));
    Send(WM_MENUSELECT, MAKEWPARAM(0xEFFE, MF_HILITE), reinterpret_cast<LPARAM>(root));
    EXPECT_EQ(velfw::Application->Hint(), "") << "an item of no menu clears it";
}

// Freed, a menu of this kind keeps its bytes until the test gives them back:
// a read after the free then meets the freed menu's own cursor, whatever the
// heap has done since.
struct KeptMenu final : TKxPopupMenu {
    using TKxPopupMenu::TKxPopupMenu;
    static std::vector<void*>& Blocks() {
        static std::vector<void*> blocks;
        return blocks;
    }
    static void operator delete(void* block) { Blocks().push_back(block); }
    static void GiveBack() {
        for (void* block : Blocks()) ::operator delete(block);
        Blocks().clear();
    }
};

// A program may rebuild its menu when the hint changes: the highlighted menu
// is gone when the hint's handler returns, and another may stand in its place.
TEST_F(MenuFixture, HintHandlerThatFreesTheMenuLeavesItUnread) {
    menu->Free();
    menu = new KeptMenu(nullptr);
    const velfw::ScopeExit giveBack([] { KeptMenu::GiveBack(); });
    TMenuItem* open = Add(menu->Items(), "Open", "Opens it");
    const auto root = reinterpret_cast<LPARAM>(menu->Handle());
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    velfw::Screen->Cursors.Set(kx::crHandCursor, ::LoadCursorA(nullptr, IDC_HELP));
    menu->Cursor = kx::crHandCursor;
    int rebuilt = 0;
    velfw::Application->OnHint = [&](velfw::TObject*) {
        menu->Free();
        menu = new TKxPopupMenu(nullptr);
        menu->Cursor = velfw::crSizeAll;
        ++rebuilt;
    };
    ::SetCursor(arrow);
    Send(WM_MENUSELECT, MAKEWPARAM(open->Command(), MF_HILITE), root);
    velfw::Application->OnHint = nullptr;
    velfw::Screen->Cursors.Set(kx::crHandCursor, nullptr);
    EXPECT_EQ(rebuilt, 1);
    EXPECT_EQ(velfw::Application->Hint(), "Opens it");
    EXPECT_EQ(::GetCursor(), arrow) << "the cursor of a freed menu, or of the one in its place";
    EXPECT_TRUE(reports.messages.empty());

    // The new menu is served as any other.
    TMenuItem* save = Add(menu->Items(), "Save", "Saves it");
    Send(WM_MENUSELECT, MAKEWPARAM(save->Command(), MF_HILITE), reinterpret_cast<LPARAM>(menu->Handle()));
    EXPECT_EQ(velfw::Application->Hint(), "Saves it");
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_SIZEALL));
    ::SetCursor(arrow);
}

TEST_F(MenuFixture, FailingOnPopupShowsNoMenuAndRestoresTheFlag) {
    Add(menu->Items(), "Open");
    menu->OnPopup = [this](velfw::TObject*) {
        menu->ParentBiDiMode = false;
        throw velfw::Exception("no popup");
    };
    g_menuShown = false;
    g_trackedMenu = nullptr;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, CloseMenu);
    EXPECT_THROW(menu->Popup(10, 10), velfw::Exception);
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(g_menuShown);
    EXPECT_TRUE(menu->ParentBiDiMode);
    EXPECT_EQ(menu->PopupPoint().x, 10);
}

TEST_F(MenuFixture, ShownMenuClosesAndItsCommandComesBack) {
    TMenuItem* open = Add(menu->Items(), "Open");
    g_menuShown = false;
    g_trackedMenu = menu->Handle();
    UINT_PTR timer = ::SetTimer(nullptr, 0, 200, CloseMenu);
    bool popped = false;
    menu->OnPopup = [&](velfw::TObject*) { popped = true; };
    menu->Popup(20, 30);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(popped);
    EXPECT_TRUE(g_menuShown);
    // The choice arrives afterwards as a command to the list's window.
    ::PostMessageA(kx::PopupList().Window(), WM_COMMAND, open->Command(), 0);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return !clicked.empty(); }, 2000));
    EXPECT_EQ(clicked, "Open ");
}

TEST_F(MenuFixture, PointersAreReadOnlyFromSentMessagesOfTheRightShape) {
    TMenuItem* open = Add(menu->Items(), "Open");
    menu->SetStyle(kx::TKxMenuStyle::msOwnerDraw);
    EXPECT_TRUE(menu->OwnerDraw());
    // Posted, these carry pointers that are not ours: the loop drops them unread.
    const LPARAM forged = 0x10;
    for (UINT msg : {WM_MEASUREITEM, WM_DRAWITEM, WM_HELP})
        ::PostMessageA(kx::PopupList().Window(), msg, 0, forged);
    velfw::Application->ProcessMessages();

    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = open->Command();
    EXPECT_EQ(Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 1);
    EXPECT_EQ(measure.itemData, reinterpret_cast<ULONG_PTR>(open));
    measure = {};
    measure.CtlType = ODT_LISTBOX;
    measure.itemID = open->Command();
    Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(measure.itemData, 0u) << "not a menu item";

    HELPINFO help = {};
    help.cbSize = sizeof help - 1;
    help.hItemHandle = menu->Handle();
    EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 0);
    help.cbSize = sizeof help;
    EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), TRUE);

    menu->SetStyle(kx::TKxMenuStyle::msStandard);
    EXPECT_FALSE(menu->OwnerDraw());
    measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = open->Command();
    Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(measure.itemData, 0u) << "a standard menu takes none";
    EXPECT_TRUE(reports.messages.empty());
}

// The system asks whichever window owns the shown menu: an owner-drawn item is
// measured and drawn by its menu through any window of the framework, and
// only while that menu holds it.
TEST_F(MenuFixture, OwnerDrawnItemIsServedThroughAnyWindowWhileItsMenuHoldsIt) {
    menu->SetStyle(kx::TKxMenuStyle::msOwnerDraw);
    TMenuItem* open = Add(menu->Items(), "Open");
    TMenuItem* removed = Add(menu->Items(), "Removed");
    TMenuItem* freed = Add(menu->Items(), "Freed");
    const UINT freedId = freed->Command();
    freed->Free();
    menu->Items()->Remove(removed);
    auto* form = new velfw::TForm(nullptr);
    const velfw::ScopeExit freeForm([&] {
        form->Free();
        removed->Free();
    });
    velfw::TBitmap target(100, 20);
    const COLORREF untouched = RGB(1, 2, 3);
    const auto request = [&](UINT id, MEASUREITEMSTRUCT& measure, DRAWITEMSTRUCT& draw) {
        measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemID = id;
        draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = id;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hDC = target.Canvas().Handle();
        draw.rcItem = RECT{0, 0, 100, 20};
        target.Canvas().FillRect(RECT{0, 0, 100, 20}, static_cast<velfw::TColor>(untouched));
        const LRESULT measured = ::SendMessageA(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
        const LRESULT drawn = ::SendMessageA(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        return std::make_pair(measured, drawn);
    };
    MEASUREITEMSTRUCT measure;
    DRAWITEMSTRUCT draw;
    EXPECT_EQ(request(open->Command(), measure, draw), std::make_pair(LRESULT{1}, LRESULT{1}));
    EXPECT_EQ(measure.itemData, reinterpret_cast<ULONG_PTR>(open));
    EXPECT_GT(measure.itemWidth, 0u);
    EXPECT_GT(measure.itemHeight, 0u);
    EXPECT_EQ(draw.itemData, reinterpret_cast<ULONG_PTR>(open));
    EXPECT_EQ(::GetPixel(target.Canvas().Handle(), 98, 1), velfw::ColorToRGB(velfw::clMenu)) << "drawn";

    const struct {
        const char* name;
        UINT id;
    } untaken[] = {
        {"an item taken out of the menu", removed->Command()},
        {"a freed item's id", freedId},
        {"the menu's own root", menu->Items()->Command()},
    };
    for (const auto& c : untaken) {
        EXPECT_EQ(request(c.id, measure, draw), std::make_pair(LRESULT{0}, LRESULT{0})) << c.name;
        EXPECT_EQ(measure.itemData, 0u) << c.name;
        EXPECT_EQ(draw.itemData, 0u) << c.name;
        EXPECT_EQ(::GetPixel(target.Canvas().Handle(), 98, 1), untouched) << c.name;
    }
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(MenuFixture, HelpForTheActiveFormAsksForTheItemsContextOrElseTheMenus) {
    TMenuItem* open = Add(menu->Items(), "Open");
    TMenuItem* save = Add(menu->Items(), "Save");
    save->HelpContext = 12;
    menu->Items()->HelpContext = 7;
    RecordHelp();
    HELPINFO help = {};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_MENUITEM;
    help.hItemHandle = menu->Handle();
    const auto ask = [&](UINT id) {
        help.iCtrlId = static_cast<int>(id);
        EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), TRUE) << id;
    };
    using Asked = std::vector<std::pair<UINT, ULONG_PTR>>;

    auto* form = new velfw::TForm(nullptr);
    form->BorderStyle = velfw::TFormBorderStyle::bsDialog;
    form->BorderIcons = velfw::biSystemMenu | velfw::biHelp;
    form->Show();
    ::SetActiveWindow(form->Handle());
    ASSERT_EQ(velfw::Screen->ActiveForm(), form);
    ask(save->Command());
    EXPECT_EQ(helpAsked, (Asked{{HELP_CONTEXTPOPUP, 12}})) << "the caption's help button: a pop-up";

    helpAsked.clear();
    form->BorderIcons = velfw::biSystemMenu;
    for (UINT id : {save->Command(), open->Command(), 0xEFFEu}) ask(id);
    EXPECT_EQ(helpAsked, (Asked{{HELP_CONTEXT, 12}, {HELP_CONTEXT, 7}, {HELP_CONTEXT, 7}}))
        << "an item without a context of its own, or none found, asks for the menu's";

    helpAsked.clear();
    form->Free();
    EXPECT_EQ(velfw::Screen->ActiveForm(), nullptr);
    ask(save->Command());
    EXPECT_TRUE(helpAsked.empty()) << "no form to show help for";
    help.hItemHandle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1234));
    EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 0) << "no menu of the list";
}

TEST_F(MenuFixture, HighlightedItemShowsTheScreenCursorTheMenuNames) {
    TMenuItem* open = Add(menu->Items(), "Open");
    const auto root = reinterpret_cast<LPARAM>(menu->Handle());
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR own = ::LoadCursorA(nullptr, IDC_HELP);  // stands in for a cursor of the program's
    velfw::Screen->Cursors.Set(kx::crHandCursor, own);
    const struct {
        velfw::TCursor cursor;
        HCURSOR shown;
    } cases[] = {
        {kx::crHandCursor, own},
        {velfw::crSizeAll, ::LoadCursorA(nullptr, IDC_SIZEALL)},
        {velfw::crNo, ::LoadCursorA(nullptr, IDC_NO)},
        {velfw::crAppStart, ::LoadCursorA(nullptr, IDC_APPSTARTING)},
        {velfw::crHandPoint, ::LoadCursorA(nullptr, IDC_HAND)},
        {velfw::crNone, nullptr},
    };
    for (const auto& c : cases) {
        menu->Cursor = static_cast<int16_t>(c.cursor);
        ::SetCursor(arrow);
        Send(WM_MENUSELECT, MAKEWPARAM(open->Command(), MF_HILITE), root);
        EXPECT_EQ(::GetCursor(), c.shown) << c.cursor;
        Send(WM_MENUSELECT, MAKEWPARAM(open->Command(), 0), root);
        EXPECT_EQ(::GetCursor(), arrow) << c.cursor << ": off the highlight, the default cursor";
    }
    velfw::Screen->Cursors.Set(kx::crHandCursor, nullptr);

    menu->Cursor = velfw::crDefault;
    const HCURSOR wait = ::LoadCursorA(nullptr, IDC_WAIT);
    ::SetCursor(wait);
    Send(WM_MENUSELECT, MAKEWPARAM(open->Command(), MF_HILITE), root);
    EXPECT_EQ(::GetCursor(), wait) << "no cursor of its own leaves the cursor alone";
    ::SetCursor(arrow);
}

TEST_F(MenuFixture, MenuCharacterIsTheOneAfterASingleAmpersand) {
    Add(menu->Items(), "Fish && &Chips");
    Add(menu->Items(), "&&Quit");
    Add(menu->Items(), "&Open");
    const auto root = reinterpret_cast<LPARAM>(menu->Handle());
    const struct {
        char key;
        LRESULT result;
    } cases[] = {
        {'c', MAKELRESULT(0, MNC_EXECUTE)},
        {'O', MAKELRESULT(2, MNC_EXECUTE)},
        {'&', MAKELRESULT(0, MNC_IGNORE)},
        {'q', MAKELRESULT(0, MNC_IGNORE)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Send(WM_MENUCHAR, MAKEWPARAM(c.key, MF_POPUP), root), c.result) << c.key;
}

TEST_F(MenuFixture, ImagesSwitchOwnerDrawingAndMenuCharactersFindTheirItem) {
    auto* images = new velfw::TCustomImageList(nullptr);
    menu->SetImages(images);
    EXPECT_FALSE(menu->OwnerDraw()) << "no images yet";
    images->AddIcon(*testing_support::MakeIcon());
    EXPECT_TRUE(menu->OwnerDraw());
    images->Clear();
    EXPECT_FALSE(menu->OwnerDraw());
    images->AddIcon(*testing_support::MakeIcon());
    images->Free();
    EXPECT_EQ(menu->Images(), nullptr);
    EXPECT_FALSE(menu->OwnerDraw());

    Add(menu->Items(), "&Open");
    Add(menu->Items(), "E&xit");
    HMENU root = menu->Handle();
    EXPECT_EQ(Send(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(root)),
              MAKELRESULT(1, MNC_EXECUTE));
    EXPECT_EQ(Send(WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), reinterpret_cast<LPARAM>(root)), MAKELRESULT(0, MNC_IGNORE));
}

}  // namespace
