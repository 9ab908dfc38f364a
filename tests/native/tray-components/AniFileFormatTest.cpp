#include <gtest/gtest.h>

#include "AniFileFormat.h"
#include "AniFiles.h"
#include "LibraryErrors.h"

using namespace kx;
using namespace icon_files;

namespace {

Bytes Icons(int n) {
    Bytes out;
    for (int i = 0; i < n; ++i) {
        Bytes c = Chunk("icon", IconFile({Image{}}));
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

Bytes Fram(int icons) {
    Bytes data{'f', 'r', 'a', 'm'};
    Bytes i = Icons(icons);
    data.insert(data.end(), i.begin(), i.end());
    return Chunk("LIST", data);
}

AniCursor Read(const Bytes& file, FakeIconFactory& factory) {
    AniCursor c;
    ReadAniCursor(file, factory, c);
    return c;
}

std::vector<int> Shown(const AniCursor& c) {
    std::vector<int> out;
    for (const auto& f : c.frames) out.push_back(Serial(f));
    return out;
}

std::vector<int> Steps(const AniCursor& c) {
    std::vector<int> out;
    for (const auto& f : c.frames) out.push_back(f.stepIcon);
    return out;
}

}  // namespace

TEST(AniFileFormat, FramesTakeTheirRatesAndIcons) {
    FakeIconFactory factory;
    AniCursor c = Read(Riff({Anih(4, 4, 10), Chunk("rate", Values({5, 6, 7, 8})), Fram(4)}), factory);
    ASSERT_EQ(c.frames.size(), 4u);
    EXPECT_EQ(Shown(c), (std::vector<int>{0, 1, 2, 3}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.frames[i].jiffies, 5 + i);
    EXPECT_EQ(c.header.steps, 4u);
    EXPECT_EQ(c.maxSourceColors, 16);
    EXPECT_EQ(std::string(c.frames[0].chunkTag.id.data(), 4), "icon");
}

TEST(AniFileFormat, SequencesPickTheIcons) {
    struct Case {
        const char* what;
        Bytes file;
        std::vector<int> shown, steps;
    } cases[] = {
        {"seq 0,0,1 with two icons", Riff({Anih(3, 3, 6), Chunk("seq ", Values({0, 0, 1})), Fram(2)}), {0, 0, 1}, {0, 0, 1}},
        {"a third icon no step names becomes a frame of its own",
         Riff({Anih(3, 3, 6), Chunk("seq ", Values({0, 0, 1})), Fram(3)}), {0, 0, 1, 2}, {0, 0, 1, -1}},
        {"a step naming no icon is dropped", Riff({Anih(3, 3, 6), Chunk("seq ", Values({0, 5, 1})), Fram(2)}), {0, 1}, {0, 1}},
        {"more steps than frames", Riff({Anih(2, 4, 6), Chunk("seq ", Values({1, 0, 0, 0})), Fram(2)}), {1, 0}, {1, 0}},
        {"no anih chunk: every icon its own frame", Riff({Fram(3)}), {0, 1, 2}, {-1, -1, -1}},
    };
    for (const auto& c : cases) {
        FakeIconFactory factory;
        AniCursor cursor = Read(c.file, factory);
        EXPECT_EQ(Shown(cursor), c.shown) << c.what;
        EXPECT_EQ(Steps(cursor), c.steps) << c.what;
        EXPECT_EQ(cursor.header.steps, c.shown.size()) << c.what;
    }
    FakeIconFactory factory;
    AniCursor plain = Read(Riff({Fram(1)}), factory);
    EXPECT_EQ(plain.frames[0].jiffies, 0);
    // Frames sharing an icon share the one the factory made.
    AniCursor shared = Read(Riff({Anih(3, 3, 6), Chunk("seq ", Values({0, 0, 1})), Fram(2)}), factory);
    EXPECT_EQ(shared.frames[0].icon, shared.frames[1].icon);
}

TEST(AniFileFormat, TitleAndAuthor) {
    FakeIconFactory factory;
    const std::string longTitle(300, 'T');
    AniCursor c = Read(Riff({List("INFO", {Chunk("INAM", Text(longTitle)), Chunk("IART", Text("Ann"))}), Fram(1),
                             Chunk("rate", Values({42}))}),
                       factory);
    EXPECT_EQ(std::string(c.title.data()), std::string(255, 'T'));
    EXPECT_EQ(std::string(c.author.data()), "Ann");
    EXPECT_EQ(c.frames[0].jiffies, 42) << "a chunk after the lists is still found";
}

TEST(AniFileFormat, LongAnihFillsTheHeaderFromItsStart) {
    FakeIconFactory factory;
    Bytes record = Values({36, 2, 2, 32, 32, 4, 1, 9, 1, 0xDEAD, 0xBEEF});
    AniCursor c = Read(Riff({Chunk("anih", record), Fram(2), Chunk("rate", Values({3, 4}))}), factory);
    EXPECT_EQ(c.header.jiffies, 9u);
    EXPECT_EQ(c.header.flags, 1u);
    EXPECT_EQ(c.frames[1].jiffies, 4);
}

TEST(AniFileFormat, CursorAndIconResourcesGetTheirHotPoints) {
    FakeIconFactory factory;
    Bytes cursor = IconFile({Image{32, 32, 8, 3, 4, 0}, Image{16, 16, 1, 6, 7, 2}}, 2);
    AniCursor c = Read(Riff({List("fram", {Chunk("icon", cursor), Chunk("icon", IconFile({Image{24, 20, 24}}))})}),
                       factory);
    ASSERT_EQ(c.frames.size(), 2u);
    EXPECT_FALSE(c.frames[0].fromIconResource);
    EXPECT_EQ(c.frames[0].hotPoint.x, 6);
    EXPECT_EQ(c.frames[0].hotPoint.y, 7);
    EXPECT_TRUE(c.frames[1].fromIconResource);
    EXPECT_EQ(c.frames[1].hotPoint.x, 12);
    EXPECT_EQ(c.frames[1].hotPoint.y, 10);
    EXPECT_EQ(factory.types, (std::vector<int>{1, 1})) << "a cursor is handed over as an icon";
    EXPECT_EQ(c.maxSourceColors, 256);
}

TEST(AniFileFormat, RefusedFiles) {
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"not RIFF", [] { Bytes b = Riff({Fram(1)}); b[0] = 'X'; return b; }()},
        {"not ACON", [] { Bytes b = Riff({Fram(1)}); b[8] = 'X'; return b; }()},
        {"anih without the resource flag", Riff({Anih(1, 1, 0, 0), Fram(1)})},
        {"anih with no steps", Riff({Anih(1, 0, 0), Fram(1)})},
        {"no icon", Riff({Anih(2, 2, 1)})},
        {"an icon that cannot be made", Riff({List("fram", {Chunk("icon", Bytes{0, 0, 1, 0, 0, 0})})})},
        {"an icon chunk larger than the file", Riff({Bytes{'L', 'I', 'S', 'T', 40, 0, 0, 0, 'f', 'r', 'a', 'm', 'i', 'c', 'o', 'n', 200, 0, 0, 0}})},
    };
    for (const auto& c : cases) {
        FakeIconFactory factory;
        AniCursor cursor;
        EXPECT_THROW(ReadAniCursor(c.file, factory, cursor), velfw::EReadError) << c.what;
    }
}

TEST(AniFileFormat, DamagedChunksEndQuietly) {
    FakeIconFactory factory;
    // A sub-chunk larger than its list ends the list; the next chunk is read.
    Bytes list = List("fram", {Chunk("icon", IconFile({Image{}})), Chunk("icon", IconFile({Image{}}))});
    for (int i = 16; i < 20; ++i) list[i] = 0x7F;  // the first icon's size
    Bytes file = Riff({list, Fram(1)});
    AniCursor c = Read(file, factory);
    ASSERT_EQ(c.frames.size(), 1u) << "the list's icons are skipped, the next list's is read";

    // An icon whose directory is cut off ends its list; the icons before it stay.
    Bytes bad = IconFile({Image{}});
    bad[4] = 200;  // 200 entries
    AniCursor cut = Read(Riff({List("fram", {Chunk("icon", IconFile({Image{}})), Chunk("icon", bad),
                                              Chunk("icon", IconFile({Image{}}))})}),
                         factory);
    EXPECT_EQ(cut.frames.size(), 1u);

    // A file cut inside a chunk keeps what came before.
    Bytes whole = Riff({Anih(2, 2, 5), Fram(2), Chunk("rate", Values({8, 9}))});
    Bytes truncated(whole.begin(), whole.end() - 3);
    AniCursor part = Read(truncated, factory);
    EXPECT_EQ(part.frames.size(), 2u);
    EXPECT_EQ(part.frames[0].jiffies, 8);
    EXPECT_EQ(part.frames[1].jiffies, 5);
}

TEST(AniFileFormat, IconsWhoseImagesLieOutsideTheirDataAreNone) {
    const Bytes good = IconFile({Image{}});
    const Bytes two = IconFile({Image{}, Image{32, 32, 8}});
    struct Case {
        const char* what;
        Bytes icon;
    } cases[] = {
        {"the image beyond the end", [&] { Bytes b = good; Set32(b, 6 + 12, 0x10000); return b; }()},
        {"the image inside the directory", [&] { Bytes b = good; Set32(b, 6 + 12, 2); return b; }()},
        {"the image cut short", Bytes(good.begin(), good.end() - 1)},
        {"the second image cut short", Bytes(two.begin(), two.end() - 1)},
        {"the image size past the end", [&] { Bytes b = good; Set32(b, 6 + 8, 0xFFFFFFF0); return b; }()},
    };
    for (const auto& c : cases) {
        FakeIconFactory factory;
        AniCursor cursor = Read(Riff({List("fram", {Chunk("icon", good), Chunk("icon", c.icon), Chunk("icon", good)})}),
                                factory);
        EXPECT_EQ(cursor.frames.size(), 1u) << c.what << ": the icon ends its list";
        EXPECT_EQ(factory.made, 1) << c.what;
    }
}

TEST(AniFileFormat, HugeCountsStayBounded) {
    FakeIconFactory factory;
    AniCursor c = Read(Riff({Anih(0x7FFFFFFF, 0x7FFFFFFF, 1), Chunk("rate", Values({1, 2, 3})), Fram(1)}), factory);
    EXPECT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0].jiffies, 1);
    // Two anih chunks cannot add up past the bound either.
    AniCursor twice = Read(Riff({Anih(0xFFFFFFFF, 1, 1), Anih(0xFFFFFFFF, 1, 1), Fram(2)}), factory);
    EXPECT_EQ(twice.frames.size(), 2u);
    // A chunk size near 4 GiB: rounding to even and the sums do not wrap.
    Bytes huge = Riff({Fram(1)});
    Bytes tail{'j', 'u', 'n', 'k', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2};
    huge.insert(huge.end(), tail.begin(), tail.end());
    EXPECT_EQ(Read(huge, factory).frames.size(), 1u);
}

TEST(AniFileFormat, StripExtent) {
    struct Case {
        int32_t w, h;
        size_t frames;
        bool vertical;
        StripExtent expected;
    } cases[] = {
        {32, 32, 6, false, {192, 32, 6}},
        {32, 32, 6, true, {32, 192, 6}},
        {32, 32, 5000, false, {32736, 32, 1023}},
        {16, 16, SIZE_MAX, true, {16, 32752, 2047}},
        {0, 32, 3, false, {0, 0, 0}},
        {40000, 32, 3, false, {0, 0, 0}},
        {32, 32, 0, false, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        StripExtent e = AniStripExtent(c.w, c.h, c.frames, c.vertical);
        EXPECT_EQ(e.width, c.expected.width) << c.w << " " << c.frames;
        EXPECT_EQ(e.height, c.expected.height);
        EXPECT_EQ(e.frames, c.expected.frames);
    }
}
