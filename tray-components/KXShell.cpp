#include "KXShell.h"

#include <algorithm>

#include "Forms.h"
#include "ScopeGuards.h"

namespace kx {

using velfw::TMouseButton;
using velfw::TShiftState;

namespace {

const char kTrayWindowClass[] = "TKxTrayIconWindow";
// Posted by the animation worker: the next frame, to run on the main thread.
constexpr UINT kAnimationStepMessage = WM_APP + 0x154;

// What the shell broadcasts to every top-level window when the taskbar has
// started again (after Explorer crashed or was updated): it knows none of
// the icons it showed before.
UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

TTrayShell RealTrayShell() {
    return {
        [](DWORD message, TNotifyIconDataV1& data) {
            return ::Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&data));
        },
        [] {
            POINT p = {};
            ::GetCursorPos(&p);
            return p;
        },
        [](int key) { return ::GetKeyState(key); },
    };
}

// Brings `wnd` forward without restoring it, and only when it takes input.
void SwitchForegroundWindow(HWND wnd) {
    if (wnd && ::IsWindowEnabled(wnd)) ::SetForegroundWindow(wnd);
}

TMouseButton ButtonOf(TrayButton b) {
    switch (b) {
        case TrayButton::Left: return TMouseButton::mbLeft;
        case TrayButton::Right: return TMouseButton::mbRight;
        default: return TMouseButton::mbMiddle;
    }
}

TShiftState ButtonShift(const TrayEvent& e) {
    if (e.doubleClick) return velfw::ssDouble;
    switch (e.button) {
        case TrayButton::Left: return velfw::ssLeft;
        case TrayButton::Right: return velfw::ssRight;
        default: return velfw::ssMiddle;
    }
}

}  // namespace

TTrayShell& TrayShell() {
    static TTrayShell shell = RealTrayShell();
    return shell;
}

void ResetTrayShell() { TrayShell() = RealTrayShell(); }

// ---- animation worker

TTimerThread::TTimerThread(bool createSuspended, HWND target, const std::atomic<uint16_t>& interval)
    : TThread(createSuspended), target_(target), interval_(interval) {}

void TTimerThread::Execute() {
    // Sleep parks while paused and, for an interval of 0, until woken: the
    // worker never spins, also not while the program ends.
    while (!Terminated()) {
        if (!Sleep(interval_.load())) continue;
        if (!stepPosted_.exchange(true) && !::PostMessageA(target_, kAnimationStepMessage, 0, 0))
            stepPosted_ = false;
    }
}

// ---- tray icon

TKxTrayIcon::TKxTrayIcon(velfw::TComponent* owner) : TComponent(owner) {
    // A top-level window: the shell's broadcasts reach it.
    window_ = std::make_unique<velfw::TUtilityWindow>(kTrayWindowClass, velfw::TUtilityWindowKind::HiddenTopLevel,
                                                      [this](velfw::TMessage& m) { return HandleMessage(m); });
    icon_ = std::make_unique<velfw::TIcon>();
    icon_->OnChange = [this] { ChangeIcon(); };
    icons_ = std::make_unique<TIconList>();
    icons_->OnChange = [this](velfw::TObject*) { ChangeIcon(); };
    // A delete before any add still names the icon.
    notifyData_.cbSize = sizeof notifyData_;
    notifyData_.hWnd = Handle();
}

TKxTrayIcon::~TKxTrayIcon() {
    life_.End();
    Enabled = false;
    icons_->OnChange = nullptr;
    icon_->OnChange = nullptr;
    // Being destroyed, the change this makes adds nothing back.
    SetAnimated(false);
    Deactivate();
    window_.reset();
}

