// Popup menus shown for real and driven with the system's input, as a user
// chooses from them: where they open, which button chooses, and how the
// chosen command, the submenus, the hints and the access keys of owner-drawn
// items come back through the popup list.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "KxMenus.h"
#include "MessagePump.h"
#include "RecordingMenuItem.h"
#include "RealInput.h"
#include "ShownMenus.h"
#include "TestForms.h"

namespace {

using kx::TKxPopupMenu;
using velfw::TMenuItem;
using velfw::TPopupAlignment;
using velfw::TTrackButton;

// As the tray icon shows it: the popup list's window in the foreground.
bool ShowAndDrive(TKxPopupMenu& menu, int x, int y, const std::function<void(HWND menuWindow)>& drive) {
    return testing_support::ShowAndDrive(menu, x, y, kx::PopupList().Window(), drive);
}

void Press(const std::vector<WORD>& keys) {
    for (WORD key : keys) {
        testing_support::SendChord({key, {}, ""});
        ::Sleep(100);
    }
}

struct ShownMenuFixture : ::testing::Test {
    testing_support::ReportedFailures reports;
    TKxPopupMenu* menu = new TKxPopupMenu(nullptr);
    std::string clicked, hints;
    ShownMenuFixture() {
        velfw::Application->OnHint = [this](velfw::TObject*) {
            if (!velfw::Application->Hint().empty()) hints += velfw::Application->Hint() + " ";
        };
    }
    ~ShownMenuFixture() override {
        velfw::Application->OnHint = nullptr;
        velfw::Application->SetHint("");
        menu->Free();
    }
    TMenuItem* Add(TMenuItem* parent, const char* caption, const char* hint = "") {
        return testing_support::AddRecordingItem(menu, parent, caption, hint, clicked);
    }
    // The choice arrives after the menu has closed, as a command to the list's window.
    void ServeTheCommand() { testing_support::PumpFor(300); }
};

TEST(PopupFlags, AlignmentMirroredForRightToLeftAndTheTrackButton) {
    const struct {
        TPopupAlignment alignment;
        bool rightToLeft;
        TTrackButton button;
        UINT flags;
    } rows[] = {
        {TPopupAlignment::paLeft, false, TTrackButton::tbRightButton, TPM_LEFTALIGN | TPM_RIGHTBUTTON},
        {TPopupAlignment::paLeft, false, TTrackButton::tbLeftButton, TPM_LEFTALIGN | TPM_LEFTBUTTON},
        {TPopupAlignment::paLeft, true, TTrackButton::tbRightButton, TPM_RIGHTALIGN | TPM_RIGHTBUTTON},
        {TPopupAlignment::paLeft, true, TTrackButton::tbLeftButton, TPM_RIGHTALIGN | TPM_LEFTBUTTON},
        {TPopupAlignment::paRight, false, TTrackButton::tbRightButton, TPM_RIGHTALIGN | TPM_RIGHTBUTTON},
        {TPopupAlignment::paRight, false, TTrackButton::tbLeftButton, TPM_RIGHTALIGN | TPM_LEFTBUTTON},
        {TPopupAlignment::paRight, true, TTrackButton::tbRightButton, TPM_LEFTALIGN | TPM_RIGHTBUTTON},
        {TPopupAlignment::paRight, true, TTrackButton::tbLeftButton, TPM_LEFTALIGN | TPM_LEFTBUTTON},
        {TPopupAlignment::paCenter, false, TTrackButton::tbRightButton, TPM_CENTERALIGN | TPM_RIGHTBUTTON},
        {TPopupAlignment::paCenter, false, TTrackButton::tbLeftButton, TPM_CENTERALIGN | TPM_LEFTBUTTON},
        {TPopupAlignment::paCenter, true, TTrackButton::tbRightButton, TPM_CENTERALIGN | TPM_RIGHTBUTTON},
        {TPopupAlignment::paCenter, true, TTrackButton::tbLeftButton, TPM_CENTERALIGN | TPM_LEFTBUTTON},
    };
    for (const auto& r : rows)
        EXPECT_EQ(velfw::TrackPopupFlags(r.alignment, r.rightToLeft, r.button), r.flags)
            << int(r.alignment) << (r.rightToLeft ? " right-to-left " : " ") << int(r.button);
}

// The menu opens on the side of the point its alignment says, and only the
// track button it names chooses besides the left one.
TEST_F(ShownMenuFixture, AlignmentPlacesTheMenuAndTheTrackButtonChooses) {
    Add(menu->Items(), "Open");
    Add(menu->Items(), "Close");
    const POINT at{400, 300};
    const struct {
        const char* name;
        TPopupAlignment alignment;
        TTrackButton button;
        bool rightClickChooses;
    } rows[] = {
        {"left, right button", TPopupAlignment::paLeft, TTrackButton::tbRightButton, true},
        {"right, left button", TPopupAlignment::paRight, TTrackButton::tbLeftButton, false},
        {"centre, right button", TPopupAlignment::paCenter, TTrackButton::tbRightButton, true},
    };
    for (const auto& r : rows) {
        menu->Alignment = r.alignment;
        menu->TrackButton = r.button;
        clicked.clear();
        RECT placed = {};
        HMENU handle = menu->Handle();
        ASSERT_TRUE(ShowAndDrive(*menu, at.x, at.y, [&](HWND shown) {
            ::GetWindowRect(shown, &placed);
            testing_support::ClickItem(handle, 1, testing_support::kRightButton);
            if (!testing_support::OpenMenus().empty()) Press({VK_ESCAPE});
        })) << r.name;
        ServeTheCommand();
        switch (r.alignment) {
            case TPopupAlignment::paLeft: EXPECT_EQ(placed.left, at.x) << r.name; break;
            case TPopupAlignment::paRight: EXPECT_EQ(placed.right, at.x) << r.name; break;
            case TPopupAlignment::paCenter: EXPECT_NEAR((placed.left + placed.right) / 2, at.x, 1) << r.name; break;
        }
        EXPECT_EQ(placed.top, at.y) << r.name;
        EXPECT_EQ(clicked, r.rightClickChooses ? "Close " : "") << r.name;
    }
    EXPECT_TRUE(reports.messages.empty());
}

// Keys move through the items and into a submenu: each highlighted item's
// hint is shown, the item whose submenu opens hears of it, and the chosen
// item's click runs once the menu has closed.
TEST_F(ShownMenuFixture, KeysChooseAndTheSubmenuAndHintsComeThroughTheList) {
    Add(menu->Items(), "Open", "Opens it");
    TMenuItem* more = Add(menu->Items(), "More", "More things");
    Add(more, "Deep", "Deep down");
    Add(more, "Extra", "Extra things");
    Add(menu->Items(), "Exit", "Ends it");
    ASSERT_TRUE(ShowAndDrive(*menu, 300, 200, [](HWND) { Press({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}); }));
    ServeTheCommand();
    EXPECT_EQ(clicked, "More Extra ");
    EXPECT_EQ(hints, "Opens it More things Deep down Extra things ");
    EXPECT_TRUE(reports.messages.empty());
}

// Owner-drawn items show no text the system could match a key against: it
// asks the owner, for the submenu it has open.
TEST_F(ShownMenuFixture, AccessKeyInAnOwnerDrawnSubmenuChoosesItsItem) {
    menu->SetStyle(kx::TKxMenuStyle::msOwnerDraw);
    Add(menu->Items(), "&Open");
    TMenuItem* more = Add(menu->Items(), "&More");
    Add(more, "&Deep");
    Add(more, "E&xtra");
    Add(more, "&Last");
    ASSERT_TRUE(ShowAndDrive(*menu, 300, 200, [](HWND) { Press({VK_DOWN, VK_DOWN, VK_RIGHT, 'X'}); }));
    ServeTheCommand();
    EXPECT_EQ(clicked, "&More E&xtra ");
    EXPECT_TRUE(reports.messages.empty());
}

}  // namespace
