#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "Globals.h"
#include "KAVIstAbout.h"
#include "KAVIstp.h"
#include "KvLibraryUnits.h"
#include "RegistryKey.h"
#include "ScopedSeam.h"
#include "SettingsRegistry.h"
#include "TestForms.h"
#include "WinePaths.h"

using namespace testing_support;

namespace {

struct StartCall {
    std::string file, parameters;
    int show;
};

// Program starts recorded instead of carried out, and the tray shell silenced.
class TrayFormTest : public ::testing::Test {
protected:
    // The library units the controller on the form needs, in the program's order.
    static void SetUpTestSuite() {
        for (const velfw::TUnit& unit : kv::kLibraryUnits) unit.Start();
    }
    static void TearDownTestSuite() {
        for (auto unit = std::rbegin(kv::kLibraryUnits); unit != std::rend(kv::kLibraryUnits); ++unit)
            unit->Finish();
    }
    void SetUp() override {
        InitApplicationWithoutBoxes();
        velfw::Application->Initialize();
        globals::ReadsRadonW = false;
        kx::TrayShell().NotifyIcon = [](DWORD, kx::TNotifyIconDataV1&) { return TRUE; };
    }
    void TearDown() override { kx::ResetTrayShell(); }

    tray::TForm1* MakeForm() {
        auto* form = new tray::TForm1(velfw::Application);
        form->AfterConstruction();
        return form;
    }
    static std::string Ravad() {
        const std::string value = GetRegString(HKEY_LOCAL_MACHINE, kVelunorKey, "Ravad");
        return value == "<no key>" || value == "<missing>" ? "<none>" : value;
    }
    static bool QuitPending() {
        MSG msg;
        return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
    }

    SettingsRegistry registry;
    std::vector<StartCall> starts;
    ScopedSeam<tray::TShellStart> startSeam{tray::ShellStart, [this](const std::string& f, const std::string& p, int s) {
                                                starts.push_back({f, p, s});
                                            }};
};

TEST_F(TrayFormTest, HandOverRunsUntilRavadReadsA) {
    tray::TForm1* first = MakeForm();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].file, "rundll32.exe");
    EXPECT_EQ(starts[0].parameters, "desk.cpl,InstallScreenSaver Velunor.scr");
    EXPECT_EQ(Ravad(), "A");
    EXPECT_EQ(first->ClickX, 426);
    EXPECT_EQ(first->ClickY, 272);
    first->Free();

    starts.clear();
    MakeForm()->Free();
    EXPECT_TRUE(starts.empty());
}

TEST_F(TrayFormTest, MissingStoreIsAFailedHandOverAtEveryStart) {
    // Start-up fails before it makes the store.
    ScopedSeam folders(globals::GetSpecialFolder,
                       [](HWND, int, std::string&) -> bool { throw velfw::Exception("no shell"); });
    for (int run = 0; run < 2; ++run) {
        globals::SettingsStore.reset();
        globals::RadonMark = '\0';
        starts.clear();
        MakeForm()->Free();
        ASSERT_EQ(starts.size(), 1u) << run;
        EXPECT_EQ(starts[0].file, "rundll32.exe");
        EXPECT_EQ(Ravad(), "<none>");
    }
}

TEST_F(TrayFormTest, UnwritableRavadHandsOverAtEveryStart) {
    // Below a volatile key only volatile keys can be made: the store cannot
    // make its "Velunor" section, so "Ravad" is never written.
    DeleteRegTree(HKEY_LOCAL_MACHINE, kKaviKey);
    ASSERT_EQ(velfw::RegistryKey().Create(HKEY_LOCAL_MACHINE, kKaviKey, KEY_ALL_ACCESS, REG_OPTION_VOLATILE),
              ERROR_SUCCESS);
    for (int run = 0; run < 2; ++run) {
        starts.clear();
        MakeForm()->Free();
        ASSERT_EQ(starts.size(), 1u) << run;
        EXPECT_EQ(starts[0].file, "rundll32.exe");
        EXPECT_EQ(Ravad(), "<none>");
        // The write failed inside the store's bracket, which is closed all the same.
        ASSERT_TRUE(globals::SettingsStore) << run;
        EXPECT_EQ(globals::SettingsStore->OpenCount(), 0) << run;
    }
    DeleteRegTree(HKEY_LOCAL_MACHINE, kKaviKey);
}

TEST_F(TrayFormTest, MenuStartsTheSaverAndTheSettingsProgramFromTheInstallFolders) {
    registry.InstallValue("Ravad", "A");
    registry.InstallValue("Base", "c:\\Program Files\\Velunor\\");
    registry.InstallValue("BaseS", "c:\\saver dir\\");
    tray::TForm1* form = MakeForm();
    EXPECT_TRUE(starts.empty());
    form->LaunchKAVI1->OnClick(form->LaunchKAVI1);
    form->KxTrayIcon1->OnDblClick(form->KxTrayIcon1);
    form->Setup1->OnClick(form->Setup1);
    form->Contents1->OnClick(form->Contents1);
    ASSERT_EQ(starts.size(), 4u);
    for (int i : {0, 1}) {
        EXPECT_EQ(starts[i].file, "c:\\saver dir\\Velunor.scr");
        EXPECT_EQ(starts[i].parameters, "/S");
        EXPECT_EQ(starts[i].show, SW_SHOWNORMAL);
    }
    EXPECT_EQ(starts[2].file, "c:\\Program Files\\Velunor\\KAVIsu.exe");
    EXPECT_EQ(starts[2].parameters, "");
    EXPECT_EQ(starts[3].file, std::string("http://") + tray::kProductSite + "/Support.htm");
    form->Free();
}

