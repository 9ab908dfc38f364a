// The saver form's panes: the rotation's view of the form, the tick, and
// the life of each pane's browser (a fresh one for every page, the old one
// retired and freed when no browser callback can be on the stack).
#include "KaviSSm.h"

#include "Globals.h"

namespace saver {

namespace {

// The form as the rotation rules see it.
class FormPaneHost : public IPaneHost {
public:
    explicit FormPaneHost(TForm1& form) : form_(form) {}

    uint32_t TickCount() override { return GetTicks(); }
    long ReadyState(int n) override { return BrowserOf(n).ReadyState(); }
    BodyState FetchBody(int n, std::string& failure) override {
        TPaneState& p = form_.Panes[n];
        p.Body.reset();
        try {
            p.Body = BrowserOf(n).Body();
        } catch (const std::exception& e) {
            failure = e.what();
            return BodyState::Failed;
        }
        if (!p.Body) {
            failure = "The document has no body";
            return BodyState::Failed;
        }
        if (p.Body->HasScrollInfo()) return BodyState::Scrollable;
        p.Body.reset();  // no second element interface: nothing to scroll
        return BodyState::NoScrollInfo;
    }
    bool BodyTallerThanPane(int n) override {
        browser::IPaneBody& body = BodyOf(n);
        return body.ScrollHeight() > body.ClientHeight();
    }
    void ScrollBodyBy(int n, int32_t step) override {
        browser::IPaneBody& body = BodyOf(n);
        body.SetScrollTop(body.ScrollTop() + step);
    }
    std::string LocationURL(int n) override { return BrowserOf(n).LocationURL(); }
    bool CreateBrowser(int n) override { return form_.CreateMyWebBrowser(n); }
    void Navigate(int n, const std::string& address) override { BrowserOf(n).Navigate(address); }
    void SaveLastSeen(const std::string& address) override { globals::SaveLastSeenShortcut(address); }
    std::string StatsPage() override {
        std::string url;
        globals::WriteStatsPage(url);
        return url;
    }
    void Log(int n, const std::string& line) override { form_.doDebugWindowLog(n, line); }

private:
    browser::IPaneBrowser& BrowserOf(int n) {
        if (!form_.Panes[n].Browser) throw velfw::Exception("The pane has no browser");
        return *form_.Panes[n].Browser;
    }
    browser::IPaneBody& BodyOf(int n) {
        if (!form_.Panes[n].Body) throw velfw::Exception("The page has no body");
        return *form_.Panes[n].Body;
    }
    TForm1& form_;
};

}  // namespace

std::unique_ptr<IPaneHost> TForm1::MakePaneHost() { return std::make_unique<FormPaneHost>(*this); }

void TForm1::ThreadedTimer1Timer(velfw::TObject*) {
    KillNewProcesses();
    for (int n = 1; n <= 3; ++n) rotation_->Tick(n, Panes[n], globals::PageLists[static_cast<size_t>(n)]);
}

void TForm1::SetNewURL(int n, const std::string& address) { rotation_->SetNewURL(n, Panes[n], address); }

bool TForm1::CreateMyWebBrowser(int n) {
    TPaneState& p = Panes[n];
    if (p.Browser) {
        // The old browser may be on the call stack (a tick runs inside its
        // events and its modal loops): off the screen and silent now, freed
        // when the program is idle.
        try {
            retired_.push_back(std::move(p.Browser));
            p.Body.reset();
            retired_.back()->Detach();
            if (HandleAllocated()) ::PostMessageA(HandleOrNull(), WM_NULL, 0, 0);  // wakes the idle step
        } catch (...) {
            LogFailure(n, "In Browser Free Exception ");
            p.Body.reset();
        }
        p.Browser.reset();
    }
    try {
        if (!MakePaneBrowser) return false;
        std::unique_ptr<browser::IPaneBrowser> b = MakePaneBrowser();
        if (!b) return false;
        b->Index = n;
        b->OnDocumentComplete = [this](browser::IPaneBrowser& s) { WebBrowserDocumentComplete(s); };
        b->OnNavigateComplete2 = [this](browser::IPaneBrowser& s) { WebBrowserNavigateComplete2(s); };
        b->OnScriptError = [this](browser::IPaneBrowser& s, bool& go, bool& show) { HostedWBScriptError(s, go, show); };
        velfw::TWinControl& control = b->Control();
        p.Browser = std::move(b);
        control.SetParent(p.Panel);
        control.SetAlign(velfw::TAlign::alClient);
        control.Show();
        return true;
    } catch (...) {
        if (p.Browser) {
            retired_.push_back(std::move(p.Browser));
            try {
                retired_.back()->Detach();
            } catch (...) {
                // Freed at the next idle step all the same.
            }
        }
        return false;
    }
}

void TForm1::FreeRetiredBrowsers() {
    while (!retired_.empty()) {
        std::unique_ptr<browser::IPaneBrowser> b = std::move(retired_.back());
        retired_.pop_back();
        try {
            b.reset();
        } catch (...) {
            // A browser that fails to go is gone from the pane all the same.
        }
    }
}

bool TForm1::SetupBrowser(int n) {
    rotation_->SetupBrowser(n, Panes[n]);
    return true;
}

void TForm1::WebBrowserDocumentComplete(browser::IPaneBrowser& sender) {
    const int n = sender.Index;
    if (n < 1 || n > 3 || Panes[n].Browser.get() != &sender) return;
    try {
        SetupBrowser(n);
    } catch (...) {
        // The page's time runs from the navigation; the next completion tries again.
    }
}

void TForm1::WebBrowserNavigateComplete2(browser::IPaneBrowser& sender) {
    try {
        const int n = sender.Index;
        if (n >= 1 && n <= 3) doDebugWindowLog(n, "Nav Complete");
    } catch (...) {
        // Only a log line is lost.
    }
}

void TForm1::HostedWBScriptError(browser::IPaneBrowser&, bool& continueScript, bool& showDialog) {
    continueScript = false;
    showDialog = false;
}

}  // namespace saver
