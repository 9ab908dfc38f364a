// The settings program as a user meets it: started in a process of its own
// on registry values and page-list folders made here, read and driven
// through its windows, and judged by what it leaves in the registry and on
// disk.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "MessageBoxes.h"
#include "MessagePump.h"
#include "PlainWindow.h"
#include "RealInput.h"
#include "SaveSteps.h"
#include "SaverMessages.h"
#include "SaverProcess.h"
#include "SettingsRegistry.h"
#include "WideText.h"
#include "WinePaths.h"
#include "WindowDriver.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kBoxMs = 10000;
constexpr DWORD kExitMs = 10000;
constexpr char kFormTitle[] = "Velunor Setup - tmp";
constexpr char kRemoveCaption[] = "Click here to &remove\rhighlighted entry from  page\rlist";
constexpr char kAddCaption[] = "Click here to &add highlighted\r page to the active page list";
constexpr char kAddOneCaption[] = "Click here to a&dd it to the active page list";

enum Page { kBegin, kList1, kList2, kList3, kAdvanced, kDurations, kFinish };

std::string FavoritesFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

// The file names and contents of a folder (no sub-folders here).
std::map<std::string, std::string> FolderFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[data.cFileName] = ReadFileBytes(folder + "\\" + data.cFileName);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return files;
}

std::string Shortcut(const std::string& url) { return "[InternetShortcut]\r\nurl=" + url + "\r\n"; }

// The product's data folder below Favorites, set aside for the test and put
// back afterwards.
class ScopedDataFolder {
public:
    ScopedDataFolder() : path_(FavoritesFolder() + "\\Velunor"), saved_(path_ + ".before-test") {
        RemoveTree(saved_);
        moved_ = ::MoveFileA(path_.c_str(), saved_.c_str()) != FALSE;
        for (const char* sub : {"", "\\Window1", "\\Window2", "\\Window3", "\\Recommended"})
            ::CreateDirectoryA((path_ + sub).c_str(), nullptr);
    }
    ~ScopedDataFolder() {
        RemoveTree(path_);
        if (moved_) ::MoveFileA(saved_.c_str(), path_.c_str());
    }
    std::string Folder(const std::string& name) const { return path_ + "\\" + name; }
    void Page(const std::string& folder, const std::string& file, const std::string& url) const {
        ASSERT_TRUE(WriteFileBytes(Folder(folder) + "\\" + file, Shortcut(url)));
    }

private:
    std::string path_;
    std::string saved_;
    bool moved_ = false;
};

class SettingsProgramTest : public ::testing::Test {
protected:
    // Starts the program (or its test build) and finds its form and page control.
    void Start(const char* path = KAVISU_PATH) {
        program = std::make_unique<SaverProcess>(FromUnixPath(path), "");
        ASSERT_TRUE(program->Started()) << program->StartError();
        form = WaitForTopWindow(program->Id(), kFormTitle, kStartMs);
        ASSERT_NE(form, nullptr);
        tabs = FindChildOfClass(form, "TVelunorPageControl");
        ASSERT_NE(tabs, nullptr);
        // The first activation fills the lists; wait until the buttons show it.
        const DWORD start = ::GetTickCount();
        while (!FindChild(form, kRemoveCaption) && ::GetTickCount() - start < kStartMs) ::Sleep(50);
    }
    // A page's window by its heading: the page control brings the shown
    // page to the front, so the order of the windows says nothing.
    HWND Sheet(int page) const {
        static const char* const headings[] = {
            "Welcome to Velunor Setup",         "Setting Up Your Page List for Window 1 ",
            "Setting Up Your Page List for Window 2", "Setting Up Your Page List for Window 3",
            "Setting Up Your Advanced Options", "Setting Up Your Durations",
            "Finishing Setup for Velunor"};
        HWND heading = FindChild(form, headings[page], "TVelunorLabel");
        EXPECT_NE(heading, nullptr) << headings[page];
        return heading ? ::GetParent(heading) : nullptr;
    }
    int ShownPage() const {
        for (int page = kBegin; page <= kFinish; ++page)
            if (IsShown(Sheet(page))) return page;
        return -1;
    }
    HWND On(int page, const std::string& text, const std::string& cls = "") const {
        HWND child = FindChild(Sheet(page), text, cls);
        EXPECT_NE(child, nullptr) << text << " on page " << page;
        return child;
    }
    // The control of `cls` in the panel that `prompt` heads on window `window`'s page.
    HWND InPanel(int window, const std::string& prompt, const std::string& cls) const {
        HWND label = On(kList1 + window - 1, prompt, "TVelunorLabel");
        return label ? FindChildOfClass(::GetParent(label), cls) : nullptr;
    }
    HWND ActiveList(int window) const {
        return InPanel(window, "These pages are included in this window's active Page List", "TVelunorListBox");
    }
    HWND Candidates(int window) const {
        return InPanel(window, "These Candidate pages could be added to this window's active Page List",
                       "TVelunorListBox");
    }
    HWND AddressEdit(int window) const { return FindChildOfClass(Sheet(kList1 + window - 1), "TVelunorEdit"); }
    void Click(int page, const std::string& caption) {
        HWND button = On(page, caption);
        if (button) {
            ASSERT_TRUE(ClickButton(button));
        }
    }
    // LInterScreen: the label right of the slider's end label "2 minutes".
    HWND PageTimeLabel() const {
        RECT end = {};
        if (!::GetWindowRect(On(kBegin, "2 minutes", "TVelunorLabel"), &end)) return nullptr;
        for (HWND child : ChildWindows(Sheet(kBegin))) {
            RECT r = {};
            if (ClassOf(child) == "TVelunorLabel" && ::GetWindowRect(child, &r) && r.left >= end.right &&
                r.top < end.bottom && r.bottom > end.top)
                return child;
        }
        ADD_FAILURE() << "no label beside \"2 minutes\"";
        return nullptr;
    }
    size_t LabelsReading(const std::string& text) const {
        size_t n = 0;
        for (HWND child : ChildWindows(form))
            if (ClassOf(child) == "TVelunorLabel" && WindowText(child) == text) ++n;
        return n;
    }
    void ExpectEnds() {
        DWORD code = 1;
        EXPECT_TRUE(program->WaitForExit(kExitMs, &code));
        EXPECT_EQ(code, 0u);
    }

