// Entry of the settings program's test build: the shipped program, whose
// entry is compiled under another name, with the page-list save's steps
// logged and, when asked for, the process ended in the middle of a save
// (see SaveSteps.h).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "PageListFiles.h"
#include "SaveSteps.h"

extern "C" int WINAPI SettingsProgramWinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

std::string Variable(const char* name) {
    char text[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA(name, text, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(text, n);
}

void LogStep(const std::string& path, const std::string& step) {
    HANDLE f = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    const std::string line = step + "\r\n";
    DWORD written = 0;
    ::WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(f);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    const std::string log = Variable(testing_support::kSaveStepLogVariable);
    const unsigned long endAt = std::strtoul(Variable(testing_support::kSaveEndAtVariable).c_str(), nullptr, 10);
    settings::BeforeSaveStep = [log, endAt, taken = 0ul](const std::string& step) mutable {
        if (++taken == endAt) ::TerminateProcess(::GetCurrentProcess(), testing_support::kEndedAtStepExitCode);
        if (!log.empty()) LogStep(log, step);
    };
    return SettingsProgramWinMain(instance, previous, commandLine, show);
}
