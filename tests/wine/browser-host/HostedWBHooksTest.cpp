// The shell integration of a hosted browser read from a form description:
// its window hooks and DDE answers with the real control, and none of them
// for a browser made in code, as the saver makes its panes.
#include <windows.h>
#include <dde.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "DdeClient.h"
#include "Forms.h"
#include "HostedWB.h"
#include "MessagePump.h"
#include "RegistryKey.h"
#include "ScopedSeam.h"
#include "TestForms.h"

using browser::THostedWB;
using testing_support::DdeClient;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

// A form as its description builds it: the browser is created inside the
// loading bracket, so its Loaded step runs (with the form's window there).
class THooksForm : public velfw::TForm {
public:
    THooksForm() : velfw::TForm(nullptr) {
        BeginLoading();
        SetBounds(30, 30, 400, 300);
        HandleNeeded();
        Browser = new THostedWB(this);
        Browser->SetParent(this);
        Browser->SetAlign(velfw::TAlign::alClient);
        EndLoading();
        Show();
    }
    THostedWB* Browser;
};

// The shell's DDE names as a test registry key gives them, for the browsers
// constructed while it lives.
class ShellNames {
public:
    ShellNames() {
        root_.Create(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, REG_OPTION_VOLATILE);
        Set("htmlfile\\shell\\open\\ddeexec\\application", "IExplore");
        Set("htmlfile\\shell\\open\\ddeexec\\topic", "WWW_OpenURL");
        Set("Folder\\shell\\open\\ddeexec\\application", "Folders");
        Set("Folder\\shell\\open\\ddeexec\\topic", "AppProperties");
        Set("Folder\\shell\\open\\ddeexec", "[ViewFolder(\"%l\", %I, %S)]");
        Set("Folder\\shell\\explore\\ddeexec", "[ExploreFolder(\"%l\", %I, %S)]");
        Set("Directory\\shell\\find\\ddeexec", "[FindFolder(\"%l\", %I)]");
        classesRoot_.emplace(browser::ShellClassesRoot, root_.Get());
    }
    ~ShellNames() {
        classesRoot_.reset();
        root_.Close();
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelunorTest");
    }

private:
    static constexpr const char* kKey = "Software\\VelunorTest\\ShellClasses";
    void Set(const char* sub, const char* value) {
        velfw::RegistryKey k;
        if (k.Create(root_.Get(), sub, KEY_ALL_ACCESS, REG_OPTION_VOLATILE) == ERROR_SUCCESS) k.WriteString("", value);
    }
    velfw::RegistryKey root_;
    std::optional<testing_support::ScopedSeam<HKEY>> classesRoot_;
};

// Keys offered to the browser's in-place object, as it sees them.
struct OfferedKeys {
    std::vector<MSG> Keys;
    bool Consume = false;
    testing_support::ScopedSeam<decltype(browser::TranslateBrowserAccelerator)> seam{
        browser::TranslateBrowserAccelerator, [this](IOleInPlaceActiveObject&, MSG& msg) {
            Keys.push_back(msg);
            return Consume ? S_OK : S_FALSE;
        }};
};

void Pump() {
    for (int i = 0; i < 3; ++i) velfw::Application->ProcessMessages();
}

class HostedWBHooks : public ::testing::Test {
protected:
    void SetUp() override {
        velfw::Application->SetTitle("Velunor Test");
        form = std::make_unique<THooksForm>();
        wb = form->Browser;
        Pump();
    }
    void TearDown() override {
        form.release()->Free();
        browser::ShellDde().Busy = false;
    }
    ShellNames names;  // before the form: its browser reads them when made
    std::unique_ptr<THooksForm> form;
    THostedWB* wb = nullptr;
};

}  // namespace

TEST_F(HostedWBHooks, LoadedInstallsBothHooks) {
    EXPECT_TRUE(wb->ControlWindowHooked());
    EXPECT_EQ(wb->HookedOwner(), form.get());
}

TEST_F(HostedWBHooks, KeyFilterTable) {
    OfferedKeys offered;
    constexpr LPARAM kExtended = 1 << 24;
    struct Row {
        WPARAM key;
        LPARAM lParam;
        bool offered;
    } rows[] = {
        {VK_RETURN, 1, false},         {VK_BACK, 1, false}, {VK_LEFT, 1 | kExtended, false},
        {VK_RIGHT, 1 | kExtended, false}, {VK_LEFT, 1, true},  // the numeric keypad's Left
        {VK_F5, 1, true},              {VK_UP, 1 | kExtended, true},
    };
    for (const Row& r : rows) {
        offered.Keys.clear();
        ::PostMessageA(wb->Handle(), WM_KEYDOWN, r.key, r.lParam);
        Pump();
        bool got = false;
        for (const MSG& m : offered.Keys)
            if (m.message == WM_KEYDOWN && m.wParam == r.key) {
                got = true;
                EXPECT_EQ(m.hwnd, wb->Handle());
                EXPECT_EQ(m.lParam, r.lParam);
            }
        EXPECT_EQ(got, r.offered) << "key " << r.key << " lParam " << std::hex << r.lParam;
    }
}