    SettingsRegistry registry;
    ScopedDataFolder data;
    std::unique_ptr<SaverProcess> program;
    HWND form = nullptr;
    HWND tabs = nullptr;
};

}  // namespace

TEST_F(SettingsProgramTest, WithoutKeyOneWindowAndTheDesignedControls) {
    DeleteRegTree(HKEY_LOCAL_MACHINE, kKaviKey);
    Start();
    EXPECT_EQ(TopWindowsTitled(program->Id(), kFormTitle).size(), 1u);
    const LONG style = ::GetWindowLongA(form, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0)
        << "a fixed frame without border icons";
    EXPECT_EQ(TabCount(tabs), 5);  // "Page List 2" and "Page List 3" hidden
    EXPECT_EQ(ShownPage(), kBegin);
    EXPECT_TRUE(IsChecked(On(kBegin, "One Window")));
    EXPECT_FALSE(IsChecked(On(kAdvanced, "Turn off scrolling ")));
    // The page time reached the slider as 0: its minimum shows.
    EXPECT_EQ(LabelsReading("10 seconds"), 2u);
    for (int window = 1; window <= 3; ++window) {
        const int page = kList1 + window - 1;
        On(page, kRemoveCaption);
        On(page, kAddCaption);
        On(page, kAddOneCaption);  // no marker: as designed
        EXPECT_EQ(WindowText(AddressEdit(window)), "http://");
    }
}

TEST_F(SettingsProgramTest, RegistryValuesReachTheControls) {
    struct Case {
        std::map<std::string, std::string> values;
        int tabs;
        bool scrollOff;
        const char* pageTime;
    } cases[] = {
        {{{"DType", " 2 "}, {"Scroll", "y"}, {"InterScreenT", "45"}}, 6, false, "45 seconds"},
        {{{"DType", "3"}, {"Scroll", "Y"}, {"InterScreenT", "120"}}, 7, false, "120 seconds"},
        {{{"DType", "0"}, {"InterScreenT", "130"}}, 5, true, "10 seconds"},  // no "Scroll": checked
        {{{"DType", "4"}, {"Scroll", "n"}, {"InterScreenT", "abc"}}, 5, true, "10 seconds"},
        {{{"DType", "x"}, {"Scroll", "y"}, {"InterScreenT", " 60"}}, 5, false, "60 seconds"},
    };
    for (const auto& c : cases) {
        registry.Clear();
        for (const auto& [name, value] : c.values) registry.Setting(name, value);
        Start();
        SCOPED_TRACE(c.values.at("DType"));
        EXPECT_EQ(TabCount(tabs), c.tabs);
        EXPECT_EQ(IsChecked(On(kAdvanced, "Turn off scrolling ")), c.scrollOff);
        EXPECT_EQ(WindowText(PageTimeLabel()), c.pageTime);
        program.reset();
    }
}

TEST_F(SettingsProgramTest, NextAndBackFollowTheWindowCount) {
    struct Case {
        const char* count;
        std::vector<int> forward;  // pages Next passes from "Begin Setup"
    } cases[] = {
        {"1", {kBegin, kList1, kFinish}},
        {"2", {kBegin, kList1, kList2, kFinish}},
        {"3", {kBegin, kList1, kList2, kList3, kFinish}},
    };
    for (const auto& c : cases) {
        registry.Clear();
        registry.Setting("DType", c.count);
        Start();
        SCOPED_TRACE(c.count);
        for (size_t i = 0; i + 1 < c.forward.size(); ++i) {
            Click(c.forward[i], "&Next");
            EXPECT_EQ(ShownPage(), c.forward[i + 1]);
        }
        // Back from the last list page walks down to "Begin Setup".
        const int lastList = c.forward[c.forward.size() - 2];
        if (lastList != kBegin) {
            ASSERT_TRUE(StepToTab(tabs, lastList));
            for (int page = lastList; page > kBegin; --page) {
                Click(page, "&Back");
                EXPECT_EQ(ShownPage(), page - 1);
            }
        }
        program.reset();
    }
}

