// The document-host callbacks, called on the site the way the control calls
// them, and the component's options, notifications and registry use.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ComObject.h"
#include "WinePaths.h"
#include "FpuControl.h"
#include "HostGuids.h"
#include "HostedWB.h"
#include "RegistryKey.h"
#include "ScopedSeam.h"

using browser::THostedWB;
using browser::TDownloadControlOption;
using browser::TUserInterfaceOption;

namespace {

constexpr HRESULT kNotSupported = static_cast<HRESULT>(0x80040100);
constexpr UINT HH_CLOSE_ALL_CMD = 0x12;  // closes every help window; opens none
constexpr HRESULT kUnknownGroup = static_cast<HRESULT>(0x80040104);

template <typename I>
velfw::ComPtr<I> SiteAs(THostedWB& wb) {
    velfw::ComPtr<I> p;
    EXPECT_EQ(wb.ClientSite()->QueryInterface(VELFW_IID_PPV_ARGS(p)), S_OK);
    return p;
}

// A script-error event object: a late-bound object with the five properties
// the component reads, or fewer.
class FakeEventObject final : public velfw::TComObject<IDispatch> {
public:
    explicit FakeEventObject(std::vector<std::wstring> names) : names_(std::move(names)) {}
    std::vector<std::wstring> asked;
    STDMETHODIMP GetTypeInfoCount(UINT* c) override {
        *c = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        if (count != 1 || lcid != LOCALE_SYSTEM_DEFAULT) return E_INVALIDARG;
        asked.push_back(names[0]);
        for (size_t i = 0; i < names_.size(); ++i)
            if (names_[i] == names[0]) {  // exact letter case, as the component must ask
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (flags != DISPATCH_PROPERTYGET || params->cArgs != 0 || !result) return E_INVALIDARG;
        const std::wstring& name = names_.at(static_cast<size_t>(id - 1));
        if (name == L"errorline" || name == L"errorCharacter" || name == L"errorCode") {
            result->vt = VT_I4;
            result->lVal = name == L"errorline" ? 12 : name == L"errorCharacter" ? 7 : 0;
        } else {
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString(name == L"errorMessage" ? L"'x' is undefined" : L"http://a/page.htm");
        }
        return S_OK;
    }

private:
    std::vector<std::wstring> names_;
};

const std::vector<std::wstring> kAllEventNames = {L"errorCharacter", L"errorCode", L"errorMessage", L"errorUrl",
                                                  L"errorline"};

// The component with the document's event object replaced.
class ScriptErrorWB : public THostedWB {
public:
    ScriptErrorWB() : THostedWB(nullptr) {}
    FakeEventObject* event = nullptr;  // none: no event object
    bool raise = false;                // the document cannot be had
protected:
    velfw::ComPtr<IDispatch> ScriptErrorEventObject() override {
        if (raise) throw velfw::EOleError("no document", E_FAIL);
        return velfw::ComPtr<IDispatch>(event);
    }
};

class HostedWBTest : public ::testing::Test {
protected:
    void SetUp() override { wb = std::make_unique<THostedWB>(nullptr); }
    std::unique_ptr<THostedWB> wb;
};

HRESULT AmbientGet(THostedWB& wb, DISPID id, VARIANT* result, WORD flags = DISPATCH_PROPERTYGET) {
    auto disp = SiteAs<IDispatch>(wb);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &none, result, nullptr, nullptr);
}

}  // namespace

TEST_F(HostedWBTest, CodeMadeControlHasTheDefaultOptions) {
    EXPECT_EQ(wb->DownloadControlValue(), 0x70u);
    EXPECT_EQ(wb->HostFlagsValue(), 0u);
    EXPECT_FALSE(wb->EnableDDE);
    EXPECT_TRUE(wb->fpExceptions());
    ASSERT_EQ(wb->PrintOptions().HTMLHeader().Count(), 1);
    EXPECT_EQ(wb->PrintOptions().HTMLHeader()[0], "<HTML></HTML>");
    EXPECT_TRUE(::IsWindow(wb->HiddenWindow()));
    EXPECT_FALSE(::IsWindowVisible(wb->HiddenWindow()));
    EXPECT_EQ(::GetParent(wb->HiddenWindow()), nullptr);  // top-level, so broadcasts reach it
}

