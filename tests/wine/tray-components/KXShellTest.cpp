#include <gtest/gtest.h>

#include "KXShell.h"
#include "MessagePump.h"
#include "TestForms.h"
#include "TestIcons.h"

namespace {

using kx::TKxTrayIcon;
using testing_support::MakeIcon;
using velfw::TMouseButton;
using velfw::TShiftState;

struct ShellCall {
    DWORD message;
    kx::TNotifyIconDataV1 data;
};

// The notification area, the cursor and the keyboard as the test sets them.
struct MockShell {
    std::vector<ShellCall> calls;
    bool addSucceeds = true;
    POINT cursor{120, 340};
    bool shiftDown = false;
    MockShell() {
        kx::TrayShell() = {
            [this](DWORD message, kx::TNotifyIconDataV1& data) {
                calls.push_back({message, data});
                return message == NIM_ADD ? BOOL(addSucceeds) : TRUE;
            },
            [this] { return cursor; },
            [this](int key) { return SHORT(key == VK_SHIFT && shiftDown ? -128 : 0); },
        };
    }
    ~MockShell() { kx::ResetTrayShell(); }
    std::string Messages() const {
        std::string out;
        for (const auto& c : calls) out += c.message == NIM_ADD ? "A" : c.message == NIM_MODIFY ? "M" : "D";
        return out;
    }
    std::string LastTip() const { return calls.empty() ? "" : calls.back().data.szTip; }
};

// Shows the record as its class fills it.
class ProbedTrayIcon : public TKxTrayIcon {
public:
    using TKxTrayIcon::TKxTrayIcon;
    using TKxTrayIcon::UpdateNotifyData;
};

// A menu that records where it was shown instead of tracking.
class RecordingMenu : public velfw::TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    std::vector<POINT> shownAt;
    std::function<void()> whileShown;
    void Popup(int x, int y) override {
        DoPopup();
        shownAt.push_back({x, y});
        if (whileShown) whileShown();
    }
};

struct TrayFixture : ::testing::Test {
    testing_support::ReportedFailures reports;
    MockShell shell;
    std::unique_ptr<velfw::TIcon> icon = MakeIcon();
    std::string events;

    void Record(TKxTrayIcon& tray) {
        auto button = [](TMouseButton b) { return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M"; };
        auto shift = [](TShiftState s) {
            std::string t;
            if (s & velfw::ssShift) t += "s";
            if (s & velfw::ssLeft) t += "l";
            if (s & velfw::ssRight) t += "r";
            if (s & velfw::ssMiddle) t += "m";
            if (s & velfw::ssDouble) t += "d";
            return t;
        };
        tray.OnMouseDown = [=, this](velfw::TObject*, TMouseButton b, TShiftState s, int x, int y) {
            events += std::string("Down") + button(b) + shift(s) + "@" + std::to_string(x) + "," + std::to_string(y) + " ";
        };
        tray.OnMouseUp = [=, this](velfw::TObject*, TMouseButton b, TShiftState s, int, int) {
            events += std::string("Up") + button(b) + shift(s) + " ";
        };
        tray.OnClick = [=, this](velfw::TObject*, TMouseButton b, TShiftState s, int, int) {
            events += std::string("Click") + button(b) + shift(s) + " ";
        };
        tray.OnMouseMove = [this](velfw::TObject*, TShiftState, int, int) { events += "Move "; };
        tray.OnDblClick = [this](velfw::TObject*) { events += "Dbl "; };
    }

    // Sends the callbacks as the shell does and gives the events they fired.
    std::string Callbacks(TKxTrayIcon& tray, std::initializer_list<UINT> mouseMessages) {
        events.clear();
        for (UINT m : mouseMessages) ::SendMessageA(tray.Handle(), kx::kTrayCallbackMessage, 0, m);
        return events;
    }
};

TEST_F(TrayFixture, NotifyRecordFacts) {
    ProbedTrayIcon tray(nullptr);
    EXPECT_TRUE(shell.calls.empty()) << "construction shows nothing";
    tray.UpdateNotifyData();
    const kx::TNotifyIconDataV1& d = tray.NotifyData();
    EXPECT_EQ(d.cbSize, sizeof(kx::TNotifyIconDataV1));
    if (sizeof(void*) == 4) {
        EXPECT_EQ(d.cbSize, 88u);
    }
    EXPECT_EQ(d.hWnd, tray.Handle());
    EXPECT_EQ(d.uID, 0u);
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 0xB054u);
    EXPECT_EQ(d.hIcon, reinterpret_cast<HICON>(static_cast<INT_PTR>(-1)));
}

