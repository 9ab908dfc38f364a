// The saver's test build run as the system runs it: a real registry, real
// page-list folders in Favorites, the install folder with the shipped pages.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <vector>

#include "MessageBoxes.h"
#include "RealInput.h"
#include "SaverMessages.h"
#include "ShowingInstall.h"
#include "WindowDriver.h"

using namespace testing_support;

namespace {

const std::string kSaver = FromUnixPath(VELUNOR_SAVER_PATH);

// The test build's log lines, without their tick counts.
std::vector<std::string> LogLines(const std::string& file) {
    std::vector<std::string> lines;
    std::string text = ReadFileBytes(file);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        const size_t space = line.find(' ');
        lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
        start = end + 2;
    }
    return lines;
}

// The sample installation and the test build's log.
class SlideshowRunTest : public ShowingInstallTest {
protected:
    void SetUp() override {
        ShowingInstallTest::SetUp();
        log = logFolder / "run.log";
        ::SetEnvironmentVariableA("VELUNOR_SAVER_LOG", log.c_str());
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("VELUNOR_SAVER_LOG", nullptr);
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_SCRIPT", nullptr);
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_LOG", nullptr);
        ::SetEnvironmentVariableA("VELUNOR_CLOCK_SPEED", nullptr);
        ShowingInstallTest::TearDown();
    }
    // The stand-in browsers of the next run follow this script and log to
    // StandInLog().
    void Script(const std::string& text) {
        const std::string script = logFolder / "standin.txt";
        WriteFileBytes(script, text);
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_SCRIPT", script.c_str());
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_LOG", (logFolder / "standin.log").c_str());
    }
    std::vector<std::string> StandInLog() const { return LogLines(logFolder / "standin.log"); }
    // The addresses pane n was sent to, and the size of its browser then.
    std::vector<std::string> Shown(int pane, std::string* size = nullptr) const {
        std::vector<std::string> shown;
        const std::string prefix = "navigate " + std::to_string(pane) + " ";
        for (const std::string& l : Log()) {
            if (l.rfind(prefix, 0) != 0) continue;
            const std::string rest = l.substr(prefix.size());
            const size_t space = rest.find(' ');
            if (size) *size = rest.substr(0, space);
            shown.push_back(rest.substr(space + 1));
        }
        return shown;
    }

    std::vector<std::string> Log() const { return LogLines(log); }
    bool Logged(const std::string& line) const {
        for (const std::string& l : Log())
            if (l == line) return true;
        return false;
    }
    // The screen-saver-running flag as the saver last set it.
    bool FlagOn() const {
        bool on = false;
        for (const std::string& l : Log()) {
            if (l == "flag on") on = true;
            if (l == "flag off") on = false;
        }
        return on;
    }
    int Count(const std::string& line) const {
        int n = 0;
        for (const std::string& l : Log()) n += l == line;
        return n;
    }

    // Starts the saver and waits until its form is set up (the flag is on).
    HWND StartShowing(SaverProcess& saver) {
        if (!saver.Started()) return nullptr;
        HWND form = saver.WaitForWindow("TForm1", 15000);
        if (!form) return nullptr;
        if (!PumpUntil([&] { return ::IsWindowVisible(form) && FlagOn(); }, 10000)) return nullptr;
        PumpFor(300);
        return form;
    }

    TempFolder logFolder{"runlog"};
    std::string log;
};

// A top-level window of this test's process, which was running long before
// the saver started.
class OwnWindow {
public:
    explicit OwnWindow(const char* title) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "SlideshowRunOlderWindow";
        ::RegisterClassA(&wc);
        closes = 0;
        wnd_ = ::CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 120,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~OwnWindow() {
        if (::IsWindow(wnd_)) ::DestroyWindow(wnd_);
    }
    HWND Handle() const { return wnd_; }
    static int closes;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_CLOSE) {
            ++closes;
            return 0;  // stays: a reminder that ignores the request
        }
        return ::DefWindowProcA(w, m, wp, lp);
    }
    HWND wnd_ = nullptr;
};
int OwnWindow::closes = 0;

}  // namespace

