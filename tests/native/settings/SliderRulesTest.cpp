#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "Classes.h"
#include "ErrorOf.h"
#include "SliderRules.h"

using namespace settings;
using testing_support::ErrorOf;

namespace {

constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();

// The control as the model sees it: a record of what it was asked.
struct FakeHost : ISliderHost {
    int changes = 0, changed = 0, rangeChanged = 0, invalidates = 0, partInvalidates = 0;
    int timerStarts = 0, timerStops = 0;
    void Change() override { ++changes; }
    void Changed() override { ++changed; }
    void RangeChanged() override { ++rangeChanged; }
    void Invalidate() override { ++invalidates; }
    void InvalidateRect(const Rect&) override { ++partInvalidates; }
    void StartTrackTimer() override { ++timerStarts; }
    void StopTrackTimer() override { ++timerStops; }
};

// A slider with the built-in image sizes, laid out as the settings form's.
struct Slider {
    FakeHost host;
    SliderModel model{host};

    explicit Slider(int32_t width = 289, int32_t height = 33, int32_t minValue = 0, int32_t maxValue = 100,
                    int32_t increment = 10) {
        model.SetImageSize(SliderImage::HThumb, 18, 17);
        model.SetImageSize(SliderImage::HRuler, 10, 8);
        model.SetImageSize(SliderImage::VThumb, 38, 9);
        model.SetImageSize(SliderImage::VRuler, 8, 10);
        model.SetArea({0, 0, width, height}, height);
        model.EndConstruction();
        // The form's description order: range, then increment.
        model.BeginLoading();
        model.SetRange(minValue, maxValue);
        model.SetIncrement(increment);
        model.Loaded();
        host = FakeHost{};
    }
    void Press(int32_t x) { model.MouseDown({x, model.ThumbRect().Top + 2}, true); }
};

TEST(RoundDivHalfEven, HalvesGoToTheEvenNeighbour) {
    struct Case {
        int64_t num, den, result;
    };
    const Case cases[] = {
        {5, 2, 2},   {7, 2, 4},  {-5, 2, -2}, {-7, 2, -4}, {5, -2, -2}, {1, 3, 0},
        {2, 3, 1},   {-2, 3, -1}, {25, 10, 2}, {35, 10, 4}, {0, 7, 0},  {9, 0, 0},
        {std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max() - 1, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundDivHalfEven(c.num, c.den), c.result) << c.num << "/" << c.den;
}

TEST(SliderLayout, BuiltInImagesOnTheSettingsForm) {
    struct Case {
        int32_t width, ruler, travel;
    };
    for (const auto& c : {Case{289, 277, 268}, Case{317, 305, 296}, Case{150, 138, 129}, Case{5, 0, -9}}) {
        Slider s(c.width);
        EXPECT_EQ(s.model.RulerWidth(), c.ruler) << c.width;
        EXPECT_EQ(s.model.RulerHeight(), 8) << c.width;
        EXPECT_EQ(s.model.Travel(), c.travel) << c.width;
    }
    Slider s;
    // The thumb (17 high) is taller than the ruler (8): the ruler is centred on it.
    EXPECT_EQ(s.model.RulerOrigin().X, 6);
    EXPECT_EQ(s.model.RulerOrigin().Y, 10);
    EXPECT_EQ(s.model.ThumbRect().Top, 6);
    EXPECT_EQ(s.model.ThumbRect().Bottom, 23);
    EXPECT_EQ(kx::RectWidth(s.model.ThumbRect()), 9);
    EXPECT_EQ(s.model.PointsOrigin().Y, 24);
}

TEST(SliderLayout, BevelAndVerticalOrientation) {
    Slider s;
    s.model.SetArea({1, 1, 288, 32}, 33);  // a one-pixel bevel
    EXPECT_EQ(s.model.RulerWidth(), 275);
    EXPECT_EQ(s.model.RulerOrigin().X, 7);

    EXPECT_TRUE(s.model.SetOrientation(TSliderOrientation::soVertical));
    EXPECT_FALSE(s.model.SetOrientation(TSliderOrientation::soVertical));
    s.model.SetArea({0, 0, 33, 289}, 289);  // the control swapped its width and height
    EXPECT_EQ(s.model.RulerHeight(), 277);
    EXPECT_EQ(s.model.RulerWidth(), 8);
    EXPECT_EQ(s.model.Travel(), 268);
    // The thumb (19 wide) is wider than the ruler (8).
    EXPECT_EQ(s.model.RulerOrigin().X, 6 + 5);
    EXPECT_EQ(s.model.ThumbRect().Left, 6);
    EXPECT_EQ(s.model.PointsOrigin().X, 7 + 19);
    // Highest value at the top.
    EXPECT_EQ(s.model.OffsetOfValue(100), 6);
    EXPECT_EQ(s.model.OffsetOfValue(0), 6 + 268);
    EXPECT_EQ(s.model.ValueOfOffset(6), 100);
    EXPECT_EQ(s.model.ValueOfOffset(6 + 268), 0);
    EXPECT_EQ(s.model.ValueOfOffset(6 + 134), 50);
}

// Pieces must tile the ruler exactly and read only inside the image.
void ExpectTiles(const std::vector<RulerPiece>& pieces, int32_t image, int32_t length, const std::string& name) {
    int32_t next = 0;
    for (const auto& p : pieces) {
        EXPECT_EQ(p.Dest, next) << name;
        EXPECT_GT(p.Length, 0) << name;
        EXPECT_GE(p.Source, 0) << name;
        EXPECT_LE(p.Source + p.Length, image) << name;
        next = p.Dest + p.Length;
    }
    EXPECT_EQ(next, length) << name;
}

TEST(RulerPieces, TileTheRuler) {
    struct Case {
        const char* name;
        int32_t image, edge, length;
        std::vector<RulerPiece> first;  // the leading pieces expected
        RulerPiece last;
        size_t count;
    };
    const Case cases[] = {
        {"built-in ruler, 277 long", 10, 2, 277, {{0, 8, 0}, {2, 6, 8}}, {5, 5, 272}, 46},
        {"exactly one image", 10, 2, 10, {{0, 8, 0}}, {8, 2, 8}, 2},
        {"no edges", 4, 0, 10, {{0, 4, 0}, {0, 4, 4}}, {2, 2, 8}, 3},
        {"shorter than the image", 10, 2, 5, {}, {0, 5, 0}, 1},
    };
    for (const auto& c : cases) {
        const auto pieces = PlanRulerPieces(c.image, c.edge, c.length);
        ASSERT_EQ(pieces.size(), c.count) << c.name;
        for (size_t i = 0; i < c.first.size(); ++i) {
            EXPECT_EQ(pieces[i].Source, c.first[i].Source) << c.name;
            EXPECT_EQ(pieces[i].Length, c.first[i].Length) << c.name;
            EXPECT_EQ(pieces[i].Dest, c.first[i].Dest) << c.name;
        }
        EXPECT_EQ(pieces.back().Source, c.last.Source) << c.name;
        EXPECT_EQ(pieces.back().Length, c.last.Length) << c.name;
        EXPECT_EQ(pieces.back().Dest, c.last.Dest) << c.name;
        ExpectTiles(pieces, c.image, c.length, c.name);
    }
}

TEST(RulerPieces, ImagesWithoutBodyDrawNoBodyPieces) {
    struct Case {
        const char* name;
        int32_t image, edge, length;
        size_t count;
    };
    const Case cases[] = {
        {"body of 0", 4, 2, 277, 1},        {"body below 0", 3, 2, 277, 1}, {"edge longer than image", 3, 5, 277, 0},
        {"empty image", 0, 2, 277, 0},      {"no length", 10, 2, 0, 0},     {"negative edge", 10, -1, 277, 0},
    };
    for (const auto& c : cases) {
        const auto pieces = PlanRulerPieces(c.image, c.edge, c.length);
        ASSERT_EQ(pieces.size(), c.count) << c.name;
        for (const auto& p : pieces) EXPECT_LE(p.Source + p.Length, c.image) << c.name;
    }
    // A user image with no body still lays the slider out.
    Slider s;
    s.model.SetImageSize(SliderImage::HRuler, 4, 8);
    EXPECT_EQ(s.model.RulerPieces().size(), 1u);
    s.model.SetValue(50);
    EXPECT_EQ(s.model.Value(), 50);
}

TEST(SliderMapping, ValueToOffsetRoundsHalfToEven) {
    struct Case {
        int32_t minValue, maxValue, value, offset;
    };
    const Case cases[] = {
        {10, 120, 10, 6},        {10, 120, 120, 274},   {10, 120, 65, 140},
        {0, 8, 1, 6 + 34},       // 33.5 rounds to 34
        {0, 8, 3, 6 + 100},      // 100.5 rounds to 100
        {kMin32, kMax32, 0, 6 + 134},  // range and product in 64 bits
        {kMin32, kMax32, kMax32, 274},
    };
    for (const auto& c : cases) {
        Slider s(289, 33, c.minValue, c.maxValue, 1);
        EXPECT_EQ(s.model.OffsetOfValue(c.value), c.offset) << c.minValue << ".." << c.maxValue << " " << c.value;
    }
}

TEST(SliderMapping, OffsetToValue) {
    struct Case {
        const char* name;
        bool smooth;
        int32_t minValue, maxValue, offset, value;
    };
    const Case cases[] = {
        {"start", true, 10, 120, 6, 10},
        {"end", true, 10, 120, 274, 120},
        {"before the start", true, 10, 120, -50, 10},
        {"past the end", true, 10, 120, 900, 120},
        {"every integer when smooth", true, 10, 120, 6 + 22, 19},  // 22 * 110 / 268 = 9.03
        {"steps from the minimum otherwise", false, 10, 120, 6 + 22, 20},
        {"steps from the minimum, down", false, 10, 120, 6 + 10, 10},
        {"whole 32-bit range", true, kMin32, kMax32, 6 + 134, 0},
    };
    for (const auto& c : cases) {
        Slider s(289, 33, c.minValue, c.maxValue, 10);
        s.model.SetOptions(c.smooth ? TSliderOptions{soSmooth} : 0);
        EXPECT_EQ(s.model.ValueOfOffset(c.offset), c.value) << c.name;
    }
}

TEST(SliderValue, ClampsAndFiresChangeOnlyOnAChange) {
    Slider s(289, 33, 10, 120, 10);
    s.model.SetValue(50);
    s.host = FakeHost{};
    struct Step {
        int32_t set, value, changes;
    };
    for (const auto& step : {Step{0, 10, 1}, Step{10, 10, 1}, Step{500, 120, 2}, Step{kMin32, 10, 3}, Step{77, 77, 4}}) {
        s.model.SetValue(step.set);
        EXPECT_EQ(s.model.Value(), step.value) << step.set;
        EXPECT_EQ(s.host.changes, step.changes) << step.set;
    }
    EXPECT_EQ(s.model.ThumbRect().Left, s.model.OffsetOfValue(77));
    EXPECT_EQ(s.host.changed, 0);
}

TEST(SliderSteps, KeysStepToMultiplesOfTheIncrement) {
    struct Case {
        const char* name;
        int32_t minValue, maxValue, increment, from;
        SliderKey key;
        int32_t to;
    };
    const Case cases[] = {
        {"25 Right", 0, 100, 10, 25, SliderKey::Right, 30},
        {"25 Left", 0, 100, 10, 25, SliderKey::Left, 10},
        {"35 Right", 0, 100, 10, 35, SliderKey::Right, 50},
        {"35 Left", 0, 100, 10, 35, SliderKey::Left, 30},
        {"Home", 10, 120, 5, 50, SliderKey::Home, 10},
        {"End", 10, 120, 5, 50, SliderKey::End, 120},
        {"Right from 118", 10, 120, 5, 118, SliderKey::Right, 120},
        {"Left at the minimum", 10, 120, 5, 10, SliderKey::Left, 10},
        {"multiples count from 0, not the minimum", 3, 100, 10, 3, SliderKey::Right, 10},
        {"negative halves to even", -100, 100, 10, -25, SliderKey::Left, -30},
        {"no overflow at the top", kMax32 - 20, kMax32, 15, kMax32 - 1, SliderKey::Right, kMax32},
    };
    for (const auto& c : cases) {
        Slider s(289, 33, c.minValue, c.maxValue, c.increment);
        s.model.SetValue(c.from);
        s.host = FakeHost{};
        EXPECT_TRUE(s.model.KeyDown(c.key, false, true)) << c.name;
        EXPECT_EQ(s.model.Value(), c.to) << c.name;
        EXPECT_EQ(s.host.changes, c.from == c.to ? 0 : 1) << c.name;
        EXPECT_EQ(s.host.changed, 1) << c.name;  // also when the value stayed
    }
}

TEST(SliderSteps, KeysTheSliderLeavesAlone) {
    struct Case {
        const char* name;
        bool vertical, modifier, canModify;
        SliderKey key;
        bool consumed;
        int32_t to;
    };
    const Case cases[] = {
        {"with Shift, Ctrl or Alt", false, true, true, SliderKey::Right, false, 50},
        {"read-only", false, false, false, SliderKey::Home, false, 50},
        {"Up on a horizontal slider", false, false, true, SliderKey::Up, false, 50},
        {"other keys", false, false, true, SliderKey::Other, false, 50},
        {"Left on a vertical slider", true, false, true, SliderKey::Left, false, 50},
        {"Up on a vertical slider", true, false, true, SliderKey::Up, true, 60},
        {"Down on a vertical slider", true, false, true, SliderKey::Down, true, 40},
    };
    for (const auto& c : cases) {
        Slider s;
        if (c.vertical) s.model.SetOrientation(TSliderOrientation::soVertical);
        s.model.SetValue(50);
        s.host = FakeHost{};
        EXPECT_EQ(s.model.KeyDown(c.key, c.modifier, c.canModify), c.consumed) << c.name;
        EXPECT_EQ(s.model.Value(), c.to) << c.name;
        EXPECT_EQ(s.host.changed, c.consumed ? 1 : 0) << c.name;
    }
}

TEST(SliderRange, RulesOfMinimumAndMaximum) {
    Slider s(289, 33, 0, 100, 10);
    s.model.SetValue(4);
    s.host = FakeHost{};

    s.model.SetMaxValue(5);  // range 0..5 with increment 10
    EXPECT_EQ(s.model.Increment(), 5);
    EXPECT_EQ(s.host.rangeChanged, 1);
    EXPECT_EQ(s.host.changes, 0);

    s.model.SetMaxValue(5);  // unchanged: nothing happens
    EXPECT_EQ(s.host.rangeChanged, 1);

    s.model.SetMinValue(5);  // minimum not below maximum: ignored
    s.model.SetRange(9, 2);
    EXPECT_EQ(s.model.MinValue(), 0);
    EXPECT_EQ(s.model.MaxValue(), 5);
    EXPECT_EQ(s.host.rangeChanged, 1);

    s.model.SetMinValue(4);  // the value follows with a change event
    EXPECT_EQ(s.model.Value(), 4);
    s.model.SetRange(4, 8);
    s.model.SetMinValue(6);
    EXPECT_EQ(s.model.Value(), 6);
    EXPECT_EQ(s.host.changes, 1);
    EXPECT_EQ(s.model.Increment(), 1);  // 4..5 made it 1; widening never raises it

    // The widest range there is, computed without overflow.
    s.model.SetRange(kMin32, kMax32);
    EXPECT_EQ(s.model.Increment(), 1);
    EXPECT_EQ(s.model.Value(), 6);
}

TEST(SliderRange, IncrementMustFitTheRange) {
    struct Case {
        int32_t minValue, maxValue, increment;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {0, 100, 0, "Value must be between 1 and 100"},
        {0, 100, -5, "Value must be between 1 and 100"},
        {0, 100, 101, "Value must be between 1 and 100"},
        {10, 120, 111, "Value must be between 1 and 110"},
        {0, 100, 100, nullptr},
        {0, 100, 1, nullptr},
        {kMin32, kMax32, 0, "Value must be between 1 and 2147483647"},
        {kMin32, kMax32, kMax32, nullptr},
    };
    for (const auto& c : cases) {
        Slider s(289, 33, c.minValue, c.maxValue, 1);
        s.model.SetValue(c.minValue + 7);
        s.host = FakeHost{};
        if (c.message) {
            EXPECT_EQ(ErrorOf([&] { s.model.SetIncrement(c.increment); }), c.message) << c.increment;
            EXPECT_EQ(s.model.Increment(), 1);
        } else {
            s.model.SetIncrement(c.increment);
            EXPECT_EQ(s.model.Increment(), c.increment);
            EXPECT_EQ(s.host.invalidates, c.increment == 1 ? 0 : 1);
        }
        EXPECT_EQ(s.model.Value(), c.minValue + 7);
        EXPECT_EQ(s.host.changes, 0);
    }
}

TEST(SliderLoading, FormValuesAreMadeSoundWhenLoadingEnds) {
    FakeHost host;
    SliderModel model(host);
    model.SetImageSize(SliderImage::HThumb, 18, 17);
    model.SetImageSize(SliderImage::HRuler, 10, 8);
    model.SetArea({0, 0, 289, 33}, 33);
    model.EndConstruction();

    model.BeginLoading();
    model.SetIncrement(500);  // taken while the range is not yet known
    model.SetIncrement(0);    // an increment of 0 is never taken
    model.SetRange(40, 40);   // an empty range from the form
    model.SetValue(99);
    EXPECT_EQ(model.Increment(), 500);
    model.Loaded();
    EXPECT_EQ(model.Value(), 40);
    EXPECT_EQ(model.OffsetOfValue(40), 6);  // the thumb at the start
    EXPECT_EQ(model.ThumbRect().Left, 6);
    EXPECT_EQ(model.ValueOfOffset(200), 40);
    EXPECT_EQ(model.TickPoints(model.Increment(), 5, 3).size(), 1u);
    model.Step(StepKind::Up);
    EXPECT_EQ(model.Value(), 40);

    // An upside-down range collapses onto its minimum.
    model.BeginLoading();
    model.SetRange(30, 20);
    model.Loaded();
    EXPECT_EQ(model.MinValue(), 30);
    EXPECT_EQ(model.MaxValue(), 30);
    EXPECT_EQ(model.Value(), 30);
}

TEST(SliderTicks, PointsOfTheSettingsForm) {
    Slider s(289, 33, 10, 120, 10);
    const auto points = s.model.TickPoints(10, kTickEndLength, kTickLength);
    ASSERT_EQ(points.size(), 12u);
    for (size_t i = 0; i < points.size(); ++i) {
        const int32_t value = 10 + 10 * static_cast<int32_t>(i);
        EXPECT_EQ(points[i].Value, value);
        EXPECT_EQ(points[i].From.X, s.model.OffsetOfValue(value) + 4);
        EXPECT_EQ(points[i].From.Y, 24);
        EXPECT_EQ(points[i].To.Y - points[i].From.Y, i == 0 || i == 11 ? 5 : 3);
    }
}

TEST(SliderTicks, DenseRangesThinOut) {
    struct Case {
        const char* name;
        int32_t minValue, maxValue, step;
        int32_t secondValue;  // where the second point lands
        size_t count;
    };
    const Case cases[] = {
        {"1000 values on 268 pixels", 0, 1000, 1, 15, 68},
        {"spacing already wide enough", 0, 50, 1, 1, 51},
        {"uneven last step ends at the maximum", 0, 100, 30, 30, 4},
        {"the whole 32-bit range", kMin32, kMax32, 1, kMin32 + 63629146, 68},
    };
    for (const auto& c : cases) {
        Slider s(289, 33, c.minValue, c.maxValue, 1);
        const auto points = s.model.TickPoints(c.step, 5, 3);
        ASSERT_EQ(points.size(), c.count) << c.name;
        EXPECT_EQ(points.front().Value, c.minValue) << c.name;
        EXPECT_EQ(points[1].Value, c.secondValue) << c.name;
        EXPECT_EQ(points.back().Value, c.maxValue) << c.name;
        for (size_t i = 1; i < points.size(); ++i) EXPECT_GT(points[i].From.X, points[i - 1].From.X) << c.name;
    }
    Slider tooSmall(10);
    EXPECT_TRUE(tooSmall.model.TickPoints(10, 5, 3).empty());
}

TEST(SliderTracking, HoldingTheButtonWalksTheThumbToThePointer) {
    Slider s;  // 0..100, increment 10; value 0, thumb at 6..15
    const int32_t pointer = s.model.OffsetOfValue(35);
    s.Press(pointer);
    EXPECT_TRUE(s.model.Tracking());
    EXPECT_EQ(s.model.Value(), 10);  // one step at once
    EXPECT_EQ(s.host.timerStarts, 1);
    for (int tick = 0; tick < 10; ++tick) s.model.TrackTimer();
    EXPECT_EQ(s.model.Value(), 40);  // the thumb reached the pointer and stopped there
    EXPECT_EQ(s.host.timerStarts, 1);
    EXPECT_EQ(s.host.changes, 4);

    // The pointer moves to the other side of the thumb: no more steps.
    s.model.MouseMove({6, 10});
    s.model.TrackTimer();
    EXPECT_EQ(s.model.Value(), 40);

    s.model.EndTracking();
    EXPECT_FALSE(s.model.Tracking());
    EXPECT_EQ(s.host.timerStops, 1);
    EXPECT_EQ(s.host.changed, 1);
}

TEST(SliderTracking, WherePressesLand) {
    struct Case {
        const char* name;
        Point at;
        bool canModify;
        PressTarget target;
        int32_t value;
        int timerStarts;
    };
    // Value 50: the thumb spans x 140..149, y 6..23; the ruler x 6..283, y 10..18.
    const Case cases[] = {
        {"on the thumb", {145, 12}, true, PressTarget::Thumb, 50, 0},
        {"on the thumb's right edge", {149, 23}, true, PressTarget::Thumb, 50, 0},
        {"ruler left of the thumb", {30, 12}, true, PressTarget::Ruler, 40, 1},
        {"just below the ruler", {200, 21}, true, PressTarget::Ruler, 60, 1},
        {"too far below the ruler", {200, 22 + 2}, true, PressTarget::None, 50, 0},
        {"read-only ruler", {200, 12}, false, PressTarget::None, 50, 0},
        {"beside the thumb across the ruler", {145, 26 - 5}, true, PressTarget::Thumb, 50, 0},
    };
    for (const auto& c : cases) {
        Slider s;
        s.model.SetValue(50);
        s.host = FakeHost{};
        EXPECT_EQ(s.model.MouseDown(c.at, c.canModify), c.target) << c.name;
        EXPECT_EQ(s.model.Value(), c.value) << c.name;
        EXPECT_EQ(s.host.timerStarts, c.timerStarts) << c.name;
    }
}

TEST(SliderTracking, PressWithinTheThumbsSpanMakesNoStep) {
    // A vertical slider whose ruler band is wider than the thumb across it.
    Slider s;
    s.model.SetOrientation(TSliderOrientation::soVertical);
    s.model.SetImageSize(SliderImage::VRuler, 30, 10);
    s.model.SetArea({0, 0, 60, 289}, 289);
    s.model.SetValue(50);
    s.host = FakeHost{};
    const Rect thumb = s.model.ThumbRect();
    ASSERT_GT(thumb.Left, s.model.RulerOrigin().X);
    EXPECT_EQ(s.model.MouseDown({s.model.RulerOrigin().X + 1, thumb.Top + 3}, true), PressTarget::Ruler);
    EXPECT_EQ(s.model.Value(), 50);
    EXPECT_EQ(s.host.timerStarts, 0);
    s.model.TrackTimer();
    EXPECT_EQ(s.model.Value(), 50);
}

TEST(SliderDrag, SmoothGivesEveryIntegerOtherwiseSteps) {
    struct Case {
        const char* name;
        bool smooth;
        std::vector<int32_t> values;  // with the thumb dragged 0, 5, 10, 12, 15, 20 pixels on
    };
    // 110 values on 268 pixels.
    const Case cases[] = {
        {"smooth", true, {10, 12, 14, 15, 16, 18}},
        {"stepped", false, {10, 10, 15, 15, 15, 20}},
    };
    for (const auto& c : cases) {
        Slider s(289, 33, 10, 120, 5);
        s.model.SetOptions(soShowPoints | (c.smooth ? TSliderOptions{soSmooth} : 0));
        s.host = FakeHost{};
        const Rect thumb = s.model.ThumbRect();
        s.model.BeginDrag({thumb.Left + 4, 12});
        EXPECT_TRUE(s.model.ThumbPressed()) << c.name;
        std::vector<int32_t> seen;
        for (int32_t dx : {0, 5, 10, 12, 15, 20}) {
            s.model.DragTo({thumb.Left + 4 + dx, 12});
            seen.push_back(s.model.Value());
        }
        EXPECT_EQ(seen, c.values) << c.name;
        s.model.EndDrag(true);
        EXPECT_FALSE(s.model.Dragging()) << c.name;
        EXPECT_EQ(s.host.changed, 1) << c.name;
    }
}

TEST(SliderDrag, ClampedToTheTravelAndFiresChangePerValue) {
    Slider s(289, 33, 10, 120, 10);
    s.model.SetValue(60);
    s.host = FakeHost{};
    s.model.BeginDrag({s.model.ThumbRect().Left, 12});
    s.model.DragTo({5000, 12});
    EXPECT_EQ(s.model.Value(), 120);
    EXPECT_EQ(s.model.ThumbRect().Left, 274);
    s.model.DragTo({6000, 12});
    EXPECT_EQ(s.host.changes, 1);
    s.model.DragTo({-5000, 12});
    EXPECT_EQ(s.model.Value(), 10);
    EXPECT_EQ(s.model.ThumbRect().Left, 6);
    EXPECT_EQ(s.host.changes, 2);
    s.model.EndDrag(false);
    EXPECT_EQ(s.host.changed, 0);  // a read-only slider reports no end
}

TEST(SliderSetters, EdgeStatesAndImages) {
    Slider s;
    s.model.SetEdgeSize(5);  // twice 5 is not below the ruler image's 10
    EXPECT_EQ(s.model.EdgeSize(), 2);
    s.model.SetEdgeSize(-1);
    EXPECT_EQ(s.model.EdgeSize(), 2);
    s.model.SetEdgeSize(4);
    EXPECT_EQ(s.model.EdgeSize(), 4);
    ExpectTiles(s.model.RulerPieces(), 10, 277, "edge 4");

    s.model.SetNumThumbStates(1);
    EXPECT_EQ(s.model.ThumbStateWidth(), 18);
    EXPECT_EQ(s.model.Travel(), 277 - 18);
    s.model.SetNumThumbStates(3);
    EXPECT_EQ(s.model.NumThumbStates(), 1);

    s.model.SetOptions(soThumbOpaque | soRulerOpaque);
    s.model.SetUserImage(SliderImage::HThumb, true);
    s.model.SetUserImage(SliderImage::VRuler, true);
    EXPECT_EQ(s.model.UserImages(), 0b1001);
    s.model.SetUserImage(SliderImage::HThumb, false);  // back to the built-in thumb
    EXPECT_EQ(s.model.UserImages(), 0b1000);
    EXPECT_EQ(s.model.Options(), static_cast<TSliderOptions>(soRulerOpaque));

    s.model.BeginLoading();
    s.model.SetUserImage(SliderImage::VRuler, false);  // while loading the options stay
    s.model.Loaded();
    EXPECT_EQ(s.model.UserImages(), 0);
    EXPECT_EQ(s.model.Options(), static_cast<TSliderOptions>(soRulerOpaque));
}

TEST(SliderPaint, ThumbStateAndCursor) {
    struct Case {
        const char* name;
        bool pressed, enabled, copy;
        int32_t left;
    };
    const Case cases[] = {
        {"normal", false, true, false, 0},
        {"pressed", true, true, false, 9},
        {"disabled", false, false, false, 9},
        {"painted copy while pressed", true, true, true, 0},
        {"painted copy of a disabled slider", false, false, true, 9},
    };
    for (const auto& c : cases) {
        Slider s;
        if (c.pressed) s.model.BeginDrag({10, 10});
        const Rect part = s.model.ThumbImagePart(c.enabled, c.copy);
        EXPECT_EQ(part.Left, c.left) << c.name;
        EXPECT_EQ(kx::RectWidth(part), 9) << c.name;
        EXPECT_EQ(kx::RectHeight(part), 17) << c.name;
    }

    Slider s;  // thumb at 6..15 x 6..23
    EXPECT_TRUE(s.model.CursorOverThumb({6, 6}));
    EXPECT_FALSE(s.model.CursorOverThumb({15, 10}));
    EXPECT_FALSE(s.model.CursorOverThumb({10, 23}));
    EXPECT_TRUE(PointWithinRect({15, 23}, s.model.ThumbRect()));
    EXPECT_EQ(s.model.ThumbRectFor(100).Left, 274);
}

}  // namespace
