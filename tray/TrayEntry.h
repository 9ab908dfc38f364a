// The tray launcher's start: its units in order, one copy at a time, the
// hidden form and the message loop.
#pragma once

namespace tray {

void InitTrayUnits();
void DoneTrayUnits();
int TrayMain();

}  // namespace tray
