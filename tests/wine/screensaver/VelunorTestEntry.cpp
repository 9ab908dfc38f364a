// Entry of the saver's test build: the same program with the scripted
// stand-in browser in every pane. What the black-box tests need to see and
// cannot read from another process (the screen-saver-running flag, each
// pane's size at every navigation) goes to the file named by
// VELUNOR_SAVER_LOG, one "<ms> <what>" line each. VELUNOR_CLOCK_SPEED=<n>
// runs the saver's clock n times faster than the real one, so a test of page
// times need not wait for them. VELUNOR_RESOURCE_LOG=<n> adds a
// "resources <navigations> private=<bytes> handles=<n> gdi=<n> user=<n>" line
// every n navigations, for the memory benchmark.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "KaviSSm.h"
#include "ProcessHoldings.h"
#include "SaverUnits.h"
#include "StandInBrowser.h"

namespace {

void RunLog(const std::string& line) {
    char path[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableA("VELUNOR_SAVER_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    HANDLE f = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                             nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    const std::string text = std::to_string(::GetTickCount()) + " " + line + "\r\n";
    DWORD written = 0;
    ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(f);
}

unsigned long ResourceLogEvery() {
    char text[16] = {};
    const DWORD n = ::GetEnvironmentVariableA("VELUNOR_RESOURCE_LOG", text, sizeof text);
    if (n == 0 || n >= sizeof text) return 0;
    return std::strtoul(text, nullptr, 10);
}

// What the process holds after `navigations` page changes.
void LogResources(unsigned long navigations) {
    RunLog("resources " + std::to_string(navigations) + " " + testing_support::CurrentHoldings().Text());
}

// Passes everything to the stand-in and logs each navigation with the size
// of the pane's browser.
class LoggedBrowser : public browser::IPaneBrowser {
public:
    explicit LoggedBrowser(std::unique_ptr<browser::IPaneBrowser> inner) : inner_(std::move(inner)) {
        inner_->OnDocumentComplete = [this](browser::IPaneBrowser&) {
            if (OnDocumentComplete) OnDocumentComplete(*this);
        };
        inner_->OnNavigateComplete2 = [this](browser::IPaneBrowser&) {
            if (OnNavigateComplete2) OnNavigateComplete2(*this);
        };
        inner_->OnScriptError = [this](browser::IPaneBrowser&, bool& go, bool& show) {
            if (OnScriptError) OnScriptError(*this, go, show);
        };
    }
    velfw::TWinControl& Control() override { return inner_->Control(); }
    void Navigate(const std::string& url) override {
        inner_->Index = Index;
        velfw::TWinControl& c = inner_->Control();
        RunLog("navigate " + std::to_string(Index) + " " + std::to_string(c.Width()) + "x" +
               std::to_string(c.Height()) + " " + url);
        inner_->Navigate(url);
        static const unsigned long every = ResourceLogEvery();
        static unsigned long navigations = 0;
        if (every > 0 && ++navigations % every == 0) LogResources(navigations);
    }
    long ReadyState() override { return inner_->ReadyState(); }
    std::string LocationURL() override { return inner_->LocationURL(); }
    std::unique_ptr<browser::IPaneBody> Body() override { return inner_->Body(); }
    void Detach() override {
        RunLog("detach " + std::to_string(Index));
        inner_->Detach();
    }

private:
    std::unique_ptr<browser::IPaneBrowser> inner_;
};

// The tick count and the date both run `speed` times faster from now on.
void SpeedUpClock() {
    char text[16] = {};
    const DWORD n = ::GetEnvironmentVariableA("VELUNOR_CLOCK_SPEED", text, sizeof text);
    if (n == 0 || n >= sizeof text) return;
    const unsigned long speed = std::strtoul(text, nullptr, 10);
    if (speed <= 1 || speed > 1000) return;
    const uint32_t startTicks = ::GetTickCount();
    const double startNow = saver::GetNow();
    saver::GetTicks = [startTicks, speed] {
        // Unsigned arithmetic: wraps like the real count.
        return static_cast<uint32_t>(startTicks + (::GetTickCount() - startTicks) * speed);
    };
    saver::GetNow = [startTicks, startNow, speed] {
        constexpr double kMsPerDay = 86400000.0;
        return startNow + static_cast<double>(::GetTickCount() - startTicks) * speed / kMsPerDay;
    };
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SpeedUpClock();
    const auto setFlag = saver::SetScreenSaverRunning;
    saver::SetScreenSaverRunning = [setFlag](bool running) {
        setFlag(running);
        RunLog(running ? "flag on" : "flag off");
    };
    saver::MakePaneBrowser = []() -> std::unique_ptr<browser::IPaneBrowser> {
        return std::make_unique<LoggedBrowser>(browser::MakeStandInPaneBrowser());
    };
    const int status = saver::SaverMain();
    RunLog("exit " + std::to_string(status));
    return status;
}
