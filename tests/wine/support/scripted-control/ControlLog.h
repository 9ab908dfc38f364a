// What the scripted control is told to do and what it reports: the script
// of the test (the stand-in's format, from the file VELUNOR_STANDIN_SCRIPT
// names) and the log the tests read (VELUNOR_STANDIN_LOG), one
// "<tick> #<browser> <call>" line per call the control receives and per
// event it fires. Browsers are numbered from 1 in the order the process
// creates them; #0 is the process.
#pragma once

#include <string>

#include "StandInScript.h"

namespace scripted {

// Read at the first use; its errors are logged then.
const browser::TStandInScript& Script();
// The number of the next browser the process creates.
int NextBrowserNumber();
// Appends a line when VELUNOR_STANDIN_LOG names a file.
void Log(int browser, const std::string& text);
// Counts one navigation; every VELUNOR_RESOURCE_LOG navigations it logs
// "resources <count> private=<bytes> handles=<n> gdi=<n> user=<n>", the
// figures of the memory benchmark.
void CountNavigation();

}  // namespace scripted