TEST_F(TrayFixture, AddModifyDeleteAndTheTip) {
    TKxTrayIcon tray(nullptr);
    tray.SetHint("Velunor");
    EXPECT_EQ(shell.Messages().find('A'), std::string::npos) << "no icon: nothing shown";
    shell.calls.clear();
    tray.SetIcon(*icon);
    EXPECT_EQ(shell.Messages(), "DA");
    EXPECT_TRUE(tray.Added());
    EXPECT_EQ(shell.LastTip(), "Velunor");
    EXPECT_EQ(shell.calls.back().data.hIcon, tray.Icon().Handle());
    EXPECT_NE(tray.Icon().Handle(), nullptr);

    struct Case {
        std::string hint, tip;
    } cases[] = {
        {std::string(70, 'x'), std::string(63, 'x')},
        {"Short|" + std::string(80, 'y'), "Short"},
    };
    for (const Case& c : cases) {
        shell.calls.clear();
        tray.SetHint(c.hint);
        EXPECT_EQ(shell.Messages(), "M");
        EXPECT_EQ(shell.LastTip(), c.tip);
    }
    shell.calls.clear();
    tray.SetActive(false);
    EXPECT_EQ(shell.Messages(), "D");
    EXPECT_FALSE(tray.Added());

    // An empty tip adds, then sends the same record once more as a modify.
    shell.calls.clear();
    tray.SetHint("");
    tray.SetActive(true);
    EXPECT_EQ(shell.Messages(), "DAM");
    shell.calls.clear();
    tray.Icon().Clear();
    EXPECT_EQ(shell.Messages(), "D") << "an icon that became empty leaves the area";
}

TEST_F(TrayFixture, FailedAddIsRetriedAtTheNextChange) {
    TKxTrayIcon tray(nullptr);
    shell.addSucceeds = false;
    tray.SetIcon(*icon);
    EXPECT_FALSE(tray.Added());
    shell.addSucceeds = true;
    shell.calls.clear();
    tray.SetHint("again");
    EXPECT_EQ(shell.Messages(), "DA");
    EXPECT_TRUE(tray.Added());
}

