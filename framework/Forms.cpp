#include "Forms.h"

#include "SysUtils.h"

namespace velfw {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

void ReportCurrentException() noexcept {
    try {
        if (Application) Application->HandleException();
    } catch (...) {
        // A report that fails has nowhere left to go.
    }
}

// ---- TForm

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    SetBounds(0, 0, 640, 480);
}

TForm::~TForm() = default;

void TForm::AfterConstruction() { DoCreate(); }

void TForm::Free() {
    try {
        DoDestroy();
    } catch (...) {
        ReportCurrentException();
    }
    delete this;
}

void TForm::DoCreate() { if (OnCreate) OnCreate(this); }
void TForm::DoDestroy() { if (OnDestroy) OnDestroy(this); }
void TForm::Activate() { if (OnActivate) OnActivate(this); }
void TForm::Deactivate() { if (OnDeactivate) OnDeactivate(this); }
void TForm::Paint(TCanvas& canvas) {
    canvas_.SetHandle(canvas.Handle());
    if (OnPaint) OnPaint(this);
    canvas_.SetHandle(nullptr);
}

void TForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.ExStyle = 0;
    switch (BorderStyle) {
        case TFormBorderStyle::bsNone: p.Style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle: p.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER; break;
        case TFormBorderStyle::bsSizeable: p.Style |= WS_OVERLAPPEDWINDOW; break;
        case TFormBorderStyle::bsDialog:
            p.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            p.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
        case TFormBorderStyle::bsToolWindow:
            p.Style |= WS_CAPTION | WS_SYSMENU;
            p.ExStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (FormStyle == TFormStyle::fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
    if (Position == TPosition::poScreenCenter) {
        p.X = (::GetSystemMetrics(SM_CXSCREEN) - p.Width) / 2;
        p.Y = (::GetSystemMetrics(SM_CYSCREEN) - p.Height) / 2;
    }
    p.WndParent = nullptr;
    p.WinClassName = "TVelunorForm";
}

void TForm::CreateWnd() { TWinControl::CreateWnd(); }

void TForm::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (visible) {
        HWND wnd = Handle();
        int show = WindowState == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                   : WindowState == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                              : SW_SHOW;
        ::ShowWindow(wnd, show);
        if (!shownOnce_) {
            shownOnce_ = true;
            if (OnShow) OnShow(this);
        }
    } else if (HandleAllocated()) {
        ::ShowWindow(HandleOrNull(), SW_HIDE);
    }
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& action) { if (OnClose) OnClose(this, action); }

void TForm::Close() {
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (ModalResult == mrNone) ModalResult = mrCancel;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
    } else if (action == TCloseAction::caHide || action == TCloseAction::caFree) {
        Hide();
    }
}

namespace {
BOOL CALLBACK CollectEnabledWindow(HWND wnd, LPARAM lp) {
    if (::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
    return TRUE;
}
}  // namespace

int TForm::ShowModal() {
    ModalResult = mrNone;
    std::vector<HWND> disabled;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND w : disabled) ::EnableWindow(w, FALSE);
    Show();
    while (ModalResult == mrNone && Application && !Application->Terminated()) Application->HandleMessage();
    for (HWND w : disabled) ::EnableWindow(w, TRUE);
    Hide();
    return ModalResult;
}

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_ACTIVATE:
            DefaultHandler(m);
            if (LOWORD(m.WParam) != WA_INACTIVE) {
                active_ = true;
                Activate();
            } else {
                active_ = false;
                Deactivate();
            }
            return;
        case WM_CLOSE:
            Close();
            return;
        default:
            TWinControl::WndProc(m);
    }
}

// ---- TApplication

namespace {
LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(wnd, msg, wParam, lParam);
}
}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
    title_ = ChangeFileExt(ExtractFileName(ExeName()), "");
}

TApplication::~TApplication() {
    Destroying();
    // Forms first, last created first, so that their OnDestroy runs.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) continue;
        if (auto* form = dynamic_cast<TForm*>(Components(i))) form->Free();
    }
    mainForm_ = nullptr;
    if (handle_) ::DestroyWindow(handle_);
}

void TApplication::Initialize() {
    if (handle_) return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
    wc.lpszClassName = "TApplication";
    ::RegisterClassA(&wc);
    handle_ = ::CreateWindowExA(0, "TApplication", title_.c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                nullptr, nullptr, wc.hInstance, nullptr);
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) ::SetWindowTextA(handle_, title.c_str());
}

std::string TApplication::ExeName() const {
    char path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == mainForm_) mainForm_ = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    if (OnMessage) {
        try {
            OnMessage(msg, handled);
        } catch (...) {
            HandleException();
        }
    }
    if (!handled) handled = IsKeyMsg(msg);
    if (!handled) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

// A key message goes first, reflected (CN_BASE added), to the framework
// control that the window with the focus belongs to; a control that answers
// non-zero has consumed it (the hosted browser's accelerators work so).
bool TApplication::IsKeyMsg(const MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND wnd = ::GetCapture();
    if (!wnd) {
        // Up the child chain only: an owned pop-up's keys are its own.
        wnd = msg.hwnd;
        while (wnd && !TWinControl::FromHandle(wnd))
            wnd = (::GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(wnd) : nullptr;
    }
    if (!wnd || !TWinControl::FromHandle(wnd)) return false;
    return ::SendMessageA(wnd, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) ::WaitMessage();
}

void TApplication::Run() {
    if (mainForm_ && !terminated_) mainForm_->Show();
    MSG msg;
    while (!terminated_) {
        if (ProcessMessage(msg)) continue;
        if (OnIdle) {
            try {
                OnIdle(this);
            } catch (...) {
                HandleException();
            }
        }
        if (!terminated_) ::WaitMessage();
    }
}

void TApplication::Terminate() { ::PostQuitMessage(0); }

void TApplication::HandleException(const std::exception* e) {
    if (e) {
        if (dynamic_cast<const EAbort*>(e)) return;
        if (OnException) OnException(this, *e);
        else ShowException(*e);
        return;
    }
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& ex) {
        HandleException(&ex);
    } catch (...) {
        Exception unknown("Unknown exception");
        HandleException(&unknown);
    }
}

void TApplication::ShowException(const std::exception& e) {
    std::string text = e.what();
    if (!text.empty() && text.back() != '.') text += '.';
    MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND owner = ::GetActiveWindow();
    if (MessageBoxFunction) return MessageBoxFunction(owner, text, caption, flags);
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

// ---- unit start-up

void InitFormsUnit() {
    if (!Application) Application = new TApplication();
    if (!Screen) Screen = new TScreen();
}

void DoneFormsUnit() {
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
}

}  // namespace velfw
