#include <gtest/gtest.h>

#include <vector>

#include "Graphics.h"
#include "Icons.h"
#include "TestIcons.h"

using namespace velfw;

namespace {

constexpr COLORREF kRedRgb = RGB(255, 0, 0);

TEST(IconPicture, IsDrawnStretchedAndThroughItsMask) {
    auto icon = testing_support::SolidIcon(16, kRedRgb, true);
    TGraphic& picture = *icon;
    EXPECT_FALSE(picture.Empty());
    EXPECT_TRUE(picture.Transparent());
    EXPECT_EQ(picture.Width(), 16);
    EXPECT_EQ(picture.Height(), 16);

    TBitmap target(40, 40);
    target.Canvas().FillRect(RECT{0, 0, 40, 40}, clLime);
    target.Canvas().Draw(4, 4, picture);
    EXPECT_EQ(target.Canvas().Pixel(6, 10), clLime) << "the left half shows what was there";
    EXPECT_EQ(target.Canvas().Pixel(17, 10), clRed);
    EXPECT_EQ(target.Canvas().Pixel(19, 10), clRed);
    EXPECT_EQ(target.Canvas().Pixel(20, 10), clLime) << "nothing beyond its own size";

    target.Canvas().FillRect(RECT{0, 0, 40, 40}, clLime);
    target.Canvas().StretchDraw(RECT{0, 0, 32, 32}, picture);
    EXPECT_EQ(target.Canvas().Pixel(14, 30), clLime);
    EXPECT_EQ(target.Canvas().Pixel(17, 30), clRed);
    EXPECT_EQ(target.Canvas().Pixel(31, 31), clRed);
    EXPECT_EQ(target.Canvas().Pixel(32, 31), clLime);

    TIcon empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Width(), 0);
    target.Canvas().FillRect(RECT{0, 0, 40, 40}, clLime);
    target.Canvas().StretchDraw(RECT{0, 0, 40, 40}, empty);
    EXPECT_EQ(target.Canvas().Pixel(20, 20), clLime);
}

TEST(IconPicture, IsCopiedSavedAndLoadedAsAPicture) {
    auto icon = testing_support::SolidIcon(24, kRedRgb);
    TGraphic& picture = *icon;
    TIcon copy;
    int changes = 0;
    copy.OnChange = [&changes] { ++changes; };
    copy.Assign(picture);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Data(), icon->Data());
    EXPECT_EQ(copy.Width(), 24);
    TBitmap bitmap(2, 2);
    EXPECT_THROW(copy.Assign(bitmap), Exception) << "only an icon is an icon";
    EXPECT_EQ(copy.Data(), icon->Data());

    std::vector<uint8_t> saved;
    picture.SaveToStream(saved);
    EXPECT_EQ(saved, icon->Data());
    TIcon loaded;
    TGraphic& into = loaded;
    ASSERT_TRUE(into.LoadFromStream(saved));
    EXPECT_EQ(loaded.Data(), saved);
    EXPECT_FALSE(into.LoadFromStream(std::vector<uint8_t>(saved.begin(), saved.begin() + 20)));
    EXPECT_EQ(loaded.Data(), saved) << "what is no icon leaves it as it was";

    copy.Clear();
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(changes, 2);
}

}  // namespace
