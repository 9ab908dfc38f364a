#include "TrayEntry.h"

#include "ClipIcon.h"
#include "Forms.h"
#include "Globals.h"
#include "KAVIstp.h"
#include "KvLibraryUnits.h"
#include "KxCursors.h"
#include "KxGIF.h"
#include "OgFirst.h"

namespace tray {

namespace {

constexpr auto kTrayUnits = velfw::UnitTable(
    velfw::TUnit{"Forms", velfw::InitFormsUnit, velfw::DoneFormsUnit},
    kv::kLibraryUnits,
    velfw::TUnit{"KxCursors", kx::InitKxCursorsUnit, kx::DoneKxCursorsUnit},
    velfw::TUnit{"ClipIcon", kx::InitClipIconUnit, kx::DoneClipIconUnit},
    velfw::TUnit{"KxGIF", kx::InitKxGIFUnit, kx::DoneKxGIFUnit},
    // The copy claims its mutex while the units start, before the main block.
    velfw::TUnit{"OgFirst", InitOgFirstUnit, DoneOgFirstUnit},
    // Finished first: the forms go before the units their components use.
    velfw::TUnit{"Application forms", nullptr, velfw::DoneApplicationForms});

int RunTray() {
    globals::ReadsRadonW = false;
    velfw::Application->Initialize();
    velfw::Application->SetTitle("Velunor");
    velfw::Application->HelpFile = "KAVI.HLP";
    if (IsFirstInstance()) {
        velfw::Application->ShowMainForm = false;
        velfw::Application->CreateForm<TForm1>();
        velfw::Application->Run();
    } else {
        ActivateFirstInstance();
    }
    return 0;
}

}  // namespace

std::span<const velfw::TUnit> TrayUnits() { return kTrayUnits; }

int TrayMain() { return velfw::TUnitStartup(kTrayUnits, velfw::ReportCurrentException).Run(RunTray); }

}  // namespace tray
