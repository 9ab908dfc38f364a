#include "KxMenusRules.h"

#include "MaxMin.h"
#include "StrUtils.h"

namespace kx {

namespace {

constexpr uint32_t kDtSingleLineExpandTabs = 0x60;
constexpr uint32_t kDtRightRtlReading = 0x20002;

bool IsSeparator(const MenuItemText& text) { return text.Caption == "-"; }

int32_t CaptionTabWidth(const TextWidthFn& textWidth, const MenuItemText& text) {
    return textWidth(RemoveChar(text.Caption, '&') + "\t\t");
}

int32_t ShortCutWidth(const TextWidthFn& textWidth, const MenuItemText& text) {
    return textWidth(text.ShortCut + " ");
}

// The caption column's width: the widest of the parent's when shortcuts are to line up.
int32_t AlignedCaptionWidth(const TextWidthFn& textWidth, const MenuItemState& item) {
    int32_t w = CaptionTabWidth(textWidth, item.Text);
    if (!item.Siblings.empty() && !item.Text.ShortCut.empty())
        for (const MenuItemText& s : item.Siblings) w = IntMax(w, CaptionTabWidth(textWidth, s));
    return w;
}

int32_t AlignedShortCutWidth(const TextWidthFn& textWidth, const MenuItemState& item) {
    int32_t w = ShortCutWidth(textWidth, item.Text);
    if (!item.Siblings.empty() && !item.Text.ShortCut.empty())
        for (const MenuItemText& s : item.Siblings) w = IntMax(w, ShortCutWidth(textWidth, s));
    return w;
}

// A bitmap strip of 2 to 5 glyphs shows one glyph at a time.
int32_t GraphicCellWidth(const MenuItemState& item) {
    if (item.GraphicIsBitmap && item.NumGlyphs >= 2 && item.NumGlyphs <= 5) return item.GraphicWidth / item.NumGlyphs;
    return item.GraphicWidth;
}

void Measure(const MenuMetrics& m, const TextWidthFn& textWidth, const MenuItemState& item, MenuItemLayout& out) {
    const bool popup = item.PopupItem;
    int32_t minOffset = m.MinTextOffset;
    int32_t height = m.NewShell ? m.MenuHeight - 2 : m.MenuHeight;
    int32_t width = 0;
    if (popup) {
        width = 2 * out.CheckSpace;
        if (m.HasImages) minOffset = IntMax(minOffset, m.ImageWidth + 2);
    } else {
        minOffset = 0;
    }
    if (!popup) {
        width += textWidth(RemoveChar(item.Text.Caption, '&'));
    } else {
        int32_t text = AlignedCaptionWidth(textWidth, item) + AlignedShortCutWidth(textWidth, item);
        if (item.HasSubmenu) text += textWidth("\t\t");
        width += text;
    }
    if (m.ShowCheckMarks && popup) width += m.CheckWidth;
    if (IsSeparator(item.Text)) {
        out.Width = width;
        out.Height = IntMax(m.TextHeight / 2, 9);
        return;
    }
    height = IntMax(height, m.TextHeight);
    const int32_t nonPopupExtra = popup ? 0 : out.CheckSpace;
    if (m.HasImages && (popup || item.ValidImage)) {
        width += IntMax(m.ImageWidth + 2, minOffset) + nonPopupExtra;
        if (item.ValidImage) height = IntMax(height, m.ImageHeight + 4);
    } else if (item.HasGraphic) {
        width += IntMax(GraphicCellWidth(item) + 2, minOffset) + nonPopupExtra;
        height = IntMax(height, item.GraphicHeight + 4);
    } else if (minOffset != 0) {
        width += minOffset + nonPopupExtra;
    }
    out.Width = width;
    out.Height = height;
}

void Place(const MenuMetrics& m, const TextWidthFn& textWidth, const MenuItemState& item, MenuItemLayout& out) {
    const bool popup = item.PopupItem;
    const bool button = m.ButtonStyle == 1 || m.ButtonStyle == 2;
    const int32_t checkSpace = out.CheckSpace;
    out.Emboss = m.NewShell && !(item.Selected && !button && m.GrayTextDiffersFromHighlight);
    out.LoweredBox = item.Checked && popup && !m.ShowCheckMarks && !button;

    int32_t minOffset = m.MinTextOffset;
    int32_t checkWidth = 0;
    int32_t textOffset = 0;
    if (popup) {
        checkWidth = m.ShowCheckMarks ? m.CheckWidth : 2;
        textOffset = 2 * checkSpace + checkWidth;
    } else {
        minOffset = 0;
        textOffset = checkSpace + 2;
    }
    out.DrawCheck = item.Checked && popup && m.ShowCheckMarks;
    out.CheckX = (textOffset - checkWidth) / 2;
    if (m.HasImages && popup) minOffset = IntMax(minOffset, m.ImageWidth + 2);
    if (!m.ShowCheckMarks && (item.HasGraphic || minOffset > 0)) textOffset = checkSpace;

    auto column = [&](ImageColumn kind, int32_t pictureWidth, int32_t w) {
        out.Column = kind;
        out.BoxX = textOffset - 1;
        out.BoxWidth = w + 2;
        out.ImageWidth = pictureWidth;
        out.ImageX = textOffset + (w - pictureWidth) / 2;
        textOffset += w + checkSpace;
    };
    if (item.ValidImage) {
        column(ImageColumn::ListImage, m.ImageWidth, IntMax(m.ImageWidth + 2, minOffset));
    } else if (item.HasGraphic && !IsSeparator(item.Text)) {
        const int32_t w = GraphicCellWidth(item);
        column(ImageColumn::Graphic, w, IntMax(w + 2, minOffset));
        if (item.GraphicIsBitmap && item.NumGlyphs >= 2 && item.NumGlyphs <= 5)
            out.GlyphCell = GlyphCellOf(item.NumGlyphs, item.Disabled, item.Checked, item.Selected);
    } else if (minOffset > 0) {
        out.Column = ImageColumn::MinOffset;
        out.BoxX = textOffset - 1;
        out.BoxWidth = minOffset + 2;
        out.ImageX = out.BoxX + 2 + (minOffset - m.CheckWidth) / 2;
        textOffset += minOffset + checkSpace;
    }
    out.TextX = textOffset;
    out.TextFlags = kDtSingleLineExpandTabs | (m.RightToLeft ? kDtRightRtlReading : 0);
    if (!IsSeparator(item.Text)) {
        out.DrawShortCut = popup && !item.Text.ShortCut.empty() && !item.HasSubmenu;
        out.ShortCutX = textOffset + AlignedCaptionWidth(textWidth, item);
    }
}

}  // namespace

int32_t CheckSpaceOf(int32_t checkWidth) {
    // In tenths, exactly: 0.3 has no exact binary form and 4.5 must stay 4.
    const int64_t tenths = int64_t{3} * checkWidth;
    int64_t q = tenths / 10, r = tenths % 10;
    if (r < 0) {
        r += 10;
        --q;
    }
    if (r > 5 || (r == 5 && (q & 1))) ++q;
    return ClampToInt32(q);
}

int32_t GlyphCellOf(int32_t numGlyphs, bool disabled, bool checked, bool selected) {
    const int32_t cell = disabled ? 1 : checked ? 3 : selected ? 2 : 0;
    return cell < numGlyphs ? cell : 0;
}

MenuItemLayout LayoutMenuItem(const MenuMetrics& metrics, const TextWidthFn& textWidth, const MenuItemState& item) {
    MenuItemLayout out;
    out.CheckSpace = CheckSpaceOf(metrics.CheckWidth);
    Measure(metrics, textWidth, item, out);
    Place(metrics, textWidth, item, out);
    return out;
}

MarginColors MenuMarginColors() {
    constexpr uint32_t kBlue = 0xFF0000;  // 0x00BBGGRR
    const uint32_t r = kBlue & 0xFF, g = (kBlue >> 8) & 0xFF, b = (kBlue >> 16) & 0xFF;
    return {kBlue, (r / 4) | ((g / 4) << 8) | ((b / 4) << 16), 32};
}

}  // namespace kx
