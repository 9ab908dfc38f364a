// Entry of the tray launcher.
#include <windows.h>

#include "KAVIstp.h"
#include "TrayEntry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    tray::ShellStart = tray::ShellExecuteStart;
    return tray::TrayMain();
}
