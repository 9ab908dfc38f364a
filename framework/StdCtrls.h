// Standard controls: labels, edits, memos, list boxes, push buttons, check
// boxes and radio buttons over the system's static, edit, list box and button
// controls.
#pragma once

#include <vector>

#include "Classes.h"
#include "Controls.h"

namespace velfw {

// Text on its parent's background in the label's font and font colour; line
// breaks in the caption start new lines.
class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* owner);
    bool AutoSize = true;  // the label takes its text's size
    void SetText(const std::string& text) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void FontChanged() override;

private:
    void AdjustSize();
};

// Several lines of text the user can scroll; Lines is kept in the window.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    TStringList& Lines() { return lines_; }
    bool ReadOnly = false;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void LinesChanged();
    TStringList lines_;
};

// A push button. Enter clicks the form's Default button (or the focused
// button), Esc its Cancel button, Alt with the "&" letter of its caption this
// one. A click sets the form's ModalResult to the button's, when it has one.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    bool Default = false;
    bool Cancel = false;
    int ModalResult = 0;
    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
};

// One line of text the user types; OnChange fires on every change, the
// user's or the program's.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    virtual void Change();
};

// A list of lines with extended selection (click, Shift and Ctrl pick
// several), in the order they were added. Items are kept by the control, so
// they survive the window; changing them clears the selection.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    TStringList& Items() { return items_; }
    int Count() const { return items_.Count(); }

    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelCount() const;
    // The item with the focus rectangle when it is selected, -1 otherwise.
    // Setting it selects only that item and scrolls it into view.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);
    TNotifyEvent OnDblClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    void ItemsChanged();
    void AddWindowItems();
    void SaveState();
    bool ValidIndex(int index) const { return index >= 0 && index < items_.Count(); }
    TStringList items_;
    // The selection while there is no window.
    std::vector<bool> selected_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
};

// The check box and radio button's common part: a button that shows a
// check mark and clicks on its "&" letter.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

protected:
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    // The user clicked: a check box toggles, a radio button checks.
    virtual void UserClicked() = 0;
    // After a change of Checked, the program's or the user's.
    virtual void CheckedChanged() = 0;

private:
    bool checked_ = false;
};

class TCheckBox : public TButtonControl {
public:
    using TButtonControl::TButtonControl;

protected:
    void CreateParams(TCreateParams& params) override;
    void UserClicked() override { SetChecked(!Checked()); }
    void CheckedChanged() override { Click(); }  // either way
};

// Checking one clears the radio buttons beside it in the same parent, then
// fires OnClick; clearing one fires nothing.
class TRadioButton : public TButtonControl {
public:
    using TButtonControl::TButtonControl;

protected:
    void CreateParams(TCreateParams& params) override;
    void UserClicked() override { SetChecked(true); }
    void CheckedChanged() override;
};

}  // namespace velfw
