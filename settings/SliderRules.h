// Everything the slider decides without Windows: where ruler, thumb and tick
// points go, how values map to thumb positions, steps by key and by holding
// the button on the ruler, dragging, and the rules of its range. The Win32
// control owns one SliderModel, feeds it sizes and input, and carries out what
// the model asks through ISliderHost (events, repaints, the tracking timer).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "KxUtilsRules.h"

namespace settings {

using kx::Point;
using kx::Rect;

enum class TSliderOrientation { soHorizontal, soVertical };

enum TSliderOption : unsigned {
    soShowFocus = 1u << 0,
    soShowPoints = 1u << 1,
    soSmooth = 1u << 2,
    soRulerOpaque = 1u << 3,
    soThumbOpaque = 1u << 4,
};
using TSliderOptions = unsigned;

// Image indices, as the form stream's "UserImages" bits count them.
enum class SliderImage { HThumb = 0, HRuler = 1, VThumb = 2, VRuler = 3 };

enum class StepKind { First = 1, Last = 2, Up = 3, Down = 4 };

// The keys the slider answers; the control maps virtual keys onto these.
enum class SliderKey { Home, End, Left, Right, Up, Down, Other };

enum class PressTarget { None, Thumb, Ruler };

constexpr int32_t kSliderMargin = 6;        // around ruler and thumb
constexpr int32_t kRulerHitSlack = 3;       // a press this close beside the ruler still counts
constexpr uint32_t kTrackIntervalMs = 400;  // repeat of a held press on the ruler
constexpr uint32_t kTrackTimerId = 1;
constexpr int32_t kTickEndLength = 5;
constexpr int32_t kTickLength = 3;
constexpr int32_t kSliderDefaultWidth = 150;
constexpr int32_t kSliderDefaultHeight = 40;

// True when p lies in r, the right and bottom edges counting as inside.
constexpr bool PointWithinRect(const Point& p, const Rect& r) {
    return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}

// Division rounded to the nearest integer, halves to the even neighbour.
int64_t RoundDivHalfEven(int64_t numerator, int64_t denominator);

// One copy from the ruler image into the ruler bitmap, along the ruler.
struct RulerPiece {
    int32_t Source = 0;  // start in the image
    int32_t Length = 0;
    int32_t Dest = 0;  // start in the ruler bitmap
};

// The ruler image of length `image` tiled to `length`: the leading edge and
// one body, repeated bodies, then the end of a body and the trailing edge.
// An image whose body (length less both edges) is empty gives the leading
// piece only; nothing reaches past `length`.
std::vector<RulerPiece> PlanRulerPieces(int32_t image, int32_t edge, int32_t length);

struct TickPoint {
    int32_t Value = 0;
    Point From, To;  // a line in the window-text colour
};

class ISliderHost {
public:
    virtual ~ISliderHost() = default;
    virtual void Change() = 0;        // Value changed: fires OnChange
    virtual void Changed() = 0;       // a user action ended: fires OnChanged
    virtual void RangeChanged() = 0;  // hook after MinValue or MaxValue changed
    virtual void Invalidate() = 0;    // repaint the whole control
    virtual void InvalidateRect(const Rect& r) = 0;  // repaint part, without erasing
    virtual void StartTrackTimer() = 0;  // kTrackTimerId every kTrackIntervalMs
    virtual void StopTrackTimer() = 0;
};

class SliderModel {
public:
    // Starts in construction: sizes given before EndConstruction lay out nothing.
    explicit SliderModel(ISliderHost& host) : host_(host) {}

    void EndConstruction();
    // Form loading: the range and the increment are taken as they come, and
    // Loaded makes them sound once all of them are known.
    void BeginLoading() { loading_ = true; }
    void Loaded();
    bool Loading() const { return loading_; }

    // Inputs from the control; each lays the slider out anew.
    // `sliderRect` is the client rectangle less the bevel.
    void SetArea(const Rect& sliderRect, int32_t clientHeight);
    void SetImageSize(SliderImage image, int32_t width, int32_t height);

    // Property setters, as the control's properties call them.
    void SetValue(int32_t value);
    void SetMinValue(int32_t value) { SetRange(value, max_); }
    void SetMaxValue(int32_t value) { SetRange(min_, value); }
    void SetRange(int32_t minValue, int32_t maxValue);
    // Raises velfw::Exception "Value must be between 1 and <range>" outside
    // loading when the increment is out of 1..range.
    void SetIncrement(int32_t value);
    void SetEdgeSize(int32_t value);
    void SetNumThumbStates(int32_t value);
    // True when it changed; the control then swaps its width and height
    // unless it is loading.
    bool SetOrientation(TSliderOrientation value);
    void SetOptions(TSliderOptions value);
    // An image set by the user, or reset to the built-in one (which drops the
    // matching opaque option outside loading).
    void SetUserImage(SliderImage image, bool supplied);

