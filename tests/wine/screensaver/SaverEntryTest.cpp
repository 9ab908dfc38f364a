#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include "MessagePump.h"
#include "PlainWindow.h"
#include "SaverMessages.h"
#include "SaverProcess.h"
#include "SettingsRegistry.h"
#include "WinePaths.h"
#include "WinHandles.h"

using namespace testing_support;

namespace {

const std::string kSaver = FromUnixPath(VELUNOR_SAVER_PATH);

int CountLines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

// An install folder whose "KAVIsu.exe" records each start.
class SaverEntryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(install.CopyIn(RECORD_START_PATH, "KAVIsu.exe")); }

    int Starts() const { return CountLines(ReadFileBytes(install / "started.txt")); }
    bool WaitForStarts(int n, DWORD ms) const {
        DWORD start = ::GetTickCount();
        while (Starts() < n) {
            if (::GetTickCount() - start > ms) return false;
            ::Sleep(20);
        }
        return true;
    }

    SettingsRegistry registry;
    InstallFolder install{registry};
};

// Runs the saver with these arguments and expects it to end by itself, well.
void ExpectCleanExit(const std::string& args) {
    SaverProcess saver(kSaver, args);
    ASSERT_TRUE(saver.Started()) << saver.StartError();
    DWORD code = 1;
    ASSERT_TRUE(saver.WaitForExit(15000, &code)) << args;
    EXPECT_EQ(code, 0u) << args;
}

// A plain visible window for the preview to draw in.
class PreviewWindow {
public:
    PreviewWindow() { ::UpdateWindow(wnd_); }
    HWND Handle() const { return wnd_; }
    // As the system writes it: the handle's 32 bits in decimal.
    std::string Argument() const { return std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(wnd_))); }
    // Read from the screen: what another process draws into the window is
    // not in this process's copy of it.
    COLORREF Pixel(int x, int y) const {
        POINT p{x, y};
        ::ClientToScreen(wnd_, &p);
        const velfw::WindowDc screen(nullptr);
        return ::GetPixel(screen.get(), p.x, p.y);
    }

private:
    PlainWindow window_{"VelunorPreviewTarget", "preview", WS_POPUP | WS_VISIBLE, 100, 100, 152, 112,
                        static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))};
    HWND wnd_ = window_.Handle();
};

}  // namespace