TEST_F(SettingsProgramTest, LeavingAnEmptyListByTabIsRefusedButNotByNext) {
    registry.Setting("DType", "1");
    Start();
    Click(kBegin, "&Next");
    ASSERT_EQ(ShownPage(), kList1);
    EXPECT_FALSE(StepToTab(tabs, 2));  // "Advanced Setup" with one window
    EXPECT_EQ(AnswerMessageBox(program->Id(), IDOK, kBoxMs),
              "You must have at least one page in your Page List for Window 1.");
    EXPECT_EQ(ShownPage(), kList1);
    Click(kList1, "&Next");
    EXPECT_EQ(ShownPage(), kFinish);
    EXPECT_EQ(FindMessageBox(BoxOwner::Process(program->Id())), nullptr);
}

TEST_F(SettingsProgramTest, AddOneTakesTheTypedTextAsItIs) {
    Start();
    struct Case {
        const char* typed;
        bool added;
    } cases[] = {{"   ", false}, {"http://", true}, {"  http://a b.example  ", true},
                 {"http://a.example", true}, {"http://a.example", true}};
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        ASSERT_TRUE(SetWindowTextOf(AddressEdit(1), c.typed));
        Click(kList1, kAddOneCaption);
        if (c.added) expected.push_back(c.typed);
        EXPECT_EQ(ListItems(ActiveList(1)), expected) << '"' << c.typed << '"';
        EXPECT_EQ(WindowText(AddressEdit(1)), "http://");
    }
}

TEST_F(SettingsProgramTest, AddAndRemoveMoveSelectedPagesLastFirst) {
    data.Page("Recommended", "a.url", "http://a.example");
    data.Page("Recommended", "b.url", "http://b.example");
    data.Page("Recommended", "c.url", "http://c.example");
    data.Page("Recommended", "d.url", "http://D.example");
    data.Page("Window1", "d.url", "http://d.example");
    Start();
    // The candidate differing only in letter case stays.
    std::vector<std::string> candidates = ListItems(Candidates(1));
    ASSERT_EQ(candidates.size(), 4u);
    EXPECT_NE(std::find(candidates.begin(), candidates.end(), "http://D.example"), candidates.end());
    EXPECT_EQ(ListItems(Candidates(2)).size(), 4u);  // window 2 has an empty list

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(SelectListItem(Candidates(1), i, true));
    Click(kList1, kAddCaption);
    EXPECT_EQ(ListItems(ActiveList(1)),
              (std::vector<std::string>{"http://d.example", candidates[2], candidates[1], candidates[0]}));
    EXPECT_EQ(ListItems(Candidates(1)), (std::vector<std::string>{candidates[3]}));

    // The last page added is the current item, and selected with it.
    ASSERT_TRUE(SelectListItem(ActiveList(1), 3, false));
    ASSERT_TRUE(SelectListItem(ActiveList(1), 0, true));
    ASSERT_TRUE(SelectListItem(ActiveList(1), 2, true));
    Click(kList1, kRemoveCaption);
    EXPECT_EQ(ListItems(ActiveList(1)), (std::vector<std::string>{candidates[2], candidates[0]}));
    EXPECT_EQ(ListItems(Candidates(1)),
              (std::vector<std::string>{candidates[3], candidates[1], "http://d.example"}));
}

TEST_F(SettingsProgramTest, DiscardAsksAndLeavesEverythingAsItWas) {
    registry.Setting("DType", "2");
    registry.Setting("InterScreenT", "30");
    data.Page("Window1", "a.url", "http://a.example");
    RegistryTree before;
    ASSERT_TRUE(ReadRegistryTree(HKEY_LOCAL_MACHINE, kKaviKey, before));
    const auto filesBefore = FolderFiles(data.Folder("Window1"));
    Start();
    ASSERT_TRUE(SetWindowTextOf(AddressEdit(1), "http://b.example"));
    Click(kList1, kAddOneCaption);
    ASSERT_TRUE(ClickButton(On(kBegin, "&Discard Changes and Exit")));
    EXPECT_EQ(AnswerMessageBox(program->Id(), IDNO, kBoxMs),
              "Are you sure you want to exit now and discard your changes?");
    EXPECT_TRUE(program->Running());
    EXPECT_EQ(ListItems(ActiveList(1)), (std::vector<std::string>{"http://a.example", "http://b.example"}));

    ASSERT_TRUE(ClickButton(On(kFinish, "&Discard Changes and Exit")));
    AnswerMessageBox(program->Id(), IDYES, kBoxMs);
    ExpectEnds();
    RegistryTree after;
    ASSERT_TRUE(ReadRegistryTree(HKEY_LOCAL_MACHINE, kKaviKey, after));
    EXPECT_EQ(after.values.size(), before.values.size());
    for (const auto& [name, value] : before.values) EXPECT_EQ(after.values[name].bytes, value.bytes) << name;
    EXPECT_EQ(FolderFiles(data.Folder("Window1")), filesBefore);
}

