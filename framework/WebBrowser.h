// The system's web-browser control on the OLE host: its dispatch-id
// properties, Navigate, and the events of its DWebBrowserEvents2 interface.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <functional>
#include <string>

#include "OleCtrls.h"
#include "WebBrowserDispIds.h"

namespace velfw {

// Published id; it extends IDispatch through two interfaces we never ask for.
VELFW_INTERFACE(IWebBrowser2, IDispatch, {0xd30c1661, 0xcdaf, 0x11d0, {0x8a, 0x3e, 0x00, 0xc0, 0x4f, 0xc9, 0xe2, 0x6e}});

extern const CLSID CLSID_WebBrowserControl;
extern const IID DIID_WebBrowserEvents2;

using TWebBrowserNavigateEvent = std::function<void(TObject* sender, IDispatch* disp, const std::string& url)>;
using TWebBrowserBeforeNavigateEvent =
    std::function<void(TObject* sender, IDispatch* disp, const std::string& url, bool& cancel)>;
using TWebBrowserNavigateErrorEvent = std::function<void(TObject* sender, IDispatch* disp, const std::string& url,
                                                         long statusCode, bool& cancel)>;

class TWebBrowser : public TOleControl {
public:
    // `site` (one reference taken over) lets a derived host add interfaces;
    // without one a plain site is made.
    explicit TWebBrowser(TComponent* owner, TOleClientSite* site = nullptr);

    IWebBrowser2* Browser() const { return browser_.Get(); }

    // Navigate with the four optional arguments empty.
    void Navigate(const std::string& url);
    void Navigate2(VARIANT& url, VARIANT& flags, VARIANT& targetFrame, VARIANT& postData, VARIANT& headers);
    // The control's automation object (Application); raises when it has none.
    ComPtr<IDispatch> Application();
    // The current document, or null when there is none.
    ComPtr<IDispatch> Document();
    std::string LocationURL();
    long ReadyState();
    void SetOleVisible(bool visible);

    TWebBrowserBeforeNavigateEvent OnBeforeNavigate2;
    TWebBrowserNavigateEvent OnNavigateComplete2;
    TWebBrowserNavigateEvent OnDocumentComplete;
    TWebBrowserNavigateErrorEvent OnNavigateError;

    void InvokeEvent(DISPID id, DISPPARAMS* params) override;

private:
    ComPtr<IWebBrowser2> browser_;
};

}  // namespace velfw
