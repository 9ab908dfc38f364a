// Start-up and shutdown of the units the screen saver links, in order.
#pragma once

namespace saver {

void InitSaverUnits();
void DoneSaverUnits();

}  // namespace saver
