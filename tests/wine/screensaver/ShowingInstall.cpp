#include "ShowingInstall.h"

#include <shlobj.h>

namespace testing_support {

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
    return path;
}

void ShowingInstallTest::SetUp() {
    for (const char* page : {"reg.bin", "blank1.htm", "blank2.htm"})
        ASSERT_TRUE(install.CopyIn(std::string(VELUNOR_PAGES_DIR) + "/" + page, page));
    registry.InstallValue("RadonW", "W");
    Setting("DType", "2");
    Setting("InterScreenT", "10");
    Setting("DurationUse", "y");
    Setting("DurationTimeS", "1");
    Setting("Scroll", "y");

    data = SpecialFolder(CSIDL_FAVORITES) + "\\Velunor";
    for (const char* w : {"Window1", "Window2", "Window3", "Recommended"})
        ::SHCreateDirectoryExA(nullptr, (data + "\\" + w).c_str(), nullptr);
    shortcut = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Last Seen on Velunor.url";
    hadShortcut_ = FileExists(shortcut);
    oldShortcut_ = ReadFileBytes(shortcut);
    ::DeleteFileA(shortcut.c_str());
}

void ShowingInstallTest::TearDown() {
    for (const std::string& f : pages_) ::DeleteFileA(f.c_str());
    if (hadShortcut_) WriteFileBytes(shortcut, oldShortcut_);
    else ::DeleteFileA(shortcut.c_str());
}

void ShowingInstallTest::AddPage(int window, const std::string& name, const std::string& url) {
    const std::string file = data + "\\Window" + std::to_string(window) + "\\" + name + ".url";
    ASSERT_TRUE(WriteFileBytes(file, "[InternetShortcut]\r\nurl=" + url + "\r\n"));
    pages_.push_back(file);
}

void ShowingInstallTest::OnePagePerPane() {
    AddPage(1, "run-a", "run-a");
    AddPage(2, "run-c", "run-c");
}

}  // namespace testing_support
