// Starting a build of the screen saver (or any program) in the prefix and
// watching it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

class SaverProcess {
public:
    // Starts "<program> <arguments>" (a Windows path); Started() tells
    // whether that worked.
    SaverProcess(const std::string& program, const std::string& arguments);
    ~SaverProcess();  // terminates the process when it still runs
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    // Why the start failed: the system's error code and text ("" once started).
    const std::string& StartError() const { return startError_; }
    DWORD Id() const { return id_; }
    // True when the process ended within `ms`; its exit code in `code`.
    bool WaitForExit(DWORD ms, DWORD* code = nullptr);
    bool Running() const;
    // The process's visible-or-not top-level windows.
    std::vector<HWND> TopWindows() const;
    // Waits up to `ms` for a top-level window of this class in the process.
    HWND WaitForWindow(const std::string& className, DWORD ms) const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    std::string startError_;
};

}  // namespace testing_support
