// The scripted browser control (tests/wine/support/scripted-control) in place of the
// system's web-browser control: registered in the prefix for as long as the
// object lives, so that a program started meanwhile (the shipped saver, say)
// creates it wherever it asks for the system's control. At the end the
// system's server is registered again.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class ScriptedControlRegistration {
public:
    // `dll`: the control's Windows path.
    explicit ScriptedControlRegistration(const std::string& dll);
    ~ScriptedControlRegistration();
    ScriptedControlRegistration(const ScriptedControlRegistration&) = delete;
    ScriptedControlRegistration& operator=(const ScriptedControlRegistration&) = delete;

    bool Registered() const { return registered_; }

private:
    HMODULE module_ = nullptr;
    bool registered_ = false;
};

}  // namespace testing_support
