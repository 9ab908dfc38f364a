#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "KxMenus.h"
#include "KxMenusRules.h"
#include "ScopeGuards.h"
#include "TestForms.h"
#include "TestIcons.h"

namespace {

using kx::TKxMenuStyle;
using kx::TKxPopupMenu;
using velfw::TBitmap;
using velfw::TMenuItem;

constexpr int kW = 200, kH = 30;
constexpr COLORREF kUntouched = RGB(1, 2, 3);

COLORREF Rgb(velfw::TColor c) { return velfw::ColorToRGB(c); }

// Owner-drawn items drawn into a memory bitmap through the popup list's window.
struct DrawFixture : ::testing::Test {
    testing_support::ReportedFailures reports;
    TKxPopupMenu* menu = new TKxPopupMenu(nullptr);
    TBitmap target{kW, kH};
    ~DrawFixture() override { menu->Free(); }

    TMenuItem* Add(const char* caption) {
        auto* item = new TMenuItem(menu);
        item->SetCaption(caption);
        menu->Items()->Add(item);
        return item;
    }
    void Draw(TMenuItem* item, UINT state) {
        target.Canvas().FillRect(RECT{0, 0, kW, kH}, kUntouched);
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_MENU;
        d.itemID = item->Command();
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = state;
        d.hDC = target.Canvas().Handle();
        d.rcItem = RECT{0, 0, kW, kH};
        ASSERT_EQ(::SendMessageA(kx::PopupList().Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d)), 1);
    }
    MEASUREITEMSTRUCT Measure(TMenuItem* item) {
        MEASUREITEMSTRUCT m = {};
        m.CtlType = ODT_MENU;
        m.itemID = item->Command();
        ::SendMessageA(kx::PopupList().Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
        return m;
    }
    COLORREF At(int x, int y) { return ::GetPixel(target.Canvas().Handle(), x, y); }
    // Pixels of `r` that pass `test`.
    int Count(const RECT& r, const std::function<bool(COLORREF)>& test) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += test(At(x, y)) ? 1 : 0;
        return n;
    }
    int CountOf(const RECT& r, COLORREF c) {
        return Count(r, [c](COLORREF p) { return p == c; });
    }
};