TEST_F(HostedWBTest, OptionSettersGiveTheirFlagWords) {
    struct Row {
        browser::TDownloadControlOptions set;
        uint32_t value;
    } rows[] = {
        {{}, 0},
        {{TDownloadControlOption::SILENT, TDownloadControlOption::NO_SCRIPTS}, 0x40000080},
        {browser::TDownloadControlOptions::FromBits((1u << browser::kDownloadControlOptionCount) - 1), 0xF007FFF0},
    };
    for (const Row& r : rows) {
        wb->SetDownloadOptions(r.set);
        EXPECT_EQ(wb->DownloadControlValue(), r.value);
        VARIANT v;
        ASSERT_EQ(AmbientGet(*wb, browser::DISPID_AMBIENT_DLCONTROL_ID, &v), S_OK);
        EXPECT_EQ(v.vt, VT_I4);
        EXPECT_EQ(static_cast<uint32_t>(v.lVal), r.value);
    }
    wb->SetUserInterfaceOptions({TUserInterfaceOption::NO3DBORDER, TUserInterfaceOption::SCROLL_NO});
    EXPECT_EQ(wb->HostFlagsValue(), 0xCu);
    wb->SetUserInterfaceOptions({TUserInterfaceOption::ENABLE_INPLACE_NAVIGATION});
    EXPECT_EQ(wb->HostFlagsValue(), 0x10000u);
}

TEST(HostedWBConstruction, SendsTwoDownloadControlNotifications) {
    std::vector<DISPID> seen;
    {
        testing_support::ScopedSeam notifier(browser::AmbientChangeNotifier, [&](THostedWB& sender, DISPID id) {
            seen.push_back(id);
            browser::NotifyControlOfAmbientChange(sender, id);  // the real control is told as well
        });
        THostedWB wb(nullptr);
    }
    EXPECT_EQ(seen, (std::vector<DISPID>{-5512, -5512}));
}

TEST(HostedWBConstruction, AFailingNotificationFailsTheConstruction) {
    testing_support::ScopedSeam notifier(browser::AmbientChangeNotifier, [](THostedWB&, DISPID) {
        throw velfw::EOleError("no IOleControl", E_NOINTERFACE);
    });
    EXPECT_THROW(THostedWB wb(nullptr), velfw::EOleError);
}

