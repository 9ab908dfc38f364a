#include <gtest/gtest.h>

#include <set>

#include "ErrorOf.h"
#include "KvBaseRules.h"
#include "KvUser.h"

using namespace kv;
using testing_support::ErrorOf;

TEST(ComponentBase, UniqueComponentNameCountsFromOne) {
    const std::set<std::string> names = {"Edit1Label1", "Panel1", "Panel2", "panel3"};
    const auto taken = [&names](const std::string& n) { return names.count(n) != 0; };
    const struct {
        const char* base;
        const char* name;
    } rows[] = {{"Edit1Label", "Edit1Label2"}, {"Panel", "Panel3"}, {"Memo", "Memo1"}, {"_x", "_x1"}};
    for (const auto& r : rows) EXPECT_EQ(UniqueComponentName(r.base, taken), r.name) << r.base;

    for (const char* bad : {"", "1Edit", "Edit Label", "Edit-1", "Äre"})
        EXPECT_EQ(ErrorOf<EComponentError>([&] { UniqueComponentName(bad, taken); }),
                  "''" + std::string(bad) + "'' is not a valid component name")
            << bad;
}

TEST(ComponentBase, CenturyAndEpoch) {
    const struct {
        int32_t year, century;
    } years[] = {{2026, 2000}, {1999, 1900}, {2000, 2000}, {2099, 2000}, {2100, 2100}};
    for (const auto& y : years) EXPECT_EQ(CenturyOf(y.year), y.century) << y.year;

    const struct {
        int32_t requested, stored;
    } writes[] = {{1599, 2000}, {4000, 2000}, {1600, 1600}, {3999, 3999}, {-2000, 2000}, {1900, 1900}};
    for (const auto& w : writes) EXPECT_EQ(EpochAfterWrite(2000, w.requested), w.stored) << w.requested;
}

TEST(ComponentBase, AttachedLabelSitsAboveItsControl) {
    const TKvPoint control{40, 100};
    EXPECT_EQ(LabelPosition(control, 13, {0, 0}), (TKvPoint{40, 87}));
    EXPECT_EQ(LabelPosition(control, 13, {-5, 2}), (TKvPoint{35, 89}));
    // Moving the control keeps the label at the same offsets.
    const TKvPoint offsets{7, -3};
    const TKvPoint moved{-20, 300};
    EXPECT_EQ(LabelOffsets(moved, LabelPosition(moved, 13, offsets), 13), offsets);
    EXPECT_EQ(LabelOffsets(control, {40, 87}, 13), (TKvPoint{0, 0}));
}

TEST(ComponentBase, MouseMessageWordsAreSigned) {
    const struct {
        uintptr_t wParam;
        int16_t delta;
    } wheels[] = {{0x00780000u, 120}, {0xFF880000u, -120}, {0xFF880008u, -120}, {0x7FFF0000u, 32767}};
    for (const auto& w : wheels) EXPECT_EQ(WheelDelta(w.wParam), w.delta) << std::hex << w.wParam;

    const struct {
        intptr_t lParam;
        int16_t x, y;
    } points[] = {
        {0x00100020, 32, 16},
        {static_cast<intptr_t>(0x0010FFF6u), -10, 16},  // left of a second monitor
        {static_cast<intptr_t>(0xFFFF0005u), 5, -1},
        {-1, -1, -1},  // sign-extended into a 64-bit parameter
    };
    for (const auto& p : points) {
        EXPECT_EQ(PointerX(p.lParam), p.x) << std::hex << p.lParam;
        EXPECT_EQ(PointerY(p.lParam), p.y) << std::hex << p.lParam;
    }
}

TEST(ComponentBase, UserCharacterClassesStartAsTheLibrarySetsThem) {
    InitKvUserUnit();
    ASSERT_NE(UserData, nullptr);
    for (int i = 0; i < kUserClassCount; ++i) {
        EXPECT_FALSE(UserData->CharacterSets[i].test(0)) << i;
        EXPECT_EQ(UserData->CharacterSets[i].count(), 255u) << i;
        EXPECT_EQ(UserData->CaseModes[i], 0) << i;
        EXPECT_EQ(static_cast<uint8_t>(UserData->SubstituteChars[i]), 241 + i) << i;
    }
    DoneKvUserUnit();
    EXPECT_EQ(UserData, nullptr);
}
