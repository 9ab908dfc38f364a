#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ErrorOf.h"
#include "Forms.h"
#include "KvControl.h"
#include "KvController.h"
#include "KvSrMgr.h"
#include "KvTGRes.h"
#include "MessagePump.h"
#include "OpenStringTables.h"
#include "TestForms.h"

using namespace kv;
using namespace testing_support;

namespace {

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitApplicationWithoutBoxes();
        form = new velfw::TForm(nullptr);
        form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override {
        delete form;
        SetCurrentYearSource(nullptr);
    }
    TKvCustomControl* PlaceControl(const std::string& name, int left, int top) {
        auto* control = velfw::PlaceControl<TKvCustomControl>(form, form, left, top, 100, 20);
        control->Name = name;
        return control;
    }
    OpenStringTables tables;
    velfw::TForm* form = nullptr;
};

}  // namespace

TEST_F(ControllerTest, EpochStartsAtTheCenturyAndTakesOnlyYearsInRange) {
    for (const auto& [year, century] : {std::pair{2026, 2000}, {1999, 1900}, {2000, 2000}}) {
        SetCurrentYearSource([year = year] { return year; });
        TKvController controller(nullptr);
        EXPECT_EQ(controller.Epoch(), century) << year;
    }
    TKvController controller(form);
    controller.SetEpoch(2000);
    const struct {
        int32_t written, read;
    } writes[] = {{1599, 2000}, {4000, 2000}, {1600, 1600}, {3999, 3999}, {-1, 3999}};
    for (const auto& w : writes) {
        controller.SetEpoch(w.written);
        EXPECT_EQ(controller.Epoch(), w.read) << w.written;
    }
    controller.OnGetEpoch = [](velfw::TObject*, int32_t& epoch) { epoch = 1950; };
    EXPECT_EQ(controller.Epoch(), 1950);
    controller.OnGetEpoch = nullptr;
    EXPECT_EQ(controller.Epoch(), 3999) << "the handler changes the read, not the stored value";
}

TEST_F(ControllerTest, OwnsItsCommandsAndTimerPoolAndPassesTriggersOn) {
    auto* controller = new TKvController(form);
    EXPECT_EQ(controller->EntryOptions,
              EFOption(efoAutoSelect) | EFOption(efoBeepOnError) | EFOption(efoInsertPushes));
    EXPECT_EQ(controller->EntryCommands().TableCount(), 3);
    TKvTimerPool& pool = controller->TimerPool();
    EXPECT_EQ(pool.Owner(), controller);

    uint32_t now = 500;
    pool.TickSource = [&now] { return now; };
    std::vector<std::string> seen;
    controller->OnTimerTrigger = [&](velfw::TObject* sender, int32_t handle, uint32_t interval, int32_t elapsed) {
        seen.push_back((sender == &pool ? "pool " : "other ") + std::to_string(handle) + " " +
                       std::to_string(interval) + " " + std::to_string(elapsed));
    };
    const int32_t handle = pool.AddTrigger(100, true, nullptr);
    now += 120;
    ::SendMessageA(pool.WindowHandle(), WM_TIMER, 1, 0);
    EXPECT_EQ(seen, std::vector<std::string>{"pool " + std::to_string(handle) + " 100 120"});

    HWND poolWindow = pool.WindowHandle();
    delete controller;
    EXPECT_FALSE(::IsWindow(poolWindow)) << "the pool goes with its controller";
}

TEST_F(ControllerTest, SpecialControlQueryAsksTheHandlerAboutOurControls) {
    TKvController controller(nullptr);
    TKvCustomControl* edit = PlaceControl("Edit1", 10, 30);
    EXPECT_FALSE(controller.IsSpecialControl(edit->Handle()));
    std::vector<velfw::TWinControl*> asked;
    controller.OnIsSpecialControl = [&](velfw::TObject*, velfw::TWinControl* control, bool& special) {
        asked.push_back(control);
        special = control == edit;
    };
    EXPECT_TRUE(controller.IsSpecialControl(edit->Handle()));
    EXPECT_FALSE(controller.IsSpecialControl(::GetDesktopWindow()));
    EXPECT_EQ(asked, (std::vector<velfw::TWinControl*>{edit, nullptr}));
}

TEST_F(ControllerTest, UniqueComponentNameCountsTheFormsComponents) {
    auto* taken = new velfw::TComponent(form);
    taken->Name = "Edit1Label1";
    EXPECT_EQ(UniqueComponentName(form, "Edit1Label"), "Edit1Label2");
    EXPECT_EQ(UniqueComponentName(form, "Other"), "Other1");
    EXPECT_EQ(ErrorOf([&] { UniqueComponentName(form, "1Edit"); }), "''1Edit'' is not a valid component name");
}

