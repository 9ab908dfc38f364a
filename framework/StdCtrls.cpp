#include "StdCtrls.h"

#include <utility>

#include "ControlsRules.h"
#include "Forms.h"
#include "WinHandles.h"

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
    WindowDc dc(HandleOrNull());
    if (!dc) return;
    SelectedObject font(dc.get(), Font().Handle());
    const std::string text = Caption();
    RECT r{0, 0, 0, 0};
    ::DrawTextA(dc.get(), text.empty() ? " " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
    SetBounds(Left(), Top(), text.empty() ? Width() : r.right, r.bottom);
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

// ---- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 21);
    TabStop = true;
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = "EDIT";
    p.WinClassName = "TVelunorEdit";
    p.Style |= ES_AUTOHSCROLL;
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
        Change();
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

void TEdit::Change() { if (OnChange) OnChange(this); }

// ---- TListBox

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 97);
    TabStop = true;
    SetColor(clWindow);
}

void TListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = "LISTBOX";
    p.WinClassName = "TVelunorListBox";
    p.Style |= LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWnd() {
    const std::vector<bool> selected = selected_;
    const int itemIndex = itemIndex_, topIndex = topIndex_;
    TWinControl::CreateWnd();
    HWND wnd = HandleOrNull();
    if (items_.UpdateCount() != 0) ::SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    AddWindowItems();
    if (ValidIndex(itemIndex)) SetItemIndex(itemIndex);
    for (size_t i = 0; i < selected.size(); ++i)
        if (selected[i]) SetSelected(static_cast<int>(i), true);
    SetTopIndex(topIndex);
}

