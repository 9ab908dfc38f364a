// Standard controls: labels and memos over the system's static and edit
// controls.
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

}  // namespace velfw