bool TKxTrayIcon::HandleMessage(velfw::TMessage& m) {
    if (m.Msg == kAnimationStepMessage) {
        if (thread_) thread_->StepTaken();
        AnimationStep();
        return true;
    }
    if (const UINT taskbarCreated = TaskbarCreatedMessage(); taskbarCreated && m.Msg == taskbarCreated) {
        // The new taskbar knows nothing of the icon: add it again if it is to show.
        if (MeantToShow()) Activate();
        m.Result = 0;
        return true;
    }
    if (m.Msg != kTrayCallbackMessage || !Enabled) return false;
    m.Result = 0;
    if (!inPopup_) HandleCallback(static_cast<UINT>(m.LParam));
    return true;
}

void TKxTrayIcon::HandleCallback(UINT mouseMessage) {
    const std::vector<TrayEvent> events = TrayCallbackEvents(mouseMessage, clicked_);
    if (events.empty()) return;
    TTrayShell& shell = TrayShell();
    TShiftState shift = 0;
    if (shell.KeyState(VK_SHIFT) < 0) shift |= velfw::ssShift;
    if (shell.KeyState(VK_CONTROL) < 0) shift |= velfw::ssCtrl;
    if (shell.KeyState(VK_MENU) < 0) shift |= velfw::ssAlt;
    const POINT p = shell.CursorPos();
    const velfw::LifeMark::Watch watch = life_.Watched();
    try {
        for (const TrayEvent& e : events) {
            if (!watch.Alive()) return;
            const TMouseButton button = ButtonOf(e.button);
            switch (e.kind) {
                case TrayEventKind::MouseMove: MouseMove(shift, p.x, p.y); break;
                case TrayEventKind::MouseDown: MouseDown(button, shift | ButtonShift(e), p.x, p.y); break;
                case TrayEventKind::Click: Click(button, shift | ButtonShift(e), p.x, p.y); break;
                case TrayEventKind::MouseUp: MouseUp(button, shift | ButtonShift(e), p.x, p.y); break;
                case TrayEventKind::DblClick: DblClick(); break;
            }
        }
    } catch (...) {
        velfw::ReportCurrentException();
    }
}

void TKxTrayIcon::DblClick() {
    if (!ApplyDefaultItem() && OnDblClick) OnDblClick(this);
}

void TKxTrayIcon::Click(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbRight && ShowPopupAt(x, y)) return;
    if (OnClick) OnClick(this, button, shift, x, y);
}

void TKxTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TKxTrayIcon::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TKxTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

bool TKxTrayIcon::ShowPopupAt(int x, int y) {
    if (Designing() || !active_ || !popupMenu_ || !popupMenu_->AutoPopup) return false;
    popupMenu_->PopupComponent = this;
    if (!IsDestroying() && velfw::Application) {
        auto* form = dynamic_cast<velfw::TForm*>(velfw::TWinControl::FromHandle(::GetActiveWindow()));
        if (!form) form = velfw::Application->MainForm();
        if (form && form->HandleAllocated()) form->Perform(WM_CANCELMODE, 0, 0);
    }
    const velfw::LifeMark::Watch watch = life_.Watched();
    velfw::TPopupMenu* menu = popupMenu_;
    // Callbacks that arrive while the menu is up (its modal loop serves
    // them) are dropped.
    inPopup_ = true;
    const velfw::ScopeExit end([this, &watch] {
        if (!watch.Alive()) return;
        inPopup_ = false;
        SwitchForegroundWindow(Handle());
    });
    SwitchForegroundWindow(Handle());
    if (velfw::Application) velfw::Application->ProcessMessages();
    if (!watch.Alive()) return true;
    // The menu may have gone meanwhile too.
    if (popupMenu_ == menu) menu->Popup(x, y);
    return true;
}

bool TKxTrayIcon::ApplyDefaultItem() {
    if (Designing() || !active_ || !popupMenu_) return false;
    velfw::TMenuItem* items = popupMenu_->Items();
    for (int i = 0; i < items->Count(); ++i) {
        velfw::TMenuItem* item = items->Items(i);
        if (item->Default() && item->Enabled()) {
            item->Click();
            return true;
        }
    }
    return false;
}

