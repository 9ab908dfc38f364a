// The shipped saver, unchanged, on the scripted browser control: registered
// in the prefix in place of the system's control, it completes, scrolls,
// fails and opens pop-ups as each test's script says, and its log shows
// every call the saver made. The saver runs in real time, so each test is
// one showing of about half a minute that several checks read.
#include <gtest/gtest.h>

#include <windows.h>
#include <mshtmhst.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "MessageBoxes.h"
#include "RealInput.h"
#include "ScriptedControl.h"
#include "SaverMessages.h"
#include "ShowingInstall.h"

using namespace testing_support;

namespace {

const std::string kSaver = FromUnixPath(VELUNOR_SAVER_PATH);
const std::string kControl = FromUnixPath(SCRIPTED_CONTROL_PATH);

constexpr DWORD kPageMs = 10000;       // "InterScreenT" 10, the shortest page time
constexpr DWORD kGiveUpMs = 20000;     // a page that never completes
constexpr DWORD kLateMs = 1500;        // ticks, the debug panel and a busy host
constexpr long kScrollIntervalMs = 100;
constexpr long kScrollStep = 5;

// One line of the control's log: "<tick> #<browser> <text>".
struct Entry {
    DWORD tick = 0;
    int browser = 0;
    std::string text;
};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// The control's log, read after the showing.
class ControlLog {
public:
    explicit ControlLog(const std::string& file) {
        std::istringstream lines(ReadFileBytes(file));
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            Entry e;
            std::istringstream words(line);
            std::string number;
            if (!(words >> e.tick >> number) || number.size() < 2 || number[0] != '#') continue;
            e.browser = std::atoi(number.c_str() + 1);
            std::getline(words >> std::ws, e.text);
            entries_.push_back(e);
        }
    }

    const std::vector<Entry>& Entries() const { return entries_; }
    std::vector<Entry> Of(int browser) const {
        std::vector<Entry> of;
        for (const Entry& e : entries_)
            if (e.browser == browser) of.push_back(e);
        return of;
    }
    // The browser's first line that starts so; null when there is none.
    const Entry* First(int browser, const std::string& prefix) const {
        for (const Entry& e : entries_)
            if (e.browser == browser && StartsWith(e.text, prefix)) return &e;
        return nullptr;
    }
    const Entry* Last(int browser, const std::string& prefix) const {
        const Entry* last = nullptr;
        for (const Entry& e : entries_)
            if (e.browser == browser && StartsWith(e.text, prefix)) last = &e;
        return last;
    }
    int Count(int browser, const std::string& prefix) const {
        int n = 0;
        for (const Entry& e : entries_) n += e.browser == browser && StartsWith(e.text, prefix);
        return n;
    }
    bool Has(const std::string& text) const {
        for (const Entry& e : entries_)
            if (e.text == text) return true;
        return false;
    }
    std::vector<int> Browsers() const {
        std::vector<int> numbers;
        for (const Entry& e : entries_)
            if (e.text == "create") numbers.push_back(e.browser);
        return numbers;
    }
    std::string AddressOf(int browser) const {
        const Entry* e = First(browser, "navigate ");
        return e ? e->text.substr(9) : std::string();
    }
    // Where the browser showed last: "<x>,<y> <w>x<h>".
    std::string PlaceOf(int browser) const {
        const Entry* e = Last(browser, "place ");
        return e ? e->text.substr(6) : std::string();
    }

private:
    std::vector<Entry> entries_;
};

struct Screen {
    int w = ::GetSystemMetrics(SM_CXSCREEN);
    int h = ::GetSystemMetrics(SM_CYSCREEN);
    int h1 = 2 * h / 3;
    int w2 = w / 2;
};

// Where a browser shows that fills a pane of these bounds inside its
// 1-pixel bevel, as the control logs it.
std::string PlaceInPane(int left, int top, int width, int height) {
    return std::to_string(left + 1) + "," + std::to_string(top + 1) + " " + std::to_string(width - 2) + "x" +
           std::to_string(height - 2);
}

