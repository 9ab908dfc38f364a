#include <gtest/gtest.h>

#include <windows.h>

#include "Forms.h"
#include "KXSlider.h"
#include "KxCursors.h"
#include "MessagePump.h"
#include "TestForms.h"

using namespace velfw;
using settings::TKxSlider;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

struct SliderDesign {
    int left, top, width, minValue, maxValue, increment, value;
};

// The durations and page-time sliders of the settings form, as it designs them.
class SliderForm : public TForm {
public:
    SliderForm() : TForm(nullptr) {
        BeginLoading();
        SetBounds(40, 40, 360, 200);
        SetColor(clBackground);
        interScreen = Place({8, 8, 289, 10, 120, 10, 10});
        scrollStep = Place({8, 48, 317, 1, 6, 1, 1});
        durationTimeS = Place({8, 88, 317, 1, 15, 1, 3});
        durationTime = Place({8, 128, 317, 10, 120, 5, 30});
        EndLoading();
        Show();
        for (TKxSlider* s : {interScreen, scrollStep, durationTimeS, durationTime}) {
            s->OnChange = [this](TObject*) { ++changes; };
            s->OnChanged = [this](TObject*) { ++changed; };
        }
    }
    TKxSlider* interScreen;
    TKxSlider* scrollStep;
    TKxSlider* durationTimeS;
    TKxSlider* durationTime;
    int changes = 0, changed = 0;

private:
    TKxSlider* Place(const SliderDesign& d) {
        auto* s = PlaceControl<TKxSlider>(this, this, d.left, d.top, d.width, 33);
        s->SetColor(clBackground);
        s->SetMinValue(d.minValue);
        s->SetMaxValue(d.maxValue);
        s->SetIncrement(d.increment);
        s->SetValue(d.value);
        return s;
    }
};

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        kx::InitKxCursorsUnit();
        form = new SliderForm();
        PumpFor(50);
    }
    void TearDown() override {
        delete form;
        kx::DoneKxCursorsUnit();
        DoneFormsUnit();
    }

    static void PostKey(TKxSlider* s, WORD key) {
        ::PostMessageA(s->Handle(), WM_KEYDOWN, key, 1);
        PumpFor(20);
    }
    // A mouse message at client point (x, y), with the real pointer there
    // too: a captured mouse reports where the pointer is.
    static void PostMouse(TKxSlider* s, UINT msg, WPARAM keys, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(s->Handle(), &p);
        ::SetCursorPos(p.x, p.y);
        ::PostMessageA(s->Handle(), msg, keys, MAKELPARAM(x, y));
        PumpFor(20);
    }

    SliderForm* form = nullptr;
};

TEST_F(SliderTest, BuiltInImagesGiveTheDesignedRulerTravelAndTicks) {
    TKxSlider* s = form->interScreen;
    EXPECT_EQ(s->Image(settings::SliderImage::HThumb).Width(), 18);
    EXPECT_EQ(s->Image(settings::SliderImage::HThumb).Height(), 17);
    EXPECT_EQ(s->Image(settings::SliderImage::VRuler).Width(), 8);
    EXPECT_EQ(s->Image(settings::SliderImage::VRuler).Height(), 10);
    EXPECT_EQ(s->Image(settings::SliderImage::HRuler).TransparentColor(), clFuchsia);
    EXPECT_EQ(s->Model().RulerWidth(), 277);
    EXPECT_EQ(s->RulerBitmap().Width(), 277);
    EXPECT_EQ(s->Model().Travel(), 268);
    const auto ticks = s->Model().TickPoints(10, 5, 3);
    ASSERT_EQ(ticks.size(), 12u);
    EXPECT_EQ(ticks.front().Value, 10);
    EXPECT_EQ(ticks.back().Value, 120);
    // The ruler's ends are the image's; its bottom-left stays transparent.
    EXPECT_EQ(s->RulerBitmap().Canvas().Pixel(0, 7), s->Image(settings::SliderImage::HRuler).Canvas().Pixel(0, 7));
    EXPECT_EQ(s->Value(), 10);
    EXPECT_EQ(form->durationTimeS->Value(), 3);
    EXPECT_EQ(form->durationTime->Value(), 30);
}

TEST_F(SliderTest, KeysStepByMultiplesOfTheIncrement) {
    struct Case {
        TKxSlider* slider;
        int from;
        WORD key;
        int to;
    } cases[] = {
        {form->interScreen, 25, VK_RIGHT, 30}, {form->interScreen, 25, VK_LEFT, 10},
        {form->interScreen, 35, VK_RIGHT, 50}, {form->interScreen, 35, VK_LEFT, 30},
        {form->durationTime, 60, VK_HOME, 10}, {form->durationTime, 60, VK_END, 120},
        {form->durationTime, 118, VK_RIGHT, 120}, {form->scrollStep, 6, VK_RIGHT, 6},
        {form->durationTimeS, 3, VK_UP, 3},  // a horizontal slider ignores the vertical arrows
    };
    for (const Case& c : cases) {
        c.slider->SetFocus();
        c.slider->SetValue(c.from);
        const int changedBefore = form->changed;
        PostKey(c.slider, c.key);
        EXPECT_EQ(c.slider->Value(), c.to) << c.from << " key " << c.key;
        EXPECT_EQ(form->changed - changedBefore, c.key == VK_UP ? 0 : 1) << "OnChanged after each key step";
    }
}

