#include "UtilityWindow.h"

#include <utility>

#include "ScopeGuards.h"

namespace velfw {

class TUtilityWindow::TWindowControl final : public TWinControl {
public:
    TWindowControl(TUtilityWindow& owner, const char* className, TUtilityWindowKind kind)
        : TWinControl(nullptr), owner_(owner), className_(className), kind_(kind) {
        TControl::SetVisible(false);
    }
protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.WinClassName = className_;
        p.X = p.Y = p.Width = p.Height = 0;
        p.ExStyle = 0;
        switch (kind_) {
            case TUtilityWindowKind::MessageOnly:
                p.Style = 0;
                p.WndParent = HWND_MESSAGE;
                break;
            case TUtilityWindowKind::HiddenTopLevel:
                p.Style = WS_POPUP;
                break;
            case TUtilityWindowKind::ApplicationWindow:
                p.Style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
                break;
        }
    }

    void WndProc(TMessage& m) override {
        // The owner's handler may free the owner and this with it.
        const LifeMark::Watch watch = life_.Watched();
        if (owner_.HandleMessage(m) || !watch.Alive()) return;
        TWinControl::WndProc(m);
    }

private:
    TUtilityWindow& owner_;
    std::string className_;
    TUtilityWindowKind kind_;
    LifeMark life_;
};

TUtilityWindow::TUtilityWindow(const char* className, TUtilityWindowKind kind, TUtilityHandler handler)
    : handler_(std::move(handler)), control_(std::make_unique<TWindowControl>(*this, className, kind)) {
    control_->HandleNeeded();
}

// Messages still on their way find no owner.
TUtilityWindow::~TUtilityWindow() = default;

HWND TUtilityWindow::Handle() const { return control_ ? control_->HandleOrNull() : nullptr; }

void TUtilityWindow::SetTitle(const std::string& title) { control_->SetText(title); }

bool TUtilityWindow::HandleMessage(TMessage& message) { return handler_ && handler_(message); }

}  // namespace velfw
