// A sample installation for black-box runs of the saver: the install
// folder with the shipped pages, the display settings, pages in the real
// page-list folders; all put back as they were at the end.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessagePump.h"
#include "SaverProcess.h"
#include "SettingsRegistry.h"
#include "WinePaths.h"

namespace testing_support {

std::string SpecialFolder(int csidl);

// Two panes, ten seconds a page, the duration limits on with one pass, the
// debug panel on.
class ShowingInstallTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Setting(const std::string& name, const std::string& value) { registry.Setting(name, value); }
    void AddPage(int window, const std::string& name, const std::string& url);
    void OnePagePerPane();

    SettingsRegistry registry;
    InstallFolder install{registry};
    std::string data;      // the "Velunor" folder in Favorites
    std::string shortcut;  // "Last Seen on Velunor.url" on the desktop

private:
    bool hadShortcut_ = false;
    std::string oldShortcut_;
    std::vector<std::string> pages_;
};

}  // namespace testing_support
