// The tray launcher's hidden main form: the notification-area icon, its menu
// and the programs and pages the menu starts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "Forms.h"
#include "KXShell.h"
#include "KvController.h"
#include "KxMenus.h"
#include "Menus.h"

namespace tray {

// Starts a program or opens an address with the shell, the file and its
// parameters kept apart; tests put their own in. Failures are not reported.
using TShellStart = std::function<void(const std::string& file, const std::string& parameters, int show)>;
extern TShellStart ShellStart;
void ShellExecuteStart(const std::string& file, const std::string& parameters, int show);

// The product's web site, without a scheme.
inline constexpr const char kProductSite[] = "www.kavi.com";

// The icon resources of the tray icon's animation frames (16 by 16 pixels;
// the animation stays off).
inline constexpr const char* kTrayFrames[] = {"TRAYFRAME1", "TRAYFRAME2", "TRAYFRAME3", "TRAYFRAME4"};

class TForm1 : public velfw::TForm {
public:
    explicit TForm1(velfw::TComponent* owner);
    ~TForm1() override;

    kv::TKvController* KvController1 = nullptr;
    kx::TKxTrayIcon* KxTrayIcon1 = nullptr;
    kx::TKxPopupMenu* KxPopupMenu1 = nullptr;
    velfw::TMenuItem* LaunchKAVI1 = nullptr;
    velfw::TMenuItem* Setup1 = nullptr;
    velfw::TMenuItem* N2 = nullptr;
    velfw::TMenuItem* Help1 = nullptr;
    velfw::TMenuItem* Contents1 = nullptr;
    velfw::TMenuItem* About1 = nullptr;
    velfw::TMenuItem* Exit1 = nullptr;

    bool Busy = false;
    int32_t ClickX = 0;
    int32_t ClickY = 0;
    bool Exiting = false;

    void FormCreate(velfw::TObject* sender);
    void FormClose(velfw::TObject* sender, velfw::TCloseAction& action);
    void LaunchKAVI1Click(velfw::TObject* sender);
    void Setup1Click(velfw::TObject* sender);
    void Contents1Click(velfw::TObject* sender);
    void About1Click(velfw::TObject* sender);
    void Exit1Click(velfw::TObject* sender);
    void KxTrayIcon1MouseUp(velfw::TObject* sender, velfw::TMouseButton button, velfw::TShiftState shift, int x,
                            int y);

protected:
    void WndProc(velfw::TMessage& message) override;

private:
    velfw::TMenuItem* MakeItem(velfw::TMenuItem* parent, const char* name, const char* caption,
                               void (TForm1::*handler)(velfw::TObject*));
};

extern TForm1* Form1;

}  // namespace tray
