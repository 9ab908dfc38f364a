// The layout of an owner-drawn popup-menu item: its measured size, where its
// check mark, image column, caption and shortcut go, which cell of a glyph
// strip it shows, and the colours of the menu's left margin. No Windows here;
// the Win32 side gathers the system's metrics and draws what this decides.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "KxUtilsRules.h"

namespace kx {

// Text width in the menu font, as the device measures it.
using TextWidthFn = std::function<int32_t(const std::string& text)>;

// What the system and the menu say about every item alike.
struct MenuMetrics {
    int32_t CheckWidth = 0, CheckHeight = 0;  // the system check mark
    int32_t MenuHeight = 0;                   // the height of a menu bar line
    int32_t TextHeight = 0;                   // one line of the menu font
    bool NewShell = true;                     // the shell of system version 4 and later
    bool ShowCheckMarks = true;
    int32_t MinTextOffset = 0;
    // An image list is assigned, with the size of its images.
    bool HasImages = false;
    int32_t ImageWidth = 0, ImageHeight = 0;
    // Button-like frame round the selected item: 0 none, 1 lowered, 2 raised.
    int ButtonStyle = 0;
    bool RightToLeft = false;
    // The device shows grey text and the highlight in different colours.
    bool GrayTextDiffersFromHighlight = true;
};

struct MenuItemText {
    std::string Caption;
    std::string ShortCut;  // the shortcut as text; empty for none
};

// One item as it is to be measured or drawn.
struct MenuItemState {
    MenuItemText Text;
    // The other items of its parent menu (itself included) for aligning
    // shortcuts; empty when the item has no parent.
    std::vector<MenuItemText> Siblings;
    bool HasSubmenu = false;
    bool PopupItem = true;  // false only for a top-level item of a menu bar
    bool Selected = false, Disabled = false, Checked = false;
    bool ValidImage = false;  // the image index names an image of a list with a handle
    // A non-empty picture of the item (never for a separator); a bitmap
    // gives its whole width and its glyph count.
    bool HasGraphic = false;
    bool GraphicIsBitmap = false;
    int32_t GraphicWidth = 0, GraphicHeight = 0;
    int32_t NumGlyphs = 1;
};

enum class ImageColumn { None, ListImage, Graphic, MinOffset };

// Offsets are from the left of the item rectangle (after the frame of a
// selected button, which insets it by 1).
struct MenuItemLayout {
    int32_t Width = 0, Height = 0;  // the measured size
    int32_t CheckSpace = 0;
    bool DrawCheck = false;  // the system check mark in the check column
    int32_t CheckX = 0;
    ImageColumn Column = ImageColumn::None;
    int32_t BoxX = 0, BoxWidth = 0;  // the box behind the image column
    bool LoweredBox = false;
    int32_t ImageX = 0;              // the image, graphic or the box's check mark
    int32_t ImageWidth = 0;          // of one glyph for a strip
    int32_t GlyphCell = 0;           // the cell of a strip to draw
    int32_t TextX = 0;
    bool DrawShortCut = false;
    int32_t ShortCutX = 0;
    uint32_t TextFlags = 0;  // DT_ flags of the caption and the shortcut
    bool Emboss = false;     // disabled pictures and texts get a highlight copy
};

// The check space: 0.3 of the check mark's width, rounded half to even.
int32_t CheckSpaceOf(int32_t checkWidth);

// The cell of a strip of `numGlyphs` glyphs an item shows: disabled 1,
// checked 3, selected 2, else 0; a cell the strip lacks gives 0.
int32_t GlyphCellOf(int32_t numGlyphs, bool disabled, bool checked, bool selected);

MenuItemLayout LayoutMenuItem(const MenuMetrics& metrics, const TextWidthFn& textWidth, const MenuItemState& item);

// The colours of the margin strip: pure blue fading to a quarter of it.
struct MarginColors {
    uint32_t Start = 0, End = 0;  // RGB
    uint8_t Bands = 0;
};
MarginColors MenuMarginColors();

}  // namespace kx
