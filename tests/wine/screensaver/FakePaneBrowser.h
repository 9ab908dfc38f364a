// A pane browser for the in-process tests of the slideshow form: a plain
// child window that records what is done to it in a shared journal and
// answers as the test tells it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "PaneBrowser.h"

namespace testing_support {

struct BrowserJournal {
    std::vector<std::string> lines;  // "create 1#3", "navigate 1#3 a", "detach 1#3", "free 1#3"
    int live = 0;
    int nextId = 1;
    long readyState = browser::kReadyStateComplete;
    long scrollHeight = 2000, clientHeight = 500;
    bool inCallback = false;       // set while a browser's event runs in the form
    bool freedInCallback = false;  // a browser was freed while one of its events ran
    std::vector<std::string> scrollTops;  // "<tag> <new position>"
    bool Has(const std::string& line) const;
    int IndexOf(const std::string& prefix) const;  // first line starting with it, or -1
};

class FakePaneBrowser : public browser::IPaneBrowser {
public:
    explicit FakePaneBrowser(BrowserJournal& journal);
    ~FakePaneBrowser() override;

    velfw::TWinControl& Control() override { return *control_; }
    void Navigate(const std::string& url) override;
    long ReadyState() override { return journal_.readyState; }
    std::string LocationURL() override { return url_; }
    std::unique_ptr<browser::IPaneBody> Body() override;
    void Detach() override;

    // Fires the document-complete event as the browser would.
    void CompleteDocument();
    std::string Tag() const;  // "<pane>#<id>"
    bool Detached() const { return detached_; }
    const std::string& Url() const { return url_; }

private:
    BrowserJournal& journal_;
    std::unique_ptr<velfw::TWinControl> control_;
    std::string url_;
    long scrollTop_ = 0;
    int id_;
    bool detached_ = false;
};

}  // namespace testing_support
