#include "KxGraphQuantize.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "LibraryErrors.h"

namespace kx {

using velfw::CheckedImageSize;
using velfw::DibHeader;
using velfw::DibRowBytes;
using velfw::kBmpFileHeaderSize;
using velfw::kBmpInfoHeaderSize;

TColorReduction DefaultColorReduction = crPopularity;

namespace {

template <size_t N>
constexpr std::array<uint8_t, 256> NearestLevels(const std::array<uint8_t, N>& levels) {
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) {
        int best = 0;
        for (int i = 1; i < static_cast<int>(N); ++i) {
            auto d = [&](int k) { return v > levels[k] ? v - levels[k] : levels[k] - v; };
            if (d(i) < d(best)) best = i;
        }
        t[v] = static_cast<uint8_t>(best);
    }
    return t;
}

constexpr std::array<uint8_t, 4> kL4{0, 85, 170, 255};
constexpr std::array<uint8_t, 6> kL6{0, 51, 102, 153, 204, 255};
constexpr std::array<uint8_t, 7> kL7{0, 43, 85, 128, 170, 213, 255};
constexpr std::array<uint8_t, 8> kL8{0, 36, 73, 109, 146, 182, 219, 255};

void CheckWanted(int wanted) {
    if (wanted < 1 || wanted > 256) throw velfw::EInvalidGraphicOperation("Colour count must be from 1 to 256");
}

// Rows of the 24-bit source and of the 8-bit result, in storage order.
struct Rows {
    explicit Rows(const DibHeader& h)
        : width(h.width > 0 ? static_cast<uint32_t>(h.width) : 0u),
          height(h.height > 0 ? static_cast<uint32_t>(h.height) : 0u),
          stride24(CheckedImageSize(DibRowBytes(width, 24))), stride8(CheckedImageSize(DibRowBytes(width, 8))) {
        CheckedImageSize(stride24 * height);
    }
    uint32_t width, height;
    uint64_t stride24, stride8;
};

// One row procedure per row: each pixel's blue, green, red to one index.
template <typename Map>
void MapRows24To8(const DibHeader& header, const uint8_t* src, uint8_t* dst, Map map) {
    Rows r(header);
    for (uint32_t y = 0; y < r.height; ++y) {
        const uint8_t* s = src + y * r.stride24;
        uint8_t* d = dst + y * r.stride8;
        for (uint32_t x = 0; x < r.width; ++x, s += 3) d[x] = map(s[0], s[1], s[2], y, x);
        for (uint64_t x = r.width; x < r.stride8; ++x) d[x] = 0;
    }
}

void FillUnused(ColorTable& table, size_t from) {
    for (size_t i = from; i < table.size(); ++i) table[i] = {128, 128, 128, 128};
}

// The popularity method's colour table: masked colours with their counts,
// found through an open-addressed hash.
class PopularColors {
public:
    static constexpr size_t kEntries = 2049;
    static constexpr uint32_t kSlots = 5191;

    struct Entry {
        uint8_t blue, green, red, index;
        uint32_t count;
    };

    PopularColors(uint8_t redMask, uint8_t greenMask, uint8_t blueMask)
        : redMask(redMask), greenMask(greenMask), blueMask(blueMask) {}

    uint8_t redMask, greenMask, blueMask;
    std::vector<Entry> entries;

    // False when a colour more than the table holds turns up.
    bool Count(const Rows& r, const uint8_t* src) {
        entries.clear();
        std::fill(std::begin(slots_), std::end(slots_), kEmpty);
        for (uint32_t y = 0; y < r.height; ++y) {
            const uint8_t* s = src + y * r.stride24;
            for (uint32_t x = 0; x < r.width; ++x, s += 3) {
                uint16_t& slot = Find(s);
                if (slot != kEmpty) {
                    ++entries[slot].count;
                    continue;
                }
                if (entries.size() == kEntries) return false;
                slot = static_cast<uint16_t>(entries.size());
                entries.push_back({Masked(s[0], blueMask), Masked(s[1], greenMask), Masked(s[2], redMask), 0, 1});
            }
        }
        return true;
    }

