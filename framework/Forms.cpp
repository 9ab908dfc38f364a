#include "Forms.h"

#include <algorithm>

#include "ApplicationWindow.h"
#include "ControlsRules.h"
#include "MessageRoutes.h"
#include "ScopeGuards.h"
#include "SysUtils.h"
#include "UtilityWindow.h"

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

TForm::~TForm() {
    if (Screen && Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
    DestroyComponents();
}

void TForm::AfterConstruction() { DoCreate(); }

void TForm::BeforeDestruction() {
    TWinControl::BeforeDestruction();
    try {
        DoDestroy();
    } catch (...) {
        ReportCurrentException();  // the form goes all the same
    }
}

void TForm::DoCreate() { if (OnCreate) OnCreate(this); }
void TForm::DoDestroy() { if (OnDestroy) OnDestroy(this); }
void TForm::Activate() { if (OnActivate) OnActivate(this); }
void TForm::Deactivate() { if (OnDeactivate) OnDeactivate(this); }
void TForm::Paint(TCanvas& canvas) {
    // The form's canvas draws on the paint's DC only while the paint lasts,
    // also when the handler fails.
    canvas_.SetHandle(canvas.Handle());
    const ScopeExit unbind([this] { canvas_.SetHandle(nullptr); });
    if (OnPaint) OnPaint(this);
}

void TForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.ExStyle = 0;
    bool boxesAllowed = false;
    switch (BorderStyle) {
        case TFormBorderStyle::bsNone: p.Style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle:
            p.Style |= WS_CAPTION | WS_BORDER;
            boxesAllowed = true;
            break;
        case TFormBorderStyle::bsSizeable:
            p.Style |= WS_CAPTION | WS_THICKFRAME;
            boxesAllowed = true;
            break;
        case TFormBorderStyle::bsDialog:
            p.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
            p.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
        case TFormBorderStyle::bsToolWindow:
            p.Style |= WS_CAPTION;
            p.ExStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (BorderStyle != TFormBorderStyle::bsNone) {
        if (BorderIcons & biSystemMenu) p.Style |= WS_SYSMENU;
        if (boxesAllowed && (BorderIcons & biMinimize)) p.Style |= WS_MINIMIZEBOX;
        if (boxesAllowed && (BorderIcons & biMaximize)) p.Style |= WS_MAXIMIZEBOX;
        if ((BorderIcons & biHelp) && !(p.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) p.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FormStyle == TFormStyle::fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
    if (Position == TPosition::poScreenCenter) {
        p.X = (::GetSystemMetrics(SM_CXSCREEN) - p.Width) / 2;
        p.Y = (::GetSystemMetrics(SM_CYSCREEN) - p.Height) / 2;
    }
    // The application window owns every form: a second copy of a program
    // finds a form's open box as that window's last active pop-up.
    p.WndParent = Application ? Application->Handle() : nullptr;
    p.WinClassName = "TVelunorForm";
}

void TForm::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (visible) {
        HWND wnd = Handle();
        int show = WindowState == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                   : WindowState == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                              : SW_SHOW;
        if (Application && Application->MainForm() == this) Application->ShowButton(true);
        ::ShowWindow(wnd, show);
        if (!shownOnce_) {
            shownOnce_ = true;
            if (OnShow) OnShow(this);
        }
    } else if (HandleAllocated()) {
        ::ShowWindow(HandleOrNull(), SW_HIDE);
        if (Application && Application->MainForm() == this) Application->ShowButton(false);
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

TForm* GetParentForm(TControl* control) {
    while (control && !dynamic_cast<TForm*>(control)) control = control->Parent();
    return static_cast<TForm*>(control);
}

namespace {

// The windowed controls inside `parent`, each followed by its own, in tab
// order; hidden and disabled ones (and what they hold) left out.
void CollectTabOrder(const TWinControl& parent, std::vector<TWinControl*>& out) {
    for (TWinControl* c : parent.TabList()) {
        if (!c->Visible() || !c->Enabled()) continue;
        out.push_back(c);
        CollectTabOrder(*c, out);
    }
}

// The framework control a window belongs to: itself, or the nearest up the
// chain of child windows.
TWinControl* OwningControl(HWND wnd) {
    while (wnd) {
        if (TWinControl* c = TWinControl::FromHandle(wnd)) return c;
        wnd = (::GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(wnd) : nullptr;
    }
    return nullptr;
}

}  // namespace

TWinControl* TForm::FocusedControl() const {
    TWinControl* c = OwningControl(::GetFocus());
    return c && GetParentForm(c) == this ? c : nullptr;
}

void TForm::SelectNext(bool forward) {
    std::vector<TWinControl*> all, stops;
    CollectTabOrder(*this, all);
    for (TWinControl* c : all)
        if (c->TabStop && c->CanFocus()) stops.push_back(c);
    // From inside a control that is no tab stop, go on from the nearest one
    // around it.
    int current = -1;
    for (TWinControl* c = FocusedControl(); c && c != this && current < 0; c = c->Parent()) {
        auto it = std::find(stops.begin(), stops.end(), c);
        if (it != stops.end()) current = static_cast<int>(it - stops.begin());
    }
    const int next = NextTabIndex(static_cast<int>(stops.size()), current, forward);
    if (next >= 0) stops[static_cast<size_t>(next)]->SetFocus();
}

bool TForm::Broadcast(UINT msg, WPARAM wParam, LPARAM lParam) {
    std::vector<TWinControl*> all;
    CollectTabOrder(*this, all);
    for (TWinControl* c : all)
        if (c->Perform(msg, wParam, lParam) != 0) return true;
    return false;
}

bool TForm::DialogKey(WORD key, TShiftState shift) {
    switch (key) {
        case VK_TAB:
            if (shift & (ssCtrl | ssAlt)) return false;  // Ctrl+Tab is a page control's
            SelectNext((shift & ssShift) == 0);
            return true;
        case VK_RETURN:
        case VK_ESCAPE:
            return Broadcast(CM_DIALOGKEY, key, static_cast<LPARAM>(shift));
        default:
            return false;
    }
}

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGKEY:
            m.Result = DialogKey(static_cast<WORD>(m.WParam), static_cast<TShiftState>(m.LParam)) ? 1 : 0;
            return;
        case CM_DIALOGCHAR:
            m.Result = Broadcast(CM_DIALOGCHAR, m.WParam, m.LParam) ? 1 : 0;
            return;
        case WM_ACTIVATE:
            DefaultHandler(m);
            if (LOWORD(m.WParam) != WA_INACTIVE) {
                active_ = true;
                if (Screen) Screen->activeForm_ = this;
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

TApplication::TApplication() : TComponent(nullptr) {
    title_ = DefaultApplicationTitle(ExeName());
}

TApplication::~TApplication() {
    Destroying();
    DestroyForms();
    window_.reset();
}

HWND TApplication::Handle() const { return window_ ? window_->Handle() : nullptr; }

void TApplication::DestroyForms() {
    // Last created first, so that their OnDestroy runs.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) continue;
        if (auto* form = dynamic_cast<TForm*>(Components(i))) form->Free();
    }
    mainForm_ = nullptr;
}

void TApplication::Initialize() {
    if (window_) return;
    window_ = std::make_unique<TApplicationWindow>();
    window_->SetTitle(title_);
}

void TApplication::ShowButton(bool shown) {
    HWND wnd = Handle();
    const bool show = shown && ShowTaskbarButton;
    if (!wnd || (::IsWindowVisible(wnd) != FALSE) == show) return;
    // Shown before the form and without the activation, which is the form's.
    ::ShowWindow(wnd, show ? SW_SHOWNA : SW_HIDE);
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (window_) window_->SetTitle(title);
}

std::string TApplication::ExeName() {
    char path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void TApplication::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(this);
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
    // The system only sends these; posted, their pointers are not ours.
    if (IsSendOnlyMessage(msg.message)) return true;
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
    // Up the child chain only: an owned pop-up's keys are its own.
    const HWND captured = ::GetCapture();
    TWinControl* control = captured ? TWinControl::FromHandle(captured) : OwningControl(msg.hwnd);
    if (control && ::SendMessageA(control->HandleOrNull(), CN_BASE + msg.message, msg.wParam, msg.lParam) != 0)
        return true;
    return IsDialogKey(msg);
}

namespace {

// Whether `wnd` answers WM_GETDLGCODE for the key of `msg` with one of `wants`.
bool AsksForKey(HWND wnd, const MSG& msg, LRESULT wants) {
    MSG asked = msg;
    return (::SendMessageA(wnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&asked)) & wants) != 0;
}

}  // namespace

// Dialog navigation on the form that has the focus: Tab, Enter and Esc
// (and Ctrl+Tab for a page control) go to the focused control and up its
// parents to the form; Alt+letter to the control with that mnemonic. A
// window that asks for the key (WM_GETDLGCODE) keeps it: the focused one, as
// in a dialog, and the form, for every window on it. Alt+letter is asked of
// the form only (a multi-line edit wants all keys, and mnemonics still work
// from it); the form keeps it by wanting the characters.
bool TApplication::IsDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSCHAR) return false;
    TWinControl* control = OwningControl(msg.hwnd);
    TForm* form = GetParentForm(control);
    if (!form) return false;
    if (msg.message == WM_SYSCHAR) {
        if (AsksForKey(form->Handle(), msg, DLGC_WANTCHARS)) return false;
        return form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0;
    }
    const WORD key = static_cast<WORD>(msg.wParam);
    LRESULT wants = 0;
    switch (key) {
        case VK_TAB: wants = DLGC_WANTTAB; break;
        case VK_RETURN:
        case VK_ESCAPE: wants = DLGC_WANTALLKEYS | DLGC_WANTMESSAGE; break;
        default: return false;
    }
    if (AsksForKey(msg.hwnd, msg, wants)) return false;
    if (form->Handle() != msg.hwnd && AsksForKey(form->Handle(), msg, wants)) return false;
    const auto shift = static_cast<LPARAM>(KeyboardShiftState());
    for (TWinControl* c = control; c; c = c->Parent()) {
        if (c->Perform(CM_DIALOGKEY, key, shift) != 0) return true;
        if (c == form) break;
    }
    return false;
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
    if (mainForm_ && ShowMainForm && !terminated_) mainForm_->Show();
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

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
    if (HelpFile.empty()) return false;
    HWND owner = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->HandleOrNull() : Handle();
    if (HelpFunction) return HelpFunction(owner, HelpFile, command, data);
    return ::WinHelpA(owner, HelpFile.c_str(), command, data) != FALSE;
}

// ---- TScreen

HCURSOR TCursorTable::operator[](TCursor id) const {
    auto it = cursors_.find(id);
    if (it != cursors_.end() && it->second) return it->second;
    const char* system = IDC_ARROW;
    switch (id) {
        case crNone: return nullptr;
        case crIBeam: system = IDC_IBEAM; break;
        case crCross: system = IDC_CROSS; break;
        case crSizeAll: system = IDC_SIZEALL; break;
        case crHourGlass: system = IDC_WAIT; break;
        case crNo: system = IDC_NO; break;
        case crAppStart: system = IDC_APPSTARTING; break;
        case crHandPoint: system = IDC_HAND; break;
        default: break;
    }
    return ::LoadCursorA(nullptr, system);
}

void TCursorTable::Set(TCursor id, HCURSOR cursor) {
    if (cursor) cursors_[id] = cursor;
    else cursors_.erase(id);
}

void TScreen::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    if (cursor != crDefault) {
        ::SetCursor(Cursors[cursor]);
        return;
    }
    // Each window puts its own cursor back at the next mouse move.
    POINT p;
    if (::GetCursorPos(&p)) ::SetCursorPos(p.x, p.y);
}

// ---- unit start-up

void InitFormsUnit() {
    if (!Application) Application = new TApplication();
    if (!Screen) Screen = new TScreen();
}

void DoneApplicationForms() {
    if (Application) Application->DestroyForms();
}

void DoneFormsUnit() {
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
}

}  // namespace velfw
