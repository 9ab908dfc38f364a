#include "HostedWB.h"

#include <mshtml.h>
#include <oleauto.h>

#include <cstring>

#include "FpuControl.h"
#include "HostGuids.h"
#include "PidlHelpers.h"
#include "RegistryKey.h"
#include "ShellEntries.h"

namespace browser {

TAmbientChangeNotifier AmbientChangeNotifier = NotifyControlOfAmbientChange;

namespace {

uint16_t g_savedFpuControlWord = 0x037F;
bool g_oleStarted = false;

const char kUserAgentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform";
const char kPageSetupKey[] = "Software\\Microsoft\\Internet Explorer\\PageSetup";

// Result codes of the command target that the platform headers spell
// differently from version to version.
constexpr HRESULT kCmdErrNotSupported = static_cast<HRESULT>(0x80040100);
constexpr HRESULT kCmdErrUnknownGroup = static_cast<HRESULT>(0x80040104);
constexpr DWORD kShowScriptError = 40;  // OLECMDID_SHOWSCRIPTERROR
constexpr DWORD kExplorerUnload = 37;

// A text value of a key; empty text when it is missing or not text.
std::string ReadStringValue(const velfw::RegistryKey& key, const char* name) {
    std::string text;
    key.ReadString(name, text);
    return text;
}

// One property of the script-error event object, read by name and as text.
std::string EventProperty(IDispatch* event, const wchar_t* name) {
    DISPID id = 0;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = event->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (hr == DISP_E_UNKNOWNNAME) throw velfw::Exception("'" + velfw::WideToAnsi(name) + "' not supported.");
    if (FAILED(hr)) velfw::RaiseOleError("Looking up a script-error property failed", hr);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    velfw::OleVariant value;
    hr = event->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    if (FAILED(hr)) velfw::RaiseOleError("Reading a script-error property failed", hr);
    if (value->vt == VT_EMPTY || value->vt == VT_NULL) return {};
    hr = ::VariantChangeType(&value, &value, 0, VT_BSTR);
    if (FAILED(hr)) velfw::RaiseOleError("Converting a script-error property failed", hr);
    return velfw::WideToAnsi(value->bstrVal);
}

}  // namespace

// ---- the site

// The control's client site with the document-host interfaces on it. The
// host pointer is cleared when the component goes; from then on every
// callback gives the answer that lets the control do its own default.
class THostedWB::Site final : public velfw::TComObjectWith<velfw::TOleClientSite, IOleCommandTarget, IServiceProvider,
                                                           IDocHostUIHandler2, IDocHostShowUI> {
public:
    void SetHost(THostedWB* host) { host_ = host; }

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* pt, IUnknown* cmdt, IDispatch* disp) override {
        return Call(S_FALSE, [&] { return host_->ShowContextMenu(id, pt, cmdt, disp); });
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        return Call(E_NOTIMPL, [&] { return host_->GetHostInfo(info); });
    }
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target, IOleInPlaceFrame* frame,
                        IOleInPlaceUIWindow* doc) override {
        return Call(S_FALSE, [&] { return host_->ShowUI(id, active, target, frame, doc); });
    }
    STDMETHODIMP HideUI() override { return Call(S_FALSE, [&] { return host_->HideUI(); }); }
    STDMETHODIMP UpdateUI() override { return Call(S_FALSE, [&] { return host_->UpdateUI(); }); }
    STDMETHODIMP EnableModeless(BOOL enable) override {
        return Call(S_FALSE, [&] { return host_->EnableModeless(enable); });
    }
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override {
        return Call(S_FALSE, [&] { return host_->OnDocWindowActivate(activate); });
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override {
        return Call(S_FALSE, [&] { return host_->OnFrameWindowActivate(activate); });
    }
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override {
        return Call(S_FALSE, [&] { return host_->ResizeBorder(border, window, frameWindow); });
    }
    STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD cmd) override {
        return Call(S_FALSE, [&] { return host_->TranslateAccelerator(msg, group, cmd); });
    }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD dw) override {
        return Call(S_FALSE, [&] { return host_->GetOptionKeyPath(key, dw); });
    }
    STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** result) override {
        if (!host_ && result) *result = nullptr;
        return Call(E_NOTIMPL, [&] { return host_->GetDropTarget(target, result); });
    }
    STDMETHODIMP GetExternal(IDispatch** external) override {
        if (!host_ && external) *external = nullptr;
        return Call(S_FALSE, [&] { return host_->GetExternal(external); });
    }
    STDMETHODIMP TranslateUrl(DWORD translate, LPOLESTR in, LPOLESTR* out) override {
        return Call(S_FALSE, [&] { return host_->TranslateUrl(translate, in, out); });
    }
    STDMETHODIMP FilterDataObject(IDataObject* in, IDataObject** out) override {
        if (!host_ && out) *out = nullptr;
        return Call(S_FALSE, [&] { return host_->FilterDataObject(in, out); });
    }
    // IDocHostUIHandler2
    STDMETHODIMP GetOverrideKeyPath(LPOLESTR* key, DWORD dw) override {
        return Call(S_OK, [&] { return host_->GetOverrideKeyPath(key, dw); });
    }
    // IDocHostShowUI
    STDMETHODIMP ShowMessage(HWND wnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                             DWORD helpContext, LRESULT* result) override {
        return Call(S_FALSE, [&] { return host_->ShowMessage(wnd, text, caption, type, helpFile, helpContext, result); });
    }
    STDMETHODIMP ShowHelp(HWND wnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mouse,
                          IDispatch* hit) override {
        return Call(S_FALSE, [&] { return host_->ShowHelp(wnd, helpFile, command, data, mouse, hit); });
    }
    // IOleCommandTarget
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* cmds, OLECMDTEXT* text) override {
        return Call(S_OK, [&] { return host_->QueryStatus(group, count, cmds, text); });
    }
    STDMETHODIMP Exec(const GUID* group, DWORD cmd, DWORD opt, VARIANT* in, VARIANT* out) override {
        return Call(kCmdErrNotSupported, [&] { return host_->Exec(group, cmd, opt, in, out); });
    }
    // IServiceProvider
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override {
        return Call(E_NOINTERFACE, [&] { return host_->QueryService(service, iid, object); });
    }

