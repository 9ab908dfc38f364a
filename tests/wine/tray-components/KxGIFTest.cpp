#include <gtest/gtest.h>

#include <vector>

#include "AniFile.h"
#include "GifTestFiles.h"
#include "IconFiles.h"
#include "KxGIF.h"
#include "KxGIFFormat.h"
#include "KxGraph.h"
#include "LibraryErrors.h"
#include "UtilityWindow.h"

namespace {

using kx::TGIFImage;
using velfw::TBitmap;
using velfw::TColor;
using velfw::TPixelFormat;
using Pixels = std::vector<TColor>;

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0;

// A 4 x 2 GIF of red, green, blue and white, written by our own writer.
std::vector<uint8_t> FourColourGif(TColor transparent = kx::clNone) {
    kx::GifImageCore core;
    core.AppendFrameFromDib(gif_files::MakeDib(4, 2, 4, {kRed, kGreen, kBlue, kWhite},
                                               {0, 1, 2, 3, 3, 2, 1, 0}),
                            static_cast<kx::TColor>(transparent));
    return kx::WriteGif(core, false);
}
const Pixels kFourColours{kRed, kGreen, kBlue, kWhite, kWhite, kBlue, kGreen, kRed};

Pixels PixelsOf(TBitmap& bitmap) {
    Pixels out;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.Canvas().Pixel(x, y) & 0xFFFFFF);
    return out;
}

void Paint(TBitmap& bitmap, const Pixels& pixels, int width) {
    for (size_t i = 0; i < pixels.size(); ++i)
        bitmap.Canvas().SetPixel(static_cast<int>(i % width), static_cast<int>(i / width), pixels[i]);
}

struct GifPicture : ::testing::Test {
    void SetUp() override { kx::InitKxGIFUnit(); }
    void TearDown() override { kx::DoneKxGIFUnit(); }
};

TEST_F(GifPicture, FoundByExtensionDrawsItsPixelsOntoACanvas) {
    EXPECT_EQ(velfw::NewGraphicForExtension("png"), nullptr);
    EXPECT_EQ(velfw::FileFormatDescription("GIF"), "CompuServe GIF Image");
    struct Case {
        const char* name;
        TColor transparent;
        Pixels expected;  // over a black canvas
    } cases[] = {
        {"opaque", kx::clNone, kFourColours},
        {"white transparent", kWhite, {kRed, kGreen, kBlue, kBlack, kBlack, kBlue, kGreen, kRed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto picture = velfw::NewGraphicForExtension(".Gif");
        ASSERT_NE(dynamic_cast<TGIFImage*>(picture.get()), nullptr);
        ASSERT_TRUE(picture->LoadFromStream(FourColourGif(c.transparent)));
        EXPECT_EQ(picture->Width(), 4);
        EXPECT_EQ(picture->Height(), 2);
        TBitmap canvas(4, 2);
        canvas.Canvas().FillRect(RECT{0, 0, 4, 2}, kBlack);
        canvas.Canvas().Draw(0, 0, *picture);
        EXPECT_EQ(PixelsOf(canvas), c.expected);
    }
    auto picture = velfw::NewGraphicForExtension("gif");
    EXPECT_FALSE(picture->LoadFromStream(std::vector<uint8_t>{'G', 'I', 'F', '9', '9', 'z'}));
    EXPECT_TRUE(picture->Empty());
}

TEST_F(GifPicture, ClipboardRoundTripKeepsTheFileAndTheFrames) {
    gif_files::GifBuilder b;
    b.Header(1, 1, 1).Control(7).Frame().Control(12, 1).Frame().Trailer();
    TGIFImage original;
    original.LoadFromBytes(b.bytes);
    std::vector<uint8_t> expected;
    original.SaveToStream(expected);

    velfw::TUtilityWindow owner("VelunorGifClipboardTest", velfw::TUtilityWindowKind::MessageOnly);
    ASSERT_TRUE(kx::CopyToClipboard(original, owner.Handle()));
    EXPECT_TRUE(::IsClipboardFormatAvailable(::RegisterClipboardFormatA("GIF Image")));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));

    TGIFImage pasted;
    ASSERT_TRUE(kx::PasteFromClipboard(pasted));
    ASSERT_EQ(pasted.FrameCount(), 2);
    EXPECT_EQ(pasted.CurrentFrame, 0);
    EXPECT_EQ(pasted.Frame(0).DelayMs, 70u);
    EXPECT_EQ(pasted.Frame(1).DelayMs, 120u);
    EXPECT_NE(pasted.Frame(1).TransColor, kx::clNone);
    std::vector<uint8_t> back;
    pasted.SaveToStream(back);
    EXPECT_EQ(back, expected);
}

