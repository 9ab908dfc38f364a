#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "BmpFormat.h"
#include "KxGIFCodec.h"
#include "LibraryErrors.h"

using namespace kx;
using Bytes = std::vector<uint8_t>;

namespace {

// A bottom-up pixel buffer from rows of pixel values, top row first.
Bytes PackRows(const std::vector<Bytes>& rows, int bitCount) {
    const auto width = static_cast<int32_t>(rows.empty() ? 0 : rows[0].size());
    const auto height = static_cast<int32_t>(rows.size());
    const uint64_t stride = velfw::DibRowBytes(width, bitCount);
    Bytes buffer(stride * height);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = buffer.data() + (height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            uint8_t v = rows[y][x];
            if (bitCount == 8) row[x] = v;
            else if (bitCount == 4) row[x / 2] |= (x & 1) ? v : v << 4;
            else row[x / 8] |= v << (7 - x % 8);
        }
    }
    return buffer;
}

Bytes Encode(const Bytes& pixels, GifPixelFormat f, bool interlaced = false) {
    Bytes out;
    EncodeGifPixels(out, f, interlaced, nullptr, pixels);
    return out;
}

struct Decoded {
    Bytes pixels;
    bool corrupted;
};

Decoded Decode(const Bytes& stream, GifPixelFormat f, bool interlaced = false, int colorBits = 8) {
    Decoded d{Bytes(velfw::DibRowBytes(f.width, f.bitCount) * f.height), false};
    d.corrupted = DecodeGifPixels(stream, f, interlaced, nullptr, d.pixels, colorBits).corrupted;
    return d;
}

// A code stream written by hand: codes of the given sizes, least-significant
// bit first, cut into sub-blocks of `blockSize` bytes.
struct CodeStream {
    explicit CodeStream(unsigned minSize) : minSize(minSize) {}
    CodeStream& Code(unsigned code, unsigned size) {
        for (unsigned i = 0; i < size; ++i, ++bit) {
            if (bit % 8 == 0) bytes.push_back(0);
            bytes.back() |= ((code >> i) & 1) << (bit % 8);
        }
        return *this;
    }
    Bytes Build(size_t blockSize = 255, bool terminator = true) const {
        Bytes out{static_cast<uint8_t>(minSize)};
        for (size_t i = 0; i < bytes.size(); i += blockSize) {
            size_t n = std::min(blockSize, bytes.size() - i);
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), bytes.begin() + i, bytes.begin() + i + n);
        }
        if (terminator) out.push_back(0);
        return out;
    }
    unsigned minSize;
    unsigned bit = 0;
    Bytes bytes;
};

Bytes RandomImage(std::mt19937& rng, int32_t width, int32_t height, int bitCount, unsigned colours) {
    std::vector<Bytes> rows(height, Bytes(width));
    std::uniform_int_distribution<unsigned> pick(0, colours - 1);
    for (auto& row : rows)
        for (auto& p : row) p = static_cast<uint8_t>(pick(rng));
    return PackRows(rows, bitCount);
}

}  // namespace