TEST_F(DrawFixture, CheckedItemShowsTheCheckMarkOnTheMenuColour) {
    menu->SetStyle(TKxMenuStyle::msOwnerDraw);
    TMenuItem* item = Add("Open");
    const LONG dims = ::GetMenuCheckMarkDimensions();
    // The check column, past the one pixel every top-level item keeps free.
    const int space = kx::CheckSpaceOf(LOWORD(dims));
    const RECT column{1 + space, 0, 1 + space + LOWORD(dims), kH};
    const RECT all{0, 0, kW, kH};
    Draw(item, 0);
    EXPECT_EQ(CountOf(column, Rgb(velfw::clMenuText)), 0);
    const int caption = CountOf(all, Rgb(velfw::clMenuText));
    Draw(item, ODS_CHECKED);
    EXPECT_EQ(At(kW - 2, 1), Rgb(velfw::clMenu));
    EXPECT_GT(CountOf(column, Rgb(velfw::clMenuText)), 4) << "the mark in the text colour";
    // Without check marks and no image column there is nowhere to show it.
    menu->ShowCheckMarks = false;
    Draw(item, 0);
    const int moved = CountOf(all, Rgb(velfw::clMenuText));
    Draw(item, ODS_CHECKED);
    EXPECT_EQ(CountOf(all, Rgb(velfw::clMenuText)), moved);
    EXPECT_GT(caption, 0);
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(DrawFixture, DisabledImageIsEmbossedNotDrawnInItsColours) {
    auto* images = new velfw::TCustomImageList(menu);
    images->AddIcon(*testing_support::MakeIcon());  // a black checkerboard
    menu->SetImages(images);
    TMenuItem* item = Add("Open");
    item->ImageIndex = 0;
    const RECT column{0, 0, 60, kH};
    Draw(item, 0);
    EXPECT_GT(CountOf(column, RGB(0, 0, 0)), 20) << "the image itself";
    Draw(item, ODS_DISABLED | ODS_GRAYED);
    EXPECT_EQ(CountOf(column, RGB(0, 0, 0)), 0);
    EXPECT_GT(CountOf(column, Rgb(velfw::clBtnShadow)), 20) << "the shadow of the image";
    EXPECT_GT(CountOf(column, Rgb(velfw::clBtnHighlight)), 20) << "and its highlight";
    EXPECT_TRUE(reports.messages.empty());
}

// Where an item's 16-pixel graphic goes: the image column after the check
// column of a top-level item, centred in its two spare pixels, and
// vertically centred.
POINT GraphicPlace() {
    const LONG dims = ::GetMenuCheckMarkDimensions();
    return POINT{1 + 2 * kx::CheckSpaceOf(LOWORD(dims)) + LOWORD(dims) + 1, (kH - 16) / 2};
}

// The smallest rectangle holding the pixels of `colour`; empty when none.
RECT BoundsOf(DrawFixture& f, COLORREF colour) {
    RECT r{kW, kH, -1, -1};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (f.At(x, y) == colour) {
                r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r.right < 0 ? RECT{} : r;
}

TEST_F(DrawFixture, GlyphStripShowsTheCellOfTheItemsStateInTheImageColumn) {
    menu->SetStyle(TKxMenuStyle::msOwnerDraw);
    TMenuItem* item = Add("Open");
    const COLORREF cells[] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255), RGB(255, 200, 0)};
    const auto strip = [&](int glyphs) {
        auto bitmap = std::make_unique<TBitmap>(16 * glyphs, 16);
        for (int i = 0; i < glyphs; ++i)
            bitmap->Canvas().FillRect(RECT{16 * i, 0, 16 * i + 16, 16}, static_cast<velfw::TColor>(cells[i]));
        bitmap->SetTransparentColor(velfw::clWhite);
        return bitmap;
    };
    const auto four = strip(4), two = strip(2);
    TBitmap* given = nullptr;
    int glyphs = 0;
    menu->OnGetItemParams = [&](velfw::TObject*, TMenuItem*, kx::TMenuOwnerDrawState, velfw::TFont&, velfw::TColor&,
                                velfw::TGraphic*& graphic, int& numGlyphs) {
        graphic = given;
        numGlyphs = glyphs;
    };
    const POINT at = GraphicPlace();
    const struct {
        const char* name;
        UINT state;
        int glyphs;
        int cell;
    } rows[] = {
        {"plain", 0, 4, 0},
        {"disabled", ODS_DISABLED | ODS_GRAYED, 4, 1},
        {"selected", ODS_SELECTED, 4, 2},
        {"checked", ODS_CHECKED, 4, 3},
        {"disabled and checked", ODS_DISABLED | ODS_CHECKED, 4, 1},
        {"checked, two glyphs: no fourth cell", ODS_CHECKED, 2, 0},
        {"disabled, two glyphs", ODS_DISABLED, 2, 1},
    };
    for (const auto& r : rows) {
        given = r.glyphs == 4 ? four.get() : two.get();
        glyphs = r.glyphs;
        Draw(item, r.state);
        const RECT place = BoundsOf(*this, cells[r.cell]);
        EXPECT_EQ(place.left, at.x) << r.name;
        EXPECT_EQ(place.top, at.y) << r.name;
        EXPECT_EQ(CountOf(RECT{0, 0, kW, kH}, cells[r.cell]), 16 * 16) << r.name << ": one whole cell";
        for (int other = 0; other < 4; ++other) {
            if (other == r.cell) continue;
            EXPECT_EQ(CountOf(RECT{0, 0, kW, kH}, cells[other]), 0) << r.name << ", cell " << other;
        }
    }
    EXPECT_TRUE(reports.messages.empty());
}