TEST_F(SlideshowRunTest, SecondShowingEndsAtOnceAndRequestEndsTheFirst) {
    OnePagePerPane();
    SaverProcess first(kSaver, "/s");
    HWND form = StartShowing(first);
    ASSERT_NE(form, nullptr);
    // No taskbar button, and nothing of its own the guard would list (a
    // visible, titled top-level window without a parent) while it shows.
    PumpFor(300);
    for (HWND w : first.TopWindows())
        EXPECT_FALSE(::IsWindowVisible(w) && !::GetParent(w) && ::GetWindowTextLengthA(w) > 0)
            << ClassOf(w) << " \"" << WindowText(w) << "\" is shown";
    EXPECT_TRUE(TaskbarWindows(first.Id()).empty());

    SaverProcess second(kSaver, "/s");
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(first.Running());

    ::PostMessageA(form, saver::kIgnoredMessage, 0, 0);
    PumpFor(300);
    EXPECT_TRUE(first.Running()) << "the ignored message does nothing";
    ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
    EXPECT_TRUE(first.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(FlagOn());
    EXPECT_EQ(Count("flag off"), 1);
}

TEST_F(SlideshowRunTest, KeyEndsTheSaverAndClearsTheFlag) {
    OnePagePerPane();
    SaverProcess saver(kSaver, "/s");
    HWND form = StartShowing(saver);
    ASSERT_NE(form, nullptr);
    // Two keys queued: the form closes once.
    ::PostMessageA(form, WM_KEYDOWN, 'A', 0);
    ::PostMessageA(form, WM_KEYDOWN, 'B', 0);
    DWORD code = 1;
    EXPECT_TRUE(saver.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Count("flag on"), 1);
    EXPECT_EQ(Count("flag off"), 1);
    EXPECT_TRUE(Logged("exit 0"));
}

TEST_F(SlideshowRunTest, GuardEndsNewProgramsButOnlyAsksOlderOnesToClose) {
    OnePagePerPane();
    SaverProcess saver(kSaver, "/s");
    HWND form = StartShowing(saver);
    ASSERT_NE(form, nullptr);

    // A new window of a program that ran before the saver: asked to close,
    // again at each tick while it stays, and the program lives on.
    {
        OwnWindow older("Reminder");
        ASSERT_NE(older.Handle(), nullptr);
        EXPECT_TRUE(PumpUntil([] { return OwnWindow::closes >= 2; }, 5000)) << OwnWindow::closes;
        EXPECT_TRUE(::IsWindow(older.Handle()));
    }

    // A program started during the showing: WM_QUIT and termination, not a
    // polite close. The program ignores the WM_QUIT, so only the
    // termination (exit code 0) ends it.
    TempFolder tools{"tools"};
    const std::string opener = tools / "open_window.exe";
    ASSERT_TRUE(::CopyFileA(FromUnixPath(OPEN_WINDOW_PATH).c_str(), opener.c_str(), FALSE));
    {
        SaverProcess advert(opener, "\"Pop-up advert\" 60");
        ASSERT_TRUE(advert.Started()) << advert.StartError();
        DWORD code = 1;
        EXPECT_TRUE(advert.WaitForExit(8000, &code)) << "the guard did not end the new program";
        EXPECT_EQ(code, 0u);
    }
    EXPECT_FALSE(FileExists(tools / "Pop-up advert.closed"));

    EXPECT_TRUE(saver.Running()) << "the guard never ends the saver itself";
    ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
    EXPECT_TRUE(saver.WaitForExit(15000));
    EXPECT_FALSE(FlagOn());
}

namespace {

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

// The first descendant window of `parent` of this class.
HWND FindDescendant(HWND parent, const char* className) {
    std::vector<HWND> children;
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND w : children) {
        char cls[64] = {};
        ::GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, className) == 0) return w;
    }
    return nullptr;
}

// True once a program started during the showing shows a window.
bool ShowsAWindow(const SaverProcess& program) {
    for (HWND w : program.TopWindows())
        if (::IsWindowVisible(w)) return true;
    return false;
}

}  // namespace

TEST_F(SlideshowRunTest, KeyOrButtonOnAPaneBrowserEndsTheSaver) {
    // Keys go to the window with the focus, which is a pane's browser once
    // the user or the page has put it there.
    struct Input {
        UINT message;
        WPARAM wParam;
    };
    const Input inputs[] = {{WM_KEYDOWN, 'Q'},
                            {WM_SYSKEYDOWN, 'Q'},
                            {WM_LBUTTONDOWN, MK_LBUTTON},
                            {WM_RBUTTONDOWN, MK_RBUTTON},
                            {WM_MBUTTONDOWN, MK_MBUTTON},
                            {WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1)},
                            {WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2)}};
    OnePagePerPane();
    for (const Input& input : inputs) {
        SaverProcess saver(kSaver, "/s");
        HWND form = StartShowing(saver);
        ASSERT_NE(form, nullptr);
        HWND pane = FindDescendant(form, "TStandInBrowser");
        ASSERT_NE(pane, nullptr);
        ::PostMessageA(pane, input.message, input.wParam, MAKELPARAM(5, 5));
        DWORD code = 1;
        EXPECT_TRUE(saver.WaitForExit(15000, &code)) << "message " << input.message << " " << input.wParam;
        EXPECT_EQ(code, 0u);
    }
    EXPECT_FALSE(FlagOn());
}