TEST_F(SettingsProgramTest, ASecondStartEndsAtOnceButAForeignWindowOfTheTitleDoesNotStopIt) {
    // A window titled as the program's application window, of another class
    // (a folder of that name in the file manager, say).
    SaverProcess foreign(FromUnixPath(OPEN_WINDOW_PATH), "\"Velunor Setup\" 60");
    ASSERT_TRUE(foreign.Started()) << foreign.StartError();
    ASSERT_NE(WaitForTopWindow(foreign.Id(), "Velunor Setup", kStartMs), nullptr);
    Start();

    SaverProcess second(FromUnixPath(KAVISU_PATH), "");
    ASSERT_TRUE(second.Started()) << second.StartError();
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(kExitMs, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(TopWindowsTitled(program->Id(), kFormTitle).size(), 1u);
    EXPECT_TRUE(program->Running());
}

namespace {

// Runs the screen saver's test build, which logs each navigation, on what the
// folders and the registry hold now, until each pane has navigated to its
// address (at most the start time), and ends it.
void ExpectSaverShows(const std::vector<std::pair<std::string, std::string>>& paneAddresses) {
    TempFolder logFolder{"saver-showing"};
    const std::string log = logFolder / "saver.log";
    ::SetEnvironmentVariableA("VELUNOR_SAVER_LOG", log.c_str());
    SaverProcess saver(FromUnixPath(VELUNOR_TEST_SAVER_PATH), "/s");
    ::SetEnvironmentVariableA("VELUNOR_SAVER_LOG", nullptr);
    ASSERT_TRUE(saver.Started()) << saver.StartError();
    auto shown = [&](const std::string& pane, const std::string& url) {
        const std::string text = ReadFileBytes(log);
        for (size_t at = text.find(" navigate " + pane + " "); at != std::string::npos;
             at = text.find(" navigate " + pane + " ", at + 1)) {
            const size_t end = text.find("\r\n", at);
            if (end != std::string::npos && end - at >= url.size() &&
                text.compare(end - url.size(), url.size(), url) == 0)
                return true;
        }
        return false;
    };
    auto allShown = [&] {
        for (const auto& [pane, url] : paneAddresses)
            if (!shown(pane, url)) return false;
        return true;
    };
    const DWORD start = ::GetTickCount();
    while (!allShown() && ::GetTickCount() - start < kStartMs) ::Sleep(50);
    for (const auto& [pane, url] : paneAddresses)
        EXPECT_TRUE(shown(pane, url)) << "pane " << pane << " " << url << " in " << ReadFileBytes(log);
    HWND showing = saver.WaitForWindow("TForm1", kStartMs);
    ASSERT_NE(showing, nullptr);
    ::PostMessageA(showing, saver::kEndSaverMessage, 0, 0);
    EXPECT_TRUE(saver.WaitForExit(kExitMs));
}

// The visible top-level windows of every program.
BOOL CALLBACK CollectShown(HWND wnd, LPARAM param) {
    if (::IsWindowVisible(wnd)) reinterpret_cast<std::set<HWND>*>(param)->insert(wnd);
    return TRUE;
}
std::set<HWND> ShownTopWindows() {
    std::set<HWND> shown;
    ::EnumWindows(CollectShown, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

}  // namespace

TEST_F(SettingsProgramTest, TheTaskbarButtonAndASecondStartBringTheWizardBack) {
    // How the user lost the wizard, and how it comes back: the taskbar's
    // click on the button minimizes (a command) and restores it, the shell
    // may minimize it outright, and another program can simply lie on top.
    // The second copy activates the button's window from another process,
    // as the taskbar does for a button that is not minimized.
    enum class Away { Behind, MinimizedByButton, MinimizedByShell };
    enum class Back { SecondStart, ButtonClicked };
    const struct Case {
        const char* name;
        Away away;
        Back back;
    } cases[] = {
        {"behind another program, second start", Away::Behind, Back::SecondStart},
        {"minimized by its button, second start", Away::MinimizedByButton, Back::SecondStart},
        {"minimized by the shell, second start", Away::MinimizedByShell, Back::SecondStart},
        {"minimized by its button, restored by it", Away::MinimizedByButton, Back::ButtonClicked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        ASSERT_NE(form, nullptr);
        // One button, the application's, titled as the second start looks
        // for it; the form has none of its own.
        const std::vector<HWND> buttons = TaskbarWindows(program->Id());
        ASSERT_EQ(buttons.size(), 1u);
        HWND button = buttons.front();
        EXPECT_EQ(WindowText(button), "Velunor Setup");
        EXPECT_NE(button, form);

        PlainWindow other("SettingsOtherProgram", "Other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200);
        ASSERT_TRUE(BringToForeground(other.Handle(), 3000));
        if (c.away == Away::MinimizedByButton) ::PostMessageA(button, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        if (c.away == Away::MinimizedByShell) ::ShowWindow(button, SW_MINIMIZE);
        if (c.away != Away::Behind) {
            EXPECT_TRUE(PumpUntil([&] { return ::IsIconic(button) && !::IsWindowVisible(form); }, 5000))
                << "the form hides with its minimized button";
        }
        ASSERT_TRUE(BringToForeground(other.Handle(), 3000));
        const std::set<HWND> before = ShownTopWindows();

        if (c.back == Back::SecondStart) {
            SaverProcess second(FromUnixPath(KAVISU_PATH), "");
            ASSERT_TRUE(second.Started()) << second.StartError();
            DWORD code = 1;
            EXPECT_TRUE(second.WaitForExit(kExitMs, &code));
            EXPECT_EQ(code, 0u);
        } else {
            ::PostMessageA(button, WM_SYSCOMMAND, SC_RESTORE, 0);
            ::SetForegroundWindow(button);
        }
        // In the foreground with the keys going to it: the focus on the form
        // or one of its controls.
        const auto focusOnForm = [&] {
            const HWND focus = FocusOfThread(form);
            return focus == form || ::IsChild(form, focus);
        };
        EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == form && focusOnForm(); }, 5000))
            << "the foreground is " << ClassOf(::GetForegroundWindow()) << " \""
            << WindowText(::GetForegroundWindow()) << "\", the focus on " << ClassOf(FocusOfThread(form));
        EXPECT_TRUE(::IsWindowVisible(form));
        EXPECT_FALSE(::IsIconic(button));
        EXPECT_FALSE(::IsIconic(form));
        // Nothing new on the screen: what was there, and the wizard again.
        std::set<HWND> expected = before;
        expected.insert(form);
        EXPECT_EQ(ShownTopWindows(), expected);
        EXPECT_EQ(TopWindowsTitled(program->Id(), kFormTitle).size(), 1u);
        EXPECT_TRUE(program->Running());
        program.reset();
    }
}

TEST_F(SettingsProgramTest, SaveWritesTheRegistryAndTheWindowFoldersAndEnds) {
    registry.Setting("DType", "2");
    registry.Setting("Scroll", "y");
    registry.Setting("ScrollVScrollT", "40");
    registry.Setting("InterScreenT", "50");
    registry.Setting("DurationTimeS", "5");
    registry.Setting("DurationTime", "60");
    registry.Setting("MalotaPo", "y");
    data.Page("Window1", "old.url", "http://old.example");
    data.Page("Window2", "two.url", "http://two.example");
    data.Page("Window3", "three.url", "http://three.example");
    Start();
    ASSERT_TRUE(SelectListItem(ActiveList(1), 0, true));
    Click(kList1, kRemoveCaption);  // "old" leaves window 1
    ASSERT_TRUE(SetWindowTextOf(AddressEdit(1), "http://new.example/"));
    Click(kList1, kAddOneCaption);
    ASSERT_TRUE(SetWindowTextOf(AddressEdit(3), "https://x"));
    Click(kList3, kAddOneCaption);  // window 3 is not in use, but its list is saved
    ASSERT_TRUE(ClickButton(On(kAdvanced, "Turn off scrolling ")));
    Click(kFinish, "&Save Changes and Exit");
    ExpectEnds();

    const std::map<std::string, std::string> expected = {
        {"DType", "2"},         {"Scroll", "n"},      {"ScrollVScrollT", "40"}, {"ScrollVScrollY", "1"},
        {"InterScreenT", "50"}, {"DurationUse", "y"}, {"DurationTimeS", "5"},   {"DurationTime", "60"},
        {"MalotaPo", "y"}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, kKaviKey, name), value) << name;
    using Files = std::map<std::string, std::string>;
    EXPECT_EQ(FolderFiles(data.Folder("Window1")), (Files{{"new.example.url", Shortcut("http://new.example/")}}));
    EXPECT_EQ(FolderFiles(data.Folder("Window2")), (Files{{"two.example.url", Shortcut("http://two.example")}}));
    EXPECT_EQ(FolderFiles(data.Folder("Window3")),
              (Files{{"three.example.url", Shortcut("http://three.example")},
                     {"https---x.url", Shortcut("https://x")}}));

    // The screen saver shows the saved pages in its two panes.
    ExpectSaverShows({{"1", "http://new.example/"}, {"2", "http://two.example"}});
}

TEST_F(SettingsProgramTest, SaveRefusesAnEmptyListInUseAndShowsItsPage) {
    registry.Setting("DType", "2");
    data.Page("Window1", "a.url", "http://a.example");
    Start();
    ASSERT_TRUE(ClickButton(On(kFinish, "&Save Changes and Exit")));
    EXPECT_EQ(AnswerMessageBox(program->Id(), IDOK, kBoxMs),
              "You must have at least one page in your Page List for Window 2.");
    EXPECT_EQ(ShownPage(), kList2);
    EXPECT_TRUE(program->Running());
    EXPECT_EQ(FolderFiles(data.Folder("Window1")).size(), 1u);
}

TEST_F(SettingsProgramTest, AfterRemoveAndAddNothingIsHighlightedThatTheUserDidNotHighlight) {
    data.Page("Recommended", "a.url", "http://a.example");
    data.Page("Recommended", "b.url", "http://b.example");
    data.Page("Window1", "p.url", "http://p.example");
    data.Page("Window1", "q.url", "http://q.example");
    Start();
    const std::vector<std::string> active = ListItems(ActiveList(1));
    ASSERT_EQ(active.size(), 2u);
    const std::vector<std::string> candidates = ListItems(Candidates(1));
    ASSERT_EQ(candidates.size(), 2u);

    ASSERT_TRUE(SelectListItem(ActiveList(1), 0, true));
    Click(kList1, kRemoveCaption);
    EXPECT_EQ(ListItems(Candidates(1)), (std::vector<std::string>{candidates[0], candidates[1], active[0]}));
    EXPECT_EQ(ListSelection(Candidates(1)), std::vector<bool>(3, false));
    EXPECT_EQ(ListSelection(ActiveList(1)), std::vector<bool>{false});

    // Add with nothing highlighted moves nothing.
    Click(kList1, kAddCaption);
    EXPECT_EQ(ListItems(ActiveList(1)), (std::vector<std::string>{active[1]}));
    EXPECT_EQ(ListItems(Candidates(1)).size(), 3u);

    ASSERT_TRUE(SelectListItem(Candidates(1), 1, true));
    Click(kList1, kAddCaption);
    EXPECT_EQ(ListItems(ActiveList(1)), (std::vector<std::string>{active[1], candidates[1]}));
    EXPECT_EQ(ListSelection(ActiveList(1)), (std::vector<bool>{false, true}));  // the page just added
    EXPECT_EQ(ListSelection(Candidates(1)), std::vector<bool>(2, false));
    // Remove again with nothing chosen in the candidates: their list stays unhighlighted.
    Click(kList1, kRemoveCaption);
    EXPECT_EQ(ListItems(ActiveList(1)), (std::vector<std::string>{active[1]}));
    EXPECT_EQ(ListSelection(Candidates(1)), std::vector<bool>(3, false));
}

// Long lists, scrolled down and highlighted by the user: a remove and an add
// move only their pages, and each list stays where the user left it.
TEST_F(SettingsProgramTest, AddAndRemoveKeepEachListsScrollPositionAndTheOtherHighlights) {
    constexpr int kPages = 40;
    for (int i = 0; i < kPages; ++i) {
        const std::string n = std::to_string(100 + i);
        data.Page("Window1", "p" + n + ".url", "http://p" + n + ".example");
        data.Page("Recommended", "r" + n + ".url", "http://r" + n + ".example");
    }
    Start();
    HWND active = ActiveList(1), candidates = Candidates(1);
    ASSERT_EQ(ListItems(active).size(), static_cast<size_t>(kPages));
    ASSERT_EQ(ListItems(candidates).size(), static_cast<size_t>(kPages));
    const std::vector<std::string> before = ListItems(active);
    const std::vector<std::string> candidatesBefore = ListItems(candidates);
    for (int i : {3, 20}) ASSERT_TRUE(SelectListItem(candidates, i, true));
    for (int i : {12, 15}) ASSERT_TRUE(SelectListItem(active, i, true));
    // Scrolled after the highlights, which bring their item into view.
    const auto top = [](HWND list) { return static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0)); };
    ::SendMessageA(active, LB_SETTOPINDEX, 10, 0);
    ::SendMessageA(candidates, LB_SETTOPINDEX, 5, 0);
    ASSERT_EQ(top(active), 10);
    ASSERT_EQ(top(candidates), 5);
    Click(kList1, kRemoveCaption);
    std::vector<std::string> expected = before;
    expected.erase(expected.begin() + 15);
    expected.erase(expected.begin() + 12);
    EXPECT_EQ(ListItems(active), expected);
    EXPECT_EQ(top(active), 10);
    EXPECT_EQ(ListSelection(active), std::vector<bool>(expected.size(), false));
    std::vector<std::string> expectedCandidates = candidatesBefore;
    expectedCandidates.push_back(before[15]);
    expectedCandidates.push_back(before[12]);
    EXPECT_EQ(ListItems(candidates), expectedCandidates);
    EXPECT_EQ(top(candidates), 5);
    std::vector<bool> highlighted(expectedCandidates.size(), false);
    highlighted[3] = highlighted[20] = true;  // the user's, on the pages they were on
    EXPECT_EQ(ListSelection(candidates), highlighted);

    // Adding the two highlighted candidates: the candidate list keeps its
    // place, the active list shows the page just added, its current item.
    Click(kList1, kAddCaption);
    expectedCandidates.erase(expectedCandidates.begin() + 20);
    expectedCandidates.erase(expectedCandidates.begin() + 3);
    EXPECT_EQ(ListItems(candidates), expectedCandidates);
    EXPECT_EQ(top(candidates), 5);
    expected.push_back(candidatesBefore[20]);
    expected.push_back(candidatesBefore[3]);
    EXPECT_EQ(ListItems(active), expected);
    std::vector<bool> current(expected.size(), false);
    current.back() = true;
    EXPECT_EQ(ListSelection(active), current);
    RECT last = {}, client = {};
    ::SendMessageA(active, LB_GETITEMRECT, expected.size() - 1, reinterpret_cast<LPARAM>(&last));
    ::GetClientRect(active, &client);
    EXPECT_TRUE(last.top >= client.top && last.bottom <= client.bottom) << "the page added is out of sight";
    // Scrolled no further than it takes to show it.
    const int visible = (client.bottom - client.top) / (last.bottom - last.top);
    EXPECT_EQ(top(active), static_cast<int>(expected.size()) - visible);
}