    uint8_t IndexOf(const uint8_t* bgr) { return entries[Find(bgr)].index; }

private:
    static constexpr uint16_t kEmpty = 0xFFFF;
    static uint8_t Masked(uint8_t v, uint8_t mask) { return v & mask; }

    uint16_t& Find(const uint8_t* bgr) {
        const uint8_t b = bgr[0] & blueMask, g = bgr[1] & greenMask, rd = bgr[2] & redMask;
        uint32_t i = ((uint32_t{rd} + g) * (uint32_t{g} + b) * (uint32_t{b} + rd)) % kSlots;
        for (;;) {
            uint16_t& slot = slots_[i];
            if (slot == kEmpty) return slot;
            const Entry& e = entries[slot];
            if (e.blue == b && e.green == g && e.red == rd) return slot;
            if (++i == kSlots) i = 0;
        }
    }

    uint16_t slots_[kSlots];
};

void CoarsenMasks(PopularColors& c) {
    if (c.redMask < c.greenMask)
        c.greenMask = static_cast<uint8_t>(c.greenMask << 1);
    else if (c.redMask > c.blueMask)
        c.redMask = static_cast<uint8_t>(c.redMask << 1);
    else
        c.blueMask = static_cast<uint8_t>(c.blueMask << 1);
}

// Median cut over colour cells of 4 bits per component.
struct Cell {
    uint8_t red4, green4, blue4, index;
    uint32_t count;
    uint16_t next;
};

struct Box {
    int lower[3];
    int extent[3];
    uint32_t cells;
    uint64_t pixels;
    uint16_t first;
};

constexpr uint16_t kNoCell = 0xFFFF;

uint8_t Component(const Cell& c, int axis) { return axis == 0 ? c.red4 : axis == 1 ? c.green4 : c.blue4; }

void SortByAxis(const std::vector<Cell>& cells, uint16_t* a, size_t n, int axis) {
    auto v = [&](size_t i) { return Component(cells[a[i]], axis); };
    if (n < 8) {
        for (size_t i = 1; i < n; ++i)
            for (size_t j = i; j > 0 && v(j - 1) >= v(j); --j) std::swap(a[j - 1], a[j]);
        return;
    }
    const uint8_t pivot = v(n / 2);
    ptrdiff_t i = -1, j = static_cast<ptrdiff_t>(n);
    for (;;) {
        do ++i;
        while (v(static_cast<size_t>(i)) < pivot);
        do --j;
        while (v(static_cast<size_t>(j)) > pivot);
        if (j <= i) break;
        std::swap(a[i], a[j]);
    }
    const size_t split = static_cast<size_t>(i);
    if (split == 0 || split >= n) {  // cannot happen with a middle pivot; keeps the recursion finite
        for (size_t k = 1; k < n; ++k)
            for (size_t m = k; m > 0 && v(m - 1) > v(m); --m) std::swap(a[m - 1], a[m]);
        return;
    }
    if (split < n / 2) {
        SortByAxis(cells, a, split, axis);
        SortByAxis(cells, a + split, n - split, axis);
    } else {
        SortByAxis(cells, a + split, n - split, axis);
        SortByAxis(cells, a, split, axis);
    }
}

void SplitBoxes(std::vector<Cell>& cells, std::vector<Box>& boxes, size_t wanted) {
    std::vector<uint16_t> sorted(cells.size());
    while (boxes.size() < wanted) {
        int bestBox = -1, bestAxis = 0, bestExtent = -1;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].cells <= 1) continue;
            for (int axis = 0; axis < 3; ++axis)
                if (boxes[b].extent[axis] > bestExtent) {
                    bestBox = static_cast<int>(b);
                    bestAxis = axis;
                    bestExtent = boxes[b].extent[axis];
                }
        }
        if (bestBox < 0) return;
        Box& box = boxes[static_cast<size_t>(bestBox)];
        size_t n = 0;
        for (uint16_t c = box.first; c != kNoCell && n < box.cells; c = cells[c].next) sorted[n++] = c;
        SortByAxis(cells, sorted.data(), n, bestAxis);
        for (size_t i = 0; i + 1 < n; ++i) cells[sorted[i]].next = sorted[i + 1];
        cells[sorted[n - 1]].next = kNoCell;
        box.first = sorted[0];

        const uint64_t half = box.pixels / 2;
        size_t k = 1;
        uint64_t lowerPixels = cells[sorted[0]].count;
        while (k < n - 1 && lowerPixels + cells[sorted[k]].count <= half) lowerPixels += cells[sorted[k++]].count;
        uint64_t upperPixels = 0;
        for (size_t i = k; i < n; ++i) upperPixels += cells[sorted[i]].count;
        cells[sorted[k - 1]].next = kNoCell;

        Box upper = box;
        upper.first = sorted[k];
        upper.cells = static_cast<uint32_t>(n - k);
        upper.pixels = upperPixels;
        upper.lower[bestAxis] = 16 * Component(cells[sorted[k]], bestAxis);
        upper.extent[bestAxis] = box.lower[bestAxis] + box.extent[bestAxis] - upper.lower[bestAxis];
        box.extent[bestAxis] = 16 * Component(cells[sorted[k - 1]], bestAxis) - box.lower[bestAxis];
        box.cells = static_cast<uint32_t>(k);
        box.pixels = lowerPixels;
        boxes.push_back(upper);  // `box` is not used after this
    }
}

}  // namespace

