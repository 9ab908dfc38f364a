// The slideshow form in this process, with fake browsers and a fake clock:
// set-up, the rotation carried out on the panes, the guard, the ending.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "FakePaneBrowser.h"
#include "Forms.h"
#include "Globals.h"
#include "MessagePump.h"
#include "KaviSSm.h"
#include "SaverMessages.h"
#include "SaverProcess.h"
#include "ScopedSeam.h"
#include "WindowGuard.h"
#include "SettingsRegistry.h"
#include "TestForms.h"
#include "WinePaths.h"

using namespace testing_support;

namespace {

bool SaverRunningFlag() {
    BOOL running = FALSE;
    ::SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

// The cursor display count of this thread, left as it was.
int CursorCount() {
    int n = ::ShowCursor(TRUE);
    ::ShowCursor(FALSE);
    return n - 1;
}

int g_closes = 0;
LRESULT CALLBACK CountingWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CLOSE) ++g_closes;
    return ::DefWindowProcA(w, m, wp, lp);
}

class SlideshowFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        velfw::Application->Initialize();
        registry.Setting("DType", "2");
        registry.Setting("InterScreenT", "10");
        registry.Setting("DurationUse", "n");
        registry.Setting("Scroll", "y");
        registry.Setting("ScrollVScrollY", "2");
        registry.InstallValue("RadonW", "W");
        install.CopyIn(VELUNOR_PAGES_DIR "/reg.bin", "reg.bin");

        folders = {{CSIDL_FAVORITES, root / "Favorites"}, {CSIDL_PERSONAL, root / "Documents"},
                   {CSIDL_DESKTOP, root / "Desktop"}};
        for (auto& [id, path] : folders) ::CreateDirectoryA(path.c_str(), nullptr);
        WritePage(1, "a");
        WritePage(1, "b");
        WritePage(2, "c");
        cursorBefore = CursorCount();
    }

    void TearDown() override {
        if (form) form->Free();
        form = nullptr;
        PumpFor(40);
        EXPECT_EQ(journal.live, 0) << "every browser is freed by the end";
    }

    void WritePage(int window, const std::string& name) {
        const std::string folder = root / ("Favorites\\Velunor\\Window" + std::to_string(window));
        ::SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        WriteFileBytes(folder + "\\" + name + ".url", "[InternetShortcut]\r\nurl=" + name + "\r\n");
    }

    // Creates and shows the form: its first activation sets it up. The real
    // timer is switched off again so that the test's ticks are the only ones.
    void StartShowing() {
        form = new saver::TForm1(velfw::Application);
        form->AfterConstruction();
        form->Show();
        PumpFor(40);
        timerWasOn = form->ThreadedTimer1->Enabled();
        form->ThreadedTimer1->SetEnabled(false);
    }

    void Tick(uint32_t ms) {
        now += ms;
        form->ThreadedTimer1Timer(form->ThreadedTimer1);
    }

    FakePaneBrowser* Current(int pane) {
        return static_cast<FakePaneBrowser*>(form->Panes[pane].Browser.get());
    }

    RecordedBoxes boxes;
    SettingsRegistry registry;
    InstallFolder install{registry};
    TempFolder root{"slideshow"};
    std::map<int, std::string> folders;
    BrowserJournal journal;
    std::vector<FakePaneBrowser*> browsers;
    uint32_t now = 5000;
    ScopedSeam<globals::SpecialFolderFunction> specialFolders{
        globals::GetSpecialFolder, [this](HWND, int csidl, std::string& path) {
            auto it = folders.find(csidl);
            if (it == folders.end()) return false;
            path = it->second;
            return true;
        }};
    ScopedSeam<decltype(saver::GetTicks)> ticks{saver::GetTicks, [this] { return now; }};
    ScopedSeam<browser::PaneBrowserFactory> browserFactory{
        saver::MakePaneBrowser, [this]() -> std::unique_ptr<browser::IPaneBrowser> {
            auto b = std::make_unique<FakePaneBrowser>(journal);
            journal.lines.push_back("create");
            browsers.push_back(b.get());
            return b;
        }};
    int cursorBefore = 0;
    bool timerWasOn = false;
    saver::TForm1* form = nullptr;
};

}  // namespace

