#include "KaviSSm.h"

#include "DisplaySettingsRegistry.h"
#include "Globals.h"
#include "PaneLayout.h"
#include "SysUtils.h"
#include "WinHandles.h"

namespace saver {

namespace {

double CurrentDateTime() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    FILETIME ft;
    if (!::SystemTimeToFileTime(&st, &ft)) return 0;
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    // 100 ns units since 1601 to days since 30 Dec 1899.
    constexpr double kUnitsPerDay = 864000000000.0;
    constexpr double kDaysFrom1601To1899 = 109205.0;
    return static_cast<double>(t.QuadPart) / kUnitsPerDay - kDaysFrom1601To1899;
}

uint64_t ProcessCreationTime(HANDLE process, bool& known) {
    FILETIME created, exited, kernel, user;
    known = ::GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE;
    if (!known) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Every floating-point exception masked, 64-bit precision, rounding to
// nearest: the browser control and the pages' scripts expect this word.
void SetFpuControlWord() {
    const unsigned short word = 0x133F;
    __asm__ __volatile__("fldcw %0" : : "m"(word));
}

bool g_firstPaint = true;

// A window's title as the system stores it. Never sends WM_GETTEXT, which
// to a hung window of another thread of this process would wait for ever.
std::string StoredTitle(HWND window) {
    wchar_t wide[512] = {};
    const int n = ::InternalGetWindowText(window, wide, 512);
    if (n <= 0) return "";
    char text[1024] = {};
    const int m = ::WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof text - 1, nullptr, nullptr);
    return std::string(text, m > 0 ? static_cast<size_t>(m) : 0);
}

constexpr UINT kSystemTimeoutMs = 2000;

}  // namespace

std::function<uint32_t()> GetTicks = [] { return static_cast<uint32_t>(::GetTickCount()); };
std::function<double()> GetNow = CurrentDateTime;
browser::PaneBrowserFactory MakePaneBrowser;
std::function<void(bool)> SetScreenSaverRunning = [](bool running) {
    ::SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running ? 1 : 0, nullptr, 0);
};

BOOL CALLBACK EnumTopWindowsProc(HWND window, LPARAM lp) {
    try {
        auto* list = reinterpret_cast<TTopWindowList*>(lp);
        if (!StoredTitle(window).empty() && ::IsWindowVisible(window) &&
            ::GetParent(window) == nullptr && list->Count <= TTopWindowList::kCapacity - 1)
            list->Add(window);
    } catch (...) {
    }
    return TRUE;
}

DWORD KillProcess(DWORD processId) {
    velfw::UniqueKernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!process) return ::GetLastError();
    if (!::TerminateProcess(process.get(), 0)) return ::GetLastError();
    return 0;
}