TEST(KxGIFCodec, KnownCodeStreams) {
    struct Case {
        const char* what;
        std::vector<Bytes> rows;
        int bitCount;
        Bytes stream;
    } cases[] = {
        {"1x1 one-bit pixel 0", {{0}}, 1, {0x02, 0x02, 0x44, 0x01, 0x00}},
        {"4x1 one-bit 1,0,1,1", {{1, 0, 1, 1}}, 1, {0x02, 0x03, 0x0C, 0x12, 0x05, 0x00}},
        {"16x1 four-bit 0..15",
         {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
         4,
         {0x04, 0x0C, 0x10, 0x04, 0x31, 0x48, 0x31, 0x07, 0x25, 0xB5, 0x58, 0x73, 0x4F, 0x04, 0x00}},
    };
    for (const auto& c : cases) {
        GifPixelFormat f{static_cast<int32_t>(c.rows[0].size()), static_cast<int32_t>(c.rows.size()), c.bitCount};
        Bytes pixels = PackRows(c.rows, c.bitCount);
        EXPECT_EQ(Encode(pixels, f), c.stream) << c.what;
        Decoded d = Decode(c.stream, f, false, c.bitCount);
        EXPECT_EQ(d.pixels, pixels) << c.what;
        EXPECT_FALSE(d.corrupted) << c.what;
    }
}

TEST(KxGIFCodec, InterlacedRowOrder) {
    struct Case {
        int32_t height;
        std::vector<int32_t> rows;
    } cases[] = {
        {1, {0}}, {2, {0, 1}}, {3, {0, 2, 1}}, {4, {0, 2, 1, 3}}, {5, {0, 4, 2, 1, 3}},
        {9, {0, 8, 4, 2, 6, 1, 3, 5, 7}},
        {17, {0, 8, 16, 4, 12, 2, 6, 10, 14, 1, 3, 5, 7, 9, 11, 13, 15}},
    };
    for (const auto& c : cases) {
        std::vector<int32_t> seen;
        int pass = 0;
        for (int32_t row = 0; row < c.height; row = NextInterlacedRow(row, c.height, pass)) seen.push_back(row);
        EXPECT_EQ(seen, c.rows) << "height " << c.height;
    }
}

TEST(KxGIFCodec, InterlacedImagesComeBackInPlace) {
    std::mt19937 rng(7);
    for (int32_t height : {1, 2, 3, 4, 5, 9, 31}) {
        GifPixelFormat f{5, height, 8};
        Bytes pixels = RandomImage(rng, 5, height, 8, 200);
        Bytes stream = Encode(pixels, f, true);
        if (height >= 3) {
            EXPECT_NE(stream, Encode(pixels, f, false)) << height;
        }
        EXPECT_EQ(Decode(stream, f, true).pixels, pixels) << height;
    }
}

TEST(KxGIFCodec, RoundTripsAtEveryPixelSize) {
    std::mt19937 rng(1);
    struct Case {
        int bitCount;
        int32_t width, height;
        unsigned colours;
    } cases[] = {
        {1, 1, 1, 2}, {1, 9, 3, 2}, {1, 33, 17, 2}, {4, 1, 1, 16}, {4, 7, 5, 16}, {4, 31, 9, 3},
        {8, 1, 1, 256}, {8, 3, 3, 256}, {8, 1000, 80, 256}, {8, 1000, 80, 4}, {8, 257, 3, 1},
    };
    for (const auto& c : cases) {
        GifPixelFormat f{c.width, c.height, c.bitCount};
        Bytes pixels = RandomImage(rng, c.width, c.height, c.bitCount, c.colours);
        for (bool interlaced : {false, true}) {
            Decoded d = Decode(Encode(pixels, f, interlaced), f, interlaced, c.bitCount);
            EXPECT_FALSE(d.corrupted);
            EXPECT_EQ(d.pixels, pixels) << c.bitCount << " bits " << c.width << "x" << c.height;
        }
    }
}

TEST(KxGIFCodec, RowPaddingIsNotEncoded) {
    // 4-bit rows of odd width use only the high nibble of their last byte,
    // 1-bit rows only their leading bits.
    for (int bitCount : {1, 4}) {
        GifPixelFormat f{3, 2, bitCount};
        Bytes clean = PackRows({{1, 0, 1}, {0, 1, 1}}, bitCount);
        Bytes dirty = clean;
        for (size_t i = 0; i < dirty.size(); ++i) dirty[i] |= bitCount == 4 ? (i % 4 == 1 ? 0x0F : i % 4 > 1 ? 0xFF : 0) : (i % 4 == 0 ? 0x1F : 0xFF);
        EXPECT_EQ(Encode(dirty, f), Encode(clean, f)) << bitCount;
    }
}

TEST(KxGIFCodec, SubBlockBoundariesAreNotCodeBoundaries) {
    std::mt19937 rng(3);
    GifPixelFormat f{40, 30, 8};
    Bytes pixels = RandomImage(rng, 40, 30, 8, 256);
    Bytes stream = Encode(pixels, f);
    // The same bits in one-byte blocks.
    Bytes bits;
    for (size_t i = 1; i < stream.size() && stream[i] != 0; i += stream[i] + 1)
        bits.insert(bits.end(), stream.begin() + i + 1, stream.begin() + i + 1 + stream[i]);
    Bytes tiny{stream[0]};
    for (uint8_t b : bits) tiny.insert(tiny.end(), {1, b});
    tiny.push_back(0);
    EXPECT_EQ(Decode(tiny, f).pixels, pixels);
}

TEST(KxGIFCodec, EncoderWritesFullSubBlocksThenOneShorter) {
    std::mt19937 rng(5);
    GifPixelFormat f{300, 20, 8};
    Bytes stream = Encode(RandomImage(rng, 300, 20, 8, 256), f);
    size_t i = 1;
    std::vector<size_t> lengths;
    while (stream[i] != 0) {
        lengths.push_back(stream[i]);
        i += stream[i] + 1;
    }
    EXPECT_EQ(i, stream.size() - 1);
    ASSERT_GT(lengths.size(), 2u);
    for (size_t k = 0; k + 1 < lengths.size(); ++k) EXPECT_EQ(lengths[k], 255u);
    EXPECT_LT(lengths.back(), 255u);
}

TEST(KxGIFCodec, LiteralsAreCodesBelowTheClearCode) {
    // A 256-colour frame with minimum code size 2: codes 1, 0 and 6 (the
    // table entry "1 0") are the pixels 1, 0, 1, 0.
    Bytes stream = CodeStream(2).Code(4, 3).Code(1, 3).Code(0, 3).Code(6, 3).Code(5, 4).Build();
    Decoded d = Decode(stream, {4, 1, 8}, false, 8);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 4), (Bytes{1, 0, 1, 0}));
}