TEST_F(SettingsProgramTest, TwoWindowClickedWithTheMouseShowsPageList2AndStaysOnBeginSetup) {
    registry.Setting("DType", "1");
    Start();
    ASSERT_EQ(TabCaptions(tabs), (std::vector<std::string>{"Begin Setup", "Page List 1", "Advanced Setup",
                                                            "Durations", "Finish Setup"}));
    HWND two = On(kBegin, "Two Window");
    ASSERT_TRUE(ClickWithMouse(two));
    const DWORD start = ::GetTickCount();
    while (!IsChecked(two) && ::GetTickCount() - start < kBoxMs) ::Sleep(20);
    EXPECT_TRUE(IsChecked(two));
    EXPECT_FALSE(IsChecked(On(kBegin, "One Window")));
    EXPECT_EQ(TabCaptions(tabs), (std::vector<std::string>{"Begin Setup", "Page List 1", "Page List 2",
                                                            "Advanced Setup", "Durations", "Finish Setup"}));
    EXPECT_EQ(CurrentTab(tabs), 0);
    EXPECT_EQ(ShownPage(), kBegin);
    // Next now passes "Page List 2".
    Click(kBegin, "&Next");
    Click(kList1, "&Next");
    EXPECT_EQ(ShownPage(), kList2);
}

