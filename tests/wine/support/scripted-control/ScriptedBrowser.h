// The scripted browser control: answers as the system's web-browser control
// does for everything the browser host uses (creation, siting, in-place
// activation, the automation properties by dispatch id, Navigate, the events
// of DWebBrowserEvents2) and makes the calls the real control makes into its
// container (host information, the download-control ambient property, the
// script-error command). What each address does comes from the script; every
// call and every event goes to the log.
//
// Its window paints the address it shows under a marker that says it is a
// stand-in, and the page's lines move up as the host scrolls the body.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <exdisp.h>

#include <memory>
#include <string>

#include "ComFaces.h"
#include "ScriptedDocument.h"

namespace scripted {

HINSTANCE ModuleInstance();
// Pop-up windows the pages opened that are still there (they keep the
// module loaded: their window procedure lives here).
long OpenPopups();
// Gives back the window classes when the module is unloaded.
void UnregisterWindowClasses();

class TScriptedBrowser final : public TScriptedObject {
public:
    explicit TScriptedBrowser(int number);

    IUnknown* Unknown() { return reinterpret_cast<IUnknown*>(&oleObject_.iface); }

    // IOleObject
    HRESULT SetClientSite(IOleClientSite* site);
    HRESULT GetClientSite(IOleClientSite** site);
    HRESULT Close();
    HRESULT DoVerb(LONG verb, HWND parent, LPCRECT position);
    // IOleInPlaceObject and IOleInPlaceActiveObject
    HRESULT GetWindow(HWND* window);
    HRESULT InPlaceDeactivate();
    HRESULT SetObjectRects(LPCRECT position);
    // IOleControl
    HRESULT OnAmbientPropertyChange(DISPID id);
    // IConnectionPointContainer and IConnectionPoint
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point);
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** container);
    HRESULT Advise(IUnknown* sink, DWORD* cookie);
    HRESULT Unadvise(DWORD cookie);
    // IWebBrowser2
    HRESULT Navigate(const std::string& url);
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) override;

    // The events window's messages and the control window's painting.
    void OnEventMessage(UINT message, WPARAM wParam);
    void Paint(HDC dc, const RECT& client);

protected:
    ~TScriptedBrowser() override;
    void* Find(REFIID iid) override;

private:
    IDispatch* Automation() { return reinterpret_cast<IDispatch*>(&browser_.iface); }
    void Log(const std::string& text);
    void StopEvents();
    bool FireBeforeNavigate(const std::string& url);
    void Navigated();
    void DocumentCompleted(int frame);
    void ReportScriptError();
    void OpenPopup();
    bool FireCancellable(DISPID id, VARIANT* args, UINT count, VARIANT_BOOL* cancel);
    void Fire(DISPID id, VARIANT* args, UINT count);
    void AskHostInfo();
    void ReadDownloadControl();
    void LogPlace();
    void Repaint();

    Face<IOleObject> oleObject_;
    Face<IOleInPlaceObject> inPlace_;
    Face<IOleInPlaceActiveObject> active_;
    Face<IOleControl> control_;
    Face<IPersistStreamInit> persist_;
    Face<IConnectionPointContainer> points_;
    Face<IConnectionPoint> events_;
    Face<IWebBrowser2> browser_;

    int number_;
    Ref<IOleClientSite> site_;
    Ref<IDispatch> sink_;
    HWND window_ = nullptr;       // the in-place window, while active
    HWND eventWindow_ = nullptr;  // carries timers and posted events
    unsigned generation_ = 0;     // a later navigation cancels what is queued
    browser::TStandInRule rule_;
    std::shared_ptr<TPage> page_;
    Ref<IDispatch> document_;
    TScriptedDocument* documentObject_ = nullptr;  // document_'s object
    long readyState_ = READYSTATE_UNINITIALIZED;
    bool visible_ = false;
    int framesLeft_ = 0;
    SIZEL extent_{};
};

}  // namespace scripted
