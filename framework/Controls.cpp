#include "Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "ControlsRules.h"
#include "Forms.h"
#include "MessageRoutes.h"
#include "ScopeGuards.h"
#include "SysUtils.h"
#include "WindowHooks.h"

namespace velfw {

namespace {

const char kControlProp[] = "VelunorControl";

// The control whose window is being created: the first message of a new
// window may come before WM_NCCREATE, so the pointer is picked up from here.
thread_local TWinControl* g_creating = nullptr;

// Ids of child windows: unique while they live, so that a parent can find
// the child a WM_MEASUREITEM names.
TIdPool& ControlIds() {
    static TIdPool ids(1, 0xFFFF);
    return ids;
}

// The procedure each of our window classes extends, by class name. Utility
// windows are made on other threads too (a test's DDE client), hence the lock.
struct TClassTable {
    std::mutex lock;
    std::map<std::string, WNDPROC> baseProcs;
};

TClassTable& Classes() {
    static TClassTable table;
    return table;
}

WNDPROC BaseProcOf(HWND wnd) {
    char name[256] = {};
    if (::GetClassNameA(wnd, name, sizeof name) > 0) {
        TClassTable& classes = Classes();
        const std::lock_guard<std::mutex> hold(classes.lock);
        auto it = classes.baseProcs.find(name);
        if (it != classes.baseProcs.end()) return it->second;
    }
    return ::DefWindowProcA;
}

}  // namespace

LRESULT CALLBACK ControlWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

// With the common-controls manifest the system's control classes (STATIC,
// BUTTON, EDIT...) are those of comctl32 version 6, registered only once the
// library has initialised: until then a class look-up fails.
void InitCommonControlsOnce() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc = {};
        icc.dwSize = sizeof icc;
        icc.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

WNDPROC RegisterControlClass(const TCreateParams& params) {
    TClassTable& classes = Classes();
    const std::lock_guard<std::mutex> hold(classes.lock);
    auto& procs = classes.baseProcs;
    auto it = procs.find(params.WinClassName);
    if (it != procs.end()) return it->second;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    WNDPROC base = ::DefWindowProcA;
    if (!params.SysClassName.empty()) {
        InitCommonControlsOnce();
        if (!::GetClassInfoExA(nullptr, params.SysClassName.c_str(), &wc))
            throw Exception("Cannot find window class " + params.SysClassName);
        base = wc.lpfnWndProc;
        wc.cbSize = sizeof wc;
    } else {
        wc.style = params.ClassStyle;
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = params.Background;
        wc.hIcon = ::LoadIconA(instance, "MAINICON");
    }
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = params.WinClassName.c_str();
    if (!::RegisterClassExA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception("Cannot register window class " + params.WinClassName);
    procs[params.WinClassName] = base;
    return base;
}

}  // namespace

LRESULT CALLBACK ControlWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(::GetPropA(wnd, kControlProp));
    if (!control && g_creating) {
        control = g_creating;
        g_creating = nullptr;
        control->handle_ = wnd;
        ::SetPropA(wnd, kControlProp, control);
    }
    if (!control) return ::CallWindowProcA(BaseProcOf(wnd), wnd, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    try {
        control->WindowProc(m);
    } catch (...) {
        ReportCurrentException();
    }
    if (msg == WM_NCDESTROY) {
        ::RemovePropA(wnd, kControlProp);
        control->handle_ = nullptr;
        if (control->controlId_) ControlIds().Release(std::exchange(control->controlId_, 0u));
    }
    return m.Result;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (::GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

// ---- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
    font_.OnChange = [this] { FontChanged(); };
}

TControl::~TControl() {
    Destroying();
    DestroyComponents();
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    RequestAlign();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    RequestAlign();
}

void TControl::SetEnabled(bool enabled) { enabled_ = enabled; }
void TControl::SetColor(TColor color) { color_ = color; Invalidate(); }
void TControl::SetText(const std::string& text) { text_ = text; }

void TControl::RequestAlign() {
    if (parent_ && !parent_->aligning_ && !parent_->IsDestroying()) parent_->Realign();
}

void TControl::Click() { if (OnClick) OnClick(this); }
void TControl::DoContextPopup(POINT p, bool& handled) { if (OnContextPopup) OnContextPopup(this, p, handled); }
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseDown) OnMouseDown(this, b, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { if (OnMouseUp) OnMouseUp(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { if (OnMouseMove) OnMouseMove(this, s, x, y); }

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
}

TWinControl::~TWinControl() {
    Destroying();
    // Owned components before the window and the child list they may use.
    DestroyComponents();
    // Child controls go with their parent, last first, as in the class library.
    while (!controls_.empty()) delete controls_.back();
    // Hooks that outlive this control must not touch it any more.
    for (TWindowHook* hook = topHook_; hook;) {
        TWindowHook* below = hook->below_;
        hook->Forget();
        hook = below;
    }
    topHook_ = nullptr;
    if (handle_) {
        HWND wnd = handle_;
        ::RemovePropA(wnd, kControlProp);
        handle_ = nullptr;
        ::DestroyWindow(wnd);
    }
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    // Another of our programs marks its windows the same way, and a handle in
    // a message may be one of them: its pointer means nothing here.
    DWORD process = 0;
    if (!::GetWindowThreadProcessId(wnd, &process) || process != ::GetCurrentProcessId()) return nullptr;
    return static_cast<TWinControl*>(::GetPropA(wnd, kControlProp));
}

HWND TWinControl::Handle() {
    if (!handle_) CreateWnd();
    return handle_;
}

HWND TWinControl::ParentWindow() {
    return Parent() ? Parent()->Handle() : nullptr;
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = text_;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (Visible()) p.Style |= WS_VISIBLE;
    if (!Enabled()) p.Style |= WS_DISABLED;
    p.X = left_;
    p.Y = top_;
    p.Width = width_;
    p.Height = height_;
    if (TabStop) p.Style |= WS_TABSTOP;
    p.WinClassName = "TVelunorWinControl";
}

void TWinControl::CreateWnd() {
    if (Parent()) Parent()->HandleNeeded();
    if (handle_) return;  // made while the parent made its children
    TCreateParams p;
    CreateParams(p);
    if (p.Style & WS_CHILD) p.WndParent = ParentWindow();
    defWndProc_ = RegisterControlClass(p);
    HMENU id = nullptr;
    if (p.Style & WS_CHILD) {
        controlId_ = ControlIds().Allocate();
        id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId_));
    }
    g_creating = this;
    HWND wnd = ::CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y,
                                 p.Width, p.Height, p.WndParent, id, ::GetModuleHandleA(nullptr), nullptr);
    g_creating = nullptr;
    if (!wnd) {
        handle_ = nullptr;
        if (controlId_) ControlIds().Release(std::exchange(controlId_, 0u));
        throw Exception("Error creating window (" + IntToStr(static_cast<long long>(::GetLastError())) + ")");
    }
    handle_ = wnd;
    ::SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    CreateChildHandles();
    Realign();
}