    int32_t Value() const { return value_; }
    int32_t MinValue() const { return min_; }
    int32_t MaxValue() const { return max_; }
    int32_t Increment() const { return increment_; }
    int32_t EdgeSize() const { return edge_; }
    int32_t NumThumbStates() const { return thumbStates_; }
    TSliderOrientation Orientation() const { return orientation_; }
    TSliderOptions Options() const { return options_; }
    uint8_t UserImages() const { return userImages_; }

    // Layout.
    Rect SliderRect() const { return area_; }
    int32_t RulerWidth() const { return rulerW_; }  // of the ruler bitmap
    int32_t RulerHeight() const { return rulerH_; }
    SliderImage RulerImage() const;
    std::vector<RulerPiece> RulerPieces() const;  // along the width (horizontal) or height
    Point RulerOrigin() const { return rulerOrigin_; }
    Rect ThumbRect() const { return thumb_; }
    Point PointsOrigin() const { return pointsOrigin_; }
    int32_t TravelStart() const;  // S
    int32_t Travel() const;       // L
    int32_t ThumbStateWidth() const;

    // Value <-> thumb position (left edge, or top edge when vertical).
    int32_t OffsetOfValue(int32_t value) const;
    int32_t ValueOfOffset(int32_t offset) const;

    // Painting.
    Rect ThumbRectFor(int32_t value) const;  // where a painted copy puts the thumb
    // The part of the thumb image to draw: the second state when pressed or
    // disabled (a painted copy shows it only when disabled).
    Rect ThumbImagePart(bool enabled, bool paintedCopy) const;
    std::vector<TickPoint> TickPoints(int32_t step, int32_t endLength, int32_t length) const;
    // The hand cursor shows over the thumb (right and bottom edges outside).
    bool CursorOverThumb(const Point& p) const;

    // Input.
    void Step(StepKind kind);
    // True when the key was consumed (a step was made and OnChanged fired).
    bool KeyDown(SliderKey key, bool shiftCtrlOrAlt, bool canModify);
    // A left-button press that is no double click, after the control took the
    // focus. Thumb: the control runs its ThumbMouseDown. Ruler: tracking has
    // begun and the control captures the mouse.
    PressTarget MouseDown(const Point& p, bool canModify);
    void MouseMove(const Point& p);  // remembers the point while tracking
    void TrackTimer();               // a tick of the tracking timer
    // Ends tracking (timer stopped, OnChanged); the control releases the mouse.
    void EndTracking();
    bool Tracking() const { return tracking_; }

    void BeginDrag(const Point& p);  // the control checks button and CanModify
    void DragTo(const Point& p);
    void EndDrag(bool canModify);
    bool Dragging() const { return dragging_; }
    bool ThumbPressed() const { return pressed_; }

private:
    bool Horizontal() const { return orientation_ == TSliderOrientation::soHorizontal; }
    int64_t Range() const { return static_cast<int64_t>(max_) - min_; }
    int32_t ImageWidth(SliderImage i) const { return images_[static_cast<size_t>(i)].X; }
    int32_t ImageHeight(SliderImage i) const { return images_[static_cast<size_t>(i)].Y; }
    int32_t ClampValue(int64_t v) const;
    void UpdateLayout();
    // Clamps and snaps the offset to a value position; a drag also takes
    // that value.
    void MoveThumbTo(int64_t offset, bool fromDrag);
    Rect ThumbAt(int32_t offset) const;  // the thumb moved along the ruler
    void TrackingStep();
    int32_t SideOfThumb(const Point& p) const;  // 0 within the thumb's span

    ISliderHost& host_;
    bool constructing_ = true;
    bool loading_ = false;
    Rect area_{0, 0, kSliderDefaultWidth, kSliderDefaultHeight};
    int32_t clientHeight_ = kSliderDefaultHeight;
    std::array<Point, 4> images_{};  // width and height of each image
    uint8_t userImages_ = 0;
    int32_t edge_ = 2;
    int32_t thumbStates_ = 2;
    TSliderOrientation orientation_ = TSliderOrientation::soHorizontal;
    TSliderOptions options_ = soShowFocus | soShowPoints | soSmooth;
    int32_t min_ = 0, max_ = 100, increment_ = 10, value_ = 0;

    int32_t rulerW_ = 0, rulerH_ = 0;
    Point rulerOrigin_;
    Rect thumb_;
    Point pointsOrigin_;

    bool pressed_ = false, dragging_ = false, tracking_ = false, timerRunning_ = false;
    int32_t grab_ = 0;
    Point trackPoint_;
    int32_t trackDirection_ = 0;  // a StepKind value, 0 for none
};

}  // namespace settings
