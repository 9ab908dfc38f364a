// The built programs as files: the resources they carry, read without
// running them, and builds whose string tables are broken, started as a
// user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "KvSrMgrFormat.h"
#include "MessageBoxes.h"
#include "SaverProcess.h"
#include "WinHandles.h"
#include "WinePaths.h"

using namespace testing_support;

namespace {

// A program file's resources, looked up in that file only.
class ProgramResources {
public:
    explicit ProgramResources(const std::string& path)
        : module_(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    explicit operator bool() const { return static_cast<bool>(module_); }

    // The string table `name` of the file; raises when it is not one, and is
    // empty when the file has none.
    kv::TKvStringTable StringTable(const char* name) const {
        kv::TKvStringTable table;
        HRSRC found = ::FindResourceA(module_.get(), name, RT_RCDATA);
        HGLOBAL loaded = found ? ::LoadResource(module_.get(), found) : nullptr;
        const void* data = loaded ? ::LockResource(loaded) : nullptr;
        if (data) table.Open(static_cast<const uint8_t*>(data), ::SizeofResource(module_.get(), found));
        return table;
    }
    // The hot spot of the cursor `name`; (-1, -1) when the file has none.
    POINT CursorHotSpot(const char* name) const {
        velfw::UniqueIcon cursor(static_cast<HICON>(::LoadImageA(module_.get(), name, IMAGE_CURSOR, 0, 0, 0)));
        ICONINFO info{};
        if (!cursor || !::GetIconInfo(cursor.get(), &info)) return {-1, -1};
        velfw::UniqueGdiObject colour(info.hbmColor), mask(info.hbmMask);
        return {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
    }

private:
    velfw::UniqueModule module_;
};

bool HasWindowOfClass(const SaverProcess& process, const char* className) {
    for (HWND w : process.TopWindows()) {
        char cls[64] = {};
        ::GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, className) == 0) return true;
    }
    return false;
}

}  // namespace

TEST(ProgramFiles, EachProgramCarriesBothStringTablesAndTheCursorsItUses) {
    const struct {
        const char* path;
        bool cursors;
    } programs[] = {
        {VELUNOR_SAVER_PATH, false},
        {KAVISU_PATH, true},  // the slider's hand
        {KAVIST_PATH, true},
    };
    for (const auto& p : programs) {
        ProgramResources file(FromUnixPath(p.path));
        ASSERT_TRUE(file) << p.path;
        const kv::TKvStringTable reader = file.StringTable("KVSRMGR_STRINGS");
        EXPECT_EQ(reader.Count(), 5) << p.path;
        EXPECT_EQ(reader.StringById(kv::srmResourceNotFound), "String resource not found: %s") << p.path;
        const kv::TKvStringTable library = file.StringTable("KVLIB3_STRINGS_ENGLISH");
        EXPECT_EQ(library.StringById(30169), "Duplicate command found while adding a new command to the table")
            << p.path;
        EXPECT_EQ(library.StringById(30275), "Default") << p.path;
        EXPECT_EQ(library.StringById(33843), "ccWordRight") << p.path;
        if (!p.cursors) continue;
        const POINT hand = file.CursorHotSpot("KX_HANDCUR"), drag = file.CursorHotSpot("KX_DRAGCUR");
        EXPECT_EQ(hand.x, 6) << p.path;
        EXPECT_EQ(hand.y, 16) << p.path;
        EXPECT_EQ(drag.x, 15) << p.path;
        EXPECT_EQ(drag.y, 16) << p.path;
    }
}

TEST(ProgramFiles, ABrokenStringTableStopsEachProgramsStartWithTheReadersMessage) {
    const struct {
        const char* path;
        const char* arguments;
        const char* message;
    } programs[] = {
        {BAD_READER_SAVER_PATH, "/S", "Invalid TPString resource."},
        {NO_LIBRARY_SETTINGS_PATH, "", "String resource not found: KVLIB3_STRINGS_ENGLISH."},
        {BAD_LIBRARY_TRAY_PATH, "", "Invalid TPString resource."},
    };
    for (const auto& p : programs) {
        SaverProcess program(FromUnixPath(p.path), p.arguments);
        ASSERT_TRUE(program.Started()) << program.StartError();
        const BoxOwner owner = BoxOwner::Process(program.Id());
        const DWORD start = ::GetTickCount();
        while (!FindMessageBox(owner) && program.Running() && ::GetTickCount() - start < 15000) ::Sleep(50);
        // The start stopped before any form was made.
        EXPECT_FALSE(HasWindowOfClass(program, "TVelunorForm")) << p.path;
        EXPECT_EQ(ExpectMessageBox(owner, 5000), p.message) << p.path;
        DWORD code = 0;
        EXPECT_TRUE(program.WaitForExit(10000, &code)) << p.path;
        EXPECT_EQ(code, 1u) << p.path;
    }
}