void TWinControl::CreateChildHandles() {
    for (size_t i = 0; i < controls_.size(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(controls_[i])) w->HandleNeeded();
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    control->parent_ = this;
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(w);
        if (w->handle_) ::SetParent(w->handle_, Handle());
        else if (handle_) w->HandleNeeded();
    }
    if (control->Align() != TAlign::alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    controls_.erase(it);
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
    control->parent_ = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(control); w && w->handle_ && !w->IsDestroying()) {
        ::ShowWindow(w->handle_, SW_HIDE);
        ::SetParent(w->handle_, nullptr);
    }
    if (!IsDestroying() && control->Align() != TAlign::alNone) Realign();
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

bool TWinControl::CanFocus() const {
    for (const TWinControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return handle_ != nullptr;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_) {
        ::SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (resized) {
        Realign();
    }
    RequestAlign();
}

void TWinControl::UpdateBoundsFromWindow() {
    RECT r;
    if (!::GetWindowRect(handle_, &r)) return;
    if (::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        HWND parent = ::GetParent(handle_);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
}

void TWinControl::SetVisible(bool visible) {
    bool was = Visible();
    TControl::SetVisible(visible);
    if (handle_ && was != visible) ::ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (handle_) ::EnableWindow(handle_, enabled ? TRUE : FALSE);
}

void TWinControl::SetColor(TColor color) {
    brush_.reset();
    TControl::SetColor(color);
}

HBRUSH TWinControl::BackgroundBrush() {
    if (!brush_) brush_.reset(::CreateSolidBrush(ColorToRGB(Color())));
    return static_cast<HBRUSH>(brush_.get());
}

std::string TWinControl::GetText() const {
    if (!handle_) return text_;
    int n = ::GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TWinControl::SetText(const std::string& text) {
    TControl::SetText(text);
    if (handle_) ::SetWindowTextA(handle_, text.c_str());
}

int TWinControl::ClientWidth() const {
    RECT r;
    if (handle_ && ::GetClientRect(handle_, &r)) return r.right;
    return width_;
}

int TWinControl::ClientHeight() const {
    RECT r;
    if (handle_ && ::GetClientRect(handle_, &r)) return r.bottom;
    return height_;
}

void TWinControl::Invalidate() {
    if (handle_) ::InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
    if (handle_) ::UpdateWindow(handle_);
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }
bool TWinControl::Focused() const { return handle_ && ::GetFocus() == handle_; }

void TWinControl::BringToFront() {
    if (handle_) ::SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::FontChanged() {
    if (handle_) ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

void TWinControl::Realign() {
    if (aligning_) return;
    ScopedValue aligning(aligning_, true);
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    AlignControls(r);
}

void TWinControl::AlignControls(RECT& r) {
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    for (TAlign a : order) {
        for (TControl* c : std::vector<TControl*>(controls_)) {
            if (c->Align() != a || !c->Visible()) continue;
            int w = r.right - r.left, h = r.bottom - r.top;
            switch (a) {
                case TAlign::alTop:
                    c->SetBounds(r.left, r.top, w, c->Height());
                    r.top += c->Height();
                    break;
                case TAlign::alBottom:
                    c->SetBounds(r.left, r.bottom - c->Height(), w, c->Height());
                    r.bottom -= c->Height();
                    break;
                case TAlign::alLeft:
                    c->SetBounds(r.left, r.top, c->Width(), h);
                    r.left += c->Width();
                    break;
                case TAlign::alRight:
                    c->SetBounds(r.right - c->Width(), r.top, c->Width(), h);
                    r.right -= c->Width();
                    break;
                case TAlign::alClient:
                    c->SetBounds(r.left, r.top, w, h);
                    break;
                case TAlign::alNone:
                    break;
            }
        }
    }
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WindowProc(m);
    return m.Result;
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_) return;
    m.Result = ::CallWindowProcA(defWndProc_ ? defWndProc_ : ::DefWindowProcA, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) { if (OnKeyDown) OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { if (OnKeyUp) OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char& key) { if (OnKeyPress) OnKeyPress(this, key); }

void TWinControl::WndProc(TMessage& m) {
    const bool ownClass = defWndProc_ == ::DefWindowProcA;
    if (handle_ && RouteMessage(handle_, this, m)) return;
    switch (m.Msg) {
        case WM_ERASEBKGND:
            if (ownClass) {
                RECT r;
                ::GetClientRect(handle_, &r);
                ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, BackgroundBrush());
                m.Result = 1;
                return;
            }
            break;
        case WM_PAINT:
            if (ownClass) {
                PaintDc paint(handle_);
                TCanvas local;
                TCanvas* own = ControlCanvas();
                TCanvas& canvas = own ? *own : local;
                canvas.SetHandle(paint.get());
                ScopeExit unbind([&canvas] { canvas.SetHandle(nullptr); });
                try {
                    Paint(canvas);
                } catch (...) {
                    // The region is valid again before anything is shown: the
                    // report's box must not bring the failing paint straight
                    // back. Until a paint succeeds, later failures are the
                    // same one and are not reported again.
                    paint.End();
                    if (std::exchange(paintFailed_, true)) return;
                    throw;
                }
                paintFailed_ = false;
                return;
            }
            break;
        case WM_SIZE:
            DefaultHandler(m);
            UpdateBoundsFromWindow();
            Realign();
            Resize();
            return;
        case WM_MOVE:
            DefaultHandler(m);
            UpdateBoundsFromWindow();
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            DefaultHandler(m);
            TMouseButton b = m.Msg == WM_LBUTTONDOWN ? TMouseButton::mbLeft
                             : m.Msg == WM_RBUTTONDOWN ? TMouseButton::mbRight : TMouseButton::mbMiddle;
            MouseDown(b, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            return;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            DefaultHandler(m);
            TMouseButton b = m.Msg == WM_LBUTTONUP ? TMouseButton::mbLeft
                             : m.Msg == WM_RBUTTONUP ? TMouseButton::mbRight : TMouseButton::mbMiddle;
            MouseUp(b, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            if (ownClass && b == TMouseButton::mbLeft) Click();
            return;
        }
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP: {
            DefaultHandler(m);
            const TMouseButton b = GET_XBUTTON_WPARAM(m.WParam) == XBUTTON1 ? TMouseButton::mbX1 : TMouseButton::mbX2;
            const TShiftState shift = KeysToShiftState(GET_KEYSTATE_WPARAM(m.WParam));
            if (m.Msg == WM_XBUTTONDOWN) MouseDown(b, shift, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            else MouseUp(b, shift, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            m.Result = TRUE;  // the side buttons' messages are answered TRUE, unlike the others
            return;
        }
        case WM_MOUSEMOVE:
            DefaultHandler(m);
            MouseMove(KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            WORD key = static_cast<WORD>(m.WParam);
            KeyDown(key, KeyboardShiftState());
            if (key == 0) return;
            m.WParam = key;
            break;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            WORD key = static_cast<WORD>(m.WParam);
            KeyUp(key, KeyboardShiftState());
            if (key == 0) return;
            m.WParam = key;
            break;
        }
        case WM_CHAR: {
            char key = static_cast<char>(m.WParam);
            KeyPress(key);
            if (key == 0) return;
            m.WParam = static_cast<unsigned char>(key);
            break;
        }
        case WM_SETCURSOR:
            if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
                const TCursor wanted = Screen && Screen->Cursor() != crDefault ? Screen->Cursor() : Cursor;
                if (wanted != crDefault && Screen) {
                    ::SetCursor(Screen->Cursors[wanted]);
                    m.Result = TRUE;
                    return;
                }
            }
            break;
        case WM_CONTEXTMENU: {
            // Asked of the control under the mouse first; unhandled, the
            // default procedure passes it on to the parent.
            POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            if (p.x != -1 || p.y != -1) ::ScreenToClient(handle_, &p);
            bool handled = false;
            DoContextPopup(p, handled);
            if (handled) return;
            break;
        }
        case WM_GETDLGCODE:
            DefaultHandler(m);
            m.Result |= DialogCodes();
            return;
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
            m.Result = 0;
            return;
        case CN_KEYDOWN:
        case CN_KEYUP:
        case CN_CHAR:
        case CN_DEADCHAR:
        case CN_SYSKEYDOWN:
        case CN_BASE + WM_SYSKEYUP:
        case CN_SYSCHAR:
        case CN_BASE + WM_SYSDEADCHAR:
            // A key offered before dispatch: not consumed unless a control
            // (or a hook on it) says so.
            m.Result = 0;
            return;
        case CN_CTLCOLORSTATIC:
        case CN_CTLCOLOREDIT:
        case CN_BASE + WM_CTLCOLORBTN:
        case CN_BASE + WM_CTLCOLORLISTBOX:
        case CN_BASE + WM_CTLCOLORSCROLLBAR: {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            ::SetTextColor(dc, ColorToRGB(Font().Color()));
            ::SetBkColor(dc, ColorToRGB(Color()));
            m.Result = reinterpret_cast<LRESULT>(BackgroundBrush());
            return;
        }
        default:
            break;
    }
    DefaultHandler(m);
}

// ---- TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCustomControl::~TCustomControl() {
    Destroying();
    if (MouseCapture()) ::ReleaseCapture();
}

bool TCustomControl::MouseCapture() const { return HandleAllocated() && ::GetCapture() == HandleOrNull(); }

void TCustomControl::SetMouseCapture(bool value) {
    if (value == MouseCapture()) return;
    if (value) ::SetCapture(Handle());
    else ::ReleaseCapture();
}

bool TCustomControl::StartTimer(UINT_PTR id, UINT ms) {
    return HandleAllocated() && ::SetTimer(HandleOrNull(), id, ms, nullptr) != 0;
}

void TCustomControl::StopTimer(UINT_PTR id) {
    if (HandleAllocated()) ::KillTimer(HandleOrNull(), id);
}

void TCustomControl::DoEnter() { if (OnEnter) OnEnter(this); }
void TCustomControl::DoExit() { if (OnExit) OnExit(this); }

void TCustomControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_ERASEBKGND:
            if (Opaque) {
                m.Result = 1;
                return;
            }
            break;
        case WM_TIMER:
            Timer(m.WParam);
            m.Result = 0;
            return;
        case WM_SETFOCUS:
            TWinControl::WndProc(m);
            DoEnter();
            return;
        case WM_KILLFOCUS:
            TWinControl::WndProc(m);
            DoExit();
            return;
        case WM_ENABLE:
            TWinControl::WndProc(m);
            EnabledChanged();
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (CaptureOnPress) SetMouseCapture(true);
            break;
        case WM_LBUTTONUP:
            // Released before the handlers run, so that one may capture anew.
            if (CaptureOnPress && MouseCapture()) ::ReleaseCapture();
            break;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

}  // namespace velfw