// A taskbar that starts again (Explorer ended and restarted) knows none of the
// icons it showed: the shell says so to every top-level window.
TEST_F(TrayFixture, RestartedTaskbarGetsTheIconBackWhileItIsToShow) {
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(taskbarCreated, 0u);
    const struct {
        const char* name;
        bool withIcon, active, enabled;
        const char* calls;
        bool added;
    } cases[] = {
        {"shown", true, true, true, "DA", true},
        {"callbacks off, still shown", true, true, false, "DA", true},
        {"switched off", true, false, true, "", false},
        {"no icon to show", false, true, true, "D", false},
    };
    for (const auto& c : cases) {
        TKxTrayIcon tray(nullptr);
        tray.SetHint("Velunor");
        tray.Enabled = c.enabled;
        if (c.withIcon) tray.SetIcon(*icon);
        tray.SetActive(c.active);
        shell.calls.clear();
        ::SendMessageA(tray.Handle(), taskbarCreated, 0, 0);
        EXPECT_EQ(shell.Messages(), c.calls) << c.name;
        EXPECT_EQ(tray.Added(), c.added) << c.name;
        if (c.added) {
            EXPECT_EQ(shell.calls.back().data.hIcon, tray.Icon().Handle()) << c.name;
            EXPECT_EQ(shell.calls.back().data.uCallbackMessage, kx::kTrayCallbackMessage) << c.name;
        }
    }

    // As the shell sends it: broadcast to every top-level window.
    TKxTrayIcon tray(nullptr);
    tray.SetHint("Velunor");
    tray.SetIcon(*icon);
    shell.calls.clear();
    ASSERT_TRUE(::PostMessageA(HWND_BROADCAST, taskbarCreated, 0, 0));
    EXPECT_TRUE(testing_support::PumpUntil([&] { return shell.Messages() == "DA"; }, 2000)) << shell.Messages();
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(TrayFixture, CallbacksBecomeEventsInTheirOrder) {
    TKxTrayIcon tray(nullptr);
    tray.SetIcon(*icon);
    Record(tray);
    struct Case {
        std::initializer_list<UINT> messages;
        const char* events;
    } cases[] = {
        {{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
         "DownLl@120,340 ClickLl UpLl Dbl DownLd@120,340 UpLl "},
        {{WM_RBUTTONDOWN, WM_RBUTTONUP}, "DownRr@120,340 ClickRr UpRr "},
        {{WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
         "DownRd@120,340 DownMm@120,340 UpMm DownMd@120,340 "},
        {{WM_LBUTTONUP, WM_MOUSEMOVE, WM_MOUSEWHEEL}, "UpLl Move "},
    };
    for (const Case& c : cases) EXPECT_EQ(Callbacks(tray, c.messages), c.events);

    shell.shiftDown = true;
    shell.cursor = {5, 6};
    EXPECT_EQ(Callbacks(tray, {WM_LBUTTONDOWN}), "DownLsl@5,6 ");

    // Posted, as the shell does, they arrive the same way.
    events.clear();
    ::PostMessageA(tray.Handle(), kx::kTrayCallbackMessage, 0, WM_MOUSEMOVE);
    testing_support::PumpUntil([&] { return !events.empty(); }, 2000);
    EXPECT_EQ(events, "Move ");
}

TEST_F(TrayFixture, DisabledCallbacksGoToTheDefaultHandling) {
    TKxTrayIcon tray(nullptr);
    Record(tray);
    tray.Enabled = false;
    EXPECT_EQ(Callbacks(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}), "");
}

TEST_F(TrayFixture, RightClickShowsTheMenuAtTheCursorInsteadOfClicking) {
    TKxTrayIcon tray(nullptr);
    tray.SetIcon(*icon);
    Record(tray);
    auto* menuObject = new RecordingMenu(nullptr);
    RecordingMenu& menu = *menuObject;
    tray.SetPopupMenu(&menu);
    // Callbacks while the menu is up are dropped.
    menu.whileShown = [&] { ::SendMessageA(tray.Handle(), kx::kTrayCallbackMessage, 0, WM_LBUTTONDOWN); };
    EXPECT_EQ(Callbacks(tray, {WM_RBUTTONDOWN, WM_RBUTTONUP}), "DownRr@120,340 UpRr ");
    ASSERT_EQ(menu.shownAt.size(), 1u);
    EXPECT_EQ(menu.shownAt[0].x, 120);
    EXPECT_EQ(menu.shownAt[0].y, 340);
    EXPECT_EQ(menu.PopupComponent, &tray);

    menu.AutoPopup = false;
    EXPECT_EQ(Callbacks(tray, {WM_RBUTTONDOWN, WM_RBUTTONUP}), "DownRr@120,340 ClickRr UpRr ");
    menu.AutoPopup = true;
    menu.Free();
    EXPECT_EQ(tray.PopupMenu(), nullptr);
    EXPECT_EQ(Callbacks(tray, {WM_RBUTTONDOWN, WM_RBUTTONUP}), "DownRr@120,340 ClickRr UpRr ");
}

TEST_F(TrayFixture, FailingPopupIsReportedAndTheIconStaysUsable) {
    TKxTrayIcon tray(nullptr);
    Record(tray);
    RecordingMenu menu(nullptr);
    menu.OnPopup = [](velfw::TObject*) { throw velfw::Exception("no menu today"); };
    tray.SetPopupMenu(&menu);
    Callbacks(tray, {WM_RBUTTONDOWN, WM_RBUTTONUP});
    ASSERT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(reports.messages[0], "no menu today");
    EXPECT_TRUE(menu.shownAt.empty());
    menu.OnPopup = nullptr;
    Callbacks(tray, {WM_RBUTTONDOWN, WM_RBUTTONUP});
    EXPECT_EQ(menu.shownAt.size(), 1u) << "callbacks are heard again";
}

TEST_F(TrayFixture, DoubleClickClicksTheFirstEnabledDefaultItem) {
    TKxTrayIcon tray(nullptr);
    Record(tray);
    RecordingMenu menu(nullptr);
    std::string clicked;
    auto add = [&](const char* caption, bool isDefault, bool enabled) {
        auto* item = new velfw::TMenuItem(&menu);
        item->SetCaption(caption);
        item->SetDefault(isDefault);
        item->SetEnabled(enabled);
        item->OnClick = [&clicked, caption](velfw::TObject*) { clicked += caption; };
        menu.Items()->Add(item);
        return item;
    };
    tray.SetPopupMenu(&menu);
    add("plain", false, true);
    EXPECT_EQ(Callbacks(tray, {WM_LBUTTONDBLCLK}), "Dbl DownLd@120,340 ");
    add("disabled", true, false);
    EXPECT_EQ(Callbacks(tray, {WM_LBUTTONDBLCLK}), "Dbl DownLd@120,340 ");
    EXPECT_EQ(clicked, "");
    add("start", true, true);
    EXPECT_EQ(Callbacks(tray, {WM_LBUTTONDBLCLK}), "DownLd@120,340 ");
    EXPECT_EQ(clicked, "start");
}

TEST_F(TrayFixture, FreedByItsOwnHandler) {
    auto* tray = new TKxTrayIcon(nullptr);
    tray->SetIcon(*icon);
    HWND wnd = tray->Handle();
    int ups = 0;
    tray->OnMouseDown = [&](velfw::TObject*, TMouseButton, TShiftState, int, int) { tray->Free(); };
    tray->OnMouseUp = [&](velfw::TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    shell.calls.clear();
    ::SendMessageA(wnd, kx::kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
    EXPECT_EQ(shell.Messages(), "D");
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(ups, 0);
}

TEST_F(TrayFixture, AnimationNeedsFramesAndRunsThemInTurn) {
    TKxTrayIcon tray(nullptr);
    tray.SetIcon(*icon);
    tray.SetAnimated(true);
    EXPECT_FALSE(tray.Animated()) << "no frames";

    for (int size : {16, 24, 32, 48}) {
        auto frame = MakeIcon(size);
        tray.Icons().AddIcon(frame.get());
    }
    tray.SetInterval(10);
    tray.SetAnimated(true);
    ASSERT_TRUE(tray.Animated());
    EXPECT_EQ(tray.IconIndex(), 0);
    std::vector<int> seen{0};
    ASSERT_TRUE(testing_support::PumpUntil(
        [&] {
            if (tray.IconIndex() != seen.back()) seen.push_back(tray.IconIndex());
            return seen.size() >= 6;
        },
        5000));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 0, 1}));
    // The frame shown is the icon list's.
    EXPECT_EQ(shell.calls.back().data.hIcon, tray.Icons().GetIcon(tray.IconIndex())->Handle());

    // An interval of 0 stops the frames without spinning; a new one restarts them.
    tray.SetInterval(0);
    testing_support::PumpFor(50);
    const int stopped = tray.IconIndex();
    testing_support::PumpFor(100);
    EXPECT_EQ(tray.IconIndex(), stopped);
    tray.SetInterval(10);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return tray.IconIndex() != stopped; }, 5000));

    tray.Icons().Clear();
    EXPECT_FALSE(tray.Animated()) << "emptied frames switch it off";
    EXPECT_EQ(shell.calls.back().data.hIcon, tray.Icon().Handle());
}

TEST_F(TrayFixture, FreedWhileAnimatingAddsNothingBack) {
    auto* tray = new TKxTrayIcon(nullptr);
    auto frame = MakeIcon();
    tray->Icons().AddIcon(frame.get());
    tray->SetInterval(5);
    tray->SetAnimated(true);
    EXPECT_TRUE(tray->Added());
    testing_support::PumpFor(30);
    shell.calls.clear();
    tray->Free();
    EXPECT_EQ(shell.Messages(), "D");
    testing_support::PumpFor(30);  // frames still queued find no owner
    EXPECT_EQ(shell.Messages(), "D");
}

}  // namespace
