#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <map>
#include <vector>

#include "Forms.h"
#include "Globals.h"
#include "SettingsRegistry.h"
#include "TestForms.h"
#include "WinePaths.h"

using namespace testing_support;

namespace {

const std::string kSaver = FromUnixPath(VELUNOR_SAVER_PATH);

class InitGlobalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders = {{CSIDL_FAVORITES, root / "Favorites"},
                   {CSIDL_PERSONAL, root / "Documents"},
                   {CSIDL_DESKTOP, root / "Desktop"}};
        for (auto& [id, path] : folders) ::CreateDirectoryA(path.c_str(), nullptr);
        globals::StartupFailed = false;
        DrainQuit();
    }
    void TearDown() override { DrainQuit(); }
    // The quit codes posted to this thread, in order.
    static std::vector<WPARAM> DrainQuit() {
        std::vector<WPARAM> codes;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) codes.push_back(msg.wParam);
        return codes;
    }
    RecordedBoxes boxes;
    SettingsRegistry registry;
    TempFolder root{"globals"};
    std::map<int, std::string> folders;
    bool favoritesFail = false;
    ScopedSeam<globals::SpecialFolderFunction> specialFolders{
        globals::GetSpecialFolder, [this](HWND, int csidl, std::string& path) {
            auto it = folders.find(csidl);
            if (it == folders.end() || favoritesFail) return false;
            path = it->second;
            return true;
        }};
};

}  // namespace

TEST_F(InitGlobalsTest, MakesTheDataFoldersAndReadsDefaults) {
    globals::InitGlobals(nullptr);
    EXPECT_EQ(globals::FavoritesDir, root / "Favorites");
    EXPECT_EQ(globals::MyDocumentsDir, root / "Documents");
    EXPECT_EQ(globals::DesktopDir, root / "Desktop");
    EXPECT_EQ(globals::DataDir, root / "Favorites\\Velunor\\");
    for (const char* f : {"Window1", "Window2", "Window3", "Recommended"})
        EXPECT_TRUE(globals::DirectoryExists(globals::DataDir + f)) << f;
    EXPECT_EQ(globals::BaseDir, "c:\\Program Files\\Velunor\\");
    EXPECT_EQ(globals::BaseSDir, "c:\\windows\\system32\\");
    EXPECT_EQ(globals::RadonMark, 'B');
    EXPECT_EQ(globals::RadonWMark, 'C');
    EXPECT_FALSE(globals::StartupFailed);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_TRUE(DrainQuit().empty());
    ASSERT_TRUE(globals::SettingsStore);
    EXPECT_EQ(globals::SettingsStore->GetKeyName(), "Software\\KAVI");
    EXPECT_EQ(globals::SettingsStore->OpenCount(), 0);
    // This test program has no version information.
    EXPECT_EQ(globals::VersionText, "");
}

TEST_F(InitGlobalsTest, InstallValuesTable) {
    struct Row {
        const char* base;
        const char* ravad;
        const char* radonW;
        const char* expectBase;
        const char* expectBaseS;
        char expectRavad;
        char expectRadonW;
    } rows[] = {
        {"c:\\Apps\\Velunor", "Abc", "W", "c:\\Apps\\Velunor\\", "c:\\Apps\\Velunor\\", 'A', 'W'},
        {"c:\\Apps\\Velunor\\", "B", "Wx", "c:\\Apps\\Velunor\\", "c:\\Apps\\Velunor\\", 'B', 'W'},
        // Empty counts as missing.
        {"", "", "", "c:\\Program Files\\Velunor\\", "c:\\windows\\system32\\", 'B', 'C'},
    };
    for (const Row& r : rows) {
        registry.InstallValue("Base", r.base);
        registry.InstallValue("BaseS", r.base);
        registry.InstallValue("Ravad", r.ravad);
        registry.InstallValue("RadonW", r.radonW);
        globals::InitGlobals(nullptr);
        EXPECT_EQ(globals::BaseDir, r.expectBase) << r.base;
        EXPECT_EQ(globals::BaseSDir, r.expectBaseS) << r.base;
        EXPECT_EQ(globals::RadonMark, r.expectRavad) << r.ravad;
        EXPECT_EQ(globals::RadonWMark, r.expectRadonW) << r.radonW;
    }
}