TEST_F(SaverEntryTest, ConfigureFormsStartTheSettingsProgramFromTheInstallFolder) {
    const char* forms[] = {"/c", "", "-C", "c", "/c:1234", "/C 5"};
    int expected = 0;
    for (const char* args : forms) {
        ExpectCleanExit(args);
        ++expected;
        EXPECT_TRUE(WaitForStarts(expected, 10000)) << args;
    }
    // Configure mode also set up the page-list folders.
    char favorites[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, favorites, CSIDL_FAVORITES, FALSE));
    EXPECT_NE(::GetFileAttributesA((std::string(favorites) + "\\Velunor\\Window3").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SaverEntryTest, PasswordModeEndsQuietly) {
    for (const char* args : {"/a 0", "-A", "a notanumber", "Anything 12"}) {
        ExpectCleanExit(args);
    }
    EXPECT_EQ(Starts(), 0);
}

TEST_F(SaverEntryTest, PreviewWithoutAWindowEndsQuietly) {
    for (const char* args : {"/p", "/p abc", "-P 12345678", "p 0"}) {
        ExpectCleanExit(args);
    }
}

TEST_F(SaverEntryTest, PreviewDrawsUntilItsWindowIsHidden) {
    PreviewWindow target;
    PumpFor(100);
    ASSERT_EQ(target.Pixel(3, 3), RGB(0, 0, 0));
    SaverProcess saver(kSaver, "/p " + target.Argument());
    ASSERT_TRUE(saver.Started()) << saver.StartError();
    // The preview's white background replaces the window's black.
    DWORD start = ::GetTickCount();
    while (target.Pixel(3, 3) != RGB(255, 255, 255) && ::GetTickCount() - start < 10000) PumpFor(50);
    EXPECT_EQ(target.Pixel(3, 3), RGB(255, 255, 255));
    // And the icon moves over it: some pixel of the area shows neither colour.
    bool iconSeen = false;
    start = ::GetTickCount();
    while (!iconSeen && ::GetTickCount() - start < 5000) {
        for (int y = 4; y < 112 && !iconSeen; y += 6)
            for (int x = 4; x < 152 && !iconSeen; x += 6) {
                COLORREF c = target.Pixel(x, y);
                iconSeen = c != RGB(255, 255, 255) && c != RGB(0, 0, 0);
            }
        PumpFor(10);
    }
    EXPECT_TRUE(iconSeen);
    DWORD early = 0;
    ASSERT_FALSE(saver.WaitForExit(0, &early)) << "ended early with " << early;

    ::ShowWindow(target.Handle(), SW_HIDE);
    DWORD code = 1;
    EXPECT_TRUE(saver.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(SaverEntryTest, PreviewEndsWhenItsWindowIsDestroyed) {
    auto target = std::make_unique<PreviewWindow>();
    SaverProcess saver(kSaver, "/p " + target->Argument());
    ASSERT_TRUE(saver.Started()) << saver.StartError();
    PumpFor(1500);
    ASSERT_TRUE(saver.Running());
    target.reset();
    EXPECT_TRUE(saver.WaitForExit(5000));
}

TEST_F(SaverEntryTest, OneShowingAtATimeButConfigureIsNeverBlocked) {
    PreviewWindow target;
    SaverProcess first(kSaver, "/p " + target.Argument());
    ASSERT_TRUE(first.Started()) << first.StartError();
    PumpFor(1500);
    ASSERT_TRUE(first.Running());

    for (const std::string& args : {std::string("/s"), "/p " + target.Argument()}) ExpectCleanExit(args);
    SaverProcess configure(kSaver, "/c");
    EXPECT_TRUE(configure.WaitForExit(15000));
    EXPECT_TRUE(WaitForStarts(1, 10000));
    EXPECT_TRUE(first.Running());
}

namespace {

// One page in pane 1's list, so that a showing can start.
class ShowingSetup {
public:
    explicit ShowingSetup(SettingsRegistry& registry) {
        char favorites[MAX_PATH] = {};
        ::SHGetSpecialFolderPathA(nullptr, favorites, CSIDL_FAVORITES, TRUE);
        window1_ = std::string(favorites) + "\\Velunor\\Window1";
        ::SHCreateDirectoryExA(nullptr, window1_.c_str(), nullptr);
        WriteFileBytes(window1_ + "\\entry-test.url", "[InternetShortcut]\r\nurl=about:blank\r\n");
        registry.Setting("DType", "1");
        registry.Setting("InterScreenT", "5");
    }
    ~ShowingSetup() { ::DeleteFileA((window1_ + "\\entry-test.url").c_str()); }

private:
    std::string window1_;
};

}  // namespace

TEST_F(SaverEntryTest, FullScreenRunsUntilToldToEnd) {
    ShowingSetup setup(registry);
    struct Ending {
        UINT msg;
        WPARAM wParam;
    } endings[] = {{saver::kEndSaverMessage, 0}, {WM_KEYDOWN, 'A'}};
    for (const Ending& e : endings) {
        SaverProcess saver(kSaver, "/s");
        ASSERT_TRUE(saver.Started()) << saver.StartError();
        HWND form = saver.WaitForWindow("TForm1", 15000);
        ASSERT_NE(form, nullptr);
        PumpFor(500);
        ASSERT_TRUE(saver.Running());
        ::PostMessageA(form, e.msg, e.wParam, 0);
        DWORD code = 1;
        EXPECT_TRUE(saver.WaitForExit(15000, &code)) << e.msg;
        EXPECT_EQ(code, 0u);
    }
}

TEST_F(SaverEntryTest, ConfigureAndPasswordStartsAreNeverBlockedByAShowing) {
    ShowingSetup setup(registry);
    SaverProcess showing(kSaver, "/s");
    ASSERT_TRUE(showing.Started()) << showing.StartError();
    HWND form = showing.WaitForWindow("TForm1", 15000);
    ASSERT_NE(form, nullptr);
    ExpectCleanExit("/c");
    EXPECT_TRUE(WaitForStarts(1, 10000));
    ExpectCleanExit("/a 0");
    EXPECT_TRUE(showing.Running());
    ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
    EXPECT_TRUE(showing.WaitForExit(15000));
}
