#include "SliderRules.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "Classes.h"
#include "MaxMin.h"

namespace settings {

namespace {

constexpr const char* kIncrementRangeText = "Value must be between %d and %d";

}  // namespace

int64_t RoundDivHalfEven(int64_t numerator, int64_t denominator) {
    if (denominator == 0) return 0;
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    int64_t quotient = numerator / denominator;
    const int64_t rest = numerator % denominator;
    const int64_t away = rest < 0 ? -rest : rest;
    const int64_t toward = denominator - away;  // no doubling of the rest, which could wrap
    const int64_t sign = numerator < 0 ? -1 : 1;
    if (away > toward || (away == toward && quotient % 2 != 0)) quotient += sign;
    return quotient;
}

std::vector<RulerPiece> PlanRulerPieces(int32_t image, int32_t edge, int32_t length) {
    std::vector<RulerPiece> pieces;
    if (length <= 0 || image <= 0 || edge < 0) return pieces;
    const int32_t lead = kx::IntMin(image - edge, length);
    if (lead > 0) pieces.push_back({0, lead, 0});
    const int32_t body = image - 2 * edge;
    if (body <= 0) return pieces;
    const int32_t span = length - 2 * edge;
    const int32_t bodies = span / body;
    const int32_t rest = span % body;
    for (int32_t i = 1; i < bodies; ++i) pieces.push_back({edge, body, edge + i * body});
    if (bodies >= 1) pieces.push_back({edge + body - rest, edge + rest, edge + bodies * body});
    return pieces;
}

void SliderModel::EndConstruction() {
    constructing_ = false;
    UpdateLayout();
}

void SliderModel::Loaded() {
    loading_ = false;
    // A form may describe an upside-down range; it collapses onto the minimum.
    if (max_ < min_) max_ = min_;
    SetValue(value_);
}

void SliderModel::SetArea(const Rect& sliderRect, int32_t clientHeight) {
    area_ = sliderRect;
    clientHeight_ = clientHeight;
    if (!constructing_) UpdateLayout();
}

void SliderModel::SetImageSize(SliderImage image, int32_t width, int32_t height) {
    images_[static_cast<size_t>(image)] = {kx::IntMax(width, 0), kx::IntMax(height, 0)};
    if (!constructing_) UpdateLayout();
}

int32_t SliderModel::ClampValue(int64_t v) const {
    if (v > max_) v = max_;
    if (v < min_) v = min_;
    return static_cast<int32_t>(v);
}

void SliderModel::SetValue(int32_t value) {
    const int32_t clamped = ClampValue(value);
    const int32_t former = value_;
    value_ = clamped;
    MoveThumbTo(OffsetOfValue(clamped), false);
    if (clamped != former) host_.Change();
}

void SliderModel::SetRange(int32_t minValue, int32_t maxValue) {
    if (minValue == min_ && maxValue == max_) return;
    if (!loading_ && minValue >= maxValue) return;
    min_ = minValue;
    max_ = maxValue;
    if (!loading_ && static_cast<int64_t>(max_) < static_cast<int64_t>(min_) + increment_)
        increment_ = static_cast<int32_t>(Range());
    if (options_ & soShowPoints) host_.Invalidate();
    SetValue(value_);
    host_.RangeChanged();
}

void SliderModel::SetIncrement(int32_t value) {
    const int64_t range = Range();
    if (loading_ || (value > 0 && value <= range)) {
        if (value > 0 && value != increment_) {
            increment_ = value;
            SetValue(value_);
            host_.Invalidate();
        }
        return;
    }
    // No increment exceeds 32 bits, so neither does the upper bound shown.
    char text[96];
    std::snprintf(text, sizeof text, kx::ResourceText(kIncrementRangeText).c_str(), 1,
                  static_cast<int>(std::clamp<int64_t>(range, 0, std::numeric_limits<int32_t>::max())));
    throw velfw::Exception(text);
}

void SliderModel::SetEdgeSize(int32_t value) {
    const int32_t image = Horizontal() ? ImageWidth(SliderImage::HRuler) : ImageHeight(SliderImage::VRuler);
    if (value < 0 || 2 * static_cast<int64_t>(value) >= image || value == edge_) return;
    edge_ = value;
    UpdateLayout();
}

void SliderModel::SetNumThumbStates(int32_t value) {
    if (value < 1 || value > 2 || value == thumbStates_) return;
    thumbStates_ = value;
    UpdateLayout();
}

bool SliderModel::SetOrientation(TSliderOrientation value) {
    if (value == orientation_) return false;
    orientation_ = value;
    UpdateLayout();
    return true;
}

void SliderModel::SetOptions(TSliderOptions value) {
    if (value == options_) return;
    options_ = value;
    host_.Invalidate();
}

void SliderModel::SetUserImage(SliderImage image, bool supplied) {
    const auto bit = static_cast<uint8_t>(1u << static_cast<unsigned>(image));
    if (supplied) {
        userImages_ |= bit;
        return;
    }
    userImages_ &= static_cast<uint8_t>(~bit);
    if (loading_) return;
    const bool thumb = image == SliderImage::HThumb || image == SliderImage::VThumb;
    options_ &= ~static_cast<TSliderOptions>(thumb ? soThumbOpaque : soRulerOpaque);
    host_.Invalidate();
}

SliderImage SliderModel::RulerImage() const { return Horizontal() ? SliderImage::HRuler : SliderImage::VRuler; }

std::vector<RulerPiece> SliderModel::RulerPieces() const {
    return Horizontal() ? PlanRulerPieces(ImageWidth(SliderImage::HRuler), edge_, rulerW_)
                        : PlanRulerPieces(ImageHeight(SliderImage::VRuler), edge_, rulerH_);
}

int32_t SliderModel::ThumbStateWidth() const {
    return (Horizontal() ? ImageWidth(SliderImage::HThumb) : ImageWidth(SliderImage::VThumb)) / thumbStates_;
}

int32_t SliderModel::TravelStart() const { return (Horizontal() ? area_.Left : area_.Top) + kSliderMargin; }

int32_t SliderModel::Travel() const {
    return Horizontal() ? rulerW_ - ThumbStateWidth() : rulerH_ - ImageHeight(SliderImage::VThumb);
}

void SliderModel::UpdateLayout() {
    const int32_t value = value_;
    const Rect& r = area_;
    const int32_t left = r.Left + kSliderMargin, top = r.Top + kSliderMargin;
    const int32_t thumbW = ThumbStateWidth();
    if (Horizontal()) {
        rulerW_ = kx::IntMax(0, kx::RectWidth(r) - 2 * kSliderMargin);
        rulerH_ = ImageHeight(SliderImage::HRuler);
        const int32_t thumbH = ImageHeight(SliderImage::HThumb);
        int32_t thumbTop = top;
        if (thumbH > rulerH_) {
            rulerOrigin_ = {left, top + (thumbH - rulerH_) / 2};
        } else {
            rulerOrigin_ = {left, top};
            thumbTop = top + (rulerH_ - thumbH) / 2;
        }
        thumb_ = {left, thumbTop, left + thumbW, thumbTop + thumbH};
        pointsOrigin_ = {rulerOrigin_.X, r.Top + kSliderMargin + 1 + kx::IntMax(thumbH, rulerH_)};
    } else {
        rulerW_ = ImageWidth(SliderImage::VRuler);
        rulerH_ = kx::IntMax(0, kx::RectHeight(r) - 2 * kSliderMargin);
        const int32_t thumbH = ImageHeight(SliderImage::VThumb);
        int32_t thumbLeft = left;
        if (thumbW > rulerW_) {
            rulerOrigin_ = {left + (thumbW - rulerW_) / 2, top};
        } else {
            rulerOrigin_ = {left, top};
            thumbLeft = left + (rulerW_ - thumbW) / 2;
        }
        thumb_ = {thumbLeft, top, thumbLeft + thumbW, top + thumbH};
        pointsOrigin_ = {r.Left + kSliderMargin + 1 + kx::IntMax(thumbW, rulerW_), rulerOrigin_.Y};
    }
    SetValue(value);
    host_.Invalidate();
}

int32_t SliderModel::OffsetOfValue(int32_t value) const {
    const int64_t start = TravelStart();
    const int64_t range = Range();
    // A range read as empty from a form keeps the thumb at the start.
    int64_t offset = start + (range > 0 ? RoundDivHalfEven(static_cast<int64_t>(Travel()) * (value - int64_t{min_}), range) : 0);
    if (!Horizontal()) offset = int64_t{area_.Top} + area_.Bottom - offset - ImageHeight(SliderImage::VThumb);
    return kx::ClampToInt32(std::max(offset, start));
}

int32_t SliderModel::ValueOfOffset(int32_t offset) const {
    int64_t o = offset;
    if (!Horizontal()) o = int64_t{clientHeight_} - o - ImageHeight(SliderImage::VThumb);
    const int64_t travel = Travel();
    const int64_t range = Range();
    if (travel <= 0 || range <= 0) return min_;  // no room to move: the thumb stands for the minimum
    const int64_t along = std::clamp<int64_t>(o - TravelStart(), 0, travel);
    int64_t x = RoundDivHalfEven(along * range, travel);
    if (!(options_ & soSmooth)) x = RoundDivHalfEven(x, increment_) * increment_;
    return ClampValue(std::max<int64_t>(x, 0) + min_);
}

void SliderModel::MoveThumbTo(int64_t offset, bool fromDrag) {
    const int32_t start = TravelStart();
    const int32_t end = start + kx::IntMax(Travel(), 0);
    const auto clamped = static_cast<int32_t>(std::clamp<int64_t>(offset, start, end));
    const int32_t value = ValueOfOffset(clamped);
    const int32_t snapped = kx::IntMin(OffsetOfValue(value), end);
    const Rect former = thumb_;
    thumb_ = ThumbAt(snapped);
    host_.InvalidateRect(former);
    host_.InvalidateRect(thumb_);
    if (fromDrag && value != value_) {
        value_ = value;
        host_.Change();
    }
}

Rect SliderModel::ThumbRectFor(int32_t value) const { return ThumbAt(OffsetOfValue(value)); }

Rect SliderModel::ThumbAt(int32_t offset) const {
    Rect r = thumb_;
    if (Horizontal()) {
        r.Right = offset + kx::RectWidth(r);
        r.Left = offset;
    } else {
        r.Bottom = offset + kx::RectHeight(r);
        r.Top = offset;
    }
    return r;
}

Rect SliderModel::ThumbImagePart(bool enabled, bool paintedCopy) const {
    const int32_t width = ThumbStateWidth();
    const int32_t height = kx::RectHeight(thumb_);
    const bool second = thumbStates_ == 2 && (!enabled || (pressed_ && !paintedCopy));
    return second ? Rect{width, 0, 2 * width, height} : Rect{0, 0, width, height};
}

std::vector<TickPoint> SliderModel::TickPoints(int32_t step, int32_t endLength, int32_t length) const {
    std::vector<TickPoint> points;
    const int64_t travel = Travel();
    const int64_t range = Range();
    if (travel <= 0 || step <= 0 || range < 0) return points;

    auto gaps = [&](int64_t k) { return RoundDivHalfEven(range, step * k); };
    auto tooDense = [&](int64_t k) {
        const int64_t g = gaps(k);
        const int64_t spacing = g == 0 ? travel : travel / g;
        return spacing < 4 && spacing < travel;
    };
    // The spacing only grows with the multiplier, so the first multiplier
    // that is sparse enough is found by halving instead of counting up.
    int64_t k = 1;
    if (tooDense(1)) {
        int64_t low = 1, high = 2;
        while (tooDense(high)) {
            low = high;
            high *= 2;
        }
        while (high - low > 1) {
            const int64_t mid = low + (high - low) / 2;
            (tooDense(mid) ? low : high) = mid;
        }
        k = high;
    }

    const int64_t g = gaps(k);
    const int32_t half = (Horizontal() ? ThumbStateWidth() : ImageHeight(SliderImage::VThumb)) / 2;
    for (int64_t i = 0; i <= g; ++i) {
        const auto value = static_cast<int32_t>(i == g && g > 0 ? max_ : min_ + i * step * k);
        const int32_t p = OffsetOfValue(value) + half;
        const int32_t len = value == min_ || value == max_ ? endLength : length;
        if (Horizontal())
            points.push_back({value, {p, pointsOrigin_.Y}, {p, pointsOrigin_.Y + len}});
        else
            points.push_back({value, {pointsOrigin_.X, p}, {pointsOrigin_.X + len, p}});
    }
    return points;
}

bool SliderModel::CursorOverThumb(const Point& p) const {
    return thumb_.Left <= p.X && p.X < thumb_.Right && thumb_.Top <= p.Y && p.Y < thumb_.Bottom;
}

void SliderModel::Step(StepKind kind) {
    int64_t target = value_;
    const int64_t multiple = RoundDivHalfEven(value_, increment_) * increment_;
    switch (kind) {
    case StepKind::First: target = min_; break;
    case StepKind::Last: target = max_; break;
    case StepKind::Up: target = multiple + increment_; break;
    case StepKind::Down: target = multiple - increment_; break;
    }
    const int32_t clamped = ClampValue(target);
    if (clamped != value_) SetValue(clamped);
}

bool SliderModel::KeyDown(SliderKey key, bool shiftCtrlOrAlt, bool canModify) {
    if (shiftCtrlOrAlt) return false;
    StepKind kind;
    switch (key) {
    case SliderKey::Home: kind = StepKind::First; break;
    case SliderKey::End: kind = StepKind::Last; break;
    case SliderKey::Left:
    case SliderKey::Right:
        if (!Horizontal()) return false;
        kind = key == SliderKey::Right ? StepKind::Up : StepKind::Down;
        break;
    case SliderKey::Up:
    case SliderKey::Down:
        if (Horizontal()) return false;
        kind = key == SliderKey::Up ? StepKind::Up : StepKind::Down;
        break;
    default: return false;
    }
    if (!canModify) return false;
    Step(kind);
    host_.Changed();
    return true;
}

int32_t SliderModel::SideOfThumb(const Point& p) const {
    if (Horizontal()) {
        if (p.X < thumb_.Left) return static_cast<int32_t>(StepKind::Down);
        if (p.X > thumb_.Right) return static_cast<int32_t>(StepKind::Up);
    } else {
        if (p.Y < thumb_.Top) return static_cast<int32_t>(StepKind::Up);
        if (p.Y > thumb_.Bottom) return static_cast<int32_t>(StepKind::Down);
    }
    return 0;
}

PressTarget SliderModel::MouseDown(const Point& p, bool canModify) {
    if (PointWithinRect(p, thumb_)) return PressTarget::Thumb;
    Rect band{rulerOrigin_.X, rulerOrigin_.Y, rulerOrigin_.X + rulerW_, rulerOrigin_.Y + rulerH_};
    if (Horizontal()) {
        band.Top -= kRulerHitSlack;
        band.Bottom += kRulerHitSlack;
    } else {
        band.Left -= kRulerHitSlack;
        band.Right += kRulerHitSlack;
    }
    if (!PointWithinRect(p, band) || !canModify) return PressTarget::None;
    tracking_ = true;
    trackPoint_ = p;
    trackDirection_ = SideOfThumb(p);
    TrackingStep();
    return PressTarget::Ruler;
}

void SliderModel::TrackingStep() {
    if (trackDirection_ == 0 || SideOfThumb(trackPoint_) != trackDirection_) return;
    Step(static_cast<StepKind>(trackDirection_));
    if (!timerRunning_) {
        timerRunning_ = true;
        host_.StartTrackTimer();
    }
}

void SliderModel::MouseMove(const Point& p) {
    if (tracking_) trackPoint_ = p;
}

void SliderModel::TrackTimer() {
    if (tracking_) TrackingStep();
}

void SliderModel::EndTracking() {
    if (!tracking_) return;
    if (timerRunning_) {
        timerRunning_ = false;
        host_.StopTrackTimer();
    }
    tracking_ = false;
    host_.Changed();
}

void SliderModel::BeginDrag(const Point& p) {
    dragging_ = true;
    pressed_ = true;
    grab_ = Horizontal() ? p.X - thumb_.Left : p.Y - thumb_.Top;
    host_.InvalidateRect(thumb_);
}

void SliderModel::DragTo(const Point& p) {
    if (!dragging_) return;
    MoveThumbTo(int64_t{Horizontal() ? p.X : p.Y} - grab_, true);
}

void SliderModel::EndDrag(bool canModify) {
    dragging_ = false;
    pressed_ = false;
    host_.InvalidateRect(thumb_);
    if (canModify) host_.Changed();
}

}  // namespace settings