private:
    ~Site() override = default;

    // Nothing raised in our code travels into the control's: a failure gives
    // `orphan` too, the answer that lets the control do its own default.
    template <typename F>
    HRESULT Call(HRESULT orphan, F call) {
        if (!host_) return orphan;
        try {
            return call();
        } catch (...) {
            return orphan;
        }
    }

    THostedWB* host_ = nullptr;
};

// ---- what the window hooks and the DDE server use

class THostedWB::ShellHost final : public IShellHookHost {
public:
    explicit ShellHost(THostedWB& wb) : wb_(wb) {}
    velfw::TWinControl& BrowserControl() override { return wb_; }
    bool TranslateBrowserKey(MSG& msg) override {
        velfw::ComPtr<IDispatch> application;
        try {
            application = wb_.Application();
        } catch (const velfw::Exception&) {
            return false;  // no browser object (yet): the key goes on as usual
        }
        return TranslateKeyWithApplication(application.Get(), msg);
    }
    void NavigateUrl(const std::string& url) override { wb_.NavigateUrl(url); }
    void NavigatePidl(LPCITEMIDLIST list) override { wb_.NavigatePidl(list); }
    bool ReplacesCaption() override { return wb_.ReplaceCaption; }
    bool AnswersDde() override { return wb_.EnableDDE; }
    void CloseQuery(bool& canClose) override {
        if (wb_.OnCloseQuery) wb_.OnCloseQuery(&wb_, canClose);
    }
    void ShowDialog(HWND h) override {
        if (wb_.OnShowDialog) wb_.OnShowDialog(&wb_, h);
    }

private:
    THostedWB& wb_;
};

