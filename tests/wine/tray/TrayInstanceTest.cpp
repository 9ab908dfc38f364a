#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "KXShell.h"
#include "MessagePump.h"
#include "PlainWindow.h"
#include "SaverProcess.h"
#include "SettingsRegistry.h"
#include "WinePaths.h"
#include "WindowDriver.h"
#include "WinHandles.h"

using namespace testing_support;

namespace {

const std::string kTray = FromUnixPath(VELUNOR_TRAY_PATH);

bool MutexExists(const char* name) {
    velfw::UniqueKernelHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, name));
    return static_cast<bool>(mutex);
}

// Waits until the first copy has made its forms (its mutex exists long before).
HWND WaitForTrayForm(const SaverProcess& process) { return process.WaitForWindow("TVelunorForm", 15000); }

// A window for a failure message: handle, class, process and whether shown.
std::string Described(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    std::ostringstream text;
    text << window << " (" << ClassOf(window) << ", process " << process
         << (::IsWindowVisible(window) ? ", shown)" : ", hidden)");
    return text.str();
}

// A visible form of the process (the main form stays hidden), or null.
HWND ShownForm(const SaverProcess& process) {
    for (HWND w : process.TopWindows()) {
        char name[64] = {};
        ::GetClassNameA(w, name, sizeof name);
        if (lstrcmpA(name, "TVelunorForm") == 0 && ::IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// Opens the about box as a user does: a right click on the icon (the shell
// tells the icon's window with its callback message), then Help and About
// chosen from the menu with the keyboard.
HWND OpenAboutBox(const SaverProcess& tray) {
    HWND icon = tray.WaitForWindow("TKxTrayIconWindow", 5000);
    if (!icon) return nullptr;
    ::PostMessageA(icon, kx::kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
    ::PostMessageA(icon, kx::kTrayCallbackMessage, 0, WM_RBUTTONUP);
    PumpFor(500);
    // Launch, Settings, Help (the separator is passed over), into Help,
    // Contents, About.
    for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) {
        ::PostMessageA(icon, WM_KEYDOWN, key, 0);
        PumpFor(200);
    }
    HWND box = nullptr;
    PumpUntil([&] { return (box = ShownForm(tray)) != nullptr; }, 5000);
    return box;
}


TEST(TrayInstance, SecondStartBringsTheOpenAboutBoxForward) {
    SettingsRegistry registry;
    registry.InstallValue("Ravad", "A");
    SaverProcess first(kTray, "");
    ASSERT_TRUE(first.Started()) << first.StartError();
    ASSERT_TRUE(WaitForTrayForm(first));
    HWND box = OpenAboutBox(first);
    ASSERT_NE(box, nullptr);
    // The launcher lives in the notification area: no taskbar button, not
    // even while its about box is up.
    for (HWND w : TaskbarWindows(first.Id())) ADD_FAILURE() << Described(w) << " has a taskbar button";

    // Another program has the foreground when the second copy starts.
    PlainWindow other("TrayInstanceOtherProgram", "Other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200);
    ::SetForegroundWindow(other.Handle());
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == other.Handle(); }, 3000));
    SaverProcess second(kTray, "");
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == box; }, 5000))
        << Described(::GetForegroundWindow()) << " has the foreground, not the about box " << box;
    EXPECT_TRUE(first.Running());
    ::PostMessageA(box, WM_CLOSE, 0, 0);
}

TEST(TrayInstance, SecondStartEndsAtOnceAndARenamedCopyRunsBeside) {
    SettingsRegistry registry;
    registry.InstallValue("Ravad", "A");  // no hand-over to the display settings
    SaverProcess first(kTray, "");
    ASSERT_TRUE(first.Started()) << first.StartError();
    ASSERT_TRUE(WaitForTrayForm(first));
    EXPECT_TRUE(MutexExists("PREVINST:Kavist"));
    for (HWND w : TaskbarWindows(first.Id())) ADD_FAILURE() << Described(w) << " has a taskbar button";

    SaverProcess second(kTray, "");
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(first.Running());

    TempFolder folder("tray");
    const std::string renamed = folder / "KAVIst2.exe";
    ASSERT_TRUE(::CopyFileA(kTray.c_str(), renamed.c_str(), FALSE));
    {
        SaverProcess other(renamed, "");
        ASSERT_TRUE(other.Started()) << other.StartError();
        EXPECT_TRUE(WaitForTrayForm(other));
        EXPECT_TRUE(MutexExists("PREVINST:Kavist2"));
        EXPECT_TRUE(other.Running());
    }
    // A close message leaves the launcher running.
    HWND form = WaitForTrayForm(first);
    ::PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_FALSE(first.WaitForExit(1000));
}

TEST(TrayInstance, LoggingOffEndsTheLauncher) {
    SettingsRegistry registry;
    registry.InstallValue("Ravad", "A");
    SaverProcess tray(kTray, "");
    ASSERT_TRUE(tray.Started()) << tray.StartError();
    HWND form = WaitForTrayForm(tray);
    ASSERT_NE(form, nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "logging off is not refused";
    ::SendMessageTimeoutA(form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    DWORD code = 1;
    EXPECT_TRUE(tray.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