const std::array<uint8_t, 4> L4 = kL4;
const std::array<uint8_t, 6> L6 = kL6;
const std::array<uint8_t, 7> L7 = kL7;
const std::array<uint8_t, 8> L8 = kL8;
const std::array<uint8_t, 256> T4 = NearestLevels(kL4);
const std::array<uint8_t, 256> T6 = NearestLevels(kL6);
const std::array<uint8_t, 256> T7 = NearestLevels(kL7);
const std::array<uint8_t, 256> T8 = NearestLevels(kL8);

void PopularityReduce(const DibHeader& header, ColorTable& table, const uint8_t* src, uint8_t* dst, int wanted,
                      uint8_t redMask, uint8_t greenMask, uint8_t blueMask) {
    CheckWanted(wanted);
    Rows r(header);
    auto colors = std::make_unique<PopularColors>(redMask, greenMask, blueMask);
    colors->entries.reserve(PopularColors::kEntries);
    while (!colors->Count(r, src)) CoarsenMasks(*colors);

    auto& entries = colors->entries;
    const size_t picked = std::min(static_cast<size_t>(wanted), entries.size());
    for (size_t i = 0; i < picked; ++i) {
        size_t best = 0;
        for (size_t k = 1; k < entries.size(); ++k)
            if (entries[k].count > entries[best].count) best = k;
        entries[best].index = static_cast<uint8_t>(i);
        entries[best].count = 0;
        table[i] = {entries[best].blue, entries[best].green, entries[best].red, 0};
    }
    for (size_t i = picked; i < table.size(); ++i) table[i] = {128, 128, 128, 0};
    for (auto& e : entries) {
        if (e.count == 0) continue;
        int bestDistance = std::numeric_limits<int>::max();
        for (int j = 0; j < wanted; ++j) {
            const int dr = e.red - table[j].red, dg = e.green - table[j].green, db = e.blue - table[j].blue;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                e.index = static_cast<uint8_t>(j);
            }
        }
    }
    MapRows24To8(header, src, dst, [&](uint8_t b, uint8_t g, uint8_t rd, uint32_t, uint32_t) {
        const uint8_t bgr[3] = {b, g, rd};
        return colors->IndexOf(bgr);
    });
}