void THostedWB::NavigateUrl(const std::string& url) {
    velfw::OleVariant address, flags, frame, post, headers;
    address->vt = VT_BSTR;
    address->bstrVal = velfw::OleString(url).Release();
    for (VARIANT* v : {&flags, &frame, &post, &headers}) {
        v->vt = VT_I4;
        v->lVal = 0;
    }
    Navigate2(address.Get(), flags.Get(), frame.Get(), post.Get(), headers.Get());
}

void THostedWB::NavigatePidl(LPCITEMIDLIST list) {
    const UINT size = GetPidlSize(list);
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, size);
    if (!array) return;
    velfw::OleVariant target, flags, frame, post, headers;
    target->vt = VT_ARRAY | VT_UI1;
    target->parray = array;  // released with the variant
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data))) return;
    std::memcpy(data, list, size);
    ::SafeArrayUnaccessData(array);
    Navigate2(target.Get(), flags.Get(), frame.Get(), post.Get(), headers.Get());
}

// ---- construction and destruction

THostedWB::THostedWB(velfw::TComponent* owner) : velfw::TWebBrowser(owner, new Site()) {
    fpExceptions_ = true;
    hostSite_ = static_cast<Site*>(ClientSite());
    hostSite_->SetHost(this);
    try {
        ReadShellDdeNames();
        shellHost_ = std::make_unique<ShellHost>(*this);
        shell_ = std::make_unique<THostedWBShell>(*shellHost_);
        printOptions_.HTMLHeader().Add("<HTML></HTML>");
        char measure[10] = {};
        ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure);
        localeUsesInches_ = measure[0] == '1';
        SetDownloadOptions({TDownloadControlOption::DLIMAGES, TDownloadControlOption::VIDEOS,
                            TDownloadControlOption::BGSOUNDS});
        SetUserInterfaceOptions({});
        EnableDDE = false;
    } catch (...) {
        hostSite_->SetHost(nullptr);
        shell_.reset();
        throw;
    }
}

THostedWB::~THostedWB() {
    // Late calls of the control from here on find no host.
    hostSite_->SetHost(nullptr);
    // The hidden window goes and the owner gets its procedure back.
    shell_.reset();
    RemoveUserAgent();
}

void THostedWB::Loaded() {
    velfw::TWebBrowser::Loaded();
    auto provider = velfw::ComPtr<IServiceProvider>(static_cast<IServiceProvider*>(hostSite_));
    // Nothing in the programs uses the two managers, so a failure to make one
    // is no failure of the control: its manager stays none (a failed
    // creation gives back null), which the accessors say.
    ::CoInternetCreateSecurityManager(provider.Get(), securityManager_.Out(), 0);
    ::CoInternetCreateZoneManager(provider.Get(), zoneManager_.Out(), 0);
    downloadControlValue_ = DownloadControlValueOf(downloadOptions_);
    hostFlagsValue_ = HostFlagsValueOf(userInterfaceOptions_);
    shell_->HookOwnerWindow();
    if (ComponentState() & velfw::csDesigning) {
        printOptions_.UsesInches = localeUsesInches_;
        ReadPageSetup(printOptions_);
        return;
    }
    shell_->InstallControlHook();
    RegisterUserAgent();
}

// The value is the token's name under the key; an empty token writes the
// key's default value.
void THostedWB::RegisterUserAgent() {
    velfw::RegistryKey key;
    if (key.Create(HKEY_CURRENT_USER, kUserAgentKey, KEY_ALL_ACCESS) != ERROR_SUCCESS) return;
    if (key.WriteString(UserAgent, "")) writtenUserAgent_ = UserAgent;
}