TEST_F(InitGlobalsTest, TrayLauncherDoesNotReadRadonW) {
    globals::RadonWMark = 'q';
    registry.InstallValue("RadonW", "W");
    globals::ReadsRadonW = false;
    globals::InitGlobals(nullptr);
    globals::ReadsRadonW = true;
    EXPECT_EQ(globals::RadonWMark, 'q');
}

TEST_F(InitGlobalsTest, AWrongTypeEndsTheRoutineQuietly) {
    registry.InstallValue("Base", "c:\\first\\");
    globals::InitGlobals(nullptr);
    globals::BaseSDir = "untouched";
    SetRegDword(HKEY_LOCAL_MACHINE, kVelunorKey, "Base", 7);
    globals::InitGlobals(nullptr);
    EXPECT_EQ(globals::BaseDir, "c:\\first\\");
    EXPECT_EQ(globals::BaseSDir, "untouched");
    EXPECT_TRUE(boxes.texts.empty());
    ASSERT_TRUE(globals::SettingsStore);
    EXPECT_EQ(globals::SettingsStore->OpenCount(), 0);  // closed on the way out
}

TEST_F(InitGlobalsTest, FoldersThatCannotBeMadeAreReportedOneBoxEachAndQuitOnce) {
    // Plain files where two of the folders must go.
    const std::string data = root / "Favorites\\Velunor";
    ASSERT_TRUE(globals::ForceDirectories(data));
    ASSERT_TRUE(WriteFileBytes(data + "\\Window2", "x"));
    ASSERT_TRUE(WriteFileBytes(data + "\\Recommended", "x"));
    globals::InitGlobals(nullptr);
    EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Unable to create folder: " + data + "\\Window2",
                                               "Unable to create folder: " + data + "\\Recommended"}));
    EXPECT_TRUE(globals::StartupFailed);
    EXPECT_TRUE(globals::DirectoryExists(data + "\\Window1"));
    EXPECT_TRUE(globals::DirectoryExists(data + "\\Window3"));
    // The install settings are still read, and the last failure's code is posted once.
    EXPECT_EQ(globals::BaseDir, "c:\\Program Files\\Velunor\\");
    EXPECT_EQ(DrainQuit(), (std::vector<WPARAM>{2}));

    boxes.texts.clear();
    ::DeleteFileA((data + "\\Recommended").c_str());
    globals::InitGlobals(nullptr);
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(DrainQuit(), (std::vector<WPARAM>{1}));
}

TEST_F(InitGlobalsTest, FailedFavoritesLookUpKeepsFoldersAndUsesTheDriveRoot) {
    char oldDir[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, oldDir);
    ASSERT_TRUE(::SetCurrentDirectoryA(root.Path().c_str()));
    globals::FavoritesDir = "previous";
    globals::DesktopDir = "previous desktop";
    favoritesFail = true;
    globals::InitGlobals(nullptr);
    EXPECT_EQ(globals::FavoritesDir, "previous");
    EXPECT_EQ(globals::DesktopDir, "previous desktop");

    globals::FavoritesDir.clear();
    globals::InitGlobals(nullptr);
    EXPECT_EQ(globals::DataDir, "\\Velunor\\");
    EXPECT_TRUE(globals::DirectoryExists("\\Velunor\\Window1"));
    EXPECT_EQ(globals::BaseDir, "c:\\Program Files\\Velunor\\");
    RemoveTree(std::string(1, root.Path()[0]) + ":\\Velunor");
    ::SetCurrentDirectoryA(oldDir);
}

TEST_F(InitGlobalsTest, EachCallMakesANewStore) {
    globals::InitGlobals(nullptr);
    kv::TKvRegistryStore* first = globals::SettingsStore.get();
    globals::InitGlobals(nullptr);
    ASSERT_TRUE(globals::SettingsStore);
    EXPECT_NE(globals::SettingsStore.get(), first);
}

TEST(VersionText, OfAProgramWithAKnownVersion) {
    globals::FileVersion v;
    EXPECT_EQ(globals::GetVersionTextOf(kSaver, &v), "(1.0.0.1)");
    EXPECT_EQ(v.Major, 1);
    EXPECT_EQ(v.Build, 1);
    EXPECT_THROW(globals::GetVersionText(), velfw::Exception);  // this test program has none
}
