#include <gtest/gtest.h>

#include <vector>

#include "AniFile.h"
#include "ErrorOf.h"
#include "GifTestFiles.h"
#include "AniFiles.h"
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
    // What is no GIF passes its reason on and leaves the picture as it was.
    auto picture = velfw::NewGraphicForExtension("gif");
    ASSERT_TRUE(picture->LoadFromStream(FourColourGif()));
    EXPECT_EQ(testing_support::ErrorOf<velfw::EInvalidGraphicOperation>(
                  [&] { picture->LoadFromStream(std::vector<uint8_t>{'G', 'I', 'F', '9', '9', 'z'}); }),
              "Unknown GIF version");
    EXPECT_EQ(picture->Width(), 4);
    TBitmap canvas(4, 2);
    canvas.Canvas().Draw(0, 0, *picture);
    EXPECT_EQ(PixelsOf(canvas), kFourColours);
}

TEST_F(GifPicture, LoadAndSaveThroughThePictureInterfaceGiveTheFileBack) {
    // Comments before the frames and around a control extension with its
    // user-input and reserved bits set, an all-zero control extension, and
    // black twice in the table: the transparent one is 255, not 0.
    const std::vector<uint8_t> file = gif_files::DuplicateBlackGif();
    auto picture = velfw::NewGraphicForExtension("gif");
    ASSERT_TRUE(picture->LoadFromStream(file));
    std::vector<uint8_t> saved;
    picture->SaveToStream(saved);
    EXPECT_EQ(saved, file);
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

// A 4 x 2 frame of each colour in turn, written by our own writer: the
// second frame stays undecoded after a load.
std::vector<uint8_t> TwoFrameGif(TColor first, TColor second) {
    kx::GifImageCore core;
    for (TColor c : {first, second})
        core.AppendFrameFromDib(gif_files::MakeDib(4, 2, 1, {c, kBlack}, {0, 0, 0, 0, 0, 0, 0, 0}));
    return kx::WriteGif(core, false);
}

Pixels Filled(TColor c) { return Pixels(8, c); }

Pixels DrawnOnBlack(TGIFImage& gif) {
    TBitmap canvas(gif.Width(), gif.Height());
    canvas.Canvas().FillRect(RECT{0, 0, gif.Width(), gif.Height()}, kBlack);
    canvas.Canvas().Draw(0, 0, gif);
    return PixelsOf(canvas);
}

TEST_F(GifPicture, AssigningItsOwnPicturesKeepsThem) {
    struct Case {
        const char* what;
        void (*assign)(TGIFImage& gif);
    } cases[] = {
        {"its current bitmap", [](TGIFImage& gif) { gif.Assign(gif.CurrentBitmap()); }},
        {"its own frame", [](TGIFImage& gif) { gif.Assign(gif.GifFrame(0)); }},
        {"a frame its own bitmap", [](TGIFImage& gif) { gif.GifFrame(0).Assign(*gif.GifFrame(0).FrameBitmap); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TGIFImage gif;
        gif.LoadFromBytes(FourColourGif());
        ASSERT_NE(gif.GifFrame(0).FrameBitmap, nullptr) << "the first frame is decoded by the load";
        c.assign(gif);
        ASSERT_EQ(gif.FrameCount(), 1);
        EXPECT_EQ(gif.CurrentFrame, 0);
        TBitmap back;
        back.Assign(gif);
        EXPECT_EQ(PixelsOf(back), kFourColours);
    }
}

TEST_F(GifPicture, FrameAssignedFromAnotherShowsThatFramesPicture) {
    TGIFImage source;
    source.LoadFromBytes(TwoFrameGif(kRed, kGreen));
    ASSERT_EQ(source.FrameCount(), 2);
    ASSERT_EQ(source.GifFrame(1).FrameBitmap, nullptr) << "only the first frame is decoded by the load";

    TBitmap blue(4, 2);
    blue.Canvas().FillRect(RECT{0, 0, 4, 2}, kBlue);
    TGIFImage target;
    target.Assign(blue);
    target.GifFrame(0).Assign(source.GifFrame(1));
    EXPECT_EQ(DrawnOnBlack(target), Filled(kGreen)) << "not the blue it had";
    EXPECT_TRUE(target.GifFrame(0).HasLocalTable) << "a frame of another image brings its own colours";

    source.GifFrame(1).Assign(source.GifFrame(0));
    EXPECT_FALSE(source.GifFrame(1).HasLocalTable) << "a frame of the same image shares the global colours";
    source.CurrentFrame = 1;
    EXPECT_EQ(DrawnOnBlack(source), Filled(kRed));
}

TEST_F(GifPicture, FrameWithoutWidthOrHeightHasAnEmptyPicture) {
    for (const auto& [width, height] : {std::pair{0, 3}, {3, 0}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        gif_files::GifBuilder b;
        b.Header(0, 0, 1).Frame(width, height).Trailer();  // a screen of no size: the frame keeps its own
        TGIFImage gif;
        gif.LoadFromBytes(b.bytes);
        ASSERT_EQ(gif.FrameCount(), 1);
        EXPECT_FALSE(gif.Empty()) << "it has a code stream";
        EXPECT_EQ(gif.Width(), 0);
        EXPECT_EQ(gif.Height(), 0);
        EXPECT_TRUE(gif.CurrentBitmap().Empty());
        TBitmap canvas(2, 2);
        canvas.Canvas().Draw(0, 0, gif);
        canvas.Canvas().StretchDraw(RECT{0, 0, 2, 2}, gif);
    }
}

TEST_F(GifPicture, CopiesShareTheirDataAndSaveTheSameBytes) {
    const std::vector<uint8_t> file = TwoFrameGif(kRed, kGreen);
    TGIFImage loaded, again;
    loaded.LoadFromBytes(file);
    again.LoadFromBytes(file);
    EXPECT_FALSE(loaded.Equals(again)) << "two loads of one file";
    TGIFImage copy;
    copy.Assign(loaded);
    EXPECT_TRUE(copy.Equals(loaded));
    EXPECT_TRUE(loaded.Equals(copy));

    // A frame made from a bitmap is encoded once, by whichever copy saves first.
    TBitmap blue(4, 2);
    blue.Canvas().FillRect(RECT{0, 0, 4, 2}, kBlue);
    TGIFImage made;
    made.Assign(blue);
    TGIFImage madeCopy;
    madeCopy.Assign(made);
    std::vector<uint8_t> fromCopy, fromMade;
    madeCopy.SaveToStream(fromCopy);
    EXPECT_FALSE(made.GifFrame(0).ImageItem->CodeStream.empty()) << "the encoded frame is shared";
    made.SaveToStream(fromMade);
    EXPECT_EQ(fromMade, fromCopy);
}

TEST_F(GifPicture, TransparentBitmapGivesTheFrameItsColour) {
    TBitmap source(4, 2);
    Paint(source, {kBlue, kRed, kBlue, kRed, kRed, kBlue, kRed, kBlue}, 4);
    source.SetTransparentColor(kBlue);
    source.SetTransparent(true);
    TGIFImage gif;
    gif.Assign(source);
    EXPECT_EQ(static_cast<TColor>(gif.GifFrame(0).TransColor), kBlue);
    EXPECT_EQ(DrawnOnBlack(gif), (Pixels{kBlack, kRed, kBlack, kRed, kRed, kBlack, kRed, kBlack}));
    gif.SetTransparent(false);
    EXPECT_EQ(DrawnOnBlack(gif), (Pixels{kBlue, kRed, kBlue, kRed, kRed, kBlue, kRed, kBlue}));

    TBitmap back;
    back.Assign(gif);
    EXPECT_TRUE(back.Transparent());
    EXPECT_EQ(back.TransparentColor(), kBlue);
    TGIFImage opaque;
    opaque.LoadFromBytes(FourColourGif());
    TBitmap plain;
    plain.Assign(opaque);
    EXPECT_FALSE(plain.Transparent());
}

TEST_F(GifPicture, ImageWithoutFramesIsEmptyUntilItsBitmapIsAskedFor) {
    TGIFImage gif;
    EXPECT_TRUE(gif.Empty());
    EXPECT_EQ(gif.Width(), 0);
    EXPECT_EQ(gif.Height(), 0);
    EXPECT_EQ(gif.Palette(), nullptr);
    EXPECT_EQ(gif.FrameCount(), 0) << "asking for the palette makes no frame";
    gif.CurrentBitmap();
    EXPECT_EQ(gif.FrameCount(), 1);
    EXPECT_EQ(gif.CurrentFrame, 0);
}

TEST_F(GifPicture, LoadingReportsProgressThenMarksThePaletteAndTellsOfTheChange) {
    struct Case {
        const char* what;
        void (*load)(TGIFImage& gif, const std::vector<uint8_t>& file);
        int frames;
    } cases[] = {
        {"from bytes", [](TGIFImage& gif, const std::vector<uint8_t>& file) { gif.LoadFromBytes(file); }, 2},
        {"from a stream", [](TGIFImage& gif, const std::vector<uint8_t>& file) { gif.LoadFromStream(file); }, 2},
        {"from a stream at its end", [](TGIFImage& gif, const std::vector<uint8_t>&) { gif.LoadFromStream({}); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TGIFImage gif;
        std::vector<std::pair<int, int>> progress;  // stage, percent
        gif.OnProgress = [&](velfw::TObject* sender, kx::GifProgressStage stage, int percent, const std::string&) {
            EXPECT_EQ(sender, &gif);
            progress.push_back({static_cast<int>(stage), percent});
        };
        std::vector<bool> changes;  // the palette flag at each change event
        gif.OnChange = [&] { changes.push_back(gif.PaletteModified); };
        c.load(gif, TwoFrameGif(kRed, kGreen));
        EXPECT_EQ(gif.FrameCount(), c.frames);
        EXPECT_EQ(changes, std::vector<bool>{true});
        if (c.frames == 0) {
            EXPECT_TRUE(progress.empty()) << "nothing decoded";
            continue;
        }
        ASSERT_GE(progress.size(), 2u) << "the first frame is decoded";
        EXPECT_EQ(progress.front(), std::make_pair(0, 0));
        EXPECT_EQ(progress.back(), std::make_pair(2, 100));
    }
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
        const velfw::DibHeader h = velfw::ReadDibHeader(dib.data() + velfw::kBmpFileHeaderSize);
        EXPECT_EQ(h.bitCount, c.bits);
        EXPECT_EQ(h.width, 3);
        EXPECT_EQ(h.height, 2);
        EXPECT_EQ(uint32_t(dib[10] | dib[11] << 8), c.pixelOffset);
        EXPECT_EQ(dib.size(), c.pixelOffset + 2 * velfw::DibRowBytes(3, c.bits));
        TBitmap loaded;
        ASSERT_TRUE(loaded.LoadFromStream(dib));
        EXPECT_EQ(PixelsOf(loaded), pixels);
    }
    TBitmap none;
    EXPECT_EQ(testing_support::ErrorOf<velfw::EInvalidGraphic>(
                  [&] { kx::ConvertBitmapToDibStream(none, TPixelFormat::pf8bit, kx::crPopularity); }),
              "Bitmap image is not valid");
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

TEST_F(GifPicture, AnimatedCursorIconWhoseImageLiesOutsideItEndsItsList) {
    using namespace icon_files;
    const Bytes good = Chunk("icon", IconFile({Image{}}));
    Bytes outside = IconFile({Image{}});
    Set32(outside, 6 + 12, 0x10000);  // the image offset, past the end; the directory itself is sound
    const Bytes fram = List("fram", {good, Chunk("icon", outside), good});
    kx::TAnimatedCursorImage cursor;
    cursor.LoadFromBytes(Riff({fram}));
    ASSERT_EQ(cursor.FrameCount(), 1);
    EXPECT_NE(cursor.FrameIconAt(0).Handle(), nullptr);
}

}  // namespace
