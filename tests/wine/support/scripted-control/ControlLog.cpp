#include "ControlLog.h"

#include <windows.h>

#include <cstdlib>

#include "ProcessHoldings.h"

namespace scripted {

namespace {

std::string EnvironmentValue(const char* name) {
    char buf[MAX_PATH * 2] = {};
    const DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

const std::string& LogFile() {
    static const std::string file = EnvironmentValue("VELUNOR_STANDIN_LOG");
    return file;
}

}  // namespace

const browser::TStandInScript& Script() {
    static const browser::TStandInScript script = [] {
        const std::string path = EnvironmentValue("VELUNOR_STANDIN_SCRIPT");
        browser::TStandInScript s = path.empty() ? browser::TStandInScript() : browser::TStandInScript::ReadFile(path);
        for (const std::string& e : s.Errors) Log(0, "script " + e);
        return s;
    }();
    return script;
}

int NextBrowserNumber() {
    static LONG created = 0;
    return static_cast<int>(::InterlockedIncrement(&created));
}

void Log(int browser, const std::string& text) {
    if (!LogFile().empty()) browser::AppendStandInLog(LogFile(), ::GetTickCount(), browser, text);
}

void CountNavigation() {
    static const unsigned long every = std::strtoul(EnvironmentValue("VELUNOR_RESOURCE_LOG").c_str(), nullptr, 10);
    static unsigned long navigations = 0;
    ++navigations;
    if (every > 0 && navigations % every == 0)
        Log(0, "resources " + std::to_string(navigations) + " " + testing_support::CurrentHoldings().Text());
}

}  // namespace scripted
