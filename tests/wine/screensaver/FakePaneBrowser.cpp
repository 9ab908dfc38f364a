#include "FakePaneBrowser.h"

namespace testing_support {

bool BrowserJournal::Has(const std::string& line) const { return IndexOf(line) >= 0; }

int BrowserJournal::IndexOf(const std::string& prefix) const {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
}

namespace {

class FakeBody : public browser::IPaneBody {
public:
    FakeBody(BrowserJournal& j, long& top, std::string tag) : journal_(j), top_(top), tag_(std::move(tag)) {}
    bool HasScrollInfo() const override { return true; }
    long ScrollTop() override { return top_; }
    void SetScrollTop(long value) override {
        top_ = value;
        journal_.scrollTops.push_back(tag_ + " " + std::to_string(value));
    }
    long ScrollHeight() override { return journal_.scrollHeight; }
    long ClientHeight() override { return journal_.clientHeight; }

private:
    BrowserJournal& journal_;
    long& top_;
    std::string tag_;
};

}  // namespace

FakePaneBrowser::FakePaneBrowser(BrowserJournal& journal)
    : journal_(journal), control_(std::make_unique<velfw::TWinControl>(nullptr)), id_(journal.nextId++) {
    ++journal_.live;
}

FakePaneBrowser::~FakePaneBrowser() {
    if (journal_.inCallback) journal_.freedInCallback = true;
    journal_.lines.push_back("free " + Tag());
    --journal_.live;
}

std::string FakePaneBrowser::Tag() const { return std::to_string(Index) + "#" + std::to_string(id_); }

void FakePaneBrowser::Navigate(const std::string& url) {
    url_ = url;
    journal_.lines.push_back("navigate " + Tag() + " " + url);
}

std::unique_ptr<browser::IPaneBody> FakePaneBrowser::Body() {
    if (detached_) throw velfw::Exception("detached");
    return std::make_unique<FakeBody>(journal_, scrollTop_, Tag());
}

void FakePaneBrowser::Detach() {
    detached_ = true;
    OnDocumentComplete = nullptr;
    OnNavigateComplete2 = nullptr;
    OnScriptError = nullptr;
    control_->Hide();
    control_->SetParent(nullptr);
    journal_.lines.push_back("detach " + Tag());
}

void FakePaneBrowser::CompleteDocument() {
    if (!OnDocumentComplete) return;
    // Copies: the handler may free this browser (that is the fault to catch).
    BrowserJournal& journal = journal_;
    auto handler = OnDocumentComplete;
    journal.inCallback = true;
    handler(*this);
    journal.inCallback = false;
}

}  // namespace testing_support