void MedianCutReduce(const DibHeader& header, const uint8_t* src, uint8_t* dst, int& colors, ColorTable& table) {
    CheckWanted(colors);
    Rows r(header);
    std::vector<Cell> cells(4096);
    for (uint16_t i = 0; i < 4096; ++i)
        cells[i] = {static_cast<uint8_t>(i >> 8), static_cast<uint8_t>((i >> 4) & 15), static_cast<uint8_t>(i & 15), 0,
                    0, kNoCell};
    // One cell number per pixel, top row first; all reading is done before
    // the result overwrites the source.
    std::vector<uint8_t> indexBlock = velfw::ZeroedImageBlock(uint64_t{r.width} * r.height * 2);
    auto* cellOf = reinterpret_cast<uint16_t*>(indexBlock.data());
    size_t n = 0;
    for (uint32_t y = r.height; y-- > 0;) {
        const uint8_t* s = src + y * r.stride24;
        for (uint32_t x = 0; x < r.width; ++x, s += 3) {
            const uint16_t c = static_cast<uint16_t>((s[2] >> 4) << 8 | (s[1] >> 4) << 4 | (s[0] >> 4));
            ++cells[c].count;
            cellOf[n++] = c;
        }
    }

    std::vector<Box> boxes;
    boxes.reserve(256);
    Box all{{0, 0, 0}, {255, 255, 255}, 0, uint64_t{r.width} * r.height, kNoCell};
    uint16_t last = kNoCell;
    for (uint16_t i = 0; i < 4096; ++i) {
        if (cells[i].count == 0) continue;
        if (last == kNoCell)
            all.first = i;
        else
            cells[last].next = i;
        last = i;
        ++all.cells;
    }
    boxes.push_back(all);
    SplitBoxes(cells, boxes, static_cast<size_t>(colors));

    for (size_t i = boxes.size(); i < static_cast<size_t>(colors); ++i) table[i] = {};
    for (size_t b = 0; b < boxes.size(); ++b) {
        if (boxes[b].cells == 0) continue;
        uint32_t sum[3] = {0, 0, 0}, count = 0;
        for (uint16_t c = boxes[b].first; c != kNoCell && count < boxes[b].cells; c = cells[c].next, ++count) {
            cells[c].index = static_cast<uint8_t>(b);
            sum[0] += cells[c].red4;
            sum[1] += cells[c].green4;
            sum[2] += cells[c].blue4;
        }
        auto average = [&](int k) { return static_cast<uint8_t>((16 * sum[k] + 15) / count); };
        RgbQuad q{average(2), average(1), average(0), 0};
        if (q.red <= 16 && q.green <= 16 && q.blue <= 16) q = {};
        table[b] = q;
    }

    for (uint32_t y = 0; y < r.height; ++y) {
        uint8_t* d = dst + y * r.stride8;
        const uint16_t* row = cellOf + uint64_t{r.height - 1 - y} * r.width;
        for (uint32_t x = 0; x < r.width; ++x) d[x] = cells[row[x]].index;
        for (uint64_t x = r.width; x < r.stride8; ++x) d[x] = 0;
    }
    colors = static_cast<int>(boxes.size());
}

void Palette784(ColorTable& table) {
    for (int rd = 0; rd < 7; ++rd)
        for (int g = 0; g < 8; ++g)
            for (int b = 0; b < 4; ++b) table[32 * rd + 4 * g + b] = {kL4[b], kL8[g], kL7[rd], 0};
    FillUnused(table, 224);
}

void MapImage784(const DibHeader& header, const uint8_t* src, uint8_t* dst) {
    MapRows24To8(header, src, dst, [](uint8_t b, uint8_t g, uint8_t rd, uint32_t, uint32_t) {
        return static_cast<uint8_t>(32 * T7[rd] + 4 * T8[g] + T4[b]);
    });
}

void Palette666(ColorTable& table) {
    for (int rd = 0; rd < 6; ++rd)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) table[36 * rd + 6 * g + b] = {kL6[b], kL6[g], kL6[rd], 0};
    FillUnused(table, 216);
}

