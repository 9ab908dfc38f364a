#include "SaverUnits.h"

#include <windows.h>
#include <ole2.h>

#include "Forms.h"

namespace saver {

namespace {
bool g_oleStarted = false;
}

void InitSaverUnits() {
    g_oleStarted = SUCCEEDED(::OleInitialize(nullptr));
    vcl::InitFormsUnit();
}

void DoneSaverUnits() {
    vcl::DoneFormsUnit();
    if (g_oleStarted) ::OleUninitialize();
    g_oleStarted = false;
}

}  // namespace saver
