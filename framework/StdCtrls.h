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

class TListBox;

// A list box's items: each change goes to the window as it happens, the
// strings that moved only (inserted or deleted by index, the whole list
// only when it is replaced), with the window's redraw off while an update
// runs.
class TListBoxStrings : public TStringList {
public:
    explicit TListBoxStrings(TListBox& box) : box_(box) {}

protected:
    void Inserted(int index) override;
    void Deleted(int index) override;
    void Reset() override;
    void SetUpdateState(bool updating) override;

private:
    TListBox& box_;
};

// A list of lines with extended selection (click, Shift and Ctrl pick
// several), in the order they were added. Items are kept by the control, so
// they can be set before the window exists; changing them clears the
// selection (once, at the end of an update), and keeps the top index as far
// as the list still reaches it.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    TStringList& Items() { return items_; }
    int Count() const { return items_.Count(); }

    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelCount() const;
    // The selected items in their order, read in one go.
    std::vector<int> SelectedIndexes() const;
    // The item with the focus rectangle when it is selected, -1 otherwise.
    // Setting it selects only that item and scrolls it into view.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Puts the focus rectangle on the item and scrolls it into view, the
    // selection as it is.
    void SetCaretIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);
    TNotifyEvent OnDblClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    friend class TListBoxStrings;
    void ItemInserted(int index);
    void ItemDeleted(int index);
    void ItemsReset();
    void UpdateStateChanged(bool updating);
    void SelectionCleared();
    void AddWindowItems();
    bool ValidIndex(int index) const { return index >= 0 && index < items_.Count(); }
    TListBoxStrings items_{*this};
    // The selection while there is no window.
    std::vector<bool> selected_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    // Set when a change in an update has still to clear the selection.
    bool clearSelection_ = false;
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
