// Host of an embeddable (ActiveX) control: creates it, sites it, activates it
// in place inside the component's window, follows the bounds, sinks its event
// interface and answers the standard ambient properties.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <string>

#include "ComObject.h"
#include "ComPtr.h"
#include "Controls.h"
#include "WideText.h"

namespace velfw {

class TOleControl;

// Raised when a call into a hosted control or its objects fails; carries
// the result code. Raised through RaiseOleError only, so every such message
// ends with its code. A missing object (no document, no automation object)
// is a plain Exception.
class EOleError : public Exception {
public:
    EOleError(const std::string& what, HRESULT code);
    HRESULT ErrorCode;
};
// Raises EOleError with the code written after `what`.
[[noreturn]] void RaiseOleError(const char* what, HRESULT code);

// The client site of one hosted control. It is its own reference-counted COM
// object: the control keeps it as long as it likes, while the component's
// back-pointer is cleared when the component goes, so late calls find nobody
// and touch no freed memory. Derived sites add interfaces with TComObjectWith.
class TOleClientSite : public TComObject<IOleClientSite, IOleInPlaceSite, IDispatch> {
public:
    TOleClientSite() = default;

    void Attach(TOleControl* control) { control_ = control; }
    void Detach() { control_ = nullptr; }
    TOleControl* Control() const { return control_; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* wnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT posRect,
                                  LPRECT clipRect, LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT posRect) override;
    // IDispatch: the container's ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

protected:
    ~TOleClientSite() override = default;

private:
    TOleControl* control_ = nullptr;
};

class TOleControl : public TWinControl {
public:
    // Creates the control of `clsid` sited on `site` (this takes over the
    // caller's reference) and, when `eventsIid` is not GUID_NULL, advises a
    // sink for that event interface. Raises EOleError on failure.
    TOleControl(TComponent* owner, const CLSID& clsid, const IID& eventsIid, TOleClientSite* site);
    ~TOleControl() override;

    TOleClientSite* ClientSite() const { return site_.Get(); }
    IOleObject* OleObject() const { return oleObject_.Get(); }

    // Property get and set, and method calls, by dispatch id; raise EOleError.
    void GetProperty(DISPID id, VARIANT* result);
    void SetProperty(DISPID id, const VARIANT& value);

    // Ambient-property dispatch of the site; the standard properties here.
    virtual HRESULT AmbientGetTypeInfoCount(UINT* count);
    virtual HRESULT AmbientGetTypeInfo(UINT index, LCID lcid, ITypeInfo** info);
    virtual HRESULT AmbientGetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
    virtual HRESULT AmbientInvoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);
    HRESULT StandardAmbientInvoke(DISPID id, WORD flags, VARIANT* result);

    // An event of the control's event interface, on the control's thread.
    virtual void InvokeEvent(DISPID id, DISPPARAMS* params) {}

protected:
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    class EventSink;
    void InPlaceActivate();
    void InPlaceDeactivate();
    void ReleaseControl();
    void UpdateObjectRects();

    ComPtr<TOleClientSite> site_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IDispatch> dispatch_;
    ComPtr<IOleInPlaceObject> inPlace_;
    ComPtr<IConnectionPoint> connection_;
    ComPtr<EventSink> sink_;
    DWORD cookie_ = 0;
};

}  // namespace velfw