// The pane a browser showed in with `panes` panes on the screen, told by
// its place; 0 when it showed in none of them.
int PaneInLayout(const ControlLog& log, int browser, int panes) {
    const Screen s;
    std::vector<std::string> places;
    if (panes == 1) {
        places = {PlaceInPane(0, 0, s.w, s.h)};
    } else if (panes == 2) {
        places = {PlaceInPane(0, 0, s.w, s.h1), PlaceInPane(0, s.h1, s.w, s.h - s.h1)};
    } else {
        places = {PlaceInPane(0, 0, s.w, s.h1), PlaceInPane(0, s.h1, s.w2, s.h - s.h1),
                  PlaceInPane(s.w2, s.h1, s.w - s.w2, s.h - s.h1)};
    }
    const auto at = std::find(places.begin(), places.end(), log.PlaceOf(browser));
    return at == places.end() ? 0 : static_cast<int>(at - places.begin()) + 1;
}

// The showing: the sample installation with two panes, the scripted control
// registered, its script and its log.
class ShippedScriptedTest : public ShowingInstallTest {
protected:
    void SetUp() override {
        ShowingInstallTest::SetUp();
        registration_ = std::make_unique<ScriptedControlRegistration>(kControl);
        ASSERT_TRUE(registration_->Registered()) << "cannot register " << kControl;
        log_ = logFolder_ / "control.log";
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_LOG", log_.c_str());
        Setting("ScrollVScrollT", std::to_string(kScrollIntervalMs));
        Setting("ScrollVScrollY", std::to_string(kScrollStep));
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_LOG", nullptr);
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_SCRIPT", nullptr);
        registration_.reset();
        ShowingInstallTest::TearDown();
    }
    void Script(const std::string& text) {
        const std::string script = logFolder_ / "script.txt";
        WriteFileBytes(script, text);
        ::SetEnvironmentVariableA("VELUNOR_STANDIN_SCRIPT", script.c_str());
    }
    ControlLog Log() const { return ControlLog(log_); }
    // The number of panes ("DType") of the showing.
    void UsePanes(int n) {
        Setting("DType", std::to_string(n));
        panes_ = n;
    }
    int PaneOf(const ControlLog& log, int browser) const { return PaneInLayout(log, browser, panes_); }

    // The addresses each pane showed, in order.
    std::map<int, std::vector<std::string>> Shown(const ControlLog& log) const {
        std::map<int, std::vector<std::string>> shown;
        for (int b : log.Browsers())
            if (log.First(b, "navigate ")) shown[PaneOf(log, b)].push_back(log.AddressOf(b));
        return shown;
    }
    std::vector<int> BrowsersOfPane(const ControlLog& log, int pane) const {
        std::vector<int> of;
        for (int b : log.Browsers())
            if (PaneOf(log, b) == pane) of.push_back(b);
        return of;
    }

    // Runs the saver until `done` holds for the log (or `ms` pass), noting
    // every address the desktop shortcut named meanwhile; then ends it with
    // the request message and waits for it to go.
    void Show(const std::function<bool(const ControlLog&)>& done, DWORD ms) {
        SaverProcess saver(kSaver, "/s");
        ASSERT_TRUE(saver.Started()) << saver.StartError();
        HWND form = saver.WaitForWindow("TForm1", 20000);
        ASSERT_NE(form, nullptr);
        const auto noteShortcut = [&] {
            const std::string url = ShortcutUrl();
            if (!url.empty() && (lastSeen.empty() || lastSeen.back() != url)) lastSeen.push_back(url);
        };
        const bool reached = PumpUntil(
            [&] {
                noteShortcut();
                if (!saver.Running()) return true;
                // Every failure of a page is the saver's own business: the
                // user never sees a box.
                if (HWND box = FindMessageBox(BoxOwner::Process(saver.Id()))) {
                    ADD_FAILURE() << "the saver showed a message box: \"" << MessageBoxText(box) << "\"";
                    CloseMessageBox(box, 5000);
                }
                return done(Log());
            },
            ms);
        EXPECT_TRUE(saver.Running()) << "the saver ended by itself";
        EXPECT_TRUE(reached) << "the showing did not get that far";
        ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
        DWORD code = 1;
        EXPECT_TRUE(saver.WaitForExit(20000, &code));
        EXPECT_EQ(code, 0u);
        // The poll that saw the last page may have come before its shortcut
        // was written; once the saver has ended the shortcut is final.
        noteShortcut();
    }