TEST_F(SlideshowFormTest, FirstActivationSetsUpTwoPanesAndEndingGivesItAllBack) {
    StartShowing();
    ASSERT_TRUE(boxes.texts.empty()) << boxes.texts.front();
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(form->Width(), w);
    EXPECT_EQ(form->Height(), h);
    EXPECT_TRUE(form->Panel1->Visible());
    EXPECT_TRUE(form->Panel2->Visible());
    EXPECT_FALSE(form->Panel3->Visible());
    EXPECT_FALSE(form->Panel1->Enabled());
    EXPECT_EQ(form->Panel1->Height(), 2 * h / 3);
    EXPECT_EQ(form->Panel2->Top(), 2 * h / 3);
    EXPECT_EQ(form->Panel2->Height(), h - 2 * h / 3);
    EXPECT_TRUE(form->Panes[1].InUse && form->Panes[2].InUse && !form->Panes[3].InUse);
    ASSERT_NE(Current(1), nullptr);
    ASSERT_NE(Current(2), nullptr);
    EXPECT_EQ(Current(1)->Url(), "a");
    EXPECT_EQ(Current(2)->Url(), "c");
    // The browser fills the panel inside its bevel.
    EXPECT_EQ(Current(1)->Control().Width(), form->Panel1->Width() - 2);
    EXPECT_EQ(Current(1)->Control().Left(), 1);

    EXPECT_TRUE(form->DebugMode);
    EXPECT_TRUE(form->pDebugWindow->Visible());
    EXPECT_EQ(form->pDebugWindow->Width(), 216);
    EXPECT_TRUE(timerWasOn);
    EXPECT_TRUE(SaverRunningFlag());
    EXPECT_EQ(CursorCount(), cursorBefore - 1);
    EXPECT_EQ(::GetCapture(), form->Handle());
    const std::string shortcut = ReadFileBytes(root / "Desktop\\Last Seen on Velunor.url");
    EXPECT_NE(("\r\n" + shortcut).find("\r\nurl=a\r\n"), std::string::npos) << shortcut;

    form->EndSaver();
    form->EndSaver();  // a second request already queued
    form->Perform(saver::kEndSaverMessage, 0, 0);
    EXPECT_FALSE(SaverRunningFlag());
    EXPECT_EQ(CursorCount(), cursorBefore);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(form->ThreadedTimer1->Enabled());
    EXPECT_EQ(form->InitialWindows, nullptr);
}

TEST_F(SlideshowFormTest, EveryPageGetsAFreshBrowserAndTheOldOneGoesFirst) {
    journal.readyState = 1;  // pane 2 keeps loading
    StartShowing();
    FakePaneBrowser* first = Current(1);
    const std::string firstTag = first->Tag();
    now += 100;
    first->CompleteDocument();
    EXPECT_TRUE(form->Panes[1].urlsReady);
    EXPECT_EQ(form->Panes[1].urlsTime, now);
    Tick(10001);
    FakePaneBrowser* second = Current(1);
    ASSERT_NE(second, first);
    EXPECT_EQ(second->Url(), "b");
    const int detached = journal.IndexOf("detach " + firstTag);
    ASSERT_GE(detached, 0);
    EXPECT_LT(detached, journal.IndexOf("navigate " + second->Tag()));
    EXPECT_FALSE(journal.Has("free " + firstTag)) << "freed only when the program is idle";
    EXPECT_EQ(form->RetiredBrowserCount(), 1u);
    form->FreeRetiredBrowsers();
    EXPECT_TRUE(journal.Has("free " + firstTag));

    // A tick inside the browser's own event (a pending tick runs while the
    // log processes messages) replaces that browser without freeing it.
    now += 10;
    form->Panes[1].urlsTime = now - 20000;
    second->OnDocumentComplete = [this](browser::IPaneBrowser& s) {
        form->WebBrowserDocumentComplete(s);
        form->Panes[1].urlsTime = now - 20000;
        Tick(0);
    };
    second->CompleteDocument();
    EXPECT_FALSE(journal.freedInCallback);
    EXPECT_NE(Current(1), second);
    form->FreeRetiredBrowsers();
    EXPECT_EQ(journal.live, 2);
}