TEST(KxGIFCodec, DamagedAndOddStreams) {
    const GifPixelFormat f{6, 1, 8};
    struct Case {
        const char* what;
        Bytes stream;
        Bytes pixels;
        bool corrupted;
    } cases[] = {
        {"a clear code then the end code ends the image", CodeStream(2).Code(4, 3).Code(5, 3).Code(1, 3).Build(),
         {0, 0, 0, 0, 0, 0}, false},
        {"no clear code at the start", CodeStream(2).Code(1, 3).Code(2, 3).Code(6, 3).Code(5, 4).Build(),
         {1, 2, 1, 2, 0, 0}, false},
        {"a code beyond the next free one", CodeStream(2).Code(4, 3).Code(3, 3).Code(7, 3).Code(5, 3).Build(),
         {3, 3, 3, 0, 0, 0}, false},
        {"a table code straight after a clear code", CodeStream(2).Code(4, 3).Code(6, 3).Build(),
         {0, 0, 0, 0, 0, 0}, true},
        {"data that ends before the end code", CodeStream(2).Code(4, 3).Code(2, 3).Code(1, 3).Build(),
         {2, 1, 0, 0, 0, 0}, true},
        {"a sub-block cut short keeps the bytes it has", {2, 5, 0x54, 0x00}, {2, 1, 0, 0, 0, 0}, true},
        {"minimum code size 1", {1, 1, 0x00, 0}, {0, 0, 0, 0, 0, 0}, true},
        {"minimum code size 10", {10, 1, 0x00, 0}, {0, 0, 0, 0, 0, 0}, true},
        {"only the minimum code size", {2}, {0, 0, 0, 0, 0, 0}, true},
        {"the pixels end before the end code", CodeStream(2).Code(4, 3).Code(1, 3).Code(6, 3).Code(6, 3).Code(7, 4).Build(),
         {1, 1, 1, 1, 1, 1}, false},
    };
    for (const auto& c : cases) {
        Decoded d = Decode(c.stream, f, false, 2);
        EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 6), c.pixels) << c.what;
        EXPECT_EQ(d.corrupted, c.corrupted) << c.what;
    }
}

