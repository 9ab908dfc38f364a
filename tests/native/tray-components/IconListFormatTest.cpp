#include <gtest/gtest.h>

#include "IconListFormat.h"
#include "LibraryErrors.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

Bytes Stream(std::initializer_list<int32_t> words, Bytes tail = {}) {
    Bytes b;
    for (int32_t w : words) Put32(b, w);
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

struct ReadResult {
    std::vector<Bytes> entries;
    bool readError = false;
};

ReadResult Read(Bytes bytes) {
    velfw::TMemoryStream stream(std::move(bytes));
    ReadResult r;
    try {
        kx::ReadIconListStream(stream, [&](Bytes&& icon) { r.entries.push_back(std::move(icon)); });
    } catch (const velfw::EReadError&) {
        r.readError = true;
    }
    return r;
}

TEST(IconListFormat, WrittenEntriesReadBackWithTheirEmptySlots) {
    velfw::TMemoryStream out;
    out.WriteInt32(3);
    kx::WriteIconListEntry(out, Bytes{1, 2, 3});
    kx::WriteIconListEntry(out, Bytes{4});
    kx::WriteIconListEntry(out, Bytes{});
    EXPECT_EQ(out.Bytes(), Stream({3, 3}, {1, 2, 3, 1, 0, 0, 0, 4, 0, 0, 0, 0}));
    ReadResult r = Read(out.Bytes());
    EXPECT_FALSE(r.readError);
    EXPECT_EQ(r.entries, (std::vector<Bytes>{{1, 2, 3}, {4}, {}}));
}

// Each row: the stream, the entries it yields before it stops, and whether it
// stops with the read error.
TEST(IconListFormat, SizesAreNeverTrusted) {
    struct Case {
        const char* what;
        Bytes stream;
        size_t entries;
        bool readError;
    } cases[] = {
        {"no count", {}, 0, true},
        {"half a count", {1, 0}, 0, true},
        {"count 0", Stream({0}), 0, false},
        {"negative count reads nothing", Stream({-5}), 0, false},
        {"huge count, stream ends", Stream({0x7FFFFFFF, 0}), 1, true},
        {"negative size is an empty slot", Stream({1, -1}), 1, false},
        {"size beyond the stream", Stream({2, 1}, {9, 0xFF, 0xFF, 0xFF, 0x7F}), 1, true},
        {"size one past the end", Stream({1, 3}, {1, 2}), 0, true},
        {"stream ends inside a size", Stream({2, 0}, {1, 0}), 1, true},
        {"trailing bytes are left alone", Stream({1, 1}, {7, 8, 9}), 1, false},
    };
    for (const Case& c : cases) {
        ReadResult r = Read(c.stream);
        EXPECT_EQ(r.entries.size(), c.entries) << c.what;
        EXPECT_EQ(r.readError, c.readError) << c.what;
    }
}

}  // namespace
