// The four jobs of the screen saver's command line.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace saver {

// Starts a program through the shell; replaceable for tests.
using ProgramStartFunction = std::function<void(const std::string& file)>;
extern ProgramStartFunction StartProgram;
void ShellStartProgram(const std::string& file);

// Asks the system's password provider to change the screen-saver password,
// with `parent` as the dialog's owner; replaceable for tests.
using PasswordChangeFunction = std::function<void(const char* provider, HWND parent)>;
extern PasswordChangeFunction ChangePassword;
void SystemChangePassword(const char* provider, HWND parent);

// The window a decimal handle argument names. Handles are 32-bit values,
// sign-extended in a 64-bit process as the system itself does.
HWND WindowFromArgument(uint32_t handle);

// Runs the saver for these arguments (element 0 is the program) and returns
// the exit status.
int RunSaver(const std::vector<std::string>& args);

void RunConfigure();
void RunPassword(const std::string& windowArgument);
void RunPreview(const std::string& windowArgument);
void RunFullScreen();

}  // namespace saver
