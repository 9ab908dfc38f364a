#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Classes.h"
#include "ErrorOf.h"
#include "GifTestFiles.h"
#include "KxGIFFormat.h"
#include "LibraryErrors.h"

using namespace kx;
using testing_support::ErrorOf;
using gif_files::Bytes;
using gif_files::GifBuilder;
using gif_files::MakeDib;

namespace {

Bytes Bw1x1() { return MakeDib(1, 1, 1, {0x000000, 0xFFFFFF}, {0}); }

bool Contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

Bytes LoopBytes(int lo, int hi) {
    Bytes b = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    b[16] = static_cast<uint8_t>(lo);
    b[17] = static_cast<uint8_t>(hi);
    return b;
}

std::string LoadError(const Bytes& file, bool decodeFirst = true) {
    GifImageCore image;
    return ErrorOf([&] { LoadGif(image, file, decodeFirst); });
}

}  // namespace

TEST(GifFile, OneByOneBlackAndWhiteSavesByteForByte) {
    GifImageCore image;
    image.AppendFrameFromDib(Bw1x1());
    const Bytes expected = {0x47, 0x49, 0x46, 0x38, 0x37, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
                            0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    EXPECT_EQ(WriteGif(image, false), expected);
    // Saving again writes the kept code stream unchanged.
    EXPECT_EQ(WriteGif(image, false), expected);
    const Bytes withLength = WriteData(image);
    EXPECT_EQ(Bytes(withLength.begin(), withLength.begin() + 4), (Bytes{35, 0, 0, 0}));
    EXPECT_EQ(Bytes(withLength.begin() + 4, withLength.end()), expected);
}

TEST(GifFile, LoopExtensionIsWrittenForSeveralFramesOnly) {
    GifImageCore image;
    image.AppendFrameFromDib(Bw1x1());
    image.LoopAnimation = true;
    image.LoopCount = 0x1234;
    EXPECT_FALSE(Contains(WriteGif(image, false), LoopBytes(0x34, 0x12)));
    image.AppendFrameFromDib(Bw1x1());
    const Bytes file = WriteGif(image, false);
    // Right after the screen descriptor and the two-entry global table.
    EXPECT_EQ(Bytes(file.begin() + 19, file.begin() + 38), LoopBytes(0x34, 0x12));
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
}

TEST(GifFile, LoopExtensionIsRecognisedOnlyInItsOwnForm) {
    struct Case {
        const char* name;
        Bytes extension;
        bool loops;
        uint16_t count;
    } cases[] = {
        {"netscape", LoopBytes(5, 0), true, 5},
        {"most loops kept below 30000", LoopBytes(0xFF, 0xFF), true, 30000},
        {"animexts", GifBuilder().Application("ANIMEXTS1.0", 11, {1, 2, 0}).bytes, true, 2},
        {"block size 10", GifBuilder().Application("NETSCAPE2.0", 10, {1, 2, 0}).bytes, false, 1},
        {"sub-block not starting with 1", GifBuilder().Application("NETSCAPE2.0", 11, {2, 2, 0}).bytes, false, 1},
        {"sub-block too short", GifBuilder().Application("NETSCAPE2.0", 11, {1, 2}).bytes, false, 1},
        {"other application", GifBuilder().Application("XMP DataXMP", 11, {1, 2, 0}).bytes, false, 1},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(1, 1, 1).B({}).bytes.insert(b.bytes.end(), c.extension.begin(), c.extension.end());
        b.Frame().Frame().Trailer();
        GifImageCore image;
        LoadGif(image, b.bytes, true);
        EXPECT_EQ(image.LoopAnimation, c.loops) << c.name;
        EXPECT_EQ(image.LoopCount, c.count) << c.name;
        EXPECT_TRUE(image.Frame(0).ExtensionList.empty()) << c.name << ": application extensions are dropped";
        EXPECT_EQ(Contains(WriteGif(image, false), LoopBytes(c.count & 0xFF, c.count >> 8)), c.loops) << c.name;
    }
}

TEST(GifFile, DelaysAreHundredthsInTheFileAndMillisecondsInTheFrame) {
    struct Case {
        uint32_t delayMs;
        int hundredths;
        uint32_t readBack;
    } cases[] = {{95, 9, 90}, {5, 0, 0}, {1000, 100, 1000}, {700000, 65535, 655350}};
    for (const Case& c : cases) {
        GifImageCore image;
        image.AppendFrameFromDib(Bw1x1());
        image.Frame(0).DelayMs = c.delayMs;
        const Bytes file = WriteGif(image, false);
        EXPECT_TRUE(Contains(file, GifBuilder().Control(c.hundredths).bytes)) << c.delayMs;
        GifImageCore back;
        LoadGif(back, file, true);
        EXPECT_EQ(back.Frame(0).DelayMs, c.readBack) << c.delayMs;
    }
    EXPECT_EQ(DelayMsOfCursorRate(6), 100u);
}

TEST(GifFile, ControlExtensionsBeforeAFrame) {
    // Several before one frame: the longest delay, the last transparency
    // and disposal. One followed by plain text goes with the text.
    GifBuilder b;
    b.Header(1, 1, 2).Control(50, 1, 2).Control(20, 3, 1).Frame();
    b.Control(70, 2, 3).B({0x21, 0x01, 12, 0, 0, 0, 0, 1, 0, 1, 0, 8, 8, 1, 0, 1, 'x', 0}).Frame().Trailer();
    GifImageCore image;
    LoadGif(image, b.bytes, true);
    ASSERT_EQ(image.FrameCount(), 2);
    const GifFrameCore& first = image.Frame(0);
    EXPECT_EQ(first.DelayMs, 500u);
    EXPECT_EQ(first.TransColor, 0x030303);
    EXPECT_EQ(first.DisposalCode, 1);
    const GifFrameCore& second = image.Frame(1);
    EXPECT_EQ(second.DelayMs, 0u);
    EXPECT_EQ(second.TransColor, clNone);
    EXPECT_TRUE(second.ExtensionList.empty());
}

TEST(GifFile, TransparencyIsWrittenOnlyForAColourOfTheTable) {
    struct Case {
        TColor trans;
        bool flagged;
        int index;
    } cases[] = {{0xFFFFFF, true, 1}, {0x000000, true, 0}, {0x00FF00, false, 0}};
    for (const Case& c : cases) {
        GifImageCore image;
        image.AppendFrameFromDib(Bw1x1(), c.trans);
        const Bytes file = WriteGif(image, false);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a") << c.trans;
        const Bytes control = {0x21, 0xF9, 4, uint8_t(c.flagged), 0, 0, uint8_t(c.index), 0};
        EXPECT_TRUE(Contains(file, control)) << c.trans;
    }
}

namespace {

// The transparent flag and index of the frame's last control extension in
// a saved file, read back; -1 when the flag is clear.
int SavedTransparentIndex(const Bytes& file, int frame) {
    GifImageCore back;
    LoadGif(back, file, false);
    const TExtension* control = FindLastExtension(back.Frame(frame).ExtensionList, ekGraphicControl);
    return control && control->HasTransparency() ? control->TransparentIndex() : -1;
}

constexpr size_t kBackgroundByte = 11;

}  // namespace

TEST(GifFile, DuplicateColoursKeepTheStoredTransparentAndBackgroundIndexes) {
    const Bytes file = gif_files::DuplicateBlackGif();
    GifImageCore image;
    LoadGif(image, file, true);
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(TransparentIndexOf(image.Frame(0)), 255);
    EXPECT_EQ(BackgroundIndexOf(image), 255);
    EXPECT_EQ(WriteGif(image, false), file) << "saved as it stands";

    // Every frame encoded anew from its picture: the same pixels under the same indexes.
    for (auto& frame : image.FrameList) {
        frame->Decode();
        frame->ImageItem->CodeStream.clear();
    }
    const Bytes reencoded = WriteGif(image, false);
    EXPECT_EQ(SavedTransparentIndex(reencoded, 0), 255);
    EXPECT_EQ(reencoded[kBackgroundByte], 255);
    GifImageCore back;
    LoadGif(back, reencoded, false);
    ASSERT_EQ(back.FrameCount(), 2);
    for (int i = 0; i < 2; ++i) {
        int w = 0, h = 0;
        EXPECT_EQ(gif_files::DibRaster(back.Frame(i).DecodeToDib(), w, h), gif_files::DuplicateBlackRaster(i)) << i;
    }
}

TEST(GifFile, TransparentAndBackgroundColoursNotAtTheirStoredIndexTakeTheFirstEntryWithThem) {
    constexpr TColor kBlack = 0, kGrey7 = 0x070707, kGrey9 = 0x090909, kOutside = 0x123456;
    struct Case {
        const char* what;
        void (*change)(GifImageCore& image);
        int transparent;  // -1: the flag clear
        int background;
    } cases[] = {
        {"colours as read", [](GifImageCore&) {}, 255, 255},
        {"other colours of the table",
         [](GifImageCore& image) {
             image.Frame(0).TransColor = kGrey7;
             image.BackColor = kGrey9;
         },
         7, 9},
        {"the stored entries no longer black",
         [](GifImageCore& image) {
             std::fill_n(image.SharedData->GlobalColors.Colors.begin() + 255 * 3, 3, uint8_t{0xFF});
             std::fill_n(image.Frame(0).ImageItem->FrameColors.Colors.begin() + 255 * 3, 3, uint8_t{0xFF});
         },
         0, 0},
        {"black again after another colour",
         [](GifImageCore& image) {
             image.Frame(0).TransColor = kGrey7;
             WriteGif(image, false);
             image.Frame(0).TransColor = kBlack;
         },
         0, 255},
        {"colours outside the table",
         [](GifImageCore& image) {
             image.Frame(0).TransColor = kOutside;
             image.BackColor = kOutside;
         },
         -1, 0},
        {"no colours",
         [](GifImageCore& image) {
             image.Frame(0).TransColor = clNone;
             image.BackColor = clNone;
         },
         -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GifImageCore image;
        LoadGif(image, gif_files::DuplicateBlackGif(), true);
        c.change(image);
        const Bytes saved = WriteGif(image, false);
        EXPECT_EQ(SavedTransparentIndex(saved, 0), c.transparent);
        EXPECT_EQ(saved[kBackgroundByte], c.background);
    }
}

TEST(GifFile, CommentsStayWhereTheyWere) {
    const std::string longLine(300, 'c');
    GifBuilder b;
    b.Header(1, 1, 1).Comment("before").Frame().Comment("after").Comment("more").Trailer();
    GifImageCore image;
    LoadGif(image, b.bytes, true);
    ASSERT_NE(image.Frame(0).FrameComment(false), nullptr);
    EXPECT_EQ(*image.Frame(0).FrameComment(false), std::vector<std::string>{"before"});
    EXPECT_EQ(image.SharedData->CommentLines, (std::vector<std::string>{"after", "\r\n\r\n", "more"}));

    image.SharedData->CommentLines = {longLine};
    const Bytes file = WriteGif(image, false);
    GifBuilder expectedTail;
    expectedTail.B({0x21, 0xFE, 255}).Text(longLine.substr(0, 255)).B({0, ';'});
    EXPECT_TRUE(std::equal(expectedTail.bytes.rbegin(), expectedTail.bytes.rend(), file.rbegin()));
    GifImageCore back;
    LoadGif(back, file, true);
    EXPECT_EQ(*back.Frame(0).FrameComment(false), std::vector<std::string>{"before"});
    EXPECT_EQ(back.SharedData->CommentLines, std::vector<std::string>{longLine.substr(0, 255)});
}

TEST(GifFile, CommentCutShortByTheEndOfTheFileKeepsWhatItHolds) {
    struct Case {
        const char* name;
        Bytes tail;
        std::vector<std::string> lines;
    } cases[] = {
        {"a length byte last", {0x21, 0xFE, 3, 'a', 'b', 'c', 5}, {"abc"}},
        {"a block cut short", {0x21, 0xFE, 3, 'a', 'b', 'c', 4, 'd', 'e'}, {"abc", "de"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifBuilder b;
        b.Header(1, 1, 1).Frame().Append(c.tail);
        GifImageCore image;
        LoadGif(image, b.bytes, true);
        EXPECT_EQ(image.SharedData->CommentLines, c.lines);
        GifImageCore back;
        LoadGif(back, WriteGif(image, false), true);
        EXPECT_EQ(back.SharedData->CommentLines, c.lines);
    }
}

TEST(GifFile, LoadingAcceptsWhatTheFormatAllows) {
    struct Case {
        const char* name;
        Bytes file;
        int frames;
        uint8_t version;
    } cases[] = {
        {"letter case", GifBuilder().Header(1, 1, 1, "gif89A").Frame().Trailer().bytes, 1, 2},
        {"87a", GifBuilder().Header(1, 1, 1, "GIF87a").Frame().Trailer().bytes, 1, 1},
        {"trailer after the table", GifBuilder().Header(1, 1, 1).Trailer().bytes, 0, 2},
        {"zero bytes between frames", GifBuilder().Header(1, 1, 1).Frame().B({0, 0, 0}).Frame().Trailer().bytes, 2, 2},
        {"garbage after a frame ends quietly", GifBuilder().Header(1, 1, 1).Frame().B({'X'}).Frame().bytes, 1, 2},
        {"no trailer", GifBuilder().Header(1, 1, 1).Frame().Frame().bytes, 2, 2},
        {"empty file", Bytes{}, 0, 0},
    };
    for (const Case& c : cases) {
        GifImageCore image;
        EXPECT_NO_THROW(LoadGif(image, c.file, true)) << c.name;
        EXPECT_EQ(image.FrameCount(), c.frames) << c.name;
        EXPECT_EQ(image.GifVersion, c.version) << c.name;
        EXPECT_EQ(image.CurrentFrame, c.frames ? 0 : -1) << c.name;
    }
}

TEST(GifFile, BadFilesFailWithTheirMessage) {
    const Bytes header = GifBuilder().Header(1, 1, 1).bytes;
    GifBuilder tiny;
    tiny.Header(1, 1, 1).B({','}).W(0).W(0).W(1);
    struct Case {
        const char* name;
        Bytes file;
        std::string message;
    } cases[] = {
        {"not a GIF", GifBuilder().Text("PNG89a").bytes, "Unknown GIF version"},
        {"other version", GifBuilder().Header(1, 1, 1, "GIF88a").bytes, "Unknown GIF version"},
        {"short signature", GifBuilder().Text("GI").bytes, "Unknown GIF version"},
        {"unknown extension", GifBuilder().Header(1, 1, 1).B({0x21, 0x7A, 0}).Frame().bytes,
         "Unrecognized extension block: 7A"},
        {"garbage after the header", GifBuilder().Header(1, 1, 1).B({'X'}).Frame().bytes, "Stream read error"},
        {"garbage after extensions", GifBuilder().Header(1, 1, 1).Control(1).B({'X', ','}).bytes,
         "Stream read error"},
        {"image descriptor cut short", tiny.bytes, "Stream read error"},
        {"local table cut short", GifBuilder().Header(1, 1, 0).B({','}).W(0).W(0).W(1).W(1).B({0x87, 1, 2}).bytes,
         "Stream read error"},
        {"no colour table at all", GifBuilder().Header(1, 1, 0).Frame().Trailer().bytes,
         "Wrong number of colors; must be a power of 2"},
        {"65535 by 65535", GifBuilder().Header(1, 1, 1).Frame(65535, 65535).Trailer().bytes,
         "GIF image decoding error"},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadError(c.file), c.message) << c.name;

    // The huge frame loads when it is not decoded, and fails cleanly when it is.
    GifImageCore image;
    LoadGif(image, cases[9].file, false);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_THROW(image.Frame(0).DecodeToDib(), velfw::EInvalidGraphicOperation);
    EXPECT_THROW(image.Frame(1), velfw::EInvalidGraphicOperation);
    EXPECT_THROW(image.Frame(-1), velfw::EInvalidGraphicOperation);
}

TEST(GifFile, FailedFirstFrameIsDropped) {
    GifImageCore image;
    const Bytes file = GifBuilder().Header(1, 1, 0).Frame().B({','}).W(0).W(0).W(1).W(1).B({0x80, 0, 0, 0, 9, 9, 9})
                           .B({2, 2, 0x44, 1, 0}).Trailer().bytes;
    EXPECT_THROW(LoadGif(image, file, true), velfw::EInvalidGraphicOperation);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_TRUE(image.Frame(0).HasLocalTable);
    EXPECT_EQ(image.CurrentFrame, 0);
}

TEST(GifFile, FrameSizeZeroTakesTheScreenSize) {
    GifImageCore image;
    LoadGif(image, GifBuilder().Header(3, 2, 1).Frame(0, 0).Trailer().bytes, true);
    EXPECT_EQ(image.Frame(0).ImageItem->PixelWidth, 3);
    EXPECT_EQ(image.Frame(0).ImageItem->PixelHeight, 2);
}

TEST(GifFile, FrameCutShortGetsItsTerminatorBack) {
    GifBuilder b;
    b.Header(4, 1, 1).B({','}).W(0).W(0).W(4).W(1).B({0, 2, 2, 0x44, 1, 9, 1, 2});  // second block cut short
    GifImageCore image;
    LoadGif(image, b.bytes, true);
    EXPECT_EQ(image.Frame(0).ImageItem->CodeStream, (Bytes{2, 2, 0x44, 1, 0}));
    const Bytes saved = WriteGif(image, false);
    EXPECT_EQ(Bytes(saved.end() - 6, saved.end()), (Bytes{2, 2, 0x44, 1, 0, ';'}));
    GifImageCore back;
    LoadGif(back, saved, true);
    EXPECT_EQ(back.Frame(0).ImageItem->CodeStream, image.Frame(0).ImageItem->CodeStream);
}

TEST(GifFile, LocalTableHasExactlyTheAnnouncedEntries) {
    GifImageCore image;
    image.AppendFrameFromDib(Bw1x1());
    image.AppendFrameFromDib(MakeDib(1, 1, 8, {0x0000FF, 0x00FF00, 0xFF0000}, {2}));
    Bytes file = WriteGif(image, false);
    const GifFrameCore& second = image.Frame(1);
    EXPECT_TRUE(second.HasLocalTable);
    EXPECT_EQ(second.ImageItem->FrameColors.Count, 4);
    const Bytes descriptorAndTable = {',', 0, 0, 0, 0, 1, 0, 1, 0, 0x81, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0};
    EXPECT_TRUE(Contains(file, descriptorAndTable));

    // A local table of 3 entries (as another writer may leave it) is padded.
    second.ImageItem->FrameColors.Count = 3;
    EXPECT_TRUE(Contains(WriteGif(image, false), descriptorAndTable));
    // A frame flagged local without any table writes none.
    second.ImageItem->FrameColors.Count = 0;
    const Bytes noTable = {',', 0, 0, 0, 0, 1, 0, 1, 0, 0x00, 8};
    EXPECT_TRUE(Contains(WriteGif(image, false), noTable));
}

TEST(GifFile, WriteDataAndReadDataRoundTrip) {
    GifImageCore image;
    image.AppendFrameFromDib(Bw1x1());
    image.AppendFrameFromDib(MakeDib(2, 1, 1, {0x000000, 0xFFFFFF}, {1, 0}));
    image.LoopAnimation = true;
    image.LoopCount = 7;
    image.SharedData->CommentLines = {"made here"};
    Bytes data = WriteData(image);
    data.push_back(0xEE);  // whatever follows in the component stream
    GifImageCore back;
    EXPECT_EQ(ReadData(back, data), data.size() - 1);
    EXPECT_EQ(back.FrameCount(), 2);
    EXPECT_EQ(back.LoopCount, 7);
    EXPECT_EQ(back.SharedData->CommentLines, std::vector<std::string>{"made here"});
    EXPECT_EQ(back.Frame(1).ImageItem->CodeStream, image.Frame(1).ImageItem->CodeStream);
    int w = 0, h = 0;
    back.Frame(1).Decode();
    EXPECT_EQ(gif_files::DibRaster(back.Frame(1).FrameDib, w, h), (Bytes{1, 0}));
}

TEST(GifFile, LengthPrefixIsCheckedBeforeReading) {
    const Bytes gif = GifBuilder().Header(1, 1, 1).Frame().Trailer().bytes;
    auto prefixed = [&](uint32_t length) {
        Bytes b = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
        b.insert(b.end(), gif.begin(), gif.end());
        return b;
    };
    for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, static_cast<uint32_t>(gif.size() + 1)}) {
        GifImageCore image;
        EXPECT_EQ(ErrorOf<velfw::EReadError>([&] { ReadData(image, prefixed(length)); }), "Stream read error") << length;
    }
    GifImageCore image;
    EXPECT_THROW(ReadData(image, Bytes{1, 0}), velfw::EReadError);
    EXPECT_EQ(ReadData(image, prefixed(0)), 4u);
    EXPECT_EQ(image.FrameCount(), 0);
}

TEST(GifFile, SavingWithoutFramesFails) {
    GifImageCore image;
    LoadGif(image, GifBuilder().Header(1, 1, 1).Trailer().bytes, true);
    EXPECT_EQ(ErrorOf<velfw::EInvalidGraphicOperation>([&] { WriteGif(image, false); }), "No GIF Data to write");
}

TEST(GifFrameDib, DecodedBitmapLayoutFollowsTheColourBits) {
    struct Case {
        int colorBits;
        uint16_t bitCount;
        uint32_t pixelOffset;
    } cases[] = {{1, 1, 62}, {2, 4, 118}, {4, 4, 118}, {5, 8, 1078}, {8, 8, 1078}};
    const Bytes raster = {1, 0, 1, 0, 1, 1};
    const Bytes dib8 = MakeDib(3, 2, 8, {}, raster);
    Bytes stream;
    EncodeGifPixels(stream, {3, 2, 8}, false, nullptr, std::span(dib8).subspan(1078));
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(3, 2, c.colorBits).B({','}).W(0).W(0).W(3).W(2).B({0});
        b.bytes.insert(b.bytes.end(), stream.begin(), stream.end());
        GifImageCore image;
        LoadGif(image, b.Trailer().bytes, true);
        const Bytes& dib = image.Frame(0).FrameDib;
        ASSERT_GE(dib.size(), 62u);
        EXPECT_EQ(dib[10] | dib[11] << 8, static_cast<int>(c.pixelOffset)) << c.colorBits;
        EXPECT_EQ(velfw::ReadDibHeader(dib.data() + velfw::kBmpFileHeaderSize).bitCount, c.bitCount) << c.colorBits;
        EXPECT_EQ(dib.size(), c.pixelOffset + 8) << c.colorBits;
        // Entry 1 is the table's grey 1; beyond a small table the entries are grey 128.
        EXPECT_EQ(Bytes(dib.begin() + 58, dib.begin() + 62), (Bytes{1, 1, 1, 0}));
        if (c.bitCount == 4 && c.colorBits == 2) {
            EXPECT_EQ(Bytes(dib.begin() + 54 + 4 * 4, dib.begin() + 54 + 4 * 5), (Bytes{128, 128, 128, 128}));
        }
        int w = 0, h = 0;
        EXPECT_EQ(gif_files::DibRaster(dib, w, h), raster) << c.colorBits;
    }
    GifImageCore image;
    LoadGif(image, GifBuilder().Header(1, 1, 0).Frame().Trailer().bytes, false);
    EXPECT_THROW(image.Frame(0).DecodeToDib(), velfw::EInvalidGraphicOperation);
}

TEST(GifFrameDib, EncodingHonoursTheBitmapsOwnHeader) {
    const Bytes raster = {0, 1, 2, 1, 0, 2};
    Bytes plain = MakeDib(3, 2, 8, {0x0000FF, 0x00FF00, 0xFF0000}, raster);

    // A longer information header (as a V4 bitmap has) moves the palette.
    Bytes v4 = plain;
    v4.insert(v4.begin() + 54, 68, 0);
    v4[14] = 108;
    const uint32_t offset = 1078 + 68;
    v4[10] = static_cast<uint8_t>(offset), v4[11] = static_cast<uint8_t>(offset >> 8);
    v4[2] = static_cast<uint8_t>(v4.size()), v4[3] = static_cast<uint8_t>(v4.size() >> 8);

    // Rows stored top-down (negative height).
    Bytes topDown = plain;
    topDown[22] = 0xFE, topDown[23] = 0xFF, topDown[24] = 0xFF, topDown[25] = 0xFF;
    std::swap_ranges(topDown.begin() + 1078, topDown.begin() + 1082, topDown.begin() + 1082);

    for (const Bytes* dib : {&plain, &v4, &topDown}) {
        GifImageCore image;
        image.AppendFrameFromDib(*dib);
        WriteGif(image, false);
        const TGIFItem& item = *image.Frame(0).ImageItem;
        // clrUsed of 3: a table of 4, the colours in GIF order.
        EXPECT_EQ(item.ColorBits, 2);
        EXPECT_EQ(item.FrameColors.Count, 4);
        EXPECT_EQ(item.FrameColors.ColorAt(0), 0x0000FF);
        EXPECT_EQ(item.FrameColors.ColorAt(2), 0xFF0000);
        EXPECT_EQ(image.SharedData->GlobalColors.Count, 4);
        EXPECT_FALSE(image.Frame(0).HasLocalTable);
        EXPECT_EQ(image.LogicalWidth, 3);
        image.Frame(0).FrameDib.clear();
        image.Frame(0).Decode();
        int w = 0, h = 0;
        EXPECT_EQ(gif_files::DibRaster(image.Frame(0).FrameDib, w, h), raster);
    }

    // Pixels beyond the header's colour count widen the table, never cut.
    GifImageCore image;
    image.AppendFrameFromDib(MakeDib(2, 1, 8, {0x111111, 0x222222}, {0, 7}));
    WriteGif(image, false);
    EXPECT_EQ(image.Frame(0).ImageItem->FrameColors.Count, 8);
}

TEST(GifFrameDib, RefusedBitmapsLeaveTheImageAsItWas) {
    const Bytes good = MakeDib(2, 2, 4, {0x000000, 0xFFFFFF}, {0, 1, 1, 0});
    Bytes bits24 = good;
    bits24[28] = 24;
    Bytes rle = good;
    rle[30] = 2;
    Bytes cutPixels(good.begin(), good.end() - 1);
    Bytes wide = good;
    wide[18] = 0x71, wide[19] = 0x11, wide[20] = 0x01;  // 70001 pixels
    Bytes emptyBitmap = good;
    emptyBitmap[22] = 0;
    struct Case {
        const char* name;
        Bytes dib;
        std::string message;
    } cases[] = {
        {"24 bits", bits24, "GIF image encoding error"},
        {"compressed", rle, "GIF image encoding error"},
        {"pixels cut short", cutPixels, "GIF image encoding error"},
        {"wider than a GIF", wide, "GIF image encoding error"},
        {"header cut short", Bytes(good.begin(), good.begin() + 40), "GIF image encoding error"},
        {"no pixels", emptyBitmap, "No GIF Data to write"},
        {"no picture", Bytes{}, "No GIF Data to write"},
    };
    for (const Case& c : cases) {
        GifImageCore image;
        image.AppendFrameFromDib(c.dib);
        EXPECT_EQ(ErrorOf<velfw::EInvalidGraphicOperation>([&] { WriteGif(image, false); }), c.message) << c.name;
        EXPECT_FALSE(image.Frame(0).HasCodeStream()) << c.name;
        EXPECT_EQ(image.SharedData->GlobalColors.Count, 0) << c.name;
    }
}

TEST(GifFrameDib, AbortedEncodeLeavesTheImageAsItWas) {
    GifImageCore image;
    image.AppendFrameFromDib(MakeDib(64, 64, 8, {0x123456}, Bytes(64 * 64, 0)));
    image.AppendFrameFromDib(MakeDib(64, 64, 8, {0x654321}, Bytes(64 * 64, 0)));
    const auto logicalWidth = image.LogicalWidth;
    int runs = 0;
    image.Progress = [&](GifProgressStage stage, int, const std::string&) {
        if (stage == gpsRunning && ++runs > 70) throw velfw::EAbort();
    };
    EXPECT_THROW(WriteGif(image, false), velfw::EAbort);
    // The first frame was encoded whole and keeps it; the second is untouched.
    EXPECT_TRUE(image.Frame(0).HasCodeStream());
    EXPECT_FALSE(image.Frame(1).HasCodeStream());
    EXPECT_FALSE(image.Frame(1).HasLocalTable);
    EXPECT_EQ(image.Frame(1).ImageItem->PixelWidth, 0);
    EXPECT_EQ(image.LogicalWidth, logicalWidth);
    image.Progress = nullptr;
    GifImageCore back;
    LoadGif(back, WriteGif(image, false), true);
    EXPECT_EQ(back.FrameCount(), 2);
    EXPECT_EQ(back.Frame(1).ImageItem->FrameColors.ColorAt(0), 0x654321);
}