// Only the value this component wrote, by the name it wrote it under: another
// program may own a token of the same name, or of the name the property holds
// by now.
void THostedWB::RemoveUserAgent() {
    if (!writtenUserAgent_) return;
    const std::string name = *writtenUserAgent_;
    writtenUserAgent_.reset();
    velfw::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kUserAgentKey, KEY_ALL_ACCESS) == ERROR_SUCCESS) key.DeleteValue(name);
}

// ---- options

void THostedWB::SetDownloadOptions(TDownloadControlOptions value) {
    downloadOptions_ = value;
    downloadControlValue_ = DownloadControlValueOf(value);
    NotifyDownloadControl();
}

void THostedWB::SetUserInterfaceOptions(TUserInterfaceOptions value) {
    userInterfaceOptions_ = value;
    hostFlagsValue_ = HostFlagsValueOf(value);
    // The host flags are asked for with the document; the control is told
    // through the download-control id all the same.
    NotifyDownloadControl();
}

void THostedWB::NotifyDownloadControl() {
    if (AmbientChangeNotifier) AmbientChangeNotifier(*this, DISPID_AMBIENT_DLCONTROL_ID);
}

void NotifyControlOfAmbientChange(THostedWB& sender, DISPID id) {
    velfw::ComPtr<IDispatch> application = sender.Application();
    auto control = application.As<IOleControl>();
    if (!control) velfw::RaiseOleError("The browser control offers no IOleControl", E_NOINTERFACE);
    control->OnAmbientPropertyChange(id);
}

void THostedWB::SetfpExceptions(bool value) {
    Set8087CW(value ? g_savedFpuControlWord : kAllExceptionsMasked);
    fpExceptions_ = value;
}

// ---- IDocHostUIHandler2 / IDocHostUIHandler

HRESULT THostedWB::ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) {
    return OnShowContextMenu ? OnShowContextMenu(dwID, ppt, pcmdtReserved, pdispReserved) : S_FALSE;
}

HRESULT THostedWB::GetHostInfo(DOCHOSTUIINFO* pInfo) {
    if (pInfo) {
        pInfo->cbSize = sizeof(DOCHOSTUIINFO);
        pInfo->dwFlags = hostFlagsValue_;
        pInfo->dwDoubleClick = 0;
    }
    return OnGetHostInfo ? OnGetHostInfo(pInfo) : S_OK;
}

HRESULT THostedWB::ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                          IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) {
    return OnShowUI ? OnShowUI(dwID, pActiveObject, pCommandTarget, pFrame, pDoc) : S_FALSE;
}

HRESULT THostedWB::HideUI() { return OnHideUI ? OnHideUI() : S_FALSE; }
HRESULT THostedWB::UpdateUI() { return OnUpdateUI ? OnUpdateUI() : S_FALSE; }
HRESULT THostedWB::EnableModeless(BOOL fEnable) { return OnEnableModeless ? OnEnableModeless(fEnable) : S_FALSE; }

HRESULT THostedWB::OnDocWindowActivate(BOOL fActivate) {
    return OnOnDocWindowActivate ? OnOnDocWindowActivate(fActivate) : S_FALSE;
}

HRESULT THostedWB::OnFrameWindowActivate(BOOL fActivate) {
    return OnOnFrameWindowActivate ? OnOnFrameWindowActivate(fActivate) : S_FALSE;
}

HRESULT THostedWB::ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow) {
    return OnResizeBorder ? OnResizeBorder(prcBorder, pUIWindow, fRameWindow) : S_FALSE;
}

HRESULT THostedWB::TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) {
    return OnTranslateAccelerator ? OnTranslateAccelerator(lpMsg, pguidCmdGroup, nCmdID) : S_FALSE;
}

HRESULT THostedWB::GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) {
    return OnGetOptionKeyPath ? OnGetOptionKeyPath(pchKey, dw) : S_FALSE;
}

