// The application window in the program's own process: shown with the main
// form as the program's taskbar button, handing its activation on to the
// form the user works in, and closed from the taskbar as the main form is.
#include <gtest/gtest.h>

#include <windows.h>

#include "Forms.h"
#include "TestForms.h"

using namespace velfw;

namespace {

class ApplicationWindow : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        Application->Initialize();
        app = Application->Handle();
    }
    void TearDown() override { DoneFormsUnit(); }
    // A shown form of the application, the main form when it is the first.
    TForm* ShownForm(int left) {
        TForm* form = Application->CreateForm<TForm>();
        form->SetBounds(left, 40, 200, 120);
        form->Show();
        return form;
    }
    HWND app = nullptr;
};

}  // namespace

TEST_F(ApplicationWindow, ShownWithTheMainFormUnlessTheProgramWantsNoButton) {
    for (const bool button : {true, false}) {
        SCOPED_TRACE(button ? "with a button" : "without one");
        Application->ShowTaskbarButton = button;
        EXPECT_FALSE(::IsWindowVisible(app)) << "nothing is shown before the main form";
        TForm* main = ShownForm(40);
        EXPECT_EQ(::IsWindowVisible(app) != FALSE, button);
        EXPECT_EQ(::GetWindow(main->Handle(), GW_OWNER), app) << "the form has no button of its own";
        main->Hide();
        EXPECT_FALSE(::IsWindowVisible(app)) << "the button goes with the main form";
        Application->DestroyForms();
    }
}

TEST_F(ApplicationWindow, ActivatedItHandsOnToTheUppermostFormTheUserCanUse) {
    TForm* main = ShownForm(40);
    TForm* box = ShownForm(300);
    struct Case {
        const char* name;
        bool mainEnabled;
        bool boxShown;
        TForm* expected;
    } cases[] = {
        // Even below the disabled form, the box is the one that can take it.
        {"a box up that disables the main form", false, true, box},
        {"the box closed", true, false, main},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::EnableWindow(main->Handle(), c.mainEnabled);
        if (c.boxShown) box->Show();
        else box->Hide();
        ::SetWindowPos(main->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::SetActiveWindow(app);
        Application->ProcessMessages();
        EXPECT_EQ(::GetActiveWindow(), c.expected->Handle());
    }
}

TEST_F(ApplicationWindow, CloseFromTheTaskbarClosesTheMainFormAndDestroysNothing) {
    TForm* main = ShownForm(40);
    int closes = 0;
    main->OnClose = [&](TObject*, TCloseAction& action) {
        ++closes;
        action = TCloseAction::caNone;  // as a form that refuses
    };
    ::SendMessageA(app, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(::IsWindow(app));
    EXPECT_TRUE(::IsWindow(main->Handle()));
    main->OnClose = nullptr;
    ::SendMessageA(app, WM_CLOSE, 0, 0);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends as its main form closes";
    EXPECT_TRUE(::IsWindow(main->Handle()));
}