TEST_F(HostedWBTest, AmbientDispatchAnswersDownloadControlFirstThenTheEventThenTheBase) {
    int invoked = 0;
    wb->OnInvoke = [&](DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
        ++invoked;
        return id == -5512 ? S_FALSE : DISP_E_MEMBERNOTFOUND;
    };
    VARIANT v;
    EXPECT_EQ(AmbientGet(*wb, -5512, &v), S_OK);  // the event does not see it
    EXPECT_EQ(v.lVal, 0x70);
    EXPECT_EQ(invoked, 0);
    EXPECT_EQ(AmbientGet(*wb, -5512, &v, DISPATCH_METHOD), S_FALSE);  // no get flag
    EXPECT_EQ(AmbientGet(*wb, -5512, nullptr), S_FALSE);             // no result variant
    EXPECT_EQ(invoked, 2);

    wb->OnInvoke = nullptr;
    ASSERT_EQ(AmbientGet(*wb, DISPID_AMBIENT_USERMODE, &v), S_OK);
    EXPECT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    ASSERT_EQ(AmbientGet(*wb, DISPID_AMBIENT_LOCALEID, &v), S_OK);
    EXPECT_EQ(static_cast<LCID>(v.lVal), ::GetUserDefaultLCID());
    EXPECT_EQ(AmbientGet(*wb, 12345, &v), DISP_E_MEMBERNOTFOUND);

    auto disp = SiteAs<IDispatch>(*wb);
    UINT count = 99;
    EXPECT_EQ(disp->GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(disp->GetTypeInfo(0, 0, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
    wb->OnGetTypeInfoCount = [](UINT* c) {
        *c = 1;
        return S_OK;
    };
    EXPECT_EQ(disp->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
}

TEST_F(HostedWBTest, UIHandlerCallbacksWithoutEventsLetTheControlDecide) {
    auto ui = SiteAs<IDocHostUIHandler2>(*wb);
    auto ui1 = SiteAs<IDocHostUIHandler>(*wb);
    EXPECT_EQ(static_cast<IUnknown*>(ui.Get()), static_cast<IUnknown*>(ui1.Get()));  // one implementation for both
    POINT pt{1, 2};
    RECT rc{};
    MSG msg{};
    EXPECT_EQ(ui->ShowContextMenu(0, &pt, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(ui->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(ui->HideUI(), S_FALSE);
    EXPECT_EQ(ui->UpdateUI(), S_FALSE);
    EXPECT_EQ(ui->EnableModeless(TRUE), S_FALSE);
    EXPECT_EQ(ui->OnDocWindowActivate(TRUE), S_FALSE);
    EXPECT_EQ(ui->OnFrameWindowActivate(TRUE), S_FALSE);
    EXPECT_EQ(ui->ResizeBorder(&rc, nullptr, TRUE), S_FALSE);
    EXPECT_EQ(ui->TranslateAccelerator(&msg, nullptr, 0), S_FALSE);
    LPOLESTR key = const_cast<LPOLESTR>(L"unchanged");
    EXPECT_EQ(ui->GetOptionKeyPath(&key, 0), S_FALSE);
    EXPECT_EQ(ui->GetOverrideKeyPath(&key, 0), S_OK);
    EXPECT_STREQ(key, L"unchanged");
    IDropTarget* drop = reinterpret_cast<IDropTarget*>(1);
    EXPECT_EQ(ui->GetDropTarget(nullptr, &drop), S_OK);
    EXPECT_EQ(drop, nullptr);
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(ui->GetExternal(&external), S_FALSE);
    EXPECT_EQ(external, nullptr);
    LPOLESTR out = nullptr;
    EXPECT_EQ(ui->TranslateUrl(0, const_cast<LPOLESTR>(L"http://a/"), &out), S_FALSE);
    IDataObject* data = reinterpret_cast<IDataObject*>(1);
    EXPECT_EQ(ui->FilterDataObject(nullptr, &data), S_FALSE);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(ui->GetDropTarget(nullptr, nullptr), S_OK);  // out pointers are cleared only when given

    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    info.dwDoubleClick = 5;
    EXPECT_EQ(ui->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, sizeof(DOCHOSTUIINFO));
    EXPECT_EQ(info.dwFlags, 0u);
    EXPECT_EQ(info.dwDoubleClick, 0u);
}

TEST_F(HostedWBTest, UIHandlerCallbacksReturnTheirEventsResults) {
    auto ui = SiteAs<IDocHostUIHandler2>(*wb);
    const HRESULT kMine = 0x00000007;
    wb->OnShowContextMenu = [&](DWORD id, POINT*, IUnknown*, IDispatch*) { return id == 3 ? kMine : E_FAIL; };
    wb->OnHideUI = [&] { return kMine; };
    wb->OnEnableModeless = [&](BOOL f) { return f ? kMine : E_FAIL; };
    wb->OnGetOverrideKeyPath = [&](LPOLESTR*, DWORD dw) { return dw == 9 ? kMine : E_FAIL; };
    IDispatch* seenBefore = reinterpret_cast<IDispatch*>(1);
    wb->OnGetExternal = [&](IDispatch** out) {
        seenBefore = *out;
        return kMine;
    };
    wb->OnGetHostInfo = [&](DOCHOSTUIINFO* info) { return info->cbSize == sizeof(DOCHOSTUIINFO) ? kMine : E_FAIL; };
    wb->SetUserInterfaceOptions({TUserInterfaceOption::NO3DBORDER, TUserInterfaceOption::SCROLL_NO});
    EXPECT_EQ(ui->ShowContextMenu(3, nullptr, nullptr, nullptr), kMine);
    EXPECT_EQ(ui->HideUI(), kMine);
    EXPECT_EQ(ui->EnableModeless(TRUE), kMine);
    EXPECT_EQ(ui->GetOverrideKeyPath(nullptr, 9), kMine);
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(ui->GetExternal(&external), kMine);
    EXPECT_EQ(seenBefore, nullptr);  // cleared before the event
    DOCHOSTUIINFO info{};
    EXPECT_EQ(ui->GetHostInfo(&info), kMine);  // the fields are filled first
    EXPECT_EQ(info.dwFlags, 0xCu);
}

TEST_F(HostedWBTest, AFailingEventBecomesAResultCode) {
    auto ui = SiteAs<IDocHostUIHandler2>(*wb);
    wb->OnHideUI = []() -> HRESULT { throw velfw::Exception("handler fails"); };
    EXPECT_EQ(ui->HideUI(), S_FALSE);
    auto target = SiteAs<IOleCommandTarget>(*wb);
    wb->OnRefresh = [](velfw::TObject*, int, bool&) { throw velfw::Exception("refresh fails"); };
    EXPECT_EQ(target->Exec(&browser::kCgidDocHostCommandHandler, browser::kRefreshCommand, 0, nullptr, nullptr), kNotSupported);
}

TEST_F(HostedWBTest, ShowUICallbacks) {
    auto show = SiteAs<IDocHostShowUI>(*wb);
    LRESULT result = 0;
    EXPECT_EQ(show->ShowMessage(nullptr, const_cast<LPOLESTR>(L"text"), const_cast<LPOLESTR>(L"caption"), MB_OK,
                                nullptr, 0, &result),
              S_FALSE);
    wb->OnShowMessage = [](HWND, LPOLESTR text, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT* r) {
        *r = IDOK;
        return std::wstring(text) == L"text" ? S_OK : E_FAIL;
    };
    EXPECT_EQ(show->ShowMessage(nullptr, const_cast<LPOLESTR>(L"text"), const_cast<LPOLESTR>(L"caption"), MB_OK,
                                nullptr, 0, &result),
              S_OK);
    EXPECT_EQ(result, IDOK);

    POINT pt{};
    EXPECT_EQ(show->ShowHelp(nullptr, const_cast<LPOLESTR>(L"ctl.chm"), HH_CLOSE_ALL_CMD, 0, pt, nullptr), S_FALSE);
    // With a help file: whether the help could be opened does not matter.
    wb->HelpFile = "C:\\no such folder\\none.chm";
    EXPECT_EQ(show->ShowHelp(nullptr, const_cast<LPOLESTR>(L"ctl.chm"), HH_CLOSE_ALL_CMD, 0, pt, nullptr), S_OK);
    wb->OnShowHelp = [](HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) { return static_cast<HRESULT>(0x00000005); };
    EXPECT_EQ(show->ShowHelp(nullptr, nullptr, 0, 0, pt, nullptr), 0x00000005);
}

TEST_F(HostedWBTest, CommandTargetAndServiceProvider) {
    auto target = SiteAs<IOleCommandTarget>(*wb);
    OLECMD cmd{12345, 0xAB};
    EXPECT_EQ(target->QueryStatus(nullptr, 1, &cmd, nullptr), S_OK);
    EXPECT_EQ(cmd.cmdf, 0xABu);  // nothing written

    const GUID* dochost = &browser::kCgidDocHostCommandHandler;
    EXPECT_EQ(target->Exec(nullptr, 40, 0, nullptr, nullptr), kUnknownGroup);
    EXPECT_EQ(target->Exec(&IID_IUnknown, 40, 0, nullptr, nullptr), kNotSupported);
    int unloads = 0;
    wb->OnUnload = [&](velfw::TObject* s) { unloads += s == wb.get(); };
    EXPECT_EQ(target->Exec(&browser::kCgidExplorer, 37, 0, nullptr, nullptr), kNotSupported);
    EXPECT_EQ(unloads, 1);

    const DWORD kNotARefresh = browser::kRefreshCommand + 1;
    struct Row {
        DWORD cmd;
        bool handler, cancel;
        HRESULT expected;
    } rows[] = {
        {browser::kRefreshCommand, true, true, S_OK},
        {browser::kRefreshTopCommand, true, true, S_OK},
        {browser::kRefreshThisCommand, true, false, kNotSupported},
        {browser::kRefreshCommand, false, false, kNotSupported},
        {browser::kRefreshTopCommand, false, false, kNotSupported},
        {kNotARefresh, true, true, kNotSupported},
    };
    for (const Row& r : rows) {
        int called = 0;
        wb->OnRefresh = nullptr;
        if (r.handler)
            wb->OnRefresh = [&](velfw::TObject*, int id, bool& cancel) {
                ++called;
                EXPECT_FALSE(cancel);
                EXPECT_EQ(static_cast<DWORD>(id), r.cmd);
                cancel = r.cancel;
            };
        EXPECT_EQ(target->Exec(dochost, r.cmd, 0, nullptr, nullptr), r.expected) << r.cmd;
        EXPECT_EQ(called, r.handler && r.cmd != kNotARefresh ? 1 : 0) << r.cmd;
    }

    auto services = SiteAs<IServiceProvider>(*wb);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(services->QueryService(IID_IUnknown, IID_IUnknown, &object), E_NOINTERFACE);
    EXPECT_EQ(object, reinterpret_cast<void*>(1));  // left as it was
    wb->OnQueryService = [](REFGUID, REFIID, void** obj) { return *obj == nullptr ? S_FALSE : E_FAIL; };
    EXPECT_EQ(services->QueryService(IID_IUnknown, IID_IUnknown, &object), S_FALSE);
    EXPECT_EQ(object, nullptr);
}

TEST(HostedWBScriptError, ExecReportsTheErrorAndAnswersWithTheHandlersChoice) {
    ScriptErrorWB wb;
    auto target = SiteAs<IOleCommandTarget>(wb);
    const GUID* dochost = &browser::kCgidDocHostCommandHandler;
    VARIANT out;
    ::VariantInit(&out);

    // No handler: not supported, pvaOut untouched.
    wb.event = new FakeEventObject(kAllEventNames);
    EXPECT_EQ(target->Exec(dochost, 40, 0, nullptr, &out), kNotSupported);
    EXPECT_EQ(out.vt, VT_EMPTY);

    struct Row {
        bool continueScript, showDialog;
        HRESULT expected;
        VARIANT_BOOL out;
    } rows[] = {
        {false, false, S_OK, VARIANT_FALSE},         // the screen saver's handler
        {true, true, kNotSupported, VARIANT_TRUE},   // a handler that changes nothing
        {true, false, S_OK, VARIANT_TRUE},
        {false, true, kNotSupported, VARIANT_FALSE},
    };
    for (const Row& r : rows) {
        std::vector<std::string> got;
        wb.OnScriptError = [&](velfw::TObject* s, const std::string& line, const std::string& ch, const std::string& code,
                               const std::string& msg, const std::string& url, bool& cont, bool& show) {
            EXPECT_EQ(s, &wb);
            EXPECT_TRUE(cont);
            EXPECT_TRUE(show);
            got = {line, ch, code, msg, url};
            if (!r.continueScript) cont = false;
            if (!r.showDialog) show = false;
        };
        EXPECT_EQ(target->Exec(dochost, 40, 0, nullptr, &out), r.expected);
        EXPECT_EQ(out.vt, VT_BOOL);
        EXPECT_EQ(out.boolVal, r.out);
        EXPECT_EQ(got, (std::vector<std::string>{"12", "7", "0", "'x' is undefined", "http://a/page.htm"}));
    }
    // The names are asked for in this order and letter case.
    std::vector<std::wstring> order(wb.event->asked.end() - 5, wb.event->asked.end());
    EXPECT_EQ(order, kAllEventNames);
    wb.event->Release();
}

TEST(HostedWBScriptError, MissingEventObjectOrPropertyEndsExecBeforeTheEvent) {
    ScriptErrorWB wb;
    auto target = SiteAs<IOleCommandTarget>(wb);
    const GUID* dochost = &browser::kCgidDocHostCommandHandler;
    int raised = 0;
    wb.OnScriptError = [&](velfw::TObject*, const std::string&, const std::string&, const std::string&,
                           const std::string&, const std::string&, bool&, bool&) { ++raised; };
    VARIANT out;
    ::VariantInit(&out);
    wb.event = nullptr;  // no event object
    EXPECT_EQ(target->Exec(dochost, 40, 0, nullptr, &out), kNotSupported);
    wb.raise = true;  // no document
    EXPECT_EQ(target->Exec(dochost, 40, 0, nullptr, &out), kNotSupported);
    wb.raise = false;
    wb.event = new FakeEventObject({L"errorCharacter", L"errorCode", L"errorMessage"});  // no errorUrl
    EXPECT_EQ(target->Exec(dochost, 40, 0, nullptr, &out), kNotSupported);
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(out.vt, VT_EMPTY);
    wb.event->Release();
    wb.event = nullptr;
}

TEST(HostedWBScriptError, RealControlWithoutADocumentAnswersNotSupported) {
    THostedWB wb(nullptr);
    auto target = SiteAs<IOleCommandTarget>(wb);
    bool raised = false;
    wb.OnScriptError = [&](velfw::TObject*, const std::string&, const std::string&, const std::string&,
                           const std::string&, const std::string&, bool&, bool&) { raised = true; };
    EXPECT_EQ(target->Exec(&browser::kCgidDocHostCommandHandler, 40, 0, nullptr, nullptr), kNotSupported);
    EXPECT_FALSE(raised);
}

TEST(HostedWBLifetime, SiteOutlivesTheComponentSafely) {
    auto wb = std::make_unique<THostedWB>(nullptr);
    auto ui = SiteAs<IDocHostUIHandler2>(*wb);
    auto target = SiteAs<IOleCommandTarget>(*wb);
    auto disp = SiteAs<IDispatch>(*wb);
    auto site = SiteAs<IOleInPlaceSite>(*wb);
    wb.reset();
    // Late calls, as the control may make them while it lets go.
    DOCHOSTUIINFO info{};
    EXPECT_EQ(ui->GetHostInfo(&info), E_NOTIMPL);
    EXPECT_EQ(ui->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(target->Exec(&browser::kCgidDocHostCommandHandler, 40, 0, nullptr, nullptr), kNotSupported);
    VARIANT v;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(disp->Invoke(-5512, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    HWND wnd = reinterpret_cast<HWND>(1);
    EXPECT_EQ(site->GetWindow(&wnd), E_FAIL);
    EXPECT_EQ(site->CanInPlaceActivate(), S_FALSE);
}

TEST(HostedWBFpu, ExceptionModeSwitchesTheControlWord) {
    THostedWB wb(nullptr);
    uint16_t saved = browser::SavedFpuControlWord();
    wb.SetfpExceptions(false);
    EXPECT_FALSE(wb.fpExceptions());
    // Bit 6 of the x87 control word is reserved and always reads as one.
    EXPECT_EQ(browser::Get8087CW() & ~0x40, browser::kAllExceptionsMasked);
    wb.SetfpExceptions(true);
    EXPECT_EQ(browser::Get8087CW(), saved);
}

namespace {

const char kUserAgentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform";

bool UserAgentValueExists(const char* name) {
    velfw::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kUserAgentKey, KEY_READ) != ERROR_SUCCESS) return false;
    return ::RegQueryValueExA(key.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void DeleteUserAgentValue(const char* name) {
    velfw::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kUserAgentKey, KEY_ALL_ACCESS) == ERROR_SUCCESS) key.DeleteValue(name);
}

}  // namespace

TEST(HostedWBUserAgent, CodeMadeControlLeavesAnotherProgramsTokenAlone) {
    ASSERT_TRUE(testing_support::SetRegString(HKEY_CURRENT_USER, kUserAgentKey, "VelunorOtherProgram", ""));
    {
        THostedWB wb(nullptr);
        wb.UserAgent = "VelunorOtherProgram";
    }
    EXPECT_TRUE(UserAgentValueExists("VelunorOtherProgram"));
    DeleteUserAgentValue("VelunorOtherProgram");
}

TEST(HostedWBUserAgent, LoadedControlRegistersItsTokenAndRemovesItAgain) {
    DeleteUserAgentValue("VelunorTestAgent");
    velfw::TComponent root(nullptr);
    root.BeginLoading();
    auto* wb = new THostedWB(&root);
    wb->UserAgent = "VelunorTestAgent";
    wb->SetDownloadOptions({TDownloadControlOption::NO_JAVA});
    root.EndLoading();  // runs Loaded
    EXPECT_TRUE(UserAgentValueExists("VelunorTestAgent"));
    EXPECT_EQ(wb->DownloadControlValue(), 0x100u);
    EXPECT_NE(wb->SecurityManager(), nullptr);
    EXPECT_NE(wb->ZoneManager(), nullptr);
    delete wb;
    EXPECT_FALSE(UserAgentValueExists("VelunorTestAgent"));
}

// The token is renamed while the control lives: the value it wrote goes, and
// a value under the new name, which another program may own, stays.
TEST(HostedWBUserAgent, ARenamedTokenIsRemovedByTheNameItWasWrittenUnder) {
    const struct {
        const char* written;
        const char* renamed;
    } rows[] = {
        {"VelunorTestAgent", "VelunorOtherProgram"},
        {"", "VelunorOtherProgram"},  // the key's default value
        {"VelunorTestAgent", ""},
    };
    for (const auto& r : rows) {
        DeleteUserAgentValue(r.written);
        ASSERT_TRUE(testing_support::SetRegString(HKEY_CURRENT_USER, kUserAgentKey, r.renamed, ""));
        velfw::TComponent root(nullptr);
        root.BeginLoading();
        auto* wb = new THostedWB(&root);
        wb->UserAgent = r.written;
        root.EndLoading();  // runs Loaded, which writes the token
        ASSERT_TRUE(UserAgentValueExists(r.written)) << r.written;
        wb->UserAgent = r.renamed;
        delete wb;
        EXPECT_FALSE(UserAgentValueExists(r.written)) << "left behind: \"" << r.written << "\"";
        EXPECT_TRUE(UserAgentValueExists(r.renamed)) << "removed: \"" << r.renamed << "\"";
        DeleteUserAgentValue(r.renamed);
    }
}

TEST(HostedWBPageSetup, MarginsAreReadInTheUnitTheOptionsUse) {
    const char kPageSetup[] = "Software\\Microsoft\\Internet Explorer\\PageSetup";
    if (velfw::RegistryKey().Open(HKEY_CURRENT_USER, kPageSetup, KEY_READ) == ERROR_SUCCESS)
        GTEST_SKIP() << "a page setup is stored already; left alone";
    velfw::RegistryKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kPageSetup, KEY_ALL_ACCESS), ERROR_SUCCESS);
    auto set = [&](const char* name, const char* value) { key.WriteString(name, value); };
    set("header", "&w&bPage &p");
    set("footer", "&u&b&d");
    set("margin_left", "0.750000");
    set("margin_right", " 1.0 ");
    set("margin_top", "0.5");
    set("margin_bottom", "0");
    key.Close();
    browser::TPrintOptions mm;
    browser::ReadPageSetup(mm);
    browser::TPrintOptions inches;
    inches.UsesInches = true;
    browser::ReadPageSetup(inches);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kPageSetup);
    EXPECT_EQ(mm.Header, "&w&bPage &p");
    EXPECT_EQ(mm.Footer, "&u&b&d");
    EXPECT_NEAR(mm.Margins.Left, 19.05, 1e-9);
    EXPECT_NEAR(mm.Margins.Right, 25.4, 1e-9);
    EXPECT_NEAR(inches.Margins.Left, 0.75, 1e-9);
    EXPECT_NEAR(inches.Margins.Top, 0.5, 1e-9);
}

TEST(HostedWBLocale, MeasurementSystemOfTheUserLocale) {
    char saved[10] = {};
    ASSERT_GT(::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved, sizeof saved), 0);
    bool results[2] = {};
    for (int inches = 0; inches < 2; ++inches) {
        ASSERT_TRUE(::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, inches ? "1" : "0"));
        THostedWB wb(nullptr);
        results[inches] = wb.LocaleUsesInches();
    }
    ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved);
    EXPECT_FALSE(results[0]);
    EXPECT_TRUE(results[1]);
}
