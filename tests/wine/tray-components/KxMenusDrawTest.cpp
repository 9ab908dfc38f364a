#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "KxMenus.h"
#include "KxMenusRules.h"
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
