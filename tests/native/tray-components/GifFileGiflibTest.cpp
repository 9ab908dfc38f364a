// Our GIF files against Debian's giflib, both ways: giflib reads what we
// save with the same pixels and fields, and what giflib writes loads here.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "Classes.h"
#include "ErrorOf.h"
#include "GifTestFiles.h"
#include "KxGIFFormat.h"

using namespace kx;
using testing_support::ErrorOf;
using gif_files::Bytes;
using gif_files::MakeDib;

namespace {

struct Source {
    const Bytes* bytes;
    size_t pos = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* data, int n) {
    auto* src = static_cast<Source*>(gif->UserData);
    const size_t k = std::min(static_cast<size_t>(n), src->bytes->size() - src->pos);
    std::memcpy(data, src->bytes->data() + src->pos, k);
    src->pos += k;
    return static_cast<int>(k);
}

int WriteBytes(GifFileType* gif, const GifByteType* data, int n) {
    static_cast<Bytes*>(gif->UserData)->insert(static_cast<Bytes*>(gif->UserData)->end(), data, data + n);
    return n;
}

// A file giflib has read whole; null when giflib refuses it.
struct Slurped {
    explicit Slurped(const Bytes& file) : src{&file} {
        int error = 0;
        gif = DGifOpen(&src, ReadBytes, &error);
        if (gif && DGifSlurp(gif) != GIF_OK) {
            DGifCloseFile(gif, &error);
            gif = nullptr;
        }
    }
    ~Slurped() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
    Source src;
    GifFileType* gif = nullptr;
};

const ExtensionBlock* FindBlock(const ExtensionBlock* blocks, int count, int function) {
    for (int i = 0; i < count; ++i)
        if (blocks[i].Function == function) return &blocks[i];
    return nullptr;
}

std::string BlockText(const ExtensionBlock* b) { return b ? std::string(b->Bytes, b->Bytes + b->ByteCount) : ""; }

// The loop count of a NETSCAPE2.0 block and its continuation, or -1.
int LoopCountOf(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i + 1 < count; ++i)
        if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && BlockText(&blocks[i]) == "NETSCAPE2.0" &&
            blocks[i + 1].ByteCount >= 3 && blocks[i + 1].Bytes[0] == 1)
            return blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;
    return -1;
}

uint32_t MapColor(const ColorMapObject* map, int index) {
    const GifColorType& c = map->Colors[index];
    return c.Red | c.Green << 8 | c.Blue << 16;
}

Bytes Raster(const SavedImage& image) {
    return Bytes(image.RasterBits, image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
}

Bytes OurRaster(GifFrameCore& frame) {
    int w = 0, h = 0;
    return gif_files::DibRaster(frame.DecodeToDib(), w, h);
}

struct SourceFrame {
    int width, height, bitCount;
    std::vector<uint32_t> palette;
    Bytes raster;
    GifPoint origin;
    uint32_t delayMs;
    TColor trans;
    uint8_t disposal;
    std::string comment;
};

Bytes Pattern(int width, int height, int colors, int seed) {
    Bytes r(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>((i * 7 + i / width + seed) % colors);
    return r;
}

}  // namespace

TEST(GifFileGiflib, GiflibReadsWhatWeSave) {
    std::vector<uint32_t> five = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0};
    std::vector<uint32_t> sixteen;
    for (uint32_t i = 0; i < 16; ++i) sixteen.push_back(i * 0x0F0F0F);
    const SourceFrame frames[] = {
        {5, 4, 1, {0x000000, 0xFFFFFF}, Pattern(5, 4, 2, 0), {0, 0}, 120, 0xFFFFFF, 2, ""},
        {6, 3, 8, five, Pattern(6, 3, 5, 1), {2, 1}, 95, clNone, 0, "frame b"},
        {3, 3, 4, sixteen, Pattern(3, 3, 16, 2), {1, 4}, 0, clNone, 1, ""},
    };
    GifImageCore image;
    for (const SourceFrame& s : frames) {
        GifFrameCore& f = image.Frame(image.AppendFrameFromDib(MakeDib(s.width, s.height, s.bitCount, s.palette, s.raster), s.trans));
        f.Origin = s.origin;
        f.DelayMs = s.delayMs;
        f.DisposalCode = s.disposal;
        if (!s.comment.empty()) f.SetFrameComment({s.comment});
    }
    image.LoopAnimation = true;
    image.LoopCount = 4;
    image.SharedData->CommentLines = {"hello"};
    const Bytes file = WriteGif(image, false);

    Slurped g(file);
    ASSERT_NE(g.gif, nullptr);
    ASSERT_EQ(g.gif->ImageCount, 3);
    EXPECT_EQ(g.gif->SWidth, 6 + 2);
    EXPECT_EQ(g.gif->SHeight, 3 + 4);
    for (int i = 0; i < 3; ++i) {
        const SourceFrame& s = frames[i];
        const SavedImage& saved = g.gif->SavedImages[i];
        EXPECT_EQ(saved.ImageDesc.Left, s.origin.X) << i;
        EXPECT_EQ(saved.ImageDesc.Top, s.origin.Y) << i;
        EXPECT_EQ(Raster(saved), s.raster) << i;
        const ColorMapObject* map = saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : g.gif->SColorMap;
        for (size_t k = 0; k < s.palette.size(); ++k) EXPECT_EQ(MapColor(map, static_cast<int>(k)), s.palette[k]) << i;
        GraphicsControlBlock gcb{};
        ASSERT_EQ(DGifSavedExtensionToGCB(g.gif, i, &gcb), GIF_OK) << i;
        EXPECT_EQ(gcb.DelayTime * 10, static_cast<int>(s.delayMs / 10 * 10)) << i;
        EXPECT_EQ(gcb.DisposalMode, s.disposal) << i;
        EXPECT_EQ(gcb.TransparentColor, s.trans == clNone ? NO_TRANSPARENT_COLOR : 1) << i;
        EXPECT_EQ(BlockText(FindBlock(saved.ExtensionBlocks, saved.ExtensionBlockCount, COMMENT_EXT_FUNC_CODE)),
                  s.comment) << i;
    }
    const SavedImage& first = g.gif->SavedImages[0];
    EXPECT_EQ(LoopCountOf(first.ExtensionBlocks, first.ExtensionBlockCount), 4);
    EXPECT_EQ(BlockText(FindBlock(g.gif->ExtensionBlocks, g.gif->ExtensionBlockCount, COMMENT_EXT_FUNC_CODE)), "hello");
}

