#include "ExtCtrls.h"

#include "WinHandles.h"

namespace velfw {

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    bevelOuter_ = bevel;
    Realign();
    Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
    bevelInner_ = bevel;
    Realign();
    Invalidate();
}

void TPanel::SetBevelWidth(int width) {
    bevelWidth_ = width < 1 ? 1 : width;
    Realign();
    Invalidate();
}

void TPanel::SetText(const std::string& text) {
    TWinControl::SetText(text);
    Invalidate();
}

int TPanel::BevelSize() const {
    int n = 0;
    if (bevelOuter_ != TPanelBevel::bvNone) n += bevelWidth_;
    if (bevelInner_ != TPanelBevel::bvNone) n += bevelWidth_;
    return n;
}

RECT TPanel::InnerRect() const {
    const int b = BevelSize();
    RECT r{b, b, ClientWidth() - b, ClientHeight() - b};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

void TPanel::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = "TVelunorPanel";
    p.ClassStyle = CS_HREDRAW | CS_VREDRAW;
}

void TPanel::AlignControls(RECT& rect) {
    rect = InnerRect();
    TWinControl::AlignControls(rect);
}

namespace {

void DrawBevel(TCanvas& canvas, RECT& r, TPanelBevel bevel, int width) {
    if (bevel == TPanelBevel::bvNone) return;
    const TColor topLeft = bevel == TPanelBevel::bvRaised ? TColor(0x80000000 | COLOR_BTNHIGHLIGHT)
                                                          : TColor(0x80000000 | COLOR_BTNSHADOW);
    const TColor bottomRight = bevel == TPanelBevel::bvRaised ? TColor(0x80000000 | COLOR_BTNSHADOW)
                                                              : TColor(0x80000000 | COLOR_BTNHIGHLIGHT);
    for (int i = 0; i < width; ++i) {
        canvas.FillRect(RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
        canvas.FillRect(RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
        canvas.FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        canvas.FillRect(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        ::InflateRect(&r, -1, -1);
    }
}

}  // namespace

void TPanel::Paint(TCanvas& canvas) {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    DrawBevel(canvas, r, bevelOuter_, bevelWidth_);
    DrawBevel(canvas, r, bevelInner_, bevelWidth_);
    const std::string caption = Caption();
    if (caption.empty()) return;
    HDC dc = canvas.Handle();
    const SelectedObject font(dc, Font().Handle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRGB(Font().Color()));
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace velfw
