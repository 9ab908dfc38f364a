#include "WebBrowser.h"

namespace velfw {

// The published class and event-interface ids of the web-browser control.
const CLSID CLSID_WebBrowserControl = {0x8856f961, 0x340a, 0x11d0, {0xa9, 0x6b, 0x00, 0xc0, 0x4f, 0xd7, 0x05, 0xa2}};
const IID DIID_WebBrowserEvents2 = {0x34a715a0, 0x6587, 0x11d0, {0x92, 0x4a, 0x00, 0x20, 0xaf, 0xc7, 0xac, 0x4d}};

namespace {

// Argument `index` of an event, counted from the first (the platform passes
// them last first), with one level of by-reference variant taken off.
const VARIANT* EventArg(DISPPARAMS* params, UINT index) {
    if (!params || index >= params->cArgs) return nullptr;
    const VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    return v;
}

std::string ArgText(DISPPARAMS* params, UINT index) {
    const VARIANT* v = EventArg(params, index);
    if (!v) return {};
    if (v->vt == VT_BSTR) return WideToAnsi(v->bstrVal);
    if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal) return WideToAnsi(*v->pbstrVal);
    return {};
}

IDispatch* ArgDispatch(DISPPARAMS* params, UINT index) {
    const VARIANT* v = EventArg(params, index);
    return v && v->vt == VT_DISPATCH ? v->pdispVal : nullptr;
}

long ArgLong(DISPPARAMS* params, UINT index) {
    const VARIANT* v = EventArg(params, index);
    if (!v) return 0;
    if (v->vt == VT_I4) return v->lVal;
    if (v->vt == (VT_BYREF | VT_I4) && v->plVal) return *v->plVal;
    return 0;
}

// The by-reference Boolean the control reads back (Cancel).
VARIANT_BOOL* ArgBoolRef(DISPPARAMS* params, UINT index) {
    if (!params || index >= params->cArgs) return nullptr;
    VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    return v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
}

}  // namespace

TWebBrowser::TWebBrowser(TComponent* owner, TOleClientSite* site)
    : TOleControl(owner, CLSID_WebBrowserControl, DIID_WebBrowserEvents2, site ? site : new TOleClientSite()) {
    const HRESULT hr = OleObject()->QueryInterface(VELFW_IID_PPV_ARGS(browser_));
    if (FAILED(hr)) RaiseOleError("The control offers no IWebBrowser2", hr);
}

void TWebBrowser::Navigate(const std::string& url) {
    OleString address(url);
    VARIANT empty;
    ::VariantInit(&empty);
    HRESULT hr = browser_->Navigate(address.Get(), &empty, &empty, &empty, &empty);
    if (FAILED(hr)) RaiseOleError("Navigate failed", hr);
}

void TWebBrowser::Navigate2(VARIANT& url, VARIANT& flags, VARIANT& targetFrame, VARIANT& postData,
                            VARIANT& headers) {
    HRESULT hr = browser_->Navigate2(&url, &flags, &targetFrame, &postData, &headers);
    if (FAILED(hr)) RaiseOleError("Navigate2 failed", hr);
}

ComPtr<IDispatch> TWebBrowser::Application() {
    OleVariant v;
    GetProperty(DISPID_WB_APPLICATION, &v);
    if (v->vt != VT_DISPATCH || !v->pdispVal) throw Exception("The control has no automation object");
    return ComPtr<IDispatch>(v->pdispVal);
}

ComPtr<IDispatch> TWebBrowser::Document() {
    OleVariant v;
    GetProperty(DISPID_WB_DOCUMENT, &v);
    if (v->vt != VT_DISPATCH || !v->pdispVal) return nullptr;
    return ComPtr<IDispatch>(v->pdispVal);
}

std::string TWebBrowser::LocationURL() {
    OleVariant v;
    GetProperty(DISPID_WB_LOCATIONURL, &v);
    return v->vt == VT_BSTR ? WideToAnsi(v->bstrVal) : std::string();
}

long TWebBrowser::ReadyState() {
    OleVariant v;
    GetProperty(DISPID_WB_READYSTATE, &v);
    if (FAILED(::VariantChangeType(&v, &v, 0, VT_I4))) return 0;
    return v->lVal;
}

void TWebBrowser::SetOleVisible(bool visible) {
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = visible ? VARIANT_TRUE : VARIANT_FALSE;
    SetProperty(DISPID_WB_VISIBLE, v);
}

void TWebBrowser::InvokeEvent(DISPID id, DISPPARAMS* params) {
    switch (id) {
        case DISPID_WB_BEFORENAVIGATE2:  // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
            if (OnBeforeNavigate2) {
                VARIANT_BOOL* cancelRef = ArgBoolRef(params, 6);
                bool cancel = cancelRef && *cancelRef != VARIANT_FALSE;
                OnBeforeNavigate2(this, ArgDispatch(params, 0), ArgText(params, 1), cancel);
                if (cancelRef) *cancelRef = cancel ? VARIANT_TRUE : VARIANT_FALSE;
            }
            break;
        case DISPID_WB_NAVIGATECOMPLETE2:  // (pDisp, URL)
            if (OnNavigateComplete2) OnNavigateComplete2(this, ArgDispatch(params, 0), ArgText(params, 1));
            break;
        case DISPID_WB_DOCUMENTCOMPLETE:  // (pDisp, URL)
            if (OnDocumentComplete) OnDocumentComplete(this, ArgDispatch(params, 0), ArgText(params, 1));
            break;
        case DISPID_WB_NAVIGATEERROR:  // (pDisp, URL, Frame, StatusCode, Cancel)
            if (OnNavigateError) {
                VARIANT_BOOL* cancelRef = ArgBoolRef(params, 4);
                bool cancel = cancelRef && *cancelRef != VARIANT_FALSE;
                OnNavigateError(this, ArgDispatch(params, 0), ArgText(params, 1), ArgLong(params, 3), cancel);
                if (cancelRef) *cancelRef = cancel ? VARIANT_TRUE : VARIANT_FALSE;
            }
            break;
        default:
            break;
    }
}

}  // namespace velfw