TEST_F(SettingsProgramTest, EveryButtonShowsItsGlyph) {
    registry.Setting("DType", "3");
    for (const char* window : {"Window1", "Window2", "Window3"}) data.Page(window, "a.url", "http://a.example");
    Start();
    // The colour each kind of button's glyph is drawn in.
    const COLORREF navy = RGB(0, 0, 128), green = RGB(0, 128, 0), maroon = RGB(128, 0, 0);
    const std::map<std::string, COLORREF> glyphColours = {
        {"&Next", navy},         {"&Back", navy},          {"&Save Changes and Exit", green},
        {kAddCaption, green},    {kAddOneCaption, green},  {"&Discard Changes and Exit", maroon},
        {kRemoveCaption, maroon}};
    size_t buttons = 0;
    for (int page = kBegin; page <= kFinish; ++page) {
        ASSERT_TRUE(StepToTab(tabs, page));
        const DWORD start = ::GetTickCount();
        while (!IsShown(Sheet(page)) && ::GetTickCount() - start < kBoxMs) ::Sleep(20);
        ::Sleep(200);  // painted
        for (HWND child : ChildWindows(Sheet(page))) {
            if (ClassOf(child) != "TVelunorBitBtn") continue;
            const std::string caption = WindowText(child);
            SCOPED_TRACE(caption + " on page " + std::to_string(page));
            ASSERT_EQ(glyphColours.count(caption), 1u);
            // The shapes cover 40 to 100 of their cell's 256 pixels.
            EXPECT_GE(ScreenPixelsOf(child, glyphColours.at(caption)), 30);
            ++buttons;
        }
    }
    EXPECT_GT(buttons, 0u);
}

