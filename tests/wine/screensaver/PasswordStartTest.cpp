// The password start hands the system's password provider the saver's name
// and the window the command line gave.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "SaverEntry.h"
#include "ScopedSeam.h"

namespace {

struct PasswordCall {
    std::string provider;
    HWND parent;
};

class PasswordStartTest : public ::testing::Test {
protected:
    std::vector<PasswordCall> calls;
    testing_support::ScopedSeam<saver::PasswordChangeFunction> password{
        saver::ChangePassword, [this](const char* provider, HWND parent) { calls.push_back({provider, parent}); }};
};

}  // namespace

TEST_F(PasswordStartTest, ProviderAndParentWindow) {
    struct Case {
        const char* argument;
        bool called;
        HWND parent;
    } cases[] = {
        {"1234", true, reinterpret_cast<HWND>(static_cast<intptr_t>(1234))},
        {" 66 ", true, reinterpret_cast<HWND>(static_cast<intptr_t>(66))},
        // Handles are 32-bit values, sign-extended in a 64-bit program.
        {"4294967295", true, reinterpret_cast<HWND>(static_cast<intptr_t>(-1))},
        {"-2", true, reinterpret_cast<HWND>(static_cast<intptr_t>(-2))},
        {"", false, nullptr},
        {"0x10", false, nullptr},
        {"notanumber", false, nullptr},
    };
    for (const Case& c : cases) {
        calls.clear();
        saver::RunPassword(c.argument);
        ASSERT_EQ(calls.size(), c.called ? 1u : 0u) << c.argument;
        if (!c.called) continue;
        EXPECT_EQ(calls[0].provider, "SCRSAVE");
        EXPECT_EQ(calls[0].parent, c.parent) << c.argument;
    }
}
