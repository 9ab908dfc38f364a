// The built tray launcher as a user meets it: its icon in the system's
// notification area, clicked with the mouse, and its menu chosen from with the
// keyboard. What a menu item starts is a stand-in that records how it was
// started, put where the install values say the programs are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KXShell.h"
#include "MessagePump.h"
#include "RealInput.h"
#include "SaverProcess.h"
#include "SettingsRegistry.h"
#include "WinePaths.h"
#include "WindowDriver.h"
#include "WinHandles.h"

using namespace testing_support;

namespace {

const std::string kTray = FromUnixPath(VELUNOR_TRAY_PATH);

// Asks the notification area about the launcher's icon (its window, id 0)
// from outside, as any program may: a change of nothing succeeds only while
// the icon is there.
bool IconShown(HWND iconWindow) {
    kx::TNotifyIconDataV1 data = {};
    data.cbSize = sizeof data;
    data.hWnd = iconWindow;
    return ::Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

bool DeleteIcon(HWND iconWindow) {
    kx::TNotifyIconDataV1 data = {};
    data.cbSize = sizeof data;
    data.hWnd = iconWindow;
    return ::Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

// The icons the desktop shows in its notification area: on a display without
// a tray of its own, Wine's desktop shows them as child windows of a window
// of its own.
std::vector<HWND> NotificationAreaIcons() {
    std::vector<HWND> icons;
    for (HWND tray = ::FindWindowExA(nullptr, nullptr, "__winex11_standalone_tray", nullptr); tray;
         tray = ::FindWindowExA(nullptr, tray, "__winex11_standalone_tray", nullptr))
        for (HWND icon = ::FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr); icon;
             icon = ::FindWindowExA(tray, icon, "__winex11_tray_icon", nullptr))
            if (::IsWindowVisible(icon)) icons.push_back(icon);
    return icons;
}

// The visible popup menu of the process, or null.
HWND OpenMenu(DWORD processId) {
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32768", nullptr); w;
         w = ::FindWindowExA(nullptr, w, "#32768", nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == processId && ::IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// A visible form of the process (the main form stays hidden), or null.
HWND ShownForm(const SaverProcess& process) {
    for (HWND w : process.TopWindows())
        if (ClassOf(w) == "TVelunorForm" && ::IsWindowVisible(w)) return w;
    return nullptr;
}

// The launcher started on an installation whose programs are stand-ins.
struct LauncherFixture : ::testing::Test {
    SettingsRegistry registry;
    InstallFolder install{registry};
    std::unique_ptr<SaverProcess> tray;
    HWND iconWindow = nullptr;

    void SetUp() override {
        registry.InstallValue("Ravad", "A");  // no hand-over to the display settings
        ASSERT_TRUE(install.CopyIn(RECORD_START_PATH, "KAVIsu.exe"));
        ASSERT_TRUE(NotificationAreaIcons().empty()) << "an icon of another program is in the way";
        tray = std::make_unique<SaverProcess>(kTray, "");
        ASSERT_TRUE(tray->Started()) << tray->StartError();
        iconWindow = tray->WaitForWindow("TKxTrayIconWindow", 15000);
        ASSERT_NE(iconWindow, nullptr);
        // Its start (which adds the icon more than once) is over.
        velfw::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, tray->Id()));
        ASSERT_TRUE(process);
        ASSERT_EQ(::WaitForInputIdle(process.get(), 15000), 0u);
        ASSERT_TRUE(PumpUntil([&] { return IconShown(iconWindow); }, 5000)) << "the icon was never added";
    }
    void TearDown() override {
        // A launcher that did not end by itself leaves no icon behind for the next test.
        if (tray && tray->Running() && iconWindow) DeleteIcon(iconWindow);
    }

    // A right click on the launcher's icon, made by the system's mouse input:
    // the desktop tells the launcher with its callback and the menu opens.
    HWND RightClickTheIcon() {
        HWND shown = nullptr;
        EXPECT_TRUE(PumpUntil(
            [&] {
                const std::vector<HWND> icons = NotificationAreaIcons();
                return icons.size() == 1 && (shown = icons[0]) != nullptr;
            },
            5000))
            << NotificationAreaIcons().size() << " icons shown";
        // Two clicks at one place within the double-click time are a double
        // click, which opens no menu.
        static DWORD lastClick = ::GetTickCount() - 2 * ::GetDoubleClickTime() - 1;
        PumpUntil([] { return ::GetTickCount() - lastClick > 2 * ::GetDoubleClickTime(); }, 2 * ::GetDoubleClickTime());
        if (!shown || !ClickWithMouse(shown, MouseButton::Right)) return nullptr;
        lastClick = ::GetTickCount();
        HWND menu = nullptr;
        PumpUntil([&] { return (menu = OpenMenu(tray->Id())) != nullptr; }, 5000);
        return menu;
    }
    // The keys pressed one after another, each once the menu could take it.
    static bool Press(const std::vector<WORD>& keys) {
        for (WORD key : keys) {
            if (!SendChord({key, {}, ""})) return false;
            PumpFor(150);
        }
        return true;
    }
};

// After the taskbar starts again (Explorer ended and restarted, as after a
// crash or an update) the new one shows none of the old icons until their
// programs add them again, which it asks for with its broadcast.
TEST_F(LauncherFixture, IconComesBackWhenTheTaskbarStartsAgain) {
    ASSERT_TRUE(DeleteIcon(iconWindow)) << "the old taskbar goes, and its icons with it";
    ASSERT_FALSE(IconShown(iconWindow));
    PumpFor(500);
    EXPECT_FALSE(IconShown(iconWindow)) << "nothing else brings it back";
    ASSERT_TRUE(::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return IconShown(iconWindow); }, 5000)) << "the launcher cannot be reached";
    EXPECT_TRUE(tray->Running());
    // And it is the launcher's own icon again: its menu opens on a right click.
    EXPECT_NE(RightClickTheIcon(), nullptr);
    Press({VK_ESCAPE});
}

