// The saver form: its description, the seams the program sets, the debug
// log, the window guard and the ending. The start-up sequence is in
// KaviSSmStartup.cpp, the panes and their browsers in KaviSSmPanes.cpp.
#include "KaviSSm.h"

#include "Globals.h"
#include "SaverMessages.h"
#include "ScopeGuards.h"
#include "StatsPage.h"
#include "SysUtils.h"
#include "WindowGuard.h"

namespace saver {

std::function<uint32_t()> GetTicks = [] { return static_cast<uint32_t>(::GetTickCount()); };
std::function<double()> GetNow = globals::SystemDateTime;
browser::PaneBrowserFactory MakePaneBrowser;
std::function<void(bool)> SetScreenSaverRunning = [](bool running) {
    ::SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running ? 1 : 0, nullptr, 0);
};
uint32_t StartTicks = 0;

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
    BorderIcons = 0;
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

    ThreadedTimer1 = new velfw::TThreadedTimer(this);
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

    host_ = MakePaneHost();
    rotation_ = std::make_unique<PaneRotation>(*host_, globals::DisplaySettings, StartTicks, globals::BaseDir);
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
        // Going away: the timer is freed with the form.
    }
    RestoreStartup();
    // The browsers go before the panels that parent them.
    for (TPaneState& p : Panes) {
        p.Body.reset();
        if (p.Browser) {
            try {
                p.Browser->Detach();
            } catch (...) {
                // Freed below all the same.
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

// ---- debug log

void TForm1::doDebugWindowLog(int n, const std::string& line) {
    if (!DebugMode) return;
    try {
        velfw::TMemo* const memos[] = {dException1, dException2, dException3};
        if (n >= 1 && n <= 3) memos[n - 1]->Lines().Add(line);
        velfw::Application->ProcessMessages();
    } catch (...) {
        // The log is for the developer's eyes; the slideshow goes on without it.
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
    const velfw::ScopedValue busy(KillBusy, true);
    try {
        if (InitialWindows && CurrentWindows) DealWithNewWindows(*InitialWindows, *CurrentWindows, processCreated_);
    } catch (...) {
        // The next tick scans again.
    }
}

void TForm1::WMActivate(velfw::TMessage& m) {
    if (LOWORD(m.WParam) != WA_INACTIVE) return;
    CloseErrorWindow(reinterpret_cast<HWND>(m.LParam));
}

void TForm1::WndProc(velfw::TMessage& m) {
    switch (m.Msg) {
        case WM_ACTIVATE:
            try {
                WMActivate(m);
            } catch (...) {
                // An error window that stays is asked again at its next activation.
            }
            velfw::TForm::WndProc(m);
            return;
        case kIgnoredMessage:
            // Swallowed: the form reserves the number, so what a sender
            // means by it never reaches the default handling.
            return;
        case kEndSaverMessage:
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
// has taken it, and a browser may take the mouse capture too: a key on any
// window of the form's goes to the form's key handler, and a button ends the
// saver as one on the form does.
void TForm1::EndOnInputToChild(const MSG& msg, bool& handled) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            break;
        default:
            return;
    }
    if (!HandleAllocated() || msg.hwnd == HandleOrNull() || !::IsChild(HandleOrNull(), msg.hwnd)) return;
    handled = true;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        WORD key = static_cast<WORD>(msg.wParam);
        KeyDown(key, velfw::KeyboardShiftState());
    } else {
        EndSaver();
    }
}

void TForm1::FormClose(velfw::TObject*, velfw::TCloseAction& action) {
    ending_ = true;
    ClearSaverFlag();
    try {
        ThreadedTimer1->SetEnabled(false);
    } catch (...) {
        // The form is freed now; the timer goes with it.
    }
    InitialWindows.reset();
    CurrentWindows.reset();
    capture_.Release();
    cursor_.ShowAgain();
    action = velfw::TCloseAction::caFree;
}

}  // namespace saver