TEST_F(ControllerTest, AttachedLabelSitsAboveItsControlAndFollowsIt) {
    form->Show();
    TKvCustomControl* edit = PlaceControl("Edit1", 50, 60);
    edit->HandleNeeded();
    EXPECT_EQ(ErrorOf([&] { edit->AttachedLabel(); }), "Label not attached");

    edit->SetLabelVisible(true);
    TKvAttachedLabel* label = edit->AttachedLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Name, "Edit1Label1");
    EXPECT_EQ(label->Caption(), "Edit1Label1");
    EXPECT_EQ(label->Owner(), form);
    EXPECT_EQ(label->FocusControl, edit);
    EXPECT_EQ(label->Left(), 50);
    EXPECT_EQ(label->Top() + label->Height(), 60);

    // The label follows its control once the posted move arrives.
    edit->SetBounds(80, 100, 100, 20);
    ASSERT_TRUE(PumpUntil([&] { return label->Left() == 80; }, 2000));
    EXPECT_EQ(label->Top() + label->Height(), 100);

    // A label moved by hand gives the control new offsets.
    label->SetBounds(85, 70, label->Width(), label->Height());
    ASSERT_TRUE(PumpUntil([&] { return edit->LabelInfo().OffsetX() == 5; }, 2000));
    EXPECT_EQ(edit->LabelInfo().OffsetY(), 70 + label->Height() - 100);
    edit->SetBounds(100, 120, 100, 20);
    ASSERT_TRUE(PumpUntil([&] { return label->Left() == 105; }, 2000));

    edit->Hide();
    EXPECT_FALSE(label->Visible());
    edit->Show();
    EXPECT_TRUE(label->Visible());

    edit->SetLabelVisible(false);
    EXPECT_EQ(form->FindComponent("Edit1Label1"), nullptr);
    EXPECT_EQ(ErrorOf([&] { edit->AttachedLabel(); }), "Label not attached");
}

TEST_F(ControllerTest, AMovedLabelKeepsItsOffsetsWhenItsControlMovesBeforeMessagesRun) {
    form->Show();
    TKvCustomControl* edit = PlaceControl("Edit1", 50, 60);
    edit->HandleNeeded();
    edit->SetLabelVisible(true);
    TKvAttachedLabel* label = edit->AttachedLabel();
    PumpFor(50);
    // Label, then control, with no message served in between.
    label->SetBounds(85, 20, label->Width(), label->Height());
    edit->SetBounds(200, 150, 100, 20);
    ASSERT_TRUE(PumpUntil([&] { return label->Left() == 235; }, 2000)) << label->Left();
    EXPECT_EQ(edit->LabelInfo().OffsetX(), 35);
    EXPECT_EQ(label->Top() - 150, 20 - 60);
}

TEST_F(ControllerTest, LabelFreedElsewhereIsForgotten) {
    TKvCustomControl* edit = PlaceControl("Edit1", 50, 60);
    edit->SetLabelVisible(true);
    delete edit->AttachedLabel();
    EXPECT_FALSE(edit->LabelInfo().Visible());
    EXPECT_EQ(edit->LabelInfo().Label(), nullptr);
    // And a control freed before its label takes the label with it.
    edit->SetLabelVisible(true);
    delete edit;
    EXPECT_EQ(form->FindComponent("Edit1Label1"), nullptr);
}

TEST_F(ControllerTest, AdoptMessageIsHonouredOnlyForALabelTheFormOwns) {
    form->Show();
    TKvCustomControl* edit = PlaceControl("Edit1", 50, 60);
    HWND wnd = edit->Handle();

    velfw::TComponent stranger(nullptr);
    auto* foreign = new TKvAttachedLabel(&stranger, edit);
    ::SendMessageA(wnd, kvmAdoptLabel, 0, reinterpret_cast<LPARAM>(foreign));
    ::SendMessageA(wnd, kvmAdoptLabel, 0, 0x12345678);  // no object at all
    ::SendMessageA(wnd, kvmRecordLabel, 0, 0);
    EXPECT_EQ(edit->LabelInfo().Label(), nullptr);
    EXPECT_FALSE(edit->LabelInfo().Visible());

    // A label of the form placed by hand is adopted, and its place recorded.
    auto* own = new TKvAttachedLabel(form, edit);
    own->SetParent(form);
    own->SetBounds(40, 20, 60, 15);
    ASSERT_TRUE(PumpUntil([&] { return edit->LabelInfo().Visible(); }, 2000));
    EXPECT_EQ(edit->AttachedLabel(), own);
    EXPECT_EQ(edit->LabelInfo().OffsetX(), -10);
    EXPECT_EQ(edit->LabelInfo().OffsetY(), 20 + 15 - 60);
}