TEST_F(SlideshowFormTest, PaneOneShowsTheStatisticsPageAfterItsList) {
    StartShowing();
    for (int i = 0; i < 3; ++i) {
        now += 50;
        Current(1)->CompleteDocument();
        Tick(10001);
    }
    const std::string stats = install.Path() + "\\Velunor Stats.html";
    std::vector<std::string> shown;
    for (const std::string& line : journal.lines)
        if (line.rfind("navigate 1#", 0) == 0) shown.push_back(line.substr(line.find(' ', 9) + 1));
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], "a");
    EXPECT_EQ(shown[1], "b");
    EXPECT_NE(shown[2].find("Velunor Stats.html"), std::string::npos) << shown[2];
    EXPECT_EQ(shown[3], "a");
    EXPECT_TRUE(FileExists(stats));
    // The debug log of pane 1 saw the completions.
    EXPECT_NE(form->dException1->Lines().IndexOf("Doc Complete"), -1);
}

TEST_F(SlideshowFormTest, EachPaneLogsIntoItsOwnMemo) {
    StartShowing();
    const int pane1Lines = form->dException1->Lines().Count();
    Current(2)->CompleteDocument();
    EXPECT_NE(form->dException2->Lines().IndexOf("Doc Complete"), -1);
    EXPECT_EQ(form->dException1->Lines().Count(), pane1Lines);
    EXPECT_EQ(form->dException3->Lines().Count(), 0);
    form->EndSaver();
}

TEST_F(SlideshowFormTest, ScrollingOffSkipsTheScrollWrite) {
    registry.Setting("Scroll", "n");
    StartShowing();
    Current(2)->CompleteDocument();
    Tick(100);
    EXPECT_TRUE(journal.scrollTops.empty());
    form->EndSaver();
}

TEST_F(SlideshowFormTest, ScrollingStepsDownByTheStep) {
    journal.readyState = 1;  // nothing scrolls before the test's own ticks
    StartShowing();
    journal.readyState = browser::kReadyStateComplete;
    Current(2)->CompleteDocument();
    Tick(100);
    Tick(100);
    const std::string tag = Current(2)->Tag();
    std::vector<std::string> pane2;
    for (const std::string& s : journal.scrollTops)
        if (s.rfind(tag + " ", 0) == 0) pane2.push_back(s.substr(tag.size() + 1));
    EXPECT_EQ(pane2, (std::vector<std::string>{"2", "4"}));
}

TEST_F(SlideshowFormTest, OwnNewWindowIsAskedToCloseNeverQuit) {
    StartShowing();
    g_closes = 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SlideshowOwnPopup";
    ::RegisterClassA(&wc);
    HWND popup = ::CreateWindowExA(0, wc.lpszClassName, "New window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100,
                                   100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(popup, nullptr);
    Tick(30);
    MSG msg;
    bool quitPosted = false;
    for (int i = 0; i < 20; ++i) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) quitPosted = true;
            ::DispatchMessageA(&msg);
        }
        ::Sleep(5);
    }
    EXPECT_FALSE(quitPosted);
    EXPECT_FALSE(::IsWindow(popup)) << "WM_CLOSE closed it";
    EXPECT_EQ(g_closes, 1);
    form->EndSaver();
}