velfw::TIcon* TKxTrayIcon::GetActiveIcon() const {
    if (animated_ && icons_->Count() > 0)
        return icons_->GetIcon(std::max(std::min(iconIndex_, icons_->Count() - 1), 0));
    return icon_.get();
}

void TKxTrayIcon::UpdateNotifyData() {
    velfw::TIcon* icon = GetActiveIcon();
    notifyData_ = {};
    notifyData_.cbSize = sizeof notifyData_;
    notifyData_.hWnd = Handle();
    notifyData_.uID = 0;
    notifyData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    notifyData_.uCallbackMessage = kTrayCallbackMessage;
    notifyData_.hIcon = icon && !icon->Empty() ? icon->Handle() : reinterpret_cast<HICON>(static_cast<INT_PTR>(-1));
    const std::string tip = TrayTip(hint_);
    std::copy(tip.begin(), tip.end(), notifyData_.szTip);
}

void TKxTrayIcon::Notify(DWORD message) {
    const BOOL ok = TrayShell().NotifyIcon(message, notifyData_);
    if (message == NIM_ADD) added_ = ok != FALSE;
}

void TKxTrayIcon::Activate() {
    Deactivate();
    if (IsDestroying()) return;
    velfw::TIcon* icon = GetActiveIcon();
    if (!icon || icon->Empty()) return;
    clicked_ = {};
    UpdateNotifyData();
    Notify(NIM_ADD);
    if (added_ && TrayTip(hint_).empty()) Notify(NIM_MODIFY);
    if (animated_ && thread_) thread_->Resume();
}

void TKxTrayIcon::Deactivate() {
    Notify(NIM_DELETE);
    added_ = false;
    clicked_ = {};
    if (animated_ && thread_ && !thread_->Suspended()) thread_->Suspend();
}

void TKxTrayIcon::ChangeIcon() {
    if (IsDestroying()) return;
    if (icons_->Count() == 0) SetAnimated(false);
    if (added_) {
        velfw::TIcon* icon = GetActiveIcon();
        if (icon && !icon->Empty()) {
            UpdateNotifyData();
            Notify(NIM_MODIFY);
        } else {
            Deactivate();
        }
    } else if (MeantToShow()) {
        Activate();
    }
}

void TKxTrayIcon::AnimationStep() {
    if (IsDestroying() || !animated_) return;
    if (velfw::Application && velfw::Application->Terminated()) return;
    if (++iconIndex_ >= icons_->Count()) iconIndex_ = 0;
    ChangeIcon();
}

void TKxTrayIcon::SetActive(bool value) {
    if (value == active_) return;
    active_ = value;
    if (Designing()) return;
    if (value) Activate();
    else Deactivate();
}

void TKxTrayIcon::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    ChangeIcon();
}

void TKxTrayIcon::SetAnimated(bool value) {
    const bool on = value && icons_->Count() > 0;
    if (on == animated_) return;
    if (on) {
        thread_ = std::make_unique<TTimerThread>(!added_, Handle(), interval_);
        animated_ = true;
    } else {
        animated_ = false;
        thread_.reset();  // joins the worker
    }
    iconIndex_ = 0;
    ChangeIcon();
}

void TKxTrayIcon::SetInterval(uint16_t value) {
    if (value == interval_) return;
    interval_ = value;
    if (thread_) thread_->Wake();
}

void TKxTrayIcon::SetPopupMenu(velfw::TPopupMenu* value) {
    if (popupMenu_ && popupMenu_ != value) RemoveFreeNotification(popupMenu_);
    popupMenu_ = value;
    if (value) FreeNotification(value);
}

void TKxTrayIcon::SetShowDesign(bool value) {
    if (!Designing()) return;
    if (value) Activate();
    else Deactivate();
    showDesign_ = added_;
}

void TKxTrayIcon::Loaded() {
    TComponent::Loaded();
    if (active_ && !Designing()) Activate();
}

void TKxTrayIcon::Notification(velfw::TComponent* component, velfw::TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == velfw::TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

}  // namespace kx
