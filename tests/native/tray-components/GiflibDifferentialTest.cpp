#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "BmpFormat.h"
#include "GiflibReference.h"
#include "KxGIFCodec.h"

using namespace giflib_reference;

namespace {

enum class Content { Noise, FewColours, Runs, Gradient };

// A top-down raster of values below 2^colorBits.
Bytes MakeRaster(Content content, int width, int height, int colorBits, uint32_t seed) {
    std::mt19937 rng(seed);
    const unsigned colours = 1u << colorBits;
    Bytes raster(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < raster.size(); ++i) {
        const unsigned x = static_cast<unsigned>(i % width), y = static_cast<unsigned>(i / width);
        unsigned v = 0;
        switch (content) {
        case Content::Noise: v = rng(); break;
        case Content::FewColours: v = rng() % 3; break;
        case Content::Runs: v = (rng() % 16 == 0 || i == 0) ? rng() : raster[i - 1]; break;
        case Content::Gradient: v = x / 3 + y; break;
        }
        raster[i] = static_cast<uint8_t>(v % colours);
    }
    return raster;
}

struct Shape {
    int width, height, bitCount;
};

const Shape kShapes[] = {{1, 1, 1}, {9, 7, 1}, {640, 48, 1}, {1, 1, 4}, {13, 11, 4}, {333, 40, 4},
                         {1, 1, 8}, {3, 2, 8}, {64, 64, 8}, {1000, 80, 8}, {80, 1000, 8}};
const Content kContents[] = {Content::Noise, Content::FewColours, Content::Runs, Content::Gradient};

// Every shape, content and row order, with a raster of its own.
void ForEachImage(uint32_t seed, const std::function<void(const Shape&, bool, const Bytes&, const std::string&)>& check) {
    for (const Shape& s : kShapes)
        for (Content content : kContents)
            for (bool interlaced : {false, true}) {
                const std::string what = std::to_string(s.width) + "x" + std::to_string(s.height) + " " +
                                         std::to_string(s.bitCount) + " bits, content " +
                                         std::to_string(static_cast<int>(content)) + (interlaced ? " interlaced" : "");
                check(s, interlaced, MakeRaster(content, s.width, s.height, s.bitCount, ++seed), what);
            }
}

}  // namespace

TEST(GiflibDifferential, GiflibReadsOurCodeStreams) {
    ForEachImage(1, [](const Shape& s, bool interlaced, const Bytes& raster, const std::string& what) {
        Bytes stream;
        kx::EncodeGifPixels(stream, {s.width, s.height, s.bitCount}, interlaced, nullptr,
                            ToDib(raster, s.width, s.height, s.bitCount));
        int w = 0, h = 0;
        Bytes back;
        ASSERT_TRUE(DecodeFile(WrapCodeStream(s.width, s.height, s.bitCount, interlaced, stream), w, h, back)) << what;
        EXPECT_EQ(back, raster) << what;
    });
}

TEST(GiflibDifferential, WeReadGiflibCodeStreams) {
    ForEachImage(100, [](const Shape& s, bool interlaced, const Bytes& raster, const std::string& what) {
        Bytes stream = ExtractCodeStream(EncodeFile(s.width, s.height, s.bitCount, interlaced, raster));
        Bytes dib(velfw::DibRowBytes(s.width, s.bitCount) * s.height);
        auto result =
            kx::DecodeGifPixels(stream, {s.width, s.height, s.bitCount}, interlaced, nullptr, dib, s.bitCount);
        EXPECT_FALSE(result.corrupted) << what;
        EXPECT_EQ(FromDib(dib, s.width, s.height, s.bitCount), raster) << what;
    });
}

TEST(GiflibDifferential, MinimumCodeSizeBelowTheColourBits) {
    // giflib writes a four-colour image with minimum code size 2; read as a
    // frame of a 256-colour table into 8-bit rows it keeps its values.
    for (bool interlaced : {false, true}) {
        Bytes raster = MakeRaster(Content::Runs, 300, 50, 2, 42);
        Bytes stream = ExtractCodeStream(EncodeFile(300, 50, 2, interlaced, raster));
        ASSERT_EQ(stream[0], 2);
        Bytes dib(velfw::DibRowBytes(300, 8) * 50);
        EXPECT_FALSE(kx::DecodeGifPixels(stream, {300, 50, 8}, interlaced, nullptr, dib, 8).corrupted);
        EXPECT_EQ(FromDib(dib, 300, 50, 8), raster);
        // giflib agrees about the file that declares 256 colours.
        int w = 0, h = 0;
        Bytes back;
        ASSERT_TRUE(DecodeFile(WrapCodeStream(300, 50, 8, interlaced, stream), w, h, back));
        EXPECT_EQ(back, raster);
    }
}
