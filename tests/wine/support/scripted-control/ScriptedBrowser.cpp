#include "ScriptedBrowser.h"

#include <docobj.h>
#include <mshtmhst.h>
#include <olectl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ControlLog.h"
#include "WideText.h"
#include "WebBrowserDispIds.h"
#include "WinHandles.h"

namespace scripted {

namespace {

inline constexpr char kWebBrowserName[] = "IWebBrowser2";

const char kControlClass[] = "VelunorScriptedBrowser";
const char kEventsClass[] = "VelunorScriptedBrowserEvents";
const char kPopupClass[] = "VelunorScriptedPopup";

constexpr UINT kNavigatedMessage = WM_APP + 1;
constexpr UINT_PTR kCompleteTimer = 1;
constexpr UINT_PTR kFrameTimer = 2;
constexpr UINT_PTR kScriptErrorTimer = 3;
constexpr UINT_PTR kPopupTimer = 4;

// What the control says of itself, as the system's control does.
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

constexpr int kBandHeight = 44;   // the marker and the address above the page
constexpr int kLineSpacing = 40;  // one painted line of the page per 40 pixels

LONG g_openPopups = 0;

UINT TimerDelay(long ms) { return static_cast<UINT>(std::max(1L, ms)); }

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

// What a window of this module was made with (its creation parameter), kept
// from its first message on. The module's windows are its own, not the
// host's: the server may be unloaded while the host's framework runs.
LONG_PTR CreationValue(HWND wnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE)
        ::SetWindowLongPtrA(wnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams));
    return ::GetWindowLongPtrA(wnd, GWLP_USERDATA);
}

TScriptedBrowser* BrowserOfWindow(HWND wnd, UINT msg, LPARAM lp) {
    return reinterpret_cast<TScriptedBrowser*>(CreationValue(wnd, msg, lp));
}

LRESULT CALLBACK ControlProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        TScriptedBrowser* b = BrowserOfWindow(wnd, msg, lp);
        if (msg == WM_PAINT) {
            const velfw::PaintDc paint(wnd);
            RECT client;
            ::GetClientRect(wnd, &client);
            if (b) b->Paint(paint.get(), client);
            return 0;
        } else if (msg == WM_ERASEBKGND) {
            return 1;  // the paint fills all of it
        }
    } catch (...) {
        return 0;  // a window that cannot paint stays as it was
    }
    return ::DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT CALLBACK EventsProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        TScriptedBrowser* b = BrowserOfWindow(wnd, msg, lp);
        if (msg == WM_TIMER || msg == kNavigatedMessage) {
            if (b) b->OnEventMessage(msg, wp);
            return 0;
        }
    } catch (...) {
        return 0;  // an event that fails is lost, as the page would lose it
    }
    return ::DefWindowProcA(wnd, msg, wp, lp);
}

// A pop-up the page opened: a top-level window of the host's process, as
// the system's control opens one when its container does not take it.
LRESULT CALLBACK PopupProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        const int browser = static_cast<int>(CreationValue(wnd, msg, lp));
        switch (msg) {
            case WM_NCCREATE:
                ::InterlockedIncrement(&g_openPopups);
                break;
            case WM_CLOSE:
                Log(browser, "popup closed");
                ::DestroyWindow(wnd);
                return 0;
            case WM_NCDESTROY:
                ::InterlockedDecrement(&g_openPopups);
                break;
            case WM_PAINT: {
                const velfw::PaintDc paint(wnd);
                ::SetBkMode(paint.get(), TRANSPARENT);
                const char text[] = "Pop-up window (scripted stand-in)";
                ::TextOutA(paint.get(), 8, 8, text, static_cast<int>(sizeof text - 1));
                return 0;
            }
            default:
                break;
        }
    } catch (...) {
        return 0;  // nothing of a pop-up matters to the host
    }
    return ::DefWindowProcA(wnd, msg, wp, lp);
}

void RegisterClassOnce(const char* name, WNDPROC proc, HBRUSH background) {
    WNDCLASSA existing;
    if (::GetClassInfoA(ModuleInstance(), name, &existing)) return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    ::RegisterClassA(&wc);
}