TEST_F(TrayFormTest, CloseMessageIsRefusedExitEndsAndLogOffIsAllowed) {
    registry.InstallValue("Ravad", "A");
    tray::TForm1* form = MakeForm();
    ::SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(QuitPending());
    EXPECT_TRUE(::IsWindow(form->Handle()));
    EXPECT_EQ(::SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    form->Free();
}

TEST_F(TrayFormTest, AboutBoxShowsVersionAndOpensTheSiteFromLabelAndImage) {
    registry.InstallValue("Ravad", "A");
    tray::TForm1* form = MakeForm();
    auto* box = new tray::Tabout(velfw::Application);
    box->AfterConstruction();
    box->FormActivate(box);
    // The test program's own version, which the designed text is not.
    EXPECT_EQ(box->Label1->Caption(), "Version: (1.2.3.4)");
    EXPECT_EQ(box->Caption(), "Velunor");
    const LONG style = ::GetWindowLongA(box->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "no border icons, no close box";
    EXPECT_NE(style & WS_CAPTION, 0);
    box->Label5->SetCaption(std::string("  ") + tray::kProductSite + "\t ");
    box->Label5->OnClick(box->Label5);
    box->Image2->OnClick(box->Image2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].file, std::string("http://") + tray::kProductSite);
    EXPECT_EQ(starts[1].file, starts[0].file);
    EXPECT_EQ(starts[0].show, SW_SHOW);
    box->Free();
    form->Free();
}

TEST_F(TrayFormTest, IconCarriesFourAnimationFramesAndStaysStill) {
    registry.InstallValue("Ravad", "A");
    tray::TForm1* form = MakeForm();
    kx::TIconList& frames = form->KxTrayIcon1->Icons();
    ASSERT_EQ(frames.Count(), 4);
    for (int i = 0; i < frames.Count(); ++i) {
        ASSERT_NE(frames.GetIcon(i), nullptr) << i;
        EXPECT_EQ(frames.GetIcon(i)->Width(), 16) << i;
        EXPECT_EQ(frames.GetIcon(i)->Height(), 16) << i;
        EXPECT_NE(frames.GetIcon(i)->Handle(), nullptr) << i;
    }
    EXPECT_NE(frames.GetIcon(0)->Data(), frames.GetIcon(1)->Data()) << "frames that differ";
    // As the form stores the list: four icon files of one 16x16 256-colour image.
    velfw::TMemoryStream stream;
    frames.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), 5644u);
    EXPECT_FALSE(form->KxTrayIcon1->Animated());
    EXPECT_EQ(form->KxTrayIcon1->NotifyData().hIcon, form->KxTrayIcon1->Icon().Handle()) << "the still icon is shown";
    form->Free();
}

// Logging off: the session's end is not refused, the icon goes at once (the
// process may be ended as soon as the message returns), and the program ends.
TEST_F(TrayFormTest, EndOfSessionTakesTheIconAwayAndEndsTheProgram) {
    registry.InstallValue("Ravad", "A");
    velfw::DoneFormsUnit();
    InitApplicationWithoutBoxes();
    velfw::Application->Initialize();
    std::vector<DWORD> calls;
    kx::TrayShell().NotifyIcon = [&calls](DWORD message, kx::TNotifyIconDataV1&) {
        calls.push_back(message);
        return TRUE;
    };
    tray::TForm1* form = velfw::Application->CreateForm<tray::TForm1>();
    ASSERT_TRUE(form->KxTrayIcon1->Added());
    calls.clear();
    EXPECT_EQ(::SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::SendMessageA(form->Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(calls.empty()) << "a session that goes on keeps the icon";
    EXPECT_FALSE(QuitPending());
    ::SendMessageA(form->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(calls, (std::vector<DWORD>{NIM_DELETE}));
    EXPECT_FALSE(form->KxTrayIcon1->Added());
    EXPECT_TRUE(QuitPending());
    MSG quit;
    ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // not for the tests that follow
    velfw::DoneFormsUnit();
}

tray::TForm1* g_exitForm = nullptr;
bool g_secondAboutIgnored = false;

void CALLBACK ChooseAboutThenExit(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    const int before = velfw::Application->ComponentCount();
    g_exitForm->About1Click(nullptr);  // still busy: returns at once
    g_secondAboutIgnored = velfw::Application->ComponentCount() == before && g_exitForm->Busy;
    g_exitForm->Exit1Click(nullptr);
}

// Exit chosen from the menu while the about box is up: the box's loop ends,
// a second About meanwhile is ignored, and the box is gone before About
// returns.
TEST_F(TrayFormTest, ExitWhileTheAboutBoxIsUpEndsCleanly) {
    registry.InstallValue("Ravad", "A");
    // Exit ends the program only from the main form: a fresh application.
    velfw::DoneFormsUnit();
    InitApplicationWithoutBoxes();
    velfw::Application->Initialize();
    tray::TForm1* form = velfw::Application->CreateForm<tray::TForm1>();
    g_exitForm = form;
    ::SetTimer(nullptr, 0, 200, ChooseAboutThenExit);
    form->About1Click(nullptr);
    EXPECT_TRUE(g_secondAboutIgnored);
    EXPECT_FALSE(form->Busy);
    EXPECT_TRUE(velfw::Application->Terminated());
    // A fresh application for the tests that follow.
    velfw::DoneFormsUnit();
}

}  // namespace
