// Entry of the screen saver program: the panes show the system's web-browser
// control.
#include <windows.h>

#include "KaviSSm.h"
#include "MyWebBrowser.h"
#include "SaverUnits.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    saver::MakePaneBrowser = browser::MakeHostedPaneBrowser;
    return saver::SaverMain();
}