namespace {

using Files = std::map<std::string, std::string>;

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

}  // namespace

TEST_F(SettingsProgramTest, ASaveEndedAtAnyStepLeavesTheOldOrTheNewListAndTheNextSaveTheNew) {
    // Window 1 goes from {a, gone} to {a at another address, new}: a file
    // replaced under its own name, one deleted, one added.
    const std::vector<std::string> oldList = {"http://a.example/", "http://gone.example"};
    const std::vector<std::string> newList = {"http://a.example", "http://new.example"};
    const Files newFiles = {{"a.example.url", Shortcut("http://a.example")},
                            {"new.example.url", Shortcut("http://new.example")}};
    auto lay = [&] {
        for (const char* folder : {"Window1", "Window1.new", "Window1.old"}) RemoveTree(data.Folder(folder));
        ASSERT_TRUE(::CreateDirectoryA(data.Folder("Window1").c_str(), nullptr));
        data.Page("Window1", "a.example.url", oldList[0]);
        data.Page("Window1", "gone.example.url", oldList[1]);
    };
    // From the old list to the new one, as the user does it.
    auto edit = [&] {
        for (size_t i = 0; i < oldList.size(); ++i) ASSERT_TRUE(SelectListItem(ActiveList(1), static_cast<int>(i), true));
        Click(kList1, kRemoveCaption);
        for (const std::string& address : newList) {
            ASSERT_TRUE(SetWindowTextOf(AddressEdit(1), address));
            Click(kList1, kAddOneCaption);
        }
        ASSERT_EQ(Sorted(ListItems(ActiveList(1))), newList);
    };
    TempFolder logFolder{"save-steps"};
    const std::string log = logFolder / "steps.log";

    bool sawOld = false, sawNew = false;
    for (int k = 1; k < 100; ++k) {
        SCOPED_TRACE("ended before step " + std::to_string(k));
        lay();
        ::DeleteFileA(log.c_str());
        ::SetEnvironmentVariableA(kSaveStepLogVariable, log.c_str());
        ::SetEnvironmentVariableA(kSaveEndAtVariable, std::to_string(k).c_str());
        Start(KAVISU_TEST_PATH);
        ::SetEnvironmentVariableA(kSaveEndAtVariable, nullptr);
        ::SetEnvironmentVariableA(kSaveStepLogVariable, nullptr);
        edit();
        ClickButton(On(kList1, "&Save Changes and Exit"));  // no answer when the process ends in it
        DWORD code = 0;
        ASSERT_TRUE(program->WaitForExit(kExitMs, &code));
        if (code == 0) {  // every step was taken: the save is whole
            EXPECT_EQ(FolderFiles(data.Folder("Window1")), newFiles);
            const std::string steps = ReadFileBytes(log);
            EXPECT_NE(steps.find("move "), std::string::npos) << steps;
            EXPECT_NE(steps.find("make folder "), std::string::npos) << steps;
            break;
        }
        ASSERT_EQ(code, kEndedAtStepExitCode);
        SCOPED_TRACE("after " + ReadFileBytes(log));

        Start();
        const std::vector<std::string> shown = Sorted(ListItems(ActiveList(1)));
        EXPECT_TRUE(shown == oldList || shown == newList) << ::testing::PrintToString(shown);
        sawOld = sawOld || shown == oldList;
        sawNew = sawNew || shown == newList;
        if (shown == oldList) edit();
        Click(kList1, "&Save Changes and Exit");
        ExpectEnds();
        EXPECT_EQ(FolderFiles(data.Folder("Window1")), newFiles);
        EXPECT_FALSE(FileExists(data.Folder("Window1.new")));
        EXPECT_FALSE(FileExists(data.Folder("Window1.old")));
    }
    EXPECT_TRUE(sawOld);
    EXPECT_TRUE(sawNew);
}