// The form as the rotation rules see it.
class TForm1::PaneHost : public IPaneHost {
public:
    explicit PaneHost(TForm1& form) : form_(form) {}

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

// ---- the form description

namespace {

velfw::TPanel* MakePane(TForm1* form, const char* name) {
    auto* panel = new velfw::TPanel(form);
    panel->Name = name;
    panel->SetParent(form);
    panel->SetCaption("");
    return panel;
}

void MakeLogArea(velfw::TPanel* panel, int n, int labelTop, int memoTop, int memoHeight, velfw::TLabel*& label,
                 velfw::TMemo*& memo) {
    label = new velfw::TLabel(panel->Owner());
    label->Name = "lW" + velfw::IntToStr(n);
    label->SetParent(panel);
    label->SetBounds(8, labelTop, 20, 13);
    label->SetCaption("W" + velfw::IntToStr(n));
    label->Font().SetName(panel->Font().Name());
    label->Font().SetSize(panel->Font().Size());
    label->Font().SetColor(velfw::clNavy);
    label->Font().SetStyle(velfw::fsUnderline);
    memo = new velfw::TMemo(panel->Owner());
    memo->Name = "dException" + velfw::IntToStr(n);
    memo->SetParent(panel);
    memo->SetBounds(8, memoTop, 201, memoHeight);
    memo->Font().SetName(panel->Font().Name());
    memo->Font().SetSize(panel->Font().Size());
}

}  // namespace

TForm1::TForm1(velfw::TComponent* owner) : velfw::TForm(owner) {
    BeginLoading();
    Name = "Form1";
    BorderStyle = velfw::TFormBorderStyle::bsNone;
    SetColor(velfw::clBtnFace);
    SetCaption("");
    SetBounds(16, 98, 696, 615);

    Panel1 = MakePane(this, "Panel1");
    Panel3 = MakePane(this, "Panel3");
    Panel2 = MakePane(this, "Panel2");

    pDebugWindow = new velfw::TPanel(this);
    pDebugWindow->Name = "pDebugWindow";
    pDebugWindow->SetVisible(false);
    pDebugWindow->SetParent(this);
    pDebugWindow->SetWidth(216);
    pDebugWindow->SetAlign(velfw::TAlign::alRight);
    pDebugWindow->Font().SetName("Small Fonts");
    pDebugWindow->Font().SetSize(7);
    MakeLogArea(pDebugWindow, 1, 136, 152, 104, lW1, dException1);
    MakeLogArea(pDebugWindow, 2, 364, 380, 57, lW2, dException2);
    MakeLogArea(pDebugWindow, 3, 543, 559, 57, lW3, dException3);

    ThreadedTimer1 = new TThreadedTimer(this);
    ThreadedTimer1->Name = "ThreadedTimer1";
    ThreadedTimer1->SetInterval(30);
    ThreadedTimer1->OnTimer = [this](velfw::TObject* s) { ThreadedTimer1Timer(s); };
    EndLoading();

    OnCreate = [this](velfw::TObject* s) { FormCreate(s); };
    OnActivate = [this](velfw::TObject* s) { FormActivate(s); };
    OnPaint = [this](velfw::TObject* s) { FormPaint(s); };
    OnClose = [this](velfw::TObject* s, velfw::TCloseAction& a) { FormClose(s, a); };
    OnKeyDown = [this](velfw::TObject* s, WORD& k, velfw::TShiftState sh) { FormKeyDown(s, k, sh); };
    OnMouseDown = [this](velfw::TObject* s, velfw::TMouseButton b, velfw::TShiftState sh, int x, int y) {
        FormMouseDown(s, b, sh, x, y);
    };
    OnMouseMove = [this](velfw::TObject* s, velfw::TShiftState sh, int x, int y) { FormMouseMove(s, sh, x, y); };

    host_ = std::make_unique<PaneHost>(*this);
    rotation_ = std::make_unique<PaneRotation>(*host_, rotationSettings_);
    if (velfw::Application) {
        velfw::Application->OnIdle = [this](velfw::TObject*) { FreeRetiredBrowsers(); };
        velfw::Application->OnMessage = [this](MSG& msg, bool& handled) { EndOnInputToChild(msg, handled); };
    }
}

TForm1::~TForm1() {
    if (velfw::Application) {
        velfw::Application->OnIdle = nullptr;
        velfw::Application->OnMessage = nullptr;
    }
    try {
        ThreadedTimer1->SetEnabled(false);
    } catch (...) {
    }
    RestoreStartup();
    // The browsers go before the panels that parent them.
    for (TPaneState& p : Panes) {
        p.Body.reset();
        if (p.Browser) {
            try {
                p.Browser->Detach();
            } catch (...) {
            }
            p.Browser.reset();
        }
    }
    FreeRetiredBrowsers();
}

void TForm1::CreateParams(velfw::TCreateParams& params) {
    velfw::TForm::CreateParams(params);
    params.WinClassName = "TForm1";
}

// ---- start-up

void TForm1::FormCreate(velfw::TObject*) {
    globals::InitPending = false;
    KillBusy = false;
    globals::StartupFailed = false;
    globals::SaverStartTime = GetNow();
    globals::StartTicks = GetTicks();
    bool known = false;
    processCreated_ = ProcessCreationTime(::GetCurrentProcess(), known);
    try {
        SetFpuControlWord();
    } catch (...) {
    }

    DisplaySettings s = SaverPresets();
    RegistryReadResult read;
    try {
        read = ReadDisplaySettingsFromRegistry(s);
    } catch (...) {
    }
    globals::WindowCount = s.WindowCount;
    globals::ScrollEnabled = s.ScrollEnabled;
    globals::ScrollUpAllowed = s.ScrollUpAllowed;
    globals::ScrollInterval = s.ScrollInterval;
    globals::ScrollStep = s.ScrollStep;
    globals::PageSeconds = s.PageSeconds;
    globals::PageMs = s.PageMs;
    globals::UseDurations = s.UseDurations;
    globals::MaxCycles = s.MaxCycles;
    globals::MaxMinutes = s.MaxMinutes;
    // Without the key the presets stand and the page time is 0; a key
    // without a readable page time is a failed start.
    if (read.KeyOpened && !read.PageTimeRead) globals::StartupFailed = true;

    try {
        globals::InitGlobals(Handle());
        globals::InitPending = true;
    } catch (...) {
        globals::StartupFailed = true;
    }
}

RotationSettings TForm1::CurrentRotationSettings() const {
    RotationSettings r;
    r.UseDurations = globals::UseDurations;
    r.ScrollEnabled = globals::ScrollEnabled;
    r.ScrollUpAllowed = globals::ScrollUpAllowed;
    r.PageMs = globals::PageMs;
    r.MaxMinutes = globals::MaxMinutes;
    r.ScrollInterval = globals::ScrollInterval;
    r.ScrollStep = globals::ScrollStep;
    r.StartTicks = globals::StartTicks;
    r.BaseDir = globals::BaseDir;
    return r;
}

void TForm1::FormActivate(velfw::TObject*) {
    if (!globals::InitPending) return;
    globals::InitPending = false;
    // A start that has already failed takes nothing from the desktop: the
    // first paint ends it.
    if (globals::StartupFailed) return;
    try {
        SetUp();
    } catch (const std::exception& e) {
        velfw::Application->MessageBox(std::string("Unable to initialize screen saver. ") + e.what(),
                                     velfw::Application->Title(), MB_OK);
        StartupFailedEnd();
    } catch (...) {
        velfw::Application->MessageBox("Unable to initialize screen saver. ", velfw::Application->Title(), MB_OK);
        StartupFailedEnd();
    }
}

void TForm1::SetUp() {
    rotationSettings_ = CurrentRotationSettings();

    InitialWindows = std::make_unique<TTopWindowList>();
    ::EnumWindows(EnumTopWindowsProc, reinterpret_cast<LPARAM>(InitialWindows.get()));
    CurrentWindows = std::make_unique<TTopWindowList>();

    for (int n = 1; n <= 3; ++n) {
        TPaneState& p = Panes[n];
        static_cast<PaneRecord&>(p) = PaneRecord{};
        p.CyclesLeft = globals::UseDurations ? globals::MaxCycles : -1;
        p.Browser.reset();
        p.Body.reset();
        p.Panel = nullptr;
    }
    Panes[1].Panel = Panel1;
    Panes[2].Panel = Panel2;
    Panes[3].Panel = Panel3;
    for (int n = 1; n <= 3; ++n) {
        Panes[n].Panel->SetEnabled(false);  // the panes take no input: it all goes to the form
        Panes[n].Panel->Hide();
    }

    SetBounds(0, 0, velfw::Screen->Width(), velfw::Screen->Height());
    const auto layout = LayOutPanes(globals::WindowCount, Width(), Height());
    for (int n = 1; n <= 3; ++n) {
        const PaneBounds& b = layout[static_cast<size_t>(n - 1)];
        if (!b.Shown) continue;
        Panes[n].Panel->SetBounds(b.Left, b.Top, b.Width, b.Height);
        Panes[n].Panel->Show();
        Panes[n].InUse = true;
    }

    for (int n = 1; n <= 3; ++n) {
        globals::PageLists[static_cast<size_t>(n)].Clear();
        if (!Panes[n].InUse) continue;
        if (!globals::LoadWindowPages(n))
            throw velfw::Exception("No URLs defined for Screen " + velfw::IntToStr(n) +
                                 ".  Please use setup to specify URLs.");
        Panes[n].urlsIndex = 0;
        SetNewURL(n, globals::PageLists[static_cast<size_t>(n)][0]);
    }

    LastMouseX = -1;
    LastMouseY = -1;
    saverFlagSet_ = true;
    SetScreenSaverRunning(true);
    if (globals::RadonWMark == 'W') {
        DebugMode = true;
        pDebugWindow->Show();
        pDebugWindow->BringToFront();
    } else {
        DebugMode = false;
        pDebugWindow->Hide();
    }
    cursor_.Hide();
    Show();
    capture_.Take(Handle());
    ThreadedTimer1->SetEnabled(true);
}

void TForm1::StartupFailedEnd() {
    globals::StartupFailed = true;
    try {
        ThreadedTimer1->SetEnabled(false);
    } catch (...) {
    }
    RestoreStartup();
    velfw::Application->Terminate();
}

void TForm1::ClearSaverFlag() {
    if (!saverFlagSet_) return;
    saverFlagSet_ = false;
    SetScreenSaverRunning(false);
}

void TForm1::RestoreStartup() {
    ClearSaverFlag();
    capture_.Release();
    cursor_.ShowAgain();
}

void TForm1::FormPaint(velfw::TObject*) {
    if (!g_firstPaint) return;
    g_firstPaint = false;
    if (globals::StartupFailed) StartupFailedEnd();
}

// ---- debug log

void TForm1::doDebugWindowLog(int n, const std::string& line) {
    if (!DebugMode) return;
    try {
        const std::string name = "dException" + velfw::IntToStr(n);
        for (int i = 0; i < pDebugWindow->ControlCount(); ++i) {
            auto* memo = dynamic_cast<velfw::TMemo*>(pDebugWindow->Controls(i));
            if (memo && memo->Name == name) {
                memo->Lines().Add(line);
                break;
            }
        }
        velfw::Application->ProcessMessages();
    } catch (...) {
    }
}

void TForm1::LogFailure(int n, const std::string& prefix) {
    std::string text;
    try {
        throw;
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "Unknown exception";
    }
    doDebugWindowLog(n, prefix + text + " @ " + rotation_->MsText());
}

// ---- the window guard and the ending

void TForm1::KillNewProcesses() {
    if (KillBusy) return;
    KillBusy = true;
    try {
        if (InitialWindows && CurrentWindows) {
            CurrentWindows->Count = 0;
            ::EnumWindows(EnumTopWindowsProc, reinterpret_cast<LPARAM>(CurrentWindows.get()));
            for (void* handle : NewWindows(*InitialWindows, *CurrentWindows)) {
                HWND window = static_cast<HWND>(handle);
                DWORD processId = 0;
                ::GetWindowThreadProcessId(window, &processId);
                WindowProcessFacts facts;
                facts.OwnProcess = processId == ::GetCurrentProcessId();
                if (!facts.OwnProcess && processId != 0) {
                    velfw::UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
                    if (process) facts.ProcessCreated = ProcessCreationTime(process.get(), facts.CreationKnown);
                }
                if (ActionForNewWindow(facts, processCreated_) == NewWindowAction::QuitAndTerminate) {
                    ::PostMessageA(window, WM_QUIT, 0, 0);
                    KillProcess(processId);
                } else {
                    // Posted: a window that does not answer cannot hold the tick up.
                    ::PostMessageA(window, WM_CLOSE, 0, 0);
                }
            }
        }
    } catch (...) {
    }
    KillBusy = false;
}

void TForm1::WMActivate(velfw::TMessage& m) {
    if (LOWORD(m.WParam) != WA_INACTIVE) return;
    HWND other = reinterpret_cast<HWND>(m.LParam);
    if (!other || !::IsWindow(other)) return;
    if (!IsErrorWindowTitle(StoredTitle(other))) return;
    // A hung window must not keep the saver from ending.
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(other, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, kSystemTimeoutMs, &result);
}

void TForm1::WndProc(velfw::TMessage& m) {
    switch (m.Msg) {
        case WM_ACTIVATE:
            try {
                WMActivate(m);
            } catch (...) {
            }
            velfw::TForm::WndProc(m);
            return;
        case WM_USER + 1:
            return;
        case WM_USER + 2:
            EndSaver();
            return;
        default:
            velfw::TForm::WndProc(m);
    }
}

void TForm1::FormKeyDown(velfw::TObject*, WORD&, velfw::TShiftState) { EndSaver(); }

void TForm1::FormMouseDown(velfw::TObject*, velfw::TMouseButton, velfw::TShiftState, int, int) { EndSaver(); }

void TForm1::FormMouseMove(velfw::TObject*, velfw::TShiftState, int x, int y) {
    MouseReference ref{LastMouseX, LastMouseY};
    const bool ends = MouseMoveEndsSaver(ref, x, y);
    LastMouseX = ref.X;
    LastMouseY = ref.Y;
    if (ends) EndSaver();
}

void TForm1::EndSaver() {
    // A key or a move already queued behind the first must not close twice.
    if (ending_) return;
    ending_ = true;
    Close();
}

// Keys go to the window with the focus, which is a pane's browser once it
// has taken it, and a browser may take the mouse capture too: a key or a
// button on any window of the form's ends the saver as one on the form does.
void TForm1::EndOnInputToChild(const MSG& msg, bool& handled) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            break;
        default:
            return;
    }
    if (!HandleAllocated() || msg.hwnd == HandleOrNull() || !::IsChild(HandleOrNull(), msg.hwnd)) return;
    handled = true;
    EndSaver();
}

