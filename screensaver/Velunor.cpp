// Entry of the screen saver program.
#include <windows.h>

#include "Forms.h"
#include "SaverCommandLine.h"
#include "SaverEntry.h"
#include "SaverUnits.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int status = 0;
    saver::InitSaverUnits();
    try {
        status = saver::RunSaver(saver::SplitCommandLine(::GetCommandLineA()));
    } catch (...) {
        vcl::ReportCurrentException();
    }
    saver::DoneSaverUnits();
    return status;
}
