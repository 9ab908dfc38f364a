// Entry of the settings program: its units, one instance at a time, the
// wizard form and the message loop.
#include <windows.h>

#include "ApplicationWindow.h"
#include "Forms.h"
#include "KAVIsu.h"
#include "KAVIsup.h"
#include "KvLibraryUnits.h"
#include "KxCursors.h"

namespace settings {

namespace {

// The running instance's application window carries the title; restored, it
// shows its forms again, and made the foreground window it hands the
// activation on to the wizard. Only a window of that class counts: a folder
// window of the same name in the file manager must not keep the program from
// starting.
bool BroughtRunningInstanceForward() {
    HWND running = ::FindWindowA(velfw::kApplicationWindowClass, kSetupTitle);
    if (!running) return false;
    ::ShowWindow(running, SW_RESTORE);
    ::SetForegroundWindow(running);
    return true;
}

constexpr auto kSettingsUnits = velfw::UnitTable(
    velfw::TUnit{"Forms", velfw::InitFormsUnit, velfw::DoneFormsUnit},
    kv::kLibraryUnits,
    // The slider's hand cursor.
    velfw::TUnit{"KxCursors", kx::InitKxCursorsUnit, kx::DoneKxCursorsUnit},
    // Finished first: the forms go before the units their components use.
    velfw::TUnit{"Application forms", nullptr, velfw::DoneApplicationForms});

int RunSettings() {
    if (BroughtRunningInstanceForward()) return 0;
    velfw::Application->Initialize();
    velfw::Application->SetTitle(kSetupTitle);
    velfw::Application->CreateForm<TForm1>()->Show();
    velfw::Application->Run();
    return 0;
}

}  // namespace

std::span<const velfw::TUnit> SettingsUnits() { return kSettingsUnits; }

int SettingsMain() { return velfw::TUnitStartup(kSettingsUnits, velfw::ReportCurrentException).Run(RunSettings); }

}  // namespace settings

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return settings::SettingsMain(); }
