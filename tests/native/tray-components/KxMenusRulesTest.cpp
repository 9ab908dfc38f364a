#include <gtest/gtest.h>

#include <string>

#include "KxMenusRules.h"

using namespace kx;

namespace {

// 6 pixels a character, 8 a tab: easy sums, and tabs differ from letters.
int32_t FakeWidth(const std::string& s) {
    int32_t w = 0;
    for (char c : s) w += c == '\t' ? 8 : 6;
    return w;
}

MenuMetrics Metrics() {
    MenuMetrics m;
    m.CheckWidth = 15;
    m.CheckHeight = 15;
    m.MenuHeight = 19;
    m.TextHeight = 13;
    return m;
}

MenuItemState Item(const std::string& caption, const std::string& shortCut = "") {
    MenuItemState s;
    s.Text = {caption, shortCut};
    return s;
}

TEST(MenuItemLayout, CheckSpaceRoundsHalfToEven) {
    const struct {
        int32_t checkWidth, space;
    } cases[] = {{15, 4}, {5, 2}, {25, 8}, {35, 10}, {13, 4}, {16, 5}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(CheckSpaceOf(c.checkWidth), c.space) << c.checkWidth;
}

TEST(MenuItemLayout, GlyphCellFollowsTheStateAndFallsBackToTheFirst) {
    const struct {
        const char* name;
        int32_t glyphs;
        bool disabled, checked, selected;
        int32_t cell;
    } cases[] = {
        {"plain", 4, false, false, false, 0},
        {"disabled", 4, true, false, false, 1},
        {"disabled wins over checked and selected", 4, true, true, true, 1},
        {"checked", 4, false, true, false, 3},
        {"checked wins over selected", 4, false, true, true, 3},
        {"selected", 4, false, false, true, 2},
        {"two glyphs checked: no fourth cell", 2, false, true, false, 0},
        {"two glyphs disabled", 2, true, false, false, 1},
        {"three glyphs selected", 3, false, false, true, 2},
        {"three glyphs checked", 3, false, true, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GlyphCellOf(c.glyphs, c.disabled, c.checked, c.selected), c.cell) << c.name;

    // Through the layout: only a bitmap strip picks a cell.
    MenuItemState strip = Item("Open");
    strip.HasGraphic = strip.GraphicIsBitmap = true;
    strip.GraphicWidth = 64;
    strip.GraphicHeight = 16;
    strip.NumGlyphs = 4;
    strip.Disabled = true;
    MenuItemLayout l = LayoutMenuItem(Metrics(), FakeWidth, strip);
    EXPECT_EQ(l.Column, ImageColumn::Graphic);
    EXPECT_EQ(l.GlyphCell, 1);
    EXPECT_EQ(l.ImageWidth, 16) << "one glyph wide";
    strip.NumGlyphs = 6;  // not a strip: the whole bitmap
    l = LayoutMenuItem(Metrics(), FakeWidth, strip);
    EXPECT_EQ(l.GlyphCell, 0);
    EXPECT_EQ(l.ImageWidth, 64);
}

TEST(MenuItemLayout, SeparatorIsAtLeastNinePixelsHigh) {
    const struct {
        int32_t textHeight, height;
    } cases[] = {{13, 9}, {0, 9}, {18, 9}, {19, 9}, {20, 10}, {31, 15}};
    for (const auto& c : cases) {
        MenuMetrics m = Metrics();
        m.TextHeight = c.textHeight;
        m.MenuHeight = 40;  // the line height of other items does not apply
        EXPECT_EQ(LayoutMenuItem(m, FakeWidth, Item("-")).Height, c.height) << c.textHeight;
    }
    MenuItemState line = Item("-");
    EXPECT_FALSE(LayoutMenuItem(Metrics(), FakeWidth, line).DrawShortCut);
}

TEST(MenuItemLayout, ShortcutsAlignAtTheWidestCaptionOfTheMenu) {
    const std::vector<MenuItemText> menu = {{"&Open", "Ctrl+O"}, {"Save &as something", "F12"}, {"Exit", ""}};
    MenuItemState open = Item("&Open", "Ctrl+O");
    MenuItemState save = Item("Save &as something", "F12");
    MenuItemState exit = Item("Exit");
    for (MenuItemState* s : {&open, &save, &exit}) s->Siblings = menu;
    const MenuItemLayout a = LayoutMenuItem(Metrics(), FakeWidth, open);
    const MenuItemLayout b = LayoutMenuItem(Metrics(), FakeWidth, save);
    const MenuItemLayout c = LayoutMenuItem(Metrics(), FakeWidth, exit);
    const int32_t widestCaption = 17 * 6 + 2 * 8;  // "Save as something" and two tabs
    EXPECT_TRUE(a.DrawShortCut);
    EXPECT_TRUE(b.DrawShortCut);
    EXPECT_FALSE(c.DrawShortCut);
    EXPECT_EQ(a.ShortCutX, a.TextX + widestCaption);
    EXPECT_EQ(b.ShortCutX, a.ShortCutX);
    EXPECT_EQ(a.Width, b.Width) << "both as wide as the widest caption and shortcut";
    // 2 x check space + caption column + "Ctrl+O " + the check mark
    EXPECT_EQ(a.Width, 2 * 4 + widestCaption + 7 * 6 + 15);
    EXPECT_LT(c.Width, a.Width) << "an item without a shortcut measures only itself";

    // Alone (no parent) it measures only its own caption.
    MenuItemState alone = Item("&Open", "Ctrl+O");
    EXPECT_EQ(LayoutMenuItem(Metrics(), FakeWidth, alone).ShortCutX, a.TextX + 4 * 6 + 2 * 8);
    // A submenu draws no shortcut but reserves room for its arrow.
    alone.HasSubmenu = true;
    const MenuItemLayout sub = LayoutMenuItem(Metrics(), FakeWidth, alone);
    EXPECT_FALSE(sub.DrawShortCut);
    EXPECT_EQ(sub.Width, LayoutMenuItem(Metrics(), FakeWidth, Item("&Open", "Ctrl+O")).Width + 16);
}

TEST(MenuItemLayout, ImageColumnFallsBackFromListToGraphicToMinimumOffset) {
    MenuMetrics m = Metrics();
    m.HasImages = true;
    m.ImageWidth = 16;
    m.ImageHeight = 16;
    MenuItemState item = Item("Open");
    item.ValidImage = true;
    MenuItemLayout l = LayoutMenuItem(m, FakeWidth, item);
    EXPECT_EQ(l.Column, ImageColumn::ListImage);
    EXPECT_EQ(l.Height, 20) << "image height + 4";
    EXPECT_EQ(l.TextX, 2 * 4 + 15 + 18 + 4);
    EXPECT_EQ(l.ImageX, 2 * 4 + 15 + 1);

    item.ValidImage = false;  // an index outside the list
    item.HasGraphic = item.GraphicIsBitmap = true;
    item.GraphicWidth = 24;
    item.GraphicHeight = 24;
    l = LayoutMenuItem(m, FakeWidth, item);
    EXPECT_EQ(l.Column, ImageColumn::Graphic);
    EXPECT_EQ(l.ImageWidth, 24);
    EXPECT_EQ(l.Height, 17) << "measured by the list's column, which has no image here";
    m.HasImages = false;
    EXPECT_EQ(LayoutMenuItem(m, FakeWidth, item).Height, 28) << "without a list the graphic counts";
    m.HasImages = true;

    item.HasGraphic = false;
    l = LayoutMenuItem(m, FakeWidth, item);
    EXPECT_EQ(l.Column, ImageColumn::MinOffset) << "the image list still reserves its column";
    EXPECT_EQ(l.BoxWidth, 20);
    EXPECT_EQ(l.Height, 17) << "menu height - 2, no image";
}

TEST(MenuItemLayout, CheckedItemWithoutCheckMarksGetsALoweredBoxUnlessAButtonStyle) {
    MenuMetrics m = Metrics();
    m.HasImages = true;
    m.ImageWidth = 16;
    m.ShowCheckMarks = false;
    MenuItemState item = Item("Open");
    item.Checked = true;
    item.ValidImage = true;
    MenuItemLayout l = LayoutMenuItem(m, FakeWidth, item);
    EXPECT_TRUE(l.LoweredBox);
    EXPECT_FALSE(l.DrawCheck);
    EXPECT_EQ(l.BoxX, 4 - 1) << "the text offset falls back to the check space";
    m.ButtonStyle = 1;
    EXPECT_FALSE(LayoutMenuItem(m, FakeWidth, item).LoweredBox);
    m.ShowCheckMarks = true;
    m.ButtonStyle = 0;
    l = LayoutMenuItem(m, FakeWidth, item);
    EXPECT_FALSE(l.LoweredBox);
    EXPECT_TRUE(l.DrawCheck);
    EXPECT_EQ(l.CheckX, 4) << "centred in the check column";
}

TEST(MenuItemLayout, EmbossAndTextFlags) {
    const struct {
        const char* name;
        bool newShell, selected;
        int button;
        bool differ, emboss;
    } cases[] = {
        {"plain", true, false, 0, true, true},
        {"selected with distinct grey", true, true, 0, true, false},
        {"selected, grey as the highlight", true, true, 0, false, true},
        {"selected button", true, true, 1, true, true},
        {"old shell", false, false, 0, true, false},
    };
    for (const auto& c : cases) {
        MenuMetrics m = Metrics();
        m.NewShell = c.newShell;
        m.ButtonStyle = c.button;
        m.GrayTextDiffersFromHighlight = c.differ;
        MenuItemState item = Item("Open");
        item.Selected = c.selected;
        EXPECT_EQ(LayoutMenuItem(m, FakeWidth, item).Emboss, c.emboss) << c.name;
    }
    MenuMetrics m = Metrics();
    EXPECT_EQ(LayoutMenuItem(m, FakeWidth, Item("Open")).TextFlags, 0x60u);
    m.RightToLeft = true;
    EXPECT_EQ(LayoutMenuItem(m, FakeWidth, Item("Open")).TextFlags, 0x60u | 0x20002u);
}

TEST(MenuMargin, ThirtyTwoBandsFromBlueToAQuarterOfIt) {
    const MarginColors c = MenuMarginColors();
    EXPECT_EQ(c.Start, 0xFF0000u) << "(0, 0, 255)";
    EXPECT_EQ(c.End, 0x3F0000u) << "(0, 0, 63)";
    const auto bands = PlanGradientBands({0, 0, 20, 320}, c.Start, c.End, GradientDirection::TopToBottom, c.Bands);
    ASSERT_GE(bands.size(), 32u);
    EXPECT_EQ(bands.front().Color, 0xFF0000u);
    EXPECT_EQ(bands.front().Area.Top, 0);
    EXPECT_EQ(bands[31].Color, 0x3F0000u);
    EXPECT_EQ(bands[31].Area.Bottom, 320);
}

}  // namespace
