#include "MyWebBrowser.h"

#include <mshtml.h>

#include "HostGuids.h"

namespace browser {

namespace {

// The body's scroll position and sizes, through its second element interface.
class TElementBody : public IPaneBody {
public:
    explicit TElementBody(velfw::ComPtr<IHTMLElement2> body) : body_(std::move(body)) {}
    bool HasScrollInfo() const override { return static_cast<bool>(body_); }
    long ScrollTop() override { return Read(&IHTMLElement2::get_scrollTop, "Reading scrollTop"); }
    void SetScrollTop(long value) override {
        Need();
        HRESULT hr = body_->put_scrollTop(value);
        if (FAILED(hr)) velfw::RaiseOleError("Setting scrollTop", hr);
    }
    long ScrollHeight() override { return Read(&IHTMLElement2::get_scrollHeight, "Reading scrollHeight"); }
    long ClientHeight() override { return Read(&IHTMLElement2::get_clientHeight, "Reading clientHeight"); }

private:
    void Need() const {
        if (!body_) throw velfw::Exception("The body offers no scroll information");
    }
    long Read(HRESULT (STDMETHODCALLTYPE IHTMLElement2::*get)(LONG*), const char* what) {
        Need();
        LONG v = 0;
        HRESULT hr = (body_.Get()->*get)(&v);
        if (FAILED(hr)) velfw::RaiseOleError(what, hr);
        return v;
    }
    velfw::ComPtr<IHTMLElement2> body_;
};

}  // namespace

TMyWebBrowser::TMyWebBrowser() : THostedWB(nullptr) {
    THostedWB::OnDocumentComplete = [this](velfw::TObject*, IDispatch*, const std::string&) {
        if (auto handler = IPaneBrowser::OnDocumentComplete) handler(*this);  // a copy: the handler may Detach
    };
    THostedWB::OnNavigateComplete2 = [this](velfw::TObject*, IDispatch*, const std::string&) {
        if (auto handler = IPaneBrowser::OnNavigateComplete2) handler(*this);
    };
    THostedWB::OnScriptError = [this](velfw::TObject*, const std::string&, const std::string&, const std::string&,
                                      const std::string&, const std::string&, bool& continueScript, bool& showDialog) {
        if (auto handler = IPaneBrowser::OnScriptError) handler(*this, continueScript, showDialog);
    };
}

void TMyWebBrowser::SetVisible(bool visible) {
    THostedWB::SetVisible(visible);
    SetOleVisible(visible);
}

void TMyWebBrowser::Navigate(const std::string& url) { THostedWB::Navigate(url); }
long TMyWebBrowser::ReadyState() { return THostedWB::ReadyState(); }
std::string TMyWebBrowser::LocationURL() { return THostedWB::LocationURL(); }

std::unique_ptr<IPaneBody> TMyWebBrowser::Body() {
    velfw::ComPtr<IHTMLDocument2> html = HtmlDocument();
    velfw::ComPtr<IHTMLElement> body;
    const HRESULT hr = html->get_body(body.Out());
    if (FAILED(hr)) velfw::RaiseOleError("Reading the document's body", hr);
    if (!body) throw velfw::Exception("The document has no body");
    return std::make_unique<TElementBody>(body.As<IHTMLElement2>());
}

void TMyWebBrowser::Detach() {
    IPaneBrowser::OnDocumentComplete = nullptr;
    IPaneBrowser::OnNavigateComplete2 = nullptr;
    IPaneBrowser::OnScriptError = nullptr;
    if (HandleAllocated()) ::ShowWindow(HandleOrNull(), SW_HIDE);
    SetParent(nullptr);
}

std::unique_ptr<IPaneBrowser> MakeHostedPaneBrowser() { return std::make_unique<TMyWebBrowser>(); }

}  // namespace browser
