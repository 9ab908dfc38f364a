// The slideshow form of the screen saver: one to three browser panes over the
// whole screen, the debug panel, the 30 ms timer that drives the rotation,
// the window guard and the ending on the user's first sign of life.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "InputCapture.h"
#include "PaneBrowser.h"
#include "PaneRotation.h"
#include "StdCtrls.h"
#include "ThdTimer.h"
#include "WindowGuardRules.h"

namespace saver {

// The clock and the browser a pane gets: the program sets the real ones,
// the saver's test build and the tests their own.
extern std::function<uint32_t()> GetTicks;
extern std::function<double()> GetNow;  // the date and time as a day count from 30 Dec 1899
extern browser::PaneBrowserFactory MakePaneBrowser;
// Tells the system whether a screen saver runs (SPI_SCREENSAVERRUNNING).
extern std::function<void(bool running)> SetScreenSaverRunning;
// The tick count when the slideshow form was created.
extern uint32_t StartTicks;

// A pane's record: the rotation's part and what the form keeps for it.
struct TPaneState : PaneRecord {
    std::unique_ptr<browser::IPaneBrowser> Browser;
    velfw::TPanel* Panel = nullptr;
    std::unique_ptr<browser::IPaneBody> Body;  // the document's body; its scroll part stands for Body2
};

class TForm1 : public velfw::TForm {
public:
    explicit TForm1(velfw::TComponent* owner);
    ~TForm1() override;

    velfw::TPanel* Panel1;
    velfw::TPanel* Panel3;
    velfw::TPanel* Panel2;
    velfw::TPanel* pDebugWindow;
    velfw::TLabel* lW1;
    velfw::TMemo* dException1;
    velfw::TLabel* lW2;
    velfw::TMemo* dException2;
    velfw::TLabel* lW3;
    velfw::TMemo* dException3;
    velfw::TThreadedTimer* ThreadedTimer1;

    int32_t LastMouseX = -1;
    int32_t LastMouseY = -1;
    std::array<TPaneState, 4> Panes;  // 1 to 3 are used
    bool DebugMode = false;
    std::unique_ptr<TTopWindowList> InitialWindows;
    std::unique_ptr<TTopWindowList> CurrentWindows;
    bool KillBusy = false;

    void FormCreate(velfw::TObject* sender);
    void FormActivate(velfw::TObject* sender);
    void FormPaint(velfw::TObject* sender);
    void FormClose(velfw::TObject* sender, velfw::TCloseAction& action);
    void FormKeyDown(velfw::TObject* sender, WORD& key, velfw::TShiftState shift);
    void FormMouseDown(velfw::TObject* sender, velfw::TMouseButton button, velfw::TShiftState shift, int x, int y);
    void FormMouseMove(velfw::TObject* sender, velfw::TShiftState shift, int x, int y);

    void doDebugWindowLog(int pane, const std::string& line);
    void KillNewProcesses();
    void EndSaver();
    void EndOnInputToChild(const MSG& msg, bool& handled);

    void ThreadedTimer1Timer(velfw::TObject* sender);
    void SetNewURL(int pane, const std::string& address);
    bool CreateMyWebBrowser(int pane);
    bool SetupBrowser(int pane);
    void WebBrowserDocumentComplete(browser::IPaneBrowser& sender);
    void WebBrowserNavigateComplete2(browser::IPaneBrowser& sender);
    void HostedWBScriptError(browser::IPaneBrowser& sender, bool& continueScript, bool& showDialog);

    // Browsers taken off their panes, freed once no browser callback runs.
    size_t RetiredBrowserCount() const { return retired_.size(); }
    void FreeRetiredBrowsers();

protected:
    void CreateParams(velfw::TCreateParams& params) override;
    void WndProc(velfw::TMessage& message) override;
    // Every key is the user's first sign of life: dialog navigation takes
    // none of them (Tab, Enter, Esc, Alt+letter), whichever window has the focus.
    LRESULT DialogCodes() override { return DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS | DLGC_WANTCHARS; }

private:
    std::unique_ptr<IPaneHost> MakePaneHost();

    void WMActivate(velfw::TMessage& message);
    void SetUp();
    void StartupFailedEnd();
    // Gives back what the set-up took; each part once.
    void RestoreStartup();
    void ClearSaverFlag();
    void LogFailure(int pane, const std::string& prefix);

    std::unique_ptr<IPaneHost> host_;
    std::unique_ptr<PaneRotation> rotation_;
    std::vector<std::unique_ptr<browser::IPaneBrowser>> retired_;
    velfw::CursorHider cursor_;
    velfw::MouseCapture capture_;
    bool saverFlagSet_ = false;
    bool ending_ = false;
    bool firstPaint_ = true;
    std::optional<uint64_t> processCreated_;  // none: the guard ends no program
};

}  // namespace saver
