#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Forms.h"
#include "MessageRoutes.h"
#include "TestForms.h"
#include "UtilityWindow.h"

using namespace velfw;

namespace {

const char kClass[] = "VelunorTestUtilityWindow";
constexpr UINT kProbe = WM_APP + 11;

class UtilityWindow : public ::testing::Test {
protected:
    void SetUp() override {
        InitFormsUnit();
        Application->Initialize();
        reports.emplace();
    }
    void TearDown() override {
        reports.reset();  // before the application it records for goes
        DoneFormsUnit();
    }

    std::optional<testing_support::ReportedFailures> reports;
};

// A window of its own kind answers in its method, not through a handler.
class TCountingWindow : public TUtilityWindow {
public:
    TCountingWindow() : TUtilityWindow(kClass, TUtilityWindowKind::MessageOnly) {}
    int Probes = 0;

protected:
    bool HandleMessage(TMessage& m) override {
        if (m.Msg != kProbe) return false;
        m.Result = ++Probes;
        return true;
    }
};

}  // namespace

TEST_F(UtilityWindow, OnlyTheHiddenTopLevelKindHearsBroadcasts) {
    const UINT broadcast = ::RegisterWindowMessageA("VelunorTestUtilityBroadcast");
    struct Case {
        TUtilityWindowKind kind;
        bool hears;
    } cases[] = {{TUtilityWindowKind::MessageOnly, false}, {TUtilityWindowKind::HiddenTopLevel, true}};
    for (const Case& c : cases) {
        int heard = 0;
        TUtilityWindow w(kClass, c.kind, [&](TMessage& m) {
            if (m.Msg != broadcast) return false;
            ++heard;
            return true;
        });
        ASSERT_TRUE(::IsWindow(w.Handle()));
        EXPECT_FALSE(::IsWindowVisible(w.Handle()));
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(HWND_BROADCAST, broadcast, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
        EXPECT_EQ(heard, c.hears ? 1 : 0) << "kind " << static_cast<int>(c.kind);
        EXPECT_EQ(::SendMessageA(w.Handle(), broadcast, 0, 0), 0);
        EXPECT_EQ(heard, c.hears ? 2 : 1) << "sent to its handle, it always arrives";
    }
}

TEST_F(UtilityWindow, AnsweredMessagesReturnTheResultOthersGoToTheDefaultProcedure) {
    TUtilityWindow w(kClass, TUtilityWindowKind::MessageOnly, [](TMessage& m) {
        if (m.Msg != kProbe) return false;
        m.Result = static_cast<LRESULT>(m.WParam) * 2;
        return true;
    });
    EXPECT_EQ(::SendMessageA(w.Handle(), kProbe, 21, 0), 42);
    ::SetWindowTextA(w.Handle(), "abcde");
    EXPECT_EQ(::GetWindowTextLengthA(w.Handle()), 5) << "the default procedure kept the text";

    TCountingWindow counting;
    EXPECT_EQ(::SendMessageA(counting.Handle(), kProbe, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(counting.Handle(), kProbe, 0, 0), 2);
}

TEST_F(UtilityWindow, AMenuCommandTheOwnerLeavesTakesTheRouteByCommandId) {
    int clicks = 0;
    TCommandId command(TMenuItemHandlers{[&] { ++clicks; }, {}, {}});
    for (const bool ownerAnswers : {false, true}) {
        int asked = 0;
        TUtilityWindow w(kClass, TUtilityWindowKind::HiddenTopLevel, [&](TMessage& m) {
            if (m.Msg != WM_COMMAND) return false;
            ++asked;
            return ownerAnswers;
        });
        clicks = 0;
        ::SendMessageA(w.Handle(), WM_COMMAND, MAKEWPARAM(command.Id(), 0), 0);
        EXPECT_EQ(asked, 1) << "the owner is asked first";
        EXPECT_EQ(clicks, ownerAnswers ? 0 : 1) << (ownerAnswers ? "answered by the owner" : "left by the owner");
    }
}

TEST_F(UtilityWindow, AFailingHandlerIsReportedOnceAndNothingUnwindsThroughTheSystem) {
    TUtilityWindow w(kClass, TUtilityWindowKind::MessageOnly, [](TMessage& m) -> bool {
        if (m.Msg == kProbe) throw Exception("probe failed");
        return false;
    });
    EXPECT_EQ(::SendMessageA(w.Handle(), kProbe, 0, 0), 0);
    EXPECT_EQ(reports->messages, std::vector<std::string>{"probe failed"});
    // Posted and dispatched by the loop: the same.
    ::PostMessageA(w.Handle(), kProbe, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(reports->messages.size(), 2u);
}

TEST_F(UtilityWindow, TheOwnerMayFreeTheWindowFromInsideItsMessage) {
    auto w = std::make_unique<TUtilityWindow>(kClass, TUtilityWindowKind::HiddenTopLevel);
    HWND handle = w->Handle();
    auto freeing = std::make_unique<TUtilityWindow>(kClass, TUtilityWindowKind::MessageOnly, [&](TMessage& m) {
        if (m.Msg != kProbe) return false;
        w.reset();
        m.Result = 7;
        return true;
    });
    EXPECT_EQ(::SendMessageA(freeing->Handle(), kProbe, 0, 0), 7);
    EXPECT_FALSE(::IsWindow(handle));

    // A window that frees itself.
    TUtilityWindow* self = nullptr;
    self = new TUtilityWindow(kClass, TUtilityWindowKind::MessageOnly, [&](TMessage& m) {
        if (m.Msg != kProbe) return false;
        delete self;
        return true;
    });
    handle = self->Handle();
    ::SendMessageA(handle, kProbe, 0, 0);
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_TRUE(reports->messages.empty());
}

TEST_F(UtilityWindow, AWindowDestroyedFromOutsideLeavesNoDeadHandle) {
    TUtilityWindow w(kClass, TUtilityWindowKind::HiddenTopLevel);
    ::DestroyWindow(w.Handle());
    EXPECT_EQ(w.Handle(), nullptr);
}