    std::string ShortcutUrl() const {
        const std::string text = ReadFileBytes(shortcut);
        const size_t at = text.find("url=");
        if (at == std::string::npos) return "";
        const size_t end = text.find_first_of("\r\n", at);
        return text.substr(at + 4, end == std::string::npos ? std::string::npos : end - at - 4);
    }

    // What every control of a showing went through, whatever its page: the
    // host's answers when it was made, the Visible property before the
    // page, one page per control, and its freeing.
    void ExpectEveryControlMadeAnewAndFreed(const ControlLog& log) const {
        const std::vector<int> browsers = log.Browsers();
        ASSERT_FALSE(browsers.empty()) << "the saver did not create the scripted control: the prefix kept the "
                                          "system's";
        EXPECT_FALSE(log.Has("unanswered call to")) << "the host called a method the control does not answer";
        const std::string hostInfo = "hostinfo 0x0 size=" + std::to_string(sizeof(DOCHOSTUIINFO)) +
                                     " flags=0x0 doubleclick=0";
        for (int b : browsers) {
            SCOPED_TRACE("browser #" + std::to_string(b) + " " + log.AddressOf(b));
            EXPECT_NE(PaneOf(log, b), 0) << log.PlaceOf(b);
            EXPECT_EQ(log.Count(b, "navigate "), 1) << "one page per control";
            const Entry* navigate = log.First(b, "navigate ");
            const Entry* visible = log.First(b, "put Visible 1");
            ASSERT_NE(navigate, nullptr);
            ASSERT_NE(visible, nullptr);
            EXPECT_LE(visible->tick, navigate->tick);
            // Construction tells the control twice that the download options
            // changed; it then reads the default options.
            EXPECT_EQ(log.Count(b, "ambient change -5512"), 2);
            const Entry* dl = log.Last(b, "ambient dlcontrol");
            ASSERT_NE(dl, nullptr);
            EXPECT_EQ(dl->text, "ambient dlcontrol 0x70");
            if (log.First(b, "event NavigateComplete2")) {
                const Entry* info = log.First(b, "hostinfo");
                ASSERT_NE(info, nullptr);
                EXPECT_EQ(info->text, hostInfo);
            }
            EXPECT_EQ(log.Count(b, "free"), 1) << "every control is freed by the end";
        }
        // The control a page replaces goes at once, not at the end.
        for (int pane = 1; pane <= panes_; ++pane) {
            const std::vector<int> of = BrowsersOfPane(log, pane);
            for (size_t i = 0; i + 1 < of.size(); ++i) {
                const Entry* freed = log.First(of[i], "free");
                const Entry* next = log.First(of[i + 1], "navigate ");
                ASSERT_TRUE(freed && next);
                EXPECT_LT(freed->tick, next->tick + 2000) << "#" << of[i] << " kept after #" << of[i + 1];
            }
        }
    }

    std::vector<std::string> lastSeen;  // the shortcut's addresses, in order

private:
    int panes_ = 2;  // as the installation sets it up
    TempFolder logFolder_{"scripted"};
    std::string log_;
    std::unique_ptr<ScriptedControlRegistration> registration_;
};

// When the pane that `browser` showed in went on to its next page.
DWORD Replaced(const ControlLog& log, const std::vector<int>& pane, int browser) {
    auto at = std::find(pane.begin(), pane.end(), browser);
    if (at == pane.end() || at + 1 == pane.end()) return 0;
    const Entry* next = log.First(*(at + 1), "navigate ");
    return next ? next->tick : 0;
}

int BrowserShowing(const ControlLog& log, const std::vector<int>& pane, const std::string& address, int nth = 0) {
    for (int b : pane)
        if (log.AddressOf(b) == address && nth-- == 0) return b;
    return 0;
}

bool IsStats(const std::string& address) { return address.find("Velunor Stats.html") != std::string::npos; }

}  // namespace