namespace {

// Keys and key combinations a user may press first; dialog navigation would
// take some of them (Tab, Enter, Esc, Alt+letter) before a form saw them.
const KeyChord kEndingKeys[] = {
    {VK_TAB, {}, "Tab"},         {VK_TAB, {VK_SHIFT}, "Shift+Tab"}, {VK_TAB, {VK_CONTROL}, "Ctrl+Tab"},
    {VK_RETURN, {}, "Enter"},    {VK_ESCAPE, {}, "Esc"},            {VK_SPACE, {}, "Space"},
    {VK_DOWN, {}, "Down arrow"}, {VK_MENU, {}, "Alt"},              {VK_F1, {}, "F1"},
    {'Q', {}, "Q"},
};

}  // namespace

TEST_F(SlideshowRunTest, EveryKeyTypedEndsTheSaverWhereverTheFocusIs) {
    OnePagePerPane();
    for (const bool inBrowser : {false, true}) {
        for (const KeyChord& chord : kEndingKeys) {
            SCOPED_TRACE(chord.Name + (inBrowser ? " into a pane's browser" : " into the form"));
            ::DeleteFileA(log.c_str());
            SaverProcess saver(kSaver, "/s");
            HWND form = StartShowing(saver);
            ASSERT_NE(form, nullptr);
            ASSERT_TRUE(BringToForeground(form, 5000));
            HWND target = form;
            if (inBrowser) {
                target = FindDescendant(form, "TStandInBrowser");
                ASSERT_NE(target, nullptr);
                // The panes take no input, so the focus gets into a browser
                // only through a pane that lets it in.
                ::EnableWindow(::GetParent(target), TRUE);
                ASSERT_TRUE(FocusWindowOfOtherProcess(target));
            }
            ASSERT_EQ(FocusOfThread(form), target);
            ASSERT_TRUE(SendChord(chord));
            DWORD code = 1;
            EXPECT_TRUE(saver.WaitForExit(15000, &code));
            EXPECT_EQ(code, 0u);
            EXPECT_FALSE(FlagOn());
        }
    }
}

TEST_F(SlideshowRunTest, GuardLeavesOwnedAndUntitledWindowsOfNewProgramsAlone) {
    OnePagePerPane();
    SaverProcess saver(kSaver, "/s");
    HWND form = StartShowing(saver);
    ASSERT_NE(form, nullptr);

    TempFolder tools{"tools"};
    const std::string opener = tools / "open_window.exe";
    ASSERT_TRUE(::CopyFileA(FromUnixPath(OPEN_WINDOW_PATH).c_str(), opener.c_str(), FALSE));
    SaverProcess dialog(opener, "\"Save changes\" 60 owned");
    SaverProcess untitled(opener, "\"\" 60");
    ASSERT_TRUE(dialog.Started()) << dialog.StartError();
    ASSERT_TRUE(untitled.Started()) << untitled.StartError();
    EXPECT_TRUE(PumpUntil([&] { return ShowsAWindow(dialog) && ShowsAWindow(untitled); }, 8000));
    // Many ticks of the guard.
    PumpFor(1500);
    EXPECT_TRUE(dialog.Running());
    EXPECT_TRUE(untitled.Running());
    EXPECT_FALSE(FileExists(tools / "Save changes.closed"));
    EXPECT_FALSE(FileExists(tools / ".closed"));

    ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
    EXPECT_TRUE(saver.WaitForExit(15000));
}

TEST_F(SlideshowRunTest, EmptyListOfASecondPaneIsReportedAndClosingTheBoxEnds) {
    AddPage(1, "run-a", "run-a");
    SaverProcess saver(kSaver, "/s");
    ASSERT_TRUE(saver.Started()) << saver.StartError();
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = FindMessageBox(BoxOwner::Process(saver.Id()))) != nullptr; }, 20000));
    EXPECT_TRUE(saver.Running()) << "the box holds the saver until it is closed";
    EXPECT_EQ(ExpectMessageBox(BoxOwner::Process(saver.Id()), 1000),
              "Unable to initialize screen saver. No URLs defined for Screen 2.  Please use setup to specify URLs.");
    DWORD code = 1;
    EXPECT_TRUE(saver.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Count("flag on"), 0) << "a failed start never set the flag";
    EXPECT_TRUE(Logged("exit 0"));
}