TEST_F(SettingsProgramTest, AHalfDoneSaveThatCannotBeUndoneAtStartIsReportedAndTheNextSaveKeepsEveryPage) {
    // The last save was ended half way: a and b still in Window1, c and d
    // already aside, the new list staged, no commit mark. A folder named
    // c.url in Window1 keeps c from going back (as a file held open would).
    data.Page("Window1", "a.url", "http://a.example");
    data.Page("Window1", "b.url", "http://b.example");
    for (const char* folder : {"Window1.old", "Window1.new", "Window1\\c.url"})
        ASSERT_TRUE(::CreateDirectoryA(data.Folder(folder).c_str(), nullptr)) << folder;
    data.Page("Window1.old", "c.url", "http://c.example");
    data.Page("Window1.old", "d.url", "http://d.example");
    data.Page("Window1.new", "new.example.url", "http://new.example");
    Start();
    EXPECT_EQ(AnswerMessageBox(program->Id(), IDOK, kBoxMs),
              "Unable to recover the Page List for Window 1. Unable to move back, and kept in " +
                  data.Folder("Window1.old") + ": c.url. Its pages are in " + data.Folder("Window1") + " and " +
                  data.Folder("Window1.old"));
    // Every page the window has, the folder in the way as an empty one.
    EXPECT_EQ(Sorted(ListItems(ActiveList(1))),
              (std::vector<std::string>{"", "http://a.example", "http://b.example", "http://c.example",
                                        "http://d.example"}));

    // The cause goes; the user saves without touching the list.
    ASSERT_TRUE(::RemoveDirectoryA(data.Folder("Window1\\c.url").c_str()));
    Click(kList1, "&Save Changes and Exit");
    ExpectEnds();
    EXPECT_EQ(FolderFiles(data.Folder("Window1")),
              (Files{{"a.example.url", Shortcut("http://a.example")},
                     {"b.example.url", Shortcut("http://b.example")},
                     {"c.example.url", Shortcut("http://c.example")},
                     {"d.example.url", Shortcut("http://d.example")}}));
    EXPECT_FALSE(FileExists(data.Folder("Window1.new")));
    EXPECT_FALSE(FileExists(data.Folder("Window1.old")));
}

TEST_F(SettingsProgramTest, APageNamedInAnotherScriptShowsAndSavesAndASubFolderKeepsItsPage) {
    ASSERT_TRUE(AnsiCannotSpell(kJapanesePageName));
    // Made by its wide name, as a browser saving a favourite titled in Japanese does.
    ASSERT_TRUE(WriteFileBytes(velfw::AnsiToWide(data.Folder("Window1")) + L"\\" + kJapanesePageName,
                               Shortcut("http://jp.example/page")));
    ASSERT_TRUE(::CreateDirectoryA(data.Folder("Window1\\kept").c_str(), nullptr));
    data.Page("Window1\\kept", "inner.url", "http://inner.example");

    ExpectSaverShows({{"1", "http://jp.example/page"}});

    Start();
    // The sub-folder is an entry of the folder: an empty page.
    EXPECT_EQ(Sorted(ListItems(ActiveList(1))), (std::vector<std::string>{"", "http://jp.example/page"}));
    Click(kList1, "&Save Changes and Exit");
    ExpectEnds();
    EXPECT_EQ(FolderFiles(data.Folder("Window1")), (Files{{"jp.example-page.url", Shortcut("http://jp.example/page")}}));
    EXPECT_EQ(FolderFiles(data.Folder("Window1\\kept")), (Files{{"inner.url", Shortcut("http://inner.example")}}));
}