TEST_F(SliderTest, DraggingTheThumbGivesEveryInteger) {
    TKxSlider* s = form->interScreen;
    const kx::Rect thumb = s->Model().ThumbRect();
    const int y = (thumb.Top + thumb.Bottom) / 2;
    const int start = s->Model().TravelStart();
    PostMouse(s, WM_LBUTTONDOWN, MK_LBUTTON, thumb.Left + 4, y);
    EXPECT_TRUE(s->Model().Dragging());
    EXPECT_EQ(::GetCapture(), s->Handle());
    // Half the travel: 10 + Round(134 * 110 / 268) = 65.
    PostMouse(s, WM_MOUSEMOVE, MK_LBUTTON, start + 134 + 4, y);
    EXPECT_EQ(s->Value(), 65);
    PostMouse(s, WM_MOUSEMOVE, MK_LBUTTON, start + 137 + 4, y);
    EXPECT_EQ(s->Value(), 66) << "10 + Round(137 * 110 / 268)";
    const int changedBefore = form->changed;
    PostMouse(s, WM_LBUTTONUP, 0, start + 137 + 4, y);
    EXPECT_FALSE(s->Model().Dragging());
    EXPECT_EQ(form->changed - changedBefore, 1);
    EXPECT_NE(::GetCapture(), s->Handle());
    EXPECT_EQ(s->Model().ThumbRect().Left, s->Model().OffsetOfValue(66));
}

TEST_F(SliderTest, HoldingTheButtonOnTheRulerStepsEvery400MsUntilTheThumbIsThere) {
    TKxSlider* s = form->interScreen;
    ASSERT_EQ(s->Value(), 10);
    const int x = s->Model().OffsetOfValue(40) + 4;
    const int y = s->Model().RulerOrigin().Y + 2;
    PostMouse(s, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    EXPECT_TRUE(s->Model().Tracking());
    EXPECT_EQ(s->Value(), 20) << "one step at once";
    EXPECT_TRUE(PumpUntil([s] { return s->Value() == 40; }, 3000));
    PumpFor(900);
    EXPECT_EQ(s->Value(), 40) << "the thumb under the pointer stops the steps";
    const int changedBefore = form->changed;
    PostMouse(s, WM_LBUTTONUP, 0, x, y);
    EXPECT_FALSE(s->Model().Tracking());
    EXPECT_EQ(form->changed - changedBefore, 1);
    EXPECT_NE(::GetCapture(), s->Handle());
}

TEST_F(SliderTest, PointerMovedToTheOtherSideStopsTheSteps) {
    TKxSlider* s = form->durationTime;  // 10..120 by 5, at 30
    const int y = s->Model().RulerOrigin().Y + 2;
    const int right = s->Model().OffsetOfValue(120);
    PostMouse(s, WM_LBUTTONDOWN, MK_LBUTTON, right, y);
    EXPECT_EQ(s->Value(), 35);
    PostMouse(s, WM_MOUSEMOVE, MK_LBUTTON, s->Model().TravelStart(), y);
    PumpFor(900);
    EXPECT_EQ(s->Value(), 35);
    PostMouse(s, WM_LBUTTONUP, 0, s->Model().TravelStart(), y);
}

TEST_F(SliderTest, ValueIsClampedAndChangesFireOnce) {
    TKxSlider* s = form->interScreen;
    s->SetValue(50);
    const int before = form->changes;
    s->SetValue(0);
    EXPECT_EQ(s->Value(), 10);
    s->SetValue(10);
    EXPECT_EQ(form->changes - before, 1);
    EXPECT_THROW(s->SetIncrement(200), Exception);
    EXPECT_EQ(s->Increment(), 10);
}

TEST_F(SliderTest, OrientationChangeSwapsTheSides) {
    TKxSlider* s = form->scrollStep;
    s->SetOrientation(settings::TSliderOrientation::soVertical);
    EXPECT_EQ(s->Width(), 33);
    EXPECT_EQ(s->Height(), 317);
    EXPECT_EQ(s->Model().RulerHeight(), 317 - 12);
}

TEST_F(SliderTest, PaintsTheThumbOverTheRulerOnTheFormColour) {
    TKxSlider* s = form->interScreen;
    s->Update();
    TBitmap shot(s->Width(), s->Height());
    ::SendMessageA(s->Handle(), WM_PAINT, 0, 0);  // nothing left to paint: a no-op
    WindowDc dc(s->Handle());
    ::BitBlt(shot.Canvas().Handle(), 0, 0, s->Width(), s->Height(), dc.get(), 0, 0, SRCCOPY);
    const COLORREF back = ColorToRGB(clBackground);
    EXPECT_EQ(shot.Canvas().Pixel(1, 1), back);
    // The ruler's transparent rows show the background, not magenta.
    const kx::Point ruler = s->Model().RulerOrigin();
    EXPECT_EQ(shot.Canvas().Pixel(ruler.X + 100, ruler.Y), back);
    EXPECT_EQ(shot.Canvas().Pixel(ruler.X + 100, ruler.Y + 3), RGB(0, 0, 0));
    const kx::Rect thumb = s->Model().ThumbRect();
    EXPECT_EQ(shot.Canvas().Pixel(thumb.Left + 4, thumb.Top + 5), RGB(192, 192, 192));
}

}  // namespace
