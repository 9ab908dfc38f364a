#include "Buttons.h"

namespace velfw {

namespace {

constexpr int kFaceMargin = 4;  // between the frame and the face's content

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
    glyph_.SetTransparent(true);
    glyph_.OnChange = [this] { Invalidate(); };
}

void TBitBtn::SetNumGlyphs(int value) {
    if (value < 1 || value > 2 || value == numGlyphs_) return;
    numGlyphs_ = value;
    Invalidate();
}

void TBitBtn::CreateParams(TCreateParams& p) {
    TButton::CreateParams(p);
    p.WinClassName = "TVelunorBitBtn";
    p.Style = (p.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

bool TBitBtn::MultiLine() {
    return HandleAllocated() && (::GetWindowLongA(HandleOrNull(), GWL_STYLE) & BS_MULTILINE) != 0;
}

// The system draws no text of an owner-drawn button, so a multi-line one is
// wrapped here as the system would: at the width, and at every CR.
UINT TBitBtn::TextFlags() { return MultiLine() ? DT_CENTER | DT_WORDBREAK : DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

std::string TBitBtn::DisplayCaption() {
    std::string caption = Caption();
    if (MultiLine()) return caption;
    // A single-line button keeps one line whatever the text renderer does
    // with line breaks.
    for (char& c : caption)
        if (c == '\r' || c == '\n') c = ' ';
    return caption;
}

RECT TBitBtn::CaptionRect(TCanvas& canvas, const RECT& bounds) {
    RECT area = bounds;
    ::InflateRect(&area, -kFaceMargin, -kFaceMargin);
    const int glyphW = glyph_.Empty() ? 0 : glyph_.Width() / numGlyphs_ + Spacing;
    area.left += glyphW;
    RECT text = area;
    canvas.DrawText(DisplayCaption(), text, TextFlags() | DT_CALCRECT);
    // Centred in the area left beside the glyph, as one block.
    const int w = text.right - text.left, h = text.bottom - text.top;
    const int areaW = area.right - area.left;
    text.left = area.left + (areaW - w) / 2;
    text.right = text.left + w;
    text.top = area.top + (area.bottom - area.top - h) / 2;
    text.bottom = text.top + h;
    return text;
}

void TBitBtn::DrawButton(TCanvas& canvas, const RECT& bounds, UINT state) {
    const bool pressed = (state & ODS_SELECTED) != 0;
    const bool disabled = (state & ODS_DISABLED) != 0;
    const bool focused = (state & ODS_FOCUS) != 0;
    RECT r = bounds;
    if (Default || focused) {
        canvas.FrameRect(r, clWindowFrame);
        ::InflateRect(&r, -1, -1);
    }
    ::DrawFrameControl(canvas.Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
    const int shift = pressed ? 1 : 0;
    canvas.Font().Assign(Font());
    RECT text = CaptionRect(canvas, bounds);
    ::OffsetRect(&text, shift, shift);
    if (!glyph_.Empty()) {
        const int cellW = glyph_.Width() / numGlyphs_;
        const int cell = disabled && numGlyphs_ > 1 ? 1 : 0;
        const int x = text.left - Spacing - cellW;
        const int y = (bounds.top + bounds.bottom - glyph_.Height()) / 2 + shift;
        TBitmap part(cellW, glyph_.Height());
        part.Canvas().CopyRect(RECT{0, 0, cellW, glyph_.Height()}, glyph_.Canvas(),
                               RECT{cell * cellW, 0, cell * cellW + cellW, glyph_.Height()});
        part.SetTransparentColor(glyph_.TransparentColor());
        part.SetTransparent(true);
        canvas.Draw(x, y, part);
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    const std::string caption = DisplayCaption();
    if (disabled) {
        RECT light = text;
        ::OffsetRect(&light, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(caption, light, TextFlags());
        canvas.Font().SetColor(clBtnShadow);
    } else {
        canvas.Font().SetColor(clBtnText);
    }
    canvas.DrawText(caption, text, TextFlags());
    if (focused) {
        RECT focus = r;
        ::InflateRect(&focus, -3, -3);
        ::SetTextColor(canvas.Handle(), RGB(0, 0, 0));
        ::SetBkColor(canvas.Handle(), RGB(255, 255, 255));
        ::DrawFocusRect(canvas.Handle(), &focus);
    }
}

void TBitBtn::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
            if (!item) break;
            TCanvas canvas(item->hDC);
            DrawButton(canvas, item->rcItem, item->itemState);
            m.Result = TRUE;
            return;
        }
        case WM_LBUTTONDBLCLK:
            // An owner-drawn button turns a quick second press into a double
            // click; it is one more press.
            m.Msg = WM_LBUTTONDOWN;
            break;
        default:
            break;
    }
    TButton::WndProc(m);
}

}  // namespace velfw