HRESULT THostedWB::GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) {
    if (ppDropTarget) *ppDropTarget = nullptr;
    return OnGetDropTarget ? OnGetDropTarget(pDropTarget, ppDropTarget) : S_OK;
}

HRESULT THostedWB::GetExternal(IDispatch** ppDispatch) {
    if (ppDispatch) *ppDispatch = nullptr;
    return OnGetExternal ? OnGetExternal(ppDispatch) : S_FALSE;
}

HRESULT THostedWB::TranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut) {
    return OnTranslateUrl ? OnTranslateUrl(dwTranslate, pchURLIn, ppchURLOut) : S_FALSE;
}

HRESULT THostedWB::FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) {
    if (ppDORet) *ppDORet = nullptr;
    return OnFilterDataObject ? OnFilterDataObject(pDO, ppDORet) : S_FALSE;
}

HRESULT THostedWB::GetOverrideKeyPath(LPOLESTR* pchKey, DWORD dw) {
    return OnGetOverrideKeyPath ? OnGetOverrideKeyPath(pchKey, dw) : S_OK;
}

// ---- IDocHostShowUI

HRESULT THostedWB::ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                               LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult) {
    if (OnShowMessage) return OnShowMessage(hwnd, lpstrText, lpstrCaption, dwType, lpstrHelpFile, dwHelpContext, plResult);
    return S_FALSE;
}

HRESULT THostedWB::ShowHelp(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData, POINT ptMouse,
                            IDispatch* pDispatchObjectHit) {
    if (OnShowHelp) return OnShowHelp(hwnd, pszHelpFile, uCommand, dwData, ptMouse, pDispatchObjectHit);
    if (HelpFile.empty()) return S_FALSE;
    // Our help file, not the control's; whether it opened does not matter.
    HtmlHelp(hwnd, HelpFile, uCommand, dwData);
    return S_OK;
}

// ---- IOleCommandTarget

HRESULT THostedWB::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) { return S_OK; }

HRESULT THostedWB::Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD, VARIANT*, VARIANT* pvaOut) {
    if (!pguidCmdGroup) return kCmdErrUnknownGroup;
    HRESULT result = kCmdErrNotSupported;
    if (IsEqualGUID(*pguidCmdGroup, kCgidExplorer) && nCmdID == kExplorerUnload && OnUnload) OnUnload(this);
    if (IsEqualGUID(*pguidCmdGroup, kCgidDocHostCommandHandler)) {
        if (OnRefresh && (nCmdID == kRefreshTopCommand || nCmdID == kRefreshThisCommand || nCmdID == kRefreshCommand)) {
            bool cancel = false;
            OnRefresh(this, static_cast<int>(nCmdID), cancel);
            return cancel ? S_OK : result;
        }
        if (nCmdID == kShowScriptError && OnScriptError) {
            velfw::ComPtr<IDispatch> event = ScriptErrorEventObject();
            if (!event) return kCmdErrNotSupported;
            bool continueScript = true, showDialog = true;
            std::string character = EventProperty(event.Get(), L"errorCharacter");
            std::string code = EventProperty(event.Get(), L"errorCode");
            std::string message = EventProperty(event.Get(), L"errorMessage");
            std::string url = EventProperty(event.Get(), L"errorUrl");
            std::string line = EventProperty(event.Get(), L"errorline");
            OnScriptError(this, line, character, code, message, url, continueScript, showDialog);
            if (pvaOut) {
                ::VariantClear(pvaOut);
                pvaOut->vt = VT_BOOL;
                pvaOut->boolVal = continueScript ? VARIANT_TRUE : VARIANT_FALSE;
            }
            if (!showDialog) result = S_OK;
        }
    }
    return result;
}

velfw::ComPtr<IHTMLDocument2> THostedWB::HtmlDocument() {
    velfw::ComPtr<IDispatch> document = Document();
    if (!document) throw velfw::Exception("The browser has no document");
    velfw::ComPtr<IHTMLDocument2> html;
    const HRESULT hr = document->QueryInterface(VELFW_IID_PPV_ARGS(html));
    if (FAILED(hr)) velfw::RaiseOleError("The document is not a web page", hr);
    return html;
}

