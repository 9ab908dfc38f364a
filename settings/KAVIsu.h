// The settings program's start: its units in order, one instance at a time,
// the wizard form and the message loop.
#pragma once

#include <span>

#include "UnitStartup.h"

namespace settings {

// The program's units, in start-up order.
std::span<const velfw::TUnit> SettingsUnits();
// The whole program: the units up, the main block, the units down.
int SettingsMain();

}  // namespace settings
