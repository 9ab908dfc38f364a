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
    velfw::InitFormsUnit();
}

void DoneSaverUnits() {
    velfw::DoneFormsUnit();
    if (g_oleStarted) ::OleUninitialize();
    g_oleStarted = false;
}

}  // namespace saver