// A disabled bitmap is drawn as the shape of its black pixels: in the shadow
// colour, with a highlight copy one pixel down and right unless the item is
// selected; a monochrome one is stamped, a colour one embossed first.
TEST_F(DrawFixture, DisabledBitmapShowsItsBlackPixelsEmbossed) {
    menu->SetStyle(TKxMenuStyle::msOwnerDraw);
    TMenuItem* item = Add("Open");
    // A 6-pixel black square at (4, 4) on white, or on red.
    const auto picture = [](bool monochrome) {
        auto bitmap = std::make_unique<TBitmap>(16, 16);
        bitmap->Canvas().FillRect(RECT{0, 0, 16, 16}, monochrome ? velfw::clWhite : velfw::clRed);
        bitmap->Canvas().FillRect(RECT{4, 4, 10, 10}, velfw::clBlack);
        if (monochrome) {
            bitmap->Canvas().Brush().SetColor(velfw::clWhite);
            bitmap->SetMonochrome(true);
        }
        bitmap->SetTransparentColor(velfw::clWhite);
        return bitmap;
    };
    // Menus as grey as the classic scheme's: where they are as white as the
    // highlight (Wine's own scheme), the highlight copy cannot be seen.
    const int menuColour = COLOR_MENU;
    const COLORREF wasMenu = ::GetSysColor(COLOR_MENU);
    const COLORREF classicMenu = RGB(212, 208, 200);
    ASSERT_TRUE(::SetSysColors(1, &menuColour, &classicMenu));
    const velfw::ScopeExit restore([&] { ::SetSysColors(1, &menuColour, &wasMenu); });
    const auto mono = picture(true), colour = picture(false);
    ASSERT_TRUE(mono->Monochrome());
    ASSERT_FALSE(colour->Monochrome());
    TBitmap* given = nullptr;
    menu->OnGetItemParams = [&](velfw::TObject*, TMenuItem*, kx::TMenuOwnerDrawState, velfw::TFont&, velfw::TColor&,
                                velfw::TGraphic*& graphic, int&) { graphic = given; };
    const POINT at = GraphicPlace();
    const RECT box{at.x, at.y, at.x + 17, at.y + 17};
    const RECT square{at.x + 4, at.y + 4, at.x + 10, at.y + 10};
    const COLORREF highlight = Rgb(velfw::clBtnHighlight);
    const struct {
        const char* name;
        TBitmap* bitmap;
        UINT state;
        COLORREF shadow, back;
        bool embossed;
    } rows[] = {
        {"monochrome", mono.get(), ODS_DISABLED, Rgb(velfw::clBtnShadow), Rgb(velfw::clMenu), true},
        {"monochrome, selected", mono.get(), ODS_DISABLED | ODS_SELECTED, Rgb(velfw::clGrayText),
         Rgb(velfw::clHighlight), false},
        {"colour", colour.get(), ODS_DISABLED, Rgb(velfw::clBtnShadow), Rgb(velfw::clMenu), true},
        {"colour, selected", colour.get(), ODS_DISABLED | ODS_SELECTED, Rgb(velfw::clGrayText),
         Rgb(velfw::clHighlight), false},
    };
    ASSERT_NE(highlight, Rgb(velfw::clBtnShadow));
    ASSERT_NE(highlight, Rgb(velfw::clMenu)) << "the highlight copy would not show";
    for (const auto& r : rows) {
        given = r.bitmap;
        Draw(item, r.state);
        EXPECT_EQ(CountOf(square, r.shadow), 36) << r.name << ": the square in the shadow colour, in its place";
        // The highlight copy shows where the shadow does not cover it: the
        // square's right and bottom edges moved out by one.
        const int edges = CountOf(RECT{square.right, square.top + 1, square.right + 1, square.bottom + 1}, highlight) +
                          CountOf(RECT{square.left + 1, square.bottom, square.right, square.bottom + 1}, highlight);
        EXPECT_EQ(edges, r.embossed ? 11 : 0) << r.name;
        EXPECT_EQ(CountOf(box, r.shadow) + CountOf(box, highlight) * r.embossed + CountOf(box, r.back), 17 * 17)
            << r.name << ": nothing else in the column, the rest the item's background";
        EXPECT_EQ(CountOf(RECT{0, 0, kW, kH}, RGB(0, 0, 0)), 0) << r.name << ": not in its own colours";
        EXPECT_EQ(CountOf(RECT{0, 0, kW, kH}, RGB(255, 0, 0)), 0) << r.name;
    }
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(DrawFixture, SelectedItemLoweredKeepsMenuColoursInAFrame) {
    TMenuItem* item = Add("Open");
    menu->SetStyle(TKxMenuStyle::msBtnLowered);
    Draw(item, ODS_SELECTED);
    EXPECT_EQ(At(kW - 5, kH / 2), Rgb(velfw::clMenu));
    EXPECT_EQ(At(1, 0), Rgb(velfw::clBtnShadow)) << "lowered: shadow above and left";
    EXPECT_EQ(At(kW - 1, kH - 1), Rgb(velfw::clBtnHighlight));
    EXPECT_EQ(CountOf(RECT{0, 0, kW, kH}, Rgb(velfw::clHighlight)), 0);

    menu->SetStyle(TKxMenuStyle::msBtnRaised);
    Draw(item, ODS_SELECTED);
    EXPECT_EQ(At(1, 0), Rgb(velfw::clBtnHighlight)) << "raised: the colours swapped";
    EXPECT_EQ(At(kW - 1, kH - 1), Rgb(velfw::clBtnShadow));

    menu->SetStyle(TKxMenuStyle::msOwnerDraw);
    Draw(item, ODS_SELECTED);
    EXPECT_EQ(At(kW - 5, kH / 2), Rgb(velfw::clHighlight));
    EXPECT_GT(CountOf(RECT{0, 0, kW, kH}, Rgb(velfw::clHighlightText)), 5) << "the caption";
}

TEST_F(DrawFixture, NoColourFromTheItemParametersLeavesTheBackground) {
    menu->SetStyle(TKxMenuStyle::msOwnerDraw);
    TMenuItem* item = Add("Open");
    TMenuItem* line = Add("-");
    TBitmap red(16, 16);
    red.Canvas().FillRect(RECT{0, 0, 16, 16}, velfw::clRed);
    red.SetTransparentColor(velfw::clWhite);
    velfw::TColor given = velfw::clNone;
    menu->OnGetItemParams = [&](velfw::TObject*, TMenuItem*, kx::TMenuOwnerDrawState, velfw::TFont&,
                                velfw::TColor& color, velfw::TGraphic*& graphic, int&) {
        color = given;
        graphic = &red;
    };
    Draw(item, 0);
    EXPECT_EQ(At(kW - 2, 1), kUntouched);
    EXPECT_GT(CountOf(RECT{0, 0, 60, kH}, RGB(255, 0, 0)), 200) << "the graphic is drawn";
    given = velfw::clMenu;
    Draw(item, 0);
    EXPECT_EQ(At(kW - 2, 1), Rgb(velfw::clMenu));

    // A separator ignores the graphic and draws shadow above highlight.
    Draw(line, 0);
    EXPECT_EQ(CountOf(RECT{0, 0, kW, kH}, RGB(255, 0, 0)), 0);
    EXPECT_EQ(At(kW / 2, kH / 2 - 1), Rgb(velfw::clBtnShadow));
    EXPECT_EQ(At(kW / 2, kH / 2), Rgb(velfw::clBtnHighlight));
    EXPECT_GE(Measure(line).itemHeight, 9u);
}

TEST_F(DrawFixture, ImageIndexOutsideTheListFallsBackToTheGraphic) {
    auto* images = new velfw::TCustomImageList(menu);
    images->AddIcon(*testing_support::MakeIcon());
    menu->SetImages(images);
    TMenuItem* item = Add("Open");
    TBitmap red(16, 16);
    red.Canvas().FillRect(RECT{0, 0, 16, 16}, velfw::clRed);
    red.SetTransparentColor(velfw::clWhite);
    menu->OnGetItemParams = [&](velfw::TObject*, TMenuItem*, kx::TMenuOwnerDrawState, velfw::TFont&, velfw::TColor&,
                                velfw::TGraphic*& graphic, int&) { graphic = &red; };
    const RECT column{0, 0, 60, kH};
    item->ImageIndex = 0;
    Draw(item, 0);
    EXPECT_EQ(CountOf(column, RGB(255, 0, 0)), 0) << "the list's image wins";
    for (int index : {1, 99, -1}) {
        item->ImageIndex = index;
        Draw(item, 0);
        EXPECT_GT(CountOf(column, RGB(255, 0, 0)), 200) << index;
    }
    int asked = -2;
    menu->OnGetImageIndex = [&](velfw::TObject*, TMenuItem*, kx::TMenuOwnerDrawState, int& index) {
        asked = index;
        index = 0;
    };
    Draw(item, 0);
    EXPECT_EQ(asked, -1);
    EXPECT_EQ(CountOf(column, RGB(255, 0, 0)), 0) << "the event's index is used";
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(DrawFixture, IconGraphicIsMeasuredAndDrawnAtItsOwnSize) {
    menu->SetStyle(TKxMenuStyle::msOwnerDraw);
    TMenuItem* item = Add("Open");
    auto icon = testing_support::SolidIcon(24, RGB(255, 0, 0));
    TBitmap bitmap(16, 16);
    bitmap.Canvas().FillRect(RECT{0, 0, 16, 16}, velfw::clBlue);
    velfw::TGraphic* given = &bitmap;
    menu->OnGetItemParams = [&](velfw::TObject*, TMenuItem*, kx::TMenuOwnerDrawState, velfw::TFont&, velfw::TColor&,
                                velfw::TGraphic*& graphic, int&) { graphic = given; };
    const MEASUREITEMSTRUCT withBitmap = Measure(item);
    given = icon.get();
    const MEASUREITEMSTRUCT withIcon = Measure(item);
    EXPECT_EQ(withIcon.itemWidth, withBitmap.itemWidth + 8) << "24 pixels of icon against 16 of bitmap";
    EXPECT_GE(withIcon.itemHeight, 28u);

    Draw(item, 0);
    const RECT column{0, 0, 60, kH};
    EXPECT_EQ(CountOf(column, RGB(255, 0, 0)), 24 * 24) << "not stretched to the standard icon size";
    int top = kH, bottom = -1;
    for (int y = 0; y < kH; ++y)
        if (CountOf(RECT{0, y, 60, y + 1}, RGB(255, 0, 0)) > 0) top = std::min(top, y), bottom = y;
    EXPECT_EQ(top, (kH - 24) / 2) << "centred";
    EXPECT_EQ(bottom, top + 23);
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(DrawFixture, MarginIsBlueFadingDownAndWidensTheItems) {
    menu->SetStyle(TKxMenuStyle::msOwnerDraw);
    TMenuItem* item = Add("Open");
    const UINT plain = Measure(item).itemWidth;
    menu->LeftMargin = 20;
    EXPECT_EQ(Measure(item).itemWidth, plain + 20) << "the one pixel of a top-level item was there already";
    int heights = 0;
    menu->OnMeasureItem = [&](velfw::TObject*, TMenuItem*, int&, int& height) { height = heights = 40; };
    EXPECT_EQ(Measure(item).itemHeight, 40u);
    EXPECT_EQ(heights, 40);
    Draw(item, 0);
    EXPECT_EQ(At(2, 0), RGB(0, 0, 255));
    EXPECT_LT(GetBValue(At(2, kH - 1)), 255);
    EXPECT_GE(GetBValue(At(2, kH - 1)), 63);
    EXPECT_EQ(At(18, 5), Rgb(velfw::clBtnShadow));
    EXPECT_EQ(At(19, 5), Rgb(velfw::clBtnHighlight));
    bool custom = false;
    menu->OnDrawMargin = [&](velfw::TObject*, const RECT& r) { custom = r.left == 0 && r.right == 20; };
    Draw(item, 0);
    EXPECT_TRUE(custom);
    EXPECT_EQ(At(2, 0), kUntouched);
}

// An owner-drawn menu shown for real: the system asks it to measure and draw.
void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }

TEST_F(DrawFixture, ShownMenuIsMeasuredAndDrawnByTheComponent) {
    menu->SetStyle(TKxMenuStyle::msBtnLowered);
    Add("Open");
    Add("-");
    Add("Exit");
    int measured = 0, drawn = 0;
    menu->OnMeasureItem = [&](velfw::TObject*, TMenuItem*, int&, int&) { ++measured; };
    menu->OnDrawItem = [&](velfw::TObject*, TMenuItem*, const RECT&, kx::TMenuOwnerDrawState) { ++drawn; };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, CloseShownMenu);
    menu->Popup(20, 30);
    ::KillTimer(nullptr, timer);
    EXPECT_GE(measured, 3);
    EXPECT_GE(drawn, 1);
    EXPECT_TRUE(reports.messages.empty());
}

}  // namespace
