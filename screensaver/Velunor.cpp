// Entry of the screen saver program: the panes show the system's web-browser
// control.
#include <windows.h>

#include "HostedWB.h"
#include "KaviSSm.h"
#include "MyWebBrowser.h"
#include "SaverEntry.h"
#include "ShellEntries.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The browser host's unit starts first and ends last: it keeps the
    // floating-point control word the program started with.
    browser::InitHostedWBUnit();
    saver::MakePaneBrowser = browser::MakeHostedPaneBrowser;
    const int status = saver::SaverMain();
    browser::DoneHostedWBUnit();
    browser::DoneShellEntries();
    return status;
}
