#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestForms.h"

using namespace velfw;

namespace {

// Stands for a page control: it answers Ctrl+Tab and Ctrl+Shift+Tab.
class TPagesProbe : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<std::string> log;

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && (m.LParam & ssCtrl)) {
            log.push_back((m.LParam & ssShift) ? "previous page" : "next page");
            m.Result = 1;
            return;
        }
        TPanel::WndProc(m);
    }
};

// A control that asks for Tab itself.
class TTabEater : public TWinControl {
public:
    explicit TTabEater(TComponent* owner) : TWinControl(owner) { TabStop = true; }
    int tabs = 0;

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_GETDLGCODE) {
            m.Result = DLGC_WANTTAB;
            return;
        }
        if (m.Msg == WM_KEYDOWN && m.WParam == VK_TAB) ++tabs;
        TWinControl::WndProc(m);
    }
};

// The small dialog: OK (default), a memo, a page area holding "&Inner",
// "&Save", a hidden button, a control that is no tab stop, Cancel.
class TDialogForm : public TForm {
public:
    TDialogForm() : TForm(nullptr) {
        SetBounds(20, 20, 400, 300);
        ok = Button("OK", 0);
        ok->Default = true;
        ok->ModalResult = mrOk;
        memo = PlaceControl<TMemo>(this, this, 0, 30, 100, 50);
        pages = PlaceControl<TPagesProbe>(this, this, 0, 90, 200, 60);
        inner = PlaceControl<TButton>(this, pages, 0, 0, 75, 25);
        inner->SetCaption("&Inner");
        inner->OnClick = [this](TObject*) { clicks.push_back("inner"); };
        save = Button("&Save", 160);
        hidden = Button("&Hidden", 190);
        hidden->Hide();
        noStop = PlaceControl<TWinControl>(this, this, 200, 0, 50, 20);
        cancel = Button("Cancel", 220);
        cancel->Cancel = true;
        Show();
    }
    TButton* Button(const std::string& caption, int top) {
        auto* b = PlaceControl<TButton>(this, this, 250, top, 80, 24);
        b->SetCaption(caption);
        b->OnClick = [this, caption](TObject*) { clicks.push_back(caption); };
        return b;
    }
    TButton *ok, *inner, *save, *hidden, *cancel;
    TMemo* memo;
    TPagesProbe* pages;
    TWinControl* noStop;
    std::vector<std::string> clicks;
};

class DialogKeys : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        Application->Initialize();
        form = new TDialogForm();
        SetShift(false, false);
    }
    void TearDown() override {
        SetShift(false, false);
        delete form;
        DoneFormsUnit();
    }
    static void SetShift(bool shift, bool ctrl) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    // A key as the message loop gets it, at the window with the focus.
    static void Press(UINT msg, WPARAM key) {
        ::PostMessageA(::GetFocus(), msg, key, 1);
        Application->ProcessMessages();
    }
    // The framework control with the focus: the memo's window is its own.
    TWinControl* Focused() { return form->FocusedControl(); }
    TDialogForm* form = nullptr;
};

}  // namespace

TEST_F(DialogKeys, TabVisitsTheTabStopsInOrderAndWraps) {
    form->ok->SetFocus();
    std::vector<TWinControl*> seen;
    for (int i = 0; i < 5; ++i) {
        Press(WM_KEYDOWN, VK_TAB);
        seen.push_back(Focused());
    }
    // Hidden buttons and controls that are no tab stop are passed over; a
    // control inside a container comes where the container stands.
    EXPECT_EQ(seen, (std::vector<TWinControl*>{form->memo, form->inner, form->save, form->cancel, form->ok}));
    SetShift(true, false);
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Focused(), form->cancel);
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Focused(), form->save);
    EXPECT_TRUE(form->clicks.empty());
}

TEST_F(DialogKeys, TabOrderCanBeChanged) {
    EXPECT_EQ(form->ok->TabOrder(), 0);
    EXPECT_EQ(form->cancel->TabOrder(), 6);
    form->cancel->SetTabOrder(0);
    EXPECT_EQ(form->cancel->TabOrder(), 0);
    EXPECT_EQ(form->ok->TabOrder(), 1);
    form->save->SetFocus();
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Focused(), form->cancel) << "round to the new first";
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Focused(), form->ok);
    form->save->SetEnabled(false);
    form->inner->SetFocus();
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Focused(), form->cancel) << "a disabled button is passed over";
}

TEST_F(DialogKeys, EnterAndEscapeGoToTheDefaultAndCancelButtons) {
    form->noStop->SetFocus();
    Press(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(form->ModalResult, mrOk);
    Press(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"OK", "Cancel"}));
    // A focused button takes Enter itself.
    form->clicks.clear();
    form->save->SetFocus();
    Press(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"&Save"}));
}

TEST_F(DialogKeys, AControlThatAsksForAKeyKeepsIt) {
    auto* eater = PlaceControl<TTabEater>(form, form, 0, 160, 50, 20);
    eater->SetFocus();
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Focused(), eater);
    EXPECT_EQ(eater->tabs, 1);
    // The multi-line memo keeps Enter: no default button is clicked.
    form->memo->SetFocus();
    Press(WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(form->clicks.empty());
    EXPECT_EQ(Focused(), form->memo);
}

TEST_F(DialogKeys, AltAndTheMnemonicClickThatButton) {
    form->ok->SetFocus();
    Press(WM_SYSCHAR, 's');
    Press(WM_SYSCHAR, 'I');  // inside a container, and either case
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"&Save", "inner"}));
    form->clicks.clear();
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'h', 0), 0) << "a hidden button's mnemonic does nothing";
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_TRUE(form->clicks.empty());
}

// A form that wants every key: dialog navigation leaves them all to the
// window with the focus, also when that is not the form.
class TAllKeysForm : public TDialogForm {
protected:
    LRESULT DialogCodes() override { return DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS | DLGC_WANTCHARS; }
};

TEST_F(DialogKeys, AFormThatWantsEveryKeyKeepsThemFromNavigation) {
    delete form;
    form = new TAllKeysForm();
    std::vector<WORD> keys;
    form->noStop->OnKeyDown = [&keys](TObject*, WORD& key, TShiftState) { keys.push_back(key); };
    form->noStop->SetFocus();
    Press(WM_KEYDOWN, VK_TAB);
    Press(WM_KEYDOWN, VK_RETURN);
    Press(WM_KEYDOWN, VK_ESCAPE);
    Press(WM_SYSCHAR, 's');
    EXPECT_EQ(keys, (std::vector<WORD>{VK_TAB, VK_RETURN, VK_ESCAPE}));
    EXPECT_EQ(Focused(), form->noStop) << "Tab moved nothing";
    EXPECT_TRUE(form->clicks.empty()) << "no default, cancel or mnemonic button answered";
    EXPECT_EQ(form->ModalResult, mrNone);
}

TEST_F(DialogKeys, CtrlTabGoesToThePageControlAroundTheFocus) {
    form->inner->SetFocus();
    SetShift(false, true);
    Press(WM_KEYDOWN, VK_TAB);
    SetShift(true, true);
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(form->pages->log, (std::vector<std::string>{"next page", "previous page"}));
    EXPECT_EQ(Focused(), form->inner) << "Ctrl+Tab is not Tab";
    // Outside the page control nobody answers, and the focus stays.
    form->pages->log.clear();
    form->ok->SetFocus();
    Press(WM_KEYDOWN, VK_TAB);
    EXPECT_TRUE(form->pages->log.empty());
    EXPECT_EQ(Focused(), form->ok);
}
