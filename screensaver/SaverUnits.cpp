#include "SaverUnits.h"

#include <windows.h>

#include "Forms.h"
#include "HostedWB.h"
#include "KvLibraryUnits.h"
#include "SaverCommandLine.h"
#include "SaverEntry.h"
#include "ShellEntries.h"

namespace saver {

namespace {

constexpr auto kSaverUnits = velfw::UnitTable(
    // First and finished last: it keeps the control word the program started
    // with, and starts OLE for every browser control the forms will hold.
    velfw::TUnit{"HostedWB", browser::InitHostedWBUnit, browser::DoneHostedWBUnit},
    velfw::TUnit{"ShellEntries", nullptr, browser::DoneShellEntriesUnit},  // libraries load on first use
    velfw::TUnit{"Forms", velfw::InitFormsUnit, velfw::DoneFormsUnit},
    kv::kLibraryUnits,
    // Finished first: the forms go before the units their components use.
    velfw::TUnit{"Application forms", nullptr, velfw::DoneApplicationForms});

int RunSaverCommandLine() { return RunSaver(SplitCommandLine(::GetCommandLineA())); }

}  // namespace

std::span<const velfw::TUnit> SaverUnits() { return kSaverUnits; }

int SaverMain() { return velfw::TUnitStartup(kSaverUnits, velfw::ReportCurrentException).Run(RunSaverCommandLine); }

}  // namespace saver
