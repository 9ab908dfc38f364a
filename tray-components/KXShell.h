// The notification-area icon: shows an icon with the short part of its hint,
// turns the shell's callbacks into mouse events, pops up its menu on a right
// click, clicks the menu's default item on a double click, and can cycle
// through the frames of an icon list. A taskbar that starts again (after
// Explorer ended) is given the icon anew.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "IcoList.h"
#include "Icons.h"
#include "Menus.h"
#include "ScopeGuards.h"
#include "Threads.h"
#include "TrayIconRules.h"
#include "UtilityWindow.h"

namespace kx {

// The message the shell sends to the icon's hidden window; the mouse message
// stands in its lParam.
constexpr UINT kTrayCallbackMessage = 0xB054;

// The notify record in its version-1 form (an ANSI tip of 64 characters):
// 88 bytes in the 32-bit build, larger where handles are 64 bits wide.
struct TNotifyIconDataV1 {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[kTrayTipSize];
};
static_assert(sizeof(TNotifyIconDataV1) == NOTIFYICONDATAA_V1_SIZE);

// What the tray icon asks of the system; tests put their own in.
struct TTrayShell {
    std::function<BOOL(DWORD message, TNotifyIconDataV1& data)> NotifyIcon;
    std::function<POINT()> CursorPos;
    std::function<SHORT(int virtualKey)> KeyState;
};
// The calls in use: the system's unless replaced.
TTrayShell& TrayShell();
// Puts the system's calls back.
void ResetTrayShell();

class TKxTrayIcon;

// The animation worker: waits Interval between frames and posts each frame
// to the icon's window, so the step itself runs on the main thread.
class TTimerThread : public velfw::TThread {
public:
    TTimerThread(bool createSuspended, HWND target, const std::atomic<uint16_t>& interval);
    ~TTimerThread() override { Join(); }
    // The main thread has taken the posted frame.
    void StepTaken() { stepPosted_ = false; }

protected:
    void Execute() override;

private:
    HWND target_;
    const std::atomic<uint16_t>& interval_;
    std::atomic<bool> stepPosted_{false};  // one frame waits in the queue at most
};

class TKxTrayIcon : public velfw::TComponent {
public:
    explicit TKxTrayIcon(velfw::TComponent* owner);
    ~TKxTrayIcon() override;

    bool Active() const { return active_; }
    void SetActive(bool value);
    bool Enabled = true;
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    velfw::TIcon& Icon() { return *icon_; }
    void SetIcon(const velfw::TIcon& value) { icon_->Assign(value); }
    TIconList& Icons() { return *icons_; }
    void SetIcons(const TIconList& value) { icons_->Assign(value); }
    bool Animated() const { return animated_; }
    void SetAnimated(bool value);
    uint16_t Interval() const { return interval_; }
    void SetInterval(uint16_t value);
    velfw::TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(velfw::TPopupMenu* value);
    bool ShowDesign() const { return showDesign_; }
    void SetShowDesign(bool value);

    velfw::TMouseEvent OnClick;
    velfw::TNotifyEvent OnDblClick;
    velfw::TMouseMoveEvent OnMouseMove;
    velfw::TMouseEvent OnMouseDown;
    velfw::TMouseEvent OnMouseUp;

    // Whether the icon is in the notification area.
    bool Added() const { return added_; }
    int IconIndex() const { return iconIndex_; }
    HWND Handle() const { return window_ ? window_->Handle() : nullptr; }
    const TNotifyIconDataV1& NotifyData() const { return notifyData_; }
    // True when the menu was shown.
    bool ShowPopupAt(int x, int y);
    // Clicks the first top-level item that is default and enabled; true when one was.
    bool ApplyDefaultItem();

protected:
    void Loaded() override;
    void Notification(velfw::TComponent* component, velfw::TOperation operation) override;
    virtual void UpdateNotifyData();
    virtual void DblClick();
    virtual void Click(velfw::TMouseButton button, velfw::TShiftState shift, int x, int y);
    virtual void MouseDown(velfw::TMouseButton button, velfw::TShiftState shift, int x, int y);
    virtual void MouseMove(velfw::TShiftState shift, int x, int y);
    virtual void MouseUp(velfw::TMouseButton button, velfw::TShiftState shift, int x, int y);

private:
    bool HandleMessage(velfw::TMessage& m);
    void HandleCallback(UINT mouseMessage);
    void AnimationStep();
    velfw::TIcon* GetActiveIcon() const;
    void Activate();
    void Deactivate();
    void ChangeIcon();
    bool Designing() const { return (ComponentState() & velfw::csDesigning) != 0; }
    bool MeantToShow() const { return Designing() ? showDesign_ : active_; }
    void Notify(DWORD message);

    std::unique_ptr<velfw::TUtilityWindow> window_;
    bool active_ = true;
    bool added_ = false;
    bool animated_ = false;
    TrayClicked clicked_;
    int iconIndex_ = -1;
    std::atomic<uint16_t> interval_{150};
    TNotifyIconDataV1 notifyData_ = {};
    std::unique_ptr<velfw::TIcon> icon_;
    std::unique_ptr<TIconList> icons_;
    std::unique_ptr<TTimerThread> thread_;
    std::string hint_;
    bool showDesign_ = false;
    velfw::TPopupMenu* popupMenu_ = nullptr;
    bool inPopup_ = false;  // the menu is up: callbacks meanwhile are dropped
    // False once freeing has begun: a handler may free the component, and the
    // callback that ran it must then touch nothing more of it.
    velfw::LifeMark life_;
};

}  // namespace kx