TEST_F(GifPicture, BitmapAssignedToAGifAndBackKeepsItsPixels) {
    const Pixels pixels{kRed, kGreen, kBlue, kWhite, 0x123456, kBlack, 0x808080, 0x00FFFF, 0xFF00FF, 0x0080FF};
    TBitmap source(5, 2);
    Paint(source, pixels, 5);

    TGIFImage direct;
    direct.Assign(source);
    TBitmap back;
    back.Assign(direct);
    EXPECT_EQ(PixelsOf(back), pixels);

    // Saved, the frame is reduced to 8 bits and encoded; few colours survive exactly.
    std::vector<uint8_t> file;
    direct.SaveToStream(file);
    TGIFImage reloaded;
    reloaded.LoadFromBytes(file);
    TBitmap fromFile;
    fromFile.Assign(reloaded);
    EXPECT_EQ(PixelsOf(fromFile), pixels);

    TGIFImage empty;
    fromFile.Assign(empty);
    EXPECT_TRUE(fromFile.Empty());
    EXPECT_THROW(empty.SetWidth(3), velfw::EInvalidGraphicOperation);
}

TEST(ConvertBitmapToDibStream, ReducesA24BitBitmapToTheAskedFormat) {
    TBitmap bitmap(3, 2);
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    const Pixels pixels{kRed, kGreen, kBlue, kWhite, kBlack, kRed};
    Paint(bitmap, pixels, 3);

    struct Case {
        TPixelFormat format;
        int bits;
        uint32_t pixelOffset;
    } cases[] = {{TPixelFormat::pf8bit, 8, 1078}, {TPixelFormat::pf4bit, 4, 118}, {TPixelFormat::pf24bit, 24, 54}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const auto dib = kx::ConvertBitmapToDibStream(bitmap, c.format, kx::crPopularity);
        ASSERT_GT(dib.size(), 54u);
        EXPECT_EQ(dib[0], 'B');
        const kx::DibHeader h = kx::ReadDibHeader(dib.data() + kx::kFileHeaderSize);
        EXPECT_EQ(h.bitCount, c.bits);
        EXPECT_EQ(h.width, 3);
        EXPECT_EQ(h.height, 2);
        EXPECT_EQ(uint32_t(dib[10] | dib[11] << 8), c.pixelOffset);
        EXPECT_EQ(dib.size(), c.pixelOffset + 2 * kx::ScanLineBytes(3, c.bits, 32));
        TBitmap loaded;
        ASSERT_TRUE(loaded.LoadFromStream(dib));
        EXPECT_EQ(PixelsOf(loaded), pixels);
    }
    TBitmap none;
    try {
        kx::ConvertBitmapToDibStream(none, TPixelFormat::pf8bit, kx::crPopularity);
        ADD_FAILURE() << "an empty bitmap was converted";
    } catch (const velfw::EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
}

TEST_F(GifPicture, AnimatedCursorGivesAStripAndFramesWithDelays) {
    using namespace icon_files;
    Bytes fram{'f', 'r', 'a', 'm'};
    for (int i = 0; i < 3; ++i) {
        const Bytes icon = Chunk("icon", IconFile({Image{}}));
        fram.insert(fram.end(), icon.begin(), icon.end());
    }
    const Bytes ani = Riff({Anih(3, 3, 6), Chunk("rate", Values({6, 12, 30})), Chunk("LIST", fram)});
    kx::TAnimatedCursorImage cursor;
    cursor.LoadFromBytes(ani);
    ASSERT_EQ(cursor.FrameCount(), 3);

    TBitmap strip;
    strip.Canvas().Brush().SetColor(kGreen);
    strip.Assign(cursor);
    EXPECT_EQ(strip.Width(), 48);
    EXPECT_EQ(strip.Height(), 16);
    EXPECT_EQ(strip.PixelFormat(), TPixelFormat::pf4bit);
    // Every cell holds the same icon.
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y) {
            EXPECT_EQ(strip.Canvas().Pixel(x, y), strip.Canvas().Pixel(x + 16, y));
            EXPECT_EQ(strip.Canvas().Pixel(x, y), strip.Canvas().Pixel(x + 32, y));
        }

    TGIFImage gif;
    gif.Assign(cursor);
    ASSERT_EQ(gif.FrameCount(), 3);
    EXPECT_EQ(gif.BackColor, kx::clWindow);
    const uint32_t delays[] = {100, 200, 500};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gif.Frame(i).DelayMs, delays[i]);
        EXPECT_EQ(gif.Frame(i).FrameWidth(), 16);
    }

    EXPECT_THROW(cursor.LoadFromBytes(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'X', 'X', 'X', 'X'}), velfw::EReadError);
}

}  // namespace
