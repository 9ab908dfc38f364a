#include "KXSlider.h"

#include <windowsx.h>

#include "Forms.h"
#include "KxCursors.h"
#include "KxUtils.h"

namespace settings {

using velfw::TBitmap;
using velfw::TCanvas;
using velfw::TColor;
using velfw::TMouseButton;
using velfw::TShiftState;

const char* const kSliderImageResources[4] = {"W95_HTB", "W95_HRL", "W95_VTB", "W95_VRL"};

namespace {

constexpr int kBevelWidth = 1;

RECT ToRECT(const Rect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

SliderKey KeyOf(WORD key) {
    switch (key) {
        case VK_HOME: return SliderKey::Home;
        case VK_END: return SliderKey::End;
        case VK_LEFT: return SliderKey::Left;
        case VK_RIGHT: return SliderKey::Right;
        case VK_UP: return SliderKey::Up;
        case VK_DOWN: return SliderKey::Down;
        default: return SliderKey::Other;
    }
}

}  // namespace

void PaintBitmapPartTransparent(TCanvas& canvas, int x, int y, const RECT& source, TBitmap& bitmap,
                                TColor transparentColor) {
    const int w = kx::RectWidth(source), h = kx::RectHeight(source);
    kx::PaintBitmapTransparentRect(canvas, bitmap, transparentColor, x, y, w, h, source.left, source.top, w, h);
}

void TKxCustomSlider::Host::InvalidateRect(const Rect& r) {
    if (!slider_.HandleAllocated()) return;
    const RECT area = ToRECT(r);
    ::InvalidateRect(slider_.HandleOrNull(), &area, FALSE);
}

TKxCustomSlider::TKxCustomSlider(velfw::TComponent* owner) : velfw::TCustomControl(owner) {
    if (IsLoading()) model_.BeginLoading();
    TabStop = true;
    Opaque = true;
    CaptureOnPress = true;
    velfw::TControl::SetBounds(0, 0, kSliderDefaultWidth, kSliderDefaultHeight);
    for (size_t i = 0; i < images_.size(); ++i) {
        images_[i] = std::make_unique<TBitmap>();
        const auto index = static_cast<SliderImage>(i);
        images_[i]->OnChange = [this, index] { ImageChanged(index); };
        LoadBuiltInImage(index);
    }
    constructing_ = false;
    model_.EndConstruction();
    UpdateLayout();
}

TKxCustomSlider::~TKxCustomSlider() {
    Destroying();
    OnChange = nullptr;
    OnChanged = nullptr;
    OnDrawPoints = nullptr;
    if (HandleAllocated()) StopTimer(kTrackTimerId);
    for (auto& image : images_) image->OnChange = nullptr;
}

void TKxCustomSlider::LoadBuiltInImage(SliderImage index) {
    TBitmap& image = Image(index);
    if (!image.LoadFromResourceName(::GetModuleHandleA(nullptr), kSliderImageResources[static_cast<int>(index)]))
        image.SetSize(0, 0);
    // The built-in images leave their bottom-left colour (magenta) showing through.
    image.SetTransparentColor(velfw::clDefault);
}

void TKxCustomSlider::ImageChanged(SliderImage) {
    if (!constructing_) UpdateLayout();
}

void TKxCustomSlider::SetImage(SliderImage index, const TBitmap* bitmap) {
    if (bitmap) {
        Image(index).Assign(*bitmap);
        model_.SetUserImage(index, true);
        return;
    }
    LoadBuiltInImage(index);
    model_.SetUserImage(index, false);
}

void TKxCustomSlider::Loaded() {
    velfw::TCustomControl::Loaded();
    model_.Loaded();
    UpdateLayout();
}

RECT TKxCustomSlider::GetSliderRect() {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    if (bevel_ != velfw::TBevelStyle::bvNone) ::InflateRect(&r, -kBevelWidth, -kBevelWidth);
    return r;
}

void TKxCustomSlider::AlignControls(RECT& rect) {
    if (bevel_ != velfw::TBevelStyle::bvNone) ::InflateRect(&rect, -kBevelWidth, -kBevelWidth);
    velfw::TCustomControl::AlignControls(rect);
}

void TKxCustomSlider::SetBounds(int left, int top, int width, int height) {
    const bool resized = width != Width() || height != Height();
    velfw::TCustomControl::SetBounds(left, top, width, height);
    // Without a window no WM_SIZE comes to lay the slider out.
    if (resized && !HandleAllocated()) UpdateLayout();
}

void TKxCustomSlider::UpdateLayout() {
    if (constructing_) return;
    for (size_t i = 0; i < images_.size(); ++i)
        model_.SetImageSize(static_cast<SliderImage>(i), images_[i]->Width(), images_[i]->Height());
    const RECT r = GetSliderRect();
    model_.SetArea(Rect{r.left, r.top, r.right, r.bottom}, ClientHeight());
    BuildRuler();
    Invalidate();
}

void TKxCustomSlider::BuildRuler() {
    TBitmap& image = Image(model_.RulerImage());
    const int w = model_.RulerWidth(), h = model_.RulerHeight();
    if (image.Empty() || w <= 0 || h <= 0) {
        ruler_.SetSize(0, 0);
        return;
    }
    ruler_.SetSize(w, h);
    const bool horizontal = Orientation() == TSliderOrientation::soHorizontal;
    for (const RulerPiece& p : model_.RulerPieces()) {
        const RECT dest = horizontal ? RECT{p.Dest, 0, p.Dest + p.Length, h} : RECT{0, p.Dest, w, p.Dest + p.Length};
        const RECT src = horizontal ? RECT{p.Source, 0, p.Source + p.Length, h}
                                    : RECT{0, p.Source, w, p.Source + p.Length};
        ruler_.Canvas().CopyRect(dest, image.Canvas(), src);
    }
}

void TKxCustomSlider::SetEdgeSize(int value) {
    const int former = model_.EdgeSize();
    model_.SetEdgeSize(value);
    if (model_.EdgeSize() != former) UpdateLayout();
}

void TKxCustomSlider::SetNumThumbStates(int value) {
    const int former = model_.NumThumbStates();
    model_.SetNumThumbStates(value);
    if (model_.NumThumbStates() != former) UpdateLayout();
}

void TKxCustomSlider::SetOrientation(TSliderOrientation value) {
    if (!model_.SetOrientation(value)) return;
    UpdateLayout();
    if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
}

void TKxCustomSlider::SetBevelStyle(velfw::TBevelStyle value) {
    if (value == bevel_) return;
    bevel_ = value;
    Realign();
    UpdateLayout();
    Update();
}

void TKxCustomSlider::Change() {
    if (OnChange) OnChange(this);
}

void TKxCustomSlider::Changed() {
    if (OnChanged) OnChanged(this);
}

void TKxCustomSlider::Paint(TCanvas& canvas) {
    const int w = ClientWidth(), h = ClientHeight();
    if (w <= 0 || h <= 0) return;
    // One off-screen picture, copied in one piece: the thumb never flickers.
    TBitmap picture(w, h);
    if (picture.Empty()) return;
    picture.Canvas().FillRect(RECT{0, 0, w, h}, Color());
    PaintControl(picture.Canvas(), false);
    ::BitBlt(canvas.Handle(), 0, 0, w, h, picture.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TKxCustomSlider::PaintControl(TCanvas& canvas, bool paintedCopy) {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    if (bevel_ != velfw::TBevelStyle::bvNone) {
        const bool lowered = bevel_ == velfw::TBevelStyle::bvLowered;
        const TColor topLeft = lowered ? velfw::clBtnShadow : velfw::clBtnHighlight;
        const TColor bottomRight = lowered ? velfw::clBtnHighlight : velfw::clBtnShadow;
        canvas.FillRect(RECT{r.left, r.top, r.right, r.top + kBevelWidth}, topLeft);
        canvas.FillRect(RECT{r.left, r.top, r.left + kBevelWidth, r.bottom}, topLeft);
        canvas.FillRect(RECT{r.left, r.bottom - kBevelWidth, r.right, r.bottom}, bottomRight);
        canvas.FillRect(RECT{r.right - kBevelWidth, r.top, r.right, r.bottom}, bottomRight);
        ::InflateRect(&r, -kBevelWidth, -kBevelWidth);
    }
    canvas.FillRect(r, Color());
    const TSliderOptions options = Options();
    if (!ruler_.Empty())
        kx::PaintBitmapTransparent(canvas, model_.RulerOrigin().X, model_.RulerOrigin().Y, ruler_,
                                   (options & soRulerOpaque) ? velfw::clNone : velfw::clDefault);
    const bool designing = (ComponentState() & velfw::csDesigning) != 0;
    if ((options & soShowFocus) && Focused() && !designing) {
        RECT focus = GetSliderRect();
        ::InflateRect(&focus, -2, -2);
        ::SetTextColor(canvas.Handle(), RGB(0, 0, 0));
        ::SetBkColor(canvas.Handle(), RGB(255, 255, 255));
        ::DrawFocusRect(canvas.Handle(), &focus);
    }
    if (options & soShowPoints) {
        if (OnDrawPoints) OnDrawPoints(this);
        else DrawPoints(canvas, Increment(), kTickLength, kTickEndLength);
    }
    const Rect thumb = paintedCopy ? model_.ThumbRectFor(GetValue()) : model_.ThumbRect();
    const bool horizontal = Orientation() == TSliderOrientation::soHorizontal;
    TBitmap& image = Image(horizontal ? SliderImage::HThumb : SliderImage::VThumb);
    if (!image.Empty())
        PaintBitmapPartTransparent(canvas, thumb.Left, thumb.Top, ToRECT(model_.ThumbImagePart(Enabled(), paintedCopy)),
                                   image, (options & soThumbOpaque) ? velfw::clNone : velfw::clDefault);
}

void TKxCustomSlider::DrawPoints(TCanvas& canvas, int step, int length, int endLength) {
    canvas.Pen().SetColor(velfw::clWindowText);
    for (const TickPoint& t : model_.TickPoints(step, endLength, length)) {
        canvas.MoveTo(t.From.X, t.From.Y);
        canvas.LineTo(t.To.X, t.To.Y);
    }
}

void TKxCustomSlider::KeyDown(WORD& key, TShiftState shift) {
    const bool modifiers = (shift & (velfw::ssShift | velfw::ssCtrl | velfw::ssAlt)) != 0;
    if (model_.KeyDown(KeyOf(key), modifiers, CanModify())) key = 0;
    velfw::TCustomControl::KeyDown(key, shift);
}

void TKxCustomSlider::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        if (CanFocus()) SetFocus();
        switch (model_.MouseDown(Point{x, y}, CanModify())) {
            case PressTarget::Thumb:
                ThumbMouseDown(button, shift, x, y);
                break;
            case PressTarget::Ruler:
                SetMouseCapture(true);
                break;
            case PressTarget::None:
                break;
        }
    }
    velfw::TCustomControl::MouseDown(button, shift, x, y);
}

void TKxCustomSlider::MouseMove(TShiftState shift, int x, int y) {
    model_.MouseMove(Point{x, y});
    if ((shift & velfw::ssLeft) && model_.Dragging()) ThumbMouseMove(shift, x, y);
    velfw::TCustomControl::MouseMove(shift, x, y);
}

void TKxCustomSlider::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (model_.Tracking()) {
        model_.EndTracking();
        SetMouseCapture(false);
    }
    if (model_.Dragging()) ThumbMouseUp(button, shift, x, y);
    velfw::TCustomControl::MouseUp(button, shift, x, y);
}

void TKxCustomSlider::ThumbMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus()) SetFocus();
    if (button != TMouseButton::mbLeft || !CanModify()) return;
    model_.BeginDrag(Point{x, y});
    Update();
}

