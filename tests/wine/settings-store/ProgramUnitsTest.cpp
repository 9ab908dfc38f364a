// Each program's own table of units, run in this process with a main block
// that looks at what the units set up. The test program carries the string
// tables and the cursors as the programs do.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <span>
#include <string>
#include <typeindex>

#include "ClipIcon.h"
#include "Forms.h"
#include "KAVIsu.h"
#include "KvConst.h"
#include "KvIntl.h"
#include "KvTGRes.h"
#include "KvUser.h"
#include "KxCursors.h"
#include "KxGIF.h"
#include "OgFirst.h"
#include "SaverUnits.h"
#include "TrayEntry.h"
#include "UnitStartup.h"

namespace {

using TUnits = std::span<const velfw::TUnit>;

// What every program's units give its main block.
struct LibraryState {
    bool application = false;
    std::string defaultTableName;  // a library string
    bool intlSettings = false;
    bool userData = false;
    bool glyphManager = false;
};

LibraryState LibraryStateNow() {
    LibraryState s;
    s.application = velfw::Application && velfw::Screen;
    s.defaultTableName = kv::LibraryString(kv::SDefaultTableName);
    s.intlSettings = kv::IntlSettings && !kv::IntlSettings->ShortDateMask.empty();
    s.userData = kv::UserData != nullptr;
    s.glyphManager = kv::GlyphResourceManager != nullptr;
    return s;
}

// Runs `units` around `main`; failures are reported into the test.
int RunUnits(TUnits units, const std::function<int()>& main) {
    return velfw::TUnitStartup(units, []() noexcept {
               try {
                   throw;
               } catch (const std::exception& e) {
                   ADD_FAILURE() << "unit failure: " << e.what();
               } catch (...) {
                   ADD_FAILURE() << "unit failure";
               }
           }).Run(main);
}

std::string ClipboardFormatName(UINT format) {
    char name[64] = {};
    return ::GetClipboardFormatNameA(format, name, sizeof name) > 0 ? name : "";
}

POINT HotSpot(HCURSOR cursor) {
    ICONINFO info{};
    if (!cursor || !::GetIconInfo(cursor, &info)) return {-1, -1};
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
}

// The hot spot of a screen cursor; (-1, -1) where the number shows the arrow.
POINT ScreenCursorHotSpot(velfw::TCursor id) {
    HCURSOR cursor = velfw::Screen->Cursors[id];
    return cursor == ::LoadCursorA(nullptr, IDC_ARROW) ? POINT{-1, -1} : HotSpot(cursor);
}

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

}  // namespace

TEST(ProgramUnits, EveryProgramStartsTheLibraryBeforeItsMainBlockAndFinishesItAfter) {
    const struct {
        const char* program;
        TUnits (*units)();
    } programs[] = {
        {"Velunor", saver::SaverUnits},
        {"KAVIsu", settings::SettingsUnits},
        {"KAVIst", tray::TrayUnits},
    };
    for (const auto& p : programs) {
        LibraryState during;
        EXPECT_EQ(RunUnits(p.units(),
                           [&] {
                               during = LibraryStateNow();
                               return 5;
                           }),
                  5)
            << p.program;
        EXPECT_TRUE(during.application) << p.program;
        EXPECT_EQ(during.defaultTableName, "Default") << p.program;
        EXPECT_TRUE(during.intlSettings) << p.program;
        EXPECT_TRUE(during.userData) << p.program;
        EXPECT_TRUE(during.glyphManager) << p.program;

        const LibraryState after = LibraryStateNow();
        EXPECT_FALSE(after.application) << p.program;
        EXPECT_EQ(after.defaultTableName, "Unknown") << p.program;
        EXPECT_FALSE(after.intlSettings) << p.program;
        EXPECT_FALSE(after.userData) << p.program;
        EXPECT_FALSE(after.glyphManager) << p.program;
    }
}

TEST(ProgramUnits, TrayLauncherRegistersBothClipboardFormatsItsCursorsAndItsMutex) {
    RunUnits(tray::TrayUnits(), [] {
        EXPECT_EQ(ClipboardFormatName(kx::IconClipboardFormat), "Kx Icon");
        EXPECT_EQ(ClipboardFormatName(kx::CF_GIF), "GIF Image");
        // Both with the picture support: icons as icon pictures, GIF images as GIF pictures.
        EXPECT_EQ(velfw::GraphicKindOfClipboardFormat(kx::IconClipboardFormat), std::type_index(typeid(velfw::TIcon)));
        EXPECT_EQ(velfw::GraphicKindOfClipboardFormat(kx::CF_GIF), std::type_index(typeid(kx::TGIFImage)));
        EXPECT_NE(dynamic_cast<kx::TGIFImage*>(velfw::NewGraphicForClipboardFormat(kx::CF_GIF).get()), nullptr);
        EXPECT_NE(dynamic_cast<velfw::TIcon*>(velfw::NewGraphicForClipboardFormat(kx::IconClipboardFormat).get()),
                  nullptr);

        EXPECT_TRUE(SamePoint(ScreenCursorHotSpot(kx::crHandCursor), {6, 16}));
        EXPECT_TRUE(SamePoint(ScreenCursorHotSpot(kx::crDragCursor), {15, 16}));
        EXPECT_TRUE(tray::IsFirstInstance());
        return 0;
    });
    EXPECT_FALSE(velfw::GraphicKindOfClipboardFormat(kx::IconClipboardFormat));
    EXPECT_FALSE(velfw::GraphicKindOfClipboardFormat(kx::CF_GIF));
    EXPECT_FALSE(tray::IsFirstInstance());
}

TEST(ProgramUnits, SettingsProgramRegistersTheSlidersHandCursor) {
    RunUnits(settings::SettingsUnits(), [] {
        EXPECT_TRUE(SamePoint(ScreenCursorHotSpot(kx::crHandCursor), {6, 16}));
        return 0;
    });
}

TEST(ProgramUnits, ScreenSaverRunsItsMainBlockWithOleStarted) {
    HRESULT during = E_FAIL;
    RunUnits(saver::SaverUnits(), [&] {
        during = ::OleInitialize(nullptr);  // S_FALSE: it was started already
        if (SUCCEEDED(during)) ::OleUninitialize();
        return 0;
    });
    EXPECT_EQ(during, S_FALSE);
    const HRESULT after = ::OleInitialize(nullptr);
    EXPECT_EQ(after, S_OK);
    if (SUCCEEDED(after)) ::OleUninitialize();
}
