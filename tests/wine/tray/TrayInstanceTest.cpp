#include <gtest/gtest.h>

#include <string>

#include "SaverProcess.h"
#include "SettingsRegistry.h"
#include "WinePaths.h"
#include "WinHandles.h"

using namespace testing_support;

namespace {

const std::string kTray = FromUnixPath(VELUNOR_TRAY_PATH);

bool MutexExists(const char* name) {
    velfw::UniqueKernelHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, name));
    return static_cast<bool>(mutex);
}

// Waits until the first copy has made its forms (its mutex exists long before).
HWND WaitForTrayForm(const SaverProcess& process) { return process.WaitForWindow("TVelunorForm", 15000); }

TEST(TrayInstance, SecondStartEndsAtOnceAndARenamedCopyRunsBeside) {
    SettingsRegistry registry;
    registry.InstallValue("Ravad", "A");  // no hand-over to the display settings
    SaverProcess first(kTray, "");
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForTrayForm(first));
    EXPECT_TRUE(MutexExists("PREVINST:Kavist"));

    SaverProcess second(kTray, "");
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(first.Running());

    TempFolder folder("tray");
    const std::string renamed = folder / "KAVIst2.exe";
    ASSERT_TRUE(::CopyFileA(kTray.c_str(), renamed.c_str(), FALSE));
    {
        SaverProcess other(renamed, "");
        ASSERT_TRUE(other.Started());
        EXPECT_TRUE(WaitForTrayForm(other));
        EXPECT_TRUE(MutexExists("PREVINST:Kavist2"));
        EXPECT_TRUE(other.Running());
    }
    // A close message leaves the launcher running.
    HWND form = WaitForTrayForm(first);
    ::PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_FALSE(first.WaitForExit(1000));
}

}  // namespace