TEST_F(ShippedScriptedTest, PagesRunTheirTimeScrollAndBlankAfterOnePass) {
    AddPage(1, "1-tall", "http://one.test/tall");
    AddPage(2, "1-slow", "http://two.test/slow");
    AddPage(2, "2-failing", "http://two.test/failing");
    Script("http://one.test/tall complete=1000 frames=1 framegap=2000 scroll=800 client=500\n"
           "http://two.test/slow complete=never popup=2000\n"
           "http://two.test/failing complete=300 scripterror=1000\n"
           "default complete=100\n");
    // One pass each ("DurationTimeS" 1): pane 1 the tall page, then the
    // statistics page, blank1 and blank2; pane 2 its two pages, then the
    // statistics page. About 33 s.
    const std::string blank1 = install / "blank1.htm", blank2 = install / "blank2.htm";
    ASSERT_NO_FATAL_FAILURE(Show(
        [&](const ControlLog& log) {
            auto shown = Shown(log);
            return shown[1].size() >= 4 && shown[2].size() >= 3;
        },
        60000));

    const ControlLog log = Log();
    ExpectEveryControlMadeAnewAndFreed(log);
    auto shown = Shown(log);
    const std::vector<int> pane1 = BrowsersOfPane(log, 1), pane2 = BrowsersOfPane(log, 2);
    ASSERT_GE(shown[1].size(), 4u);
    ASSERT_GE(shown[2].size(), 3u);

    // Blanked after its one pass: the statistics page, then the blank pages
    // in turn, each for the page time after it completed.
    EXPECT_EQ(shown[1][0], "http://one.test/tall");
    EXPECT_TRUE(IsStats(shown[1][1])) << shown[1][1];
    EXPECT_EQ(shown[1][2], blank1);
    EXPECT_EQ(shown[1][3], blank2);
    for (size_t i = 1; i < 3; ++i) {
        const int b = pane1[i];
        const Entry* complete = log.First(b, "event DocumentComplete");
        ASSERT_NE(complete, nullptr) << shown[1][i];
        const DWORD next = Replaced(log, pane1, b);
        EXPECT_GE(next - complete->tick, kPageMs) << shown[1][i];
        EXPECT_LE(next - complete->tick, kPageMs + kLateMs) << shown[1][i];
    }
    // Pane 2 went through its list (in the order of its folder), then the
    // statistics page; it has no statistics page in between.
    std::vector<std::string> list2(shown[2].begin(), shown[2].begin() + 2);
    std::sort(list2.begin(), list2.end());
    EXPECT_EQ(list2, (std::vector<std::string>{"http://two.test/failing", "http://two.test/slow"}));
    EXPECT_TRUE(IsStats(shown[2][2])) << shown[2][2];

    // The tall page: its time runs from its last completion, the frame's.
    const int tall = pane1[0];
    const Entry* first = log.First(tall, "event DocumentComplete");
    const Entry* frame = log.First(tall, "event DocumentComplete frame 1");
    ASSERT_TRUE(first && frame);
    const DWORD tallReplaced = Replaced(log, pane1, tall);
    EXPECT_GE(tallReplaced - frame->tick, kPageMs);
    EXPECT_LE(tallReplaced - frame->tick, kPageMs + kLateMs);
    EXPECT_GE(tallReplaced - first->tick, kPageMs + 1500) << "the frame's completion restarts the page time";

    // It scrolled by the step at each interval, from its completion to its
    // end (800 - 500), and stayed there.
    std::vector<const Entry*> writes;
    for (const Entry& e : log.Entries())
        if (e.browser == tall && StartsWith(e.text, "body setScrollTop ")) writes.push_back(&e);
    ASSERT_GE(writes.size(), 62u);
    EXPECT_GT(writes.front()->tick, first->tick);
    long position = 0;
    std::vector<DWORD> gaps;
    for (size_t i = 0; i < writes.size(); ++i) {
        long asked = 0, now = 0;
        ASSERT_EQ(std::sscanf(writes[i]->text.c_str(), "body setScrollTop %ld -> %ld", &asked, &now), 2);
        EXPECT_EQ(asked, position + kScrollStep) << writes[i]->text;
        position = now;
        if (i > 0) gaps.push_back(writes[i]->tick - writes[i - 1]->tick);
    }
    EXPECT_EQ(position, 300);
    EXPECT_EQ(writes.back()->text, "body setScrollTop 305 -> 300");
    std::sort(gaps.begin(), gaps.end());
    EXPECT_GE(gaps.front(), static_cast<DWORD>(kScrollIntervalMs - 10)) << "never more often than the interval";
    EXPECT_LE(gaps[gaps.size() / 2], static_cast<DWORD>(kScrollIntervalMs + 100)) << "the median gap";

    // The page that never completes is given up 20 s after its navigation;
    // the pop-up it opened meanwhile was closed, and the saver went on.
    const int slow = BrowserShowing(log, pane2, "http://two.test/slow");
    ASSERT_NE(slow, 0);
    EXPECT_EQ(log.First(slow, "event DocumentComplete"), nullptr);
    const DWORD slowReplaced = Replaced(log, pane2, slow);
    const DWORD slowSent = log.First(slow, "navigate ")->tick;
    EXPECT_GE(slowReplaced - slowSent, kGiveUpMs);
    EXPECT_LE(slowReplaced - slowSent, kGiveUpMs + kLateMs);
    const Entry* opened = log.First(slow, "popup opened");
    const Entry* closed = log.First(slow, "popup closed");
    ASSERT_NE(opened, nullptr) << "the saver took the new window itself";
    ASSERT_NE(closed, nullptr) << "the guard left the pop-up open";
    EXPECT_LE(closed->tick - opened->tick, 2000u) << "closed at a tick of the guard";
    EXPECT_EQ(log.First(slow, "event NewWindow2")->text, "event NewWindow2");

    // The script error: the saver read the error through the document's
    // window, stopped the script and showed no dialog.
    const int failing = BrowserShowing(log, pane2, "http://two.test/failing");
    ASSERT_NE(failing, 0);
    ASSERT_NE(log.First(failing, "event ScriptError"), nullptr);
    EXPECT_EQ(log.First(failing, "event ScriptError")->text, "event ScriptError continue=0 dialog=0");
    for (const char* name : {"errorCharacter", "errorCode", "errorMessage", "errorUrl", "errorline"})
        EXPECT_NE(log.First(failing, std::string("event property ") + name), nullptr) << name;

    // The desktop shortcut named each page of pane 1 in turn, and only those.
    ASSERT_FALSE(lastSeen.empty());
    EXPECT_EQ(std::vector<std::string>(lastSeen.begin(), lastSeen.begin() + std::min<size_t>(lastSeen.size(), 4)),
              std::vector<std::string>(shown[1].begin(), shown[1].begin() + 4));
    EXPECT_EQ(lastSeen.back(), shown[1].back());
}

