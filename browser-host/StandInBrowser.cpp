#include "StandInBrowser.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace browser {

namespace {

const char kEventWindowClass[] = "TStandInBrowserEvents";
constexpr UINT kNavigateCompleteMessage = WM_APP + 0x51;
constexpr UINT_PTR kCompleteTimer = 1;
constexpr UINT_PTR kFrameTimer = 2;
constexpr UINT_PTR kScriptErrorTimer = 3;

std::string EnvironmentValue(const char* name) {
    char buf[MAX_PATH * 2] = {};
    DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

struct ScriptState {
    bool loaded = false;
    TStandInScript script;
    int creations = 0;
};

ScriptState& State() {
    static ScriptState state;
    return state;
}

UINT TimerDelay(long ms) { return static_cast<UINT>(std::max(1L, ms)); }

}  // namespace

// ---- log

void TStandInLog::Add(int browser, const std::string& text) {
    unsigned long tick = ::GetTickCount();
    entries_.push_back({tick, browser, text});
    static const std::string file = EnvironmentValue("VELUNOR_STANDIN_LOG");
    if (!file.empty()) AppendStandInLog(file, tick, browser, text);
}

std::vector<std::string> TStandInLog::TextsOf(int browser) const {
    std::vector<std::string> texts;
    for (const auto& e : entries_)
        if (e.Browser == browser) texts.push_back(e.Text);
    return texts;
}

TStandInLog& StandInLog() {
    static TStandInLog log;
    return log;
}

const TStandInScript& StandInScriptInUse() {
    ScriptState& s = State();
    if (!s.loaded) {
        s.loaded = true;
        std::string path = EnvironmentValue("VELUNOR_STANDIN_SCRIPT");
        if (!path.empty()) {
            s.script = TStandInScript::ReadFile(path);
            for (const std::string& e : s.script.Errors) StandInLog().Add(0, "script " + e);
        }
    }
    return s.script;
}

void SetStandInScript(const std::string& text) {
    ScriptState& s = State();
    s.loaded = true;
    s.script = TStandInScript::Parse(text);
    s.creations = 0;
    for (const std::string& e : s.script.Errors) StandInLog().Add(0, "script " + e);
}

// ---- document and body

struct TStandInBrowser::Document {
    TStandInRule rule;
    long scrollTop = 0;
    long ScrollHeight() const { return rule.ScrollHeight < 0 ? rule.ClientHeight : rule.ScrollHeight; }
};

namespace {

// The body of one document: it stays with that document, as a real one does,
// also after the browser went on to the next address or was freed.
class TStandInBody : public IPaneBody {
public:
    TStandInBody(std::shared_ptr<TStandInBrowser::Document> doc, int browser) : doc_(std::move(doc)), browser_(browser) {}
    bool HasScrollInfo() const override { return doc_->rule.Body != TStandInBodyKind::NoScroll; }
    long ScrollTop() override {
        Need("scrollTop");
        return doc_->scrollTop;
    }
    void SetScrollTop(long value) override {
        Need("setScrollTop " + std::to_string(value));
        // The document stops the position at its end.
        long maxTop = std::max(0L, doc_->ScrollHeight() - doc_->rule.ClientHeight);
        doc_->scrollTop = std::clamp(value, 0L, maxTop);
    }
    long ScrollHeight() override {
        Need("scrollHeight");
        return doc_->ScrollHeight();
    }
    long ClientHeight() override {
        Need("clientHeight");
        return doc_->rule.ClientHeight;
    }

private:
    void Need(const std::string& call) {
        StandInLog().Add(browser_, "body " + call);
        if (!HasScrollInfo()) throw velfw::Exception("The body offers no scroll information");
    }
    std::shared_ptr<TStandInBrowser::Document> doc_;
    int browser_;
};

}  // namespace

// ---- the browser

TStandInBrowser::TStandInBrowser(int number)
    : velfw::TWinControl(nullptr),
      number_(number),
      events_(kEventWindowClass, velfw::TUtilityWindowKind::MessageOnly, [this](velfw::TMessage& m) {
          if (m.Msg != WM_TIMER && m.Msg != kNavigateCompleteMessage) return false;
          HandleEvent(m.Msg, m.WParam);
          return true;
      }) {
    SetColor(velfw::clWhite);
    Log("create");
}

TStandInBrowser::~TStandInBrowser() {
    Log("free");
}

void TStandInBrowser::Log(const std::string& text) { StandInLog().Add(number_, text); }

void TStandInBrowser::CreateParams(velfw::TCreateParams& params) {
    velfw::TWinControl::CreateParams(params);
    params.WinClassName = "TStandInBrowser";
}

void TStandInBrowser::Paint(velfw::TCanvas& canvas) {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    canvas.FillRect(r, velfw::clWhite);
    canvas.TextOut(8, 8, location_.empty() ? std::string("(no address)") : location_, velfw::clBlack);
}

void TStandInBrowser::StopEvents() {
    ++generation_;
    ::KillTimer(events_.Handle(), kCompleteTimer);
    ::KillTimer(events_.Handle(), kFrameTimer);
    ::KillTimer(events_.Handle(), kScriptErrorTimer);
    framesLeft_ = 0;
}

void TStandInBrowser::Navigate(const std::string& url) {
    Log("navigate " + url);
    TStandInRule rule = StandInScriptInUse().Find(url);
    if (rule.FailNavigate) {
        Log("navigate fails");
        throw velfw::Exception("Stand-in browser: navigating to " + url + " fails");
    }
    StopEvents();
    rule_ = rule;
    location_ = url;
    readyState_ = 1;  // loading
    document_ = rule.NoDocument ? nullptr : std::make_shared<Document>(Document{rule});
    Invalidate();
    ::PostMessageA(events_.Handle(), kNavigateCompleteMessage, generation_, 0);
    if (rule.CompleteMs >= 0) ::SetTimer(events_.Handle(), kCompleteTimer, TimerDelay(rule.CompleteMs), nullptr);
    if (rule.ScriptErrorMs >= 0)
        ::SetTimer(events_.Handle(), kScriptErrorTimer, TimerDelay(rule.ScriptErrorMs), nullptr);
}

// A handler may free this browser: nothing touches it after a handler ran.
void TStandInBrowser::HandleEvent(UINT msg, WPARAM wParam) {
    if (msg == kNavigateCompleteMessage) {
        if (wParam != generation_) return;  // a later Navigate or Detach cancelled it
        Log("event NavigateComplete2");
        if (auto handler = OnNavigateComplete2) handler(*this);  // a copy: the handler may Detach
        return;
    }
    ::KillTimer(events_.Handle(), wParam);
    if (wParam == kCompleteTimer) {
        readyState_ = kReadyStateComplete;
        framesLeft_ = rule_.Frames;
        if (framesLeft_ > 0) ::SetTimer(events_.Handle(), kFrameTimer, TimerDelay(rule_.FrameGapMs), nullptr);
        Log("event DocumentComplete");
        if (auto handler = OnDocumentComplete) handler(*this);
    } else if (wParam == kFrameTimer && framesLeft_ > 0) {
        int frame = rule_.Frames - framesLeft_ + 1;
        if (--framesLeft_ > 0) ::SetTimer(events_.Handle(), kFrameTimer, TimerDelay(rule_.FrameGapMs), nullptr);
        Log("event DocumentComplete frame " + std::to_string(frame));
        if (auto handler = OnDocumentComplete) handler(*this);
    } else if (wParam == kScriptErrorTimer) {
        bool continueScript = true, showDialog = true;
        int number = number_;  // the handler may free this browser
        if (auto handler = OnScriptError) handler(*this, continueScript, showDialog);
        StandInLog().Add(number, std::string("event ScriptError continue=") + (continueScript ? "1" : "0") +
                                     " dialog=" + (showDialog ? "1" : "0"));
    }
}

long TStandInBrowser::ReadyState() {
    Log("readyState " + std::to_string(readyState_));
    return readyState_;
}

std::string TStandInBrowser::LocationURL() {
    Log("locationURL");
    return location_;
}

std::unique_ptr<IPaneBody> TStandInBrowser::Body() {
    Log("body");
    if (!document_) throw velfw::Exception("The browser has no document");
    if (document_->rule.Body == TStandInBodyKind::None) throw velfw::Exception("The document has no body");
    return std::make_unique<TStandInBody>(document_, number_);
}

void TStandInBrowser::Detach() {
    Log("detach");
    StopEvents();
    OnDocumentComplete = nullptr;
    OnNavigateComplete2 = nullptr;
    OnScriptError = nullptr;
    if (HandleAllocated()) ::ShowWindow(HandleOrNull(), SW_HIDE);
    SetParent(nullptr);
}

std::unique_ptr<IPaneBrowser> MakeStandInPaneBrowser() {
    const TStandInScript& script = StandInScriptInUse();
    int number = ++State().creations;
    if (script.CreationFails(number)) {
        StandInLog().Add(number, "create fails");
        throw velfw::Exception("Stand-in browser: creation " + std::to_string(number) + " fails");
    }
    return std::make_unique<TStandInBrowser>(number);
}

}  // namespace browser