TEST_F(ControllerTest, WheelAndPointerWordsAreSigned) {
    TKvCustomControl* edit = PlaceControl("Edit1", 50, 60);
    struct Wheel {
        velfw::TShiftState shift;
        int16_t delta, x, y;
    };
    std::vector<Wheel> wheels;
    edit->WheelEvent = [&](velfw::TObject*, velfw::TShiftState shift, int16_t delta, int16_t x, int16_t y) {
        wheels.push_back({shift, delta, x, y});
    };
    ::SendMessageA(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)),
                   MAKELPARAM(static_cast<WORD>(-5), static_cast<WORD>(-7)));
    ::SendMessageA(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 240), MAKELPARAM(1000, 32767));
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0].delta, -120);
    EXPECT_EQ(wheels[0].x, -5);
    EXPECT_EQ(wheels[0].y, -7);
    EXPECT_TRUE(wheels[0].shift & velfw::ssCtrl);
    EXPECT_EQ(wheels[1].delta, 240);
    EXPECT_EQ(wheels[1].y, 32767);
}

TEST_F(ControllerTest, FocusEventsArriveAfterTheFocusMoves) {
    form->Show();
    TKvCustomControl* first = PlaceControl("First", 10, 30);
    TKvCustomControl* second = PlaceControl("Second", 10, 80);
    std::vector<std::string> events;
    first->FocusGainedEvent = [&](velfw::TObject*) { events.push_back("gained"); };
    first->FocusLostEvent = [&](velfw::TObject*) { events.push_back("lost"); };
    ::SetFocus(first->Handle());
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 1; }, 2000));
    ::SetFocus(second->Handle());
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 2; }, 2000));
    EXPECT_EQ(events, (std::vector<std::string>{"gained", "lost"}));
}

TEST_F(ControllerTest, ControlExNeedsAControllerOnItsForm) {
    auto* edit = new TKvCustomControlEx(form);
    edit->SetParent(form);
    EXPECT_EQ(ErrorOf([&] { edit->HandleNeeded(); }), "No Controller assigned");
    EXPECT_FALSE(edit->HandleAllocated());

    auto* controller = new TKvController(form);
    edit->HandleNeeded();
    EXPECT_EQ(edit->AssignedController(), controller);
    delete controller;
    EXPECT_EQ(edit->AssignedController(), nullptr);
}

TEST_F(ControllerTest, ControlsFindAControllerAddedToTheirFormAfterThem) {
    auto* first = new TKvCustomControlEx(form);
    auto* second = new TKvCustomControlEx(form);
    velfw::TForm other(nullptr);
    TKvController elsewhere(&other);  // another form's
    EXPECT_EQ(first->AssignedController(), nullptr);

    auto* controller = new TKvController(form);
    EXPECT_EQ(first->AssignedController(), controller);
    EXPECT_EQ(second->AssignedController(), controller);
    // A later one leaves the assigned controller in place.
    auto* spare = new TKvController(form);
    EXPECT_EQ(first->AssignedController(), controller);
    delete controller;
    EXPECT_EQ(first->AssignedController(), nullptr);
    delete spare;
}

TEST(GlyphResourceManagerTest, CountsUsersAndFreesWithTheLast) {
    TGlyphResourceManager manager;
    HBITMAP bitmap = ::CreateBitmap(4, 4, 1, 1, nullptr);
    EXPECT_EQ(manager.Add(bitmap), bitmap);
    EXPECT_EQ(manager.Add(bitmap), bitmap);  // one entry, counted twice
    EXPECT_TRUE(manager.AddRef(bitmap));
    EXPECT_EQ(manager.Count(), 1);
    EXPECT_EQ(manager.RefCount(bitmap), 3);
    manager.Release(bitmap);
    manager.Release(bitmap);
    EXPECT_NE(::GetObjectType(bitmap), 0u);
    manager.Release(bitmap);
    EXPECT_EQ(::GetObjectType(bitmap), 0u) << "the last user frees the bitmap";
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_FALSE(manager.AddRef(bitmap));
    manager.Release(bitmap);  // no longer held: nothing happens
    EXPECT_EQ(manager.AddResource("NO_SUCH_BITMAP"), nullptr);
    EXPECT_EQ(manager.Count(), 0);
}

TEST(GlyphResourceManagerTest, UnitStartsWithTheProgramsCheckGlyphs) {
    InitKvTGResUnit();
    ASSERT_NE(GlyphResourceManager, nullptr);
    EXPECT_EQ(GlyphResourceManager->Count(), 1);
    DoneKvTGResUnit();
    EXPECT_EQ(GlyphResourceManager, nullptr);
}
