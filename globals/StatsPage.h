// The statistics page's seams: where the connection state and the current
// time come from. The program uses the system's; tests set their own.
#pragma once

#include <functional>

#include "StatsPageRules.h"

namespace globals {

using ConnectionStateFunction = std::function<ConnectionState()>;
extern ConnectionStateFunction QueryConnectionState;
// Asks the internet library, loaded on demand: a machine without it, or one
// where it cannot be loaded, gives Unknown.
ConnectionState SystemConnectionState();

// The current local date-time (days since 30 December 1899).
using ClockFunction = std::function<double()>;
extern ClockFunction CurrentDateTime;
double SystemDateTime();

}  // namespace globals