void TListBox::AddWindowItems() {
    HWND wnd = HandleOrNull();
    // Room for all at once instead of growing item by item.
    ::SendMessageA(wnd, LB_INITSTORAGE, static_cast<WPARAM>(items_.Count()), 0);
    for (const std::string& item : items_.Items())
        ::SendMessageA(wnd, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
}

void TListBoxStrings::Inserted(int index) { box_.ItemInserted(index); }
void TListBoxStrings::Deleted(int index) { box_.ItemDeleted(index); }
void TListBoxStrings::Reset() { box_.ItemsReset(); }
void TListBoxStrings::SetUpdateState(bool updating) { box_.UpdateStateChanged(updating); }

void TListBox::ItemInserted(int index) {
    if (HWND wnd = HandleOrNull())
        ::SendMessageA(wnd, LB_INSERTSTRING, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(items_[index].c_str()));
    SelectionCleared();
}

void TListBox::ItemDeleted(int index) {
    if (HWND wnd = HandleOrNull()) ::SendMessageA(wnd, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SelectionCleared();
}

void TListBox::ItemsReset() {
    topIndex_ = 0;
    if (HWND wnd = HandleOrNull()) {
        const bool quiet = items_.UpdateCount() == 0;
        if (quiet) ::SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
        ::SendMessageA(wnd, LB_RESETCONTENT, 0, 0);
        AddWindowItems();
        if (quiet) {
            ::SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
            Invalidate();
        }
    }
    SelectionCleared();
}

void TListBox::SelectionCleared() {
    selected_.clear();
    itemIndex_ = -1;
    if (!HandleAllocated()) return;
    if (items_.UpdateCount() != 0) {
        clearSelection_ = true;
        return;
    }
    ::SendMessageA(HandleOrNull(), LB_SETSEL, FALSE, -1);
}

void TListBox::UpdateStateChanged(bool updating) {
    HWND wnd = HandleOrNull();
    if (!wnd) return;
    if (updating) {
        ::SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
        return;
    }
    if (std::exchange(clearSelection_, false)) ::SendMessageA(wnd, LB_SETSEL, FALSE, -1);
    ::SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    Invalidate();
}

bool TListBox::Selected(int index) const {
    if (!ValidIndex(index)) return false;
    if (HWND wnd = HandleOrNull()) return ::SendMessageA(wnd, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
    return static_cast<size_t>(index) < selected_.size() && selected_[static_cast<size_t>(index)];
}

void TListBox::SetSelected(int index, bool selected) {
    if (!ValidIndex(index)) return;
    if (HWND wnd = HandleOrNull()) {
        ::SendMessageA(wnd, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
        return;
    }
    if (selected_.size() <= static_cast<size_t>(index)) selected_.resize(static_cast<size_t>(index) + 1);
    selected_[static_cast<size_t>(index)] = selected;
}

int TListBox::SelCount() const { return static_cast<int>(SelectedIndexes().size()); }

std::vector<int> TListBox::SelectedIndexes() const {
    std::vector<int> indexes;
    if (HWND wnd = HandleOrNull()) {
        const LRESULT n = ::SendMessageA(wnd, LB_GETSELCOUNT, 0, 0);
        if (n <= 0) return indexes;
        indexes.resize(static_cast<size_t>(n));
        const LRESULT got = ::SendMessageA(wnd, LB_GETSELITEMS, static_cast<WPARAM>(n),
                                           reinterpret_cast<LPARAM>(indexes.data()));
        indexes.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return indexes;
    }
    for (size_t i = 0; i < selected_.size() && i < static_cast<size_t>(items_.Count()); ++i)
        if (selected_[i]) indexes.push_back(static_cast<int>(i));
    return indexes;
}

int TListBox::ItemIndex() const {
    if (items_.Count() == 0) return -1;
    if (HWND wnd = HandleOrNull()) {
        // The focus rectangle stays on an item the user never picked (the
        // first, after the items change): only a selected one is current.
        const LRESULT caret = ::SendMessageA(wnd, LB_GETCARETINDEX, 0, 0);
        if (caret == LB_ERR || ::SendMessageA(wnd, LB_GETSEL, static_cast<WPARAM>(caret), 0) <= 0) return -1;
        return static_cast<int>(caret);
    }
    return Selected(itemIndex_) ? itemIndex_ : -1;
}

void TListBox::SetItemIndex(int index) {
    if (!ValidIndex(index)) index = -1;
    if (HWND wnd = HandleOrNull()) {
        ::SendMessageA(wnd, LB_SETSEL, FALSE, -1);
        if (index >= 0) {
            ::SendMessageA(wnd, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
            ::SendMessageA(wnd, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        }
        return;
    }
    selected_.assign(static_cast<size_t>(items_.Count()), false);
    if (index >= 0) selected_[static_cast<size_t>(index)] = true;
    itemIndex_ = index;
}

void TListBox::SetCaretIndex(int index) {
    if (!ValidIndex(index)) return;
    if (HWND wnd = HandleOrNull()) {
        ::SendMessageA(wnd, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        return;
    }
    itemIndex_ = index;
}

int TListBox::TopIndex() const {
    if (HWND wnd = HandleOrNull()) return static_cast<int>(::SendMessageA(wnd, LB_GETTOPINDEX, 0, 0));
    return topIndex_;
}

void TListBox::SetTopIndex(int index) {
    if (HWND wnd = HandleOrNull()) {
        if (ValidIndex(index)) ::SendMessageA(wnd, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        return;
    }
    topIndex_ = index < 0 ? 0 : index;
}

void TListBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        switch (HIWORD(m.WParam)) {
            case LBN_SELCHANGE: Click(); break;
            case LBN_DBLCLK: if (OnDblClick) OnDblClick(this); break;
            default: break;
        }
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TButtonControl, TCheckBox, TRadioButton

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 113, 17);
    TabStop = true;
}

void TButtonControl::CreateWnd() {
    TWinControl::CreateWnd();
    ::SendMessageA(HandleOrNull(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TButtonControl::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (HWND wnd = HandleOrNull()) ::SendMessageA(wnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    CheckedChanged();
}

void TButtonControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND:
            if (HIWORD(m.WParam) == BN_CLICKED) {
                UserClicked();
                m.Result = 0;
                return;
            }
            break;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
                SetFocus();
                UserClicked();
                m.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

void TCheckBox::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.SysClassName = "BUTTON";
    p.WinClassName = "TVelunorCheckBox";
    p.Style |= BS_CHECKBOX;  // not automatic: the control keeps the state
}

void TRadioButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.SysClassName = "BUTTON";
    p.WinClassName = "TVelunorRadioButton";
    p.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CheckedChanged() {
    if (!Checked()) return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
    Click();
}

}  // namespace velfw
