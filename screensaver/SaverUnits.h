// The screen saver's start: its units in order around the command line's job.
#pragma once

#include <span>

#include "UnitStartup.h"

namespace saver {

// The saver's units, in start-up order.
std::span<const velfw::TUnit> SaverUnits();
// The whole program: the units up, the command line's job, the units down.
// Both the shipped saver and its test build enter here after choosing their
// browser.
int SaverMain();

}  // namespace saver
