// Standard controls: labels, memos and push buttons over the system's
// static, edit and button controls.
#pragma once

#include "Classes.h"
#include "Controls.h"

namespace velfw {

// A line of text on its parent's background.
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

}  // namespace velfw
