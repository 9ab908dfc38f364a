#include "OleCtrls.h"

#include <olectl.h>

#include <cstdio>

#include "ComObject.h"

namespace velfw {

EOleError::EOleError(const std::string& what, HRESULT code) : Exception(what), ErrorCode(code) {}

void RaiseOleError(const char* what, HRESULT code) {
    char text[200];
    std::snprintf(text, sizeof text, "%s (0x%08lX)", what, static_cast<unsigned long>(code));
    throw EOleError(text, code);
}

namespace {

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) RaiseOleError((std::string(what) + " failed").c_str(), hr);
}

void SetBool(VARIANT* v, bool value) {
    v->vt = VT_BOOL;
    v->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// The frame window context handed to an in-place object: it asks for no
// menus, borders or accelerators of ours.
class InPlaceFrame final : public TComObject<IOleInPlaceFrame> {
public:
    explicit InPlaceFrame(HWND wnd) : wnd_(wnd) {}
    STDMETHODIMP GetWindow(HWND* wnd) override {
        if (!wnd) return E_POINTER;
        *wnd = wnd_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND wnd_;
};

}  // namespace

// ---- TOleClientSite

STDMETHODIMP TOleClientSite::SaveObject() { return E_NOTIMPL; }
STDMETHODIMP TOleClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP TOleClientSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP TOleClientSite::ShowObject() { return S_OK; }
STDMETHODIMP TOleClientSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP TOleClientSite::RequestNewObjectLayout() { return E_NOTIMPL; }

STDMETHODIMP TOleClientSite::GetWindow(HWND* wnd) {
    if (!wnd) return E_POINTER;
    *wnd = control_ ? control_->HandleOrNull() : nullptr;
    return *wnd ? S_OK : E_FAIL;
}
STDMETHODIMP TOleClientSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP TOleClientSite::CanInPlaceActivate() { return control_ && control_->HandleAllocated() ? S_OK : S_FALSE; }
STDMETHODIMP TOleClientSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP TOleClientSite::OnUIActivate() { return S_OK; }

STDMETHODIMP TOleClientSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT posRect,
                                              LPRECT clipRect, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (frame) *frame = nullptr;
    if (doc) *doc = nullptr;
    if (!control_ || !control_->HandleAllocated()) return E_FAIL;
    HWND wnd = control_->HandleOrNull();
    HWND top = ::GetAncestor(wnd, GA_ROOT);
    RECT r{0, 0, control_->ClientWidth(), control_->ClientHeight()};
    if (posRect) *posRect = r;
    if (clipRect) *clipRect = r;
    if (frameInfo) {
        frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = top ? top : wnd;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    if (frame) *frame = new (std::nothrow) InPlaceFrame(top ? top : wnd);
    return S_OK;
}

STDMETHODIMP TOleClientSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP TOleClientSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP TOleClientSite::OnInPlaceDeactivate() { return S_OK; }
STDMETHODIMP TOleClientSite::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP TOleClientSite::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP TOleClientSite::OnPosRectChange(LPCRECT) { return S_OK; }

STDMETHODIMP TOleClientSite::GetTypeInfoCount(UINT* count) {
    try {
        if (control_) return control_->AmbientGetTypeInfoCount(count);
    } catch (...) {
        return E_FAIL;
    }
    if (count) *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP TOleClientSite::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    try {
        if (control_) return control_->AmbientGetTypeInfo(index, lcid, info);
    } catch (...) {
        return E_FAIL;
    }
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TOleClientSite::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    try {
        if (control_) return control_->AmbientGetIDsOfNames(iid, names, count, lcid, ids);
    } catch (...) {
        return E_FAIL;
    }
    return E_NOTIMPL;
}

STDMETHODIMP TOleClientSite::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    try {
        if (control_) return control_->AmbientInvoke(id, iid, lcid, flags, params, result, excepInfo, argErr);
    } catch (...) {
        return E_FAIL;
    }
    return DISP_E_MEMBERNOTFOUND;
}

// ---- the event sink

// Receives the control's events; its own COM object with a back-pointer that
// the control clears before it lets go.
class TOleControl::EventSink final : public TComObject<IDispatch> {
public:
    EventSink(TOleControl* control, const IID& iid) : control_(control), iid_(iid) {}
    void Detach() { control_ = nullptr; }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        try {
            if (control_) control_->InvokeEvent(id, params);
        } catch (...) {
            ReportCurrentException();
        }
        return S_OK;
    }

protected:
    // The control calls us through its own event interface's id, known only now.
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, iid_)) return static_cast<IDispatch*>(this);
        return TComObject::FindInterface(iid);
    }

private:
    TOleControl* control_;
    IID iid_;
};

// ---- TOleControl