TEST_F(SlideshowFormTest, ErrorWindowTakingTheActivationIsClosed) {
    StartShowing();
    HWND box = ::CreateWindowExA(0, "STATIC", "Internet Explorer Script Error", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                 10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND plain = ::CreateWindowExA(0, "STATIC", "Notes", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 200, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(box && plain);
    velfw::TMessage m{WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(plain), 0};
    form->Perform(m.Msg, m.WParam, m.LParam);
    m.LParam = reinterpret_cast<LPARAM>(box);
    form->Perform(m.Msg, m.WParam, m.LParam);
    PumpFor(40);
    EXPECT_FALSE(::IsWindow(box));
    EXPECT_TRUE(::IsWindow(plain));
    ::DestroyWindow(plain);
    form->EndSaver();
}

TEST_F(SlideshowFormTest, EmptyListOfAPaneInUseFailsTheStartAndTakesNothing) {
    ::DeleteFileA((root / "Favorites\\Velunor\\Window2\\c.url").c_str());
    StartShowing();
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "Unable to initialize screen saver. No URLs defined for Screen 2.  Please use setup to specify URLs.");
    EXPECT_TRUE(globals::StartupFailed);
    EXPECT_FALSE(SaverRunningFlag());
    EXPECT_EQ(CursorCount(), cursorBefore);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(timerWasOn);
}

TEST_F(SlideshowFormTest, UnreadablePageTimeFailsTheStartQuietly) {
    registry.Setting("InterScreenT", "soon");
    StartShowing();
    EXPECT_TRUE(globals::StartupFailed);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_FALSE(SaverRunningFlag());
    EXPECT_EQ(CursorCount(), cursorBefore);
    EXPECT_TRUE(journal.lines.empty()) << "no pane was started";
}

TEST_F(SlideshowFormTest, MouseMoveEndsTheSaverOnceAndOnlyWhenClear) {
    int flagOffs = 0;
    const auto realFlag = saver::SetScreenSaverRunning;
    ScopedSeam flag(saver::SetScreenSaverRunning, [&](bool on) {
        realFlag(on);
        flagOffs += on ? 0 : 1;
    });
    StartShowing();
    form->LastMouseX = form->LastMouseY = -1;  // whatever the pointer did while the form came up
    auto move = [this](int x, int y) { form->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); };
    move(100, 100);
    move(103, 100);
    move(102, 150);
    EXPECT_EQ(flagOffs, 0);
    move(103, 103);
    EXPECT_EQ(flagOffs, 1);
    form->Perform(WM_KEYDOWN, 'A', 0);
    move(200, 200);
    form->Perform(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(flagOffs, 1) << "the ending runs once";
}

TEST_F(SlideshowFormTest, HungErrorWindowCannotHoldTheSaverUp) {
    StartShowing();
    HWND hung = nullptr;
    HANDLE created = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        hung = ::CreateWindowExA(0, "STATIC", "Fatal Error", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
        ::SetEvent(created);
        ::WaitForSingleObject(release, 20000);  // never serves its messages meanwhile
        ::DestroyWindow(hung);
    });
    ::WaitForSingleObject(created, 5000);
    ASSERT_NE(hung, nullptr);
    const DWORD start = ::GetTickCount();
    form->Perform(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hung));
    EXPECT_LT(::GetTickCount() - start, 8000u);
    ::SetEvent(release);
    owner.join();
    ::CloseHandle(created);
    ::CloseHandle(release);
    form->EndSaver();
}

namespace {

// A plain top-level window of this thread, destroyed at the end.
class ScanWindow {
public:
    ScanWindow(const char* title, DWORD style, HWND owner = nullptr) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "GuardScanWindow";
        ::RegisterClassA(&wc);
        handle_ = ::CreateWindowExA(0, wc.lpszClassName, title, style, 0, 0, 50, 50, owner, nullptr,
                                    wc.hInstance, nullptr);
    }
    ~ScanWindow() { ::DestroyWindow(handle_); }
    HWND Handle() const { return handle_; }

private:
    HWND handle_;
};

}  // namespace