TEST(KxGIFCodec, NothingIsReadPastTheTerminator) {
    // The codes after the terminator would finish the row.
    Bytes stream = CodeStream(2).Code(4, 3).Code(1, 3).Build();
    Bytes more = CodeStream(2).Code(1, 3).Code(1, 3).Code(5, 3).Build();
    stream.insert(stream.end(), more.begin() + 1, more.end());
    Decoded d = Decode(stream, {3, 1, 8}, false, 2);
    EXPECT_TRUE(d.corrupted);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 3), (Bytes{1, 0, 0}));
}

TEST(KxGIFCodec, TruncatedDataKeepsThePixelsBeforeTheCut) {
    std::mt19937 rng(11);
    for (int bitCount : {1, 4, 8}) {
        GifPixelFormat f{50, 40, bitCount};
        Bytes pixels = RandomImage(rng, 50, 40, bitCount, 1u << bitCount);
        Bytes stream = Encode(pixels, f);
        stream.resize(stream.size() / 2);
        Decoded d = Decode(stream, f, false, bitCount);
        EXPECT_TRUE(d.corrupted);
        // The top rows are the last in the buffer: they came through, the bottom ones stayed zero.
        const uint64_t stride = velfw::DibRowBytes(50, bitCount);
        EXPECT_TRUE(std::equal(pixels.end() - 10 * stride, pixels.end(), d.pixels.end() - 10 * stride)) << bitCount;
        EXPECT_TRUE(std::all_of(d.pixels.begin(), d.pixels.begin() + 5 * stride, [](uint8_t b) { return b == 0; }));
    }
}

TEST(KxGIFCodec, LongestStringsStayWithinTheStack) {
    // Every code names the next free one: strings of 1, 2, 3... pixels until
    // the table is full, then the longest string again and again.
    const unsigned total = 4096 * 4200;
    GifPixelFormat f{4096, 4200, 8};
    CodeStream s(2);
    s.Code(4, 3).Code(1, 3);
    unsigned size = 3, free = 6, pixels = 1;
    while (free < 4096 && pixels < total) {
        s.Code(free, size);
        pixels += free - 6 + 2;
        if (++free >= (1u << size) && size < 12) ++size;
    }
    for (int i = 0; i < 100; ++i, pixels += 4095 - 6 + 2) s.Code(4095, 12);
    s.Code(5, 12);
    Decoded d = Decode(s.Build(), f, false, 2);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(std::count(d.pixels.begin(), d.pixels.end(), 1), static_cast<std::ptrdiff_t>(pixels));
}

TEST(KxGIFCodec, EmptyImagesAndWrongBuffers) {
    Bytes stream = CodeStream(2).Code(4, 3).Code(1, 3).Code(5, 3).Build();
    for (GifPixelFormat f : {GifPixelFormat{0, 5, 8}, GifPixelFormat{5, 0, 8}}) {
        Bytes sentinel(8, 0xAA);
        EXPECT_FALSE(DecodeGifPixels(stream, f, false, nullptr, sentinel, 8).corrupted);
        EXPECT_EQ(sentinel, Bytes(8, 0xAA));
        EXPECT_EQ(Encode({}, f), (Bytes{8, 3, 0x00, 0x03, 0x02, 0}));  // clear, end
    }
    Bytes small(7);
    EXPECT_THROW(DecodeGifPixels(stream, {2, 2, 8}, false, nullptr, small, 8), velfw::EInvalidGraphicOperation);
    EXPECT_THROW(Encode(small, {2, 2, 8}), velfw::EInvalidGraphicOperation);
    Bytes enough(16);
    EXPECT_THROW(DecodeGifPixels(stream, {2, 2, 2}, false, nullptr, enough, 8), velfw::EInvalidGraphicOperation);
    EXPECT_THROW(DecodeGifPixels(stream, {-2, 2, 8}, false, nullptr, enough, 8), velfw::EInvalidGraphicOperation);
    EXPECT_THROW(DecodeGifPixels({}, {2, 2, 8}, false, nullptr, enough, 8), velfw::EReadError);
    // Width × bit count beyond 32 bits is refused, not wrapped.
    EXPECT_THROW(DecodeGifPixels(stream, {0x7FFFFFFF, 0x7FFFFFFF, 8}, false, nullptr, enough, 8),
                 velfw::EInvalidGraphicOperation);
}