TEST_F(ShippedScriptedTest, StatisticsPageFollowsEachPassAndFailedAddressesMoveOn) {
    Setting("DurationUse", "n");
    AddPage(1, "1-only", "http://one.test/only");
    AddPage(2, "1-missing", "http://two.test/missing");
    AddPage(2, "2-refused", "http://two.test/refused");
    Script("http://two.test/missing complete=200 error=404\n"
           "http://two.test/refused navigate=fail\n"
           "default complete=200\n");
    // Pane 1: its page, the statistics page, its page again: about 21 s.
    ASSERT_NO_FATAL_FAILURE(Show([&](const ControlLog& log) { return Shown(log)[1].size() >= 3; }, 45000));

    const ControlLog log = Log();
    ExpectEveryControlMadeAnewAndFreed(log);
    auto shown = Shown(log);
    const std::vector<int> pane2 = BrowsersOfPane(log, 2);
    ASSERT_GE(shown[1].size(), 3u);
    EXPECT_EQ(shown[1][0], "http://one.test/only");
    EXPECT_TRUE(IsStats(shown[1][1])) << shown[1][1];
    EXPECT_EQ(shown[1][2], "http://one.test/only");
    for (const std::string& address : shown[2]) EXPECT_FALSE(IsStats(address)) << "pane 2 starts again at once";

    // The address the server answers with 404: the control's error page
    // completes and stays for the page time.
    const int missing = BrowserShowing(log, pane2, "http://two.test/missing");
    ASSERT_NE(missing, 0);
    EXPECT_NE(log.First(missing, "event NavigateError 404"), nullptr);
    const Entry* complete = log.First(missing, "event DocumentComplete");
    ASSERT_NE(complete, nullptr);
    const DWORD missingReplaced = Replaced(log, pane2, missing);
    EXPECT_GE(missingReplaced - complete->tick, kPageMs);
    EXPECT_LE(missingReplaced - complete->tick, kPageMs + kLateMs);

    // The address whose navigation call fails: the pane keeps the times of
    // the page before, which is over, so the next page follows at once.
    const int refused = BrowserShowing(log, pane2, "http://two.test/refused");
    ASSERT_NE(refused, 0);
    EXPECT_NE(log.First(refused, "navigation call fails"), nullptr);
    const DWORD refusedReplaced = Replaced(log, pane2, refused);
    ASSERT_NE(refusedReplaced, 0u);
    EXPECT_LE(refusedReplaced - log.First(refused, "navigate ")->tick, 1000u) << "at the next tick";
}