void TKxCustomSlider::ThumbMouseMove(TShiftState shift, int x, int y) { model_.DragTo(Point{x, y}); }

void TKxCustomSlider::ThumbMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button != TMouseButton::mbLeft) return;
    model_.EndDrag(CanModify());
    Update();
}

void TKxCustomSlider::Timer(UINT_PTR id) {
    if (id == kTrackTimerId) model_.TrackTimer();
}

void TKxCustomSlider::DoEnter() {
    if (Options() & soShowFocus) Invalidate();
    velfw::TCustomControl::DoEnter();
}

void TKxCustomSlider::DoExit() {
    if (Options() & soShowFocus) Invalidate();
    velfw::TCustomControl::DoExit();
}

void TKxCustomSlider::EnabledChanged() {
    const RECT thumb = ToRECT(model_.ThumbRect());
    if (HandleAllocated()) ::InvalidateRect(HandleOrNull(), &thumb, FALSE);
}

void TKxCustomSlider::WndProc(velfw::TMessage& m) {
    if (m.Msg == WM_SETCURSOR && LOWORD(m.LParam) == HTCLIENT && !(ComponentState() & velfw::csDesigning) &&
        velfw::Screen) {
        POINT p;
        if (::GetCursorPos(&p) && ::ScreenToClient(HandleOrNull(), &p) && model_.CursorOverThumb(Point{p.x, p.y})) {
            ::SetCursor(velfw::Screen->Cursors[kx::crHandCursor]);
            m.Result = TRUE;
            return;
        }
    }
    velfw::TCustomControl::WndProc(m);
}

}  // namespace settings