TEST(GifFileGiflib, GiflibFindsTheStoredIndexesOfADuplicateColour) {
    // Black at 0 shows, black at 255 is transparent and the background;
    // saved as it stands and with every frame encoded anew.
    for (const bool reencode : {false, true}) {
        SCOPED_TRACE(reencode ? "encoded anew" : "as it stands");
        GifImageCore image;
        LoadGif(image, gif_files::DuplicateBlackGif(), true);
        if (reencode)
            for (auto& frame : image.FrameList) {
                frame->Decode();
                frame->ImageItem->CodeStream.clear();
            }
        Slurped g(WriteGif(image, false));
        ASSERT_NE(g.gif, nullptr);
        ASSERT_EQ(g.gif->ImageCount, 2);
        EXPECT_EQ(g.gif->SBackGroundColor, 255);
        const int transparent[] = {255, NO_TRANSPARENT_COLOR};
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(Raster(g.gif->SavedImages[i]), gif_files::DuplicateBlackRaster(i)) << i;
            GraphicsControlBlock gcb{};
            ASSERT_EQ(DGifSavedExtensionToGCB(g.gif, i, &gcb), GIF_OK) << i;
            EXPECT_EQ(gcb.TransparentColor, transparent[i]) << i;
        }
    }
}

namespace {

struct GiflibFrame {
    int left, top, width, height;
    bool interlaced;
    int localColors;  // 0: the global map
    int delayHundredths, transparent, disposal;
    std::string comment;
    Bytes raster;  // top-down
};

ColorMapObject* Map(int count, int seed) {
    ColorMapObject* map = GifMakeMapObject(count, nullptr);
    for (int i = 0; i < count; ++i)
        map->Colors[i] = {static_cast<GifByteType>(i * 30 + seed), static_cast<GifByteType>(i * 5),
                          static_cast<GifByteType>(255 - i)};
    return map;
}

// A file written by giflib: a global map of 4 colours, a loop extension
// (count `loops`) before the first frame and `trailing` after the last.
Bytes GiflibWrite(const std::vector<GiflibFrame>& frames, int loops, const std::string& trailing) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteBytes, &error);
    EGifSetGifVersion(gif, true);
    std::vector<ColorMapObject*> maps = {Map(4, 0)};
    bool ok = EGifPutScreenDesc(gif, 8, 6, 8, 0, maps[0]) == GIF_OK;
    for (size_t n = 0; n < frames.size() && ok; ++n) {
        const GiflibFrame& f = frames[n];
        if (n == 0 && loops >= 0) {
            unsigned char loop[3] = {1, static_cast<unsigned char>(loops), static_cast<unsigned char>(loops >> 8)};
            ok = EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
                 EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
                 EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
        }
        if (!f.comment.empty()) ok = ok && EGifPutComment(gif, f.comment.c_str()) == GIF_OK;
        GraphicsControlBlock gcb{f.disposal, false, f.delayHundredths, f.transparent};
        GifByteType control[4];
        const size_t length = EGifGCBToExtension(&gcb, control);
        ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), control) == GIF_OK;
        ColorMapObject* local = f.localColors ? maps.emplace_back(Map(f.localColors, 7)) : nullptr;
        ok = ok && EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local) == GIF_OK;
        // Rows in the order they are stored.
        int pass = 0;
        for (int row = 0; ok && row < f.height; row = f.interlaced ? NextInterlacedRow(row, f.height, pass) : row + 1)
            ok = EGifPutLine(gif, const_cast<GifByteType*>(f.raster.data()) + row * f.width, f.width) == GIF_OK;
    }
    if (!trailing.empty()) ok = ok && EGifPutComment(gif, trailing.c_str()) == GIF_OK;
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    for (ColorMapObject* map : maps) GifFreeMapObject(map);
    if (!ok) throw std::runtime_error("giflib could not write the file");
    return out;
}

}  // namespace

