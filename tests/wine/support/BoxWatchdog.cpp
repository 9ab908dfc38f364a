// Linked into every Windows test program: a message box of the test program
// itself that nobody closes would hold its thread for good, and the run with
// it. The watchdog closes any box left up for a while and fails the test that
// was running; boxes a test expects are closed sooner by the test itself.
#include <gtest/gtest.h>

#include <windows.h>

#include "MessageBoxes.h"

namespace {

constexpr DWORD kGraceMs = 5000;

class BoxWatchdog : public ::testing::Environment {
public:
    void SetUp() override {
        stop_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        scanned_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = ::CreateThread(nullptr, 0, Run, this, 0, nullptr);
        // The thread's first look at the windows sets up its window state
        // under Wine. On a busy host, that first look falling inside a
        // test's load of the help library (which pulls in a dozen others)
        // hung the test program for good now and then; the tests start
        // only once it is done.
        ::WaitForSingleObject(scanned_, 10000);
    }
    void TearDown() override {
        ::SetEvent(stop_);
        ::WaitForSingleObject(thread_, INFINITE);  // it sleeps 100 ms at a time
        ::CloseHandle(thread_);
        ::CloseHandle(scanned_);
        ::CloseHandle(stop_);
    }

private:
    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<BoxWatchdog*>(param);
        const auto owner = testing_support::BoxOwner::Process(::GetCurrentProcessId());
        HWND watched = nullptr;
        DWORD since = 0;
        testing_support::FindMessageBox(owner);
        ::SetEvent(self->scanned_);
        while (::WaitForSingleObject(self->stop_, 100) == WAIT_TIMEOUT) {
            HWND box = testing_support::FindMessageBox(owner);
            if (box != watched) {
                watched = box;
                since = ::GetTickCount();
            }
            if (!box || ::GetTickCount() - since < kGraceMs) continue;
            const std::string text = testing_support::MessageBoxText(box);
            ADD_FAILURE() << "a message box nobody expected was closed: \"" << text << "\"";
            testing_support::CloseMessageBox(box, 5000);
            watched = nullptr;
        }
        return 0;
    }

    HANDLE stop_ = nullptr;
    HANDLE scanned_ = nullptr;
    HANDLE thread_ = nullptr;
};

const auto* const g_watchdog = ::testing::AddGlobalTestEnvironment(new BoxWatchdog);

}  // namespace