void TForm1::FormClose(velfw::TObject*, velfw::TCloseAction& action) {
    ending_ = true;
    ClearSaverFlag();
    try {
        ThreadedTimer1->SetEnabled(false);
    } catch (...) {
    }
    InitialWindows.reset();
    CurrentWindows.reset();
    capture_.Release();
    cursor_.ShowAgain();
    action = velfw::TCloseAction::caFree;
}

// ---- the rotation

void TForm1::ThreadedTimer1Timer(velfw::TObject*) {
    KillNewProcesses();
    for (int n = 1; n <= 3; ++n) {
        TPaneState& p = Panes[n];
        if (!p.InUse || p.PaneBusy) continue;
        p.PaneBusy = true;
        try {
            check_scroll(n);
        } catch (...) {
        }
        try {
            check_changeURL(n);
        } catch (...) {
        }
        p.PaneBusy = false;
    }
}

bool TForm1::check_scroll(int n) {
    rotation_->CheckScroll(n, Panes[n]);
    return true;
}

bool TForm1::check_changeURL(int n) {
    rotation_->CheckChangeUrl(n, Panes[n], globals::PageLists[static_cast<size_t>(n)]);
    return true;
}

void TForm1::DoHasBeenBlanked(int n) { rotation_->DoHasBeenBlanked(n, Panes[n]); }

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
    }
}

void TForm1::WebBrowserNavigateComplete2(browser::IPaneBrowser& sender) {
    try {
        const int n = sender.Index;
        if (n >= 1 && n <= 3) doDebugWindowLog(n, "Nav Complete");
    } catch (...) {
    }
}

void TForm1::HostedWBScriptError(browser::IPaneBrowser&, bool& continueScript, bool& showDialog) {
    continueScript = false;
    showDialog = false;
}

}  // namespace saver