void RegisterWindowClasses() {
    RegisterClassOnce(kControlClass, ControlProc, nullptr);
    RegisterClassOnce(kEventsClass, EventsProc, nullptr);
    RegisterClassOnce(kPopupClass, PopupProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

// ---- event arguments: by-reference variants, as the system's control passes them

// A text argument: a variant by reference holding a BSTR, owned here.
class TextArgument {
public:
    explicit TextArgument(const std::string& text) {
        ::VariantInit(&value_);
        value_.vt = VT_BSTR;
        value_.bstrVal = NewBstr(text);
    }
    TextArgument(const TextArgument&) = delete;
    TextArgument& operator=(const TextArgument&) = delete;
    ~TextArgument() { ::VariantClear(&value_); }
    VARIANT ByRef() {
        VARIANT v;
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &value_;
        return v;
    }

private:
    VARIANT value_;
};

VARIANT DispatchArgument(IDispatch* disp) {
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = disp;
    return v;
}

VARIANT VariantByRef(VARIANT* target) {
    VARIANT v;
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = target;
    return v;
}

VARIANT BoolByRef(VARIANT_BOOL* target) {
    VARIANT v;
    v.vt = VT_BYREF | VT_BOOL;
    v.pboolVal = target;
    return v;
}

// ---- the slots of the control's faces

template <typename I>
TScriptedBrowser& Self(I* self) {
    return OwnerOf<TScriptedBrowser>(self);
}

template <typename I>
HRESULT STDMETHODCALLTYPE NotImplemented0(I*) {
    return E_NOTIMPL;
}

// IOleObject

HRESULT STDMETHODCALLTYPE OleSetClientSite(IOleObject* self, IOleClientSite* site) {
    return Guarded([&] { return Self(self).SetClientSite(site); });
}
HRESULT STDMETHODCALLTYPE OleGetClientSite(IOleObject* self, IOleClientSite** site) {
    return Guarded([&] { return Self(self).GetClientSite(site); });
}
HRESULT STDMETHODCALLTYPE OleSetHostNames(IOleObject*, LPCOLESTR, LPCOLESTR) { return S_OK; }
HRESULT STDMETHODCALLTYPE OleClose(IOleObject* self, DWORD) {
    return Guarded([&] { return Self(self).Close(); });
}
HRESULT STDMETHODCALLTYPE OleSetMoniker(IOleObject*, DWORD, IMoniker*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE OleGetMoniker(IOleObject*, DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE OleInitFromData(IOleObject*, IDataObject*, WINBOOL, DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE OleGetClipboardData(IOleObject*, DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE OleDoVerb(IOleObject* self, LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent,
                                    LPCRECT position) {
    return Guarded([&] { return Self(self).DoVerb(verb, parent, position); });
}
HRESULT STDMETHODCALLTYPE OleEnumVerbs(IOleObject*, IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE OleUpdate(IOleObject*) { return S_OK; }
HRESULT STDMETHODCALLTYPE OleIsUpToDate(IOleObject*) { return S_OK; }
HRESULT STDMETHODCALLTYPE OleGetUserClassID(IOleObject*, CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_WebBrowser;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE OleGetUserType(IOleObject*, DWORD, LPOLESTR* type) {
    if (type) *type = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE OleSetExtent(IOleObject*, DWORD, SIZEL* size) { return size ? S_OK : E_POINTER; }
HRESULT STDMETHODCALLTYPE OleGetExtent(IOleObject*, DWORD, SIZEL* size) {
    if (!size) return E_POINTER;
    size->cx = size->cy = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE OleAdvise(IOleObject*, IAdviseSink*, DWORD* connection) {
    if (connection) *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT STDMETHODCALLTYPE OleUnadvise(IOleObject*, DWORD) { return OLE_E_NOCONNECTION; }
HRESULT STDMETHODCALLTYPE OleEnumAdvise(IOleObject*, IEnumSTATDATA** e) {
    if (e) *e = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT STDMETHODCALLTYPE OleGetMiscStatus(IOleObject*, DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE OleSetColorScheme(IOleObject*, LOGPALETTE*) { return E_NOTIMPL; }

const IOleObjectVtbl& OleObjectVtbl() {
    return UnknownVtable<IOleObject>([](IOleObjectVtbl& v) {
        v.SetClientSite = OleSetClientSite;
        v.GetClientSite = OleGetClientSite;
        v.SetHostNames = OleSetHostNames;
        v.Close = OleClose;
        v.SetMoniker = OleSetMoniker;
        v.GetMoniker = OleGetMoniker;
        v.InitFromData = OleInitFromData;
        v.GetClipboardData = OleGetClipboardData;
        v.DoVerb = OleDoVerb;
        v.EnumVerbs = OleEnumVerbs;
        v.Update = OleUpdate;
        v.IsUpToDate = OleIsUpToDate;
        v.GetUserClassID = OleGetUserClassID;
        v.GetUserType = OleGetUserType;
        v.SetExtent = OleSetExtent;
        v.GetExtent = OleGetExtent;
        v.Advise = OleAdvise;
        v.Unadvise = OleUnadvise;
        v.EnumAdvise = OleEnumAdvise;
        v.GetMiscStatus = OleGetMiscStatus;
        v.SetColorScheme = OleSetColorScheme;
    });
}

// IOleInPlaceObject and IOleInPlaceActiveObject

template <typename I>
HRESULT STDMETHODCALLTYPE WindowOf(I* self, HWND* window) {
    return Guarded([&] { return Self(self).GetWindow(window); });
}
template <typename I>
HRESULT STDMETHODCALLTYPE NoContextHelp(I*, WINBOOL) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE InPlaceDeactivateSlot(IOleInPlaceObject* self) {
    return Guarded([&] { return Self(self).InPlaceDeactivate(); });
}
HRESULT STDMETHODCALLTYPE InPlaceUIDeactivate(IOleInPlaceObject*) { return S_OK; }
HRESULT STDMETHODCALLTYPE InPlaceSetObjectRects(IOleInPlaceObject* self, LPCRECT position, LPCRECT) {
    return Guarded([&] { return Self(self).SetObjectRects(position); });
}

const IOleInPlaceObjectVtbl& InPlaceObjectVtbl() {
    return UnknownVtable<IOleInPlaceObject>([](IOleInPlaceObjectVtbl& v) {
        v.GetWindow = WindowOf<IOleInPlaceObject>;
        v.ContextSensitiveHelp = NoContextHelp<IOleInPlaceObject>;
        v.InPlaceDeactivate = InPlaceDeactivateSlot;
        v.UIDeactivate = InPlaceUIDeactivate;
        v.SetObjectRects = InPlaceSetObjectRects;
        v.ReactivateAndUndo = NotImplemented0<IOleInPlaceObject>;
    });
}

// No key of the pages is handled by the control: the host's keys stay the host's.
HRESULT STDMETHODCALLTYPE ActiveTranslateAccelerator(IOleInPlaceActiveObject*, LPMSG) { return S_FALSE; }
HRESULT STDMETHODCALLTYPE ActiveOnActivate(IOleInPlaceActiveObject*, WINBOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE ActiveResizeBorder(IOleInPlaceActiveObject*, LPCRECT, IOleInPlaceUIWindow*, WINBOOL) {
    return S_OK;
}

const IOleInPlaceActiveObjectVtbl& InPlaceActiveObjectVtbl() {
    return UnknownVtable<IOleInPlaceActiveObject>([](IOleInPlaceActiveObjectVtbl& v) {
        v.GetWindow = WindowOf<IOleInPlaceActiveObject>;
        v.ContextSensitiveHelp = NoContextHelp<IOleInPlaceActiveObject>;
        v.TranslateAccelerator = ActiveTranslateAccelerator;
        v.OnFrameWindowActivate = ActiveOnActivate;
        v.OnDocWindowActivate = ActiveOnActivate;
        v.ResizeBorder = ActiveResizeBorder;
        v.EnableModeless = ActiveOnActivate;
    });
}

// IOleControl

HRESULT STDMETHODCALLTYPE ControlGetInfo(IOleControl*, CONTROLINFO*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE ControlOnMnemonic(IOleControl*, MSG*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE ControlAmbientChange(IOleControl* self, DISPID id) {
    return Guarded([&] { return Self(self).OnAmbientPropertyChange(id); });
}
HRESULT STDMETHODCALLTYPE ControlFreezeEvents(IOleControl*, WINBOOL) { return S_OK; }

const IOleControlVtbl& OleControlVtbl() {
    return UnknownVtable<IOleControl>([](IOleControlVtbl& v) {
        v.GetControlInfo = ControlGetInfo;
        v.OnMnemonic = ControlOnMnemonic;
        v.OnAmbientPropertyChange = ControlAmbientChange;
        v.FreezeEvents = ControlFreezeEvents;
    });
}

// IPersistStreamInit: a control that starts empty and saves nothing.

HRESULT STDMETHODCALLTYPE PersistGetClassID(IPersistStreamInit*, CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_WebBrowser;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE PersistIsDirty(IPersistStreamInit*) { return S_FALSE; }
HRESULT STDMETHODCALLTYPE PersistLoad(IPersistStreamInit*, LPSTREAM) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE PersistSave(IPersistStreamInit*, LPSTREAM, WINBOOL) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE PersistGetSizeMax(IPersistStreamInit*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE PersistInitNew(IPersistStreamInit*) { return S_OK; }

const IPersistStreamInitVtbl& PersistVtbl() {
    return UnknownVtable<IPersistStreamInit>([](IPersistStreamInitVtbl& v) {
        v.GetClassID = PersistGetClassID;
        v.IsDirty = PersistIsDirty;
        v.Load = PersistLoad;
        v.Save = PersistSave;
        v.GetSizeMax = PersistGetSizeMax;
        v.InitNew = PersistInitNew;
    });
}

// IConnectionPointContainer and IConnectionPoint: one point, DWebBrowserEvents2.

HRESULT STDMETHODCALLTYPE PointsEnum(IConnectionPointContainer*, IEnumConnectionPoints** e) {
    if (e) *e = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE PointsFind(IConnectionPointContainer* self, REFIID iid, IConnectionPoint** point) {
    return Guarded([&] { return Self(self).FindConnectionPoint(iid, point); });
}

const IConnectionPointContainerVtbl& PointsVtbl() {
    return UnknownVtable<IConnectionPointContainer>([](IConnectionPointContainerVtbl& v) {
        v.EnumConnectionPoints = PointsEnum;
        v.FindConnectionPoint = PointsFind;
    });
}

HRESULT STDMETHODCALLTYPE EventsInterface(IConnectionPoint*, IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE EventsContainer(IConnectionPoint* self, IConnectionPointContainer** container) {
    return Guarded([&] { return Self(self).GetConnectionPointContainer(container); });
}
HRESULT STDMETHODCALLTYPE EventsAdvise(IConnectionPoint* self, IUnknown* sink, DWORD* cookie) {
    return Guarded([&] { return Self(self).Advise(sink, cookie); });
}
HRESULT STDMETHODCALLTYPE EventsUnadvise(IConnectionPoint* self, DWORD cookie) {
    return Guarded([&] { return Self(self).Unadvise(cookie); });
}
HRESULT STDMETHODCALLTYPE EventsEnum(IConnectionPoint*, IEnumConnections** e) {
    if (e) *e = nullptr;
    return E_NOTIMPL;
}

const IConnectionPointVtbl& EventsVtbl() {
    return UnknownVtable<IConnectionPoint>([](IConnectionPointVtbl& v) {
        v.GetConnectionInterface = EventsInterface;
        v.GetConnectionPointContainer = EventsContainer;
        v.Advise = EventsAdvise;
        v.Unadvise = EventsUnadvise;
        v.EnumConnections = EventsEnum;
    });
}

// IWebBrowser2: Navigate and Navigate2; the host reads and writes the
// properties through the automation interface.

HRESULT STDMETHODCALLTYPE WebNavigate(IWebBrowser2* self, BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    return Guarded([&] { return Self(self).Navigate(velfw::WideToAnsi(url)); });
}
HRESULT STDMETHODCALLTYPE WebNavigate2(IWebBrowser2* self, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (!url || url->vt != VT_BSTR) return E_INVALIDARG;  // an item-ID list has no address to script
    return Guarded([&] { return Self(self).Navigate(velfw::WideToAnsi(url->bstrVal)); });
}

const IWebBrowser2Vtbl& WebBrowserVtbl() {
    return DispatchVtable<IWebBrowser2, kWebBrowserName>([](IWebBrowser2Vtbl& v) {
        v.Navigate = WebNavigate;
        v.Navigate2 = WebNavigate2;
    });
}

}  // namespace

long OpenPopups() { return ::InterlockedCompareExchange(&g_openPopups, 0, 0); }

void UnregisterWindowClasses() {
    for (const char* name : {kControlClass, kEventsClass, kPopupClass}) ::UnregisterClassA(name, ModuleInstance());
}

// ---- the control

TScriptedBrowser::TScriptedBrowser(int number)
    : oleObject_(MakeFace<IOleObject>(OleObjectVtbl(), this)),
      inPlace_(MakeFace<IOleInPlaceObject>(InPlaceObjectVtbl(), this)),
      active_(MakeFace<IOleInPlaceActiveObject>(InPlaceActiveObjectVtbl(), this)),
      control_(MakeFace<IOleControl>(OleControlVtbl(), this)),
      persist_(MakeFace<IPersistStreamInit>(PersistVtbl(), this)),
      points_(MakeFace<IConnectionPointContainer>(PointsVtbl(), this)),
      events_(MakeFace<IConnectionPoint>(EventsVtbl(), this)),
      browser_(MakeFace<IWebBrowser2>(WebBrowserVtbl(), this)),
      number_(number) {
    RegisterWindowClasses();
    eventWindow_ = ::CreateWindowExA(0, kEventsClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), this);
    Log("create");
}

TScriptedBrowser::~TScriptedBrowser() {
    if (page_) page_->Painter = nullptr;
    if (window_) ::DestroyWindow(window_);
    if (eventWindow_) ::DestroyWindow(eventWindow_);
    Log("free");
}

void TScriptedBrowser::Log(const std::string& text) { scripted::Log(number_, text); }

void* TScriptedBrowser::Find(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) return &oleObject_.iface;
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) return &inPlace_.iface;
    if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) return &active_.iface;
    if (IsEqualIID(iid, IID_IOleControl)) return &control_.iface;
    if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) return &persist_.iface;
    if (IsEqualIID(iid, IID_IConnectionPointContainer)) return &points_.iface;
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser) || IsEqualIID(iid, IID_IWebBrowserApp) ||
        IsEqualIID(iid, IID_IWebBrowser2))
        return &browser_.iface;
    return nullptr;
}

// ---- siting and the container's answers

HRESULT TScriptedBrowser::SetClientSite(IOleClientSite* site) {
    site_ = Ref<IOleClientSite>(site);
    if (!site) {
        Log("site none");
        return S_OK;
    }
    Log("site");
    ReadDownloadControl();
    return S_OK;
}

HRESULT TScriptedBrowser::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_.NewReference();
    return S_OK;
}

// The download-control ambient property of the container, as the system's
// control reads it when it is sited and when it is told the value changed.
void TScriptedBrowser::ReadDownloadControl() {
    Ref<IDispatch> ambient = site_.As<IDispatch>(IID_IDispatch);
    if (!ambient) {
        Log("ambient dlcontrol none");
        return;
    }
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    ::VariantInit(&value);
    const HRESULT hr = ambient.Get()->lpVtbl->Invoke(ambient.Get(), velfw::DISPID_AMBIENT_DLCONTROL_ID, IID_NULL,
                                                     LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                                     nullptr);
    if (SUCCEEDED(hr) && SUCCEEDED(::VariantChangeType(&value, &value, 0, VT_I4)))
        Log("ambient dlcontrol " + Hex(static_cast<unsigned long>(value.lVal)));
    else
        Log("ambient dlcontrol none " + Hex(static_cast<unsigned long>(hr)));
    ::VariantClear(&value);
}

// The host information, asked with every new document.
void TScriptedBrowser::AskHostInfo() {
    Ref<IDocHostUIHandler> handler = site_.As<IDocHostUIHandler>(IID_IDocHostUIHandler);
    if (!handler) {
        Log("hostinfo none");
        return;
    }
    // Flags and double-click action come filled with a pattern: only what the
    // host writes itself reads back as its answer. The size and the two
    // strings are set as the system's control sets them.
    DOCHOSTUIINFO info;
    std::memset(&info, 0xA5, sizeof info);
    info.cbSize = sizeof info;
    info.pchHostCss = nullptr;
    info.pchHostNS = nullptr;
    const HRESULT hr = handler.Get()->lpVtbl->GetHostInfo(handler.Get(), &info);
    Log("hostinfo " + Hex(static_cast<unsigned long>(hr)) + " size=" + std::to_string(info.cbSize) +
        " flags=" + Hex(info.dwFlags) + " doubleclick=" + std::to_string(info.dwDoubleClick));
    // The host allocates these with the task allocator; the control frees them.
    ::CoTaskMemFree(info.pchHostCss);
    ::CoTaskMemFree(info.pchHostNS);
}

HRESULT TScriptedBrowser::OnAmbientPropertyChange(DISPID id) {
    Log("ambient change " + std::to_string(id));
    if (id == velfw::DISPID_AMBIENT_DLCONTROL_ID || id == DISPID_UNKNOWN) ReadDownloadControl();
    return S_OK;
}

// ---- in-place activation

HRESULT TScriptedBrowser::DoVerb(LONG verb, HWND parent, LPCRECT position) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
        case OLEIVERB_INPLACEACTIVATE:
            break;
        case OLEIVERB_HIDE:
            if (window_) ::ShowWindow(window_, SW_HIDE);
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
    }
    if (window_) return S_OK;
    Ref<IOleInPlaceSite> site = site_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) return E_NOINTERFACE;
    IOleInPlaceSite* s = site.Get();
    if (s->lpVtbl->CanInPlaceActivate(s) != S_OK) {
        Log("activate refused");
        return E_FAIL;
    }
    s->lpVtbl->OnInPlaceActivate(s);
    Ref<IOleInPlaceFrame> frame;
    Ref<IOleInPlaceUIWindow> document;
    RECT pos = {}, clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof frameInfo;
    s->lpVtbl->GetWindowContext(s, frame.Out(), document.Out(), &pos, &clip, &frameInfo);
    if (position) pos = *position;
    if (!parent) s->lpVtbl->GetWindow(s, &parent);
    window_ = ::CreateWindowExA(0, kControlClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, pos.left, pos.top,
                                pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, ModuleInstance(), this);
    if (!window_) {
        s->lpVtbl->OnInPlaceDeactivate(s);
        return E_FAIL;
    }
    if (page_) page_->Painter = window_;
    Log("activate");
    LogPlace();
    return S_OK;
}

HRESULT TScriptedBrowser::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT TScriptedBrowser::InPlaceDeactivate() {
    if (!window_) return S_OK;
    if (page_) page_->Painter = nullptr;
    ::DestroyWindow(window_);
    window_ = nullptr;
    Log("deactivate");
    if (Ref<IOleInPlaceSite> site = site_.As<IOleInPlaceSite>(IID_IOleInPlaceSite))
        site.Get()->lpVtbl->OnInPlaceDeactivate(site.Get());
    return S_OK;
}

HRESULT TScriptedBrowser::SetObjectRects(LPCRECT position) {
    if (!position) return E_POINTER;
    if (!window_) return S_OK;
    ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
    LogPlace();
    return S_OK;
}

// Where the page shows on the screen: the tests tell the panes apart by it.
void TScriptedBrowser::LogPlace() {
    RECT r;
    ::GetClientRect(window_, &r);
    POINT origin{0, 0};
    ::ClientToScreen(window_, &origin);
    Log("place " + std::to_string(origin.x) + "," + std::to_string(origin.y) + " " + std::to_string(r.right) + "x" +
        std::to_string(r.bottom));
}

HRESULT TScriptedBrowser::Close() {
    Log("close");
    StopEvents();
    return InPlaceDeactivate();
}

// ---- the events connection

HRESULT TScriptedBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
    *point = &events_.iface;
    AddRef();
    return S_OK;
}

HRESULT TScriptedBrowser::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = &points_.iface;
    AddRef();
    return S_OK;
}

HRESULT TScriptedBrowser::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    if (sink_) return CONNECT_E_ADVISELIMIT;
    Ref<IDispatch> events;
    if (FAILED(sink->lpVtbl->QueryInterface(sink, DIID_DWebBrowserEvents2, reinterpret_cast<void**>(events.Out()))) &&
        FAILED(sink->lpVtbl->QueryInterface(sink, IID_IDispatch, reinterpret_cast<void**>(events.Out()))))
        return CONNECT_E_CANNOTCONNECT;
    sink_ = std::move(events);
    *cookie = 1;
    Log("advise");
    return S_OK;
}

HRESULT TScriptedBrowser::Unadvise(DWORD cookie) {
    if (cookie != 1 || !sink_) return CONNECT_E_NOCONNECTION;
    sink_.Reset();
    Log("unadvise");
    return S_OK;
}

void TScriptedBrowser::Fire(DISPID id, VARIANT* args, UINT count) {
    if (!sink_) return;
    Ref<IDispatch> sink = sink_;  // the handler may unadvise
    DISPPARAMS params{args, nullptr, count, 0};
    sink.Get()->lpVtbl->Invoke(sink.Get(), id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                               nullptr, nullptr);
}

bool TScriptedBrowser::FireCancellable(DISPID id, VARIANT* args, UINT count, VARIANT_BOOL* cancel) {
    *cancel = VARIANT_FALSE;
    Fire(id, args, count);
    return *cancel != VARIANT_FALSE;
}

// ---- the automation properties

HRESULT TScriptedBrowser::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) {
    const bool get = (flags & DISPATCH_PROPERTYGET) && result;
    if (get) ::VariantInit(result);
    switch (id) {
        case velfw::DISPID_WB_APPLICATION:
            if (!get) break;
            Log("get Application");
            result->vt = VT_DISPATCH;
            result->pdispVal = Automation();
            AddRef();
            return S_OK;
        case velfw::DISPID_WB_DOCUMENT:
            if (!get) break;
            Log(document_ ? "get Document" : "get Document none");
            result->vt = VT_DISPATCH;
            result->pdispVal = document_.NewReference();
            return S_OK;
        case velfw::DISPID_WB_LOCATIONURL:
            if (!get) break;
            Log("get LocationURL");
            result->vt = VT_BSTR;
            result->bstrVal = NewBstr(page_ ? page_->Address : std::string());
            return S_OK;
        case velfw::DISPID_WB_READYSTATE:
            if (!get) break;
            Log("get ReadyState " + std::to_string(readyState_));
            result->vt = VT_I4;
            result->lVal = readyState_;
            return S_OK;
        case velfw::DISPID_WB_VISIBLE:
            if (get) {
                result->vt = VT_BOOL;
                result->boolVal = visible_ ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            }
            if ((flags & DISPATCH_PROPERTYPUT) && params && params->cArgs == 1) {
                VARIANT value;
                ::VariantInit(&value);
                if (FAILED(::VariantChangeType(&value, &params->rgvarg[0], 0, VT_BOOL))) return DISP_E_TYPEMISMATCH;
                visible_ = value.boolVal != VARIANT_FALSE;
                Log(std::string("put Visible ") + (visible_ ? "1" : "0"));
                return S_OK;
            }
            break;
        default:
            break;
    }
    Log("invoke " + std::to_string(id) + " not answered");
    return DISP_E_MEMBERNOTFOUND;
}

// ---- navigation and what the script makes of it

void TScriptedBrowser::StopEvents() {
    ++generation_;
    for (UINT_PTR timer : {kCompleteTimer, kFrameTimer, kScriptErrorTimer, kPopupTimer})
        ::KillTimer(eventWindow_, timer);
    framesLeft_ = 0;
}

HRESULT TScriptedBrowser::Navigate(const std::string& url) {
    Log("navigate " + url);
    CountNavigation();
    const browser::TStandInRule rule = Script().Find(url);
    if (rule.FailNavigate) {
        Log("navigation call fails");
        return E_FAIL;
    }
    StopEvents();
    if (FireBeforeNavigate(url)) {
        Log("navigation cancelled");
        return S_OK;
    }
    rule_ = rule;
    if (page_) page_->Painter = nullptr;
    page_ = std::make_shared<TPage>();
    page_->Browser = number_;
    page_->Address = url;
    page_->Rule = rule;
    page_->Painter = window_;
    readyState_ = READYSTATE_LOADING;
    ::PostMessageA(eventWindow_, kNavigatedMessage, generation_, 0);
    if (rule.CompleteMs >= 0) ::SetTimer(eventWindow_, kCompleteTimer, TimerDelay(rule.CompleteMs), nullptr);
    if (rule.ScriptErrorMs >= 0) ::SetTimer(eventWindow_, kScriptErrorTimer, TimerDelay(rule.ScriptErrorMs), nullptr);
    if (rule.PopupMs >= 0) ::SetTimer(eventWindow_, kPopupTimer, TimerDelay(rule.PopupMs), nullptr);
    Repaint();
    return S_OK;
}

// Asked before the control goes anywhere: the container may cancel.
bool TScriptedBrowser::FireBeforeNavigate(const std::string& url) {
    TextArgument address(url), frame(""), headers("");
    VARIANT flags, post;
    ::VariantInit(&flags);
    ::VariantInit(&post);
    flags.vt = VT_I4;
    flags.lVal = 0;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel), last first
    VARIANT args[7] = {BoolByRef(&cancel),   headers.ByRef(),    VariantByRef(&post), frame.ByRef(),
                       VariantByRef(&flags), address.ByRef(),    DispatchArgument(Automation())};
    Log("event BeforeNavigate2");
    return FireCancellable(velfw::DISPID_WB_BEFORENAVIGATE2, args, 7, &cancel);
}

void TScriptedBrowser::OnEventMessage(UINT message, WPARAM wParam) {
    TScriptedObject* keep = this;  // a handler may let the last reference go
    keep->AddRef();
    try {
        if (message == kNavigatedMessage) {
            if (wParam == generation_) Navigated();
        } else {
            ::KillTimer(eventWindow_, wParam);
            if (wParam == kCompleteTimer) {
                readyState_ = READYSTATE_COMPLETE;
                framesLeft_ = rule_.Frames;
                if (framesLeft_ > 0) ::SetTimer(eventWindow_, kFrameTimer, TimerDelay(rule_.FrameGapMs), nullptr);
                Repaint();
                DocumentCompleted(0);
            } else if (wParam == kFrameTimer && framesLeft_ > 0) {
                const int frame = rule_.Frames - framesLeft_ + 1;
                if (--framesLeft_ > 0) ::SetTimer(eventWindow_, kFrameTimer, TimerDelay(rule_.FrameGapMs), nullptr);
                DocumentCompleted(frame);
            } else if (wParam == kScriptErrorTimer) {
                ReportScriptError();
            } else if (wParam == kPopupTimer) {
                OpenPopup();
            }
        }
    } catch (...) {
        keep->Release();
        throw;
    }
    keep->Release();
}

// The address answered: a failed one first reports its error and, unless
// the container cancels, shows the control's own error page.
void TScriptedBrowser::Navigated() {
    if (rule_.ErrorStatus != 0) {
        TextArgument address(page_->Address), frame("");
        VARIANT status;
        ::VariantInit(&status);
        status.vt = VT_I4;
        status.lVal = rule_.ErrorStatus;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        // (pDisp, URL, Frame, StatusCode, Cancel), last first
        VARIANT args[5] = {BoolByRef(&cancel), VariantByRef(&status), frame.ByRef(), address.ByRef(),
                           DispatchArgument(Automation())};
        Log("event NavigateError " + std::to_string(rule_.ErrorStatus));
        if (FireCancellable(velfw::DISPID_WB_NAVIGATEERROR, args, 5, &cancel)) {
            Log("navigation stopped");
            StopEvents();
            return;
        }
        page_->ErrorPage = true;
    }
    readyState_ = READYSTATE_INTERACTIVE;
    if (!rule_.NoDocument) {
        documentObject_ = new TScriptedDocument(page_);
        document_ = Ref<IDispatch>::Attach(reinterpret_cast<IDispatch*>(documentObject_->Document()));
    }
    AskHostInfo();
    TextArgument address(page_->Address);
    VARIANT args[2] = {address.ByRef(), DispatchArgument(Automation())};  // (pDisp, URL), last first
    Log("event NavigateComplete2");
    Fire(velfw::DISPID_WB_NAVIGATECOMPLETE2, args, 2);
}

void TScriptedBrowser::DocumentCompleted(int frame) {
    TextArgument address(page_->Address);
    VARIANT args[2] = {address.ByRef(), DispatchArgument(Automation())};
    Log(frame == 0 ? std::string("event DocumentComplete") : "event DocumentComplete frame " + std::to_string(frame));
    Fire(velfw::DISPID_WB_DOCUMENTCOMPLETE, args, 2);
}

// The page's script failed: the control asks its container, through the
// script-error command, whether to go on and whether to show its dialog.
void TScriptedBrowser::ReportScriptError() {
    if (!documentObject_) {
        Log("event ScriptError skipped: no document");
        return;
    }
    bool continueScript = true, showDialog = true;
    if (Ref<IOleCommandTarget> target = site_.As<IOleCommandTarget>(IID_IOleCommandTarget)) {
        Ref<IDispatch> document = document_;  // the host may navigate away meanwhile
        TScriptedDocument* object = documentObject_;
        object->BeginScriptError();
        VARIANT in, out;
        ::VariantInit(&in);
        ::VariantInit(&out);
        const HRESULT hr = target.Get()->lpVtbl->Exec(target.Get(), &CGID_DocHostCommandHandler,
                                                      OLECMDID_SHOWSCRIPTERROR, OLECMDEXECOPT_DODEFAULT, &in, &out);
        object->EndScriptError();
        showDialog = hr != S_OK;
        continueScript = !(out.vt == VT_BOOL && out.boolVal == VARIANT_FALSE);
        ::VariantClear(&out);
    }
    Log(std::string("event ScriptError continue=") + (continueScript ? "1" : "0") + " dialog=" + (showDialog ? "1" : "0"));
}

// The page asks for a new window: the container may cancel or give a
// browser of its own; otherwise the control opens a top-level window.
void TScriptedBrowser::OpenPopup() {
    VARIANT target;
    ::VariantInit(&target);
    target.vt = VT_DISPATCH;
    target.pdispVal = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT byRefTarget;
    byRefTarget.vt = VT_BYREF | VT_DISPATCH;
    byRefTarget.ppdispVal = &target.pdispVal;
    VARIANT args[2] = {BoolByRef(&cancel), byRefTarget};  // (ppDisp, Cancel), last first
    Log("event NewWindow2");
    const bool cancelled = FireCancellable(velfw::DISPID_WB_NEWWINDOW2, args, 2, &cancel);
    const bool taken = target.pdispVal != nullptr;
    ::VariantClear(&target);
    if (cancelled) {
        Log("popup cancelled");
        return;
    }
    if (taken) {
        Log("popup taken by the container");
        return;
    }
    const std::string title = "Pop-up of " + page_->Address;
    HWND popup = ::CreateWindowExA(0, kPopupClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 320, 200,
                                   nullptr, nullptr, ModuleInstance(), reinterpret_cast<void*>(static_cast<INT_PTR>(number_)));
    Log(popup ? "popup opened" : "popup failed");
}

// ---- painting

void TScriptedBrowser::Repaint() {
    if (window_) ::InvalidateRect(window_, nullptr, TRUE);
}

void TScriptedBrowser::Paint(HDC dc, const RECT& client) {
    HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::FillRect(dc, &client, white);
    const velfw::SelectedObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    auto text = [&](int x, int y, const std::string& s, COLORREF colour) {
        ::SetTextColor(dc, colour);
        ::TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
    };
    if (page_) {
        // The page's lines, moved up by the scroll position.
        const long top = page_->ScrollTop;
        for (long y = 0; y <= page_->ScrollHeight(); y += kLineSpacing) {
            const long at = kBandHeight + y - top;
            if (at < kBandHeight - kLineSpacing || at > client.bottom) continue;
            text(16, static_cast<int>(at), "line at " + std::to_string(y) + " px of " + std::to_string(page_->ScrollHeight()),
                 RGB(96, 96, 96));
        }
    }
    RECT band{client.left, client.top, client.right, client.top + kBandHeight};
    const velfw::UniqueGdiObject bandBrush(::CreateSolidBrush(RGB(255, 236, 160)));
    ::FillRect(dc, &band, static_cast<HBRUSH>(bandBrush.get()));
    const char* state = readyState_ == READYSTATE_COMPLETE ? "complete" : readyState_ == READYSTATE_UNINITIALIZED ? "empty" : "loading";
    text(8, 4, "Scripted stand-in browser #" + std::to_string(number_) + " (" + state +
                   (page_ && page_->ErrorPage ? ", error " + std::to_string(rule_.ErrorStatus) : std::string()) + ")",
         RGB(160, 0, 0));
    text(8, 22, page_ ? page_->Address : std::string("(no address)"), RGB(0, 0, 0));
}

}  // namespace scripted
