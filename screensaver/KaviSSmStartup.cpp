// The saver form's start-up, in the order it runs:
// 1. FormCreate: the clock and start tick, the floating-point word, the
//    display settings from the registry, the shared start-up (folders and
//    install values). A failure only marks the start as failed.
// 2. FormActivate, the first time: SetUp takes the window snapshot, lays the
//    panes out, loads their page lists and shows the first pages, then
//    takes the screen (saver flag, debug panel, cursor, capture, timer). A
//    failure here is reported in a box and ends the saver.
// 3. FormPaint, the first time: a start that failed in FormCreate ends here,
//    having taken nothing from the desktop.
// Every way out gives back what was taken, each part once.
#include "KaviSSm.h"

#include "DisplaySettingsRegistry.h"
#include "FpuControl.h"
#include "Globals.h"
#include "PaneLayout.h"
#include "SysUtils.h"
#include "WindowGuard.h"

namespace saver {

void TForm1::FormCreate(velfw::TObject*) {
    globals::InitPending = false;
    KillBusy = false;
    globals::StartupFailed = false;
    globals::SaverStartTime = GetNow();
    StartTicks = GetTicks();
    // Programs started after this moment are ended by the guard; when it
    // cannot be read, none is.
    processCreated_ = ProcessCreationTime(::GetCurrentProcess());
    // Every floating-point exception masked: the browser control and the
    // pages' scripts expect this word.
    browser::Set8087CW(browser::kAllExceptionsMasked);

    globals::DisplaySettings = globals::SaverPresets();
    globals::RegistryReadResult read;
    try {
        read = globals::ReadDisplaySettingsFromRegistry(globals::DisplaySettings, globals::SaverReadOptions());
    } catch (...) {
        // Nothing could be read: the presets stand, as without the key.
    }
    // Without the key the presets stand and the page time is 0; a key
    // without a readable page time is a failed start.
    if (read.KeyOpened && !read.PageTimeRead) globals::StartupFailed = true;

    try {
        globals::InitGlobals(Handle());
        globals::InitPending = true;
    } catch (...) {
        globals::StartupFailed = true;
    }
}

void TForm1::FormActivate(velfw::TObject*) {
    if (!globals::InitPending) return;
    globals::InitPending = false;
    // A start that has already failed takes nothing from the desktop: the
    // first paint ends it.
    if (globals::StartupFailed) return;
    try {
        SetUp();
    } catch (const std::exception& e) {
        velfw::Application->MessageBox(std::string("Unable to initialize screen saver. ") + e.what(),
                                     velfw::Application->Title(), MB_OK);
        StartupFailedEnd();
    } catch (...) {
        velfw::Application->MessageBox("Unable to initialize screen saver. ", velfw::Application->Title(), MB_OK);
        StartupFailedEnd();
    }
}

void TForm1::SetUp() {
    InitialWindows = std::make_unique<TTopWindowList>();
    ListTopWindows(*InitialWindows);
    CurrentWindows = std::make_unique<TTopWindowList>();

    for (int n = 1; n <= 3; ++n) {
        TPaneState& p = Panes[n];
        static_cast<PaneRecord&>(p) = PaneRecord{};
        p.CyclesLeft = globals::DisplaySettings.UseDurations ? globals::DisplaySettings.MaxCycles : -1;
        p.Browser.reset();
        p.Body.reset();
        p.Panel = nullptr;
    }
    Panes[1].Panel = Panel1;
    Panes[2].Panel = Panel2;
    Panes[3].Panel = Panel3;
    for (int n = 1; n <= 3; ++n) {
        Panes[n].Panel->SetEnabled(false);  // the panes take no input: it all goes to the form
        Panes[n].Panel->Hide();
    }

    SetBounds(0, 0, velfw::Screen->Width(), velfw::Screen->Height());
    const auto layout = LayOutPanes(globals::DisplaySettings.WindowCount, Width(), Height());
    for (int n = 1; n <= 3; ++n) {
        const PaneBounds& b = layout[static_cast<size_t>(n - 1)];
        if (!b.Shown) continue;
        Panes[n].Panel->SetBounds(b.Left, b.Top, b.Width, b.Height);
        Panes[n].Panel->Show();
        Panes[n].InUse = true;
    }

    for (int n = 1; n <= 3; ++n) {
        globals::PageLists[static_cast<size_t>(n)].Clear();
        if (!Panes[n].InUse) continue;
        if (!globals::LoadWindowPages(n))
            throw velfw::Exception("No URLs defined for Screen " + velfw::IntToStr(n) +
                                 ".  Please use setup to specify URLs.");
        Panes[n].urlsIndex = 0;
        SetNewURL(n, globals::PageLists[static_cast<size_t>(n)][0]);
    }

    LastMouseX = -1;
    LastMouseY = -1;
    saverFlagSet_ = true;
    SetScreenSaverRunning(true);
    if (globals::RadonWMark == 'W') {
        DebugMode = true;
        pDebugWindow->Show();
        pDebugWindow->BringToFront();
    } else {
        DebugMode = false;
        pDebugWindow->Hide();
    }
    cursor_.Hide();
    Show();
    capture_.Take(Handle());
    ThreadedTimer1->SetEnabled(true);
}

void TForm1::StartupFailedEnd() {
    globals::StartupFailed = true;
    try {
        ThreadedTimer1->SetEnabled(false);
    } catch (...) {
        // The program ends now; a timer that would not stop goes with it.
    }
    RestoreStartup();
    velfw::Application->Terminate();
}

void TForm1::ClearSaverFlag() {
    if (!saverFlagSet_) return;
    saverFlagSet_ = false;
    SetScreenSaverRunning(false);
}

void TForm1::RestoreStartup() {
    ClearSaverFlag();
    capture_.Release();
    cursor_.ShowAgain();
}

void TForm1::FormPaint(velfw::TObject*) {
    if (!firstPaint_) return;
    firstPaint_ = false;
    if (globals::StartupFailed) StartupFailedEnd();
}

}  // namespace saver