TEST(GifFileGiflib, GiflibFilesLoadWithTheirFields) {
    const std::vector<GiflibFrame> frames = {
        {0, 0, 8, 6, false, 0, 30, 3, 1, "first", Pattern(8, 6, 4, 0)},
        {2, 1, 4, 5, true, 8, 7, NO_TRANSPARENT_COLOR, 0, "", Pattern(4, 5, 8, 3)},
        {1, 1, 6, 4, true, 256, 0, 200, 3, "third", Pattern(6, 4, 256, 1)},
    };
    struct Case {
        int loops;
        int expectLoop;
    } cases[] = {{0, 0}, {65535, 30000}, {-1, -1}};
    for (const Case& c : cases) {
        const Bytes file = GiflibWrite(frames, c.loops, "the end");
        GifImageCore image;
        LoadGif(image, file, true);
        ASSERT_EQ(image.FrameCount(), 3);
        EXPECT_EQ(image.LogicalWidth, 8);
        EXPECT_EQ(image.LogicalHeight, 6);
        EXPECT_EQ(image.SharedData->GlobalColors.Count, 4);
        EXPECT_EQ(image.LoopAnimation, c.expectLoop >= 0);
        if (c.expectLoop >= 0) {
            EXPECT_EQ(image.LoopCount, c.expectLoop);
        }
        EXPECT_EQ(image.SharedData->CommentLines, std::vector<std::string>{"the end"});
        for (int i = 0; i < 3; ++i) {
            const GiflibFrame& f = frames[i];
            GifFrameCore& ours = image.Frame(i);
            EXPECT_EQ(ours.Origin.X, f.left);
            EXPECT_EQ(ours.Origin.Y, f.top);
            EXPECT_EQ(ours.ImageItem->PixelWidth, f.width);
            EXPECT_EQ(ours.IsInterlaced, f.interlaced);
            EXPECT_EQ(ours.HasLocalTable ? ours.ImageItem->FrameColors.Count : 0, f.localColors);
            EXPECT_EQ(ours.DelayMs, static_cast<uint32_t>(f.delayHundredths * 10));
            EXPECT_EQ(ours.DisposalCode, f.disposal);
            EXPECT_EQ(ColorIndexOf(ours.ImageItem->FrameColors, ours.TransColor), f.transparent);
            const auto* comment = ours.FrameComment(false);
            EXPECT_EQ(comment ? (*comment)[0] : "", f.comment);
            EXPECT_EQ(OurRaster(ours), f.raster) << i;
        }

        // Saved again, giflib finds the same.
        Slurped g(WriteGif(image, false));
        ASSERT_NE(g.gif, nullptr);
        ASSERT_EQ(g.gif->ImageCount, 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Raster(g.gif->SavedImages[i]), frames[i].raster) << i;
            EXPECT_EQ(g.gif->SavedImages[i].ImageDesc.Interlace, frames[i].interlaced) << i;
            GraphicsControlBlock gcb{};
            DGifSavedExtensionToGCB(g.gif, i, &gcb);
            EXPECT_EQ(gcb.DelayTime, frames[i].delayHundredths);
            EXPECT_EQ(gcb.TransparentColor, frames[i].transparent);
        }
        const SavedImage& first = g.gif->SavedImages[0];
        EXPECT_EQ(LoopCountOf(first.ExtensionBlocks, first.ExtensionBlockCount), c.expectLoop);
    }
}

TEST(GifFileGiflib, FilesGiflibRefusesFailHereWithAClearError) {
    const Bytes good = GiflibWrite({{0, 0, 8, 6, false, 0, 0, NO_TRANSPARENT_COLOR, 0, "", Pattern(8, 6, 4, 0)}}, -1, "");
    const size_t afterTable = 13 + 4 * 3;
    Bytes wrongRecord(good.begin(), good.begin() + afterTable);
    wrongRecord.push_back('X');
    wrongRecord.insert(wrongRecord.end(), good.begin() + afterTable, good.end());
    const size_t descriptor = afterTable + 8 + 1;  // after the control extension and ','
    struct Case {
        const char* name;
        Bytes file;
        std::string message;
    } cases[] = {
        {"not a GIF", Bytes{'P', 'N', 'G', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}, "Unknown GIF version"},
        {"signature cut short", Bytes(good.begin(), good.begin() + 4), "Unknown GIF version"},
        {"unknown block", wrongRecord, "Stream read error"},
        {"image descriptor cut short", Bytes(good.begin(), good.begin() + descriptor + 5), "Stream read error"},
    };
    for (const Case& c : cases) {
        Slurped g(c.file);
        EXPECT_EQ(g.gif, nullptr) << c.name << ": giflib reads it";
        GifImageCore image;
        EXPECT_EQ(ErrorOf([&] { LoadGif(image, c.file, true); }), c.message) << c.name;
    }
}
