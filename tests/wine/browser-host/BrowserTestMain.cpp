// Unit start-up for the browser-host tests: the application object (with
// message boxes recorded, never shown) and the hosted control's unit.
#include <gtest/gtest.h>

#include "TestForms.h"
#include "Forms.h"
#include "HostedWB.h"
#include "ShellEntries.h"

namespace {

class BrowserUnits : public ::testing::Environment {
public:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        browser::InitHostedWBUnit();
    }
    void TearDown() override {
        browser::DoneHostedWBUnit();
        browser::DoneShellEntriesUnit();
        velfw::DoneFormsUnit();
    }
};

const auto* const g_units = ::testing::AddGlobalTestEnvironment(new BrowserUnits);

}  // namespace
