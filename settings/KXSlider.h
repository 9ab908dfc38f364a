// The slider: a thumb moved along a ruler selects an integer between
// MinValue and MaxValue, by dragging, by holding the button on the ruler
// (a step at once, then one every 400 ms) or by the keyboard. The decisions
// are SliderModel's; this control feeds it and draws what it says.
#pragma once

#include <array>
#include <memory>

#include "Controls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "SliderRules.h"

namespace settings {

// Draws the `source` part of `bitmap` at (x, y) in its own size; clNone as
// the transparent colour copies it plainly in the canvas's copy mode.
void PaintBitmapPartTransparent(velfw::TCanvas& canvas, int x, int y, const RECT& source, velfw::TBitmap& bitmap,
                                velfw::TColor transparentColor);

// The bitmap resources of the built-in images, by SliderImage index.
extern const char* const kSliderImageResources[4];

class TKxCustomSlider : public velfw::TCustomControl {
public:
    explicit TKxCustomSlider(velfw::TComponent* owner);
    ~TKxCustomSlider() override;

    int Value() const { return model_.Value(); }
    void SetValue(int value) { model_.SetValue(value); }
    int MinValue() const { return model_.MinValue(); }
    void SetMinValue(int value) { model_.SetMinValue(value); }
    int MaxValue() const { return model_.MaxValue(); }
    void SetMaxValue(int value) { model_.SetMaxValue(value); }
    int Increment() const { return model_.Increment(); }
    // Raises "Value must be between 1 and <range>" for one outside 1..range.
    void SetIncrement(int value) { model_.SetIncrement(value); }
    int EdgeSize() const { return model_.EdgeSize(); }
    void SetEdgeSize(int value);
    int NumThumbStates() const { return model_.NumThumbStates(); }
    void SetNumThumbStates(int value);
    TSliderOrientation Orientation() const { return model_.Orientation(); }
    // Swaps width and height outside form loading.
    void SetOrientation(TSliderOrientation value);
    TSliderOptions Options() const { return model_.Options(); }
    void SetOptions(TSliderOptions value) { model_.SetOptions(value); }
    velfw::TBevelStyle BevelStyle() const { return bevel_; }
    void SetBevelStyle(velfw::TBevelStyle value);

    velfw::TBitmap& Image(SliderImage index) { return *images_[static_cast<size_t>(index)]; }
    // A copy of `bitmap` replaces the image; none brings the built-in one back.
    void SetImage(SliderImage index, const velfw::TBitmap* bitmap);

    // For inspection: where ruler, thumb and points lie now.
    const SliderModel& Model() const { return model_; }
    velfw::TBitmap& RulerBitmap() { return ruler_; }

    void SetBounds(int left, int top, int width, int height) override;

    velfw::TNotifyEvent OnChange;
    velfw::TNotifyEvent OnChanged;
    velfw::TNotifyEvent OnDrawPoints;

protected:
    virtual bool CanModify() { return true; }
    virtual RECT GetSliderRect();
    virtual int GetValue() { return model_.Value(); }
    virtual void UpdateLayout();
    virtual void RangeChanged() {}
    virtual void ThumbMouseDown(velfw::TMouseButton button, velfw::TShiftState shift, int x, int y);
    virtual void ThumbMouseMove(velfw::TShiftState shift, int x, int y);
    virtual void ThumbMouseUp(velfw::TMouseButton button, velfw::TShiftState shift, int x, int y);
    virtual void DrawPoints(velfw::TCanvas& canvas, int step, int length, int endLength);
    virtual void Change();
    virtual void Changed();

    void Loaded() override;
    void AlignControls(RECT& rect) override;
    void Paint(velfw::TCanvas& canvas) override;
    void KeyDown(WORD& key, velfw::TShiftState shift) override;
    void MouseDown(velfw::TMouseButton button, velfw::TShiftState shift, int x, int y) override;
    void MouseMove(velfw::TShiftState shift, int x, int y) override;
    void MouseUp(velfw::TMouseButton button, velfw::TShiftState shift, int x, int y) override;
    void Resize() override { UpdateLayout(); }
    void Timer(UINT_PTR id) override;
    LRESULT DialogCodes() override { return DLGC_WANTARROWS; }
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void WndProc(velfw::TMessage& message) override;

private:
    class Host : public ISliderHost {
    public:
        explicit Host(TKxCustomSlider& slider) : slider_(slider) {}
        void Change() override { slider_.Change(); }
        void Changed() override { slider_.Changed(); }
        void RangeChanged() override { slider_.RangeChanged(); }
        void Invalidate() override { slider_.Invalidate(); }
        void InvalidateRect(const Rect& r) override;
        void StartTrackTimer() override { slider_.StartTimer(kTrackTimerId, kTrackIntervalMs); }
        void StopTrackTimer() override { slider_.StopTimer(kTrackTimerId); }

    private:
        TKxCustomSlider& slider_;
    };

    void LoadBuiltInImage(SliderImage index);
    void ImageChanged(SliderImage index);  // any change of an image lays the slider out anew
    void BuildRuler();
    void PaintControl(velfw::TCanvas& canvas, bool paintedCopy);

    Host host_{*this};
    SliderModel model_{host_};
    std::array<std::unique_ptr<velfw::TBitmap>, 4> images_;
    velfw::TBitmap ruler_;
    velfw::TBevelStyle bevel_ = velfw::TBevelStyle::bvNone;
    bool constructing_ = true;
};

// The slider with every property published; no behaviour of its own.
class TKxSlider : public TKxCustomSlider {
public:
    using TKxCustomSlider::TKxCustomSlider;
};

}  // namespace settings
