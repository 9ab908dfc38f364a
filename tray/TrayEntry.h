// The tray launcher's start: its units in order, one copy at a time, the
// hidden form and the message loop.
#pragma once

#include <span>

#include "UnitStartup.h"

namespace tray {

// The launcher's units, in start-up order.
std::span<const velfw::TUnit> TrayUnits();
// The whole program: the units up, the main block, the units down.
int TrayMain();

}  // namespace tray