void MapImage666(const DibHeader& header, const uint8_t* src, uint8_t* dst) {
    MapRows24To8(header, src, dst, [](uint8_t b, uint8_t g, uint8_t rd, uint32_t, uint32_t) {
        return static_cast<uint8_t>(36 * T6[rd] + 6 * T6[g] + T6[b]);
    });
}

void PaletteChannels(ColorTable& table) {
    table.fill({});
    for (int i = 0; i < 64; ++i) {
        const uint8_t v = static_cast<uint8_t>(4 * i);
        table[i].red = v;
        table[64 + i].green = v;
        table[128 + i].blue = v;
    }
}

void MapImageChannels(const DibHeader& header, const uint8_t* src, uint8_t* dst) {
    MapRows24To8(header, src, dst, [](uint8_t b, uint8_t g, uint8_t rd, uint32_t y, uint32_t x) {
        switch ((uint64_t{y} + x) % 3) {
        case 0: return static_cast<uint8_t>(rd >> 2);
        case 1: return static_cast<uint8_t>(64 + (g >> 2));
        default: return static_cast<uint8_t>(128 + (b >> 2));
        }
    });
}

void PaletteGray(ColorTable& table) {
    for (int i = 0; i < 256; ++i) table[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
}

void MapImageGray(const DibHeader& header, const uint8_t* src, uint8_t* dst) {
    MapRows24To8(header, src, dst, [](uint8_t b, uint8_t g, uint8_t rd, uint32_t, uint32_t) {
        return static_cast<uint8_t>((77 * rd + 150 * g + 29 * b) >> 8);
    });
}

std::vector<uint8_t> ReduceDib24To8(std::vector<uint8_t>& block24, TColorReduction method) {
    // The methods write the 8-bit rows in the order they read the 24-bit ones,
    // and the result's rows run bottom-up.
    constexpr velfw::BmpFileRules kBottomUp24{velfw::DibDepthBit(24), INT32_MAX, false};
    velfw::BmpFileLayout layout;
    if (velfw::ReadBmpFileLayout(block24, layout, kBottomUp24) != velfw::BmpFault::None) throw velfw::EInvalidGraphic();
    const DibHeader h24 = velfw::ReadDibHeader(&block24[kBmpFileHeaderSize]);
    // A 24-bit image's colour count is that of an optional table beside its
    // pixels, not one of the colours the reduction makes.
    DibHeader own = h24;
    own.clrUsed = 0;
    DibHeader h8 = velfw::MakeDibHeader(h24.width, h24.height, 8, &own);

    ColorTable table{};
    uint8_t* pixels = block24.data() + layout.BitsOffset;
    switch (method) {
    case crPopularity: PopularityReduce(h24, table, pixels, pixels, 256, 0xFF, 0xFF, 0xFF); break;
    case crMedianCut: {
        int colors = 256;
        MedianCutReduce(h24, pixels, pixels, colors, table);
        h8.clrImportant = static_cast<uint32_t>(colors);
        break;
    }
    case crCube784:
        Palette784(table);
        MapImage784(h24, pixels, pixels);
        h8.clrImportant = 224;
        break;
    case crCube666:
        Palette666(table);
        MapImage666(h24, pixels, pixels);
        h8.clrImportant = 216;
        break;
    case crChannelPattern:
        PaletteChannels(table);
        MapImageChannels(h24, pixels, pixels);
        break;
    case crGrayscale:
        PaletteGray(table);
        MapImageGray(h24, pixels, pixels);
        break;
    }

    std::vector<uint8_t> block8 = velfw::NewDibBlock(h8);
    uint8_t* at = block8.data() + kBmpFileHeaderSize + kBmpInfoHeaderSize;
    for (const RgbQuad& q : table) {
        *at++ = q.blue;
        *at++ = q.green;
        *at++ = q.red;
        *at++ = q.reserved;
    }
    if (h8.sizeImage > 0) std::memcpy(at, pixels, h8.sizeImage);
    return block8;
}

}  // namespace kx
