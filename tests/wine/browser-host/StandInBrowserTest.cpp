// The scripted stand-in browser: its events come after Navigate returns, in
// the order and at the times its script gives, and it logs every call.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "MessagePump.h"
#include "TestForms.h"
#include "Forms.h"
#include "StandInBrowser.h"

using browser::IPaneBrowser;
using browser::TStandInBrowser;

using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::PanelForm;

namespace {

std::string TempPath(const char* name) {
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// Records the events of one browser with their ticks.
struct EventLog {
    std::vector<std::string> names;
    std::vector<DWORD> ticks;
    void Bind(IPaneBrowser& b, bool stopScript = true) {
        b.OnNavigateComplete2 = [this](IPaneBrowser&) { Add("NavigateComplete2"); };
        b.OnDocumentComplete = [this](IPaneBrowser&) { Add("DocumentComplete"); };
        b.OnScriptError = [this, stopScript](IPaneBrowser&, bool& cont, bool& show) {
            Add("ScriptError");
            if (stopScript) cont = show = false;
        };
    }
    void Add(const char* name) {
        names.push_back(name);
        ticks.push_back(::GetTickCount());
    }
};

}  // namespace

// Runs first, before anything else of the stand-in is used: the script and
// the log come from the files the environment names, as in the saver's test
// build.
TEST(StandInFromEnvironment, ReadsItsScriptAndWritesItsLogFile) {
    std::string script = TempPath("velunor-standin-script.txt");
    std::string logFile = TempPath("velunor-standin-log.txt");
    {
        std::ofstream out(script);
        out << "# comment line\nhttp://env/ complete=20 frames=1\nhttp://bad/ colour=red\ndefault complete=never\n";
    }
    std::remove(logFile.c_str());
    ::SetEnvironmentVariableA("VELUNOR_STANDIN_SCRIPT", script.c_str());
    ::SetEnvironmentVariableA("VELUNOR_STANDIN_LOG", logFile.c_str());
    const browser::TStandInScript& s = browser::StandInScriptInUse();
    EXPECT_EQ(s.Find("http://env/").CompleteMs, 20);
    EXPECT_EQ(s.Find("http://env/").Frames, 1);
    EXPECT_EQ(s.Find("http://other/").CompleteMs, -1);
    ASSERT_EQ(s.Errors.size(), 1u);

    auto b = browser::MakeStandInPaneBrowser();
    EventLog events;
    events.Bind(*b);
    b->Navigate("http://env/");
    EXPECT_TRUE(PumpUntil([&] { return events.names.size() >= 3; }, 3000));
    b.reset();

    std::ifstream in(logFile);
    std::stringstream text;
    text << in.rdbuf();
    std::string log = text.str();
    EXPECT_NE(log.find("#0 script line 3: unknown key 'colour'"), std::string::npos) << log;
    EXPECT_NE(log.find(" #1 create\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" #1 navigate http://env/\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" #1 event DocumentComplete frame 1\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" #1 free\n"), std::string::npos) << log;
    ::SetEnvironmentVariableA("VELUNOR_STANDIN_LOG", nullptr);
    ::SetEnvironmentVariableA("VELUNOR_STANDIN_SCRIPT", nullptr);
    std::remove(script.c_str());
}

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        browser::StandInLog().Clear();
    }
};

TEST_F(StandInTest, EventsComeAfterNavigateReturnsInTheScriptedOrderAndTimes) {
    browser::SetStandInScript(
        "http://a/ complete=150 frames=2 framegap=60 scroll=2000 client=600 scripterror=80\n"
        "default complete=never\n");
    auto b = browser::MakeStandInPaneBrowser();
    EventLog events;
    events.Bind(*b);
    DWORD start = ::GetTickCount();
    b->Navigate("http://a/");
    EXPECT_TRUE(events.names.empty());  // nothing from inside Navigate
    EXPECT_EQ(b->ReadyState(), 1);
    EXPECT_EQ(b->LocationURL(), "http://a/");
    ASSERT_TRUE(PumpUntil([&] { return events.names.size() >= 5; }, 5000));
    EXPECT_EQ(events.names, (std::vector<std::string>{"NavigateComplete2", "ScriptError", "DocumentComplete",
                                                      "DocumentComplete", "DocumentComplete"}));
    EXPECT_GE(events.ticks[1] - start, 70u);
    EXPECT_GE(events.ticks[2] - start, 140u);
    EXPECT_GE(events.ticks[3] - events.ticks[2], 50u);
    EXPECT_GE(events.ticks[4] - events.ticks[3], 50u);
    EXPECT_EQ(b->ReadyState(), browser::kReadyStateComplete);
    PumpFor(200);
    EXPECT_EQ(events.names.size(), 5u);  // no more than the script says

    auto texts = browser::StandInLog().TextsOf(1);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "event ScriptError continue=0 dialog=0"), texts.end());
}