TEST(KxGIFCodec, PixelsStayWithinTheColourTable) {
    // Literal 3 in a two-colour frame stored in a 1-bit row.
    Bytes stream = CodeStream(2).Code(4, 3).Code(3, 3).Code(2, 3).Code(5, 3).Build();
    Decoded d = Decode(stream, {2, 1, 1}, false, 1);
    EXPECT_EQ(d.pixels[0], 0x80);
    Decoded four = Decode(CodeStream(4).Code(16, 5).Code(15, 5).Code(9, 5).Code(17, 5).Build(), {2, 1, 4}, false, 3);
    EXPECT_EQ(four.pixels[0], 0x71);
}

TEST(KxGIFCodec, ProgressAndAbort) {
    std::mt19937 rng(9);
    GifPixelFormat f{200, 200, 8};
    Bytes pixels = RandomImage(rng, 200, 200, 8, 256);
    std::vector<std::pair<int, int>> reports;
    std::string lastMessage = "unset";
    GifProgress record = [&](GifProgressStage stage, int percent, const std::string& message) {
        reports.emplace_back(stage, percent);
        lastMessage = message;
    };
    Bytes stream;
    EncodeGifPixels(stream, f, false, record, pixels);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(0, 0));
    EXPECT_EQ(reports.back(), std::make_pair(2, 100));
    EXPECT_EQ(reports[reports.size() - 2], std::make_pair(1, 100));

    for (bool encode : {false, true}) {
        reports.clear();
        GifProgress abortHalfway = [&](GifProgressStage stage, int percent, const std::string& message) {
            record(stage, percent, message);
            if (stage == gpsRunning && percent >= 50) throw velfw::EAbort();
        };
        Bytes out(pixels.size());
        if (encode) {
            Bytes ignored;
            EXPECT_THROW(EncodeGifPixels(ignored, f, false, abortHalfway, pixels), velfw::EAbort);
        } else {
            EXPECT_THROW(DecodeGifPixels(stream, f, false, abortHalfway, out, 8), velfw::EAbort);
            // The top half came through before the stop.
            EXPECT_TRUE(std::equal(pixels.end() - 90 * 200, pixels.end(), out.end() - 90 * 200));
            EXPECT_EQ(out[0], 0);
        }
        EXPECT_EQ(reports.back(), std::make_pair(2, 0)) << encode;
        EXPECT_EQ(lastMessage, "Operation aborted");
        for (size_t i = 2; i + 1 < reports.size(); ++i) EXPECT_GE(reports[i].second, reports[i - 1].second);
    }

    // One colour: a stream with no clear code after its first, whose pixels
    // before the stop are kept all the same.
    Bytes flat(pixels.size(), 1), flatStream, out(pixels.size());
    EncodeGifPixels(flatStream, f, false, nullptr, flat);
    GifProgress abortHalfway = [&](GifProgressStage stage, int percent, const std::string&) {
        if (stage == gpsRunning && percent >= 50) throw velfw::EAbort();
    };
    EXPECT_THROW(DecodeGifPixels(flatStream, f, false, abortHalfway, out, 8), velfw::EAbort);
    EXPECT_TRUE(std::all_of(out.end() - 40 * 200, out.end(), [](uint8_t b) { return b == 1; }));
    EXPECT_EQ(out[0], 0);
}
