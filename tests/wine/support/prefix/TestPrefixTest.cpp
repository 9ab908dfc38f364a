// The throwaway Wine prefix the tests run in. A prefix booted twice runs two
// service managers, and then the COM service never starts: every program that
// opens a window waits for it in vain (about 10 s) when it starts the desktop
// and again when it ends.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

#include "WinHandles.h"

namespace {

// How many processes of the prefix run each program, by its lower-case name.
std::map<std::string, int> RunningPrograms() {
    std::map<std::string, int> running;
    velfw::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    EXPECT_TRUE(snapshot) << ::GetLastError();
    if (!snapshot) return running;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
        std::string name = entry.szExeFile;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        ++running[name];
    }
    return running;
}

}  // namespace

TEST(TestPrefix, OneServiceManagerRunsAndTheComServiceWithIt) {
    std::map<std::string, int> running = RunningPrograms();
    EXPECT_EQ(running["services.exe"], 1);
    EXPECT_EQ(running["rpcss.exe"], 1);
}