TEST_F(HostedWBHooks, CloseQueryKeepsTheWindow) {
    int asked = 0;
    wb->OnCloseQuery = [&](velfw::TObject* sender, bool& canClose) {
        ++asked;
        EXPECT_EQ(sender, wb);
        canClose = false;
    };
    HWND wnd = wb->Handle();
    ::SendMessageA(wnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(::IsWindow(wnd));
}

TEST_F(HostedWBHooks, WindowsTakingTheActivationAreReportedAndDialogsRetitled) {
    std::vector<HWND> shown;
    wb->OnShowDialog = [&](velfw::TObject* sender, HWND h) {
        EXPECT_EQ(sender, wb);
        shown.push_back(h);
    };
    ::SetActiveWindow(form->Handle());
    Pump();
    struct Case {
        const char* cls;
        bool replace;
        const char* caption;
        const char* expected;
    } cases[] = {
        {"#32770", true, "Microsoft Internet Explorer", "Velunor Test"},
        {"#32770", true, "Script Error - Microsoft Internet Explorer", "Script Error - Velunor Test"},
        {"#32770", false, "Microsoft Internet Explorer", "Microsoft Internet Explorer"},
        {"STATIC", true, "Microsoft Internet Explorer", "Microsoft Internet Explorer"},  // not a dialog
    };
    for (const Case& c : cases) {
        wb->ReplaceCaption = c.replace;
        shown.clear();
        HWND other = ::CreateWindowExA(0, c.cls, c.caption, WS_POPUP | WS_CAPTION | WS_VISIBLE, 60, 60, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(other) << c.cls;
        ::SetActiveWindow(other);
        Pump();
        EXPECT_EQ(shown, std::vector<HWND>{other}) << c.cls << " " << c.caption;
        char text[256] = {};
        ::GetWindowTextA(other, text, sizeof text);
        EXPECT_STREQ(text, c.expected);
        ::SetActiveWindow(form->Handle());
        ::DestroyWindow(other);
        Pump();
    }
}

TEST_F(HostedWBHooks, InitiateGetsNoAnswerWhenOffFromAnotherThreadOrBusy) {
    DdeClient client;
    client.Initiate(wb->HiddenWindow(), "IExplore", "WWW_OpenURL");
    EXPECT_TRUE(client.Acks.empty()) << "DDE off";

    wb->EnableDDE = true;
    browser::ShellDde().Busy = true;
    client.Initiate(wb->HiddenWindow(), "IExplore", "WWW_OpenURL");
    EXPECT_TRUE(client.Acks.empty()) << "busy";
    browser::ShellDde().Busy = false;

    size_t otherAcks = 99;
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        DdeClient c;
        c.Initiate(wb->HiddenWindow(), "IExplore", "WWW_OpenURL");
        PumpFor(50);
        otherAcks = c.Acks.size();
        ::SetEvent(done);
    });
    PumpUntil([&] { return ::WaitForSingleObject(done, 0) == WAIT_OBJECT_0; }, 5000);
    other.join();
    ::CloseHandle(done);
    EXPECT_EQ(otherAcks, 0u) << "another thread";

    client.Initiate(wb->HiddenWindow(), "IExplore", "WWW_OpenURL");
    ASSERT_EQ(client.Acks.size(), 1u);
    EXPECT_EQ(client.Acks[0].server, wb->Handle());
}

TEST_F(HostedWBHooks, AnOpenRequestNavigatesInPlace) {
    std::vector<std::string> urls;
    wb->OnBeforeNavigate2 = [&](velfw::TObject*, IDispatch*, const std::string& url, bool& cancel) {
        urls.push_back(url);
        cancel = true;  // nothing to load here
    };
    wb->EnableDDE = true;
    DdeClient client;
    client.Initiate(wb->HiddenWindow(), "IExplore", "WWW_OpenURL");
    ASSERT_EQ(client.Acks.size(), 1u);
    client.Acks.clear();
    HGLOBAL mem = client.Execute(wb->Handle(), "\"http://127.0.0.1:1/opened.htm\",,-1,0,,,,");
    ASSERT_TRUE(PumpUntil([&] { return !client.Acks.empty(); }, 5000));
    UINT_PTR status = 0, memory = 0;
    DdeClient::UnpackExecuteAck(client.Acks[0].lParam, status, memory);
    EXPECT_EQ(status, 0x8000u);
    EXPECT_EQ(memory, reinterpret_cast<UINT_PTR>(mem));
    ::GlobalFree(mem);
    PumpUntil([&] { return !urls.empty(); }, 3000);
    EXPECT_EQ(urls, std::vector<std::string>{"http://127.0.0.1:1/opened.htm"});

    ::PostMessageA(wb->Handle(), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(client.Handle()), 0);
    Pump();
    EXPECT_EQ(client.Terminates, std::vector<HWND>{wb->Handle()});
}

// The saver's panes: made in code, so Loaded never runs and nothing is hooked.
TEST(HostedWBInCode, GetsNoHooks) {
    OfferedKeys offered;
    testing_support::PanelForm form(300, 200);
    auto wb = std::make_unique<THostedWB>(nullptr);
    wb->SetParent(form.panel);
    wb->SetAlign(velfw::TAlign::alClient);
    auto* owned = new THostedWB(&form);  // owned by the form, still made in code
    owned->SetParent(form.panel);
    for (THostedWB* b : {wb.get(), owned}) {
        EXPECT_FALSE(b->ControlWindowHooked());
        EXPECT_EQ(b->HookedOwner(), nullptr);
        EXPECT_TRUE(::IsWindow(b->HiddenWindow()));
        ::PostMessageA(b->Handle(), WM_KEYDOWN, VK_F5, 1);
    }
    Pump();
    EXPECT_TRUE(offered.Keys.empty());

    // DDE stays off: the hidden window passes an initiate to the default
    // procedure, which does not answer it.
    EXPECT_FALSE(wb->EnableDDE);
    DdeClient client;
    client.Initiate(wb->HiddenWindow(), "IExplore", "WWW_OpenURL");
    EXPECT_TRUE(client.Acks.empty());
}