TOleControl::TOleControl(TComponent* owner, const CLSID& clsid, const IID& eventsIid, TOleClientSite* site)
    : TWinControl(owner), site_(ComPtr<TOleClientSite>::Attach(site)) {
    if (!site_) throw Exception("No client site for the control");
    site_->Attach(this);
    try {
        Check(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, VELFW_IID_PPV_ARGS(oleObject_)),
              "Creating the control");
        // Controls that want their site before they are initialised say so.
        DWORD status = 0;
        oleObject_->GetMiscStatus(DVASPECT_CONTENT, &status);
        bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
        if (siteFirst) Check(oleObject_->SetClientSite(site_.Get()), "Siting the control");
        if (auto init = oleObject_.As<IPersistStreamInit>()) init->InitNew();
        if (!siteFirst) Check(oleObject_->SetClientSite(site_.Get()), "Siting the control");
        Check(oleObject_->QueryInterface(VELFW_IID_PPV_ARGS(dispatch_)), "Asking the control for IDispatch");
        if (!IsEqualGUID(eventsIid, GUID_NULL)) {
            if (auto container = oleObject_.As<IConnectionPointContainer>()) {
                if (SUCCEEDED(container->FindConnectionPoint(eventsIid, connection_.Out()))) {
                    sink_ = ComPtr<EventSink>::Attach(new EventSink(this, eventsIid));
                    if (FAILED(connection_->Advise(sink_.Get(), &cookie_))) {
                        cookie_ = 0;
                        connection_.Reset();
                    }
                }
            }
        }
    } catch (...) {
        ReleaseControl();  // the destructor does not run for a failed constructor
        throw;
    }
}

TOleControl::~TOleControl() { ReleaseControl(); }

void TOleControl::ReleaseControl() {
    if (!site_) return;  // already given back
    if (sink_) sink_->Detach();
    if (connection_ && cookie_) connection_->Unadvise(cookie_);
    connection_.Reset();
    cookie_ = 0;
    sink_.Reset();
    InPlaceDeactivate();
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
    }
    dispatch_.Reset();
    oleObject_.Reset();
    site_->Detach();
    site_.Reset();
}

void TOleControl::CreateWnd() {
    TWinControl::CreateWnd();
    InPlaceActivate();
}

void TOleControl::InPlaceActivate() {
    if (inPlace_ || !oleObject_ || !HandleAllocated()) return;
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    HRESULT hr = oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, HandleOrNull(), &r);
    Check(hr, "Activating the control");
    oleObject_->QueryInterface(VELFW_IID_PPV_ARGS(inPlace_));
    UpdateObjectRects();
}

void TOleControl::InPlaceDeactivate() {
    if (!inPlace_) return;
    ComPtr<IOleInPlaceObject> inPlace = std::move(inPlace_);
    inPlace->InPlaceDeactivate();
}

void TOleControl::UpdateObjectRects() {
    if (!inPlace_) return;
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    inPlace_->SetObjectRects(&r, &r);
}

void TOleControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_SIZE:
            TWinControl::WndProc(m);
            UpdateObjectRects();
            return;
        case WM_DESTROY:
            // The in-place window goes with ours: let the control know first.
            InPlaceDeactivate();
            break;
        case WM_ERASEBKGND:
            if (inPlace_) {
                m.Result = 1;  // the control paints all of it
                return;
            }
            break;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

void TOleControl::GetProperty(DISPID id, VARIANT* result) {
    if (!dispatch_) throw Exception("The control has no automation object");
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ::VariantClear(result);
    Check(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result, nullptr, nullptr),
          "Reading a property of the control");
}

void TOleControl::SetProperty(DISPID id, const VARIANT& value) {
    if (!dispatch_) throw Exception("The control has no automation object");
    VARIANT arg = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    Check(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                            nullptr),
          "Writing a property of the control");
}

HRESULT TOleControl::AmbientGetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return E_NOTIMPL;
}

HRESULT TOleControl::AmbientGetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT TOleControl::AmbientGetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TOleControl::AmbientInvoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) {
    return StandardAmbientInvoke(id, flags, result);
}

HRESULT TOleControl::StandardAmbientInvoke(DISPID id, WORD flags, VARIANT* result) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    ::VariantInit(result);
    switch (id) {
        case DISPID_AMBIENT_BACKCOLOR:
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(ColorToRGB(Color()));
            return S_OK;
        case DISPID_AMBIENT_FORECOLOR:
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(ColorToRGB(Font().Color()));
            return S_OK;
        case DISPID_AMBIENT_DISPLAYNAME:
            result->vt = VT_BSTR;
            result->bstrVal = OleString(Name).Release();
            return S_OK;
        case DISPID_AMBIENT_LOCALEID:
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(::GetUserDefaultLCID());
            return S_OK;
        case DISPID_AMBIENT_USERMODE:
            SetBool(result, (ComponentState() & csDesigning) == 0);
            return S_OK;
        case DISPID_AMBIENT_MESSAGEREFLECT:
        case DISPID_AMBIENT_SUPPORTSMNEMONICS:
        case DISPID_AMBIENT_AUTOCLIP:
            SetBool(result, true);
            return S_OK;
        case DISPID_AMBIENT_UIDEAD:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_DISPLAYASDEFAULT:
            SetBool(result, false);
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace velfw