TEST_F(StandInTest, NeverCompletingPageAndANewNavigationCancellingThePendingOne) {
    browser::SetStandInScript("http://slow/* complete=never\nhttp://b/ complete=100\n");
    auto b = browser::MakeStandInPaneBrowser();
    EventLog events;
    events.Bind(*b);
    b->Navigate("http://slow/page1");
    PumpFor(400);
    EXPECT_EQ(events.names, (std::vector<std::string>{"NavigateComplete2"}));
    EXPECT_EQ(b->ReadyState(), 1);

    // b completes after 100 ms; navigating on at 30 ms cancels that.
    b->Navigate("http://b/");
    PumpFor(30);
    b->Navigate("http://slow/page2");
    PumpFor(300);
    EXPECT_EQ(events.names,
              (std::vector<std::string>{"NavigateComplete2", "NavigateComplete2", "NavigateComplete2"}));
}

TEST_F(StandInTest, BodyScrollsWithinTheDocumentAndMissingPartsFail) {
    browser::SetStandInScript(
        "http://a/ complete=1 scroll=2000 client=600\n"
        "http://nodoc/ complete=1 document=none\n"
        "http://nobody/ complete=1 body=none\n"
        "http://noscroll/ complete=1 body=noscroll\n");
    auto b = browser::MakeStandInPaneBrowser();
    EXPECT_THROW(b->Body(), velfw::Exception);  // nothing shown yet
    b->Navigate("http://a/");
    auto body = b->Body();
    ASSERT_TRUE(body->HasScrollInfo());
    EXPECT_EQ(body->ScrollHeight(), 2000);
    EXPECT_EQ(body->ClientHeight(), 600);
    body->SetScrollTop(body->ScrollTop() + 500);
    EXPECT_EQ(body->ScrollTop(), 500);
    body->SetScrollTop(5000);
    EXPECT_EQ(body->ScrollTop(), 1400);  // stopped at the document's end
    b->Navigate("http://nodoc/");
    EXPECT_THROW(b->Body(), velfw::Exception);
    EXPECT_EQ(body->ScrollTop(), 1400);  // the old body stays with its document
    b->Navigate("http://nobody/");
    EXPECT_THROW(b->Body(), velfw::Exception);
    b->Navigate("http://noscroll/");
    auto flat = b->Body();
    EXPECT_FALSE(flat->HasScrollInfo());
    EXPECT_THROW(flat->ScrollTop(), velfw::Exception);
}

TEST_F(StandInTest, FailingNavigationAndCreation) {
    browser::SetStandInScript("http://fail/ navigate=fail\ncreate fail=2,4\n");
    auto first = browser::MakeStandInPaneBrowser();
    EventLog events;
    events.Bind(*first);
    EXPECT_THROW(first->Navigate("http://fail/"), velfw::Exception);
    PumpFor(200);
    EXPECT_TRUE(events.names.empty());
    EXPECT_THROW(browser::MakeStandInPaneBrowser(), velfw::Exception);
    EXPECT_NO_THROW(browser::MakeStandInPaneBrowser());
    EXPECT_THROW(browser::MakeStandInPaneBrowser(), velfw::Exception);
}

TEST_F(StandInTest, IsARealChildWindowAndDetachStopsEverything) {
    browser::SetStandInScript("default complete=100 scripterror=100\n");
    PanelForm form(320, 240);
    auto b = browser::MakeStandInPaneBrowser();
    b->Control().SetParent(form.panel);
    b->Control().SetAlign(velfw::TAlign::alClient);
    HWND wnd = b->Control().HandleOrNull();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(::GetParent(wnd), form.panel->HandleOrNull());
    EXPECT_TRUE(::IsWindowVisible(wnd));
    RECT r;
    ::GetClientRect(wnd, &r);
    EXPECT_EQ(r.right, 320);
    EventLog events;
    events.Bind(*b);
    b->Navigate("http://c/");
    ::UpdateWindow(wnd);  // paints the address
    b->Detach();
    EXPECT_EQ(b->Control().Parent(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    PumpFor(300);
    EXPECT_TRUE(events.names.empty());
}

TEST_F(StandInTest, HandlerMayFreeTheBrowser) {
    browser::SetStandInScript("default complete=20 frames=3 framegap=20\n");
    auto b = browser::MakeStandInPaneBrowser();
    int completes = 0;
    b->OnDocumentComplete = [&](IPaneBrowser&) {
        ++completes;
        b.reset();
    };
    b->Navigate("http://d/");
    PumpFor(300);
    EXPECT_EQ(completes, 1);
    EXPECT_EQ(b, nullptr);
}

TEST_F(StandInTest, LogsEveryCallWithItsTick) {
    browser::SetStandInScript("default complete=10\n");
    DWORD start = ::GetTickCount();
    auto b = browser::MakeStandInPaneBrowser();
    b->Navigate("http://e/");
    b->ReadyState();
    b->LocationURL();
    PumpFor(100);
    b->Body()->ScrollTop();
    b.reset();
    auto texts = browser::StandInLog().TextsOf(1);
    EXPECT_EQ(texts, (std::vector<std::string>{"create", "navigate http://e/", "readyState 1", "locationURL",
                                               "event NavigateComplete2", "event DocumentComplete", "body",
                                               "body scrollTop", "free"}));
    DWORD previous = start;
    for (const auto& e : browser::StandInLog().Entries()) {
        EXPECT_GE(e.Tick - start, previous - start);
        previous = e.Tick;
    }
}
