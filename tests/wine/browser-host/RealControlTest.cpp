// The system's web-browser control itself, hosted in a form: created, sited,
// activated in place, advised, navigated and freed. This machine's control
// has no HTML engine: it fires BeforeNavigate2 and NavigateError, never
// DocumentComplete.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "MessagePump.h"
#include "TestForms.h"
#include "Forms.h"
#include "HostedWB.h"
#include "MyWebBrowser.h"

using browser::THostedWB;

using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::PanelForm;

namespace {

struct Counts {
    int windows;
    DWORD handles, gdi, user;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND wnd, LPARAM lp) {
    ++*reinterpret_cast<int*>(lp);
    ::EnumChildWindows(wnd, CountChild, lp);
    return TRUE;
}

Counts CurrentCounts() {
    Counts c{};
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&c.windows));
    // Message-only windows are not enumerated above; none should be left.
    using GetProcessHandleCountFunction = BOOL(WINAPI*)(HANDLE, DWORD*);
    auto getHandles = reinterpret_cast<GetProcessHandleCountFunction>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount"));
    if (getHandles) getHandles(::GetCurrentProcess(), &c.handles);
    c.gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    c.user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    return c;
}

}  // namespace

TEST(RealControl, IsSitedActivatedInPlaceAndFollowsItsBounds) {
    PanelForm form(400, 300);
    auto wb = std::make_unique<THostedWB>(nullptr);
    wb->SetParent(form.panel);
    wb->SetAlign(velfw::TAlign::alClient);
    wb->SetOleVisible(true);
    ASSERT_TRUE(wb->HandleAllocated());
    EXPECT_EQ(::GetParent(wb->HandleOrNull()), form.panel->HandleOrNull());
    // The control's in-place window lives inside the component's window.
    HWND inner = ::GetWindow(wb->HandleOrNull(), GW_CHILD);
    ASSERT_NE(inner, nullptr);
    RECT r;
    ::GetClientRect(wb->HandleOrNull(), &r);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 300);
    form.SetBounds(0, 0, 300, 200);
    PumpFor(50);
    RECT ir;
    ::GetWindowRect(inner, &ir);
    EXPECT_EQ(ir.right - ir.left, 300);
    EXPECT_EQ(ir.bottom - ir.top, 200);
    // The automation object is there, and the component answers the
    // download-control ambient property of the control's client site.
    EXPECT_TRUE(wb->Application());
    IOleClientSite* site = nullptr;
    ASSERT_EQ(wb->OleObject()->GetClientSite(&site), S_OK);
    EXPECT_EQ(site, static_cast<IOleClientSite*>(wb->ClientSite()));
    site->Release();
}

TEST(RealControl, NavigatingFiresBeforeNavigateAndNavigateErrorButNoDocumentComplete) {
    PanelForm form(400, 300);
    auto wb = std::make_unique<THostedWB>(nullptr);
    wb->SetParent(form.panel);
    wb->SetAlign(velfw::TAlign::alClient);
    wb->SetOleVisible(true);
    std::string before, error;
    int completes = 0;
    wb->OnBeforeNavigate2 = [&](velfw::TObject* s, IDispatch*, const std::string& url, bool&) {
        EXPECT_EQ(s, wb.get());
        before = url;
    };
    wb->OnNavigateError = [&](velfw::TObject*, IDispatch*, const std::string& url, long, bool&) { error = url; };
    wb->OnDocumentComplete = [&](velfw::TObject*, IDispatch*, const std::string&) { ++completes; };
    // Port 1 of the loop-back address refuses at once.
    wb->Navigate("http://127.0.0.1:1/");
    EXPECT_TRUE(PumpUntil([&] { return !before.empty(); }, 10000));
    EXPECT_EQ(before, "http://127.0.0.1:1/");
    EXPECT_TRUE(PumpUntil([&] { return !error.empty(); }, 15000));
    EXPECT_EQ(completes, 0);
    EXPECT_NE(wb->ReadyState(), browser::kReadyStateComplete);
    (void)wb->LocationURL();  // answers without failing
}

TEST(RealControl, PaneBrowserOfTheShippedSaver) {
    PanelForm form(400, 300);
    std::unique_ptr<browser::IPaneBrowser> pane = browser::MakeHostedPaneBrowser();
    pane->Index = 2;
    pane->Control().SetParent(form.panel);
    pane->Control().SetAlign(velfw::TAlign::alClient);
    pane->Control().SetVisible(true);
    EXPECT_TRUE(pane->Control().HandleAllocated());
    EXPECT_TRUE(::IsWindowVisible(pane->Control().HandleOrNull()));
    EXPECT_THROW(pane->Body(), velfw::Exception);  // no document yet
    pane->Navigate("http://127.0.0.1:1/");
    PumpFor(200);
    pane->Detach();
    EXPECT_EQ(pane->Control().Parent(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(pane->Control().HandleOrNull()));
    pane.reset();
}

TEST(RealControl, CreatedAndFreedTwoHundredTimesLeavesNoWindowsOrHandles) {
    PanelForm form(400, 300);
    auto once = [&](bool navigate) {
        auto wb = std::make_unique<browser::TMyWebBrowser>();
        wb->SetParent(form.panel);
        wb->SetAlign(velfw::TAlign::alClient);
        wb->SetVisible(true);
        if (navigate) wb->Navigate("http://127.0.0.1:1/");
        PumpFor(1);
        wb->SetParent(nullptr);  // removed from the panel first, as the saver does
        wb.reset();
        PumpFor(1);
    };
    // The first ones load the libraries and make their shared windows.
    for (int i = 0; i < 3; ++i) once(i == 0);
    PumpFor(200);
    Counts before = CurrentCounts();
    // Navigating takes this machine's control seconds; a few suffice.
    for (int i = 0; i < 200; ++i) once(i % 100 == 50);
    PumpFor(500);
    Counts after = CurrentCounts();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LE(after.handles, before.handles + 10) << before.handles;
    EXPECT_LE(after.gdi, before.gdi + 10) << before.gdi;
    EXPECT_LE(after.user, before.user + 10) << before.user;
}
