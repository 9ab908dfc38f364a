#include "StdCtrls.h"

#include "ControlsRules.h"
#include "Forms.h"

namespace velfw {

// ---- TLabel

TLabel::TLabel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 65, 17); }

void TLabel::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = "STATIC";
    p.WinClassName = "TVelunorLabel";
    p.Style |= SS_LEFT | SS_NOPREFIX;
}

void TLabel::CreateWnd() {
    TWinControl::CreateWnd();
    AdjustSize();
}

void TLabel::SetText(const std::string& text) {
    TWinControl::SetText(text);
    AdjustSize();
}

void TLabel::FontChanged() {
    TWinControl::FontChanged();
    AdjustSize();
}

void TLabel::AdjustSize() {
    if (!AutoSize || !HandleAllocated()) return;
    HDC dc = ::GetDC(HandleOrNull());
    if (!dc) return;
    HGDIOBJ old = ::SelectObject(dc, Font().Handle());
    const std::string text = Caption();
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.empty() ? " " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()),
                            &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(HandleOrNull(), dc);
    SetBounds(Left(), Top(), text.empty() ? Width() : size.cx, size.cy);
}

void TLabel::WndProc(TMessage& m) {
    if (m.Msg == CN_CTLCOLORSTATIC) {
        // The label's background is its parent's.
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        ::SetTextColor(dc, ColorToRGB(Font().Color()));
        const TColor back = Parent() ? Parent()->Color() : Color();
        if (back != Color()) SetColor(back);
        TWinControl::WndProc(m);
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TMemo

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 89);
    TabStop = true;
    SetColor(clWindow);
    lines_.OnChange = [this](TStringList&) { LinesChanged(); };
}

void TMemo::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = "EDIT";
    p.WinClassName = "TVelunorMemo";
    p.Style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
    if (ReadOnly) p.Style |= ES_READONLY;
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TMemo::CreateWnd() {
    TWinControl::CreateWnd();
    // The system's default limit would cut a long log short.
    ::SendMessageA(HandleOrNull(), EM_SETLIMITTEXT, 0, 0);
    LinesChanged();
}

void TMemo::LinesChanged() {
    if (!HandleAllocated()) return;
    HWND wnd = HandleOrNull();
    ::SetWindowTextA(wnd, lines_.Text().c_str());
    // Show the newest line.
    const int length = ::GetWindowTextLengthA(wnd);
    ::SendMessageA(wnd, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
    ::SendMessageA(wnd, EM_SCROLLCARET, 0, 0);
}

// ---- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
    TabStop = true;
}

void TButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = "BUTTON";
    p.WinClassName = "TVelunorButton";
    p.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
    if (ModalResult != 0)
        if (TForm* form = GetParentForm(this)) form->ModalResult = ModalResult;
    TWinControl::Click();
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND:
            if (HIWORD(m.WParam) == BN_CLICKED) {
                Click();
                m.Result = 0;
                return;
            }
            break;
        case CM_DIALOGKEY: {
            const bool takes = (m.WParam == VK_RETURN && (Default || Focused())) || (m.WParam == VK_ESCAPE && Cancel);
            if (takes && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        }
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

}  // namespace velfw
