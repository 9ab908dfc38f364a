#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "WindowHooks.h"

using namespace velfw;

namespace {

constexpr UINT kProbe = WM_APP + 7;

// A control whose own procedure notes the probe messages it sees.
class TProbeControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::string>* Log = nullptr;
    LRESULT KeyAnswer = 0;  // answer to reflected key messages

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == kProbe && Log) Log->push_back("control");
        TWinControl::WndProc(m);
    }
};

// A hook that notes the probe and passes everything on.
struct LoggingHook {
    LoggingHook(std::vector<std::string>& log, std::string name)
        : hook([this, &log, name](TMessage& m) {
              if (m.Msg == kProbe) log.push_back(name);
              hook.CallSaved(m);
          }) {}
    TWindowHook hook;
};

class WindowHooks : public ::testing::Test {
protected:
    void SetUp() override {
        InitFormsUnit();
        Application->Initialize();
        form = new TForm(nullptr);
        form->SetBounds(10, 10, 300, 200);
        control = PlaceControl<TProbeControl>(form, form, 0, 0, 100, 100);
        control->Log = &log;
        form->HandleNeeded();
    }
    void TearDown() override {
        if (form) form->Free();
        DoneFormsUnit();
    }
    // What a probe sent to the window (and one through Perform) passes.
    std::vector<std::string> Probe() {
        log.clear();
        ::SendMessageA(control->Handle(), kProbe, 0, 0);
        auto viaWindow = log;
        log.clear();
        control->Perform(kProbe, 0, 0);
        EXPECT_EQ(log, viaWindow) << "Perform and the window take the same path";
        return viaWindow;
    }

    std::vector<std::string> log;
    TForm* form = nullptr;
    TProbeControl* control = nullptr;
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(WindowHooks, HooksRunLastInstalledFirstAndComeOffInAnyOrder) {
    EXPECT_EQ(Probe(), (Log{"control"}));
    LoggingHook a(log, "a"), b(log, "b"), c(log, "c");
    a.hook.Install(*control);
    b.hook.Install(*control);
    c.hook.Install(*control);
    EXPECT_EQ(Probe(), (Log{"c", "b", "a", "control"}));
    b.hook.Remove();  // from the middle
    EXPECT_EQ(Probe(), (Log{"c", "a", "control"}));
    c.hook.Remove();  // the outermost
    EXPECT_EQ(Probe(), (Log{"a", "control"}));
    b.hook.Install(*control);
    EXPECT_EQ(Probe(), (Log{"b", "a", "control"}));
    a.hook.Remove();  // the innermost
    EXPECT_EQ(Probe(), (Log{"b", "control"}));
    b.hook.Remove();
    b.hook.Remove();  // twice is harmless
    EXPECT_EQ(Probe(), (Log{"control"}));
    EXPECT_FALSE(a.hook.Installed());
}

TEST_F(WindowHooks, AHookThatSwallowsAMessageStopsIt) {
    TWindowHook hook([&](TMessage& m) {
        if (m.Msg == kProbe) {
            m.Result = 42;
            return;
        }
        hook.CallSaved(m);
    });
    hook.Install(*control);
    log.clear();
    EXPECT_EQ(::SendMessageA(control->Handle(), kProbe, 0, 0), 42);
    EXPECT_TRUE(log.empty());
    // Everything else still reaches the control: it sizes as before.
    ::SetWindowPos(control->Handle(), nullptr, 0, 0, 50, 60, SWP_NOZORDER);
    EXPECT_EQ(control->Width(), 50);
}

TEST_F(WindowHooks, AHookOutlivingItsControlIsHarmless) {
    auto hook = std::make_unique<LoggingHook>(log, "h");
    hook->hook.Install(*control);
    delete control;
    control = nullptr;
    EXPECT_FALSE(hook->hook.Installed());
    hook->hook.Remove();
    hook.reset();
}

TEST_F(WindowHooks, KeysAreReflectedToTheFocusedControlBeforeDispatch) {
    std::vector<UINT> reflected;
    std::vector<UINT> dispatched;
    bool consume = false;
    TWindowHook hook([&](TMessage& m) {
        if (m.Msg >= CN_KEYDOWN && m.Msg <= CN_BASE + WM_KEYLAST) {
            reflected.push_back(m.Msg);
            hook.CallSaved(m);
            if (consume) m.Result = 1;
            return;
        }
        if (m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST) dispatched.push_back(m.Msg);
        hook.CallSaved(m);
    });
    hook.Install(*control);

    // A plain child window inside the control, as the browser has: its keys
    // go to the nearest framework control up the chain.
    HWND inner = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, control->Handle(),
                                   nullptr, nullptr, nullptr);
    ASSERT_TRUE(inner);
    for (HWND target : {control->Handle(), inner}) {
        reflected.clear();
        dispatched.clear();
        consume = false;
        // Function keys: no characters come of them.
        ::PostMessageA(target, WM_KEYDOWN, VK_F5, 1);
        ::PostMessageA(target, WM_KEYUP, VK_F5, 1);
        Application->ProcessMessages();
        EXPECT_EQ(reflected, (std::vector<UINT>{CN_KEYDOWN, CN_KEYUP}));
        if (target == control->Handle()) {
            EXPECT_EQ(dispatched, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP})) << "not consumed: dispatched";
        }

        reflected.clear();
        dispatched.clear();
        consume = true;
        ::PostMessageA(target, WM_KEYDOWN, VK_F6, 1);
        Application->ProcessMessages();
        EXPECT_EQ(reflected, (std::vector<UINT>{CN_KEYDOWN}));
        EXPECT_TRUE(dispatched.empty()) << "consumed: not dispatched";
    }
    ::DestroyWindow(inner);

    // Non-key messages are never reflected; without a hook nothing is consumed.
    reflected.clear();
    ::PostMessageA(control->Handle(), WM_MOUSEMOVE, 0, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(reflected.empty());
    hook.Remove();
    EXPECT_EQ(control->Perform(CN_KEYDOWN, 'A', 0), 0);
}

namespace {

class TLoadedProbe : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool LoadedRan = false;
    bool WindowAtLoaded = false;

protected:
    void Loaded() override {
        TWinControl::Loaded();
        LoadedRan = true;
        WindowAtLoaded = HandleAllocated();
    }
};

}  // namespace

// A form description runs each control's Loaded at the end of its bracket;
// a control made in code afterwards never gets one.
TEST(FormLoading, DescribedControlsRunLoadedCodeMadeOnesDoNot) {
    InitFormsUnit();
    Application->Initialize();
    auto* form = new TForm(nullptr);
    form->BeginLoading();
    auto* described = new TLoadedProbe(form);
    described->SetParent(form);
    form->HandleNeeded();
    EXPECT_FALSE(described->LoadedRan);
    form->EndLoading();
    EXPECT_TRUE(described->LoadedRan);
    EXPECT_TRUE(described->WindowAtLoaded);
    auto* inCode = new TLoadedProbe(form);
    inCode->SetParent(form);
    auto* noOwner = new TLoadedProbe(nullptr);
    EXPECT_FALSE(inCode->LoadedRan);
    EXPECT_FALSE(noOwner->LoadedRan);
    delete noOwner;
    form->Free();
    DoneFormsUnit();
}