TEST_F(ShippedScriptedTest, EveryMouseButtonPressedOverTheFormEndsTheSaver) {
    UsePanes(1);
    AddPage(1, "1-only", "http://one.test/only");
    Script("default complete=200\n");
    // The pointer rests over the form from before each start and never
    // moves: only the button can end the showing.
    const Screen screen;
    const POINT at{screen.w / 2, screen.h / 3};
    ASSERT_TRUE(::SetCursorPos(at.x, at.y));
    for (const MouseButtonPress* button : kMouseButtons) {
        SCOPED_TRACE(button->Name);
        SaverProcess saver(kSaver, "/s");
        ASSERT_TRUE(saver.Started()) << saver.StartError();
        HWND form = saver.WaitForWindow("TForm1", 20000);
        ASSERT_NE(form, nullptr);
        // Set up: shown over the whole screen, holding the mouse capture.
        ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(form) && CaptureOfThread(form) == form; }, 20000))
            << "capture " << CaptureOfThread(form) << ", form " << form;
        ASSERT_TRUE(BringToForeground(form, 5000));
        ASSERT_EQ(::GetAncestor(::WindowFromPoint(at), GA_ROOT), form) << "the pointer is not over the form";
        PumpFor(500);
        ASSERT_TRUE(saver.Running()) << "the saver ended before the button";

        ASSERT_TRUE(SendButton(*button));
        DWORD code = 1;
        EXPECT_TRUE(saver.WaitForExit(10000, &code)) << "the button did not end the saver";
        EXPECT_EQ(code, 0u);
        if (saver.Running()) ::PostMessageA(form, saver::kEndSaverMessage, 0, 0);
        EXPECT_TRUE(saver.WaitForExit(10000));
    }
}

namespace {

// A time the saver kept: `elapsed` reached `limit`, and went past it by no
// more than the ticks of a busy host.
::testing::AssertionResult KeptTime(DWORD elapsed, DWORD limit) {
    if (elapsed >= limit && elapsed <= limit + kLateMs) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << elapsed << " ms, not " << limit << " to " << limit + kLateMs;
}

// The completion of a browser's page, which the saver then looked at (the
// log line `asked` says how) without ever scrolling it; null when the page
// never completed.
const Entry* CompletedUnscrolled(const ControlLog& log, int browser, const std::string& asked) {
    const Entry* complete = log.First(browser, "event DocumentComplete");
    EXPECT_NE(complete, nullptr) << log.AddressOf(browser);
    EXPECT_NE(log.First(browser, asked), nullptr) << "the saver never asked: " << asked;
    EXPECT_EQ(log.First(browser, "body setScrollTop"), nullptr) << log.AddressOf(browser);
    EXPECT_EQ(log.First(browser, "body scrollTop"), nullptr) << log.AddressOf(browser);
    return complete;
}

}  // namespace