TEST(GuardScan, ListsVisibleTitledUnownedWindowsOnly) {
    ScanWindow shown("Shown", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ScanWindow hidden("Hidden", WS_OVERLAPPEDWINDOW);
    ScanWindow untitled("", WS_POPUP | WS_VISIBLE);
    ScanWindow owned("Owned", WS_POPUP | WS_CAPTION | WS_VISIBLE, shown.Handle());
    ScanWindow oneLetter("x", WS_POPUP | WS_VISIBLE);
    saver::TTopWindowList list;
    saver::ListTopWindows(list);
    EXPECT_TRUE(list.Contains(shown.Handle()));
    EXPECT_TRUE(list.Contains(oneLetter.Handle()));
    EXPECT_FALSE(list.Contains(hidden.Handle()));
    EXPECT_FALSE(list.Contains(untitled.Handle()));
    EXPECT_FALSE(list.Contains(owned.Handle()));

    // A window shown or titled later is seen by the next scan.
    ::ShowWindow(hidden.Handle(), SW_SHOWNA);
    ::SetWindowTextA(untitled.Handle(), "Titled now");
    saver::ListTopWindows(list);
    EXPECT_TRUE(list.Contains(hidden.Handle()));
    EXPECT_TRUE(list.Contains(untitled.Handle()));
}

namespace {

// A visible, titled top-level window of `program`, listed as the guard lists.
bool ListsAWindowOf(const SaverProcess& program, saver::TTopWindowList& list) {
    saver::ListTopWindows(list);
    for (HWND w : program.TopWindows())
        if (list.Contains(w)) return true;
    return false;
}

}  // namespace

TEST(GuardScan, NewProgramIsEndedThroughTheHandleItsStartWasReadFrom) {
    // This process stands for the saver: both programs start after it. The
    // bystander shows no window the guard lists; it is what a second open of
    // the new program's id gives, as if the id had been reused meanwhile.
    TempFolder tools{"guardtools"};
    const std::string opener = tools / "open_window.exe";
    ASSERT_TRUE(::CopyFileA(FromUnixPath(OPEN_WINDOW_PATH).c_str(), opener.c_str(), FALSE));
    const std::optional<uint64_t> saverCreated = saver::ProcessCreationTime(::GetCurrentProcess());
    ASSERT_TRUE(saverCreated.has_value());
    saver::TTopWindowList initial, current;
    saver::ListTopWindows(initial);
    SaverProcess bystander(opener, "\"\" 60");
    SaverProcess advert(opener, "\"Pop-up advert\" 60");
    ASSERT_TRUE(bystander.Started()) << bystander.StartError();
    ASSERT_TRUE(advert.Started()) << advert.StartError();
    ASSERT_TRUE(PumpUntil([&] { return ListsAWindowOf(advert, current); }, 8000));

    std::vector<DWORD> opened;
    ScopedSeam<decltype(saver::OpenGuardedProcess)> open{
        saver::OpenGuardedProcess, [&](DWORD access, DWORD id) -> HANDLE {
            if (id != advert.Id()) return ::OpenProcess(access, FALSE, id);
            opened.push_back(access);
            return ::OpenProcess(access, FALSE, opened.size() == 1 ? id : bystander.Id());
        }};
    saver::DealWithNewWindows(initial, current, saverCreated);

    DWORD code = 1;
    EXPECT_TRUE(advert.WaitForExit(5000, &code)) << "the new program was not ended";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(bystander.Running()) << "a program that only took the id over was ended";
    ASSERT_EQ(opened.size(), 1u) << "the new program's id was opened more than once";
    EXPECT_EQ(opened[0] & PROCESS_TERMINATE, static_cast<DWORD>(PROCESS_TERMINATE));
}
