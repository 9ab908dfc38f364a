// Controls: bounds, alignment and events (TControl), and the window behind
// them (TWinControl) with one window procedure dispatching to virtual handlers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

namespace velfw {

class TWinControl;
class TWindowHook;

// Cursor numbers: the system's are negative, a program registers its own
// (Screen->Cursors) under positive ones.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeAll = -22,
                  crHourGlass = -11, crNo = -18, crAppStart = -19, crHandPoint = -21;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// mbX1 and mbX2: the side buttons (back and forward) of a five-button mouse.
enum class TMouseButton { mbLeft, mbRight, mbMiddle, mbX1, mbX2 };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                          ssDouble = 64 };
using TShiftState = unsigned;

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Messages a parent sends back to the child control that raised them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_DEADCHAR = CN_BASE + WM_DEADCHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;

// The framework's own requests between controls.
constexpr UINT CM_BASE = 0xB000;
// A navigation key (wParam the virtual key, lParam the TShiftState) offered
// to the control with the focus and then to each parent up to the form; a
// control that acts on it answers non-zero. A page control answers Ctrl+Tab.
constexpr UINT CM_DIALOGKEY = CM_BASE + 16;
// A mnemonic (wParam the character) offered to every control of the form in
// tab order; the control whose caption marks it acts and answers non-zero.
constexpr UINT CM_DIALOGCHAR = CM_BASE + 17;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TWndMethod = std::function<void(TMessage& message)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
// A context menu asked for at `mousePos` (client coordinates; -1, -1 from the
// keyboard); a handler that shows one sets `handled`.
using TContextPopupEvent = std::function<void(TObject* sender, POINT mousePos, bool& handled)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    TFont& Font() { return font_; }
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    virtual std::string GetText() const { return text_; }
    virtual void SetText(const std::string& text);
    virtual void Invalidate() {}
    // Shown over the control; crDefault leaves the window class's.
    TCursor Cursor = crDefault;

    TNotifyEvent OnClick;
    TContextPopupEvent OnContextPopup;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    virtual void Click();
    virtual void DoContextPopup(POINT mousePos, bool& handled);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void FontChanged() {}
    void RequestAlign();

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string text_;

private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    TFont font_;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    std::string WinClassName;   // the class registered for this control
    std::string SysClassName;   // a system class it extends ("EDIT", "STATIC"...), or empty
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();                       // creates the window when it has none yet
    HWND HandleOrNull() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

    // Place in the parent's tab order (0 first; -1 without a parent); setting
    // it moves the control there and the others along.
    int TabOrder() const;
    void SetTabOrder(int order);
    // Tab and Shift+Tab stop at this control.
    bool TabStop = false;
    // The windowed children in tab order.
    const std::vector<TWinControl*>& TabList() const { return tabList_; }
    // Visible, enabled, with its parents, and with a window.
    bool CanFocus() const;

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetColor(TColor color) override;
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void Invalidate() override;
    void Update();
    void SetFocus();
    bool Focused() const;
    void BringToFront();
    // Lays out the aligned children inside the client area, in the
    // library's order: top, bottom, left, right, then client.
    void Realign();

    // Sends a message to this control's window procedure directly.
    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
    static TWinControl* FromHandle(HWND wnd);

    // The procedure every message of the control goes through (its window's
    // and Perform's); WndProc unless a hook (WindowHooks.h) replaced it.
    TWndMethod WindowProc;

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void WndProc(TMessage& message);
    void DefaultHandler(TMessage& message);
    virtual void Paint(TCanvas&) {}
    // The canvas Paint draws on, when the control keeps one of its own.
    virtual TCanvas* ControlCanvas() { return nullptr; }
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // WM_GETDLGCODE: the keys the control keeps from dialog navigation, added
    // to what its window class answers. A form that answers for a key keeps
    // it whichever of its windows has the focus.
    virtual LRESULT DialogCodes() { return 0; }
    virtual void Resize() {}
    void FontChanged() override;
    virtual void AlignControls(RECT& rect);
    // Parent of the window: the parent control's, or this one for a top-level.
    virtual HWND ParentWindow();

private:
    friend class TControl;
    friend class TWindowHook;
    friend LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void CreateChildHandles();
    void UpdateBoundsFromWindow();
    HBRUSH BackgroundBrush();

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    unsigned controlId_ = 0;  // the child window's id, which WM_MEASUREITEM names
    UniqueGdiObject brush_;
    bool aligning_ = false;
    bool paintFailed_ = false;  // the last paint failed and was reported
    TWindowHook* topHook_ = nullptr;  // the last hook installed on WindowProc
};

// A control that draws itself on its own canvas: painting, the mouse
// captured while a button is down, the keys it asks for, focus changes and
// window timers.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    // During Paint: the window's paint DC.
    TCanvas& Canvas() { return canvas_; }
    bool MouseCapture() const;
    void SetMouseCapture(bool value);
    // Runs Timer(id) every `ms` until stopped; false when the system has no
    // timer to give (or the control no window yet).
    bool StartTimer(UINT_PTR id, UINT ms);
    void StopTimer(UINT_PTR id);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    TCanvas* ControlCanvas() override { return &canvas_; }
    void WndProc(TMessage& message) override;
    virtual void Timer(UINT_PTR id) {}
    virtual void DoEnter();
    virtual void DoExit();
    virtual void EnabledChanged() {}
    // Left-button presses capture the mouse until the button is released.
    bool CaptureOnPress = false;
    // The control paints every pixel itself: no background erase.
    bool Opaque = false;

private:
    TCanvas canvas_;
};

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

// Turns whatever is being thrown into the application's report. Every
// callback the system makes into this code ends its catch with this.
void ReportCurrentException() noexcept;

// A control made in code: owned by `owner`, shown in `parent` at the bounds.
template <typename T>
T* PlaceControl(TComponent* owner, TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new T(owner);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace velfw