TEST_F(ShippedScriptedTest, ControlThatCannotBeMadeAndPagesWithoutBodyOrScrollGoOn) {
    UsePanes(3);
    Setting("DurationUse", "n");
    AddPage(1, "1-unmade", "http://one.test/unmade");
    AddPage(2, "1-noscroll", "http://two.test/noscroll");
    AddPage(2, "2-nobody", "http://two.test/nobody");
    AddPage(3, "1-nodocument", "http://three.test/nodocument");
    Script("create fail=1\n"
           "http://two.test/noscroll body=noscroll scroll=900 client=300\n"
           "http://two.test/nobody body=none\n"
           "http://three.test/nodocument document=none\n"
           "default complete=100\n");
    // Pane 1 has no control for its page and goes on after 20 s; pane 2's
    // page without a body is watched until its page time after completion
    // has long passed. About 22 s with the folder in name order (the
    // page without a body second), 32 s the other way round.
    const auto pane2Control = [&](const ControlLog& log, const std::string& address) {
        return BrowserShowing(log, BrowsersOfPane(log, 2), address);
    };
    ASSERT_NO_FATAL_FAILURE(Show(
        [&](const ControlLog& log) {
            auto shown = Shown(log);
            const int noscroll = pane2Control(log, "http://two.test/noscroll");
            const Entry* nobodyComplete =
                log.First(pane2Control(log, "http://two.test/nobody"), "event DocumentComplete");
            return shown[1].size() >= 1 && shown[3].size() >= 2 && noscroll &&
                   Replaced(log, BrowsersOfPane(log, 2), noscroll) != 0 && nobodyComplete &&
                   ::GetTickCount() - nobodyComplete->tick > kPageMs + kLateMs + 500;
        },
        45000));
    const DWORD ended = ::GetTickCount();

    const ControlLog log = Log();
    ExpectEveryControlMadeAnewAndFreed(log);
    auto shown = Shown(log);
    const std::vector<int> pane1 = BrowsersOfPane(log, 1), pane2 = BrowsersOfPane(log, 2),
                           pane3 = BrowsersOfPane(log, 3);
    ASSERT_GE(pane1.size(), 1u);
    ASSERT_GE(pane2.size(), 2u);
    ASSERT_GE(pane3.size(), 2u);
    const DWORD started = log.First(pane2[0], "navigate ")->tick;  // pane 1's page went out just before

    // The control of pane 1's page could not be made: the page was named on
    // the desktop all the same, had no control, and 20 s later the pane
    // went on to the statistics page.
    EXPECT_TRUE(log.Has("create fails"));
    ASSERT_FALSE(lastSeen.empty());
    EXPECT_EQ(lastSeen.front(), "http://one.test/unmade");
    EXPECT_TRUE(IsStats(shown[1][0])) << "pane 1's first control showed " << shown[1][0];
    const DWORD pane1Next = log.First(pane1[0], "navigate ")->tick;
    EXPECT_GE(pane1Next - started, kGiveUpMs - 1000);
    EXPECT_LE(pane1Next - started, kGiveUpMs + kLateMs);

    // A body without scroll information: the page's time runs from its
    // completion as for any page, and nothing is scrolled.
    const int noscroll = BrowserShowing(log, pane2, "http://two.test/noscroll");
    ASSERT_NE(noscroll, 0);
    const Entry* noscrollComplete = CompletedUnscrolled(log, noscroll, "document body");
    ASSERT_NE(noscrollComplete, nullptr);
    const DWORD noscrollReplaced = Replaced(log, pane2, noscroll);
    EXPECT_TRUE(KeptTime(noscrollReplaced - noscrollComplete->tick, kPageMs));

    // No body, and no document: the completion does not start the page
    // time; the page stays until 20 s after its navigation.
    const int nobody = BrowserShowing(log, pane2, "http://two.test/nobody");
    ASSERT_NE(nobody, 0);
    const Entry* nobodyComplete = CompletedUnscrolled(log, nobody, "document body none");
    ASSERT_NE(nobodyComplete, nullptr);
    const DWORD nobodyReplaced = Replaced(log, pane2, nobody);
    EXPECT_GT((nobodyReplaced ? nobodyReplaced : ended) - nobodyComplete->tick, kPageMs + kLateMs);
    if (nobodyReplaced) {
        EXPECT_GE(nobodyReplaced - log.First(nobody, "navigate ")->tick, kGiveUpMs);
    }

    const int nodocument = pane3[0];
    EXPECT_EQ(log.AddressOf(nodocument), "http://three.test/nodocument");
    ASSERT_NE(CompletedUnscrolled(log, nodocument, "get Document none"), nullptr);
    const DWORD nodocumentSent = log.First(nodocument, "navigate ")->tick;
    const DWORD nodocumentReplaced = Replaced(log, pane3, nodocument);
    EXPECT_TRUE(KeptTime(nodocumentReplaced - nodocumentSent, kGiveUpMs));
    EXPECT_EQ(log.AddressOf(pane3[1]), "http://three.test/nodocument") << "a fresh control for the page";
}