// A real right click opens the menu; keys choose an item as a user does, and
// the item's action runs in the launcher.
TEST_F(LauncherFixture, ItemChosenFromTheIconsMenuRunsItsAction) {
    const std::string started = install / "started.txt";
    ASSERT_NE(RightClickTheIcon(), nullptr);
    // "Launch Velunor", "Settings": the second item.
    ASSERT_TRUE(Press({VK_DOWN, VK_DOWN, VK_RETURN}));
    // Read once the line is whole.
    ASSERT_TRUE(PumpUntil([&] { return ReadFileBytes(started).ends_with("\n"); }, 10000))
        << "Settings did not start the settings program";
    EXPECT_EQ(ReadFileBytes(started), "\"" + (install / "KAVIsu.exe") + "\"\r\n") << "without parameters";
    EXPECT_EQ(OpenMenu(tray->Id()), nullptr);

    // Into the Help submenu, then About: the about box opens.
    ASSERT_NE(RightClickTheIcon(), nullptr);
    ASSERT_TRUE(Press({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}));
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = ShownForm(*tray)) != nullptr; }, 5000)) << "no about box";
    EXPECT_EQ(WindowText(box), "Velunor");
    ASSERT_TRUE(::PostMessageA(box, WM_CLOSE, 0, 0));
    ASSERT_TRUE(PumpUntil([&] { return ShownForm(*tray) == nullptr; }, 5000)) << "the about box stays";

    // The last item, Exit: the launcher ends and its icon goes.
    ASSERT_NE(RightClickTheIcon(), nullptr);
    ASSERT_TRUE(Press({VK_UP, VK_RETURN}));
    DWORD code = 1;
    EXPECT_TRUE(tray->WaitForExit(10000, &code)) << "Exit did not end the launcher";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(PumpUntil([] { return NotificationAreaIcons().empty(); }, 5000));
}

}  // namespace