velfw::ComPtr<IDispatch> THostedWB::ScriptErrorEventObject() {
    velfw::ComPtr<IHTMLDocument2> html = HtmlDocument();
    velfw::ComPtr<IHTMLWindow2> window;
    HRESULT hr = html->get_parentWindow(window.Out());
    if (FAILED(hr) || !window) velfw::RaiseOleError("The document has no window", FAILED(hr) ? hr : E_POINTER);
    velfw::ComPtr<IHTMLEventObj> event;
    hr = window->get_event(event.Out());
    if (FAILED(hr)) velfw::RaiseOleError("The window has no event object", hr);
    if (!event) return nullptr;
    return event.As<IDispatch>();
}

// ---- IServiceProvider

HRESULT THostedWB::QueryService(REFGUID guidService, REFIID riid, void** ppvObject) {
    if (!OnQueryService) return E_NOINTERFACE;
    if (ppvObject) *ppvObject = nullptr;
    return OnQueryService(guidService, riid, ppvObject);
}

// ---- IDispatch: ambient properties

HRESULT THostedWB::AmbientGetTypeInfoCount(UINT* count) {
    if (OnGetTypeInfoCount) return OnGetTypeInfoCount(count);
    if (count) *count = 0;
    return E_NOTIMPL;
}

HRESULT THostedWB::AmbientGetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    if (info) *info = nullptr;
    if (OnGetTypeInfo) return OnGetTypeInfo(index, lcid, info);
    return E_NOTIMPL;
}

HRESULT THostedWB::AmbientGetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    return OnGetIDsOfNames ? OnGetIDsOfNames(iid, names, count, lcid, ids) : E_NOTIMPL;
}

HRESULT THostedWB::AmbientInvoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* excepInfo, UINT* argErr) {
    if ((flags & DISPATCH_PROPERTYGET) && result && id == DISPID_AMBIENT_DLCONTROL_ID) {
        ::VariantInit(result);
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(downloadControlValue_);
        return S_OK;
    }
    if (OnInvoke) return OnInvoke(id, iid, lcid, flags, params, result, excepInfo, argErr);
    return velfw::TWebBrowser::AmbientInvoke(id, iid, lcid, flags, params, result, excepInfo, argErr);
}

// ---- page setup, DDE names, unit state

void ReadPageSetup(TPrintOptions& options) {
    velfw::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kPageSetupKey, KEY_READ) != ERROR_SUCCESS) return;
    char sep[4] = {};
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep);
    char decimal = sep[0] ? sep[0] : '.';
    options.Header = ReadStringValue(key, "header");
    options.Footer = ReadStringValue(key, "footer");
    options.Margins.Left = PageSetupMargin(ReadStringValue(key, "margin_left"), decimal, options.UsesInches);
    options.Margins.Right = PageSetupMargin(ReadStringValue(key, "margin_right"), decimal, options.UsesInches);
    options.Margins.Top = PageSetupMargin(ReadStringValue(key, "margin_top"), decimal, options.UsesInches);
    options.Margins.Bottom = PageSetupMargin(ReadStringValue(key, "margin_bottom"), decimal, options.UsesInches);
}

uint16_t SavedFpuControlWord() { return g_savedFpuControlWord; }

void InitHostedWBUnit() {
    g_savedFpuControlWord = Get8087CW();
    g_oleStarted = SUCCEEDED(::OleInitialize(nullptr));
}

void DoneHostedWBUnit() {
    Set8087CW(g_savedFpuControlWord);
    if (g_oleStarted) ::OleUninitialize();
    g_oleStarted = false;
    ShellDde() = TShellDdeState();
}

}  // namespace browser