TEST_F(SlideshowRunTest, UnreadablePageTimeEndsTheSaverQuietly) {
    OnePagePerPane();
    Setting("InterScreenT", "soon");
    SaverProcess saver(kSaver, "/s");
    ASSERT_TRUE(saver.Started()) << saver.StartError();
    HWND box = nullptr;
    PumpUntil([&] { return !saver.Running() || (box = FindMessageBox(BoxOwner::Process(saver.Id()))) != nullptr; },
              15000);
    EXPECT_EQ(box, nullptr) << "no message box: " << MessageBoxText(box);
    if (box) CloseMessageBox(box, 5000);
    DWORD code = 1;
    EXPECT_TRUE(saver.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Count("flag on"), 0);
    EXPECT_TRUE(Logged("exit 0"));
}

TEST_F(SlideshowRunTest, TwoPanesShowTheirListsThenStatisticsThenBlankPages) {
    AddPage(1, "run-a", "http://a.test/");
    AddPage(2, "run-c", "http://c.test/");
    Script("default complete=200 scroll=3000 client=400\n");
    // The saver's clock ten times faster than the real one: the showing
    // below takes 3 s, not 30.
    ::SetEnvironmentVariableA("VELUNOR_CLOCK_SPEED", "10");
    SaverProcess saver(kSaver, "/s");
    HWND form = StartShowing(saver);
    ASSERT_NE(form, nullptr);
    // One pass each (10 s a page), the statistics page, blank1, then blank2
    // about 30 s after the start by the saver's clock.
    const std::string blank2 = install / "blank2.htm";
    EXPECT_TRUE(PumpUntil([&] {
        auto p1 = Shown(1), p2 = Shown(2);
        return p1.size() >= 4 && p2.size() >= 4;
    }, 45000));
    ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
    EXPECT_TRUE(saver.WaitForExit(15000));

    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    const int h1 = 2 * h / 3;
    std::string size1, size2;
    const auto p1 = Shown(1, &size1), p2 = Shown(2, &size2);
    // Each browser fills its pane inside the 1-pixel bevel.
    EXPECT_EQ(size1, std::to_string(w - 2) + "x" + std::to_string(h1 - 2));
    EXPECT_EQ(size2, std::to_string(w - 2) + "x" + std::to_string(h - h1 - 2));
    ASSERT_GE(p1.size(), 4u);
    ASSERT_GE(p2.size(), 4u);
    for (const auto* p : {&p1, &p2}) {
        EXPECT_EQ((*p)[1].find("Velunor Stats.html") != std::string::npos, true) << (*p)[1];
        EXPECT_EQ((*p)[2], install / "blank1.htm");
        EXPECT_EQ((*p)[3], blank2);
    }
    EXPECT_EQ(p1[0], "http://a.test/");
    EXPECT_EQ(p2[0], "http://c.test/");

    // Every page got a browser of its own, the old one taken off first.
    const auto log = Log();
    int navigations = 0, detaches = 0;
    for (const std::string& l : log) {
        if (l.rfind("navigate 1 ", 0) == 0) {
            EXPECT_EQ(detaches, navigations) << "pane 1's old browser goes before the next page";
            ++navigations;
        }
        if (l == "detach 1") ++detaches;
    }
    int creations = 0, frees = 0;
    bool scrolled = false;
    for (const std::string& l : StandInLog()) {
        creations += l.find(" create") != std::string::npos && l.find("fails") == std::string::npos;
        frees += l.size() > 5 && l.compare(l.size() - 5, 5, " free") == 0;
        scrolled = scrolled || l.find("body setScrollTop") != std::string::npos;
    }
    EXPECT_EQ(creations, static_cast<int>(p1.size() + p2.size()));
    EXPECT_EQ(frees, creations) << "every browser is freed by the end";
    EXPECT_TRUE(scrolled);

    // The statistics page has its placeholders filled in.
    const std::string stats = ReadFileBytes(install / "Velunor Stats.html");
    EXPECT_FALSE(stats.empty());
    for (const char* mark : {"SSSSSSSS", "TTTTTTTT", "UUUUUUUU", "VVVVVVVV"})
        EXPECT_EQ(stats.find(mark), std::string::npos) << mark;
    EXPECT_NE(stats.find("(1.0.0.1)"), std::string::npos);

    // The desktop shortcut names pane 1's last page.
    const std::string lastSeen = ReadFileBytes(shortcut);
    EXPECT_NE(lastSeen.find("url=" + p1.back()), std::string::npos) << lastSeen;
    EXPECT_TRUE(Logged("flag off"));
}
